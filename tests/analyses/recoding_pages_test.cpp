// The recoding pages of the multiple correspondence: pages built from a selection, the
// engine lines they write, their configuration lines read back, and the pages driven.
#include <gtest/gtest.h>

#include "analyses/recoding_pages.h"
#include "app/tabulon_doc.h"
#include "tests/analyses/analysis_fixture.h"

using namespace analysis_test;

namespace {

template <typename Writer>
std::string Written(const testsupport::TempFolder& folder, Writer write) {
    std::string path = folder.File("written.txt");
    CStdioFile file;
    EXPECT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeText));
    write(file);
    file.Close();
    return testsupport::ReadBytes(path);
}

BOOL ReadBack(const testsupport::TempFolder& folder, const std::string& text, CColumnTypesDlg& types) {
    testsupport::WriteBytes(folder.File("lines.txt"), text);
    CStdioFile file;
    EXPECT_TRUE(file.Open(folder.File("lines.txt").c_str(), CFile::modeRead | CFile::typeText));
    return types.ReadConfiguration(file);
}

std::string Config(const testsupport::TempFolder& folder, CColumnTypesDlg& types) {
    return Written(folder, [&](CStdioFile& f) { types.WriteConfiguration(f); });
}

}  // namespace

TEST(RecodingPages, DefaultModalityIdentifiers) {
    EXPECT_EQ(DefaultModalityIdentifier("Altura", 1), "Alt1");
    EXPECT_EQ(DefaultModalityIdentifier("Altura", 9), "Alt9");
    EXPECT_EQ(DefaultModalityIdentifier("Altura", 10), "Alt0");
    EXPECT_EQ(DefaultModalityIdentifier("Altura", 11), "Alta");
    EXPECT_EQ(DefaultModalityIdentifier("Altura", 12), "Altb");
    EXPECT_EQ(DefaultModalityIdentifier("Altura", 36), "Altz");
    EXPECT_EQ(DefaultModalityIdentifier("Altura", 37), "Altz");
    EXPECT_EQ(DefaultModalityIdentifier("Pe", 2), "Pe2");
}

// Altura and Peso (quantitative) first, then Sexo (F 1, M 2) and Zona (N 1, S 2).
TEST(RecodingPages, BuiltFromTheSelectionAndTheLinesTheyWrite) {
    AnalysisFixture f;
    CColumnTypesDlg types;
    types.BuildFromSelection({1, 3, 2, 4}, 2, 2);
    EXPECT_EQ(types.GetModalityTotal(), 10);
    EXPECT_EQ(types.GetActiveTotal(), 10);
    EXPECT_EQ(types.GetMaxModalities(), 3);
    ASSERT_EQ(types.GetDivisions().size(), 2u);
    EXPECT_EQ(static_cast<CBaseDlg*>(types.GetDivisions()[1])->GetCaption(), "2ª Variável Quantitativa - Peso");
    EXPECT_EQ(types.GetColumn(1)->GetCaption(), "3ª Coluna (Quantitativa)");
    EXPECT_EQ(types.GetColumn(2)->GetCaption(), "2ª Coluna (Qualitativa)");
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { types.WriteColumnIdentifiers(file); }),
              "Altura\r\nPeso\r\nSexo\r\nZona\r\n");
    // Default division: equal frequency, 3 classes, no limits.
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { types.WriteClassDivisions(file); }), "2\r\n3\r\n2\r\n3\r\n");
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { types.WriteModalityCounts(file); }), "3\r\n3\r\n2\r\n2\r\n");
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { types.WriteCodes(file); }),
              "1\r\n2\r\n3\r\n1\r\n2\r\n3\r\n1\r\n2\r\n1\r\n2\r\n");
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { types.WriteIdentifiers(file); }),
              "Alt1\r\nAlt2\r\nAlt3\r\nPes1\r\nPes2\r\nPes3\r\nF\r\nM\r\nN\r\nS\r\n");

    // Given limits: 4 limits until edited; a column of 12 classes ends in 0, a and b.
    auto* division = static_cast<CClassDivisionDlg*>(types.GetDivisions()[0]);
    division->SetRule(RULE_GIVEN_LIMITS);
    types.GetColumn(1)->SetClassCount(12);
    EXPECT_EQ(static_cast<CClassDivisionDlg*>(types.GetDivisions()[1])->GetLimits().size(), 13u);
    EXPECT_EQ(types.GetColumn(1)->GetModalityIdentifier(9), "Pes0");
    EXPECT_EQ(types.GetColumn(1)->GetModalityIdentifier(11), "Pesb");
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { types.WriteClassDivisions(file); }),
              "3\r\n3\r\n1.000\r\n2.000\r\n3.000\r\n4.000\r\n2\r\n12\r\n");

    // Activity flags in lines of 80, the rows' zeros continuing the stream.
    types.GetColumn(2)->SetModalityActive(1, 0);
    types.RecomputeTotals();
    EXPECT_EQ(types.GetModalityTotal(), 19);
    EXPECT_EQ(types.GetActiveTotal(), 18);
    EXPECT_EQ(types.GetActivityFlags(), "1111111111111111011");
    types.GetColumn(1)->SetClassCount(78);   // 85 modalities in all
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { types.WriteActivityFlags(file, 0); }),
              std::string(80, '1') + "\r\n11011\r\n");
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { types.WriteActivityFlags(file, 3); }),
              std::string(80, '1') + "\r\n11011000\r\n");
}

