#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/support/gui_test.h"

namespace {

constexpr UINT kDialog = 9200;
constexpr int kList = 1000, kSorted = 1001, kCombo = 1002, kReport = 1003;

const afx::ResourceSet& TestResources() {
    static const afx::ResourceSet set = [] {
        afx::ResourceSet s;
        s.dialogs.push_back({kDialog, "Controlos", {0, 0, 260, 150},
                             {
                                 {afx::Ctl::ListBox, kList, "", {7, 7, 60, 60}},
                                 {afx::Ctl::ListBox, kSorted, "", {72, 7, 60, 60}, afx::Style::Sort},
                                 {afx::Ctl::ComboBox, kCombo, "", {137, 7, 60, 60}},
                                 {afx::Ctl::ListCtrl, kReport, "", {7, 72, 190, 60}},
                                 {afx::Ctl::PushButton, IDOK, "OK", {203, 129, 50, 14}, afx::Style::Default},
                             }});
        s.menus.push_back({9201,
                           {{"Menu", 0, {{"Um", 501, {}}, {nullptr, 0, {}}, {"Dois", 502, {}}}},
                            {"Outro", 0, {{"Três", 503, {}}}}}});
        return s;
    }();
    return set;
}

class CControlsDlg : public CDialog {
public:
    CControlsDlg() : CDialog(kDialog) {}
    BOOL OnInitDialog() override {
        m_list.SubclassDlgItem(kList, this);
        m_sorted.SubclassDlgItem(kSorted, this);
        m_combo.SubclassDlgItem(kCombo, this);
        m_report.SubclassDlgItem(kReport, this);
        return CDialog::OnInitDialog();
    }
    void OnListChange() { ++listChanges; }
    void OnComboChange() { ++comboChanges; }
    void OnTimer(UINT_PTR id) {
        timerId = id;
        KillTimer(id);
    }
    void OnMenuCommand(UINT id) { commands.push_back(id); }
    CListBox m_list, m_sorted;
    CComboBox m_combo;
    CListCtrl m_report;
    int listChanges = 0, comboChanges = 0;
    UINT_PTR timerId = 0;
    std::vector<UINT> commands;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CControlsDlg, CDialog)
    ON_LBN_SELCHANGE(kList, &CControlsDlg::OnListChange)
    ON_CBN_SELCHANGE(kCombo, &CControlsDlg::OnComboChange)
    ON_WM_TIMER()
    ON_COMMAND_RANGE(501, 503, &CControlsDlg::OnMenuCommand)
END_MESSAGE_MAP()

class Controls : public testing::Test {
protected:
    void SetUp() override { afx::AddResources(&TestResources()); }
};

TEST_F(Controls, ListAndComboBoxes) {
    CControlsDlg dlg;
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        for (const char* s : {"pera", "Maçã", "banana"}) {
            dlg.m_list.AddString(s);
            dlg.m_sorted.AddString(s);
            dlg.m_combo.AddString(s);
        }
        EXPECT_EQ(d.Items(kList), (std::vector<CString>{"pera", "Maçã", "banana"}));
        EXPECT_EQ(d.Items(kSorted), (std::vector<CString>{"banana", "Maçã", "pera"}));
        EXPECT_EQ(dlg.m_list.FindStringExact(-1, "BANANA"), 2);
        EXPECT_EQ(dlg.m_list.InsertString(1, "uva"), 1);
        EXPECT_EQ(dlg.m_list.GetCount(), 4);
        dlg.m_list.SetItemData(3, 77);
        EXPECT_EQ(dlg.m_list.GetItemData(3), 77u);
        EXPECT_EQ(dlg.m_list.GetCurSel(), LB_ERR);
        dlg.m_list.SetCurSel(2);  // the program's choice sends no notice
        EXPECT_EQ(dlg.m_list.GetCurSel(), 2);
        EXPECT_EQ(dlg.listChanges, 0);
        d.Select(kList, 0);  // the user's does
        EXPECT_EQ(dlg.listChanges, 1);
        CString text;
        dlg.m_list.GetText(0, text);
        EXPECT_EQ(text, "pera");
        EXPECT_EQ(dlg.m_list.DeleteString(9), LB_ERR);
        EXPECT_EQ(dlg.m_list.DeleteString(0), 3);
        CRect r;
        ASSERT_NE(dlg.m_list.GetItemRect(1, &r), LB_ERR);
        BOOL outside = TRUE;
        EXPECT_EQ(dlg.m_list.ItemFromPoint(r.CenterPoint(), outside), 1u);
        EXPECT_FALSE(outside);
        dlg.m_list.ItemFromPoint(CPoint(5, 1000), outside);
        EXPECT_TRUE(outside);

        EXPECT_EQ(dlg.m_combo.GetCurSel(), CB_ERR);
        dlg.m_combo.SetCurSel(1);
        EXPECT_EQ(dlg.comboChanges, 0);
        d.Select(kCombo, 2);
        EXPECT_EQ(dlg.comboChanges, 1);
        EXPECT_EQ(dlg.m_combo.GetCurSel(), 2);
        dlg.m_combo.GetLBText(2, text);
        EXPECT_EQ(text, "banana");
        d.Click(IDOK);
    });
    dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_FALSE(dlg.m_list.IsWindow());  // detached when the dialog's window went
}

