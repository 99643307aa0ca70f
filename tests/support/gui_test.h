// Helpers shared by the GUI tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/afx.h"
#include "platform/ui/automation.h"

using afx::DialogDriver;
using afx::ScriptedUser;

class CTabulonDoc;
class CMainFrame;

namespace testsupport {

// A fresh temporary folder, removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Starts Tabulon once per test program (InitInstance with an empty command line) and
// gives back its main frame; later calls make sure a new, empty document is open.
CMainFrame* StartTabulon();
CTabulonDoc* Document();

// Where pictures of windows are written (in the build tree).
std::string PictureFolder();

// Sends a key with modifiers to a window, as a person pressing it.
void PressKey(CWnd* wnd, UINT vk, bool ctrl = false, bool shift = false, bool alt = false);

}  // namespace testsupport

inline void PrintTo(const CRect& r, std::ostream* os) {
    *os << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}
inline void PrintTo(const CString& s, std::ostream* os) { *os << '"' << s.GetString() << '"'; }
