#include "tests/play/player.h"

#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/tabulon_app.h"
#include "charts/chart_wnd.h"
#include "platform/gdi/recording_dc.h"
#include "platform/core/cp1252.h"
#include "tests/support/pdf_text.h"
#include "ui/folder_dialog.h"

namespace play {

std::atomic<int> g_playingLine{0};
std::atomic<int> g_dialogLine{0};

namespace {

std::vector<std::string> SplitMenuPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t slash = path.find('/', start);
        parts.push_back(path.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    return parts;
}

std::string Utf8(const CString& s) { return afx::Cp1252ToUtf8(s.str()); }

// The buttons of a message-box type that an answer may press.
bool BoxHasButton(UINT type, int answer) {
    switch (type & MB_TYPEMASK) {
    case MB_OK: return answer == IDOK;
    case MB_OKCANCEL: return answer == IDOK || answer == IDCANCEL;
    case MB_YESNO: return answer == IDYES || answer == IDNO;
    case MB_YESNOCANCEL: return answer == IDYES || answer == IDNO || answer == IDCANCEL;
    case MB_RETRYCANCEL: return answer == IDCANCEL;
    default: return false;
    }
}

int BoxAnswer(const std::string& word) {
    if (word == "yes") return IDYES;
    if (word == "no") return IDNO;
    if (word == "cancel") return IDCANCEL;
    return IDOK;
}

}  // namespace

const std::map<std::string, Player::LineRunner>& Player::LineRunners() {
    static const std::map<std::string, LineRunner> table = {
        {"open", &Player::Open},
        {"command", &Player::Command},
        {"menu", &Player::Menu},
        {"dialog", &Player::Dialog},
        {"box", &Player::Box},
        {"file", &Player::File},
        {"print", &Player::Print},
        {"popup", &Player::Popup},
        {"save-as", &Player::SaveAs},
        {"set-clipboard", &Player::SetClipboard},
        {"header-click", &Player::HeaderClick},
        {"clipboard-text", &Player::ClipboardText},
        {"clipboard-image", &Player::ClipboardImage},
        {"window-png", &Player::WindowPng},
        {"messages", &Player::Messages},
        {"opened", &Player::Opened},
        {"expect-file", &Player::ExpectFile},
        {"compare", &Player::Compare},
        {"compare-numbers", &Player::CompareNumbers},
        {"folder-dialog", &Player::FolderDialog},
        {"viewer", &Player::Viewer},
        {"pdf-text", &Player::PdfText},
        {"link", &Player::Link},
        {"fifo", &Player::Fifo},
        {"kind", &Player::Kind},
    };
    return table;
}

const std::map<std::string, Player::ActionRunner>& Player::ActionRunners() {
    static const std::map<std::string, ActionRunner> table = {
        {"click", &Player::Click},   {"check", &Player::Click},     {"tick", &Player::Tick},
        {"untick", &Player::Tick},   {"select", &Player::Select},   {"choose", &Player::Choose},
        {"dclick", &Player::DoubleClick}, {"type", &Player::Type},  {"focus", &Player::Focus},
        {"key", &Player::Key},       {"rclick", &Player::RightClick}, {"png", &Player::Png},
        {"dump", &Player::Dump},     {"close", &Player::Close},     {"wait-ms", &Player::WaitMs},
        {"texts", &Player::Texts},   {"drag", &Player::Drag},       {"lclick", &Player::LeftClick},
        {"hover", &Player::Hover},   {"tip", &Player::Tip},         {"slider", &Player::Slider},
        {"with", &Player::With},     {"edit-cell", &Player::EditCell}, {"viewer", &Player::ViewerAction},
    };
    return table;
}

Player::Player(const Script& script, std::string tmp) : m_script(script), m_tmp(std::move(tmp)) {
    afx::ScriptedUser::SetFailureReporter([this](const std::string& what) { Fail(m_line, what); });
    m_user = std::make_unique<afx::ScriptedUser>();
    // Nothing leaves the run: links are recorded, not opened.
    m_previousOpener = afx::SetLinkOpener([this](const CString& target) {
        m_opened.push_back(target);
        return afx::OpenOutcome{afx::OpenOutcome::Exited, 0};
    });
}

Player::~Player() {
    afx::SetLinkOpener(m_previousOpener);
    // Leftovers were reported by Play; the seam must not report them again.
    m_user->TakeUnused();
    m_user.reset();
    afx::ScriptedUser::SetFailureReporter([](const std::string& what) {
        std::fprintf(stderr, "scripted user: %s\n", what.c_str());
    });
}

void Player::Fail(int line, const std::string& what) {
    ++m_failures;
    if (line > 0) std::fprintf(stderr, "%s:%d: %s\n", m_script.path.c_str(), line, what.c_str());
    else std::fprintf(stderr, "%s: %s\n", m_script.path.c_str(), what.c_str());
    // A command loop that shows a cancelled page again would report the same failure
    // until the watchdog fires: end the run at once instead.
    if (m_failures >= kMaxFailures) {
        std::fprintf(stderr, "%s:%d: more than %d failures, the run is ended\ntabulon_play: kept %s\n",
                     m_script.path.c_str(), line, kMaxFailures - 1, m_tmp.c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }
    std::fflush(stderr);
}

void Player::Play() {
    for (const Line& line : m_script.lines) {
        m_line = line.number;
        g_playingLine = line.number;
        (this->*LineRunners().at(line.verb))(line);
        afx::ProcessPendingEvents();
    }
    m_line = 0;
    CheckAnswersUsed(0);
}

// --- Arguments and files ----------------------------------------------------------------------

std::string Player::Expand(const std::string& arg) const {
    std::string out = arg;
    for (size_t at = out.find("$TMP"); at != std::string::npos; at = out.find("$TMP", at + m_tmp.size()))
        out.replace(at, 4, m_tmp);
    return out;
}

std::string Player::PathArg(const std::string& arg) const {
    std::string p = Expand(arg);
    if (p.empty() || p[0] == '/') return p;
    // A path inside the case's folder names the run's copy of it, so that files the program
    // writes beside a document (an analysis's coordinate files) stay out of the source tree.
    std::filesystem::path relative = std::filesystem::path(p).lexically_normal();
    bool inside = !relative.empty() && *relative.begin() != "..";
    return (inside && !m_script.copy.empty() ? m_script.copy : m_script.folder) + "/" + p;
}

bool Player::PathArg1252(const std::string& arg, int line, CString* out) {
    std::string converted;
    std::string p = PathArg(arg);
    if (!afx::Utf8ToCp1252(p, &converted)) {
        Fail(line, "the path \"" + p + "\" holds characters the program cannot use");
        return false;
    }
    *out = converted.c_str();
    return true;
}

bool Player::Text1252(const std::string& arg, int line, CString* out) {
    std::string converted;
    if (!afx::Utf8ToCp1252(Expand(arg), &converted)) {
        Fail(line, "the text \"" + Expand(arg) + "\" holds characters the program cannot show");
        return false;
    }
    *out = converted.c_str();
    return true;
}

bool Player::WriteOutput(const std::string& path, const std::string& text, int line) {
    // The run's folder differs from run to run: written as $TMP, the text can be compared.
    std::string bytes = text;
    for (size_t at = bytes.find(m_tmp); !m_tmp.empty() && at != std::string::npos; at = bytes.find(m_tmp, at + 4))
        bytes.replace(at, m_tmp.size(), "$TMP");
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    if (!out) Fail(line, "cannot write " + path);
    return static_cast<bool>(out);
}

bool Player::ReadInput(const std::string& path, std::string* bytes, int line) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Fail(line, "cannot read " + path);
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void Player::CheckAnswersUsed(int line) {
    std::vector<std::string> left = m_user->TakeUnused();
    bool named = false;
    std::string when = line > 0 ? "during line " + std::to_string(line) : "by the end of the script";
    for (const Pending& p : m_pending)
        if (!p.used) {
            Fail(p.line, p.what + " was expected but never appeared " + when);
            named = true;
        }
    if (!named)
        for (const std::string& what : left) Fail(line, what);
    m_pending.clear();
}

CFrameWnd* Player::Frame(int line) {
    auto* frame = dynamic_cast<CFrameWnd*>(theApp.m_pMainWnd);
    if (!frame) Fail(line, "Tabulon has no main window");
    return frame;
}

void Player::FailGreyed(int line, const std::string& what) {
    Fail(line, what + " is greyed");
    // The answers queued for it could not be used: that is the same failure.
    m_user->TakeUnused();
    m_pending.clear();
}

void Player::RunCommand(UINT id, int line) {
    CFrameWnd* frame = Frame(line);
    if (frame && !frame->IsCommandEnabled(id)) {
        FailGreyed(line, "command " + std::to_string(id));
        return;
    }
    if (frame) frame->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
    afx::ProcessPendingEvents();
    CheckAnswersUsed(line);
}

void Player::Wait(int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        afx::ProcessPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    } while (std::chrono::steady_clock::now() < end);
}

// --- Lines that run something -----------------------------------------------------------------

void Player::Open(const Line& l) {
    CString path;
    if (PathArg1252(l.args[0], l.number, &path)) theApp.OpenDocumentFile(path);
    afx::ProcessPendingEvents();
    CheckAnswersUsed(l.number);
}

void Player::Command(const Line& l) {
    long id = 0;
    ParseInt(l.args[0], &id);
    RunCommand(static_cast<UINT>(id), l.number);
}

void Player::Menu(const Line& l) {
    CFrameWnd* frame = Frame(l.number);
    if (!frame) return;
    CString wanted;
    if (!Text1252(l.args[0], l.number, &wanted)) return;
    std::vector<CString> path;
    for (const std::string& part : SplitMenuPath(wanted.str())) path.emplace_back(part);
    // The real menu bar, opened and walked with keys as a person does.
    std::string problem;
    switch (afx::ChooseMenuCommand(frame, path, &problem)) {
    case afx::MenuChoice::Chosen:
        afx::ProcessPendingEvents();
        break;
    case afx::MenuChoice::Greyed:
        FailGreyed(l.number, "the menu item \"" + l.args[0] + "\"");
        return;
    case afx::MenuChoice::NoCommand:
        Fail(l.number, "the menu has no command \"" + l.args[0] + "\"");
        break;
    case afx::MenuChoice::Other:
        Fail(l.number, "menu \"" + l.args[0] + "\": " + problem);
        break;
    }
    CheckAnswersUsed(l.number);
}

void Player::SaveAs(const Line& l) {
    CString path;
    if (!PathArg1252(l.args[0], l.number, &path)) return;
    m_user->OnFileDialog(Track(l.number, "the Save As prompt", [path](afx::FileDialogRequest& request) {
        request.path = path;
        return true;
    }));
    RunCommand(ID_FILE_SAVE_AS, l.number);
}

void Player::HeaderClick(const Line& l) {
    long column = 0;
    ParseInt(l.args[0], &column);
    CFrameWnd* frame = Frame(l.number);
    auto* view = frame ? dynamic_cast<CListView*>(frame->GetActiveView()) : nullptr;
    if (!view) {
        if (frame) Fail(l.number, "the main window shows no list");
    } else if (column >= view->GetListCtrl().GetColumnCount()) {
        Fail(l.number, "the list has no column " + std::to_string(column));
    } else {
        afx::ClickHeader(view, static_cast<int>(column));
    }
    afx::ProcessPendingEvents();
    CheckAnswersUsed(l.number);
}

void Player::FolderDialog(const Line& l) {
    CString start;
    if (!PathArg1252(l.args[0], l.number, &start)) return;
    CFolderDialog dlg(start, nullptr, theApp.m_pMainWnd);
    std::string result = dlg.DoModal() == IDOK ? Utf8(dlg.GetFolder()) : std::string("cancel");
    afx::ProcessPendingEvents();
    CheckAnswersUsed(l.number);
    WriteOutput(PathArg(l.args[1]), result + "\n", l.number);
}

// --- Answers ----------------------------------------------------------------------------------

void Player::Dialog(const Line& l) {
    int number = l.number;
    const std::vector<Action>* actions = &l.actions;
    m_user->OnDialog(l.dialogId, Track(number, "dialog " + std::to_string(l.dialogId), [this, number, actions](afx::DialogDriver& d) {
        int saved = m_line;
        m_line = number;
        g_dialogLine = number;
        for (const Action& a : *actions) {
            if (d.Dialog().HasEnded()) {
                Fail(number, "dialog " + std::to_string(d.TemplateId()) + " had closed before \"" + a.name + "\"");
                break;
            }
            (this->*ActionRunners().at(a.name))(d, a, number);
        }
        g_dialogLine = 0;
        m_line = saved;
    }));
}

void Player::Box(const Line& l) {
    int answer = BoxAnswer(l.args[0]);
    std::string word = l.args[0];
    CString part;
    bool checkText = l.args.size() > 1;
    if (checkText && !Text1252(l.args[1], l.number, &part)) return;
    int number = l.number;
    m_user->OnMessageBox(Track(number, "a message box", [this, answer, word, part, checkText, number](const CString& text, UINT type) {
        if (checkText && text.Find(part) < 0)
            Fail(number, "the message \"" + Utf8(text) + "\" does not contain \"" + Utf8(part) + "\"");
        if (!BoxHasButton(type, answer)) {
            Fail(number, "the message \"" + Utf8(text) + "\" has no " + word + " button");
            UINT t = type & MB_TYPEMASK;
            return t == MB_YESNO ? IDNO : (t == MB_OK ? IDOK : IDCANCEL);
        }
        return answer;
    }));
}

void Player::File(const Line& l) {
    if (l.args[0] == "cancel") {
        m_user->OnFileDialog(Track(l.number, "a file prompt", [](afx::FileDialogRequest&) { return false; }));
        return;
    }
    CString path;
    if (!PathArg1252(l.args[0], l.number, &path)) return;
    m_user->OnFileDialog(Track(l.number, "a file prompt", [path](afx::FileDialogRequest& request) {
        request.path = path;
        return true;
    }));
}

void Player::Print(const Line& l) {
    if (l.args[0] == "cancel") {
        m_user->OnPrintDialog(Track(l.number, "a print dialog", [](afx::PrintDialogRequest&) { return false; }));
        return;
    }
    CString path;
    if (!PathArg1252(l.args[0], l.number, &path)) return;
    m_user->OnPrintDialog(Track(l.number, "a print dialog", [path](afx::PrintDialogRequest& request) {
        request.outputFile = path;
        return true;
    }));
}

void Player::Popup(const Line& l) {
    if (l.args[0] == "none") {
        m_user->OnPopupMenu(Track(l.number, "a pop-up menu", [](const afx::PopupMenuRequest&) { return 0u; }));
        return;
    }
    CString wanted;
    if (!Text1252(l.args[0], l.number, &wanted)) return;
    int number = l.number;
    m_user->OnPopupMenu(Track(number, "a pop-up menu", [this, wanted, number](const afx::PopupMenuRequest& request) {
        for (const auto& item : request.items)
            if (item.second != 0 && afx::PlainMenuText(item.first) == wanted) return item.second;
        Fail(number, "the pop-up menu has no item \"" + Utf8(wanted) + "\"");
        return 0u;
    }));
}

// --- Clipboard, pictures and records ----------------------------------------------------------

void Player::SetClipboard(const Line& l) {
    std::string bytes, converted;
    if (!ReadInput(PathArg(l.args[0]), &bytes, l.number)) return;
    if (!afx::Utf8ToCp1252(bytes, &converted)) {
        Fail(l.number, PathArg(l.args[0]) + " is not UTF-8 text the program can hold");
        return;
    }
    afx::SetClipboardText(converted.c_str());
}

void Player::ClipboardText(const Line& l) {
    WriteOutput(PathArg(l.args[0]), Utf8(afx::ClipboardText()), l.number);
}

void Player::ClipboardImage(const Line& l) {
    CString path;
    if (PathArg1252(l.args[0], l.number, &path) && !afx::SaveClipboardImagePng(path))
        Fail(l.number, "the clipboard holds no image, or " + PathArg(l.args[0]) + " cannot be written");
}

void Player::WindowPng(const Line& l) {
    CString path;
    if (!PathArg1252(l.args[0], l.number, &path)) return;
    if (CFrameWnd* frame = Frame(l.number); frame && !afx::SaveWindowPng(frame, path))
        Fail(l.number, "cannot write " + PathArg(l.args[0]));
}

// --- Names planted beside a document, and what stands at a name ------------------------------

void Player::Link(const Line& l) {
    const std::string path = PathArg(l.args[0]);
    std::error_code ec;
    std::filesystem::remove(path, ec);
    std::filesystem::create_symlink(PathArg(l.args[1]), path, ec);
    if (ec) Fail(l.number, "cannot make the link " + path + ": " + ec.message());
}

void Player::Fifo(const Line& l) {
    const std::string path = PathArg(l.args[0]);
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (mkfifo(path.c_str(), 0644) != 0) Fail(l.number, "cannot make the fifo " + path);
}

void Player::Kind(const Line& l) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(PathArg(l.args[0]), ec);
    const char* kind = "other";
    switch (status.type()) {
    case fs::file_type::not_found: kind = "missing"; break;
    case fs::file_type::regular: kind = "file"; break;
    case fs::file_type::symlink: kind = "link"; break;
    case fs::file_type::fifo: kind = "fifo"; break;
    case fs::file_type::directory: kind = "folder"; break;
    default: break;
    }
    WriteOutput(PathArg(l.args[1]), std::string(kind) + "\n", l.number);
}

