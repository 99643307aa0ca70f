#include <gtest/gtest.h>

#include <filesystem>

#include "analyses/analysis_dlg.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "tests/analyses/analysis_fixture.h"

using namespace analysis_test;

namespace {

std::string MatrixBytes(AnalysisFixture& f, const std::vector<int>& columns, int identifier) {
    std::string path = f.folder.File("matrix.dat");
    CStdioFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
    f.doc->GetDataSet()->WriteEngineMatrix(&file, columns, identifier);
    file.Close();
    return testsupport::ReadBytes(path);
}

std::string DataLength(const AnalysisFixture& f) {
    return std::to_string(std::filesystem::file_size(f.dataPath));
}

// The head of a configuration of the test table, identifier Sexo (variable 2).
std::string Head(const AnalysisFixture& f, const char* program = "1502") {
    return std::string(program) + "\n" + f.dataPath + "\n" + DataLength(f) + "\n-9.900000\n3 4\n2\n";
}

// Whether a temporary file of a save (a name with ".~" in it) was left in the folder.
bool TemporaryLeft(const AnalysisFixture& f) {
    for (const auto& entry : std::filesystem::directory_iterator(f.folder.Path()))
        if (entry.path().filename().string().find(".~") != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(EngineMatrix, CompleteRowsWithRowNamesOrIdentifierCodes) {
    AnalysisFixture f;
    // S2 has no Peso: it is left out of both blocks.
    EXPECT_EQ(MatrixBytes(f, {1, 3}, -1), "S1\r\nS3\r\n1.500000 60.250000\r\n1.650000 72.000000\r\n");
    // Sexo as identifier, columns in the order given; the identifier need not be selected.
    EXPECT_EQ(MatrixBytes(f, {4, 1}, 2), "1\r\n2\r\n2\r\n2.000000 1.500000\r\n1.000000 1.700000\r\n2.000000 1.650000\r\n");
    // Codes are truncated toward zero; the identifier's own cell is not tested for absence.
    CDataSet* data = f.doc->GetDataSet();
    data->SetValue(1, 2, 2.9);
    data->SetValue(2, 2, -2.9);
    data->SetValue(3, 2, -0.5);
    EXPECT_EQ(MatrixBytes(f, {1}, 2), "2\r\n-2\r\n0\r\n1.500000\r\n1.700000\r\n1.650000\r\n");
    EXPECT_EQ(MatrixBytes(f, {1}, 3), "60\r\n-9\r\n72\r\n1.500000\r\n1.700000\r\n1.650000\r\n");
}

TEST(AnalysisDialog, IdentifierChoiceAndExecute) {
    AnalysisFixture f;
    TestAnalysisDlg dlg;
    std::vector<int> selection{1, 3};
    dlg.InitFromData(&selection);
    ScriptedUser user;
    user.OnDialog(kDefinition, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(kDefault), 1);
        EXPECT_FALSE(d.IsEnabled(kIdentifiers));
        EXPECT_EQ(d.Items(kIdentifiers), (std::vector<CString>{"Sexo", "Zona"}));
        d.Click(kOther);
        EXPECT_TRUE(d.IsEnabled(kIdentifiers));
        d.Click(kExecute);   // "Outro" with nothing ticked
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Tem de selecionar uma variável qualitativa para identificador");
        return IDOK;
    });
    user.OnDialog(kDefinition, [&](DialogDriver& d) {
        EXPECT_FALSE(std::filesystem::exists(f.Dados("Dados.dat")));
        d.Tick(kIdentifiers, 1);   // Zona
        d.SavePng((testsupport::PictureFolder() + "/analysis_definition.png").c_str());
        d.Click(kExecute);
    });
    EXPECT_EQ(dlg.DoModal(), STEP_FINISH);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(dlg.GetDataMatrixPath(), CString(f.Dados("Dados.dat")));
    EXPECT_EQ(testsupport::ReadBytes(f.Dados("Dados.dat")), "2\r\n2\r\n1.500000 60.250000\r\n1.650000 72.000000\r\n");

    // Without qualitative variables the list is empty and "Outro" cannot be chosen.
    f.doc->GetDataSet()->SetVariableType(2, 1);
    f.doc->GetDataSet()->SetVariableType(4, 1);
    dlg.InitFromData(&selection);
    user.OnDialog(kDefinition, [](DialogDriver& d) {
        EXPECT_TRUE(d.Items(kIdentifiers).empty());
        EXPECT_FALSE(d.IsEnabled(kOther));
        d.Click(kCancel);
    });
    EXPECT_EQ(dlg.DoModal(), STEP_CANCEL);
    EXPECT_TRUE(user.AllAnswered());
}

TEST(AnalysisDialog, MatrixThatCannotBeCreatedKeepsTheDialogOpen) {
    AnalysisFixture f;
    std::filesystem::remove(f.folder.Path() + "/dados");   // no working folder
    TestAnalysisDlg dlg;
    std::vector<int> selection{1};
    dlg.InitFromData(&selection);
    ScriptedUser user;
    user.OnDialog(kDefinition, [](DialogDriver& d) { d.Click(kExecute); });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text.Left(60), "Erro a Abrir o ficheiro para a escrita da matriz de dados - ");
        EXPECT_GT(text.GetLength(), 60);
        EXPECT_LE(text.GetLength(), 160);
        return IDOK;
    });
    user.OnDialog(kDefinition, [](DialogDriver& d) { d.Click(kCancel); });
    EXPECT_EQ(dlg.DoModal(), STEP_CANCEL);
    EXPECT_TRUE(user.AllAnswered());
}

