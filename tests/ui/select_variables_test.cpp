#include <gtest/gtest.h>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "tests/support/gui_test.h"
#include "ui/dialog_bases.h"
#include "ui/select_variables_dlg.h"

namespace {

constexpr UINT kPage = 170;
constexpr int kList = 1078;
constexpr int kAll = 1139;
constexpr int kQuantitative = 1156;
constexpr int kOpen = 1155;
constexpr int kNext = 1191;

// A document whose variables are Altura, Sexo (qualitative), Peso, Zona (qualitative).
CTabulonDoc* DocumentWithMixedVariables() {
    testsupport::StartTabulon();
    CTabulonDoc* doc = testsupport::Document();
    CDataSet* data = doc->GetDataSet();
    data->SetSize(2, 4);
    const char* names[4] = {"Altura", "Sexo", "Peso", "Zona"};
    for (int v = 1; v <= 4; ++v) data->SetVariableName(v, names[v - 1]);
    data->SetVariableType(2, 0);
    data->SetVariableType(4, 0);
    return doc;
}

TEST(SelectionPage, QuantitativeOnlyListMapsItemsToTheirVariables) {
    CTabulonDoc* doc = DocumentWithMixedVariables();
    CSelectVariablesDlg page(doc, "Selecionar variáveis para boxPlot", 0, 0, 0);
    ScriptedUser user;
    user.OnDialog(kPage, [](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Selecionar variáveis para boxPlot");
        EXPECT_EQ(d.Items(kList), (std::vector<CString>{"Altura", "Peso"}));
        EXPECT_FALSE(d.IsVisible(kOpen));
        EXPECT_FALSE(d.IsEnabled(kQuantitative));
        EXPECT_FALSE(d.IsTicked(kList, 0));
        d.Tick(kList, 1);
        d.Key(VK_RETURN);  // "Seguinte" is the default button
    });
    EXPECT_EQ(page.DoModal(), STEP_NEXT);
    EXPECT_EQ(page.GetSelection(), std::vector<int>{3});  // Peso is variable 3, not 2
    EXPECT_TRUE(user.AllAnswered());
}

TEST(SelectionPage, AllThenQuantitativeLeavesExactlyTheQuantitativeTicked) {
    CTabulonDoc* doc = DocumentWithMixedVariables();
    CSelectVariablesDlg page(doc, "Selecionar Variáveis para Componentes Principais", 1, 1, 1);
    ScriptedUser user;
    user.OnDialog(kPage, [](DialogDriver& d) {
        EXPECT_EQ(d.Items(kList).size(), 4u);
        EXPECT_TRUE(d.IsVisible(kOpen));
        d.Click(kAll);
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(d.IsTicked(kList, i));
        d.Click(kQuantitative);
        EXPECT_TRUE(d.IsTicked(kList, 0));
        EXPECT_FALSE(d.IsTicked(kList, 1));
        EXPECT_TRUE(d.IsTicked(kList, 2));
        EXPECT_FALSE(d.IsTicked(kList, 3));
        d.SavePng((testsupport::PictureFolder() + "/selection_page.png").c_str());
        d.Click(kNext);
    });
    EXPECT_EQ(page.DoModal(), STEP_NEXT);
    EXPECT_EQ(page.GetSelection(), (std::vector<int>{1, 3}));

    // Shown again within the command, the page keeps those ticks; Escape cancels.
    user.OnDialog(kPage, [](DialogDriver& d) {
        EXPECT_TRUE(d.IsTicked(kList, 0));
        EXPECT_FALSE(d.IsTicked(kList, 1));
        EXPECT_TRUE(d.IsTicked(kList, 2));
        d.Key(VK_ESCAPE);
    });
    EXPECT_EQ(page.DoModal(), STEP_CANCEL);
    EXPECT_EQ(page.GetSelection(), (std::vector<int>{1, 3}));
    EXPECT_TRUE(user.AllAnswered());

    CSelectVariablesDlg fresh(doc, "x", 1, 1, 1);
    user.OnDialog(kPage, [](DialogDriver& d) {
        for (int i = 0; i < 4; ++i) EXPECT_FALSE(d.IsTicked(kList, i));
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(fresh.DoModal(), STEP_CANCEL);
}

TEST(SelectionPage, AnEmptySelectionIsRefused) {
    CTabulonDoc* doc = DocumentWithMixedVariables();
    CDataSet* data = doc->GetDataSet();
    data->SetVariableType(1, 0);
    data->SetVariableType(3, 0);  // no quantitative variable left
    CSelectVariablesDlg page(doc, "t", 0, 0, 0);
    ScriptedUser user;
    user.OnDialog(kPage, [](DialogDriver& d) {
        EXPECT_TRUE(d.Items(kList).empty());
        d.Click(kNext);
    });
    user.OnMessageBox([](const CString& text, UINT type) {
        EXPECT_EQ(text, "Tem de escolher pelo menos uma variável");
        EXPECT_EQ(type & MB_TYPEMASK, MB_OK);
        return IDOK;
    });
    user.OnDialog(kPage, [](DialogDriver& d) { d.Click(IDCANCEL); });
    EXPECT_EQ(page.DoModal(), STEP_CANCEL);
    EXPECT_TRUE(page.GetSelection().empty());
    EXPECT_TRUE(user.AllAnswered());
}

TEST(SelectionPage, OpeningAConfiguration) {
    CTabulonDoc* doc = DocumentWithMixedVariables();
    CSelectVariablesDlg page(doc, "t", 1, 1, 0);
    ScriptedUser user;
    user.OnDialog(kPage, [](DialogDriver& d) { d.Click(kOpen); });
    user.OnFileDialog([](afx::FileDialogRequest& req) {
        EXPECT_TRUE(req.open);
        EXPECT_EQ(req.filter, "Ficheiros Configuração(*.tcfg)|*.tcfg|Todos Ficheiros(*.*)|*.*|");
        return false;  // cancelled: the page stays
    });
    user.OnDialog(kPage, [](DialogDriver& d) { d.Click(kOpen); });
    user.OnFileDialog([](afx::FileDialogRequest& req) {
        req.path = "/tmp/analise.tcfg";
        return true;
    });
    EXPECT_EQ(page.DoModal(), SELECT_OPEN_CONFIGURATION);
    EXPECT_EQ(page.GetConfigurationPath(), "/tmp/analise.tcfg");
    EXPECT_TRUE(user.AllAnswered());
}

}  // namespace
