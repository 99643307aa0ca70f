// The hierarchical classification: its dialogs, fenola.par, the configuration body, the
// results dialog with the division into groups, and whole runs from the menu.
#include <gtest/gtest.h>

#include <filesystem>

#include "analyses/classification_def_dlg.h"
#include "analyses/classification_results_dlg.h"
#include "analyses/runners.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "platform/ui/text_viewer.h"
#include "res/resource_ids.h"
#include "tests/analyses/analysis_fixture.h"

using namespace analysis_test;

namespace {

constexpr UINT kDef = 153, kColumns = 154, kOutput = 155, kModes = 156, kFlexible = 157, kCut = 159, kClassResults = 191;
constexpr int kModesButton = 1115, kColumnsButton = 1088, kOutputButton = 1089, kSaveButton = 1157;
constexpr int kModeQ = 1117, kModeR = 1116, kAggregation = 1112, kFlexibleButton = 1113, kDistance = 1114;
constexpr int kGroups = 1177, kGroupsListing = 1140, kHierarchyListing = 1139;
const char kTitle[] = "Seleccionar Variáveis para Classificação Automática";
const char kFlexibleName[] = "Flexível (Lance & Williaws)";

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) end = bytes.size();
        lines.push_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<std::string> Texts(const std::vector<CString>& items) {
    std::vector<std::string> out;
    for (const CString& s : items) out.push_back(s.str());
    return out;
}

bool Holds(const std::vector<CString>& items, const char* text) {
    for (const CString& s : items)
        if (s == text) return true;
    return false;
}

// The runner of the program with its own dialogs, and the fake engine for fenola and pilo.
struct ClassificationRun : AnalysisFixture {
    ClassificationRun() {
        InstallEngine("fenola.exe");
        InstallEngine("pilo.exe");
    }
    CClassificationDefDlg& Def() { return *static_cast<CClassificationDefDlg*>(runner.GetAnalysisDialog()); }
    // The selection page with variables ticked (0-based), then "Seguinte".
    static void Select(ScriptedUser& user, std::vector<int> ticks) {
        user.OnDialog(kSelection, [ticks](DialogDriver& d) {
            for (int i : ticks) d.Tick(kVariableList, i);
            d.Click(kNext);
        });
    }
    void Command() { RunAnalysisCommand(doc, kTitle, 1, runner); }
    std::string Fenola() const { return testsupport::ReadBytes(Dados("fenola.par")); }
    CClassificationRunner runner;
};

}  // namespace

