// The list view formats each cell when it is shown, from the data set as it is then.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "app/tabulon_view.h"
#include "platform/ui/text_fit.h"
#include "res/resource_ids.h"
#include "tests/support/gui_test.h"

namespace {

TEST(ListView, CellsAreFormattedFromTheDataWhenShown) {
    testsupport::StartTabulon();
    testsupport::TempFolder dir;
    testsupport::WriteBytes(dir.File("v.tsm"),
                            "#Tesmo v7.00#\r\n-9.9\r\n2\r\nX\r\n1\r\nG\r\n0\r\n0\r\na 1.25 2\r\nb 3 -1.7\r\n");
    ScriptedUser user;
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("v.tsm").c_str()), nullptr);
    CTabulonDoc* doc = testsupport::Document();
    CListCtrl& list = doc->GetView()->GetListCtrl();
    afx::ProcessPendingEvents();
    EXPECT_EQ(list.GetItemText(0, 1), "1.250");
    EXPECT_EQ(list.GetItemText(1, 2), "-1");
    EXPECT_EQ(list.GetItemText(1, 0), "b");
    // The list holds no copy of the table: a changed value shows at once.
    doc->GetDataSet()->SetValue(1, 1, 1234.5678);
    EXPECT_EQ(list.GetItemText(0, 1), "1234.568");
    EXPECT_EQ(list.GetItemText(2, 1), "");  // past the last row
    EXPECT_FALSE(list.SetItemText(0, 1, "x"));
    EXPECT_TRUE(afx::SaveWindowPng(AfxGetMainWnd(), (testsupport::PictureFolder() + "/list_view_cells.png").c_str()));
}

// A value whose fixed form is wider than its column shows in exponent form, with the
// column's decimals, where it would have been cut to its first digits ("1000000..." reads
// as a million); a column too narrow even for that form grows to show it. The data, and so
// copies and saved files, keep the value itself.
TEST(ListView, ANumberTooWideForItsColumnShowsInExponentForm) {
    testsupport::StartTabulon();
    testsupport::TempFolder dir;
    testsupport::WriteBytes(dir.File("w.tsm"), "#Tesmo v7.00#\r\n-9.9\r\n3\r\nX\r\n1\r\nG\r\n0\r\n0\r\nY\r\n1\r\n"
                                               "a 10000000000000000000000000000000000000000000 7 1\r\n"
                                               "b -2.5 -3000000000000000000000000 2\r\n");
    ScriptedUser user;
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("w.tsm").c_str()), nullptr);
    CTabulonDoc* doc = testsupport::Document();
    CListCtrl& list = doc->GetView()->GetListCtrl();
    EXPECT_EQ(afx::ShownItemText(&list, 0, 1), "1.000e+43");
    EXPECT_EQ(list.GetItemText(0, 1), FormatFixed(1e43, 3));
    EXPECT_EQ(afx::ShownItemText(&list, 1, 1), "-2.500");
    // A qualitative column shows integers, with no decimals in either form.
    EXPECT_EQ(afx::ShownItemText(&list, 1, 2), "-3e+24");
    EXPECT_EQ(afx::ShownItemText(&list, 0, 2), "7");
    EXPECT_EQ(afx::ShownItemText(&list, 0, 0), "a");
    EXPECT_EQ(list.GetColumnWidth(1), 70);
    // The largest values: wider than the column even in exponent form, which it grows to
    // show once it has been painted.
    doc->GetDataSet()->SetValue(1, 3, -1.7e308);
    list.RedrawItems(0, 1);
    EXPECT_TRUE(afx::SaveWindowPng(AfxGetMainWnd(), (testsupport::PictureFolder() + "/list_view_wide_numbers.png").c_str()));
    afx::ProcessPendingEvents();
    EXPECT_GT(list.GetColumnWidth(3), 70);
    EXPECT_EQ(afx::ShownItemText(&list, 0, 3), "-1.700e+308");
    EXPECT_EQ(afx::TextsThatDoNotFit(list), std::vector<std::string>{});
}

// A table of two rows and 300,000 variables is imported and shown in about the time its
// columns take one by one: the list's header gets the columns' widths without working out
// each column's place anew (which made the time grow with the square of the columns, to
// about a minute here).
TEST(ListView, AWideTableIsImportedAndShownInLinearTime) {
    testsupport::StartTabulon();
    testsupport::TempFolder dir;
    constexpr int kVariables = 300000;
    std::string text;
    for (const char* name : {"a", "b"}) {
        text += name;
        for (int v = 0; v < kVariables; ++v) text += v % 2 ? " 1" : " 2.5";
        text += "\n";
    }
    testsupport::WriteBytes(dir.File("largo.txt"), text);
    ScriptedUser user;
    user.OnFileDialog([&](afx::FileDialogRequest& request) {
        request.path = dir.File("largo.txt").c_str();
        return true;
    });
    const auto start = std::chrono::steady_clock::now();
    AfxGetMainWnd()->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_IMPORT, 0), 0);
    afx::ProcessPendingEvents();
    ASSERT_TRUE(afx::SaveWindowPng(AfxGetMainWnd(), (testsupport::PictureFolder() + "/list_view_wide_table.png").c_str()));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_TRUE(user.AllAnswered());
    CListCtrl& list = testsupport::Document()->GetView()->GetListCtrl();
    EXPECT_EQ(list.GetColumnCount(), kVariables + 1);
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetColumnWidth(kVariables), 70);
    EXPECT_EQ(list.GetItemText(1, kVariables), "1.000");
    // Well under a second on an idle machine; the bound leaves room for a loaded one and
    // for the sanitizers.
    EXPECT_LT(seconds, 20.0);
}

}  // namespace
