#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <unistd.h>

#include "app/data_set.h"
#include "app/file_names.h"
#include "app/main_frame.h"
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

CFrameWnd* Frame() { return static_cast<CFrameWnd*>(theApp.m_pMainWnd); }

void Command(UINT id) { Frame()->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }

CString MainTitle() {
    CString t;
    AfxGetMainWnd()->GetWindowText(t);
    return t;
}

// Answers the next file prompt with a path (or cancels it with an empty one).
void AnswerFilePrompt(ScriptedUser& user, const std::string& path, bool expectOpen) {
    user.OnFileDialog([path, expectOpen](afx::FileDialogRequest& req) {
        EXPECT_EQ(req.open, expectOpen);
        req.path = path.c_str();
        return !path.empty();
    });
}

void ExpectMessage(ScriptedUser& user, const char* text, int answer = IDOK) {
    user.OnMessageBox([expected = CString(text), answer](const CString& shown, UINT) {
        EXPECT_EQ(shown, expected);
        return answer;
    });
}

TEST(NativeFile, SaveThenLoadGivesTheSameBytesAndTable) {
    StartTabulon();
    TempFolder dir;
    WriteBytes(dir.File("in.tsm"), kSmallFile);
    {
        ScriptedUser user;
        AnswerFilePrompt(user, dir.File("in.tsm"), true);
        Command(ID_FILE_OPEN);
        EXPECT_TRUE(user.AllAnswered());
    }
    CTabulonDoc* doc = testsupport::Document();
    ASSERT_TRUE(doc->HasData());
    EXPECT_FALSE(doc->IsNewUntitled());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(MainTitle(), dir.File("in.tsm").c_str());
    CDataSet* data = doc->GetDataSet();
    ASSERT_EQ(data->GetVariableCount(), 2);
    ASSERT_EQ(data->GetRowCount(), 2);
    EXPECT_EQ(data->GetVariableName(2), "Sexo");
    EXPECT_EQ(data->GetVariableType(2), 0);
    ASSERT_EQ(data->GetVariable(2)->GetCategoryCount(), 2);
    EXPECT_EQ(data->GetVariable(2)->GetCategories()[1].name, "M");
    EXPECT_EQ(data->GetVariable(2)->GetCategories()[1].code, 2);
    EXPECT_TRUE(data->IsMissing(2, 1));
    EXPECT_DOUBLE_EQ(data->GetVariable(1)->GetMean(), 1.7);
    EXPECT_EQ(doc->GetView()->GetListCtrl().GetItemText(1, 2), "2");
    EXPECT_TRUE(Frame()->IsCommandEnabled(ID_FILE_SAVE));

    {
        ScriptedUser user;
        AnswerFilePrompt(user, dir.File("out.tsm"), false);
        Command(ID_FILE_SAVE_AS);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(ReadBytes(dir.File("out.tsm")), kSmallFile);
    EXPECT_EQ(doc->GetPathName(), dir.File("out.tsm").c_str());
    // Save to a file that exists asks nothing and writes the same bytes.
    doc->SetModifiedFlag(TRUE);
    {
        ScriptedUser user;
        Command(ID_FILE_SAVE);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(ReadBytes(dir.File("out.tsm")), kSmallFile);
    EXPECT_FALSE(doc->IsModified());
    for (auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_TRUE(entry.path().filename() == "in.tsm" || entry.path().filename() == "out.tsm") << entry.path();
}

TEST(NativeFile, ModalityNamesWithBlanksAndHandWrittenFilesLoad) {
    StartTabulon();
    TempFolder dir;
    WriteBytes(dir.File("hand.tsm"),
               "#Tesmo v7.00#\n-99\n2\nNível de estudos\n0\n2\nMuito alto 3\n Baixo 1\nPeso\n1\n\na 3 60.5\n\n\nb 1 -99\n");
    ScriptedUser user;
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("hand.tsm").c_str()), nullptr);
    CDataSet* data = testsupport::Document()->GetDataSet();
    ASSERT_EQ(data->GetRowCount(), 2);
    EXPECT_EQ(data->GetVariableName(1), "Nível de estudos");
    EXPECT_EQ(data->GetVariable(1)->GetCategories()[0].name, "Muito alto");
    EXPECT_EQ(data->GetVariable(1)->GetCategories()[0].code, 3);
    EXPECT_EQ(data->GetVariable(1)->GetCategories()[1].name, " Baixo");
    EXPECT_EQ(data->GetMissingCode(), -99.0f);
    EXPECT_TRUE(data->IsMissing(2, 2));
    {
        CFile f(dir.File("round.tsm").c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&f, CArchive::store);
        data->Save(ar);
    }
    EXPECT_EQ(ReadBytes(dir.File("round.tsm")),
              "#Tesmo v7.00#\r\n-99.000000\r\n2\r\nNível de estudos\r\n0\r\n2\r\nMuito alto 3\r\n Baixo 1\r\n"
              "Peso\r\n1\r\na 3.000000 60.500000\r\nb 1.000000 -99.000000\r\n");
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("round.tsm").c_str()), nullptr);
    EXPECT_EQ(testsupport::Document()->GetDataSet()->GetVariable(1)->GetCategories()[1].name, " Baixo");
}