TEST(ClassificationModes, DistanceListFollowsTheModeAndChoicesStick) {
    AnalysisFixture f;
    CClassificationDefDlg def;
    CClassificationModesDlg& modes = def.GetModesDlg();
    ScriptedUser user;
    user.OnDialog(kModes, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Modos");
        EXPECT_EQ(d.Checked(kModeQ), 1);
        // Sorted by the combo; the mode's own entry among the six fixed ones.
        EXPECT_EQ(Texts(d.Items(kDistance)),
                  (std::vector<std::string>{"Cos teta", "Distância de Gower", "Distância de Kulazinski",
                                            "Distância de Steinhaus", "Distância do k-2", "Distância Euclideana",
                                            "Distância Euclideana Reduzida"}));
        EXPECT_EQ(Texts(d.Items(kAggregation)),
                  (std::vector<std::string>{"Distância Média (UPGMA)", "Distância média pesada (WPGMA)",
                                            kFlexibleName, "Salto Máximo", "Salto Mínimo"}));
        EXPECT_EQ(d.Items(kDistance)[d.Selected(kDistance)], "Cos teta");
        EXPECT_EQ(d.Items(kAggregation)[d.Selected(kAggregation)], "Distância Média (UPGMA)");
        EXPECT_FALSE(d.IsEnabled(kFlexibleButton));

        d.Click(kModeR);   // "Cos teta" goes, the correlation comes and is chosen
        EXPECT_FALSE(Holds(d.Items(kDistance), "Cos teta"));
        EXPECT_TRUE(Holds(d.Items(kDistance), "Coeficientes de Correlação"));
        EXPECT_EQ(d.Items(kDistance).size(), 7u);
        EXPECT_EQ(d.Items(kDistance)[d.Selected(kDistance)], "Coeficientes de Correlação");
        d.Click(kModeR);   // the mode in force: nothing changes
        EXPECT_EQ(d.Items(kDistance).size(), 7u);
        d.Click(kModeQ);
        EXPECT_EQ(d.Items(kDistance)[d.Selected(kDistance)], "Cos teta");
        EXPECT_FALSE(Holds(d.Items(kDistance), "Coeficientes de Correlação"));

        // Gower is no mode's entry: it stays through a switch.
        d.Select(kDistance, 1);
        d.Click(kModeR);
        EXPECT_EQ(d.Items(kDistance)[d.Selected(kDistance)], "Distância de Gower");
        d.Select(kAggregation, 2);
        EXPECT_TRUE(d.IsEnabled(kFlexibleButton));
        d.SavePng((testsupport::PictureFolder() + "/classification_modes.png").c_str());
        d.Click(2);   // "Cancelar" keeps what was chosen
    });
    modes.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(modes.GetMode(), 0);
    EXPECT_EQ(modes.GetDistanceCode(), 6);
    EXPECT_EQ(modes.GetAggregationCode(), 5);
    EXPECT_TRUE(modes.IsFlexible());

    // The flexible coefficients: defaults shown, typed values kept, text refused.
    user.OnDialog(kModes, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(kModeR), 1);
        EXPECT_TRUE(d.IsEnabled(kFlexibleButton));
        d.Click(kFlexibleButton);
        d.Click(3);
    });
    user.OnDialog(kFlexible, [&](DialogDriver& d) {
        EXPECT_EQ(d.Text(1002), "0.5");
        EXPECT_EQ(d.Text(1117), "0.5");
        EXPECT_EQ(d.Text(1003), "0");
        EXPECT_EQ(d.Text(1004), "-0.5");
        d.SavePng((testsupport::PictureFolder() + "/classification_flexible.png").c_str());
        d.Type(1004, "inf");
        d.Click(IDOK);   // refused: not a finite number
        EXPECT_FALSE(d.Dialog().HasEnded());
        d.Type(1004, "0.25");
        d.Type(1003, "-0.125");
        d.Click(IDOK);
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Tem de ser um número");
        return IDOK;
    });
    modes.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    const float* c = modes.GetFlexibleDlg().GetCoefficients();
    EXPECT_EQ(c[2], -0.125f);
    EXPECT_EQ(c[3], 0.25f);
}

// A code missing from its list selects the list's last entry, by the rule of the lookups.
TEST(ClassificationModes, LookupsFallBackOnTheLastEntry) {
    CClassificationModesDlg modes;
    EXPECT_EQ(CClassificationModesDlg::NameOf(modes.GetAggregations(), 9), kFlexibleName);
    EXPECT_EQ(CClassificationModesDlg::NameOf(modes.GetDistances(), 3), "Cos teta");
    EXPECT_EQ(CClassificationModesDlg::CodeOf(modes.GetAggregations(), "Salto Máximo"), 2);
    EXPECT_EQ(CClassificationModesDlg::CodeOf(modes.GetDistances(), "nada"), 1);
}