TEST_F(Controls, ReportListColumnsAndItems) {
    CControlsDlg dlg;
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        CListCtrl& l = dlg.m_report;
        EXPECT_EQ(l.InsertColumn(0, "Nome", LVCFMT_LEFT, 50), 0);
        EXPECT_EQ(l.InsertColumn(1, "Valor", LVCFMT_RIGHT, 40), 1);
        EXPECT_EQ(l.InsertItem(0, "b"), 0);
        EXPECT_EQ(l.InsertItem(0, "a"), 0);  // inserted before
        EXPECT_EQ(l.InsertItem(99, "c"), 2);  // past the end: appended
        EXPECT_TRUE(l.SetItemText(1, 1, "2.5"));
        EXPECT_FALSE(l.SetItemText(5, 1, "x"));
        EXPECT_FALSE(l.SetItemText(1, 4, "x"));
        EXPECT_EQ(l.GetItemText(1, 0), "b");
        EXPECT_EQ(l.GetItemText(1, 1), "2.5");
        // A new first column shifts the cells right.
        l.InsertColumn(0, "Id", LVCFMT_LEFT, 30);
        EXPECT_EQ(l.GetItemText(1, 1), "b");
        EXPECT_EQ(l.GetItemText(1, 2), "2.5");
        EXPECT_TRUE(l.DeleteColumn(0));
        EXPECT_EQ(l.GetItemText(1, 0), "b");
        EXPECT_TRUE(l.DeleteItem(0));
        EXPECT_EQ(l.GetItemCount(), 2);
        afx::ProcessPendingEvents();
        EXPECT_EQ(l.GetColumnWidth(1), 40);
        l.SetColumnWidth(1, 55);
        EXPECT_EQ(l.GetColumnWidth(1), 55);
        EXPECT_EQ(l.GetHeaderCtrl()->GetItemCount(), 2);
        l.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_EQ(l.GetNextItem(-1, LVNI_SELECTED), 1);
        EXPECT_EQ(l.GetSelectedCount(), 1u);
        CRect row0, row1;
        ASSERT_TRUE(l.GetItemRect(0, &row0, 0));
        ASSERT_TRUE(l.GetItemRect(1, &row1, 0));
        EXPECT_GT(row0.top, 0);  // below the header, which is part of the client area
        EXPECT_EQ(row1.top, row0.bottom);
        d.Click(IDOK);
    });
    dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(Controls, MenusTimersAndProgress) {
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(9201));
    CMenu* first = menu.GetSubMenu(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetMenuItemCount(), 3u);
    EXPECT_EQ(first->GetMenuItemID(1), 0u);  // the separator
    EXPECT_EQ(first->EnableMenuItem(502, MF_GRAYED), static_cast<UINT>(MF_ENABLED));
    EXPECT_EQ(first->EnableMenuItem(502, MF_ENABLED), static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(first->EnableMenuItem(999, MF_GRAYED), static_cast<UINT>(-1));
    first->CheckMenuItem(501, MF_CHECKED);
    EXPECT_TRUE(first->GetMenuState(501, MF_BYCOMMAND) & MF_CHECKED);
    first->InsertMenu(0, MF_BYPOSITION, 503, "Zero");
    CString text;
    first->GetMenuString(0, text, MF_BYPOSITION);
    EXPECT_EQ(text, "Zero");

    CControlsDlg dlg;
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        user.OnPopupMenu([](const afx::PopupMenuRequest& r) {
            EXPECT_EQ(r.items.size(), 4u);
            return 502u;
        });
        first->TrackPopupMenu(TPM_LEFTALIGN, 10, 10, &dlg);
        user.OnPopupMenu([](const afx::PopupMenuRequest&) { return 501u; });
        EXPECT_EQ(first->TrackPopupMenu(TPM_RETURNCMD, 10, 10, &dlg), 501);
        EXPECT_EQ(dlg.commands, std::vector<UINT>{502});  // the returned command is not sent

        dlg.SetTimer(7, 1);
        // A loaded machine may fire the timer late: wait on the clock, not on a count of turns.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!dlg.timerId && std::chrono::steady_clock::now() < deadline) {
            afx::ProcessPendingEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_EQ(dlg.timerId, 7u);

        CProgressCtrl bar;
        ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 10), &dlg, 1));
        bar.SetRange32(0, 25);
        bar.SetStep(10);
        EXPECT_EQ(bar.StepIt(), 0);
        bar.StepIt();
        EXPECT_EQ(bar.GetPos(), 20);
        bar.StepIt();  // past the end the bar starts over
        EXPECT_EQ(bar.GetPos(), 5);
        EXPECT_EQ(bar.SetPos(-4), 5);
        EXPECT_EQ(bar.GetPos(), 0);
        d.Click(IDOK);
    });
    dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());
}

}  // namespace

