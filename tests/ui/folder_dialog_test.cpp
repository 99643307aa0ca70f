#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "platform/core/cp1252.h"
#include "platform/core/folders.h"
#include "res/resources.h"
#include "tests/support/gui_test.h"
#include "ui/folder_dialog.h"

namespace {

using testsupport::TempFolder;

bool IsDir(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void MakeDir(const std::string& path) { std::filesystem::create_directories(path); }

class FolderDialogTest : public testing::Test {
protected:
    void SetUp() override { RegisterTabulonResources(); }
    TempFolder temp;
    std::string root() const { return temp.Path(); }
};

// --- Path helpers -----------------------------------------------------------------------

TEST(FolderPaths, NormaliseAndParent) {
    EXPECT_EQ(afx::NormaliseFolderPath("/home/ana", "relatorios"), "/home/ana/relatorios");
    EXPECT_EQ(afx::NormaliseFolderPath("/home/ana", "../rui/./x/"), "/home/rui/x");
    EXPECT_EQ(afx::NormaliseFolderPath("/home/ana", "/tmp//a/"), "/tmp/a");
    EXPECT_EQ(afx::NormaliseFolderPath("/home", "../../.."), "/");
    EXPECT_EQ(afx::NormaliseFolderPath("/home/ana", ""), "/home/ana");
    EXPECT_EQ(afx::ParentFolderPath("/home/ana"), "/home");
    EXPECT_EQ(afx::ParentFolderPath("/home"), "/");
    EXPECT_EQ(afx::ParentFolderPath("/"), "/");
}

TEST(FolderPaths, ListingAndCreation) {
    TempFolder temp;
    const std::string r = temp.Path();
    for (const char* d : {"beta", "Alpha", "gamma", ".hidden", "Relatórios"}) MakeDir(r + "/" + afx::Cp1252ToUtf8(d));
    testsupport::WriteBytes(r + "/afile.txt", "x");
    std::vector<CString> all = afx::ListSubfolders(r.c_str());
    EXPECT_EQ(all, (std::vector<CString>{"Alpha", "beta", "gamma", "Relatórios"}));
    EXPECT_EQ(afx::ListSubfolders(r.c_str(), "Rel"), std::vector<CString>{"Relatórios"});
    EXPECT_EQ(afx::ListSubfolders(r.c_str(), "a"), std::vector<CString>{});   // names match with their case
    EXPECT_EQ(afx::ListSubfolders(r.c_str(), ".h"), std::vector<CString>{".hidden"});

    int error = 0;
    EXPECT_TRUE(afx::CreateFolderPath((r + "/x/y/Análise").c_str(), &error));
    EXPECT_TRUE(IsDir(r + "/x/y/" + afx::Cp1252ToUtf8("Análise")));
    EXPECT_TRUE(afx::CreateFolderPath((r + "/x/y").c_str(), &error));   // already there
    EXPECT_FALSE(afx::CreateFolderPath((r + "/afile.txt/sub/deeper").c_str(), &error));
    EXPECT_EQ(error, ENOTDIR);
    EXPECT_FALSE(IsDir(r + "/afile.txt/sub"));
    EXPECT_EQ(afx::VolumeKindOf((r + "/not/there").c_str()), afx::VolumeKind::Fixed);
}

// --- The dialog ------------------------------------------------------------------------

TEST_F(FolderDialogTest, OpensOnTheInitialFolderAndAcceptsAnExistingFolder) {
    MakeDir(root() + "/dados");
    ScriptedUser user;
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        EXPECT_EQ(page.Caption(), "Select Folder");
        EXPECT_EQ(page.Text(IDC_FOLDER_LABEL), "Folder:");
        EXPECT_EQ(page.Text(IDC_FOLDER_OPEN), "Open");
        EXPECT_EQ(page.Text(IDC_FOLDER_EDIT), root() + "/");
        EXPECT_EQ(page.FocusId(), IDC_FOLDER_EDIT);
        page.Type(IDC_FOLDER_EDIT, (root() + "/dados").c_str());
        page.Click(IDC_FOLDER_OPEN);
    });
    CFolderDialog dlg(root().c_str());
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetFolder(), root() + "/dados/");
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(FolderDialogTest, EmptyTextAcceptsTheFolderShownAndRelativePathsResolveAgainstIt) {
    MakeDir(root() + "/a/b");
    MakeDir(root() + "/c");
    ScriptedUser user;
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        page.Type(IDC_FOLDER_EDIT, "");
        page.Click(IDC_FOLDER_OPEN);
    });
    CFolderDialog first((root() + "/a").c_str());
    EXPECT_EQ(first.DoModal(), IDOK);
    EXPECT_EQ(first.GetFolder(), root() + "/a/");

    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        page.Type(IDC_FOLDER_EDIT, "b/../../c/");
        page.Click(IDC_FOLDER_OPEN);
    });
    CFolderDialog second((root() + "/a").c_str());
    EXPECT_EQ(second.DoModal(), IDOK);
    EXPECT_EQ(second.GetFolder(), root() + "/c/");
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(FolderDialogTest, AFileIsRefusedAndCancelKeepsTheCallersFolder) {
    const std::string file = root() + "/notas.txt";
    testsupport::WriteBytes(file, "x");
    ScriptedUser user;
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        page.Type(IDC_FOLDER_EDIT, file.c_str());
        page.Click(IDC_FOLDER_OPEN);
    });
    user.OnMessageBox([&](const CString& text, UINT type) {
        EXPECT_EQ(text, file + "\nThis is a file not a directory.");
        EXPECT_EQ(type & MB_TYPEMASK, static_cast<UINT>(MB_OK));
        return IDOK;
    });
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        EXPECT_EQ(page.FocusId(), IDC_FOLDER_EDIT);   // the refusal gives the edit back
        page.Click(IDCANCEL);
    });
    CFolderDialog dlg(root().c_str());
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.GetFolder(), root());
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(FolderDialogTest, AMissingFolderIsCreatedWithItsParentsOnlyAfterYes) {
    const std::string wanted = root() + "/novo/relatorio/html";
    ScriptedUser user;
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        page.Type(IDC_FOLDER_EDIT, (wanted + "/").c_str());
        page.Click(IDC_FOLDER_OPEN);
    });
    user.OnMessageBox([&](const CString& text, UINT type) {
        EXPECT_EQ(text, wanted + "\nThis folder does not exist.\n\nDo you want to create it?");
        EXPECT_EQ(type & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
        return IDNO;
    });
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        EXPECT_FALSE(IsDir(root() + "/novo"));   // No creates nothing and stays
        page.Click(IDC_FOLDER_OPEN);
    });
    user.OnMessageBox([](const CString&, UINT) { return IDYES; });
    CFolderDialog dlg(root().c_str());
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(IsDir(wanted));
    EXPECT_EQ(dlg.GetFolder(), wanted + "/");
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(FolderDialogTest, AFailedCreationGivesItsMessageOnOpenAndOnEnter) {
    testsupport::WriteBytes(root() + "/ficheiro", "x");
    const std::string wanted = root() + "/ficheiro/sub";
    ScriptedUser user;
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        page.Type(IDC_FOLDER_EDIT, wanted.c_str());
        page.Click(IDC_FOLDER_OPEN);
    });
    user.OnMessageBox([](const CString&, UINT) { return IDYES; });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "You do not have permission\nto create this folder.");
        return IDOK;
    });
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        page.Type(IDC_FOLDER_EDIT, (wanted + "/").c_str());
        page.Key(VK_RETURN);
    });
    user.OnMessageBox([&](const CString& text, UINT) {
        EXPECT_EQ(text, wanted + "\nThis folder does not exist.\n\nDo you want to create it?");
        return IDYES;
    });
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "You do not have permission or\notherwise cannot create this folder.");
        return IDOK;
    });
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        EXPECT_EQ(page.Text(IDC_FOLDER_SHOWN), root() + "/");
        EXPECT_EQ(page.FocusId(), IDC_FOLDER_EDIT);
        page.Key(VK_ESCAPE);
    });
    CFolderDialog dlg(root().c_str());
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(FolderDialogTest, EnterOpensAFolderInsideTheDialogAndTabGoesToOpen) {
    MakeDir(root() + "/dados/kelo");
    MakeDir(root() + "/dados/pilo");
    ScriptedUser user;
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        page.Type(IDC_FOLDER_EDIT, "dados");
        page.Key(VK_RETURN);
        EXPECT_FALSE(page.Dialog().HasEnded());
        EXPECT_EQ(page.Text(IDC_FOLDER_SHOWN), root() + "/dados/");
        EXPECT_EQ(page.Text(IDC_FOLDER_EDIT), root() + "/dados/");
        EXPECT_EQ(page.Items(IDC_FOLDER_LIST), (std::vector<CString>{"kelo", "pilo"}));
        EXPECT_EQ(page.FocusId(), IDC_FOLDER_EDIT);
        page.Key(VK_TAB);
        EXPECT_EQ(page.FocusId(), IDC_FOLDER_OPEN);
        page.Key(VK_RETURN);   // the focused button
    });
    CFolderDialog dlg(root().c_str());
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetFolder(), root() + "/dados/");
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(FolderDialogTest, TypingCompletesAFolderNameThatAloneMatches) {
    for (const char* d : {"Documentos", "Downloads", "Musica/rock"}) MakeDir(root() + "/" + d);
    testsupport::WriteBytes(root() + "/Mapa.txt", "x");   // files do not count
    ScriptedUser user;
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        page.Focus(IDC_FOLDER_EDIT);
        page.Key(VK_END);
        page.TypeKeys("Do");
        EXPECT_EQ(page.Text(IDC_FOLDER_EDIT), root() + "/Do");   // two folders begin so
        page.TypeKeys("c");
        EXPECT_EQ(page.Text(IDC_FOLDER_EDIT), root() + "/Documentos");
        page.TypeKeys("x");   // typing on replaces the completed part
        EXPECT_EQ(page.Text(IDC_FOLDER_EDIT), root() + "/Docx");
        page.Key(VK_BACK);
        EXPECT_EQ(page.Text(IDC_FOLDER_EDIT), root() + "/Doc");   // no completion on Backspace
        for (int i = 0; i < 3; ++i) page.Key(VK_BACK);
        page.TypeKeys("M");
        EXPECT_EQ(page.Text(IDC_FOLDER_EDIT), root() + "/Musica");
        page.Key(VK_END);
        page.TypeKeys("/");   // a folder name ending in '/' opens it
        EXPECT_EQ(page.Text(IDC_FOLDER_SHOWN), root() + "/Musica/");
        EXPECT_EQ(page.Items(IDC_FOLDER_LIST), std::vector<CString>{"rock"});
        page.TypeKeys("r");
        EXPECT_EQ(page.Text(IDC_FOLDER_EDIT), root() + "/Musica/rock");
        page.Click(IDC_FOLDER_OPEN);
    });
    CFolderDialog dlg(root().c_str());
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetFolder(), root() + "/Musica/rock/");
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(FolderDialogTest, TheListWalksIntoAndOutOfFolders) {
    for (const char* d : {"beta/um", "Alpha", "gamma", ".oculta"}) MakeDir(root() + "/" + d);
    testsupport::WriteBytes(root() + "/texto.txt", "x");
    ScriptedUser user;
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        EXPECT_EQ(page.Items(IDC_FOLDER_LIST), (std::vector<CString>{"Alpha", "beta", "gamma"}));
        page.DoubleClick(IDC_FOLDER_LIST, 1);
        EXPECT_EQ(page.Text(IDC_FOLDER_SHOWN), root() + "/beta/");
        EXPECT_EQ(page.Items(IDC_FOLDER_LIST), std::vector<CString>{"um"});
        page.Click(IDC_FOLDER_UP);
        EXPECT_EQ(page.Text(IDC_FOLDER_SHOWN), root() + "/");
        page.Select(IDC_FOLDER_LIST, 2);
        EXPECT_EQ(page.Text(IDC_FOLDER_EDIT), root() + "/gamma/");
        page.SavePng((testsupport::PictureFolder() + "/folder_dialog.png").c_str());
        page.Click(IDC_FOLDER_OPEN);
    });
    CFolderDialog dlg(root().c_str());
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetFolder(), root() + "/gamma/");
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(FolderDialogTest, ALongFolderNameKeepsItsEndInSight) {
    std::string deep = root();
    for (int i = 0; i < 12; ++i) deep += "/pasta-numero-" + std::to_string(i);
    MakeDir(deep);
    ScriptedUser user;
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        EXPECT_EQ(page.Text(IDC_FOLDER_EDIT), deep + "/");
        CString shown = page.Text(IDC_FOLDER_SHOWN);
        EXPECT_EQ(shown.Left(4), ".../");
        EXPECT_EQ(CString(deep + "/").Right(shown.GetLength() - 3), shown.Mid(3));
        EXPECT_GT(shown.GetLength(), 20);
        page.SavePng((testsupport::PictureFolder() + "/folder_dialog_long.png").c_str());
        page.Click(IDCANCEL);
    });
    CFolderDialog dlg(deep.c_str());
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(FolderDialogTest, TheRootHasNoFolderAbove) {
    ScriptedUser user;
    user.OnDialog(IDD_FOLDER_DIALOG, [&](DialogDriver& page) {
        page.Type(IDC_FOLDER_EDIT, "/");
        page.Key(VK_RETURN);
        EXPECT_EQ(page.Text(IDC_FOLDER_SHOWN), "/");
        EXPECT_FALSE(page.IsEnabled(IDC_FOLDER_UP));
        page.Click(IDC_FOLDER_OPEN);
    });
    CFolderDialog dlg((root() + "/does/not/exist").c_str());
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetFolder(), "/");
    EXPECT_TRUE(user.AllAnswered());
}

}  // namespace
