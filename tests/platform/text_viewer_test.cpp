#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <regex>
#include <string>
#include <thread>

#include "platform/core/cp1252.h"
#include "platform/ui/automation.h"
#include "platform/ui/clipboard.h"
#include "platform/ui/shell.h"
#include "platform/ui/text_viewer.h"
#include "tests/support/gui_test.h"
#include "tests/support/pdf_text.h"

namespace {

// Counts the rows of the text area crossed by a rule: a run of at least 200 pixels of one
// colour other than the background's (text leaves gaps between its letters).
int RuleRows() {
    CWnd* area = afx::TextViewerTextArea();
    if (!area) return -1;
    CRect r;
    area->GetClientRect(r);
    CClientDC screen(area);
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    CBitmap picture;
    picture.CreateCompatibleBitmap(&screen, r.Width(), r.Height());
    CBitmap* old = dc.SelectObject(&picture);
    dc.BitBlt(0, 0, r.Width(), r.Height(), &screen, 0, 0, SRCCOPY);
    const COLORREF background = dc.GetPixel(r.Width() - 2, r.Height() - 2);
    int rows = 0;
    for (int y = 0; y < r.Height(); ++y) {
        int run = 0, longest = 0;
        COLORREF last = background;
        for (int x = 0; x < r.Width(); ++x) {
            COLORREF c = dc.GetPixel(x, y);
            run = c != background && c == last ? run + 1 : (c != background ? 1 : 0);
            longest = std::max(longest, run);
            last = c;
        }
        if (longest >= 200) ++rows;
    }
    dc.SelectObject(old);
    return rows;
}

}  // namespace

TEST(TextViewer, ScrollsSelectsAndCopiesAsAPersonDoes) {
    testsupport::StartTabulon();
    testsupport::TempFolder dir;
    // 200 lines; pages begin at lines 10 and 25; line 3 is wider than the window.
    std::string file, shown;
    for (int i = 0; i < 200; ++i) {
        std::string line = "linha " + std::to_string(i) + " op\xE7\xE3o \x80" + (i == 3 ? std::string(300, 'x') + "fim" : "");
        file += (i == 10 || i == 25 ? "\f" : "") + line + "\r\n";
        shown += (i == 10 || i == 25 ? "\f" : "") + line + "\n";
    }
    std::string path = dir.File("lista.prn");
    testsupport::WriteBytes(path, file);
    ASSERT_TRUE(afx::ShowTextFile(path.c_str(), false));
    afx::ProcessPendingEvents();
    EXPECT_EQ(afx::TextViewerTopLine(), 0);
    EXPECT_EQ(RuleRows(), 2);

    // From the "o" of "opção" on line 1 to column 4 of line 2: the bytes of the text between.
    ASSERT_TRUE(afx::DragInTextViewer(1, 8, 2, 4));
    ASSERT_TRUE(afx::PressTextViewerButton(afx::TextViewerButton::Copy));
    EXPECT_EQ(afx::ClipboardText(), CString("op\xE7\xE3o \x80\nlinh"));

    // Scrolled to its end, a drag on the wide line takes the columns under the pointer.
    afx::PressTextViewerKey(VK_END);
    ASSERT_TRUE(afx::DragInTextViewer(3, 310, 3, 318));
    afx::PressTextViewerKey('C', MK_CONTROL);
    EXPECT_EQ(afx::ClipboardText(), CString("xxxxxfim"));
    afx::PressTextViewerKey(VK_HOME);

    // Keys scroll by pages and to either end; the last screen holds no page break.
    afx::PressTextViewerKey(VK_NEXT);
    int page = afx::TextViewerTopLine();
    EXPECT_GT(page, 20);
    afx::PressTextViewerKey(VK_NEXT);
    EXPECT_EQ(afx::TextViewerTopLine(), 2 * page);
    afx::PressTextViewerKey(VK_END, MK_CONTROL);
    afx::ProcessPendingEvents();
    EXPECT_GE(afx::TextViewerTopLine() + page, 200);
    EXPECT_EQ(RuleRows(), 0);
    afx::PressTextViewerKey(VK_HOME, MK_CONTROL);
    afx::ProcessPendingEvents();
    EXPECT_EQ(afx::TextViewerTopLine(), 0);
    EXPECT_EQ(RuleRows(), 2);

    // Ctrl+A takes the whole text; a click without a drag leaves nothing selected, and "Copiar"
    // then copies the whole text too.
    afx::SetClipboardText("");
    afx::PressTextViewerKey('A', MK_CONTROL);
    afx::PressTextViewerKey('C', MK_CONTROL);
    EXPECT_EQ(afx::ClipboardText(), CString(shown));
    ASSERT_TRUE(afx::DragInTextViewer(5, 2, 5, 2));
    afx::SetClipboardText("");
    ASSERT_TRUE(afx::PressTextViewerButton(afx::TextViewerButton::Copy));
    EXPECT_EQ(afx::ClipboardText(), CString(shown));
    afx::SaveTextViewerPng((testsupport::PictureFolder() + "/text_viewer_pages.png").c_str());
    afx::CloseTextViewers();
}