TEST(Configuration, SavedHeadAndBodyLoadBack) {
    AnalysisFixture f;
    TestRunner runner(false);
    TestAnalysisDlg* dlg = runner.Dialog();
    std::vector<int> selection{1, 3};
    dlg->InitFromData(&selection);
    ScriptedUser user;
    user.OnDialog(kDefinition, [](DialogDriver& d) {
        d.Click(kOther);
        d.Tick(kIdentifiers, 0);   // Sexo
        d.Click(kSave);
        d.Click(kCancel);
    });
    user.OnFileDialog([&](afx::FileDialogRequest& r) {
        EXPECT_FALSE(r.open);
        EXPECT_EQ(r.filter, "Ficheiros Configuração(*.tcfg)|*.tcfg|Todos Ficheiros(*.*)|*.*|");
        r.path = f.folder.File("sexo").c_str();   // no dot: ".tcfg" is added
        return true;
    });
    EXPECT_EQ(dlg->DoModal(), STEP_CANCEL);
    EXPECT_TRUE(user.AllAnswered());
    std::string expected = "1502\r\n" + f.dataPath + "\r\n" + DataLength(f) + "\r\n-9.900000\r\n3 4\r\n2\r\n2\r\n1\r\n3\r\n";
    EXPECT_EQ(testsupport::ReadBytes(f.folder.File("sexo.tcfg")), expected);
    EXPECT_FALSE(TemporaryLeft(f));

    // A fresh run of another runner takes identifier and columns from the file.
    TestRunner other(false);
    user.OnDialog(kDefinition, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(kOther), 1);
        EXPECT_TRUE(d.IsTicked(kIdentifiers, 0));
        EXPECT_FALSE(d.IsTicked(kIdentifiers, 1));
        d.Click(kCancel);
    });
    CString path = f.folder.File("sexo.tcfg").c_str();
    EXPECT_EQ(other.RunFromConfiguration(&path), STEP_CANCEL);
    EXPECT_EQ(other.Dialog()->GetSelectedColumns(), (std::vector<int>{1, 3}));
    EXPECT_EQ(other.Dialog()->GetLoadedIdentifierIndex(), 0);
    EXPECT_TRUE(user.AllAnswered());
}