// fenola.par as the engine reads it, for both modes, with and without the flexible line.
TEST(ClassificationRun, ParameterFileForEachModeAndTheResultsDialog) {
    ClassificationRun r;
    ScriptedUser user;
    r.Select(user, {0, 2});   // Altura, Peso: S2 lacks Peso, two complete rows
    user.OnDialog(kDef, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Definições de Dados");
        EXPECT_EQ(d.Text(IDC_CLASSIFICATION_ROWS), "2");
        EXPECT_FALSE(d.IsEnabled(IDC_CLASSIFICATION_ROWS));
        d.Click(IDC_ANALYSIS_EXECUTE);
    });
    user.OnDialog(kClassResults, [&](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Resultados da Classificação Ascendente Hierarquica");
        EXPECT_TRUE(d.IsEnabled(kGroups));
        EXPECT_FALSE(d.IsEnabled(kGroupsListing));
        d.Click(kHierarchyListing);
        d.Click(IDOK);
    });
    r.Command();
    EXPECT_TRUE(user.AllAnswered());
    const std::string dados = r.Dados("Dados.dat");
    EXPECT_EQ(r.Fenola(), "2 2\r\n1 1 3\r\n" + dados + "\r\n" + r.dataPath + "\r\nAltura\r\nPeso\r\n0 0 0\r\n");
    ASSERT_EQ(user.ProcessStarts().size(), 1u);
    EXPECT_EQ(user.ProcessStarts()[0].program, r.Dados("fenola.exe").c_str());
    // "Relatório Hierarquia": fenola's listing, not waited for.
    ASSERT_EQ(user.TextViewers().size(), 1u);
    EXPECT_EQ(user.TextViewers()[0].path, r.Dados("fenola.prn").c_str());
    EXPECT_FALSE(user.TextViewers()[0].modal);
    EXPECT_EQ(user.TextViewers()[0].text.Left(20), " Listagem de fenola\n");
    afx::CloseTextViewers();

    // Mode R, flexible aggregation, the distance table only: the engine reads the switches
    // as data, distance table, classes; the dialog keeps its own order.
    r.Select(user, {0, 2});
    user.OnDialog(kDef, [](DialogDriver& d) {
        d.Click(kModesButton);
        d.Click(kOutputButton);
        d.Click(IDC_ANALYSIS_EXECUTE);
    });
    user.OnDialog(kModes, [](DialogDriver& d) {
        d.Click(kModeR);
        d.Select(kAggregation, 2);
        d.Click(3);
    });
    user.OnDialog(kOutput, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Resultados");
        d.Click(1111);   // "Matriz de Distância"
        d.Click(IDOK);
    });
    user.OnDialog(kClassResults, [](DialogDriver& d) {
        EXPECT_FALSE(d.IsEnabled(kGroups));   // the columns were classified
        d.Click(IDOK);
    });
    r.Command();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(r.Fenola(), "2 2\r\n0 3 5\r\n0.500000 0.500000 0.000000 -0.500000\r\n" + dados + "\r\n" + r.dataPath +
                              "\r\nAltura\r\nPeso\r\n0 1 0\r\n");
    EXPECT_EQ(r.Def().GetOutputDlg().PrintsDistances(), 1);

    // Every switch on: three 1s.
    r.Select(user, {0, 2});
    user.OnDialog(kDef, [](DialogDriver& d) {
        d.Click(kOutputButton);
        d.Click(IDC_ANALYSIS_EXECUTE);
    });
    user.OnDialog(kOutput, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(1111), 1);
        EXPECT_EQ(d.Checked(1107), 0);
        d.Click(1107);
        d.Click(1112);
        d.Click(IDCANCEL);   // a toggle stays
    });
    user.OnDialog(kClassResults, [](DialogDriver& d) { d.Click(IDOK); });
    r.Command();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(Lines(r.Fenola()).back(), "1 1 1");
}

TEST(ClassificationRun, ExecuteRefusesTooSmallATable) {
    ClassificationRun r;
    ScriptedUser user;
    // Mode R with a single variable.
    r.Select(user, {0});
    user.OnDialog(kDef, [](DialogDriver& d) {
        d.Click(kModesButton);
        d.Click(IDC_ANALYSIS_EXECUTE);
        EXPECT_FALSE(d.Dialog().HasEnded());
        d.Click(IDC_CLASSIFICATION_CANCEL);
    });
    user.OnDialog(kModes, [](DialogDriver& d) {
        d.Click(kModeR);
        d.Click(3);
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Para classificar as colunas tem de seleccionar pelo menos duas variáveis");
        return IDOK;
    });
    r.Command();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_FALSE(std::filesystem::exists(r.Dados("Dados.dat")));

    // Mode Q with one complete row: S1 and S3 lack Peso in this table.
    const std::string small = r.folder.File("pequena.tsm");
    testsupport::WriteBytes(small,
                            "#Tesmo v7.00#\r\n-9.900000\r\n2\r\nAltura\r\n1\r\nPeso\r\n1\r\n"
                            "S1 1.500000 -9.900000\r\nS2 1.700000 70.000000\r\nS3 1.650000 -9.900000\r\n");
    ASSERT_NE(theApp.OpenDocumentFile(small.c_str()), nullptr);
    r.doc = theApp.GetDocument();
    r.Select(user, {0, 1});
    user.OnDialog(kDef, [](DialogDriver& d) {
        EXPECT_EQ(d.Text(IDC_CLASSIFICATION_ROWS), "1");
        d.Click(kModesButton);
        d.Click(IDC_ANALYSIS_EXECUTE);
        d.Click(IDC_CLASSIFICATION_CANCEL);
    });
    user.OnDialog(kModes, [](DialogDriver& d) {
        d.Click(kModeQ);
        d.Click(3);
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Para classificar as linhas são precisas pelo menos duas linhas sem valores ausentes");
        return IDOK;
    });
    r.Command();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_TRUE(user.ProcessStarts().empty());
}

