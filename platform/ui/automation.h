// The scripted user: a seam through which tests drive modal dialogs and answer message
// boxes, file prompts and pop-up menus, headless, through the same entry points a person
// uses (a click dispatches BN_CLICKED, a key goes through PreTranslateMessage).
//
// Rules: handlers for a template id run in the order queued; when a handler returns and its
// dialog is still open, the next handler queued for that id runs on the same modal run; a
// message box is answered by the next queued answer; anything unexpected is reported as a
// failure and ends with a cancel, so a test never hangs. Indices are 0-based.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/core/cstring.h"
#include "platform/core/win_types.h"
#include "platform/ui/win_messages.h"

class CDialog;
class CMenu;
class CWnd;
class QDialog;
class QWidget;

namespace afx {

class DialogDriver {
public:
    explicit DialogDriver(CDialog& dialog) : m_dialog(dialog) {}

    CDialog& Dialog() { return m_dialog; }
    UINT TemplateId() const;
    CString Caption() const;

    // Clicks a button (or a static that notifies) as a person would.
    void Click(int id);
    // Gives a control the focus, as a click or Tab would.
    void Focus(int id);
    // Replaces the text of an edit, after giving it the focus.
    void Type(int id, const char* text);
    // Sends one key (a virtual-key code) to the control that has the focus.
    void Key(UINT vk);
    // Types characters one by one, as key presses, into the control that has the focus.
    void TypeKeys(const char* text);
    // List and combo boxes: selects an item with the mouse (combo: chooses it).
    void Select(int id, int index);
    void DoubleClick(int id, int index);
    // Check lists: clicks the tick box of an item.
    void Tick(int id, int index);
    // Edits an item of a list in place, as a person does: a double-click opens the edit on
    // item `row` (column 0, the only one of a list box), the text is typed over the old one,
    // and a key ends the edit: Tab (leaving it), Enter or Escape.
    void EditCell(int id, int row, int column, const char* text, UINT endKey = VK_TAB);
    // Right-clicks a control at its centre (or at a client point).
    void RightClick(int id);
    void RightClickAt(int id, int x, int y);
    // The title-bar close button.
    void CloseBox();

    CString Text(int id) const;
    bool Exists(int id) const;
    bool IsEnabled(int id) const;
    bool IsVisible(int id) const;
    int Checked(int id) const;
    int FocusId() const;
    std::vector<CString> Items(int id) const;
    int Selected(int id) const;
    bool IsTicked(int id, int index) const;
    // What a control shows, as lines: a static's or an edit's text (one line); a list or
    // combo box's items; a report list's headings, then its rows, cells separated by tabs
    // (a number too wide for its cell as the cell shows it, in exponent form).
    std::vector<CString> Dump(int id) const;
    // Writes a picture of the dialog as it stands.
    bool SavePng(const char* path) const;

private:
    QWidget* Control(int id, const char* action) const;
    CDialog& m_dialog;
};

struct FileDialogRequest {
    bool open = true;
    CString title;
    CString initialFolder;
    CString initialName;
    CString filter;        // "description|pattern|..." form
    CString path;          // the answer: the full path chosen
};

// The print dialog that a person sees: the answer says what the person does in it. To
// print, the PDF output is chosen in its printer list, the file name typed and "Print"
// clicked; to cancel, Escape is pressed in it.
struct PrintDialogRequest {
    DWORD flags = 0;
    bool setupOnly = false;
    CString outputFile;         // the answer: the PDF file that the job is printed to
    int resolution = 600;       // the answer: the printer's pixels per inch
    bool printerFails = false;  // the answer: the printer refuses the job
};

// A program started hidden (process_wait.h): what was asked and whether it started.
struct ProcessStartRequest {
    CString program;
    CString folder;
    bool started = false;
};

// A text file shown in the text viewer (text_viewer.h). The text is as shown: the file's
// bytes with "\r\n" read as "\n". A modal viewer is only recorded, not run.
struct TextViewerRequest {
    CString path;
    CString text;
    bool modal = false;
};

struct PopupMenuRequest {
    std::vector<std::pair<CString, UINT>> items;  // text and command (0 for separators and pop-ups)
    std::vector<bool> enabled;
    CPoint point;
};

class ScriptedUser {
public:
    ScriptedUser();
    ~ScriptedUser();
    ScriptedUser(const ScriptedUser&) = delete;
    ScriptedUser& operator=(const ScriptedUser&) = delete;