TEST(RecodingPages, ConfigurationLinesRoundTrip) {
    AnalysisFixture f;
    CColumnTypesDlg types;
    types.BuildFromSelection({1, 2}, 1, 1);
    auto* division = static_cast<CClassDivisionDlg*>(types.GetDivisions()[0]);
    division->SetRule(RULE_GIVEN_LIMITS);
    division->SetLimits({1.5f, 1.6f, 1.7f, 1.8f});
    types.GetColumn(0)->SetVariableName("Alt");
    types.GetColumn(1)->SetModalityActive(0, 0);
    const std::string expected =
        "1 1 5 4 3\r\n"
        "Alt 1 3 3\r\nAlt1 1 1\r\nAlt2 2 1\r\nAlt3 3 1\r\n3\r\n3\r\n1.500\r\n1.600\r\n1.700\r\n1.800\r\n"
        "Sexo 2 2 1\r\nF 1 0\r\nM 2 1\r\n";
    EXPECT_EQ(Config(f.folder, types), expected);

    CColumnTypesDlg loaded;
    ASSERT_TRUE(ReadBack(f.folder, expected, loaded));
    EXPECT_EQ(Config(f.folder, loaded), expected);
    EXPECT_EQ(loaded.GetModalityTotal(), 5);
    EXPECT_EQ(loaded.GetActiveTotal(), 4);
    EXPECT_EQ(loaded.GetColumn(0)->GetCaption(), "1ª Coluna (Quantitativa)");
    EXPECT_EQ(static_cast<CBaseDlg*>(loaded.GetDivisions()[0])->GetCaption(), "1ª Variável Quantitativa - Alt");
    EXPECT_EQ(loaded.GetColumn(1)->GetCaption(), "2ª Coluna (Qualitativa)");
    EXPECT_TRUE(loaded.GetColumn(0)->IsQuantitative());
    EXPECT_FALSE(loaded.GetColumn(1)->IsQuantitative());

    // One page reads back its own lines, with its class division.
    CClassDivisionDlg division2(1, "Alt");
    CModalitiesDlg page(7, "x", &division2);
    testsupport::WriteBytes(f.folder.File("page.txt"),
                            Written(f.folder, [&](CStdioFile& file) { types.GetColumn(0)->WriteToFile(file); }));
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open(f.folder.File("page.txt").c_str(), CFile::modeRead | CFile::typeText));
        page.ReadFromFile(file);
    }
    EXPECT_EQ(page.GetColumnValue(), 1);
    EXPECT_EQ(page.GetModalityCount(), 3);
    EXPECT_EQ(division2.GetLimits(), (std::vector<float>{1.5f, 1.6f, 1.7f, 1.8f}));
    // The division's engine lines read back change its page's classes with it.
    testsupport::WriteBytes(f.folder.File("division.txt"), "3\r\n2\r\n0.000\r\n1.000\r\n2.000\r\n");
    {
        CStdioFile file;
        ASSERT_TRUE(file.Open(f.folder.File("division.txt").c_str(), CFile::modeRead | CFile::typeText));
        division2.ReadFromFile(file);
    }
    EXPECT_EQ(page.GetModalityCount(), 2);
    EXPECT_EQ(division2.GetLimits(), (std::vector<float>{0.0f, 1.0f, 2.0f}));

    // Rule 1 or 2 stores no count: the classes are the column's modalities.
    const std::string four = "1 0 4 4 4\r\nAlt 1 4 4\r\nA 1 1\r\nB 2 1\r\nC 3 1\r\nD 4 1\r\n1\r\n";
    ASSERT_TRUE(ReadBack(f.folder, four, loaded));
    auto* read = static_cast<CClassDivisionDlg*>(loaded.GetDivisions()[0]);
    EXPECT_EQ(read->GetClassCount(), 4);
    EXPECT_EQ(read->GetLimits().size(), 5u);
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { loaded.WriteClassDivisions(file); }), "1\r\n4\r\n");

    // Lines that do not hold are refused, and the pages stay as they were.
    const char* bad[] = {
        "1 0 4 4 4\r\nAlt 1 4 4\r\nA 1 1\r\nB 2 1\r\nC 3 1\r\n",                         // a modality missing
        "1 0 3 3 3\r\nAlt 1 3 3\r\nA 1 1\r\nB 2 2\r\nC 3 1\r\n2\r\n",                     // a flag of 2
        "1 0 3 3 3\r\nAlt 1 3 3\r\nA 1 1\r\nB x 1\r\nC 3 1\r\n2\r\n",                     // a code that is no number
        "1 0 4 3 3\r\nAlt 1 3 3\r\nA 1 1\r\nB 2 1\r\nC 3 1\r\n2\r\n",                     // J is not the sum
        "1 0 3 3 3\r\nAlt 1 3 3\r\nA 1 1\r\nB 2 1\r\nC 3 1\r\n3\r\n4\r\n1\r\n2\r\n3\r\n4\r\n5\r\n",  // 4 classes, 3 modalities
        "1 0 3 3 3\r\nAlt 1 3 3\r\nA 1 1\r\nB 2 1\r\nC 3 1\r\n3\r\n3\r\n1\r\n2\r\n3\r\n",  // a limit missing
        "1 0 3 3 3\r\nAlt 1 3 3\r\nA 1 1\r\nB 2 1\r\nC 3 1\r\n3\r\n3\r\n1\r\n2\r\nz\r\n4\r\n",  // a limit that is no number
        "1 0 3 3 3\r\nAl t 1 3 3\r\nA 1 1\r\nB 2 1\r\nC 3 1\r\n2\r\n",                    // an identifier with a blank
        "1 0 3 3\r\n",                                                                    // a short head
    };
    for (const char* text : bad) {
        EXPECT_FALSE(ReadBack(f.folder, text, loaded)) << text;
        EXPECT_EQ(Config(f.folder, loaded), "1 0 4 4 4\r\nAlt 1 4 4\r\nA 1 1\r\nB 2 1\r\nC 3 1\r\nD 4 1\r\n1\r\n") << text;
    }
}

