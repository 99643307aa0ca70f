// Plays a parsed script against the running Tabulon through the scripted user.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/afx.h"
#include "platform/ui/automation.h"
#include "platform/ui/shell.h"
#include "tests/play/script.h"

namespace play {

// The script line being played, read by the watchdog thread: the line in the script's
// order, and the `dialog` line whose actions are running (0 when none).
extern std::atomic<int> g_playingLine;
extern std::atomic<int> g_dialogLine;

class Player {
public:
    // tmp: the run's folder, which `$TMP` stands for.
    Player(const Script& script, std::string tmp);
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Plays every line in order, then checks that every queued answer was used.
    void Play();
    // Reports a failure on a script line (also written to standard error at once).
    void Fail(int line, const std::string& what);
    int FailureCount() const { return m_failures; }

private:
    using LineRunner = void (Player::*)(const Line&);
    using ActionRunner = void (Player::*)(afx::DialogDriver&, const Action&, int line);
    static const std::map<std::string, LineRunner>& LineRunners();
    static const std::map<std::string, ActionRunner>& ActionRunners();

    // Path and text arguments at run time: `$TMP` expanded; paths made absolute from the
    // script's folder. The code-page forms are what the program is handed.
    std::string Expand(const std::string& arg) const;
    std::string PathArg(const std::string& arg) const;
    bool PathArg1252(const std::string& arg, int line, CString* out);
    bool Text1252(const std::string& arg, int line, CString* out);
    // Writes a text the runner records (UTF-8), with the run's folder written as $TMP.
    bool WriteOutput(const std::string& path, const std::string& text, int line);
    bool ReadInput(const std::string& path, std::string* bytes, int line);
    // Notes an answer queued by a script line; the returned handler marks it used when it runs.
    template <class Handler>
    auto Track(int line, std::string what, Handler handler) {
        size_t slot = m_pending.size();
        m_pending.push_back({line, std::move(what), false});
        return [this, slot, handler = std::move(handler)](auto&&... args) mutable {
            m_pending[slot].used = true;
            return handler(std::forward<decltype(args)>(args)...);
        };
    }
    // After a line that runs something (0: the end of the script): every answer still
    // queued was never used, and is reported on the line that queued it.
    void CheckAnswersUsed(int line);
    CFrameWnd* Frame(int line);
    void RunCommand(UINT id, int line);
    // A greyed command or menu item fails its line, and the answers queued for it go unused.
    void FailGreyed(int line, const std::string& what);
    void Wait(int ms);

    // Lines.
    void Open(const Line& l);
    void Command(const Line& l);
    void Menu(const Line& l);
    void Dialog(const Line& l);
    void Box(const Line& l);
    void File(const Line& l);
    void Print(const Line& l);
    void Popup(const Line& l);
    void SaveAs(const Line& l);
    void SetClipboard(const Line& l);
    void HeaderClick(const Line& l);
    void ClipboardText(const Line& l);
    void ClipboardImage(const Line& l);
    void WindowPng(const Line& l);
    void Messages(const Line& l);
    void Opened(const Line& l);
    void ExpectFile(const Line& l);
    void PdfText(const Line& l);
    void Compare(const Line& l);
    void CompareNumbers(const Line& l);
    void FolderDialog(const Line& l);
    void Viewer(const Line& l);
    void Link(const Line& l);
    void Fifo(const Line& l);
    void Kind(const Line& l);

    // Dialog actions.
    void Click(afx::DialogDriver& d, const Action& a, int line);
    void Tick(afx::DialogDriver& d, const Action& a, int line);
    void Select(afx::DialogDriver& d, const Action& a, int line);
    void Choose(afx::DialogDriver& d, const Action& a, int line);
    void DoubleClick(afx::DialogDriver& d, const Action& a, int line);
    void Type(afx::DialogDriver& d, const Action& a, int line);
    void Focus(afx::DialogDriver& d, const Action& a, int line);
    void Key(afx::DialogDriver& d, const Action& a, int line);
    void RightClick(afx::DialogDriver& d, const Action& a, int line);
    void Png(afx::DialogDriver& d, const Action& a, int line);
    void Dump(afx::DialogDriver& d, const Action& a, int line);
    void Close(afx::DialogDriver& d, const Action& a, int line);
    void WaitMs(afx::DialogDriver& d, const Action& a, int line);
    void Texts(afx::DialogDriver& d, const Action& a, int line);
    void Drag(afx::DialogDriver& d, const Action& a, int line);
    void LeftClick(afx::DialogDriver& d, const Action& a, int line);
    void Hover(afx::DialogDriver& d, const Action& a, int line);
    void Tip(afx::DialogDriver& d, const Action& a, int line);
    void Slider(afx::DialogDriver& d, const Action& a, int line);
    void With(afx::DialogDriver& d, const Action& a, int line);
    void EditCell(afx::DialogDriver& d, const Action& a, int line);
    void ViewerAction(afx::DialogDriver& d, const Action& a, int line);
    // A control of the dialog, or a failure naming it.
    CWnd* Control(afx::DialogDriver& d, const std::string& id, int line);

    const Script& m_script;
    std::string m_tmp;
    std::unique_ptr<afx::ScriptedUser> m_user;
    struct Pending {
        int line;
        std::string what;
        bool used;
    };
    std::vector<Pending> m_pending;  // answers queued since the last line that ran something
    std::vector<CString> m_opened;   // targets handed to the link opener
    afx::LinkOpener m_previousOpener;
    int m_line = 0;                  // the line that failures of the seam are charged to
    int m_failures = 0;
    static constexpr int kMaxFailures = 26;
};

}  // namespace play