void Player::Messages(const Line& l) {
    std::string out;
    for (const CString& m : m_user->Messages()) {
        // One message a line: a line break inside a message is written as "\n".
        std::string text = Utf8(m);
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2))
            text.replace(at, 1, "\\n");
        out += text + "\n";
    }
    WriteOutput(PathArg(l.args[0]), out, l.number);
}

void Player::Opened(const Line& l) {
    std::string out;
    for (const CString& target : m_opened) out += Utf8(target) + "\n";
    WriteOutput(PathArg(l.args[0]), out, l.number);
}

void Player::Viewer(const Line& l) {
    const auto& viewers = m_user->TextViewers();
    if (viewers.empty()) {
        Fail(l.number, "no text viewer has been shown");
        return;
    }
    WriteOutput(PathArg(l.args[0]), Utf8(viewers.back().text), l.number);
}

void Player::PdfText(const Line& l) {
    std::string problem;
    const std::vector<testsupport::PdfPage> pages = testsupport::ReadPdfPages(PathArg(l.args[0]), &problem);
    if (pages.empty()) {
        Fail(l.number, problem);
        return;
    }
    std::string out;
    for (size_t i = 0; i < pages.size(); ++i) {
        out += testsupport::PlainPdfText(pages[i].text);
        out += "--- " + std::to_string(i + 1) + (pages[i].width > pages[i].height ? " landscape\n" : " portrait\n");
    }
    WriteOutput(PathArg(l.args[1]), out, l.number);
}