struct Damage {
    const char* what;
    std::string content;
    const char* message;
};

TEST(NativeFile, EachDamageIsRefusedWithItsOwnMessage) {
    StartTabulon();
    const std::string head = "#Tesmo v7.00#\r\n-9.900000\r\n2\r\nA\r\n1\r\nB\r\n1\r\n";
    const Damage cases[] = {
        {"blank after the version", "#Tesmo v7.00# \r\n-9.9\r\n0\r\n", "A versão do ficheiro de dados não está correcta"},
        {"empty file", "", "A versão do ficheiro de dados não está correcta"},
        {"decimal comma", "#Tesmo v7.00#\r\n-9,9\r\n0\r\n", "O código de ausência definido no ficheiro não e um número"},
        {"exponent", "#Tesmo v7.00#\r\n1e5\r\n0\r\n", "O código de ausência definido no ficheiro não e um número"},
        {"code out of range", "#Tesmo v7.00#\r\n" + std::string(60, '9') + "\r\n0\r\n",
         "O código de ausência definido no ficheiro não e um número"},
        {"end after the version", "#Tesmo v7.00#\r\n", "O código de ausência definido no ficheiro não e um número"},
        {"count not a number", "#Tesmo v7.00#\r\n-9.9\r\nduas\r\n", "Erro - O número de variáveis não está correcto"},
        {"negative count", "#Tesmo v7.00#\r\n-9.9\r\n-2\r\n", "Erro - O número de variáveis não está correcto"},
        {"absurd count", "#Tesmo v7.00#\r\n-9.9\r\n99999999999\r\n", "Erro - O número de variáveis não está correcto"},
        {"end before the count", "#Tesmo v7.00#\r\n-9.9\r\n", "Erro - O número de variáveis não está correcto"},
        {"bad type", "#Tesmo v7.00#\r\n-9.9\r\n1\r\nA\r\nquali\r\n", "Erro - O tipo da 1ª variável está errado"},
        {"end inside a block", "#Tesmo v7.00#\r\n-9.9\r\n2\r\nA\r\n1\r\nB\r\n", "Erro - O tipo da 2ª variável está errado"},
        {"bad modality count", "#Tesmo v7.00#\r\n-9.9\r\n2\r\nA\r\n1\r\nB\r\n0\r\nx\r\n",
         "Erro - O numero de modalidades da variavel 2ª está errado"},
        {"modality without a code", "#Tesmo v7.00#\r\n-9.9\r\n1\r\nB\r\n0\r\n1\r\nF\r\n",
         "Erro - O numero de modalidades da variavel 1ª está errado"},
        {"modalities cut short", "#Tesmo v7.00#\r\n-9.9\r\n1\r\nB\r\n0\r\n3\r\nF 1\r\n",
         "Erro - O numero de modalidades da variavel 1ª está errado"},
        {"bad value on the third line", head + "a 1 2\r\n\r\nb 3 4\r\nc 5 x\r\n",
         "Erro - A 2ª variável da 3ª linha  não é um número"},
        {"tab inside a row", head + "a 1\t2\r\n", "Erro - A 1ª variável da 1ª linha  não é um número"},
        {"value out of range", head + "a 1 " + std::string(400, '9') + "\r\n",
         "Erro - A 2ª variável da 1ª linha  não é um número"},
        {"row shorter than the variables", head + "a 1\r\n", "Erro - O número de variáveis da 1ª linha não está correcto"},
        {"second row longer", head + "a 1 2\r\nb 1 2 3\r\n",
         "Erro - O número de variáveis da 2ª linha não está correcto"},
    };
    TempFolder dir;
    for (const Damage& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(dir.File("bad.tsm"), c.content);
        ScriptedUser user;
        ExpectMessage(user, c.message);
        ExpectMessage(user, "Não foi possivel abrir o Ficheiro de Dados");
        theApp.OpenDocumentFile(dir.File("bad.tsm").c_str());
        EXPECT_TRUE(user.AllAnswered());
        CTabulonDoc* doc = testsupport::Document();
        EXPECT_FALSE(doc->HasData());
        EXPECT_EQ(MainTitle(), "Tesmo");
        ASSERT_NE(doc->GetDataSet(), nullptr);
        EXPECT_EQ(doc->GetDataSet()->GetRowCount(), 0);
        EXPECT_FALSE(Frame()->IsCommandEnabled(ID_FILE_SAVE));
        // Opening the same path again must read it again.
        theApp.OnFileNew();
    }
}