    void OnDialog(UINT templateId, std::function<void(DialogDriver&)> handler);
    void OnMessageBox(std::function<int(const CString& text, UINT type)> answer);
    // Returns true to accept the prompt with request.path, false to cancel it.
    void OnFileDialog(std::function<bool(FileDialogRequest&)> answer);
    // Returns the command chosen, or 0 to dismiss the menu.
    void OnPopupMenu(std::function<UINT(const PopupMenuRequest&)> answer);
    // Returns true to print (to request.outputFile, which must be set), false to cancel.
    void OnPrintDialog(std::function<bool(PrintDialogRequest&)> answer);

    // Every queued handler ran and nothing unexpected happened.
    bool AllAnswered() const;
    // Describes every queued handler that has not run, and drops them (a script runner
    // checks this after each step, so a stale answer cannot serve a later step).
    std::vector<std::string> TakeUnused();
    // Texts of the message boxes shown so far, in order.
    const std::vector<CString>& Messages() const { return m_messages; }
    // Their captions, in the same order.
    const std::vector<CString>& Captions() const { return m_captions; }
    // The titles of the windows they came up above, in the same order.
    const std::vector<CString>& MessageOwners() const { return m_messageOwners; }
    const std::vector<std::string>& Failures() const { return m_failures; }
    // Programs started and text files shown so far, in order.
    const std::vector<ProcessStartRequest>& ProcessStarts() const { return m_processStarts; }
    const std::vector<TextViewerRequest>& TextViewers() const { return m_textViewers; }

    // Where failures are reported (tests route them to their framework).
    static void SetFailureReporter(std::function<void(const std::string&)> reporter);

