#include <gtest/gtest.h>

#include "app/main_frame.h"
#include "app/status.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "app/tabulon_view.h"
#include "res/resource_ids.h"
#include "tests/support/gui_test.h"

using testsupport::StartTabulon;

namespace {

// Puts a small table into the open document, as a reader would, and shows it.
void ShowSmallTable(CTabulonDoc* doc) {
    CDataSet* data = doc->GetDataSet();
    ASSERT_NE(data, nullptr);
    data->SetSize(3, 2);
    data->SetVariableName(1, "Altura");
    data->SetVariableName(2, "Sexo");
    data->SetVariableType(2, 0);
    const double values[3][2] = {{1.7, 1}, {2.5, 2}, {1.625, 1}};
    const char* names[3] = {"a1", "a2", "a3"};
    for (int r = 1; r <= 3; ++r) {
        data->SetRowName(r, names[r - 1]);
        for (int v = 1; v <= 2; ++v) data->SetValue(r, v, values[r - 1][v - 1]);
    }
    data->ComputeMeanVariance();
    doc->GetView()->FillTable();
    afx::ProcessPendingEvents();
}

TEST(Startup, MainWindowToolbarAndStatusBar) {
    CMainFrame* frame = StartTabulon();
    ASSERT_NE(frame, nullptr);
    CRect r;
    frame->GetWindowRect(&r);
    EXPECT_EQ(r, CRect(0, 0, 700, 400));
    CString title;
    frame->GetWindowText(title);
    EXPECT_EQ(title, "Tesmo");

    CToolBar* tb = frame->GetToolBar();
    const UINT expected[] = {ID_STATS_HISTOGRAM,    ID_STATS_BOXPLOT,     ID_STATS_DESCRIPTIVE, ID_SEPARATOR,
                             ID_STATS_SCATTER,      ID_STATS_REGRESSION,  ID_SEPARATOR,         ID_ANALYSIS_PRINCIPAL,
                             ID_ANALYSIS_BINARY,    ID_ANALYSIS_MULTIPLE, ID_ANALYSIS_CLASSIFICATION};
    ASSERT_EQ(tb->GetCount(), 11);
    for (int i = 0; i < 11; ++i) EXPECT_EQ(tb->GetItemID(i), expected[i]) << "button " << i;

    CStatusBar* sb = frame->GetStatusBar();
    ASSERT_EQ(sb->GetCount(), 2);
    EXPECT_EQ(sb->GetItemID(0), ID_SEPARATOR);
    EXPECT_EQ(sb->GetItemID(1), ID_INDICATOR_PROGRESS);
    CRect pane0, pane1;
    sb->GetItemRect(0, &pane0);
    sb->GetItemRect(1, &pane1);
    EXPECT_GT(pane1.Width(), 200);  // 66 blanks wide
    EXPECT_GT(pane1.left, pane0.left);
}

TEST(Startup, ProgressBarLivesInPaneOneAndFollowsItsRules) {
    CMainFrame* frame = StartTabulon();
    ASSERT_NE(frame, nullptr);
    BeginProgress("A ler ficheiro...", 10);
    CProgressCtrl* bar = frame->GetProgressCtrl();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(bar->IsWindow());
    CRect pane, barRect;
    frame->GetStatusBar()->GetItemRect(1, &pane);
    bar->GetWindowRect(&barRect);
    frame->GetStatusBar()->ScreenToClient(&barRect);
    EXPECT_EQ(barRect, pane);
    EXPECT_EQ(frame->GetStatusBar()->GetPaneText(0), "A ler ficheiro...");
    SetProgressPos(5);
    int lo = -1, hi = -1;
    bar->GetRange(lo, hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 10);
    EXPECT_EQ(GetProgressPos(), 5);

    EndProgress();
    EXPECT_EQ(frame->GetStatusBar()->GetPaneText(0), "Ready");
    EXPECT_EQ(GetProgressPos(), 0);
    EXPECT_TRUE(bar->IsWindowVisible());

    BeginProgressStep("x", 100, 10);
    StepProgress();
    StepProgress();
    StepProgress();
    EXPECT_EQ(GetProgressPos(), 30);
    SetProgressPos(500);
    EXPECT_EQ(GetProgressPos(), 100);  // held within the range
    EndProgress();

    // A resize keeps the bar over pane 1.
    frame->MoveWindow(0, 0, 900, 500);
    afx::ProcessPendingEvents();
    frame->GetStatusBar()->GetItemRect(1, &pane);
    bar->GetWindowRect(&barRect);
    frame->GetStatusBar()->ScreenToClient(&barRect);
    EXPECT_EQ(barRect, pane);
    frame->MoveWindow(0, 0, 700, 400);
    afx::ProcessPendingEvents();
}

TEST(Startup, TheStatusBarComesBackToReadyAfterARefusedFileAndTheToolbar) {
    CMainFrame* frame = StartTabulon();
    ASSERT_NE(frame, nullptr);
    CStatusBar* bar = frame->GetStatusBar();
    // A file that the reader refuses half way: the bar does not go on saying it reads.
    testsupport::TempFolder dir;
    testsupport::WriteBytes(dir.File("mau.tsm"), "#Tesmo v7.00#\r\n-9.9\r\n1\r\nX\r\n1\r\na 1\r\n1 2 x\r\n");
    ScriptedUser user;
    user.OnMessageBox([](const CString&, UINT) { return IDOK; });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Não foi possivel abrir o Ficheiro de Dados");
        return IDOK;
    });
    EXPECT_EQ(theApp.OpenDocumentFile(dir.File("mau.tsm").c_str()), nullptr);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(bar->GetPaneText(0), "Ready");
    EXPECT_EQ(GetProgressPos(), 0);
    // The same file read through the document's Serialize.
    for (int i = 0; i < 2; ++i) user.OnMessageBox([](const CString&, UINT) { return IDOK; });
    {
        CFile file(dir.File("mau.tsm").c_str(), CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        testsupport::Document()->Serialize(ar);
    }
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(bar->GetPaneText(0), "Ready");

    // A toolbar button's prompt shows while the pointer is on it, and goes when it leaves.
    afx::PointAtToolbarButton(frame->GetToolBar(), 2);
    EXPECT_NE(bar->GetPaneText(0), "Ready");
    afx::PointerLeaves(frame->GetToolBar());
    EXPECT_EQ(bar->GetPaneText(0), "Ready");
}