TEST(TextImport, ImportNamesTheTableAfterTheFileAndTheFirstSaveAsksForAName) {
    StartTabulon();
    TempFolder dir;
    WriteBytes(dir.File("medidas.dat"), "x1 1.5 -9.9\r\nx2 2.5 4\r\n");
    {
        ScriptedUser user;
        AnswerFilePrompt(user, dir.File("medidas.dat"), true);
        Command(ID_FILE_IMPORT);
        EXPECT_TRUE(user.AllAnswered());
    }
    CTabulonDoc* doc = testsupport::Document();
    ASSERT_TRUE(doc->HasData());
    EXPECT_EQ(doc->GetPathName(), "medidas.tsm");
    EXPECT_EQ(MainTitle(), "medidas.tsm");
    EXPECT_FALSE(doc->IsModified());
    EXPECT_FALSE(doc->IsNewUntitled());
    CDataSet* data = doc->GetDataSet();
    ASSERT_EQ(data->GetVariableCount(), 2);
    EXPECT_EQ(data->GetVariableName(1), "0");
    EXPECT_EQ(data->GetVariableName(2), "1");
    EXPECT_EQ(data->GetVariableType(2), 1);
    EXPECT_EQ(data->GetMissingCode(), -9.9f);
    EXPECT_DOUBLE_EQ(data->GetVariable(2)->GetMean(), 4.0);  // the -9.9 cell is absent
    {
        ScriptedUser user;
        user.OnFileDialog([&](afx::FileDialogRequest& req) {
            EXPECT_FALSE(req.open);
            EXPECT_EQ(req.initialName, "medidas.tsm");
            req.path = dir.File("medidas.tsm").c_str();
            return true;
        });
        Command(ID_FILE_SAVE);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(ReadBytes(dir.File("medidas.tsm")),
              "#Tesmo v7.00#\r\n-9.900000\r\n2\r\n0\r\n1\r\n1\r\n1\r\nx1 1.500000 -9.900000\r\nx2 2.500000 4.000000\r\n");
    EXPECT_EQ(MainTitle(), dir.File("medidas.tsm").c_str());
}

TEST(TextImport, RefusalsLeaveTheOpenTableAsItWas) {
    StartTabulon();
    TempFolder dir;
    WriteBytes(dir.File("good.tsm"), kSmallFile);
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("good.tsm").c_str()), nullptr);
    CTabulonDoc* doc = testsupport::Document();
    CDataSet* before = doc->GetDataSet();
    WriteBytes(dir.File("bad.dat"), "x1 1 2\r\nx2 1\r\n");
    WriteBytes(dir.File("empty.dat"), "");
    WriteBytes(dir.File("blank.dat"), "\r\n   \r\n");
    {
        ScriptedUser user;
        AnswerFilePrompt(user, dir.File("bad.dat"), true);
        ExpectMessage(user, "Erro - O número de variáveis da 2ª linha não está correcto");
        AnswerFilePrompt(user, dir.File("empty.dat"), true);
        ExpectMessage(user, "Ficheiro Vazio");
        AnswerFilePrompt(user, dir.File("missing.dat"), true);
        ExpectMessage(user, "Erro a Importar Ficheiro");
        AnswerFilePrompt(user, dir.File("blank.dat"), true);
        ExpectMessage(user, "Ficheiro Vazio");
        Command(ID_FILE_IMPORT);
        Command(ID_FILE_IMPORT);
        Command(ID_FILE_IMPORT);
        Command(ID_FILE_IMPORT);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(doc->GetDataSet(), before);
    EXPECT_TRUE(doc->HasData());
    EXPECT_EQ(doc->GetDataSet()->GetRowCount(), 2);
    EXPECT_EQ(doc->GetView()->GetListCtrl().GetItemCount(), 2);
    EXPECT_EQ(MainTitle(), dir.File("good.tsm").c_str());

    // A modified table is not dropped silently: Cancel ends the import before any prompt.
    doc->RenameItem(1, "Estatura");
    {
        ScriptedUser user;
        ExpectMessage(user, "Save changes to good.tsm?", IDCANCEL);
        Command(ID_FILE_IMPORT);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(doc->GetDataSet()->GetVariableName(1), "Estatura");
    doc->SetModifiedFlag(FALSE);
}

TEST(TextExport, ExportWritesOnlyTheRowsAndReportsFailure) {
    StartTabulon();
    TempFolder dir;
    WriteBytes(dir.File("t.tsm"), kSmallFile);
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("t.tsm").c_str()), nullptr);
    WriteBytes(dir.File("plain"), "a regular file");
    {
        ScriptedUser user;
        AnswerFilePrompt(user, dir.File("rows.txt"), false);
        AnswerFilePrompt(user, dir.File("plain") + "/rows.txt", false);
        ExpectMessage(user, "Erro a exportar o ficheiro");
        AnswerFilePrompt(user, "", false);
        Command(ID_FILE_EXPORT);
        Command(ID_FILE_EXPORT);
        Command(ID_FILE_EXPORT);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(ReadBytes(dir.File("rows.txt")), "a1 1.700000 1.000000\r\na2 -9.900000 2.000000\r\n");
    EXPECT_FALSE(testsupport::Document()->IsModified());
}

