#include <gtest/gtest.h>

#include "tests/support/gui_test.h"
#include "ui/check_list.h"

namespace {

constexpr UINT kDialog = 9002;
constexpr int kList = 1078;

const afx::ResourceSet& TestResources() {
    static const afx::ResourceSet set = [] {
        afx::ResourceSet s;
        s.dialogs.push_back({kDialog, "Lista", {0, 0, 160, 120},
                             {
                                 {afx::Ctl::CheckList, kList, "", {7, 7, 100, 100}},
                                 {afx::Ctl::PushButton, IDOK, "OK", {112, 99, 40, 14}, afx::Style::Default},
                             }});
        return s;
    }();
    return set;
}

// A dialog that counts the list's notifications.
class CListHost : public CDialog {
public:
    CListHost(int editable, BOOL single) : CDialog(kDialog), m_list(4, editable) { m_list.SetSingleCheck(single); }
    BOOL OnInitDialog() override {
        m_list.SubclassDlgItem(kList, this);
        for (const char* s : {"Alfa", "Beta", "Gama"}) m_list.AddString(s);
        return CDialog::OnInitDialog();
    }
    void OnTicked() { ++ticked; }
    void OnUnticked() { ++unticked; }
    void OnEdited() { ++edited; }
    CEditCheckListBox m_list;
    int ticked = 0, unticked = 0, edited = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CListHost, CDialog)
    ON_CONTROL(CLN_TICKED, kList, &CListHost::OnTicked)
    ON_CONTROL(CLN_UNTICKED, kList, &CListHost::OnUnticked)
    ON_CONTROL(CLN_TEXT_EDITED, kList, &CListHost::OnEdited)
END_MESSAGE_MAP()

class CheckList : public testing::Test {
protected:
    void SetUp() override { afx::AddResources(&TestResources()); }
};

TEST_F(CheckList, SingleTickRuleFromMouseAndKeyboard) {
    CListHost host(0, TRUE);
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        EXPECT_EQ(host.m_list.GetCheckedIndex(), -1);
        d.Tick(kList, 0);
        EXPECT_EQ(host.ticked, 1);
        d.Tick(kList, 2);  // the first is unticked by the rule, one notice only
        EXPECT_TRUE(d.IsTicked(kList, 2));
        EXPECT_FALSE(d.IsTicked(kList, 0));
        EXPECT_EQ(host.ticked, 2);
        EXPECT_EQ(host.unticked, 0);
        d.Tick(kList, 2);  // unticking the only ticked item
        EXPECT_EQ(host.unticked, 1);
        EXPECT_EQ(host.m_list.GetCheckedIndex(), -1);
        // Space on the caret item goes through the same rule.
        d.Tick(kList, 1);
        d.Select(kList, 0);
        d.Key(VK_SPACE);
        EXPECT_TRUE(d.IsTicked(kList, 0));
        EXPECT_FALSE(d.IsTicked(kList, 1));
        EXPECT_EQ(host.ticked, 4);
        d.Key(VK_SPACE);
        EXPECT_EQ(host.unticked, 2);
        // A click on the text, not the box, changes no tick.
        d.Select(kList, 2);
        EXPECT_FALSE(d.IsTicked(kList, 2));
        d.Click(IDOK);
    });
    EXPECT_EQ(host.DoModal(), IDOK);
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(CheckList, InPlaceEditKeepsTickAndPosition) {
    CListHost host(1, FALSE);
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        d.Tick(kList, 1);
        d.DoubleClick(kList, 1);
        CInPlaceEdit* edit = host.m_list.GetInPlaceEdit();
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(edit->IsWindowVisible());
        CString text;
        edit->GetWindowText(text);
        EXPECT_EQ(text, "Beta");
        EXPECT_EQ(edit->GetLimitText(), 4u);
        edit->SetWindowText("Bx");
        d.Focus(IDOK);  // leaving the edit ends it
        EXPECT_FALSE(edit->IsWindowVisible());
        EXPECT_EQ(d.Items(kList), (std::vector<CString>{"Alfa", "Bx", "Gama"}));
        EXPECT_TRUE(d.IsTicked(kList, 1));
        EXPECT_EQ(host.edited, 1);
        d.Click(IDOK);
    });
    EXPECT_EQ(host.DoModal(), IDOK);
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(CheckList, NotEditableListPassesDoubleClicksOn) {
    CListHost host(0, FALSE);
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        d.DoubleClick(kList, 0);
        EXPECT_EQ(host.m_list.GetInPlaceEdit(), nullptr);
        d.Click(IDOK);
    });
    host.DoModal();
    EXPECT_TRUE(user.AllAnswered());
}

}  // namespace