void Player::ExpectFile(const Line& l) {
    struct stat st;
    std::string path = PathArg(l.args[0]);
    if (stat(path.c_str(), &st) != 0) Fail(l.number, path + " does not exist");
    else if (st.st_size == 0) Fail(l.number, path + " is empty");
}

void Player::Compare(const Line& l) {
    std::string output, expected;
    if (!ReadInput(PathArg(l.args[0]), &output, l.number) || !ReadInput(PathArg(l.args[1]), &expected, l.number))
        return;
    // A file that names the run's folder (a parameter file) is compared with it as $TMP,
    // as the runner's own outputs write it.
    for (size_t at = output.find(m_tmp); !m_tmp.empty() && at != std::string::npos; at = output.find(m_tmp, at + 4))
        output.replace(at, m_tmp.size(), "$TMP");
    std::string diff = CompareBytes(output, expected);
    if (!diff.empty()) Fail(l.number, PathArg(l.args[0]) + " differs from " + PathArg(l.args[1]) + ": " + diff);
}

void Player::CompareNumbers(const Line& l) {
    std::string output, expected;
    double tolerance = 0;
    ParseNumber(l.args[2], &tolerance);
    if (!ReadInput(PathArg(l.args[0]), &output, l.number) || !ReadInput(PathArg(l.args[1]), &expected, l.number))
        return;
    std::string diff = play::CompareNumbers(output, expected, tolerance);
    if (!diff.empty()) Fail(l.number, PathArg(l.args[0]) + " differs from " + PathArg(l.args[1]) + ": " + diff);
}

