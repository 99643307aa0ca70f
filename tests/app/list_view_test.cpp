// The list view formats each cell when it is shown, from the data set as it is then.
#include <gtest/gtest.h>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "app/tabulon_view.h"
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

}  // namespace
