#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/core/cp1252.h"
#include "platform/ui/shell.h"
#include "res/resources.h"
#include "tests/support/gui_test.h"
#include "ui/hyperlink.h"

namespace {

constexpr UINT kLinkDialog = 9125;
constexpr int kLeftLink = 1173;
constexpr int kRightLink = 1174;
constexpr int kCentredLink = 1175;

const afx::ResourceSet& LinkResources() {
    using afx::Ctl;
    namespace Style = afx::Style;
    static const afx::ResourceSet set = [] {
        afx::ResourceSet s;
        s.dialogs = {{kLinkDialog, "Relatório HTML", {0, 0, 220, 92},
                      {
                          {Ctl::Static, -1, "O relatório foi gerado em:", {10, 8, 200, 10}},
                          {Ctl::Static, kLeftLink, "", {10, 22, 200, 12}},
                          {Ctl::Static, kRightLink, "Abrir o relatório", {10, 40, 200, 12}, Style::Right},
                          {Ctl::Static, kCentredLink, "Ajuda", {10, 56, 200, 12}, Style::Center},
                          {Ctl::PushButton, IDOK, "OK", {160, 72, 50, 14}, Style::Default},
                      }}};
        return s;
    }();
    return set;
}

class CLinkDlg : public CDialog {
public:
    explicit CLinkDlg(const CString& target) : CDialog(kLinkDialog) { m_left.SetURL(target); }
    CHyperLink m_left, m_right, m_centred;

protected:
    void DoDataExchange(CDataExchange* dx) override {
        CDialog::DoDataExchange(dx);
        DDX_Control(dx, kLeftLink, m_left);
        DDX_Control(dx, kRightLink, m_right);
        DDX_Control(dx, kCentredLink, m_centred);
    }
};

// The pixels of a window's client area that show exactly a colour.
int CountPixels(CWnd* wnd, COLORREF colour) {
    CRect r;
    wnd->GetClientRect(r);
    CClientDC dc(wnd);
    int n = 0;
    for (int y = 0; y < r.Height(); ++y)
        for (int x = 0; x < r.Width(); ++x)
            if (dc.GetPixel(x, y) == colour) ++n;
    return n;
}

// The control's rectangle in its dialog's client area.
CRect PlaceOf(CWnd* wnd) {
    CRect r;
    wnd->GetWindowRect(r);
    wnd->GetParent()->ScreenToClient(r);
    return r;
}

CRect TemplatePlace(CDialog& dlg, int x, int y, int w, int h) {
    CRect r(x, y, x + w, y + h);
    dlg.MapDialogRect(r);
    return r;
}

CSize TextExtentIn(CWnd* wnd) {
    CString text;
    wnd->GetWindowText(text);
    CClientDC dc(wnd);
    dc.SelectObject(wnd->GetFont());
    CSize e = dc.GetTextExtent(text);
    e.cx += 1;   // the room the link keeps for the text's fraction of a pixel
    return e;
}

class HyperLinkTest : public testing::Test {
protected:
    void SetUp() override {
        RegisterTabulonResources();
        afx::AddResources(&LinkResources());
    }
    void TearDown() override {
        afx::SetLinkOpener(nullptr);
        afx::RemoveResources(&LinkResources());
    }
};

TEST_F(HyperLinkTest, AttachingUnderlinesFitsAndGivesTheTargetAsTip) {
    const CString target = "/tmp/relatórios/Relatorio.html";
    ScriptedUser user;
    user.OnDialog(kLinkDialog, [&](DialogDriver& page) {
        auto& dlg = static_cast<CLinkDlg&>(page.Dialog());
        // An empty text shows the target; a text of its own becomes the target.
        EXPECT_EQ(page.Text(kLeftLink), target);
        EXPECT_EQ(dlg.m_right.GetURL(), "Abrir o relatório");
        EXPECT_TRUE(dlg.m_left.GetStyle() & SS_NOTIFY);

        LOGFONT log;
        ASSERT_TRUE(dlg.m_left.GetFont()->GetLogFont(&log));
        EXPECT_EQ(log.lfUnderline, 1);

        CString tip;
        dlg.m_left.GetToolTip().GetText(tip, &dlg.m_left, 1);
        EXPECT_EQ(tip, target);
        dlg.m_left.SetURL("https://exemplo.pt/relatorio");
        dlg.m_left.GetToolTip().GetText(tip, &dlg.m_left, 1);
        EXPECT_EQ(tip, "https://exemplo.pt/relatorio");

        // Left-aligned text keeps the top-left corner, right-aligned text the right edge,
        // centred text shrinks equally on both sides; each is one line of text high.
        CRect left = TemplatePlace(dlg, 10, 22, 200, 12);
        CRect right = TemplatePlace(dlg, 10, 40, 200, 12);
        CRect centre = TemplatePlace(dlg, 10, 56, 200, 12);
        CSize e = TextExtentIn(&dlg.m_left);
        EXPECT_EQ(PlaceOf(&dlg.m_left), CRect(left.left, left.top, left.left + e.cx, left.top + e.cy));
        e = TextExtentIn(&dlg.m_right);
        EXPECT_LT(e.cx, right.Width());
        EXPECT_EQ(PlaceOf(&dlg.m_right), CRect(right.right - e.cx, right.top, right.right, right.top + e.cy));
        e = TextExtentIn(&dlg.m_centred);
        int side = (centre.Width() - e.cx) / 2;
        EXPECT_EQ(PlaceOf(&dlg.m_centred), CRect(centre.left + side, centre.top, centre.right - side, centre.top + e.cy));

        dlg.m_left.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(dlg.m_left.GetSafeHwnd()),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor(), LoadStandardCursor(IDC_HAND));
        page.SavePng((testsupport::PictureFolder() + "/hyperlink.png").c_str());
        page.Click(IDOK);
    });
    CLinkDlg dlg(target);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(HyperLinkTest, TheTextTakesTheLinkHoverAndVisitedColours) {
    std::vector<CString> opened;
    afx::SetLinkOpener([&](const CString& target) {
        opened.push_back(target);
        return afx::OpenOutcome{afx::OpenOutcome::Exited, 0};
    });
    ScriptedUser user;
    user.OnDialog(kLinkDialog, [&](DialogDriver& page) {
        auto& dlg = static_cast<CLinkDlg&>(page.Dialog());
        CHyperLink& link = dlg.m_left;
        const COLORREF hover = GetSysColor(COLOR_HIGHLIGHT);
        ASSERT_NE(hover, RGB(0, 0, 238));
        EXPECT_EQ(link.GetHoverColour(), hover);
        EXPECT_GT(CountPixels(&link, RGB(0, 0, 238)), 0);
        EXPECT_EQ(CountPixels(&link, hover), 0);

        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));   // the mouse comes over the text
        EXPECT_GT(CountPixels(&link, hover), 0);
        EXPECT_EQ(CountPixels(&link, RGB(0, 0, 238)), 0);
        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(-5, 2));  // and leaves it
        EXPECT_GT(CountPixels(&link, RGB(0, 0, 238)), 0);
        EXPECT_EQ(CountPixels(&link, hover), 0);