TEST(Paste, PastedTextBecomesANewTable) {
    StartTabulon();
    TempFolder dir;
    WriteBytes(dir.File("t.tsm"), kSmallFile);
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("t.tsm").c_str()), nullptr);
    CTabulonDoc* doc = testsupport::Document();
    for (const char* text : {"r1\t1\t2\r\nr2\t3\t4\r\n", "r1\t1\t2\r\nr2\t3\t4"}) {
        afx::SetClipboardText(text);
        ScriptedUser user;  // the loaded table is unchanged: no question
        Command(ID_EDIT_PASTE);
        EXPECT_TRUE(user.AllAnswered());
        CDataSet* data = doc->GetDataSet();
        ASSERT_EQ(data->GetRowCount(), 2);
        ASSERT_EQ(data->GetVariableCount(), 2);
        EXPECT_EQ(data->GetRowNameCopy(2), "r2");
        EXPECT_EQ(data->GetValue(2, 2), 4.0);
        EXPECT_EQ(data->GetVariableName(1), "0");
        EXPECT_TRUE(doc->HasData());
        EXPECT_TRUE(doc->IsNewUntitled());
        EXPECT_TRUE(doc->IsModified());
        EXPECT_EQ(doc->GetPathName(), "SemTitulo.tsm");
        EXPECT_EQ(doc->GetView()->GetListCtrl().GetItemCount(), 2);
        doc->SetModifiedFlag(FALSE);
    }
    // Line feeds alone, an empty line, a blank cell, blanks in names and an empty name.
    afx::SetClipboardText("linha um\t1\t\t3\n\n\t4\t5\t6\n");
    {
        ScriptedUser user;
        Command(ID_EDIT_PASTE);
        EXPECT_TRUE(user.AllAnswered());
    }
    CDataSet* data = doc->GetDataSet();
    ASSERT_EQ(data->GetRowCount(), 2);
    ASSERT_EQ(data->GetVariableCount(), 3);
    EXPECT_EQ(data->GetRowNameCopy(1), "linha_um");
    EXPECT_EQ(data->GetRowNameCopy(2), "2");
    EXPECT_TRUE(data->IsMissing(1, 2));
    EXPECT_EQ(data->GetValue(1, 3), 3.0);
    doc->SetModifiedFlag(FALSE);
}

