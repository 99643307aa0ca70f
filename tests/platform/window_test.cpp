#include <gtest/gtest.h>

#include "platform/ui/automation.h"
#include "tests/support/gui_test.h"

namespace {

// --- Command routing through message maps ---------------------------------------------------

class CBaseTarget : public CCmdTarget {
public:
    std::vector<std::string> calls;
    void OnOne() { calls.push_back("base one"); }
    void OnTwo() { calls.push_back("base two"); }
    void OnUpdateTwo(CCmdUI* ui) { ui->Enable(FALSE); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseTarget, CCmdTarget)
    ON_COMMAND(1, &CBaseTarget::OnOne)
    ON_COMMAND(2, &CBaseTarget::OnTwo)
    ON_UPDATE_COMMAND_UI(2, &CBaseTarget::OnUpdateTwo)
END_MESSAGE_MAP()

class CDerivedTarget : public CBaseTarget {
public:
    void OnOneAgain() { calls.push_back("derived one"); }
    void OnRange(UINT id) { calls.push_back("range " + std::to_string(id)); }
    BOOL OnMaybe(UINT id) {
        calls.push_back("maybe " + std::to_string(id));
        return id == 20;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedTarget, CBaseTarget)
    ON_COMMAND(1, &CDerivedTarget::OnOneAgain)
    ON_COMMAND_RANGE(10, 12, &CDerivedTarget::OnRange)
    ON_COMMAND_EX(20, &CDerivedTarget::OnMaybe)
    ON_COMMAND_EX(21, &CDerivedTarget::OnMaybe)
END_MESSAGE_MAP()

class CStateUI : public CCmdUI {
public:
    BOOL enabled = TRUE;
    void Enable(BOOL on) override {
        CCmdUI::Enable(on);
        enabled = on;
    }
};

BOOL Enabled(CCmdTarget& t, UINT id) {
    CStateUI ui;
    ui.m_nID = id;
    ui.DoUpdate(&t, TRUE);
    return ui.enabled;
}

TEST(MessageMaps, TheMostDerivedEntryWinsAndBaseEntriesAreInherited) {
    CDerivedTarget t;
    EXPECT_TRUE(t.OnCmdMsg(1, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(t.OnCmdMsg(2, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(t.OnCmdMsg(11, CN_COMMAND, nullptr, nullptr));
    EXPECT_FALSE(t.OnCmdMsg(13, CN_COMMAND, nullptr, nullptr));
    EXPECT_TRUE(t.OnCmdMsg(20, CN_COMMAND, nullptr, nullptr));
    EXPECT_FALSE(t.OnCmdMsg(21, CN_COMMAND, nullptr, nullptr));  // an _EX handler that declines
    EXPECT_EQ(t.calls, (std::vector<std::string>{"derived one", "base two", "range 11", "maybe 20", "maybe 21"}));
    AFX_CMDHANDLERINFO info;
    EXPECT_TRUE(t.OnCmdMsg(12, CN_COMMAND, nullptr, &info));  // only looked for
    EXPECT_EQ(info.pTarget, &t);
    EXPECT_EQ(t.calls.size(), 5u);
}

TEST(MessageMaps, CommandsWithoutAHandlerAreGreyed) {
    CDerivedTarget t;
    EXPECT_TRUE(Enabled(t, 1));
    EXPECT_FALSE(Enabled(t, 2));    // its update handler greys it
    EXPECT_TRUE(Enabled(t, 10));
    EXPECT_FALSE(Enabled(t, 99));   // nobody handles it
}

// --- Dialogs: keys, exchange and notifications ------------------------------------------------

constexpr UINT kDialog = 9100;
constexpr int kInt = 1000, kReal = 1001, kRadioA = 1002, kRadioB = 1003, kRadioC = 1004, kRadioD = 1005;
constexpr int kCheck = 1006, kOther = 1007, kText = 1008;

const afx::ResourceSet& TestResources() {
    static const afx::ResourceSet set = [] {
        afx::ResourceSet s;
        s.dialogs.push_back({kDialog, "Troca", {0, 0, 200, 120},
                             {
                                 {afx::Ctl::Edit, kInt, "", {7, 7, 50, 13}},
                                 {afx::Ctl::Edit, kReal, "", {7, 24, 50, 13}},
                                 {afx::Ctl::Radio, kRadioA, "A", {70, 7, 40, 10}, afx::Style::Group},
                                 {afx::Ctl::Radio, kRadioB, "B", {70, 19, 40, 10}},
                                 {afx::Ctl::Radio, kRadioC, "C", {120, 7, 40, 10}, afx::Style::Group},
                                 {afx::Ctl::Radio, kRadioD, "D", {120, 19, 40, 10}},
                                 {afx::Ctl::CheckBox, kCheck, "Marca", {70, 34, 60, 10}},
                                 {afx::Ctl::Edit, kText, "", {7, 41, 50, 13}},
                                 {afx::Ctl::PushButton, kOther, "Outro", {7, 99, 50, 14}},
                                 {afx::Ctl::PushButton, IDOK, "OK", {90, 99, 50, 14}, afx::Style::Default},
                                 {afx::Ctl::PushButton, IDCANCEL, "Cancelar", {143, 99, 50, 14}},
                             }});
        return s;
    }();
    return set;
}

class CExchangeDlg : public CDialog {
public:
    CExchangeDlg() : CDialog(kDialog) {}
    int number = 5;
    float real = 1.5f;
    int first = 1;
    int second = 0;
    int check = 1;
    CString text = "abc";
    int changes = 0;
    int others = 0;
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Text(dx, kInt, number);
        DDV_MinMaxInt(dx, number, 1, 10);
        DDX_Text(dx, kReal, real);
        DDX_Radio(dx, kRadioA, first);
        DDX_Radio(dx, kRadioC, second);
        DDX_Check(dx, kCheck, check);
        DDX_Text(dx, kText, text);
        DDV_MaxChars(dx, text, 3);
    }
    void OnTextChange() { ++changes; }
    void OnOther() { ++others; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CExchangeDlg, CDialog)
    ON_EN_CHANGE(kText, &CExchangeDlg::OnTextChange)
    ON_BN_CLICKED(kOther, &CExchangeDlg::OnOther)
END_MESSAGE_MAP()

class Dialogs : public testing::Test {
protected:
    void SetUp() override { afx::AddResources(&TestResources()); }
};

void ExpectMessage(ScriptedUser& user, const char* text) {
    user.OnMessageBox([expected = CString(text)](const CString& shown, UINT) {
        EXPECT_EQ(shown, expected);
        return IDOK;
    });
}

TEST_F(Dialogs, ExchangeLoadsValidatesAndSaves) {
    CExchangeDlg dlg;
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        EXPECT_EQ(d.Text(kInt), "5");
        EXPECT_EQ(d.Text(kReal), "1.5");
        EXPECT_EQ(d.Checked(kRadioB), 1);
        EXPECT_EQ(d.Checked(kRadioC), 1);
        EXPECT_EQ(d.Checked(kCheck), 1);
        EXPECT_EQ(dlg.changes, 0);  // loading the edits sends no notification
        d.Type(kInt, "12a");
        d.Key(VK_RETURN);
    });
    ExpectMessage(user, "Tem de ser um número inteiro");
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        EXPECT_EQ(d.FocusId(), kInt);  // the focus is back on the faulty edit
        d.Type(kInt, "11");
        d.Key(VK_RETURN);
    });
    ExpectMessage(user, "Tem de ser um número inteiro entre 1 e 10");
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        d.Type(kInt, " 7 ");
        d.Type(kReal, "abc");
        d.Key(VK_RETURN);
    });
    ExpectMessage(user, "Tem de ser um número");
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        d.Type(kReal, "-2.25");
        d.Click(kRadioA);
        d.Click(kRadioD);
        EXPECT_EQ(d.Checked(kRadioB), 0);  // one per group
        EXPECT_EQ(d.Checked(kRadioC), 0);
        d.Click(kCheck);
        d.Type(kText, "xy");
        EXPECT_GT(dlg.changes, 0);
        d.Key(VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(dlg.number, 7);
    EXPECT_EQ(dlg.real, -2.25f);
    EXPECT_EQ(dlg.first, 0);
    EXPECT_EQ(dlg.second, 1);
    EXPECT_EQ(dlg.check, 0);
    EXPECT_EQ(dlg.text, "xy");
}

TEST_F(Dialogs, NumbersBeyondTheirVariableAreRefusedWithTheRangeAsked) {
    struct Refused {
        int id;
        const char* typed;
        const char* message;
    };
    static const Refused kRefused[] = {
        // A whole number beyond an int: the bounds of the range check that follows.
        {kInt, "99999999999", "Tem de ser um número inteiro entre 1 e 10"},
        {kInt, "-99999999999999999999999", "Tem de ser um número inteiro entre 1 e 10"},
        // Beyond a float, with no range check: the float's bounds.
        {kReal, "1e39", "Tem de ser um número entre -3.40282e+38 e 3.40282e+38"},
        {kReal, "inf", "Tem de ser um número"},
    };
    CExchangeDlg dlg;
    ScriptedUser user;
    const Refused* previous = nullptr;
    for (const Refused& r : kRefused) {
        user.OnDialog(kDialog, [&r, previous](DialogDriver& d) {
            if (previous) {
                EXPECT_EQ(d.FocusId(), previous->id);   // back on the refused edit
            }
            d.Type(kInt, r.id == kInt ? r.typed : "7");
            if (r.id == kReal) d.Type(kReal, r.typed);
            d.Key(VK_RETURN);
        });
        ExpectMessage(user, r.message);
        previous = &r;
    }
    user.OnDialog(kDialog, [](DialogDriver& d) {
        d.Type(kReal, "2");
        d.Key(VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(dlg.number, 7);
    EXPECT_EQ(dlg.real, 2.0f);
}

TEST(ToolkitDialogs, SpeakThePortugueseOfPortugal) {
    static const char* const kShown[][3] = {
        // The standard buttons and the print button, which the toolkit's translation lacks,
        // in the program's words.
        {"QPlatformTheme", "Cancel", "Cancelar"},
        {"QPlatformTheme", "Open", "Abrir"},
        {"QPlatformTheme", "Save", "Gravar"},
        {"QPlatformTheme", "&Yes", "&Sim"},
        {"QPlatformTheme", "&No", "&Não"},
        {"QPrintDialog", "&Print", "&Imprimir"},
        // The rest from the toolkit's European translation, not the Brazilian one.
        {"QFileDialog", "File &name:", "&Nome do Ficheiro:"},
    };
    for (const auto& text : kShown) EXPECT_EQ(afx::ToolkitText(text[0], text[1]), text[2]) << text[1];
}

TEST(ToolkitDialogs, AMessageBoxIsAtLeastAsWideAsItsTitle) {
    const CSize shortTitle = afx::MessageBoxSize("Ficheiro Vazio", "T", MB_OK);
    const CSize longTitle =
        afx::MessageBoxSize("Ficheiro Vazio", "Tabulon - um título muito mais comprido do que a mensagem", MB_OK);
    // The long title takes some 300 pixels more than the short one, and the box grows with it.
    EXPECT_GT(longTitle.cx, shortTitle.cx + 250);
    EXPECT_EQ(longTitle.cy, shortTitle.cy);
}

TEST_F(Dialogs, LongTextsAreRefusedAndEditsLimitTyping) {
    CExchangeDlg dlg;
    dlg.text = "longer";  // put there by the program: shown whole
    ScriptedUser user;
    user.OnDialog(kDialog, [](DialogDriver& d) {
        EXPECT_EQ(d.Text(kText), "longer");
        d.Key(VK_RETURN);
    });
    ExpectMessage(user, "Não pode ter mais de 3 caracteres");
    user.OnDialog(kDialog, [](DialogDriver& d) {
        d.Type(kText, "abcdef");  // typing stops at the limit
        EXPECT_EQ(d.Text(kText), "abc");
        d.Key(VK_RETURN);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.text, "abc");
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(Dialogs, ARadioGroupIsOneTabStopWithTheArrowsInside) {
    CExchangeDlg dlg;   // B of the first group is checked, C of the second
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        d.Focus(kReal);
        d.Key(VK_TAB);   // into the first group: onto its checked button
        EXPECT_EQ(d.FocusId(), kRadioB);
        d.Key(VK_TAB);   // past the rest of the group, onto the second group's checked one
        EXPECT_EQ(d.FocusId(), kRadioC);
        d.Key(VK_TAB);
        EXPECT_EQ(d.FocusId(), kCheck);
        d.Focus(kRadioB);
        d.Key(VK_UP);    // the arrows move round the group and check what they reach
        EXPECT_EQ(d.FocusId(), kRadioA);
        EXPECT_EQ(d.Checked(kRadioA), 1);
        EXPECT_EQ(d.Checked(kRadioB), 0);
        d.Key(VK_UP);    // round from the first to the last
        EXPECT_EQ(d.FocusId(), kRadioB);
        EXPECT_EQ(d.Checked(kRadioB), 1);
        EXPECT_EQ(d.Checked(kRadioC), 1);   // the other group keeps its choice
        d.Key(VK_DOWN);
        d.Key(VK_SPACE);   // Space on the checked button changes nothing
        d.Focus(kReal);
        d.Key(VK_TAB);   // the Tab stop followed the check
        EXPECT_EQ(d.FocusId(), kRadioA);
        d.Click(IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.first, 0);
    EXPECT_EQ(dlg.second, 0);
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(Dialogs, KeysAndTheCloseButton) {
    CExchangeDlg dlg;
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        d.Focus(kOther);
        d.Key(VK_RETURN);  // Enter on a push button clicks it, not the default one
        EXPECT_EQ(dlg.others, 1);
        d.Dialog().GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
        d.Key(VK_ESCAPE);  // a greyed Cancel: Escape does nothing
        EXPECT_FALSE(d.Dialog().HasEnded());
        d.Dialog().GetSystemMenu(FALSE)->EnableMenuItem(SC_CLOSE, MF_GRAYED);
        d.CloseBox();  // a greyed Close: the title-bar button does nothing
        EXPECT_FALSE(d.Dialog().HasEnded());
        d.Dialog().GetSystemMenu(FALSE)->EnableMenuItem(SC_CLOSE, MF_ENABLED);
        d.Dialog().GetDlgItem(IDCANCEL)->EnableWindow(TRUE);
        d.CloseBox();
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(Dialogs, TheFocusedControlShowsTheStylesFocusFrame) {
    CExchangeDlg dlg;
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        CWnd* button = d.Dialog().GetDlgItem(kCheck);
        CRect r;
        button->GetClientRect(&r);
        auto picture = [&] {
            CClientDC screen(button);
            CDC copy;
            CBitmap pixels;
            copy.CreateCompatibleDC(&screen);
            pixels.CreateCompatibleBitmap(&screen, r.Width(), r.Height());
            CBitmap* old = copy.SelectObject(&pixels);
            copy.BitBlt(0, 0, r.Width(), r.Height(), &screen, 0, 0, SRCCOPY);
            std::vector<COLORREF> out;
            for (int y = 0; y < r.Height(); ++y)
                for (int x = 0; x < r.Width(); ++x) out.push_back(copy.GetPixel(x, y));
            copy.SelectObject(old);
            return out;
        };
        d.Focus(kInt);
        std::vector<COLORREF> without = picture();
        d.Focus(kCheck);
        std::vector<COLORREF> with = picture();
        d.SavePng((testsupport::PictureFolder() + "/focus_frame.png").c_str());
        // The frame goes round the check box's text: at least as many changed pixels as
        // the control is wide and high.
        size_t changed = 0;
        for (size_t i = 0; i < with.size(); ++i) changed += with[i] != without[i];
        EXPECT_GE(changed, static_cast<size_t>(r.Width() + r.Height()));
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(Dialogs, AnUnexpectedDialogIsReportedAndCancelled) {
    std::vector<std::string> reported;
    {
        ScriptedUser user;
        ScriptedUser::SetFailureReporter([&](const std::string& what) { reported.push_back(what); });
        CExchangeDlg dlg;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        EXPECT_FALSE(user.AllAnswered());
        EXPECT_EQ(AfxMessageBox("?", MB_YESNO), IDNO);
        ScriptedUser::SetFailureReporter([](const std::string& what) { ADD_FAILURE() << what; });
    }
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_NE(reported[0].find("unexpected dialog 9100"), std::string::npos);
}

}  // namespace

namespace {

// A page that checks its number when the edit loses the focus, as analysis pages do.
class CCheckOnLeaveDlg : public CExchangeDlg {
public:
    void OnLeaveNumber() {
        ++leaves;
        UpdateData(TRUE);
    }
    int leaves = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCheckOnLeaveDlg, CExchangeDlg)
    ON_EN_KILLFOCUS(kInt, &CCheckOnLeaveDlg::OnLeaveNumber)
END_MESSAGE_MAP()

TEST_F(Dialogs, AValidationMessageOnLeavingAnEditDoesNotComeTwice) {
    CCheckOnLeaveDlg dlg;
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        d.Type(kInt, "x");
        d.Focus(kReal);  // leaving the edit: one message
        // The focus moved again while the message was shown, and went back to the edit
        // afterwards: no further check ran meanwhile.
        EXPECT_EQ(dlg.leaves, 1);
        EXPECT_EQ(d.FocusId(), kInt);
        d.Type(kInt, "3");
        d.Click(IDOK);
    });
    user.OnMessageBox([&](const CString& text, UINT) {
        EXPECT_EQ(text, "Tem de ser um número inteiro");
        // While the box is up the focus moves again (the box itself, another window...):
        // the edit is left once more, and no second message appears.
        dlg.GetDlgItem(kInt)->SetFocus();
        dlg.GetDlgItem(kText)->SetFocus();
        return IDOK;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.number, 3);
    EXPECT_TRUE(user.AllAnswered());
}

}  // namespace