// "Grupos": the cut in pilo.par, pilo started in the working folder, its listing waited for.
TEST(ClassificationResults, GroupsWritesTheCutAndRunsPilo) {
    ClassificationRun r;
    ScriptedUser user;
    r.Select(user, {0, 2});
    user.OnDialog(kDef, [](DialogDriver& d) { d.Click(IDC_ANALYSIS_EXECUTE); });
    user.OnDialog(kClassResults, [&](DialogDriver& d) {
        d.Click(kGroups);
        EXPECT_EQ(testsupport::ReadBytes(r.Dados("pilo.par")), "2.500000\r\n");
        EXPECT_TRUE(d.IsEnabled(kGroupsListing));
        d.Click(kGroupsListing);
        d.Click(kGroups);   // Escape: the fresh dialog's 0 is written and pilo runs again
        EXPECT_EQ(testsupport::ReadBytes(r.Dados("pilo.par")), "0.000000\r\n");
        d.Click(kGroups);
        EXPECT_EQ(testsupport::ReadBytes(r.Dados("pilo.par")), "-1.000000\r\n");
        d.Click(kGroups);   // far beyond the float's digits, written whole
        EXPECT_EQ(testsupport::ReadBytes(r.Dados("pilo.par")),
                  "340282346638528859811704183484516925440.000000\r\n");
        d.Click(IDOK);
    });
    user.OnDialog(kCut, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Divisão em Grupos");
        EXPECT_EQ(d.Text(IDC_CUT_VALUE), "0");
        d.Type(IDC_CUT_VALUE, "nan");
        d.Click(IDOK);   // refused
        EXPECT_FALSE(d.Dialog().HasEnded());
        d.Type(IDC_CUT_VALUE, "2.5");
        d.Click(IDOK);
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Tem de ser um número");
        return IDOK;
    });
    user.OnDialog(kCut, [](DialogDriver& d) {
        EXPECT_EQ(d.Text(IDC_CUT_VALUE), "0");
        d.Key(VK_ESCAPE);
    });
    user.OnDialog(kCut, [](DialogDriver& d) {
        d.Type(IDC_CUT_VALUE, "-1");
        d.Click(IDOK);
    });
    user.OnDialog(kCut, [](DialogDriver& d) {
        d.Type(IDC_CUT_VALUE, "3.40282346638528859811704183484516925440e+38");
        d.Click(IDOK);
    });
    r.Command();
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(user.ProcessStarts().size(), 5u);
    for (size_t i = 1; i < 5; ++i) {
        EXPECT_EQ(user.ProcessStarts()[i].program, r.Dados("pilo.exe").c_str());
        EXPECT_EQ(user.ProcessStarts()[i].folder, (r.folder.Path() + "/dados").c_str());
        EXPECT_TRUE(user.ProcessStarts()[i].started);
    }
    ASSERT_EQ(user.TextViewers().size(), 1u);
    EXPECT_TRUE(user.TextViewers()[0].modal);
    EXPECT_EQ(user.TextViewers()[0].path, r.Dados("pilo.prn").c_str());
    EXPECT_EQ(user.TextViewers()[0].text.Left(18), " Listagem de pilo\n");

    // A new showing starts with "Relatório Grupos" disabled.
    r.Select(user, {0, 2});
    user.OnDialog(kDef, [](DialogDriver& d) { d.Click(IDC_ANALYSIS_EXECUTE); });
    user.OnDialog(kClassResults, [](DialogDriver& d) {
        EXPECT_FALSE(d.IsEnabled(kGroupsListing));
        d.Click(IDOK);
    });
    r.Command();
    EXPECT_TRUE(user.AllAnswered());
}