// --- Dialog actions ---------------------------------------------------------------------------

namespace {
int IntArg(const Action& a, size_t i) {
    long v = 0;
    ParseInt(a.args[i], &v);
    return static_cast<int>(v);
}
}  // namespace

void Player::Click(afx::DialogDriver& d, const Action& a, int) { d.Click(IntArg(a, 0)); }

void Player::Tick(afx::DialogDriver& d, const Action& a, int line) {
    bool tick = a.name == "tick";
    int id = IntArg(a, 0);
    for (size_t i = 1; i < a.args.size(); ++i) {
        int index = IntArg(a, i);
        if (d.Dialog().HasEnded()) return;
        if (d.IsTicked(id, index) != tick) d.Tick(id, index);
        if (!d.Dialog().HasEnded() && d.IsTicked(id, index) != tick)
            Fail(line, "item " + std::to_string(index) + " of list " + std::to_string(id) + " did not become " +
                           (tick ? "ticked" : "unticked"));
    }
}

void Player::Select(afx::DialogDriver& d, const Action& a, int) { d.Select(IntArg(a, 0), IntArg(a, 1)); }

void Player::Choose(afx::DialogDriver& d, const Action& a, int line) {
    int id = IntArg(a, 0);
    CString text;
    if (!Text1252(a.args[1], line, &text)) return;
    std::vector<CString> items = d.Items(id);
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) {
            d.Select(id, static_cast<int>(i));
            return;
        }
    std::string all;
    for (const CString& it : items) all += (all.empty() ? "\"" : ", \"") + Utf8(it) + "\"";
    Fail(line, "control " + std::to_string(id) + " has no item \"" + Utf8(text) + "\" (it holds " +
                   (all.empty() ? std::string("nothing") : all) + ")");
}