TEST(Startup, NewDocumentAndCommandStates) {
    CMainFrame* frame = StartTabulon();
    ASSERT_NE(frame, nullptr);
    frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_NEW, 0), 0);
    CTabulonDoc* doc = testsupport::Document();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetPathName(), "SemTitulo.tsm");
    EXPECT_EQ(doc->IsNewUntitled(), 1);
    EXPECT_EQ(doc->HasData(), 0);
    ASSERT_NE(doc->GetDataSet(), nullptr);
    EXPECT_EQ(doc->GetDataSet()->GetRowCount(), 0);

    for (UINT id : {ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_EXPORT, ID_OPTIONS_CONFIGURATION, ID_STATS_DESCRIPTIVE,
                    ID_STATS_HISTOGRAM, ID_STATS_BOXPLOT, ID_STATS_SCATTER, ID_STATS_REGRESSION,
                    ID_STATS_CORRELATION, ID_STATS_COVARIANCE, ID_STATS_RESISTANT_LINE, ID_ANALYSIS_PRINCIPAL,
                    ID_ANALYSIS_BINARY, ID_ANALYSIS_MULTIPLE, ID_ANALYSIS_CLASSIFICATION, ID_EDIT_UNDO, ID_EDIT_CUT})
        EXPECT_FALSE(frame->IsCommandEnabled(id)) << id;
    for (UINT id : {ID_FILE_NEW, ID_FILE_OPEN, ID_APP_ABOUT, ID_APP_EXIT, ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR})
        EXPECT_TRUE(frame->IsCommandEnabled(id)) << id;
    EXPECT_TRUE(frame->IsCommandChecked(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(frame->IsCommandChecked(ID_VIEW_STATUS_BAR));
}

TEST(Startup, TableAppearsInTheListView) {
    CMainFrame* frame = StartTabulon();
    ASSERT_NE(frame, nullptr);
    CTabulonDoc* doc = testsupport::Document();
    ShowSmallTable(doc);
    CTabulonView* view = doc->GetView();
    ASSERT_NE(view, nullptr);
    CListCtrl& list = view->GetListCtrl();
    EXPECT_EQ(view->GetStyle() & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(list.GetExtendedStyle() & LVS_EX_GRIDLINES);
    ASSERT_EQ(list.GetColumnCount(), 3);
    LVCOLUMN col;
    char text[64];
    col.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    col.pszText = text;
    col.cchTextMax = sizeof text;
    const char* headings[3] = {"Linhas", "Altura", "Sexo *"};
    for (int c = 0; c < 3; ++c) {
        ASSERT_TRUE(list.GetColumn(c, &col));
        EXPECT_STREQ(text, headings[c]);
        EXPECT_EQ(col.fmt, LVCFMT_RIGHT);
        EXPECT_EQ(col.cx, 70);
    }
    ASSERT_EQ(list.GetItemCount(), 3);
    EXPECT_EQ(list.GetItemText(0, 0), "a1");
    EXPECT_EQ(list.GetItemText(0, 1), "1.700");
    EXPECT_EQ(list.GetItemText(1, 1), "2.500");
    EXPECT_EQ(list.GetItemText(2, 1), "1.625");
    EXPECT_EQ(list.GetItemText(1, 2), "2");
    EXPECT_EQ(list.GetHeaderCtrl()->GetItemCount(), 3);

    view->RefreshColumn(1);
    EXPECT_EQ(list.GetItemText(0, 1), "1.700000");

    std::string png = testsupport::PictureFolder() + "/main_window.png";
    EXPECT_TRUE(afx::SaveWindowPng(frame, png.c_str()));

    doc->DeleteContents();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(list.GetColumnCount(), 0);
    EXPECT_EQ(view->GetStyle() & LVS_TYPEMASK, LVS_LIST);
    theApp.OnFileNew();
}

TEST(Startup, AcceleratorsRouteTheAnalysisCommands) {
    CMainFrame* frame = StartTabulon();
    ASSERT_NE(frame, nullptr);
    afx::CommandTrace trace;
    CWnd* view = testsupport::Document()->GetView();
    testsupport::PressKey(view, 'P', true);
    testsupport::PressKey(view, 'R', true);
    testsupport::PressKey(view, 'M', true);
    testsupport::PressKey(view, 'H', true);
    testsupport::PressKey(view, 'Q', true);  // no accelerator
    ASSERT_EQ(trace.Entries().size(), 4u);
    const UINT ids[4] = {ID_ANALYSIS_PRINCIPAL, ID_ANALYSIS_BINARY, ID_ANALYSIS_MULTIPLE, ID_ANALYSIS_CLASSIFICATION};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(trace.Entries()[static_cast<size_t>(i)].id, ids[i]);
        EXPECT_FALSE(trace.Entries()[static_cast<size_t>(i)].enabled);  // no data in the document
    }
}

TEST(Startup, AboutBoxRunsModallyAndClosesWithEnter) {
    CMainFrame* frame = StartTabulon();
    ASSERT_NE(frame, nullptr);
    ScriptedUser user;
    user.OnDialog(IDD_ABOUTBOX, [](DialogDriver& dlg) {
        EXPECT_EQ(dlg.Caption(), "Créditos Tesmo");
        EXPECT_TRUE(dlg.IsVisible(IDOK));
        dlg.SavePng((testsupport::PictureFolder() + "/about.png").c_str());
        dlg.Key(VK_RETURN);
        EXPECT_EQ(dlg.Dialog().GetModalResult(), IDOK);
    });
    frame->SendMessage(WM_COMMAND, MAKEWPARAM(ID_APP_ABOUT, 0), 0);
    EXPECT_TRUE(user.AllAnswered());
}

TEST(Startup, ViewContextMenuOffersPrintAndCopy) {
    StartTabulon();
    CWnd* view = testsupport::Document()->GetView();
    ScriptedUser user;
    user.OnPopupMenu([](const afx::PopupMenuRequest& menu) {
        EXPECT_EQ(menu.items.size(), 2u);
        if (menu.items.size() == 2) {
            EXPECT_EQ(menu.items[0].first, "Imprimir");
            EXPECT_EQ(menu.items[1].second, ID_POPUP_COPY);
        }
        return 0u;
    });
    CPoint p(20, 20);
    view->ClientToScreen(&p);
    view->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view->m_hWnd), MAKELPARAM(p.x, p.y));
    EXPECT_TRUE(user.AllAnswered());
}

