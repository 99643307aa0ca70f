#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <unistd.h>

#include "platform/afx.h"
#include "platform/core/cp1252.h"
#include "tests/support/gui_test.h"

using testsupport::ReadBytes;
using testsupport::TempFolder;
using testsupport::WriteBytes;

namespace {

TEST(CStringText, FormatTakesStringsAsText) {
    CString name("Peso");
    EXPECT_EQ(FormatString("%s=%d %s", name, 7, std::string("kg")), "Peso=7 kg");
    CString s;
    s.Format("%dª %s", 2, name);
    EXPECT_EQ(s, "2ª Peso");
    s.AppendFormat(" %.2f", 1.005);
    EXPECT_EQ(s, "2ª Peso 1.00");
    CString longText;
    longText.Format("%s%s", CString('x', 300), CString('y', 300));
    EXPECT_EQ(longText.GetLength(), 600);
}

TEST(CStringText, SlicingAndSearchingStayInBounds) {
    CString s("abc.def.gh");
    EXPECT_EQ(s.Left(3), "abc");
    EXPECT_EQ(s.Left(-2), "");
    EXPECT_EQ(s.Left(99), s);
    EXPECT_EQ(s.Mid(4), "def.gh");
    EXPECT_EQ(s.Mid(4, 3), "def");
    EXPECT_EQ(s.Mid(20), "");
    EXPECT_EQ(s.Mid(8, 99), "gh");
    EXPECT_EQ(s.Right(2), "gh");
    EXPECT_EQ(s.Find('.'), 3);
    EXPECT_EQ(s.Find('.', 4), 7);
    EXPECT_EQ(s.Find("gh"), 8);
    EXPECT_EQ(s.Find('z'), -1);
    EXPECT_EQ(s.ReverseFind('.'), 7);
    CString t("  a b  ");
    t.Trim();
    EXPECT_EQ(t, "a b");
    EXPECT_EQ(t.Replace(' ', '_'), 1);
    EXPECT_EQ(t, "a_b");
    CString u("x--y--z");
    EXPECT_EQ(u.Replace("--", "+"), 2);
    EXPECT_EQ(u, "x+y+z");
    char* buffer = u.GetBuffer(20);
    std::strcpy(buffer, "novo");
    u.ReleaseBuffer();
    EXPECT_EQ(u, "novo");
    EXPECT_EQ(u.GetLength(), 4);
    CString missing;
    EXPECT_FALSE(missing.LoadString(65001));
    EXPECT_TRUE(missing.IsEmpty());
}

TEST(CStringText, FixedFormattingMatchesPrintf) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> u(-1e6, 1e6);
    for (int i = 0; i < 20000; ++i) {
        double v = u(rng) / std::pow(10.0, static_cast<int>(rng() % 8));
        int d = static_cast<int>(rng() % 7);
        ASSERT_EQ(FormatFixed(v, d), FormatString("%.*f", d, v)) << v << " " << d;
    }
    for (double tie : {0.125, 2.5, -0.5, 1e21, 1e-7, -0.0})
        EXPECT_EQ(FormatFixed(tie, 2), FormatString("%.2f", tie)) << tie;
    EXPECT_EQ(FormatFixed(NAN, 3), FormatString("%.3f", NAN));
}

