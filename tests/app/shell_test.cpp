#include <gtest/gtest.h>

#include <unistd.h>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "res/resource_ids.h"
#include "tests/support/gui_test.h"

using testsupport::StartTabulon;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

const std::string kFile =
    "#Tesmo v7.00#\r\n-9.900000\r\n1\r\nX\r\n1\r\na 1.000000\r\nb 2.000000\r\n";

TEST(Shell, TheCommandLineOpensTheNamedFileFromTheCurrentFolder) {
    StartTabulon();
    TempFolder dir;
    WriteBytes(dir.File("linha.tsm"), kFile);
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    theApp.m_args = {"linha.tsm"};
    CCommandLineInfo info;
    theApp.ParseCommandLine(info);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
    ScriptedUser user;
    EXPECT_TRUE(theApp.ProcessShellCommand(info));
    EXPECT_EQ(testsupport::Document()->GetPathName(), dir.File("linha.tsm").c_str());
    EXPECT_TRUE(testsupport::Document()->HasData());
    theApp.m_args.clear();
    ASSERT_EQ(chdir(old), 0);
}

TEST(Shell, AFileThatCannotBeOpenedLeavesTheTableAlone) {
    StartTabulon();
    TempFolder dir;
    WriteBytes(dir.File("a.tsm"), kFile);
    ScriptedUser user;
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("a.tsm").c_str()), nullptr);
    CTabulonDoc* doc = testsupport::Document();
    user.OnFileDialog([&](afx::FileDialogRequest& req) {
        req.path = dir.File("sumiu.tsm").c_str();
        return true;
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_NE(text.Find("sumiu.tsm"), -1) << text.GetString();
        return IDOK;
    });
    theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_OPEN, 0), 0);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_TRUE(doc->HasData());
    EXPECT_EQ(doc->GetDataSet()->GetRowCount(), 2);
    EXPECT_EQ(doc->GetPathName(), dir.File("a.tsm").c_str());

    // The same file again is only brought forward: changes are not thrown away.
    doc->RenameItem(1, "Y");
    EXPECT_EQ(theApp.OpenDocumentFile(dir.File("a.tsm").c_str()), doc);
    EXPECT_EQ(doc->GetDataSet()->GetVariableName(1), "Y");
    EXPECT_TRUE(doc->IsModified());
    doc->SetModifiedFlag(FALSE);
}

TEST(Shell, TheSaveQuestionAnswersYesNoAndCancel) {
    StartTabulon();
    TempFolder dir;
    WriteBytes(dir.File("q.tsm"), kFile);
    ScriptedUser user;
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("q.tsm").c_str()), nullptr);
    CTabulonDoc* doc = testsupport::Document();
    doc->RenameItem(1, "Altura");
    for (int answer : {IDCANCEL, IDNO, IDYES})
        user.OnMessageBox([answer](const CString& text, UINT type) {
            EXPECT_EQ(text, "Save changes to q.tsm?");
            EXPECT_EQ(type & MB_TYPEMASK, MB_YESNOCANCEL);
            return answer;
        });
    EXPECT_FALSE(doc->SaveModified());
    EXPECT_TRUE(doc->SaveModified());
    EXPECT_TRUE(doc->IsModified());  // "No" keeps the changes in the window
    EXPECT_TRUE(doc->SaveModified());  // "Yes" saves to the file
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_NE(testsupport::ReadBytes(dir.File("q.tsm")).find("\r\nAltura\r\n"), std::string::npos);
}

}  // namespace

namespace {

TEST(Shell, TheOpenAndSavePromptsOfferTheDataFileType) {
    StartTabulon();
    CDocTemplate* t = nullptr;
    POSITION pos = theApp.GetFirstDocTemplatePosition();
    t = theApp.GetNextDocTemplate(pos);
    ASSERT_NE(t, nullptr);
    CString part;
    EXPECT_TRUE(t->GetDocString(part, CDocTemplate::windowTitle));
    EXPECT_EQ(part, "Tesmi");
    EXPECT_TRUE(t->GetDocString(part, CDocTemplate::filterName));
    EXPECT_EQ(part, "Ficheiro Dados Tesmo (*.tsm)");
    EXPECT_TRUE(t->GetDocString(part, CDocTemplate::filterExt));
    EXPECT_EQ(part, ".tsm");
    EXPECT_TRUE(t->GetDocString(part, CDocTemplate::regFileTypeName));
    EXPECT_EQ(part, "Tesmo Document");

    ScriptedUser user;
    user.OnFileDialog([](afx::FileDialogRequest& req) {
        EXPECT_TRUE(req.open);
        EXPECT_EQ(req.title, "Abrir");
        EXPECT_EQ(req.filter, "Ficheiro Dados Tesmo (*.tsm)|*.tsm|All Files (*.*)|*.*|");
        return false;  // cancelled: nothing happens
    });
    CTabulonDoc* before = testsupport::Document();
    theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_OPEN, 0), 0);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(testsupport::Document(), before);
    EXPECT_TRUE(before->IsNewUntitled());

    // Save As of a pasted table proposes its name, in a save prompt titled as such.
    afx::SetClipboardText("r\t1\r\n");
    theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_EDIT_PASTE, 0), 0);
    user.OnFileDialog([](afx::FileDialogRequest& req) {
        EXPECT_FALSE(req.open);
        EXPECT_EQ(req.title, "Gravar como");
        EXPECT_EQ(req.initialName, "SemTitulo.tsm");
        return false;
    });
    theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FILE_SAVE_AS, 0), 0);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_TRUE(testsupport::Document()->IsModified());
    testsupport::Document()->SetModifiedFlag(FALSE);
}

TEST(Shell, ProfileEntriesRoundTrip) {
    StartTabulon();
    EXPECT_TRUE(theApp.WriteProfileString("Teste", "Nome", "Évora"));
    EXPECT_EQ(theApp.GetProfileString("Teste", "Nome"), "Évora");
    EXPECT_EQ(theApp.GetProfileString("Teste", "Falta", "omissão"), "omissão");
    EXPECT_TRUE(theApp.WriteProfileInt("Teste", "Conta", -7));
    EXPECT_EQ(static_cast<int>(theApp.GetProfileInt("Teste", "Conta", 0)), -7);
    EXPECT_EQ(theApp.GetProfileInt("Teste", "Nada", 42), 42u);
    EXPECT_TRUE(theApp.WriteProfileString("Teste", "Nome", nullptr));
    EXPECT_EQ(theApp.GetProfileString("Teste", "Nome", "x"), "x");
}

TEST(Shell, PasteWithoutTextOrWithTheClipboardHeldChangesNothing) {
    StartTabulon();
    CTabulonDoc* doc = testsupport::Document();
    ScriptedUser user;  // no message is expected
    afx::SetClipboardText("r\t1\r\n");
    afx::SetClipboardHeldElsewhere(true);
    theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_EDIT_PASTE, 0), 0);
    afx::SetClipboardHeldElsewhere(false);
    EXPECT_FALSE(doc->HasData());
    EXPECT_EQ(doc->GetDataSet()->GetRowCount(), 0);
    afx::SetClipboardText("");
    theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_EDIT_PASTE, 0), 0);
    EXPECT_FALSE(doc->HasData());
    EXPECT_TRUE(doc->IsNewUntitled());
    EXPECT_TRUE(user.AllAnswered());
}

}  // namespace
