#include <gtest/gtest.h>

#include "tests/support/gui_test.h"
#include "ui/dialog_bases.h"

namespace {

constexpr UINT kCodePage = 146;
constexpr UINT kColumnList = 9001;
constexpr int kColumnListBox = 1000;
constexpr int kColumnCount = 1001;
constexpr int kApply = 1002;
constexpr int kEditPage = 1003;
constexpr int kEditAll = 1004;

const afx::ResourceSet& TestResources() {
    static const afx::ResourceSet set = [] {
        afx::ResourceSet s;
        s.dialogs.push_back({kColumnList, "Colunas", {0, 0, 200, 120},
                             {
                                 {afx::Ctl::ListBox, kColumnListBox, "", {7, 7, 120, 100}},
                                 {afx::Ctl::Edit, kColumnCount, "", {135, 7, 40, 13}},
                                 {afx::Ctl::PushButton, kApply, "Aplicar", {135, 25, 50, 14}},
                                 {afx::Ctl::PushButton, kEditPage, "Editar", {135, 43, 50, 14}},
                                 {afx::Ctl::PushButton, kEditAll, "Todas", {135, 61, 50, 14}},
                                 {afx::Ctl::PushButton, IDOK, "OK", {135, 99, 50, 14}, afx::Style::Default},
                             }});
        return s;
    }();
    return set;
}

// A column-list dialog as the analyses build them: a count and its pages.
class CTestColumnsDlg : public CColumnListDlgBase {
public:
    CTestColumnsDlg() : CColumnListDlgBase(kColumnList, nullptr) {}
    void WriteToFile(CStdioFile& f) override { WritePages(f); }
    void ReadFromFile(CStdioFile& f) override { ReadPages(f); }
    BOOL OnInitDialog() override { return InitList(m_list, kColumnListBox); }
    void DoDataExchange(CDataExchange* dx) override {
        CColumnListDlgBase::DoDataExchange(dx);
        DDX_Text(dx, kColumnCount, m_nColumnCount);
    }
    void OnApply() { ApplyColumnCount(m_list); }
    void OnEditPage() { EditPage(m_list); }
    void OnEditAll() { EditColumns(m_list); }
    CListBox m_list;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTestColumnsDlg, CColumnListDlgBase)
    ON_BN_CLICKED(kApply, &CTestColumnsDlg::OnApply)
    ON_BN_CLICKED(kEditPage, &CTestColumnsDlg::OnEditPage)
    ON_BN_CLICKED(kEditAll, &CTestColumnsDlg::OnEditAll)
END_MESSAGE_MAP()

class StepDialogs : public testing::Test {
protected:
    void SetUp() override { afx::AddResources(&TestResources()); }
};

TEST_F(StepDialogs, AOnePageChainShowsTerminarAndEnterFinishes) {
    CVariableCodeDlg page(1, "Identificador da Coluna(Variável)", nullptr);
    std::vector<CWizardStepDlg*> pages{&page};
    ScriptedUser user;
    user.OnDialog(kCodePage, [](DialogDriver& d) {
        EXPECT_FALSE(d.IsEnabled(IDC_STEP_PREVIOUS));
        EXPECT_FALSE(d.IsEnabled(IDC_STEP_NEXT));
        EXPECT_TRUE(d.IsVisible(IDC_STEP_FINISH));
        EXPECT_TRUE(d.IsEnabled(IDC_STEP_CANCEL));
        EXPECT_FALSE(d.IsVisible(IDC_SINGLE_OK));
        EXPECT_EQ(d.Text(1136), "Identificador da Coluna(Variável)");
        EXPECT_EQ(d.Text(1000), "var");
        d.SavePng((testsupport::PictureFolder() + "/step_page.png").c_str());
        d.Type(1000, "abcdef");  // the edit takes 4 characters
        d.Key(VK_RETURN);
    });
    EXPECT_EQ(RunStepDialogs(pages), STEP_FINISH);
    EXPECT_EQ(page.GetVariableName(), "abcd");
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(StepDialogs, EnterGoesOnEscapeRepeatsAndAnUnchangedLongValueStays) {
    CVariableCodeDlg a(1, "A", nullptr), b(2, "B", nullptr), c(3, "C", nullptr);
    c.SetCode("longo");  // more than the page accepts
    std::vector<CWizardStepDlg*> pages{&a, &b, &c};
    std::vector<int> seen;
    ScriptedUser user;
    user.OnDialog(kCodePage, [&](DialogDriver& d) {  // page 1
        EXPECT_FALSE(d.IsVisible(IDC_STEP_FINISH));
        seen.push_back(1);
        d.Key(VK_RETURN);
    });
    user.OnDialog(kCodePage, [&](DialogDriver& d) {  // page 2: Escape shows it again
        EXPECT_EQ(d.Text(1136), "B");
        EXPECT_TRUE(d.IsEnabled(IDC_STEP_PREVIOUS));
        EXPECT_TRUE(d.IsEnabled(IDC_STEP_NEXT));
        seen.push_back(2);
        d.Key(VK_ESCAPE);
    });
    user.OnDialog(kCodePage, [&](DialogDriver& d) {  // page 2 again
        EXPECT_EQ(d.Text(1136), "B");
        seen.push_back(2);
        d.Click(IDC_STEP_NEXT);
    });
    user.OnDialog(kCodePage, [&](DialogDriver& d) {  // page 3: a value longer than the limit,
        EXPECT_EQ(d.Text(1000), "longo");             // unchanged, goes through as it is
        seen.push_back(3);
        d.Click(IDC_STEP_PREVIOUS);
    });
    user.OnDialog(kCodePage, [&](DialogDriver& d) {  // back on page 2
        EXPECT_EQ(d.Text(1136), "B");
        seen.push_back(2);
        d.Click(IDC_STEP_CANCEL);
    });
    EXPECT_EQ(RunStepDialogs(pages), STEP_CANCEL);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 2, 3, 2}));
    EXPECT_EQ(c.GetVariableName(), "longo");
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(RunStepDialogs({}), STEP_FINISH);
}