TEST(Configuration, NamesModifiedDocumentAndFailedWrites) {
    AnalysisFixture f;
    TestAnalysisDlg dlg;
    std::vector<int> selection{1};
    dlg.InitFromData(&selection);
    ScriptedUser user;
    // "Gravar" onto a.cfg, then Cancelar.
    auto saveOver = [&] {
        user.OnDialog(kDefinition, [](DialogDriver& d) {
            d.Click(kSave);
            d.Click(kCancel);
        });
        user.OnFileDialog([&](afx::FileDialogRequest& r) {
            r.path = f.folder.File("a.cfg").c_str();
            return true;
        });
        dlg.DoModal();
    };
    // A name with a dot is used as typed.
    saveOver();
    EXPECT_EQ(testsupport::ReadBytes(f.folder.File("a.cfg")), "1502\r\n" + f.dataPath + "\r\n" + DataLength(f) +
                                                                  "\r\n-9.900000\r\n3 4\r\n0\r\n1\r\n1\r\n");

    // A write that fails leaves the earlier file whole and no temporary file behind.
    std::string before = testsupport::ReadBytes(f.folder.File("a.cfg"));
    user.OnDialog(kDefinition, [](DialogDriver& d) {
        afx::FailFileWritesAfter(10);
        d.Click(kSave);
        afx::FailFileWritesAfter(-1);
        d.Click(kCancel);
    });
    user.OnFileDialog([&](afx::FileDialogRequest& r) {
        r.path = f.folder.File("a.cfg").c_str();
        return true;
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Erro a gravar o ficheiro de configuração");
        return IDOK;
    });
    dlg.DoModal();
    EXPECT_EQ(testsupport::ReadBytes(f.folder.File("a.cfg")), before);
    EXPECT_FALSE(TemporaryLeft(f));

    // The file replaced keeps its permissions; a read-only one is refused and kept.
    namespace fs = std::filesystem;
    testsupport::WriteBytes(f.folder.File("a.cfg"), "antigo\r\n");
    fs::permissions(f.folder.File("a.cfg"), fs::perms::owner_read | fs::perms::owner_write);
    saveOver();
    EXPECT_EQ(testsupport::ReadBytes(f.folder.File("a.cfg")), before);
    EXPECT_EQ(fs::status(f.folder.File("a.cfg")).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    testsupport::WriteBytes(f.folder.File("a.cfg"), "antigo\r\n");
    fs::permissions(f.folder.File("a.cfg"), fs::perms::owner_read | fs::perms::group_read);
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Erro a gravar o ficheiro de configuração");
        return IDOK;
    });
    saveOver();
    EXPECT_EQ(testsupport::ReadBytes(f.folder.File("a.cfg")), "antigo\r\n");
    EXPECT_FALSE(TemporaryLeft(f));
    EXPECT_TRUE(user.AllAnswered());

    // A modified table must be saved first; "No" saves nothing and asks for no name.
    f.doc->SetModifiedFlag(TRUE);
    user.OnDialog(kDefinition, [](DialogDriver& d) {
        d.Click(kSave);
        d.Click(kCancel);
    });
    user.OnMessageBox([](const CString& text, UINT type) {
        EXPECT_EQ(text, "Gravar primeiro o ficheiro de dados");
        EXPECT_EQ(type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
        return IDNO;
    });
    dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    f.doc->SetModifiedFlag(FALSE);
}