TEST(Cp1252, EveryByteRoundTripsAndForeignTextIsRefused) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    std::string back;
    ASSERT_TRUE(afx::Utf8ToCp1252(afx::Cp1252ToUtf8(all), &back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(afx::Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");  // the euro sign
    std::string out = "unchanged";
    EXPECT_FALSE(afx::Utf8ToCp1252("\xE6\x97\xA5", &out));  // not in the code page
    EXPECT_FALSE(afx::Utf8ToCp1252("\xC3", &out));          // cut short
    EXPECT_EQ(out, "unchanged");
    // The source's literals are Windows-1252 bytes.
    EXPECT_EQ(static_cast<unsigned char>(CString("á")[0]), 0xE1);
}

TEST(Files, TextModeTranslatesLineEnds) {
    TempFolder dir;
    std::string path = dir.File("t.txt");
    {
        CStdioFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        f.WriteString("a\nb\n");
        f.WriteString("c");
    }
    EXPECT_EQ(ReadBytes(path), "a\r\nb\r\nc");
    WriteBytes(path, "x\r\ny\n\nz\rw");
    CStdioFile f(path.c_str(), CFile::modeRead);
    CString line;
    std::vector<CString> lines;
    while (f.ReadString(line)) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<CString>{"x", "y", "", "z\rw"}));
    f.SeekToBegin();
    char buffer[4];
    ASSERT_NE(f.ReadString(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "x\n");  // the line end stays, as fgets keeps it
    ASSERT_NE(f.ReadString(buffer, sizeof buffer), nullptr);
    EXPECT_STREQ(buffer, "y\n");
    f.Close();

    CStdioFile b(path.c_str(), CFile::modeRead | CFile::typeBinary);
    ASSERT_TRUE(b.ReadString(line));
    EXPECT_EQ(line, "x");  // a carriage return before the line feed is still no part of the line
}

TEST(Files, ArchiveLinesAndFailures) {
    TempFolder dir;
    std::string path = dir.File("a.txt");
    WriteBytes(path, "um\r\ndois\nfim");
    {
        CFile f(path.c_str(), CFile::modeRead);
        CArchive ar(&f, CArchive::load, 128);
        CString line;
        std::vector<CString> lines;
        while (ar.ReadString(line)) lines.push_back(line);
        EXPECT_EQ(lines, (std::vector<CString>{"um", "dois", "fim"}));
    }
    // A long line crosses the archive's buffer.
    std::string longLine(10000, 'k');
    WriteBytes(path, longLine + "\r\nx");
    {
        CFile f(path.c_str(), CFile::modeRead);
        CArchive ar(&f, CArchive::load, 128);
        CString line;
        ASSERT_TRUE(ar.ReadString(line));
        EXPECT_EQ(line.GetLength(), 10000);
    }
    CFileException e;
    CFile missing;
    EXPECT_FALSE(missing.Open(dir.File("nada.tsm").c_str(), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_NE(e.GetErrorMessage().Find("nada.tsm"), -1);
    EXPECT_FALSE(missing.Open(dir.Path().c_str(), CFile::modeRead, &e));  // a folder is no file
    EXPECT_EQ(e.m_cause, CFileException::accessDenied);
    EXPECT_THROW(CFile(dir.File("x/y").c_str(), CFile::modeRead), CFileException);

    afx::FailFileWritesAfter(4);
    CFile out(dir.File("o.txt").c_str(), CFile::modeCreate | CFile::modeWrite);
    out.Write("abcd", 4);
    EXPECT_THROW(out.Write("e", 1), CFileException);
    afx::FailFileWritesAfter(-1);
}

TEST(Paths, NamesFoldersAndRenames) {
    EXPECT_EQ(afx::FileNameOfPath("/a/b/c.tsm"), "c.tsm");
    EXPECT_EQ(afx::FileNameOfPath("C:\\d\\e.dat"), "e.dat");
    EXPECT_EQ(afx::FolderOfPath("/a/b/c.tsm"), "/a/b/");
    EXPECT_EQ(afx::FileTitleOfPath("/a/b.c/d.e.tsm"), "d.e");
    EXPECT_EQ(afx::JoinPath("/a", "b"), "/a/b");
    EXPECT_EQ(afx::JoinPath("/a/", "b"), "/a/b");
    TempFolder dir;
    std::string accented = dir.File("dados\xE1.tsm");  // a 1252 name
    {
        CFile f(accented.c_str(), CFile::modeCreate | CFile::modeWrite);
        f.Write("1", 1);
    }
    EXPECT_TRUE(afx::IsRegularFile(accented.c_str()));
    EXPECT_EQ(ReadBytes(dir.Path() + "/dados\xC3\xA1.tsm"), "1");  // stored under its UTF-8 name
    EXPECT_TRUE(afx::RenameOver(accented.c_str(), dir.File("b.tsm").c_str()));
    EXPECT_FALSE(afx::PathExists(accented.c_str()));
    EXPECT_TRUE(afx::RemoveFile(dir.File("b.tsm").c_str()));
    EXPECT_TRUE(afx::RemoveFile(dir.File("b.tsm").c_str()));  // already gone
}

}  // namespace

namespace {

std::vector<std::string> Entries(const TempFolder& dir) {
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void WriteWhole(CReplacingFile& file, const char* text) {
    CArchive ar(&file, CArchive::store);
    ar.WriteString(text);
    ar.Close();
    file.Commit();
}

TEST(ReplacingFiles, LinksAreFollowedAndNothingIsLeftBehind) {
    TempFolder dir;
    // A link whose file does not exist yet names the file to create.
    ASSERT_EQ(symlink("novo.txt", dir.File("ligacao.txt").c_str()), 0);
    CReplacingFile file;
    ASSERT_TRUE(file.OpenReplacing(dir.File("ligacao.txt").c_str()));
    WriteWhole(file, "um");
    EXPECT_EQ(ReadBytes(dir.File("novo.txt")), "um");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("ligacao.txt")));

    // An abandoned write keeps the old bytes and leaves no temporary file.
    ASSERT_TRUE(file.OpenReplacing(dir.File("ligacao.txt").c_str()));
    {
        CArchive ar(&file, CArchive::store);
        ar.WriteString("dois");
        ar.Close();
    }
    file.Abandon();
    EXPECT_EQ(ReadBytes(dir.File("novo.txt")), "um");
    {
        CReplacingFile dropped;  // gone without a commit
        ASSERT_TRUE(dropped.OpenReplacing(dir.File("novo.txt").c_str()));
    }
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"ligacao.txt", "novo.txt"}));

    // A loop of links, a folder and a device are refused.
    ASSERT_EQ(symlink("b", dir.File("a").c_str()), 0);
    ASSERT_EQ(symlink("a", dir.File("b").c_str()), 0);
    CFileException error;
    EXPECT_FALSE(file.OpenReplacing(dir.File("a").c_str(), &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);
    std::filesystem::create_directory(dir.File("pasta"));
    EXPECT_FALSE(file.OpenReplacing(dir.File("pasta").c_str(), &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_FALSE(file.OpenReplacing("/dev/null", &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_EQ(error.m_strFileName, "/dev/null");
}

}  // namespace