void Player::DoubleClick(afx::DialogDriver& d, const Action& a, int) { d.DoubleClick(IntArg(a, 0), IntArg(a, 1)); }

void Player::Type(afx::DialogDriver& d, const Action& a, int line) {
    CString text;
    if (Text1252(a.args[1], line, &text)) d.Type(IntArg(a, 0), text);
}

void Player::Focus(afx::DialogDriver& d, const Action& a, int) { d.Focus(IntArg(a, 0)); }

void Player::Key(afx::DialogDriver& d, const Action& a, int) { d.Key(KeyCode(a.args[0])); }

void Player::RightClick(afx::DialogDriver& d, const Action& a, int) {
    if (a.args.size() == 3) d.RightClickAt(IntArg(a, 0), IntArg(a, 1), IntArg(a, 2));
    else d.RightClick(IntArg(a, 0));
}

void Player::Png(afx::DialogDriver& d, const Action& a, int line) {
    CString path;
    if (PathArg1252(a.args[0], line, &path) && !d.SavePng(path)) Fail(line, "cannot write " + PathArg(a.args[0]));
}

void Player::Dump(afx::DialogDriver& d, const Action& a, int line) {
    std::string out;
    for (const CString& s : d.Dump(IntArg(a, 0))) out += Utf8(s) + "\n";
    WriteOutput(PathArg(a.args[1]), out, line);
}