TEST(Startup, RecentFilesKeepFourAndSurviveInTheProfile) {
    StartTabulon();
    for (const char* f : {"/tmp/a.tsm", "/tmp/b.tsm", "/tmp/c.tsm", "/tmp/d.tsm", "/tmp/e.tsm", "/tmp/c.tsm"})
        theApp.AddToRecentFileList(f);
    std::vector<CString> expected = {"/tmp/c.tsm", "/tmp/e.tsm", "/tmp/d.tsm", "/tmp/b.tsm"};
    EXPECT_EQ(theApp.GetRecentFiles(), expected);
    theApp.SaveStdProfileSettings();
    theApp.LoadStdProfileSettings(4);
    EXPECT_EQ(theApp.GetRecentFiles(), expected);
    EXPECT_EQ(theApp.GetProfileString("Recent File List", "File1"), "/tmp/c.tsm");
}

}  // namespace

namespace {
TEST(Startup, TheMenuBarReadsAsTheProgramsAndFollowsTheData) {
    CMainFrame* frame = StartTabulon();
    ASSERT_NE(frame, nullptr);
    std::vector<CString> top;
    std::vector<CString> analyses;
    bool inAnalyses = false;
    for (const auto& e : frame->DescribeMenu()) {
        if (e.depth == 0) top.push_back(e.text);
        if (e.depth == 1) inAnalyses = e.text == "Análise Multivariada";
        else if (e.depth == 2 && inAnalyses) analyses.push_back(e.text);
    }
    EXPECT_EQ(top, (std::vector<CString>{"&Ficheiro", "&Editar", "Ver", "Programas", "Opções", "&Help"}));
    ASSERT_EQ(analyses.size(), 4u);
    EXPECT_EQ(analyses[1], "Análise das Correspondências Binárias\tCtrl+R");

    // With data in the document the file and configuration commands come alive.
    CTabulonDoc* doc = testsupport::Document();
    testsupport::TempFolder dir;
    testsupport::WriteBytes(dir.File("m.tsm"), "#Tesmo v7.00#\r\n-9.9\r\n1\r\nX\r\n1\r\na 1\r\n");
    ScriptedUser user;
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("m.tsm").c_str()), nullptr);
    for (UINT id : {ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_FILE_EXPORT, ID_OPTIONS_CONFIGURATION, ID_EDIT_COPY,
                    ID_FILE_IMPORT, ID_EDIT_PASTE})
        EXPECT_TRUE(frame->IsCommandEnabled(id)) << id;
    EXPECT_TRUE(frame->IsCommandEnabled(ID_FILE_MRU_FILE1));  // a recent file now exists
    EXPECT_EQ(theApp.GetRecentFiles().front(), dir.File("m.tsm").c_str());
    doc->DeleteContents();
    EXPECT_FALSE(frame->IsCommandEnabled(ID_FILE_SAVE));
    theApp.OnFileNew();
}
}  // namespace
