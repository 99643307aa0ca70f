// A file named on the command line that the reader refuses: the program starts all the same.
#include <gtest/gtest.h>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "tests/support/gui_test.h"

namespace {

TEST(CommandLine, ARefusedFileLeavesTheProgramWithANewTable) {
    testsupport::TempFolder dir;
    testsupport::WriteBytes(dir.File("mau.tsm"), "#Tesmo v6.00#\r\n");
    theApp.m_args = {dir.File("mau.tsm").c_str()};
    ScriptedUser user;
    for (const char* text : {"A versão do ficheiro de dados não está correcta", "Não foi possivel abrir o Ficheiro de Dados"})
        user.OnMessageBox([expected = CString(text)](const CString& shown, UINT) {
            EXPECT_EQ(shown, expected);
            return IDOK;
        });
    ASSERT_TRUE(theApp.InitInstance());
    EXPECT_TRUE(user.AllAnswered());
    ASSERT_NE(AfxGetMainWnd(), nullptr);
    CString title;
    AfxGetMainWnd()->GetWindowText(title);
    EXPECT_EQ(title, "Tesmo");
    CTabulonDoc* doc = theApp.GetDocument();
    EXPECT_FALSE(doc->HasData());
    EXPECT_TRUE(doc->IsNewUntitled());
    EXPECT_EQ(doc->GetPathName(), "SemTitulo.tsm");
    EXPECT_TRUE(theApp.GetRecentFiles().empty());
    theApp.m_args.clear();
}

}  // namespace