TEST_F(StepDialogs, ChainsNeverLoopOnAPageThatCannotOpen) {
    CVariableCodeDlg a(1, "A", nullptr);
    a.m_nIDTemplate = 65000;  // no such template
    std::vector<CWizardStepDlg*> pages{&a};
    EXPECT_EQ(RunStepDialogs(pages), STEP_CANCEL);
}

TEST_F(StepDialogs, SingleModeUsesOkAndCancel) {
    CVariableCodeDlg page(2, "Identificador da Modalidade", nullptr);
    page.SetSingleMode(1);
    page.SetCode("M");
    ScriptedUser user;
    user.OnDialog(kCodePage, [](DialogDriver& d) {
        for (int id : {IDC_STEP_PREVIOUS, IDC_STEP_NEXT, IDC_STEP_FINISH, IDC_STEP_CANCEL}) EXPECT_FALSE(d.IsVisible(id));
        EXPECT_TRUE(d.IsVisible(IDC_SINGLE_OK));
        d.Type(1000, "Masc");
        d.Click(IDC_SINGLE_CANCEL);
    });
    user.OnDialog(kCodePage, [](DialogDriver& d) {
        d.Type(1000, "Homem");
        d.Key(VK_RETURN);  // both step buttons are off: Enter is OK
    });
    EXPECT_EQ(page.DoModal(), IDCANCEL);
    EXPECT_EQ(page.GetVariableName(), "M");
    EXPECT_EQ(page.DoModal(), IDOK);
    EXPECT_EQ(page.GetVariableName(), "Home");
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(StepDialogs, ColumnCountAddsAndRemovesPagesAndEntries) {
    CTestColumnsDlg dlg;
    ScriptedUser user;
    user.OnDialog(kColumnList, [&](DialogDriver& d) {
        EXPECT_TRUE(d.Items(kColumnListBox).empty());
        d.Type(kColumnCount, "2");
        d.Click(kApply);
        EXPECT_EQ(d.Items(kColumnListBox), (std::vector<CString>{"1ª Coluna - var", "2ª Coluna - var"}));
        d.Type(kColumnCount, "4");
        d.Click(kApply);
        ASSERT_EQ(dlg.GetPages().size(), 4u);
        EXPECT_EQ(d.Items(kColumnListBox).back(), "4ª Coluna - var");
        EXPECT_EQ(static_cast<CBaseDlg*>(dlg.GetPage(3))->GetCaption(), "4ª Coluna");
        d.Type(kColumnCount, "2");
        d.Click(kApply);
        EXPECT_EQ(dlg.GetPages().size(), 2u);
        EXPECT_EQ(d.Items(kColumnListBox).size(), 2u);
        d.Click(kEditPage);  // no item under the caret: nothing happens
        d.Select(kColumnListBox, 1);
        d.Click(kEditPage);  // runs page 2 alone
        EXPECT_EQ(d.Items(kColumnListBox)[1], "2ª Coluna - Peso");
        d.Click(IDOK);
    });
    user.OnDialog(kCodePage, [](DialogDriver& d) {
        EXPECT_TRUE(d.IsVisible(IDC_SINGLE_OK));
        EXPECT_EQ(d.Caption(), "2ª Coluna");
        d.Type(1000, "Peso");
        d.Click(IDC_SINGLE_OK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(dlg.GetPage(1)->IsSingleMode(), 0);

    // The pages' lines round-trip through a file, a line each.
    testsupport::TempFolder dir;
    std::string path = dir.File("pages.tcfg");
    {
        CStdioFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        dlg.WriteToFile(f);
    }
    EXPECT_EQ(testsupport::ReadBytes(path), "var\r\nPeso\r\n");
    dlg.GetPage(0)->SetVariableName("x");
    dlg.GetPage(1)->SetVariableName("y");
    {
        CStdioFile f(path.c_str(), CFile::modeRead);
        dlg.ReadFromFile(f);
    }
    EXPECT_EQ(dlg.GetPage(0)->GetVariableName(), "var");
    EXPECT_EQ(dlg.GetPage(1)->GetVariableName(), "Peso");
    // A last line without its line end keeps every character; the end of the file leaves values.
    testsupport::WriteBytes(path, "ab\r\ncd");
    {
        CStdioFile f(path.c_str(), CFile::modeRead);
        dlg.ReadFromFile(f);
        dlg.ReadFromFile(f);
    }
    EXPECT_EQ(dlg.GetPage(0)->GetVariableName(), "ab");
    EXPECT_EQ(dlg.GetPage(1)->GetVariableName(), "cd");
    dlg.ClearPages();
    dlg.SetColumnCountValue(3);
    dlg.ClearPages();
    ASSERT_EQ(dlg.GetPages().size(), 3u);
    EXPECT_EQ(dlg.GetPage(2)->GetVariableName(), "var");
}

TEST_F(StepDialogs, RemovingMorePagesThanExistIsSafe) {
    std::vector<CWizardStepDlg*> pages{new CVariableCodeDlg(1, "A", nullptr), new CVariableCodeDlg(2, "B", nullptr)};
    RemoveStepDialogs(pages, 5);
    EXPECT_TRUE(pages.empty());
    RemoveStepDialogs(pages, 0);
}

}  // namespace