void Player::Texts(afx::DialogDriver& d, const Action& a, int line) {
    auto* chart = dynamic_cast<CChartWnd*>(d.Dialog().GetDlgItem(IntArg(a, 0)));
    if (!chart || !chart->GetPage()) {
        Fail(line, "control " + a.args[0] + " is not a chart window showing a page");
        return;
    }
    // The page drawn at the size of the window, into a context that records each text.
    CRect client;
    chart->GetClientRect(&client);
    RecordingDevice device;
    device.horzRes = client.Width();
    device.vertRes = client.Height();
    CRecordingDC dc(device);
    chart->GetPage()->Draw(&dc, 0, 0, client.Width(), client.Height());
    std::string out;
    for (const GdiRecord& r : dc.Find("TextOut"))
        out += std::to_string(r.args[0]) + "\t" + std::to_string(r.args[1]) + "\t" + Utf8(r.text) + "\n";
    WriteOutput(PathArg(a.args[1]), out, line);
}

namespace {
// A mouse message at a client point of a control, delivered as the system would: to the
// window that holds the mouse capture (a data tip that is showing), in its own client
// coordinates, when there is one.
void SendMouse(CWnd* control, UINT message, WPARAM flags, CPoint at) {
    // What a person points at has been drawn: paints still pending run first.
    afx::ProcessPendingEvents();
    CWnd* target = CWnd::GetCapture();
    if (target && target != control) {
        control->ClientToScreen(&at);
        target->ScreenToClient(&at);
    } else {
        target = control;
    }
    target->SendMessage(message, flags, MAKELPARAM(at.x, at.y));
}
}  // namespace