        link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
        page.Click(kLeftLink);   // clicked under the mouse: shown as visited, no longer as hovered
        EXPECT_TRUE(link.GetVisited());
        EXPECT_EQ(CountPixels(&link, hover), 0);
        EXPECT_GT(CountPixels(&link, RGB(85, 26, 139)), 0);
        EXPECT_EQ(CountPixels(&link, RGB(0, 0, 238)), 0);
        page.Click(IDOK);
    });
    CLinkDlg dlg("/tmp/Relatorio.html");
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(opened, std::vector<CString>{"/tmp/Relatorio.html"});
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(HyperLinkTest, FailedOpensShowTheirTexts) {
    struct Case {
        afx::OpenOutcome outcome;
        const char* text;
    };
    const Case cases[] = {
        {{afx::OpenOutcome::Exited, 2}, "The specified file was not found."},
        {{afx::OpenOutcome::Exited, 3}, "There is no application associated\nwith the given filename extension."},
        {{afx::OpenOutcome::Exited, 4}, "Unknown Error (4) occurred."},
        {{afx::OpenOutcome::Exited, 5}, "Unknown Error (-5) occurred."},   // not the access-denied code
        {{afx::OpenOutcome::Exited, 40}, "Unknown Error (-40) occurred."}, // never a success
        {{afx::OpenOutcome::StartFailed, ENOENT}, "The specified file was not found."},
        {{afx::OpenOutcome::StartFailed, EACCES}, "The operating system denied\naccess to the specified file."},
        {{afx::OpenOutcome::StartFailed, ENOMEM}, "There was not enough memory to complete the operation."},
        {{afx::OpenOutcome::Signalled, 9}, "Unknown Error (-137) occurred."},
    };
    afx::OpenOutcome next;
    afx::SetLinkOpener([&](const CString&) { return next; });
    ScriptedUser user;
    user.OnDialog(kLinkDialog, [&](DialogDriver& page) {
        auto& dlg = static_cast<CLinkDlg&>(page.Dialog());
        for (const Case& c : cases) {
            next = c.outcome;
            user.OnMessageBox([&](const CString& text, UINT type) {
                EXPECT_EQ(text, CString("Unable to open hyperlink:\n\n") + c.text);
                EXPECT_EQ(type & MB_ICONMASK, MB_ICONEXCLAMATION);
                return IDOK;
            });
            page.Click(kLeftLink);
            EXPECT_FALSE(dlg.m_left.GetVisited());
        }
        page.Click(IDOK);
    });
    CLinkDlg dlg("/tmp/nada.html");
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(user.Messages().size(), std::size(cases));
    EXPECT_TRUE(user.AllAnswered());
}