TEST(Paste, RejectedTextLeavesTheNewDocumentEmpty) {
    StartTabulon();
    CTabulonDoc* doc = testsupport::Document();
    afx::SetClipboardText("r1\t1\t2\r\nr2\t3\r\n");
    {
        ScriptedUser user;
        ExpectMessage(user, "Erro - O número de variáveis da 2ª linha não está correcto");
        Command(ID_EDIT_PASTE);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_FALSE(doc->HasData());
    EXPECT_TRUE(doc->IsNewUntitled());
    EXPECT_EQ(doc->GetDataSet()->GetRowCount(), 0);
    afx::SetClipboardText("so um nome\r\n");
    {
        ScriptedUser user;
        ExpectMessage(user, "Os dados não podem ser compostos apenas por uma coluna");
        Command(ID_EDIT_PASTE);
        EXPECT_TRUE(user.AllAnswered());
    }
    afx::SetClipboardText("x\t7\r\n");
    {
        ScriptedUser user;
        Command(ID_EDIT_PASTE);
        EXPECT_TRUE(user.AllAnswered());
    }
    ASSERT_EQ(doc->GetDataSet()->GetRowCount(), 1);
    EXPECT_EQ(doc->GetDataSet()->GetRowNameCopy(1), "x");

    // A changed table asks first; Cancel keeps it.
    {
        ScriptedUser user;
        ExpectMessage(user, "Save changes to SemTitulo.tsm?", IDCANCEL);
        Command(ID_EDIT_PASTE);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(doc->GetDataSet()->GetRowNameCopy(1), "x");
    doc->SetModifiedFlag(FALSE);
}

TEST(SaveSafety, AFailedWriteKeepsTheOldFile) {
    StartTabulon();
    TempFolder dir;
    WriteBytes(dir.File("keep.tsm"), kSmallFile);
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("keep.tsm").c_str()), nullptr);
    CTabulonDoc* doc = testsupport::Document();
    doc->RenameItem(1, "Outro nome");
    afx::FailFileWritesAfter(20);
    {
        ScriptedUser user;
        user.OnMessageBox([&](const CString& text, UINT) {
            EXPECT_NE(text.Find("keep.tsm"), -1) << text.GetString();
            return IDOK;
        });
        Command(ID_FILE_SAVE);
        EXPECT_TRUE(user.AllAnswered());
    }
    afx::FailFileWritesAfter(-1);
    EXPECT_EQ(ReadBytes(dir.File("keep.tsm")), kSmallFile);
    EXPECT_TRUE(doc->IsModified());
    int files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);  // no temporary file left behind

    // A folder that cannot exist (its parent is a regular file).
    WriteBytes(dir.File("plain"), "x");
    {
        ScriptedUser user;
        AnswerFilePrompt(user, dir.File("plain") + "/t.tsm", false);
        user.OnMessageBox([](const CString&, UINT) { return IDOK; });
        Command(ID_FILE_SAVE_AS);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(doc->GetPathName(), dir.File("keep.tsm").c_str());
    doc->SetModifiedFlag(FALSE);
}

TEST(SaveSafety, TheFirstSaveOfANewTableNeverOverwritesSilently) {
    StartTabulon();
    TempFolder dir;
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    WriteBytes("SemTitulo.tsm", "someone else's file");
    afx::SetClipboardText("r\t1\r\n");
    {
        ScriptedUser user;
        Command(ID_EDIT_PASTE);
        user.OnFileDialog([](afx::FileDialogRequest& req) {
            EXPECT_EQ(req.initialName, "SemTitulo.tsm");
            return false;
        });
        Command(ID_FILE_SAVE);
        EXPECT_TRUE(user.AllAnswered());
    }
    EXPECT_EQ(ReadBytes("SemTitulo.tsm"), "someone else's file");
    testsupport::Document()->SetModifiedFlag(FALSE);
    ASSERT_EQ(chdir(old), 0);
}