CWnd* Player::Control(afx::DialogDriver& d, const std::string& id, int line) {
    long n = 0;
    ParseInt(id, &n);
    CWnd* control = d.Dialog().GetDlgItem(static_cast<int>(n));
    if (!control) Fail(line, "dialog " + std::to_string(d.TemplateId()) + " has no control " + id);
    return control;
}

void Player::Drag(afx::DialogDriver& d, const Action& a, int line) {
    CWnd* control = Control(d, a.args[0], line);
    if (!control) return;
    // Button down at the first point, two moves with the button held, button up at the second.
    const int x1 = IntArg(a, 1), y1 = IntArg(a, 2), x2 = IntArg(a, 3), y2 = IntArg(a, 4);
    SendMouse(control, WM_LBUTTONDOWN, MK_LBUTTON, CPoint(x1, y1));
    SendMouse(control, WM_MOUSEMOVE, MK_LBUTTON, CPoint((x1 + x2) / 2, (y1 + y2) / 2));
    SendMouse(control, WM_MOUSEMOVE, MK_LBUTTON, CPoint(x2, y2));
    SendMouse(control, WM_LBUTTONUP, 0, CPoint(x2, y2));
    afx::ProcessPendingEvents();
}

void Player::LeftClick(afx::DialogDriver& d, const Action& a, int line) {
    CWnd* control = Control(d, a.args[0], line);
    if (!control) return;
    const CPoint at(IntArg(a, 1), IntArg(a, 2));
    SendMouse(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMouse(control, WM_LBUTTONUP, 0, at);
    afx::ProcessPendingEvents();
}

void Player::Hover(afx::DialogDriver& d, const Action& a, int line) {
    CWnd* control = Control(d, a.args[0], line);
    if (!control) return;
    // The pointer comes to rest on the point: it is put there, the window is told of the
    // move, and the run goes on past the data tip's delay.
    CPoint at(IntArg(a, 1), IntArg(a, 2));
    CPoint screen = at;
    control->ClientToScreen(&screen);
    ::SetCursorPos(screen.x, screen.y);
    CWnd* holder = CWnd::GetCapture();
    SendMouse(control, WM_MOUSEMOVE, 0, at);
    // A tip that had the mouse let it go on the move: the next move of the pointer reaches
    // the window under it.
    if (holder && holder != control && CWnd::GetCapture() != holder) SendMouse(control, WM_MOUSEMOVE, 0, at);
    Wait(static_cast<int>(TFXDataTip::kHoverDelay) + 250);
}

void Player::Tip(afx::DialogDriver&, const Action& a, int line) {
    std::string out;
    TFXDataTip* tip = TFXDataTip::Showing();
    if (tip && tip->IsShown())
        for (const CString& s : tip->GetLines()) out += Utf8(s) + "\n";
    WriteOutput(PathArg(a.args[0]), out, line);
}

void Player::Slider(afx::DialogDriver& d, const Action& a, int line) {
    CWnd* control = Control(d, a.args[0], line);
    if (!control) return;
    auto* slider = dynamic_cast<CSliderCtrl*>(control);
    if (!slider) {
        Fail(line, "control " + a.args[0] + " is not a slider");
        return;
    }
    if (!slider->IsWindowEnabled() || !slider->IsWindowVisible()) {
        Fail(line, "slider " + a.args[0] + " is disabled or hidden");
        return;
    }
    const int pos = IntArg(a, 1);
    if (pos < slider->GetRangeMin() || pos > slider->GetRangeMax()) {
        Fail(line, "slider " + a.args[0] + " runs from " + std::to_string(slider->GetRangeMin()) + " to " +
                       std::to_string(slider->GetRangeMax()) + ", not to " + a.args[1]);
        return;
    }
    slider->SetPos(pos);
    afx::ProcessPendingEvents();
}

void Player::With(afx::DialogDriver&, const Action& a, int line) {
    long id = 0;
    ParseInt(a.args[0], &id);
    // The modeless dialog of that template that is on the screen now.
    CDialog* found = afx::FindOpenDialog(static_cast<UINT>(id));
    if (!found) {
        Fail(line, "no dialog " + a.args[0] + " is open");
        return;
    }
    afx::DialogDriver inner(*found);
    Action action;
    action.name = a.args[1];
    action.args.assign(a.args.begin() + 2, a.args.end());
    (this->*ActionRunners().at(action.name))(inner, action, line);
}

void Player::Close(afx::DialogDriver& d, const Action&, int) { d.CloseBox(); }

void Player::EditCell(afx::DialogDriver& d, const Action& a, int line) {
    CString text;
    if (!Text1252(a.args[3], line, &text)) return;
    d.EditCell(IntArg(a, 0), IntArg(a, 1), IntArg(a, 2), text, a.args.size() > 4 ? KeyCode(a.args[4]) : VK_TAB);
}

void Player::ViewerAction(afx::DialogDriver&, const Action& a, int line) {
    std::string problem;
    const std::string& what = a.args[0];
    if (what == "state") {
        WriteOutput(PathArg(a.args[1]), afx::TextViewerState() + "\n", line);
        return;
    }
    bool done = false;
    if (what == "key") {
        done = afx::TextViewerKey(KeyCode(a.args[1]), &problem);
    } else {
        CString caption;
        if (!Text1252(a.args[1], line, &caption)) return;
        done = afx::TextViewerClick(caption, &problem);
    }
    if (!done) Fail(line, "viewer " + what + ": " + problem);
    afx::ProcessPendingEvents();
}

void Player::WaitMs(afx::DialogDriver&, const Action& a, int) { Wait(IntArg(a, 0)); }

}  // namespace play