TEST(Configuration, RefusedFilesLeaveTheDialogAsItWas) {
    AnalysisFixture f;
    const std::string head = Head(f);
    struct Case {
        std::string bytes;
        std::string message;
    };
    const char* other = "Este ficheiro de configuração não corresponde ao programa que deseja correr";
    std::vector<Case> cases = {
        {Head(f, "1501") + "1\n1\n", other},
        {"kelo\n", other},
        {"", other},
        {"1502\n/outro/measures.tsm\n" + DataLength(f) + "\n-9.900000\n3 4\n2\n1\n1\n", kMismatch},
        {"1502\n" + f.dataPath + "\n" + DataLength(f) + "\n-9.000000\n3 4\n2\n1\n1\n",
         "O Código de ausência do ficheiro de configuração (-9.000000) é diferente do que está definido actualmente"},
        {"1502\n" + f.dataPath + "\n" + DataLength(f) + "1\n-9.900000\n3 4\n2\n1\n1\n", kMismatch},
        {"1502\n" + f.dataPath + "\n" + DataLength(f) + "\n-9.900000\n4 4\n2\n1\n1\n", kMismatch},
        {"1502\n" + f.dataPath + "\n" + DataLength(f) + "\n-9.900000\n3 5\n2\n1\n1\n", kMismatch},
        {"1502\n" + f.dataPath, kMismatch},                                  // ends in line 2
        {"1502\n" + f.dataPath + "\n" + DataLength(f) + "\n", kMismatch},    // ends after line 3
        {"1502\n" + f.dataPath + "\n" + DataLength(f) + "\n-9.900000\n3 x\n2\n1\n1\n", kMismatch},
        // The data file matches: what follows is damaged.
        {"1502\n" + f.dataPath + "\n" + DataLength(f) + "\n-9.900000\n3 4\n", kDamaged},   // no line 6
        {head, kDamaged},                    // no body
        {head + "2\n1\n", kDamaged},         // one column short
        {head + "1\n7\n", kDamaged},         // no variable 7
        {head + "1\n0\n", kDamaged},
        {head + "-1\n", kDamaged},
        {head + "9\n1\n2\n3\n4\n1\n2\n3\n4\n1\n", kDamaged},   // more columns than the table has
        {head + "1\nx\n", kDamaged},
        {"1502\n" + std::string(400, 'a') + "\n", kMismatch},    // a line beyond any path
    };
    TestRunner runner(false);
    std::vector<int> selection{4};
    runner.Dialog()->InitFromData(&selection);
    std::string path = f.folder.File("bad.tcfg");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        testsupport::WriteBytes(path, c.bytes);
        ScriptedUser user;   // no dialog may open
        user.OnMessageBox([&](const CString& text, UINT) {
            EXPECT_EQ(text, CString(c.message));
            return IDOK;
        });
        CString p = path.c_str();
        EXPECT_EQ(runner.RunFromConfiguration(&p), STEP_CANCEL);
        EXPECT_TRUE(user.AllAnswered());
        EXPECT_EQ(runner.Dialog()->IsDefaultIdentifier(), 1);
        EXPECT_EQ(runner.Dialog()->GetLoadedIdentifierIndex(), -1);
        EXPECT_EQ(runner.Dialog()->GetSelectedColumns(), std::vector<int>{4});
    }

    // A file that cannot be opened, and a data file that is gone.
    ScriptedUser user;
    CString missing = f.folder.File("nada.tcfg").c_str();
    user.OnMessageBox([&](const CString& text, UINT) {
        EXPECT_EQ(text, "Erro a abrir o ficheiro de configuracao de programa - " + missing + "\n");
        return IDOK;
    });
    EXPECT_EQ(runner.RunFromConfiguration(&missing), STEP_CANCEL);
    testsupport::WriteBytes(path, head + "1\n1\n");
    std::filesystem::rename(f.dataPath, f.dataPath + ".away");
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Não é possível abrir o ficheiro de dados que é referido no ficheiro de configuração");
        return IDOK;
    });
    CString p = path.c_str();
    EXPECT_EQ(runner.RunFromConfiguration(&p), STEP_CANCEL);
    EXPECT_TRUE(user.AllAnswered());
}

TEST(Configuration, IdentifierThatIsNotQualitativeFallsBackToRowNames) {
    AnalysisFixture f;
    std::string path = f.folder.File("peso.tcfg");
    testsupport::WriteBytes(path, "1502\r\n" + f.dataPath + "\r\n" + DataLength(f) + "\r\n-9.900000\r\n3 4\r\n3\r\n1\r\n4\r\n");
    TestRunner runner(false);
    ScriptedUser user;
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Identificador tem de ser uma variável Qualitativa\nFoi alterado para o valor por defeito");
        return IDOK;
    });
    user.OnDialog(kDefinition, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(kDefault), 1);
        d.Click(kCancel);
    });
    CString p = path.c_str();
    EXPECT_EQ(runner.RunFromConfiguration(&p), STEP_CANCEL);
    EXPECT_EQ(runner.Dialog()->GetSelectedColumns(), std::vector<int>{4});
    EXPECT_TRUE(user.AllAnswered());
}