TEST(TextViewer, KeysTypedInTheViewerStayInTheViewer) {
    // The main window beneath has accelerators: Ctrl+C copies the table, Ctrl+N opens a new one.
    testsupport::StartTabulon();
    testsupport::TempFolder dir;
    std::string path = dir.File("lista.prn");
    testsupport::WriteBytes(path, " Listagem\r\n");
    ASSERT_TRUE(afx::ShowTextFile(path.c_str(), false));
    afx::ProcessPendingEvents();
    afx::CommandTrace commands;
    ASSERT_TRUE(afx::DragInTextViewer(0, 1, 0, 6));
    afx::SetClipboardText("");
    afx::PressTextViewerKey('C', MK_CONTROL);
    afx::PressTextViewerKey('N', MK_CONTROL);
    EXPECT_EQ(afx::ClipboardText(), CString("Lista"));
    EXPECT_TRUE(commands.Entries().empty());
    afx::CloseTextViewers();
}

TEST(TextViewer, TheScriptedUserDrivesTheViewerOpenedLast) {
    // A listing shown again under the same name (an analysis run twice), then one asked for
    // modally, which the scripted user only records: the newest open viewer is the one driven.
    testsupport::StartTabulon();
    testsupport::TempFolder one, two;
    std::string text;
    for (int i = 0; i < 200; ++i) text += " linha " + std::to_string(i) + "\r\n";
    testsupport::WriteBytes(one.File("lista.prn"), text);
    testsupport::WriteBytes(two.File("lista.prn"), text);
    testsupport::WriteBytes(two.File("outra.prn"), " Outra\r\n");
    ScriptedUser user;
    std::string problem;
    ASSERT_TRUE(afx::ShowTextFile(one.File("lista.prn").c_str(), false));
    afx::ProcessPendingEvents();
    ASSERT_TRUE(afx::TextViewerKey(VK_NEXT, &problem)) << problem;
    EXPECT_EQ(afx::TextViewerState(), "open, scrolled");
    ASSERT_TRUE(afx::ShowTextFile(two.File("lista.prn").c_str(), false));
    afx::ProcessPendingEvents();
    EXPECT_EQ(afx::TextViewerState(), "open, at the top");
    ASSERT_TRUE(afx::ShowTextFile(two.File("outra.prn").c_str(), true));
    EXPECT_EQ(afx::TextViewerState(), "open, at the top");
    ASSERT_TRUE(afx::TextViewerKey(VK_NEXT, &problem)) << problem;
    EXPECT_EQ(afx::TextViewerState(), "open, scrolled");
    ASSERT_TRUE(afx::TextViewerClick("Fechar", &problem)) << problem;
    // The first one, scrolled before, is open still.
    EXPECT_EQ(afx::TextViewerState(), "open, scrolled");
    ASSERT_TRUE(afx::TextViewerClick("Fechar", &problem)) << problem;
    EXPECT_EQ(afx::TextViewerState(), "closed");
    EXPECT_FALSE(afx::TextViewerKey(VK_NEXT, &problem));
    EXPECT_EQ(problem, "no text viewer is open");
    afx::CloseTextViewers();
    afx::ProcessPendingEvents();
    EXPECT_TRUE(user.AllAnswered());
}

TEST(TextViewer, BusyPointerUntilTheListingIsDrawn) {
    testsupport::StartTabulon();
    testsupport::TempFolder dir;
    std::string path = dir.File("lista.prn");
    testsupport::WriteBytes(path, " Listagem\r\n\f P\xE1gina 2\r\n");
    ASSERT_TRUE(afx::ShowTextFile(path.c_str(), false));
    EXPECT_TRUE(afx::IsWaitCursorShown());
    afx::ProcessPendingEvents();
    EXPECT_FALSE(afx::IsWaitCursorShown());
    // A viewer closed before it was drawn leaves no busy pointer behind.
    ASSERT_TRUE(afx::ShowTextFile(path.c_str(), false));
    afx::CloseTextViewers();
    EXPECT_FALSE(afx::IsWaitCursorShown());
    afx::ProcessPendingEvents();
}

