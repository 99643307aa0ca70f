// Saving, exporting, opening, importing and pasting never lose or misread the user's data.
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "app/tabulon_view.h"
#include "res/resource_ids.h"
#include "tests/support/gui_test.h"

using testsupport::ReadBytes;
using testsupport::StartTabulon;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

const std::string kSmallFile =
    "#Tesmo v7.00#\r\n-9.900000\r\n2\r\nAltura\r\n1\r\nSexo\r\n0\r\n2\r\nF 1\r\nM 2\r\n"
    "a1 1.700000 1.000000\r\na2 -9.900000 2.000000\r\n";
// kSmallFile with Altura renamed to Peso.
const std::string kRenamedFile =
    "#Tesmo v7.00#\r\n-9.900000\r\n2\r\nPeso\r\n1\r\nSexo\r\n0\r\n2\r\nF 1\r\nM 2\r\n"
    "a1 1.700000 1.000000\r\na2 -9.900000 2.000000\r\n";

void Command(UINT id) { theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }

CString MainTitle() {
    CString t;
    AfxGetMainWnd()->GetWindowText(t);
    return t;
}

void ExpectMessage(ScriptedUser& user, const CString& text) {
    user.OnMessageBox([text](const CString& shown, UINT) {
        EXPECT_EQ(shown, text);
        return IDOK;
    });
}

void AnswerFilePrompt(ScriptedUser& user, const std::string& path) {
    user.OnFileDialog([path](afx::FileDialogRequest& req) {
        req.path = path.c_str();
        return true;
    });
}

CTabulonDoc* OpenSmallFile(const std::string& path) {
    StartTabulon();
    ScriptedUser user;
    EXPECT_NE(theApp.OpenDocumentFile(path.c_str()), nullptr);
    EXPECT_TRUE(user.AllAnswered());
    return testsupport::Document();
}

std::vector<std::string> FolderEntries(const TempFolder& dir) {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

mode_t ModeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(SavingInPlace, SaveGoesThroughALinkAndKeepsTheFilesPermissions) {
    TempFolder dir;
    std::filesystem::create_directory(dir.File("real"));
    WriteBytes(dir.File("real/dados.tsm"), kSmallFile);
    ASSERT_EQ(chmod(dir.File("real/dados.tsm").c_str(), 0600), 0);
    bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(dir.File("real/dados.tsm").c_str(), 4321, 4322), 0);
    }
    // A relative link in another folder.
    ASSERT_EQ(symlink("real/dados.tsm", dir.File("atalho.tsm").c_str()), 0);
    CTabulonDoc* doc = OpenSmallFile(dir.File("atalho.tsm"));
    doc->RenameItem(1, "Peso");
    {
        ScriptedUser user;
        Command(ID_FILE_SAVE);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("atalho.tsm")));
    EXPECT_EQ(ReadBytes(dir.File("real/dados.tsm")), kRenamedFile);
    EXPECT_EQ(ModeOf(dir.File("real/dados.tsm")), 0600u);
    if (root) {
        struct stat st;
        ASSERT_EQ(stat(dir.File("real/dados.tsm").c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 4322u);
    }
    EXPECT_EQ(FolderEntries(dir), (std::vector<std::string>{"atalho.tsm", "real"}));
    EXPECT_EQ(doc->GetPathName(), dir.File("atalho.tsm").c_str());

    // A new file made by Save As gets the usual permissions, not those of the last file.
    {
        ScriptedUser user;
        AnswerFilePrompt(user, dir.File("novo.tsm"));
        Command(ID_FILE_SAVE_AS);
        EXPECT_TRUE(user.AllAnswered());
    }
    mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(ModeOf(dir.File("novo.tsm")), 0666u & ~mask);
}

