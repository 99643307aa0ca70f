// A file named on the command line: the program starts with it, titled by its path.
#include <gtest/gtest.h>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "tests/support/gui_test.h"

namespace {

TEST(CommandLine, TheNamedFileTitlesTheMainWindow) {
    testsupport::TempFolder dir;
    testsupport::WriteBytes(dir.File("linha.tsm"), "#Tesmo v7.00#\r\n-9.9\r\n1\r\nX\r\n1\r\na 1\r\n");
    theApp.m_args = {dir.File("linha.tsm").c_str()};
    ScriptedUser user;
    ASSERT_TRUE(theApp.InitInstance());
    EXPECT_TRUE(user.AllAnswered());
    CString title;
    AfxGetMainWnd()->GetWindowText(title);
    EXPECT_EQ(title, dir.File("linha.tsm").c_str());
    EXPECT_TRUE(theApp.GetDocument()->HasData());
    theApp.m_args.clear();
}

}  // namespace