// A stand-in for xdg-open on the search path: records its arguments and exits with the
// status written in a file beside it.
class FakeOpener {
public:
    FakeOpener() {
        const std::string& dir = m_folder.Path();
        testsupport::WriteBytes(dir + "/xdg-open",
                                "#!/bin/sh\nstatus=$(cat \"" + dir + "/status\")\n"
                                "delay=$(cat \"" + dir + "/delay\")\n"
                                "printf '%s\\n' \"$#\" > \"" + dir + "/args\"\n"
                                "for a in \"$@\"; do printf '%s|' \"$a\" >> \"" + dir + "/args\"; done\n"
                                "sleep \"$delay\"\nexit \"$status\"\n");
        chmod((dir + "/xdg-open").c_str(), 0755);
        SetStatus(0, 0);
        const char* path = std::getenv("PATH");
        m_oldPath = path ? path : "";
        setenv("PATH", (dir + ":" + m_oldPath).c_str(), 1);
    }
    ~FakeOpener() { setenv("PATH", m_oldPath.c_str(), 1); }
    void SetStatus(int status, int delaySeconds) {
        testsupport::WriteBytes(m_folder.File("status"), std::to_string(status));
        testsupport::WriteBytes(m_folder.File("delay"), std::to_string(delaySeconds));
    }
    std::string Arguments() const { return testsupport::ReadBytes(m_folder.File("args")); }

private:
    testsupport::TempFolder m_folder;
    std::string m_oldPath;
};

TEST(DesktopOpener, TheTargetIsOneArgumentAndTheExitStatusComesBack) {
    FakeOpener fake;
    const CString target = "/tmp/Os meus relatórios/a;b $(touch x) 'c'.html";
    afx::OpenOutcome r = afx::RunXdgOpen(target);
    EXPECT_EQ(r.kind, afx::OpenOutcome::Exited);
    EXPECT_EQ(r.value, 0);
    EXPECT_EQ(fake.Arguments(), "1\n" + afx::Cp1252ToUtf8(target.str()) + "|");

    fake.SetStatus(3, 0);
    r = afx::RunXdgOpen("x.html");
    EXPECT_EQ(r.kind, afx::OpenOutcome::Exited);
    EXPECT_EQ(r.value, 3);

    // An opener still busy with the target when the wait ends has opened it.
    fake.SetStatus(0, 1);
    r = afx::RunXdgOpen("y.html", 100);
    EXPECT_EQ(r.kind, afx::OpenOutcome::StillRunning);
}

TEST(DesktopOpener, AMissingOpenerIsAStartFailure) {
    testsupport::TempFolder empty;
    const char* path = std::getenv("PATH");
    std::string old = path ? path : "";
    setenv("PATH", empty.Path().c_str(), 1);
    afx::OpenOutcome r = afx::RunXdgOpen("/tmp/Relatorio.html");
    setenv("PATH", old.c_str(), 1);
    EXPECT_EQ(r.kind, afx::OpenOutcome::StartFailed);
    EXPECT_EQ(r.value, ENOENT);
}

TEST_F(HyperLinkTest, AClickRunsTheDesktopOpener) {
    FakeOpener fake;
    fake.SetStatus(2, 0);
    ScriptedUser user;
    user.OnDialog(kLinkDialog, [&](DialogDriver& page) {
        user.OnMessageBox([](const CString& text, UINT) {
            EXPECT_EQ(text, "Unable to open hyperlink:\n\nThe specified file was not found.");
            return IDOK;
        });
        page.Click(kLeftLink);
        fake.SetStatus(0, 0);
        page.Click(kLeftLink);
        EXPECT_TRUE(static_cast<CLinkDlg&>(page.Dialog()).m_left.GetVisited());
        page.Click(IDOK);
    });
    CLinkDlg dlg("/tmp/Relatório.html");
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(fake.Arguments(), "1\n" + afx::Cp1252ToUtf8("/tmp/Relatório.html") + "|");
    EXPECT_TRUE(user.AllAnswered());
}

}  // namespace