TEST(SavingInPlace, AReadOnlyFileIsRefusedWithTheAccessMessage) {
    TempFolder dir;
    WriteBytes(dir.File("so_leitura.tsm"), kSmallFile);
    ASSERT_EQ(chmod(dir.File("so_leitura.tsm").c_str(), 0444), 0);
    CTabulonDoc* doc = OpenSmallFile(dir.File("so_leitura.tsm"));
    doc->RenameItem(1, "Peso");
    {
        ScriptedUser user;
        ExpectMessage(user, FormatString("O acesso a %s foi negado.", dir.File("so_leitura.tsm").c_str()));
        Command(ID_FILE_SAVE);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(ReadBytes(dir.File("so_leitura.tsm")), kSmallFile);
    EXPECT_EQ(ModeOf(dir.File("so_leitura.tsm")), 0444u);
    EXPECT_EQ(FolderEntries(dir), std::vector<std::string>{"so_leitura.tsm"});
    doc->SetModifiedFlag(FALSE);
}

TEST(SavingInPlace, AnExportThatFailsKeepsTheOlderExportAndALinkStaysALink) {
    TempFolder dir;
    WriteBytes(dir.File("t.tsm"), kSmallFile);
    WriteBytes(dir.File("antiga.txt"), "the older export\r\n");
    ASSERT_EQ(chmod(dir.File("antiga.txt").c_str(), 0640), 0);
    ASSERT_EQ(symlink(dir.File("antiga.txt").c_str(), dir.File("ligacao.txt").c_str()), 0);
    OpenSmallFile(dir.File("t.tsm"));
    afx::FailFileWritesAfter(10);  // the disk fills up during the export
    {
        ScriptedUser user;
        AnswerFilePrompt(user, dir.File("antiga.txt"));
        ExpectMessage(user, "Erro a exportar o ficheiro");
        Command(ID_FILE_EXPORT);
        EXPECT_TRUE(user.AllAnswered());
    }
    afx::FailFileWritesAfter(-1);
    EXPECT_EQ(ReadBytes(dir.File("antiga.txt")), "the older export\r\n");
    EXPECT_EQ(FolderEntries(dir), (std::vector<std::string>{"antiga.txt", "ligacao.txt", "t.tsm"}));
    {
        ScriptedUser user;
        AnswerFilePrompt(user, dir.File("ligacao.txt"));
        Command(ID_FILE_EXPORT);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("ligacao.txt")));
    EXPECT_EQ(ReadBytes(dir.File("antiga.txt")), "a1 1.700000 1.000000\r\na2 -9.900000 2.000000\r\n");
    EXPECT_EQ(ModeOf(dir.File("antiga.txt")), 0640u);
}

TEST(ZeroBytes, AreRefusedOnTheLineWhereTheyStand) {
    StartTabulon();
    struct Case {
        const char* what;
        std::string content;
        const char* message;
    };
    const std::string head = "#Tesmo v7.00#\r\n-9.900000\r\n2\r\nA\r\n1\r\nB\r\n1\r\n";
    const Case cases[] = {
        {"variable name", "#Tesmo v7.00#\r\n-9.9\r\n2\r\nA\r\n1\r\nB" + std::string(1, '\0') + "x\r\n1\r\na 1 2\r\n",
         "Erro - O tipo da 2ª variável está errado"},
        {"modality name", "#Tesmo v7.00#\r\n-9.9\r\n1\r\nS\r\n0\r\n2\r\nF 1\r\nM" + std::string(1, '\0') + " 2\r\na 1\r\n",
         "Erro - O numero de modalidades da variavel 1ª está errado"},
        {"row name", head + "a 1 2\r\nb" + std::string(1, '\0') + "c 3 4\r\n",
         "Erro - O número de variáveis da 2ª linha não está correcto"},
        {"value", head + "a 1 2" + std::string(1, '\0') + "\r\n", "Erro - A 2ª variável da 1ª linha  não é um número"},
        {"code line", "#Tesmo v7.00#\r\n-9.9" + std::string(1, '\0') + "\r\n0\r\n",
         "O código de ausência definido no ficheiro não e um número"},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(dir.File("zero.tsm"), c.content);
        ScriptedUser user;
        ExpectMessage(user, c.message);
        ExpectMessage(user, "Não foi possivel abrir o Ficheiro de Dados");
        EXPECT_EQ(theApp.OpenDocumentFile(dir.File("zero.tsm").c_str()), nullptr);
        EXPECT_TRUE(user.AllAnswered());
        EXPECT_FALSE(testsupport::Document()->HasData());
    }
}