TEST(ClassificationResults, NoParameterFileNoPiloAndAMissingPiloLeavesTheListingOff) {
    ClassificationRun r;
    std::filesystem::create_directory(r.Dados("pilo.par"));   // cannot be created as a file
    ScriptedUser user;
    r.Select(user, {0, 2});
    user.OnDialog(kDef, [](DialogDriver& d) { d.Click(IDC_ANALYSIS_EXECUTE); });
    user.OnDialog(kClassResults, [&](DialogDriver& d) {
        d.Click(kGroups);
        EXPECT_FALSE(d.IsEnabled(kGroupsListing));
        std::filesystem::remove(r.Dados("pilo.par"));
        std::filesystem::remove(r.Dados("pilo.exe"));
        d.Click(kGroups);
        EXPECT_EQ(testsupport::ReadBytes(r.Dados("pilo.par")), "0.000000\r\n");
        EXPECT_FALSE(d.IsEnabled(kGroupsListing));
        d.Click(IDOK);
    });
    user.OnDialog(kCut, [](DialogDriver& d) { d.Click(IDOK); });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Erro a Abrir o ficheiro");
        return IDOK;
    });
    user.OnDialog(kCut, [](DialogDriver& d) { d.Click(IDOK); });
    user.OnMessageBox([&](const CString& text, UINT) {
        EXPECT_EQ(text, ("Erro a executar o " + r.Dados("pilo.exe")).c_str());
        return IDOK;
    });
    r.Command();
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(user.ProcessStarts().size(), 2u);   // fenola, then the failed pilo
    EXPECT_FALSE(user.ProcessStarts()[1].started);
}

// A pilo run that ends on an error takes the groups listing away; a fenola run that does
// shows no results dialog.
TEST(ClassificationResults, FailedRunsOfPiloAndFenolaShowNothing) {
    ClassificationRun r;
    ScriptedUser user;
    r.Select(user, {0, 2});
    user.OnDialog(kDef, [](DialogDriver& d) { d.Click(IDC_ANALYSIS_EXECUTE); });
    user.OnDialog(kClassResults, [&](DialogDriver& d) {
        d.Click(kGroups);
        EXPECT_TRUE(d.IsEnabled(kGroupsListing));
        testsupport::WriteBytes(r.Dados("exit_code"), "2");   // both fakes read it
        d.Click(kGroups);
        EXPECT_FALSE(d.IsEnabled(kGroupsListing));
        d.Click(IDOK);
    });
    user.OnDialog(kCut, [](DialogDriver& d) { d.Click(IDOK); });
    user.OnDialog(kCut, [](DialogDriver& d) { d.Click(IDOK); });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "O programa pilo.exe terminou com erro (estado 2). Ver a listagem?");
        return IDYES;
    });
    r.Command();
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_EQ(user.TextViewers().size(), 1u);
    EXPECT_EQ(user.TextViewers()[0].path, r.Dados("pilo.prn").c_str());
    afx::CloseTextViewers();

    r.Select(user, {0, 2});
    user.OnDialog(kDef, [](DialogDriver& d) { d.Click(IDC_ANALYSIS_EXECUTE); });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "O programa fenola.exe terminou com erro (estado 2). Ver a listagem?");
        return IDNO;
    });
    r.Command();   // no results dialog may open
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(user.TextViewers().size(), 1u);
}

