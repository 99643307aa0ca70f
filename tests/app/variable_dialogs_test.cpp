#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_frame.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "app/tabulon_view.h"
#include "platform/ui/text_fit.h"
#include "res/resource_ids.h"
#include "tests/support/gui_test.h"
#include "ui/dialog_bases.h"

namespace {

constexpr UINT kDescDialog = 169;
constexpr UINT kCodeDialog = 172;
constexpr UINT kCodePage = 146;

// Opens a table: Idade (2.7, -2.7, absent, 5.2) and Grupo (qualitative: 1, 2, 1, 2).
CTabulonDoc* OpenAgeTable(testsupport::TempFolder& dir) {
    testsupport::StartTabulon();
    testsupport::WriteBytes(dir.File("idade.tsm"),
                            "#Tesmo v7.00#\r\n-9.900000\r\n2\r\nIdade\r\n1\r\nGrupo\r\n0\r\n2\r\nA 1\r\nB 2\r\n"
                            "p1 2.700000 1.000000\r\np2 -2.700000 2.000000\r\np3 -9.900000 1.000000\r\n"
                            "p4 5.200000 2.000000\r\n");
    ScriptedUser user;
    EXPECT_NE(theApp.OpenDocumentFile(dir.File("idade.tsm").c_str()), nullptr);
    afx::ProcessPendingEvents();
    return testsupport::Document();
}

CString Heading(CTabulonView* view, int column) {
    char text[64] = "";
    HDITEM item;
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    view->GetListCtrl().GetHeaderCtrl()->GetItem(column, &item);
    return text;
}

void Command(UINT id) { theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }

TEST(VariableDialog, HeaderClickRenamesAndRetypesAVariable) {
    testsupport::TempFolder dir;
    CTabulonDoc* doc = OpenAgeTable(dir);
    CTabulonView* view = doc->GetView();
    CDataSet* data = doc->GetDataSet();
    ScriptedUser user;
    user.OnDialog(kDescDialog, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Descrição de Variável");
        EXPECT_EQ(d.Text(1000), "Idade");
        EXPECT_EQ(d.Checked(1137), 1);
        EXPECT_FALSE(d.IsEnabled(1133));
        EXPECT_FALSE(d.IsEnabled(1134));
        EXPECT_TRUE(d.Items(1079).empty());
        EXPECT_EQ(d.Text(1129), "");
        d.Type(1000, "Anos");
        d.Click(1138);  // "Qualitativa": modalities from the codes, absent cells left out
        EXPECT_EQ(d.Text(1000), "Anos");
        EXPECT_EQ(d.Items(1079), (std::vector<CString>{"-2", "2", "5"}));
        EXPECT_EQ(d.Items(1133), (std::vector<CString>{"ID1", "ID2", "ID3"}));
        EXPECT_EQ(d.Text(1129), "3");
        d.Select(1133, 2);
        EXPECT_EQ(d.Selected(1079), 2);
        d.SavePng((testsupport::PictureFolder() + "/variable_dialog.png").c_str());
        d.Click(IDOK);
    });
    afx::ClickHeader(view, 1);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(data->GetVariableName(1), "Anos");
    EXPECT_EQ(data->GetVariableType(1), 0);
    EXPECT_EQ(Heading(view, 1), "Anos *");
    EXPECT_EQ(data->GetValue(1, 1), 2.0);
    EXPECT_EQ(data->GetValue(2, 1), -2.0);
    EXPECT_TRUE(data->IsMissing(3, 1));  // still absent, not -9
    EXPECT_EQ(data->GetValue(4, 1), 5.0);
    EXPECT_DOUBLE_EQ(data->GetVariable(1)->GetMean(), 5.0 / 3.0);
    EXPECT_DOUBLE_EQ(data->GetVariable(1)->GetVariance(), (1.0 / 9 + 121.0 / 9 + 100.0 / 9) / 2.0);
    EXPECT_EQ(view->GetListCtrl().GetItemText(1, 1), "-2");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_TRUE(view->GetListCtrl().GetHeaderCtrl()->IsWindowEnabled());

    // And back to quantitative: the values stay truncated, shown with six decimals.
    user.OnDialog(kDescDialog, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(1138), 1);
        EXPECT_EQ(d.Items(1133).size(), 3u);
        d.Click(1137);
        EXPECT_TRUE(d.Items(1133).empty());
        EXPECT_FALSE(d.IsEnabled(1079));
        d.Click(IDOK);
    });
    afx::ClickHeader(view, 1);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(data->GetVariableType(1), 1);
    EXPECT_EQ(Heading(view, 1), "Anos");
    EXPECT_EQ(view->GetListCtrl().GetItemText(0, 1), "2.000000");

    // "Linhas" opens nothing.
    afx::ClickHeader(view, 0);
    doc->SetModifiedFlag(FALSE);
}

// A longer name widens its column at once, so that the heading shows whole.
TEST(VariableDialog, ARenamedColumnIsAsWideAsItsNewHeading) {
    testsupport::TempFolder dir;
    CTabulonDoc* doc = OpenAgeTable(dir);
    CTabulonView* view = doc->GetView();
    ScriptedUser user;
    user.OnDialog(kDescDialog, [](DialogDriver& d) {
        d.Type(1000, "Idade em anos completos");
        d.Click(IDOK);
    });
    afx::ClickHeader(view, 1);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(Heading(view, 1), "Idade em anos completos");
    EXPECT_GT(view->GetListCtrl().GetColumnWidth(1), 70);
    EXPECT_EQ(afx::TextsThatDoNotFit(view->GetListCtrl()), std::vector<std::string>{});
    doc->SetModifiedFlag(FALSE);
}