namespace {

// A dialog whose report list holds no texts: it answers LVN_GETDISPINFO and counts the asks.
class COwnerDataDlg : public CDialog {
public:
    COwnerDataDlg() : CDialog(kDialog) {}
    BOOL OnInitDialog() override {
        m_list.Create("SysListView32", "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, CRect(10, 10, 400, 210),
                      this, 2000);
        return CDialog::OnInitDialog();
    }
    void OnGetDispInfo(NMHDR* header, LRESULT* result) {
        auto* info = reinterpret_cast<NMLVDISPINFO*>(header);
        ++asks;
        std::snprintf(info->item.pszText, static_cast<size_t>(info->item.cchTextMax), "%d:%d", info->item.iItem,
                      info->item.iSubItem);
        *result = 0;
    }
    CListCtrl m_list;
    int asks = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(COwnerDataDlg, CDialog)
    ON_NOTIFY(LVN_GETDISPINFO, 2000, &COwnerDataDlg::OnGetDispInfo)
END_MESSAGE_MAP()

TEST_F(Controls, AnOwnerDataListAsksOnlyForTheCellsItShows) {
    COwnerDataDlg dlg;
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        CListCtrl& l = dlg.m_list;
        l.InsertColumn(0, "Nome", LVCFMT_LEFT, 60);
        l.InsertColumn(1, "Valor", LVCFMT_RIGHT, 60);
        EXPECT_TRUE(l.SetItemCountEx(1000000));
        EXPECT_EQ(l.GetItemCount(), 1000000);
        afx::ProcessPendingEvents();
        dlg.asks = 0;
        d.SavePng((testsupport::PictureFolder() + "/owner_data_list.png").c_str());
        EXPECT_GT(dlg.asks, 0);
        EXPECT_LT(dlg.asks, 200);  // the visible rows only
        EXPECT_EQ(l.GetItemText(999999, 1), "999999:1");
        EXPECT_EQ(l.GetItemText(1000000, 1), "");  // past the end: nothing is asked
        // The texts are the owner's: the list keeps none of its own.
        EXPECT_FALSE(l.SetItemText(3, 1, "x"));
        EXPECT_EQ(l.InsertItem(0, "x"), -1);
        EXPECT_EQ(l.GetItemText(3, 1), "3:1");
        EXPECT_TRUE(l.DeleteAllItems());
        EXPECT_EQ(l.GetItemCount(), 0);
        d.Click(IDOK);
    });
    dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    // A list without the style keeps its own texts and has no item count to set.
    CControlsDlg plain;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        EXPECT_FALSE(plain.m_report.SetItemCountEx(10));
        d.Click(IDOK);
    });
    plain.DoModal();
    EXPECT_TRUE(user.AllAnswered());
}

}  // namespace