// "Gravar" stores the modes, codes, switches and the chosen variables; loading brings them
// back, and a body without the variables is still accepted.
TEST(ClassificationConfiguration, RoundTripWithTheSelectionAndOlderBodies) {
    ClassificationRun r;
    const std::string path = r.folder.File("classe.tcfg");
    ScriptedUser user;
    r.Select(user, {2, 0});   // ticked in table order: Altura, Peso
    user.OnDialog(kDef, [](DialogDriver& d) {
        d.Click(kModesButton);
        d.Click(kColumnsButton);
        d.Click(kOutputButton);
        d.Click(kSaveButton);
        d.Click(IDC_CLASSIFICATION_CANCEL);
    });
    user.OnDialog(kModes, [](DialogDriver& d) {
        d.Click(kModeR);
        d.Select(kDistance, 5);   // "Distância Euclideana"
        d.Select(kAggregation, 2);
        d.Click(kFlexibleButton);
        d.Click(3);
    });
    user.OnDialog(kFlexible, [](DialogDriver& d) {
        d.Type(1002, "0.75");
        d.Click(IDOK);
    });
    user.OnDialog(kColumns, [](DialogDriver& d) {
        EXPECT_EQ(d.Text(IDC_COLUMNS_COUNT), "2");
        EXPECT_FALSE(d.IsEnabled(IDC_COLUMNS_COUNT));
        EXPECT_EQ(Texts(d.Items(IDC_COLUMNS_LIST)), (std::vector<std::string>{"1ª Coluna - Altura", "2ª Coluna - Peso"}));
        d.DoubleClick(IDC_COLUMNS_LIST, 1);
        EXPECT_EQ(d.Items(IDC_COLUMNS_LIST)[1], "2ª Coluna - Kg");
        d.SavePng((testsupport::PictureFolder() + "/classification_columns.png").c_str());
        d.Click(IDC_COLUMNS_OK);
    });
    user.OnDialog(146, [](DialogDriver& d) {
        d.Type(1000, "Kg");
        d.Click(1074);
    });
    user.OnDialog(kOutput, [](DialogDriver& d) {
        d.Click(1112);   // "Hierarquia"
        d.SavePng((testsupport::PictureFolder() + "/classification_output.png").c_str());
        d.Click(IDOK);
    });
    user.OnFileDialog([&](afx::FileDialogRequest& req) {
        req.path = path.c_str();
        return true;
    });
    r.Command();
    EXPECT_TRUE(user.AllAnswered());
    const std::string head = "1500\r\n" + r.dataPath + "\r\n" + std::to_string(std::filesystem::file_size(r.dataPath)) +
                             "\r\n-9.900000\r\n3 4\r\n0\r\n";
    const std::string body = "2 2\r\n0 4 5\r\n0.750000 0.500000 0.000000 -0.500000\r\nAltura\r\nKg\r\n0 1 0\r\n1\r\n3\r\n";
    EXPECT_EQ(testsupport::ReadBytes(path), head + body);

    // Other choices, then the file again: everything comes back.
    CClassificationDefDlg& def = r.Def();
    std::vector<int> other{1, 4};
    def.InitFromData(&other);
    ClassificationModes q;
    q.mode = 1;
    q.distanceName = "Cos teta";
    q.aggregationName = "Salto Mínimo";
    def.GetModesDlg().ApplyModes(q);
    const int none[3] = {0, 0, 0};
    def.GetOutputDlg().SetFlags(none);
    user.OnDialog(kSelection, [](DialogDriver& d) { d.Click(kOpenConfiguration); });
    user.OnFileDialog([&](afx::FileDialogRequest& req) {
        req.path = path.c_str();
        return true;
    });
    user.OnDialog(kDef, [](DialogDriver& d) {
        EXPECT_EQ(d.Text(IDC_CLASSIFICATION_ROWS), "2");
        d.Click(kModesButton);
        d.Click(IDC_CLASSIFICATION_CANCEL);
    });
    user.OnDialog(kModes, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(kModeR), 1);
        EXPECT_TRUE(Holds(d.Items(kDistance), "Coeficientes de Correlação"));
        EXPECT_FALSE(Holds(d.Items(kDistance), "Cos teta"));
        EXPECT_EQ(d.Items(kDistance)[d.Selected(kDistance)], "Distância Euclideana");
        EXPECT_EQ(d.Items(kAggregation)[d.Selected(kAggregation)], kFlexibleName);
        EXPECT_TRUE(d.IsEnabled(kFlexibleButton));
        d.Click(3);
    });
    r.Command();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(def.GetSelectedColumns(), (std::vector<int>{1, 3}));
    EXPECT_EQ(def.GetColumnsDlg().GetCodes(), (std::vector<CString>{"Altura", "Kg"}));
    EXPECT_EQ(def.GetModesDlg().GetFlexibleDlg().GetCoefficients()[0], 0.75f);
    EXPECT_EQ(def.GetOutputDlg().DescribesHierarchy(), 1);
    EXPECT_EQ(def.GetOutputDlg().PrintsDistances(), 0);

    // An older body: no variables after the switches. The load keeps the variables held.
    def.InitFromData(&other);
    testsupport::WriteBytes(path, head + "3 2\r\n1 1 3\r\nAlt\r\nSex\r\n1 0 0\r\n");
    user.OnDialog(kSelection, [](DialogDriver& d) { d.Click(kOpenConfiguration); });
    user.OnFileDialog([&](afx::FileDialogRequest& req) {
        req.path = path.c_str();
        return true;
    });
    user.OnDialog(kDef, [](DialogDriver& d) {
        EXPECT_EQ(d.Text(IDC_CLASSIFICATION_ROWS), "3");
        d.Click(IDC_CLASSIFICATION_CANCEL);
    });
    r.Command();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(def.GetSelectedColumns(), other);
    EXPECT_EQ(def.GetColumnsDlg().GetCodes(), (std::vector<CString>{"Alt", "Sex"}));
    EXPECT_EQ(def.GetModesDlg().GetMode(), 1);
    EXPECT_EQ(def.GetModesDlg().GetDistanceName(), "Cos teta");
    EXPECT_EQ(def.GetOutputDlg().PrintsData(), 1);
}