    // Used by the platform.
    int RunModal(CDialog& dialog);
    int AnswerMessageBox(const CString& text, const CString& caption, UINT type, const CString& owner);
    bool AnswerFileDialog(FileDialogRequest& request);
    UINT ChoosePopupCommand(const CMenu& menu, CPoint point);
    bool AnswerPrintDialog(PrintDialogRequest& request);
    // Shows the toolkit's print dialog and does in it what the queued answer says; true
    // when it was accepted.
    bool RunPrintDialog(QDialog& dialog, PrintDialogRequest& request);
    void Fail(const std::string& what);
    void NoteProcessStart(const ProcessStartRequest& request) { m_processStarts.push_back(request); }
    void NoteTextViewer(const TextViewerRequest& request) { m_textViewers.push_back(request); }

private:
    std::map<UINT, std::deque<std::function<void(DialogDriver&)>>> m_dialogs;
    std::deque<std::function<int(const CString&, UINT)>> m_messageBoxes;
    std::deque<std::function<bool(FileDialogRequest&)>> m_fileDialogs;
    std::deque<std::function<UINT(const PopupMenuRequest&)>> m_popups;
    std::deque<std::function<bool(PrintDialogRequest&)>> m_printDialogs;
    std::vector<CString> m_messages;
    std::vector<CString> m_captions;
    std::vector<CString> m_messageOwners;
    std::vector<std::string> m_failures;
    std::vector<ProcessStartRequest> m_processStarts;
    std::vector<TextViewerRequest> m_textViewers;
    int m_unexpectedDialogs = 0;
    ScriptedUser* m_previous = nullptr;
};

// Sends a key press and release to a window (to its focused child when it has one),
// through the same path as a person's key: PreTranslateMessage, then the window.
// keyState holds MK_CONTROL, MK_SHIFT and MK_ALT.
void PressKey(CWnd* wnd, UINT vk, UINT keyState = 0);
// Writes a picture of a window as it stands.
bool SaveWindowPng(CWnd* wnd, const char* path);
// Drops files on a window, as a person dragging them from a file manager.
void DropFiles(CWnd* wnd, const std::vector<CString>& paths);
// Clicks a column heading of a report list, as a person would.
void ClickHeader(CWnd* list, int column);
// The text that a cell of a report list shows (a number too wide for its cell in exponent
// form), as the dialogs' Dump gives it.
CString ShownItemText(CWnd* list, int item, int subItem);
// The dialog of a template that stands open on the screen (a modeless one beside a modal
// dialog, say), or null.
CDialog* FindOpenDialog(UINT templateId);
// Writes the clipboard's image as PNG; false when it holds none or the file cannot be written.
bool SaveClipboardImagePng(const char* path);
// The pointer comes onto a toolbar button; later it leaves a window (the toolbar).
void PointAtToolbarButton(CWnd* toolbar, int index);
void PointerLeaves(CWnd* wnd);

// A menu or button text as a person reads it: without '&' marks (a doubled one stays as
// one '&') and without the accelerator text after a tab.
CString PlainMenuText(const CString& text);

// Chooses a command of a main window's menu bar as a person does with the keyboard: F10
// opens the menu bar, Right moves along it, Down moves down a menu, Right opens a sub-menu
// and Return chooses the last item of the path (menu texts as PlainMenuText gives them).
// Anything but Chosen comes with the reason in `problem`.
enum class MenuChoice {
    Chosen,
    NoCommand,   // an item of the path is missing, or names a menu where a command is due
    Greyed,      // the command is there but greyed
    Other,       // the menus did not answer the keys as they should
};
MenuChoice ChooseMenuCommand(CWnd* frame, const std::vector<CString>& path, std::string* problem);

// The text viewer opened last, while it is open, driven as a person would: a key (keyState:
// MK_CONTROL, MK_SHIFT, MK_ALT) where a person's key goes, to its first control when none of
// its controls has the focus; a click on the button of that caption. False, with the reason,
// when none is open or it takes no input (a modal dialog above it).
bool TextViewerKey(UINT vk, std::string* problem, UINT keyState = 0);
bool TextViewerClick(const CString& caption, std::string* problem);
// "closed" when no text viewer is open, else "open, at the top" or "open, scrolled".
std::string TextViewerState();

// The text that the toolkit's own dialogs show for one of theirs (a translation context and
// the English source text), as the program's language makes it.
CString ToolkitText(const char* context, const char* text);
// The size of a message box as it comes up on the screen (shown for a moment and hidden).
CSize MessageBoxSize(const char* text, const char* caption, UINT type);

// Records the commands that menus, toolbar buttons and accelerators issue, with whether
// they were enabled (a disabled command is not carried out).
class CommandTrace {
public:
    CommandTrace();
    ~CommandTrace();
    CommandTrace(const CommandTrace&) = delete;
    CommandTrace& operator=(const CommandTrace&) = delete;
    struct Entry {
        UINT id;
        bool enabled;
    };
    const std::vector<Entry>& Entries() const { return m_entries; }
    static void Note(UINT id, bool enabled);

private:
    std::vector<Entry> m_entries;
    CommandTrace* m_previous;
};

namespace automation {
bool Active();
ScriptedUser* Current();
int RunModal(CDialog& dialog);
int AnswerMessageBox(const CString& text, const CString& caption, UINT type, const CString& owner);
bool AnswerFileDialog(FileDialogRequest& request);
UINT ChoosePopupCommand(const CMenu& menu, CPoint point);
bool AnswerPrintDialog(PrintDialogRequest& request);
bool RunPrintDialog(QDialog& dialog, PrintDialogRequest& request);
void NoteProcessStart(const char* program, const char* folder, bool started);
void NoteTextViewer(const TextViewerRequest& request);
}  // namespace automation

}  // namespace afx
