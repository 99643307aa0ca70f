#include "tests/support/gui_test.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/main_frame.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"

namespace testsupport {

TempFolder::TempFolder() {
    char folder[] = "/tmp/tesmo-test-XXXXXX";
    if (mkdtemp(folder)) m_path = folder;
}

TempFolder::~TempFolder() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

CMainFrame* StartTabulon() {
    if (!theApp.m_pMainWnd) {
        EXPECT_TRUE(theApp.InitInstance());
    } else if (CTabulonDoc* doc = theApp.GetDocument(); doc && (doc->HasData() || !doc->IsNewUntitled())) {
        doc->SetModifiedFlag(FALSE);
        theApp.OnFileNew();
    }
    afx::ProcessPendingEvents();
    return dynamic_cast<CMainFrame*>(theApp.m_pMainWnd);
}

CTabulonDoc* Document() { return theApp.GetDocument(); }

std::string PictureFolder() {
    std::string folder = TESMO_PICTURE_FOLDER;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

}  // namespace testsupport

namespace testsupport {
void PressKey(CWnd* wnd, UINT vk, bool ctrl, bool shift, bool alt) {
    afx::PressKey(wnd, vk, (ctrl ? MK_CONTROL : 0u) | (shift ? MK_SHIFT : 0u) | (alt ? MK_ALT : 0u));
}
}  // namespace testsupport