TEST(ZeroBytes, ATableTheReaderWouldRefuseIsNeverWritten) {
    TempFolder dir;
    WriteBytes(dir.File("t.tsm"), kSmallFile);
    CTabulonDoc* doc = OpenSmallFile(dir.File("t.tsm"));
    CDataSet* data = doc->GetDataSet();
    data->GetVariable(2)->GetCategories()[1].name = CString(std::string("M\0x", 3));
    doc->SetModifiedFlag(TRUE);
    {
        ScriptedUser user;
        ExpectMessage(user, "Erro - O nome da 2ª modalidade da 2ª variável não pode ser gravado");
        Command(ID_FILE_SAVE);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(ReadBytes(dir.File("t.tsm")), kSmallFile);
    EXPECT_TRUE(doc->IsModified());
    data->GetVariable(2)->GetCategories()[1].name = "M";
    data->SetVariableName(1, "Altura\nPeso");
    {
        ScriptedUser user;
        ExpectMessage(user, "Erro - O nome da 1ª variável não pode ser gravado");
        Command(ID_FILE_SAVE);
        EXPECT_TRUE(user.AllAnswered());
    }
    data->SetVariableName(1, "Altura");
    // A row name is one word: with a blank its second word would be read as a value.
    data->SetRowName(2, "a 2");
    {
        ScriptedUser user;
        ExpectMessage(user, "Erro - O nome da 2ª linha não pode ser gravado");
        AnswerFilePrompt(user, dir.File("linhas.txt"));
        ExpectMessage(user, "Erro - O nome da 2ª linha não pode ser gravado");
        Command(ID_FILE_SAVE);
        Command(ID_FILE_EXPORT);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(ReadBytes(dir.File("t.tsm")), kSmallFile);
    EXPECT_FALSE(std::filesystem::exists(dir.File("linhas.txt")));
    doc->SetModifiedFlag(FALSE);
}

TEST(RefusedOpen, LeavesThePathTheTitleAndTheRecentFilesAsTheyWere) {
    TempFolder dir;
    WriteBytes(dir.File("bom.tsm"), kSmallFile);
    WriteBytes(dir.File("mau.tsm"), "#Tesmo v7.00#\r\n-9.9\r\nduas\r\n");
    CTabulonDoc* doc = OpenSmallFile(dir.File("bom.tsm"));
    CDataSet* before = doc->GetDataSet();
    std::vector<CString> recent = theApp.GetRecentFiles();
    ASSERT_EQ(recent.front(), dir.File("bom.tsm").c_str());
    {
        ScriptedUser user;
        AnswerFilePrompt(user, dir.File("mau.tsm"));
        ExpectMessage(user, "Erro - O número de variáveis não está correcto");
        ExpectMessage(user, "Não foi possivel abrir o Ficheiro de Dados");
        Command(ID_FILE_OPEN);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(doc->GetPathName(), dir.File("bom.tsm").c_str());
    EXPECT_EQ(MainTitle(), dir.File("bom.tsm").c_str());
    EXPECT_EQ(theApp.GetRecentFiles(), recent);
    EXPECT_EQ(doc->GetDataSet(), before);
    EXPECT_TRUE(doc->HasData());
    EXPECT_EQ(doc->GetView()->GetListCtrl().GetItemCount(), 2);

    // Repaired, the same file opens (it is not taken as the open document).
    WriteBytes(dir.File("mau.tsm"), kRenamedFile);
    {
        ScriptedUser user;
        AnswerFilePrompt(user, dir.File("mau.tsm"));
        Command(ID_FILE_OPEN);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(doc->GetDataSet()->GetVariableName(1), "Peso");
    EXPECT_EQ(theApp.GetRecentFiles().front(), dir.File("mau.tsm").c_str());
    EXPECT_EQ(MainTitle(), dir.File("mau.tsm").c_str());

    // A refused file opened from the recent-file list keeps its place there.
    WriteBytes(dir.File("bom.tsm"), "#Tesmo v6#\r\n");
    recent = theApp.GetRecentFiles();
    ASSERT_EQ(recent[1], dir.File("bom.tsm").c_str());
    {
        ScriptedUser user;
        ExpectMessage(user, "A versão do ficheiro de dados não está correcta");
        ExpectMessage(user, "Não foi possivel abrir o Ficheiro de Dados");
        Command(ID_FILE_MRU_FILE1 + 1);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(theApp.GetRecentFiles(), recent);
    EXPECT_EQ(doc->GetPathName(), dir.File("mau.tsm").c_str());
}

TEST(RefusedOpen, ANamedPipeOrADeviceIsRefusedWithoutWaiting) {
    TempFolder dir;
    ASSERT_EQ(mkfifo(dir.File("tubo.tsm").c_str(), 0600), 0);
    WriteBytes(dir.File("bom.tsm"), kSmallFile);
    CTabulonDoc* doc = OpenSmallFile(dir.File("bom.tsm"));
    for (const std::string& path : {dir.File("tubo.tsm"), std::string("/dev/null")}) {
        SCOPED_TRACE(path);
        ScriptedUser user;
        ExpectMessage(user, FormatString("Erro - %s não é um ficheiro regular", path.c_str()));
        ExpectMessage(user, "Não foi possivel abrir o Ficheiro de Dados");
        EXPECT_EQ(theApp.OpenDocumentFile(path.c_str()), nullptr);
        EXPECT_TRUE(user.AllAnswered());
        EXPECT_EQ(doc->GetPathName(), dir.File("bom.tsm").c_str());
    }
    // The import and the file class itself refuse it too.
    {
        ScriptedUser user;
        AnswerFilePrompt(user, dir.File("tubo.tsm"));
        ExpectMessage(user, "Erro a Importar Ficheiro");
        Command(ID_FILE_IMPORT);
        EXPECT_TRUE(user.AllAnswered());
    }
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(dir.File("tubo.tsm").c_str(), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_TRUE(doc->HasData());
}

TEST(ImportAndPaste, AnImportWithoutVariablesIsRefused) {
    TempFolder dir;
    WriteBytes(dir.File("bom.tsm"), kSmallFile);
    CTabulonDoc* doc = OpenSmallFile(dir.File("bom.tsm"));
    CDataSet* before = doc->GetDataSet();
    WriteBytes(dir.File("folha.txt"), "r1\t1\t2\r\nr2\t3\t4\r\n");  // what spreadsheets save
    WriteBytes(dir.File("binario.dat"), std::string("\x7f" "ELF\x02\x01\x01\xff\xfe\r\n\x01\x02\x03\n", 15));
    for (const char* name : {"folha.txt", "binario.dat"}) {
        SCOPED_TRACE(name);
        ScriptedUser user;
        AnswerFilePrompt(user, dir.File(name));
        ExpectMessage(user, "Erro - O ficheiro não tem variáveis separadas por espaços");
        Command(ID_FILE_IMPORT);
        EXPECT_TRUE(user.AllAnswered());
        EXPECT_EQ(doc->GetDataSet(), before);
        EXPECT_EQ(doc->GetPathName(), dir.File("bom.tsm").c_str());
        EXPECT_EQ(MainTitle(), dir.File("bom.tsm").c_str());
        EXPECT_EQ(doc->GetView()->GetListCtrl().GetItemCount(), 2);
    }
}

TEST(ImportAndPaste, ARowEndingWithATabOneFieldShortHasItsLastCellAbsent) {
    StartTabulon();
    CTabulonDoc* doc = testsupport::Document();
    afx::SetClipboardText("r1\t1\t2\t3\r\nr2\t4\t\t\r\nr3\t5\t6\t\r\n");
    {
        ScriptedUser user;
        Command(ID_EDIT_PASTE);
        EXPECT_TRUE(user.AllAnswered());
    }
    CDataSet* data = doc->GetDataSet();
    ASSERT_EQ(data->GetRowCount(), 3);
    ASSERT_EQ(data->GetVariableCount(), 3);
    EXPECT_EQ(data->GetValue(2, 1), 4.0);
    EXPECT_TRUE(data->IsMissing(2, 2));
    EXPECT_TRUE(data->IsMissing(2, 3));
    EXPECT_EQ(data->GetValue(3, 2), 6.0);
    EXPECT_TRUE(data->IsMissing(3, 3));
    doc->SetModifiedFlag(FALSE);
    // When the first rows are the short ones, the longer row shows where their cells were.
    afx::SetClipboardText("r1\t1\t\r\nr2\t2\t\r\nr3\t3\t4\r\n");
    {
        ScriptedUser user;
        Command(ID_EDIT_PASTE);
        EXPECT_TRUE(user.AllAnswered());
    }
    data = doc->GetDataSet();
    ASSERT_EQ(data->GetVariableCount(), 2);
    EXPECT_TRUE(data->IsMissing(1, 2));
    EXPECT_TRUE(data->IsMissing(2, 2));
    EXPECT_EQ(data->GetValue(3, 2), 4.0);
    doc->SetModifiedFlag(FALSE);
    // Without the tab, or two fields short, the row is still refused.
    for (const char* text : {"r1\t1\t2\t3\r\nr2\t4\t5\r\n", "r1\t1\t2\t3\r\nr2\t4\t\r\n", "r1\t1\r\nr2\t2\t3\r\n"}) {
        afx::SetClipboardText(text);
        ScriptedUser user;
        ExpectMessage(user, "Erro - O número de variáveis da 2ª linha não está correcto");
        Command(ID_EDIT_PASTE);
        EXPECT_TRUE(user.AllAnswered());
        doc->SetModifiedFlag(FALSE);
    }
}

TEST(Reading, CountsAndCodesAreReadByTheirLeadingInteger) {
    StartTabulon();
    TempFolder dir;
    WriteBytes(dir.File("solto.tsm"),
               "#Tesmo v7.00#\r\n-9.9\r\n2.0\r\nAltura\r\n1\r\nSexo\r\n0\r\n3.0\r\nF 1 x\r\nM 2.5\r\n"
               "Muito alto 3\r\na 1.7 1\r\nb 1.6 3\r\n");
    ScriptedUser user;
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("solto.tsm").c_str()), nullptr);
    EXPECT_TRUE(user.AllAnswered());
    CDataSet* data = testsupport::Document()->GetDataSet();
    ASSERT_EQ(data->GetVariableCount(), 2);
    const auto& m = data->GetVariable(2)->GetCategories();
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].name, "F");
    EXPECT_EQ(m[0].code, 1);
    EXPECT_EQ(m[1].name, "M");
    EXPECT_EQ(m[1].code, 2);
    EXPECT_EQ(m[2].name, "Muito alto");
    EXPECT_EQ(m[2].code, 3);
}

TEST(Configuration, ANewMissingCodeKeepsTheNamesOfTheModalitiesThatRemain) {
    StartTabulon();
    TempFolder dir;
    // Grupo: A = 1, B = 2, one absent cell (-9.9); its name list also holds a code no cell has.
    WriteBytes(dir.File("g.tsm"),
               "#Tesmo v7.00#\r\n-9.900000\r\n1\r\nGrupo\r\n0\r\n3\r\nAlto 1\r\nBaixo 2\r\nNenhum 7\r\n"
               "p1 1.000000\r\np2 2.000000\r\np3 -9.900000\r\np4 2.000000\r\n");
    ScriptedUser user;
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("g.tsm").c_str()), nullptr);
    CTabulonDoc* doc = testsupport::Document();
    user.OnDialog(172, [](DialogDriver& d) {
        d.Type(1140, "-99");
        d.Click(IDOK);
    });
    Command(ID_OPTIONS_CONFIGURATION);
    EXPECT_TRUE(user.AllAnswered());
    // -9.9 is now a value whose code is -9: a new modality; 1 and 2 keep their names.
    const auto& m = doc->GetDataSet()->GetVariable(1)->GetCategories();
    ASSERT_EQ(m.size(), 3u);
    EXPECT_EQ(m[0].code, -9);
    EXPECT_EQ(m[0].name, "ID1");
    EXPECT_EQ(m[1].code, 1);
    EXPECT_EQ(m[1].name, "Alto");
    EXPECT_EQ(m[2].code, 2);
    EXPECT_EQ(m[2].name, "Baixo");
    doc->SetModifiedFlag(FALSE);
}