TEST(VariableDialog, AnEmptyNameIsRefusedAndIdentifiersAreEdited) {
    testsupport::TempFolder dir;
    CTabulonDoc* doc = OpenAgeTable(dir);
    CDataSet* data = doc->GetDataSet();
    ScriptedUser user;
    user.OnDialog(kDescDialog, [](DialogDriver& d) {
        EXPECT_EQ(d.Items(1133), (std::vector<CString>{"A", "B"}));
        d.Click(1134);  // "Identificadores": an empty list never comes here
        d.DoubleClick(1133, 1);
        EXPECT_EQ(d.Items(1133), (std::vector<CString>{"Alto", "Bx"}));
        EXPECT_EQ(d.Selected(1079), 1);
        d.Type(1000, "");
        d.Click(IDOK);
    });
    user.OnDialog(kCodePage, [](DialogDriver& d) {  // 1st modality in the walk
        EXPECT_EQ(d.Caption(), "1ª modalidade");
        EXPECT_FALSE(d.IsEnabled(IDC_STEP_PREVIOUS));
        d.Type(1000, "Alto");
        d.Click(IDC_STEP_NEXT);
    });
    user.OnDialog(kCodePage, [](DialogDriver& d) {  // 2nd and last
        EXPECT_EQ(d.Caption(), "2ª modalidade");
        EXPECT_FALSE(d.IsEnabled(IDC_STEP_NEXT));
        EXPECT_TRUE(d.IsVisible(IDC_STEP_FINISH));
        d.Click(IDC_STEP_FINISH);
    });
    user.OnDialog(kCodePage, [](DialogDriver& d) {  // the double-click: one identifier alone
        EXPECT_EQ(d.Caption(), "Identificador da Modalidade");
        EXPECT_TRUE(d.IsVisible(IDC_SINGLE_OK));
        EXPECT_EQ(d.Text(1000), "B");
        d.Type(1000, "Bx");
        d.Click(IDC_SINGLE_OK);
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "O nome da variável nao pode estar vazio");
        return IDOK;
    });
    user.OnDialog(kDescDialog, [](DialogDriver& d) {
        d.Type(1000, "Grupo etário");
        d.Click(IDOK);
    });
    afx::ClickHeader(doc->GetView(), 2);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(data->GetVariableName(2), "Grupo etário");
    EXPECT_EQ(data->GetVariable(2)->GetCategories()[0].name, "Alto");
    EXPECT_EQ(data->GetVariable(2)->GetCategories()[1].name, "Bx");
    EXPECT_TRUE(doc->IsModified());
    doc->SetModifiedFlag(FALSE);
}

TEST(Configuration, TheMissingCodeIsCheckedAndApplied) {
    testsupport::TempFolder dir;
    CTabulonDoc* doc = OpenAgeTable(dir);
    CDataSet* data = doc->GetDataSet();
    ScriptedUser user;
    auto refused = [&user](const std::string& typed, const char* message) {
        user.OnDialog(kCodeDialog, [typed](DialogDriver& d) {
            d.Type(1140, typed.c_str());
            d.Click(IDOK);
        });
        user.OnMessageBox([message](const CString& text, UINT) {
            EXPECT_EQ(text, message);
            return IDOK;
        });
    };
    user.OnDialog(kCodeDialog, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Configuração");
        EXPECT_EQ(d.Text(1140), "-9.900000");
        d.SavePng((testsupport::PictureFolder() + "/missing_code_dialog.png").c_str());
        d.Click(IDOK);  // the same text: nothing changes
    });
    Command(ID_OPTIONS_CONFIGURATION);
    EXPECT_FALSE(doc->IsModified());

    refused("-9 9", "O Código de Ausência não pode conter espaços");
    refused("1e5", "O Código de Ausência tem de ser um número real");
    refused("+1", "O Código de Ausência tem de ser um número real");
    refused("2,5", "O Código de Ausência tem de ser um número real");
    refused(std::string(60, '9'), "O código de ausência está fora dos limites");
    user.OnDialog(kCodeDialog, [](DialogDriver& d) {
        EXPECT_EQ(d.FocusId(), 1140);
        d.Type(1140, "1");
        d.Click(IDOK);
    });
    Command(ID_OPTIONS_CONFIGURATION);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(data->GetMissingCode(), 1.0f);
    EXPECT_TRUE(doc->IsModified());
    // The code 1 now marks the Grupo cells holding 1 as absent, and the old -9.9 is a value.
    EXPECT_DOUBLE_EQ(data->GetVariable(2)->GetMean(), 2.0);
    ASSERT_EQ(data->GetVariable(2)->GetCategoryCount(), 1);
    EXPECT_EQ(data->GetVariable(2)->GetCategories()[0].code, 2);
    EXPECT_DOUBLE_EQ(data->GetVariable(1)->GetMean(), (2.7 - 2.7 - 9.9 + 5.2) / 4.0);

    user.OnDialog(kCodeDialog, [](DialogDriver& d) {
        d.Type(1140, "");
        d.Click(IDOK);
    });
    Command(ID_OPTIONS_CONFIGURATION);
    EXPECT_EQ(data->GetMissingCode(), 0.0f);
    user.OnDialog(kCodeDialog, [](DialogDriver& d) {
        d.Type(1140, "5");
        d.Click(IDCANCEL);
    });
    Command(ID_OPTIONS_CONFIGURATION);
    EXPECT_EQ(data->GetMissingCode(), 0.0f);
    EXPECT_TRUE(user.AllAnswered());
    doc->SetModifiedFlag(FALSE);
}

}  // namespace