TEST(TextViewer, RefusesPipesDevicesAndFilesHoldingAZeroByte) {
    testsupport::StartTabulon();
    testsupport::TempFolder dir;
    ScriptedUser user;
    auto expectRefusal = [&](const std::string& path, const std::string& message) {
        user.OnMessageBox([=](const CString& text, UINT) {
            EXPECT_EQ(text, CString(message));
            EXPECT_FALSE(afx::IsWaitCursorShown());
            return IDOK;
        });
        EXPECT_FALSE(afx::ShowTextFile(path.c_str(), false)) << path;
        EXPECT_FALSE(afx::IsWaitCursorShown());
    };

    std::string pipe = dir.File("lista.prn");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    // A writer that comes late and writes nothing: a viewer that waited for one goes on.
    std::atomic<bool> over{false};
    std::thread writer([&] {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!over && std::chrono::steady_clock::now() < deadline) {
            int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                ::close(fd);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    expectRefusal(pipe, "Erro - " + pipe + " n\xE3o \xE9 um ficheiro regular");
    over = true;
    writer.join();
    expectRefusal("/dev/zero", "Erro - /dev/zero n\xE3o \xE9 um ficheiro regular");

    std::string zero = dir.File("zero.prn");
    testsupport::WriteBytes(zero, std::string(" Listagem\r\n\f linha", 19) + std::string(1, '\0') + "\r\n");
    expectRefusal(zero, "Erro - " + zero + " n\xE3o \xE9 um ficheiro de texto");

    EXPECT_EQ(afx::OpenTextViewerCount(), 0);
    EXPECT_TRUE(user.TextViewers().empty());
    EXPECT_TRUE(user.AllAnswered());
}

TEST(TextViewer, PrintsALongPageOverAsManySheetsAsItNeeds) {
    testsupport::StartTabulon();
    testsupport::TempFolder dir;
    std::string text;
    for (int i = 0; i < 1000; ++i) text += " linha " + std::to_string(i) + "\r\n";
    std::string path = dir.File("lista.prn");
    testsupport::WriteBytes(path, text + "\f fim\r\n");
    ScriptedUser user;
    std::string pdf = dir.File("lista.pdf");
    user.OnPrintDialog([&](afx::PrintDialogRequest& r) {
        r.outputFile = pdf.c_str();
        return true;
    });
    ASSERT_TRUE(afx::ShowTextFile(path.c_str(), false));
    ASSERT_TRUE(afx::PressTextViewerButton(afx::TextViewerButton::Print));
    // No sheet holds a hundred lines of a listing font, nor fewer than forty.
    std::string bytes = testsupport::ReadBytes(pdf);
    std::regex page("/Type\\s*/Page[^s]");
    auto sheets = std::distance(std::sregex_iterator(bytes.begin(), bytes.end(), page), std::sregex_iterator());
    EXPECT_GE(sheets, 1000 / 100 + 1);
    EXPECT_LE(sheets, 1000 / 40 + 2);
    afx::CloseTextViewers();
    EXPECT_TRUE(user.AllAnswered());
}

// A listing's lines as the printed sheets should show each of them: on one line, blanks
// run together (the PDF reader guesses the spacing), in UTF-8.
std::vector<std::string> PlainLines(const std::string& listing) {
    std::vector<std::string> lines;
    std::string all = testsupport::PlainPdfText(afx::Cp1252ToUtf8(listing));
    for (size_t at = 0, end; (end = all.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(all.substr(at, end - at));
    return lines;
}

// Prints a listing from the viewer into a PDF file and reads its sheets back.
std::vector<testsupport::PdfPage> PrintedSheets(const std::string& listing, const testsupport::TempFolder& dir) {
    const std::string path = dir.File("lista.prn"), pdf = dir.File("lista.pdf");
    std::string file;
    for (char c : listing) file += c == '\n' ? std::string("\r\n") : std::string(1, c);
    testsupport::WriteBytes(path, file);
    ScriptedUser user;
    user.OnPrintDialog([&](afx::PrintDialogRequest& r) {
        r.outputFile = pdf.c_str();
        return true;
    });
    EXPECT_TRUE(afx::ShowTextFile(path.c_str(), false));
    EXPECT_TRUE(afx::PressTextViewerButton(afx::TextViewerButton::Print));
    afx::CloseTextViewers();
    EXPECT_TRUE(user.AllAnswered());
    std::string problem;
    auto sheets = testsupport::ReadPdfPages(pdf, &problem);
    EXPECT_FALSE(sheets.empty()) << problem;
    return sheets;
}

TEST(TextViewer, PrintsEachLineOfAWideListingWholeOnLandscapeSheets) {
    testsupport::StartTabulon();
    testsupport::TempFolder dir;
    // Lines of a carriage-control blank and 132 print positions, as the engines write their
    // tables and planes; a form feed starts each of three pages. 132 characters at 7 points
    // are wider than a portrait sheet: the sheets turn landscape.
    const std::string rule = std::string(1, ' ').append(132, '-');
    std::string table = "    Média";
    for (int i = 0; table.size() < 133; ++i) table += FormatString(" %6.2f", i * 1.25).str();
    table.resize(133);
    std::string plane = " I";
    for (int i = 0; plane.size() < 132; ++i) plane += static_cast<char>(i % 9 == 4 ? 'A' + i % 26 : i % 9 == 0 ? '.' : ' ');
    plane += "I";
    // A line wider than any listing's still goes on over the next row, at no less than 7
    // points.
    std::string wider = " ";
    for (int i = 0; wider.size() < 200; ++i) wider += FormatString("w%03d ", i).str();
    const std::string firstPage = std::string(" ANALISE\n").append(rule).append("\n").append(table).append("\n");
    const std::string listing = std::string(firstPage).append("\f").append(plane).append("\n").append(plane).append(
        "\n\f").append(wider).append("\n fim\n");
    const auto sheets = PrintedSheets(listing, dir);
    ASSERT_EQ(sheets.size(), 3u);
    std::string printed;
    for (size_t i = 0; i < sheets.size(); ++i) {
        EXPECT_GT(sheets[i].width, sheets[i].height) << "sheet " << i + 1;
        const std::string plain = testsupport::PlainPdfText(sheets[i].text);
        // Each sheet's number at its foot.
        EXPECT_NE(plain.find(std::string("\n").append(std::to_string(i + 1)).append("\n")), std::string::npos) << plain;
        printed += plain;
    }
    for (const std::string& line : PlainLines(std::string(firstPage).append(plane).append("\n fim\n")))
        EXPECT_NE(printed.find(line + "\n"), std::string::npos) << "not whole on its line: " << line << "\n" << printed;
    EXPECT_EQ(printed.find(PlainLines(wider)[0] + "\n"), std::string::npos) << printed;
    EXPECT_NE(printed.find("w000 w001"), std::string::npos) << printed;

    // A listing of 80 columns stays on portrait sheets.
    const std::string narrowListing = std::string(1, ' ').append(79, '=').append("\n").append(table, 0, 80).append("\n");
    const auto narrow = PrintedSheets(narrowListing, dir);
    ASSERT_EQ(narrow.size(), 1u);
    EXPECT_LT(narrow[0].width, narrow[0].height);
    const std::string plain = testsupport::PlainPdfText(narrow[0].text);
    for (const std::string& line : PlainLines(narrowListing))
        EXPECT_NE(plain.find(line + "\n"), std::string::npos) << line << "\n" << plain;
}

TEST(TextViewer, AFailedPrintIsReportedAboveTheViewer) {
    testsupport::StartTabulon();
    testsupport::TempFolder dir;
    std::string path = dir.File("lista.prn");
    testsupport::WriteBytes(path, " Listagem\r\n");
    ScriptedUser user;
    user.OnPrintDialog([&](afx::PrintDialogRequest& r) {
        r.outputFile = dir.File("lista.pdf").c_str();
        r.printerFails = true;
        return true;
    });
    user.OnMessageBox([](const CString&, UINT) { return IDOK; });
    ASSERT_TRUE(afx::ShowTextFile(path.c_str(), false));
    std::string problem;
    ASSERT_TRUE(afx::TextViewerClick("Imprimir", &problem)) << problem;
    ASSERT_EQ(user.Messages().size(), 1u);
    EXPECT_EQ(user.Messages()[0], "Erro a imprimir");
    EXPECT_EQ(user.MessageOwners()[0], "lista.prn");
    // Once the viewer is closed, a box comes up above the main window.
    ASSERT_TRUE(afx::TextViewerClick("Fechar", &problem)) << problem;
    user.OnMessageBox([](const CString&, UINT) { return IDOK; });
    AfxMessageBox("Aviso");
    CString title;
    AfxGetMainWnd()->GetWindowText(title);
    ASSERT_EQ(user.MessageOwners().size(), 2u);
    EXPECT_EQ(user.MessageOwners()[1], title);
    afx::CloseTextViewers();
    EXPECT_TRUE(user.AllAnswered());
}