TEST(NameLimits, ALongNameFromTheFileIsConfirmedUnchanged) {
    StartTabulon();
    TempFolder dir;
    const std::string longName(40, 'n');
    WriteBytes(dir.File("longo.tsm"), "#Tesmo v7.00#\r\n-9.9\r\n1\r\n" + longName +
                                          "\r\n0\r\n1\r\nFeminino 1\r\na 1\r\n");
    ScriptedUser user;
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("longo.tsm").c_str()), nullptr);
    CTabulonDoc* doc = testsupport::Document();
    user.OnDialog(169, [&](DialogDriver& d) {
        EXPECT_EQ(d.Text(1000), longName.c_str());
        d.DoubleClick(1133, 0);
    });
    user.OnDialog(146, [](DialogDriver& d) {
        EXPECT_EQ(d.Text(1000), "Feminino");
        d.Click(1074);  // OK of the single dialog
    });
    user.OnDialog(169, [](DialogDriver& d) { d.Click(IDOK); });
    afx::ClickHeader(doc->GetView(), 1);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(doc->GetDataSet()->GetVariableName(1), longName.c_str());
    EXPECT_EQ(doc->GetDataSet()->GetVariable(1)->GetCategories()[0].name, "Feminino");
    doc->SetModifiedFlag(FALSE);
}

}  // namespace