// A quantitative column's page driven: class counts, activity, identifiers in place and
// the class division shown from it.
TEST(RecodingPages, ModalitiesAndDivisionPagesDriven) {
    AnalysisFixture f;
    CColumnTypesDlg types;
    types.BuildFromSelection({1, 2}, 1, 1);
    CModalitiesDlg* page = types.GetColumn(0);
    page->SetSingleMode(1);
    ScriptedUser user;
    std::vector<CString> messages;
    user.OnMessageBox([&](const CString& text, UINT) {
        messages.push_back(text);
        return IDOK;
    });
    user.OnDialog(IDD_MODALITIES, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "1ª Coluna (Quantitativa)");
        EXPECT_EQ(d.Text(IDC_MODALITIES_IDENTIFIER), "Altura");
        EXPECT_EQ(d.Items(IDC_MODALITIES_NAMES), (std::vector<CString>{"Alt1", "Alt2", "Alt3"}));
        EXPECT_TRUE(d.IsTicked(IDC_MODALITIES_NAMES, 2));
        d.Type(IDC_MODALITIES_CLASSES, "1");
        d.Focus(IDC_MODALITIES_CODES);   // fewer than 2: refused, 3 stays
        EXPECT_EQ(d.Text(IDC_MODALITIES_CLASSES), "3");
        d.Type(IDC_MODALITIES_CLASSES, "4");
        d.Focus(IDC_MODALITIES_CODES);
        EXPECT_EQ(d.Items(IDC_MODALITIES_NAMES).size(), 4u);
        EXPECT_EQ(d.Items(IDC_MODALITIES_CODES), (std::vector<CString>{"1", "2", "3", "4"}));
        d.Type(IDC_MODALITIES_IDENTIFIER, "Alt");   // typed identifiers hold at most 4 characters
        d.Tick(IDC_MODALITIES_NAMES, 1);   // Alt2 inactive
        d.SavePng((testsupport::PictureFolder() + "/modalities_page.png").c_str());
        d.Click(IDC_MODALITIES_DIVISION);
        EXPECT_EQ(d.Items(IDC_MODALITIES_NAMES).size(), 5u);
        d.Click(IDC_SINGLE_OK);
    });
    user.OnDialog(IDD_CLASS_DIVISION, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "1ª Variável Quantitativa - Altura");
        EXPECT_EQ(d.Items(IDC_DIVISION_VALUES).size(), 5u);
        EXPECT_EQ(d.Checked(IDC_DIVISION_FREQUENCY), 1);
        EXPECT_EQ(d.Text(IDC_DIVISION_CLASSES), "4");
        EXPECT_FALSE(d.IsEnabled(IDC_DIVISION_VALUES));
        EXPECT_FALSE(d.IsVisible(IDC_STEP_NEXT));
        d.Click(IDC_DIVISION_LIMITS);
        EXPECT_TRUE(d.IsEnabled(IDC_DIVISION_VALUES));
        EXPECT_EQ(d.Items(IDC_DIVISION_LABELS),
                  (std::vector<CString>{"Inferior", "1ª Divisão", "2ª Divisão", "3ª Divisão", "Superior"}));
        EXPECT_EQ(d.Items(IDC_DIVISION_VALUES)[4], "5.000");
        d.Select(IDC_DIVISION_VALUES, 0);
        EXPECT_EQ(d.Selected(IDC_DIVISION_LABELS), 0);
        d.DoubleClick(IDC_DIVISION_VALUES, 0);
        d.TypeKeys("0.5");
        d.Focus(IDC_DIVISION_CLASSES);
        d.Type(IDC_DIVISION_CLASSES, "5");
        d.SavePng((testsupport::PictureFolder() + "/class_division_page.png").c_str());
        d.Click(IDC_SINGLE_OK);
    });
    page->DoModal();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(messages, std::vector<CString>{"Tem de existir pelo menos 2 classes"});
    EXPECT_EQ(page->GetModalityCount(), 5);
    EXPECT_EQ(page->GetActiveCount(), 4);
    EXPECT_EQ(page->IsModalityActive(1), 0);
    types.RecomputeTotals();
    EXPECT_EQ(types.GetModalityTotal(), 7);
    EXPECT_EQ(types.GetActiveTotal(), 6);
    EXPECT_EQ(Written(f.folder, [&](CStdioFile& file) { types.WriteClassDivisions(file); }),
              "3\r\n5\r\n0.500\r\n2.000\r\n3.000\r\n4.000\r\n5.000\r\n6.000\r\n");

    // The qualitative column's page: its categories, class count and codes fixed.
    CModalitiesDlg* sexo = types.GetColumn(1);
    sexo->SetSingleMode(1);
    user.OnDialog(IDD_MODALITIES, [](DialogDriver& d) {
        EXPECT_EQ(d.Items(IDC_MODALITIES_NAMES), (std::vector<CString>{"F", "M"}));
        EXPECT_FALSE(d.IsEnabled(IDC_MODALITIES_CLASSES));
        EXPECT_FALSE(d.IsEnabled(IDC_MODALITIES_DIVISION));
        EXPECT_FALSE(d.IsEnabled(IDC_MODALITIES_EDIT_CODES));
        d.Select(IDC_MODALITIES_NAMES, 0);
        d.DoubleClick(IDC_MODALITIES_NAMES, 0);
        d.TypeKeys("Fem");
        d.Focus(IDC_MODALITIES_CODES);
        d.Click(IDC_SINGLE_OK);
    });
    sexo->DoModal();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(sexo->GetModalityIdentifier(0), "Fem");

    // The column-types dialog lists the columns and their counts.
    user.OnDialog(IDD_COLUMN_TYPES, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Colunas (Variáveis) no Ficheiro de Dados");
        EXPECT_EQ(d.Items(IDC_TYPES_COLUMNS), (std::vector<CString>{"1ª Coluna - Alt", "2ª Coluna - Sexo"}));
        EXPECT_EQ(d.Text(IDC_TYPES_QUANTITATIVE), "1");
        EXPECT_EQ(d.Text(IDC_TYPES_QUALITATIVE), "1");
        d.SavePng((testsupport::PictureFolder() + "/column_types.png").c_str());
        d.Click(IDOK);
    });
    types.DoModal();
    EXPECT_TRUE(user.AllAnswered());
}