TEST(FileNames, NumericTextAndPathHelpers) {
    for (const char* yes : {"", "0", "-99", "9.5", "-9.9", "-", ".", "12."}) EXPECT_TRUE(IsNumericString(yes)) << yes;
    for (const char* no : {"+1", "1e5", "1,5", " 1", "1 ", "1-", "1.2.3", "--1", "abc", "\t"})
        EXPECT_FALSE(IsNumericString(no)) << no;
    // Numbers read as atof reads them.
    for (const char* t : {"12.", ".5", "-", ".", "-.", "", "-0.25", "007", "123456789012345678901234567890",
                          "0.1000000000000000055511151231257827", "0.1", "-0.000000", "123456789.123456",
                          "1234567890.123456", "99999.999999", "0.0000000000000000000001", "0.00000000000000000000001"})
        EXPECT_EQ(NumericValue(t), std::atof(t)) << t;
    EXPECT_TRUE(std::isinf(NumericValue(std::string(400, '9'))));
    std::mt19937 rng(3);
    for (int i = 0; i < 2000; ++i) {
        std::string t = FormatString("%.*f", static_cast<int>(rng() % 12), (static_cast<double>(rng()) - 2e9) / 997.0).str();
        ASSERT_EQ(NumericValue(t), std::atof(t.c_str())) << t;
    }
    EXPECT_EQ(ReplaceExtension("/home/ana/dados/x.dat"), "x.tsm");
    EXPECT_EQ(ReplaceExtension("x"), "x.tsm");
    EXPECT_EQ(ReplaceExtension("/a.b/medidas"), "medidas.tsm");
    EXPECT_EQ(ReplaceExtension("C:\\dados\\y.txt"), "y.tsm");
    EXPECT_EQ(ReplaceExtension("/pasta/"), "");
    CString folder, file;
    SplitPath("/home/ana/x.dat", &folder, &file, TRUE);
    EXPECT_EQ(folder, "/home/ana/");
    EXPECT_EQ(file, "x.dat");
    SplitPath("x.dat", &folder, &file, FALSE);
    EXPECT_EQ(folder, "");
}

}  // namespace

namespace {
TEST(NativeFile, TheExampleTableOpens) {
    StartTabulon();
    ScriptedUser user;
    std::string path = std::string(TESMO_SOURCE_DIR) + "/samples/exemplo.tsm";
    ASSERT_NE(theApp.OpenDocumentFile(path.c_str()), nullptr);
    EXPECT_TRUE(user.AllAnswered());
    CDataSet* data = testsupport::Document()->GetDataSet();
    ASSERT_EQ(data->GetRowCount(), 30);
    ASSERT_EQ(data->GetVariableCount(), 6);
    EXPECT_EQ(data->GetVariableName(4), "Região");
    EXPECT_EQ(data->GetVariable(4)->GetCategories()[0].name, "Norte");
    EXPECT_EQ(data->GetVariable(5)->GetCategories()[1].name, "Masculino");
    int missing = 0;
    for (int r = 1; r <= 30; ++r)
        for (int v = 1; v <= 6; ++v) missing += data->IsMissing(r, v);
    EXPECT_EQ(missing, 5);
    afx::ProcessPendingEvents();
    EXPECT_TRUE(afx::SaveWindowPng(AfxGetMainWnd(), (testsupport::PictureFolder() + "/example_table.png").c_str()));
}
}  // namespace

namespace {
TEST(NativeFile, AFileDroppedOnTheWindowOpens) {
    StartTabulon();
    TempFolder dir;
    WriteBytes(dir.File("largado.tsm"), kSmallFile);
    ScriptedUser user;
    afx::DropFiles(AfxGetMainWnd(), {dir.File("largado.tsm").c_str()});
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_TRUE(testsupport::Document()->HasData());
    EXPECT_EQ(testsupport::Document()->GetPathName(), dir.File("largado.tsm").c_str());
    EXPECT_EQ(theApp.GetRecentFiles().front(), dir.File("largado.tsm").c_str());
}
}  // namespace