TEST(ClassificationConfiguration, BadBodiesAreRefusedAndChangeNothing) {
    ClassificationRun r;
    const std::string path = r.folder.File("classe.tcfg");
    const std::string head = "1500\r\n" + r.dataPath + "\r\n" + std::to_string(std::filesystem::file_size(r.dataPath)) +
                             "\r\n-9.900000\r\n3 4\r\n0\r\n";
    CClassificationDefDlg& def = r.Def();
    std::vector<int> held{1, 3};
    def.InitFromData(&held);
    struct Case {
        const char* body;
        const char* firstMessage;   // before the runner's own
    };
    const Case cases[] = {
        {"2 2\r\n1 1 5\r\nnan 0.5 0 0\r\nA\r\nB\r\n0 0 0\r\n", "Os coeficientes do agrupamento flexível têm de ser números finitos"},
        {"2 2\r\n1 1 5\r\n0.5 0.5 0 1e39\r\nA\r\nB\r\n0 0 0\r\n", "Os coeficientes do agrupamento flexível têm de ser números finitos"},
        {"2 2\r\n1 1 5\r\n0.5 0.5 0\r\nA\r\nB\r\n0 0 0\r\n", nullptr},           // three coefficients
        {"2 2\r\n1 1 3\r\nA\r\n", nullptr},                                      // short
        {"2 2\r\n1 1 3\r\nA\r\nB\r\n0 0 0\r\n1\r\n", nullptr},                   // one variable of two
        {"2 2\r\n1 1 3\r\nA\r\nB\r\n0 0 0\r\n1\r\n9\r\n", nullptr},              // no such variable
        {"3 2\r\n1 1 3\r\nA\r\nB\r\n0 0 0\r\n1\r\n3\r\n", nullptr},              // rows do not fit them
        {"2 9\r\n1 1 3\r\n", nullptr},                                           // more columns than the table
        {"2 2\r\n1 x 3\r\nA\r\nB\r\n0 0 0\r\n", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        testsupport::WriteBytes(path, head + c.body);
        ScriptedUser user;
        user.OnDialog(kSelection, [](DialogDriver& d) { d.Click(kOpenConfiguration); });
        user.OnFileDialog([&](afx::FileDialogRequest& req) {
            req.path = path.c_str();
            return true;
        });
        std::vector<CString> messages;
        if (c.firstMessage) messages.push_back(c.firstMessage);
        messages.push_back(kDamaged);
        for (const CString& m : messages)
            user.OnMessageBox([m](const CString& text, UINT) {
                EXPECT_EQ(text, m);
                return IDOK;
            });
        r.Command();
        EXPECT_TRUE(user.AllAnswered());
        EXPECT_EQ(def.GetRowCount(), 2);
        EXPECT_EQ(def.GetSelectedColumns(), held);
        EXPECT_EQ(def.GetColumnsDlg().GetCodes(), (std::vector<CString>{"Altura", "Peso"}));
        EXPECT_EQ(def.GetModesDlg().GetAggregationCode(), 3);
        EXPECT_EQ(def.GetModesDlg().GetFlexibleDlg().GetCoefficients()[3], -0.5f);
    }
}

// A configuration saying mode R, correlation and the flexible method restores all three.
TEST(ClassificationConfiguration, ModeLineWithTheFlexibleCoefficients) {
    testsupport::TempFolder folder;
    testsupport::WriteBytes(folder.File("modos.txt"), "0 3 5\r\n1.000000 0.250000 -0.500000 0.125000\r\nfim\r\n");
    CStdioFile file;
    ASSERT_TRUE(file.Open(folder.File("modos.txt").c_str(), CFile::modeRead | CFile::typeText));
    CClassificationModesDlg modes;
    ASSERT_TRUE(modes.ReadParameters(file));
    CString rest;
    ASSERT_TRUE(file.ReadString(rest));
    EXPECT_EQ(rest, "fim");   // exactly two lines read
    file.Close();
    EXPECT_EQ(modes.GetMode(), 0);
    EXPECT_EQ(modes.GetDistanceName(), "Coeficientes de Correlação");
    EXPECT_EQ(modes.GetAggregationName(), kFlexibleName);
    EXPECT_EQ(modes.GetDistances().back().name, "Coeficientes de Correlação");
    for (const CNamedCode& e : modes.GetDistances()) EXPECT_NE(e.name, "Cos teta");
    const float expected[4] = {1.0f, 0.25f, -0.5f, 0.125f};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(modes.GetFlexibleDlg().GetCoefficients()[i], expected[i]);
}

// An older body whose column count differs from the variables held: "Executar" refuses,
// since "Dados.dat" and fenola.par would not agree on the number of values per row.
TEST(ClassificationConfiguration, ExecuteRefusesColumnsThatDoNotMatchTheVariables) {
    ClassificationRun r;
    const std::string path = r.folder.File("antiga.tcfg");
    testsupport::WriteBytes(path, "1500\r\n" + r.dataPath + "\r\n" +
                                      std::to_string(std::filesystem::file_size(r.dataPath)) +
                                      "\r\n-9.900000\r\n3 4\r\n0\r\n2 3\r\n1 4 3\r\nA\r\nB\r\nC\r\n0 0 0\r\n");
    std::vector<int> held{1, 3};
    r.Def().InitFromData(&held);
    ScriptedUser user;
    user.OnDialog(kSelection, [](DialogDriver& d) { d.Click(kOpenConfiguration); });
    user.OnFileDialog([&](afx::FileDialogRequest& req) {
        req.path = path.c_str();
        return true;
    });
    user.OnDialog(kDef, [](DialogDriver& d) {
        d.Click(IDC_ANALYSIS_EXECUTE);
        EXPECT_FALSE(d.Dialog().HasEnded());
        d.Click(IDC_CLASSIFICATION_CANCEL);
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text,
                  "O número de colunas não corresponde ao número de variáveis seleccionadas.\n"
                  "Seleccionar as variáveis e definir de novo as colunas");
        return IDOK;
    });
    r.Command();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_FALSE(std::filesystem::exists(r.Dados("Dados.dat")));
    EXPECT_TRUE(user.ProcessStarts().empty());
}
