// The coordinates dialog's three views and its copy, and the value list edited in place.
#include <gtest/gtest.h>

#include "analyses/coordinates_dlg.h"
#include "app/data_table.h"
#include "platform/ui/clipboard.h"
#include "res/resource_ids.h"
#include "tests/support/gui_test.h"

namespace {

constexpr UINT kValueHost = 9188;
constexpr int kValues = 1078;

CDataTable Table(const char* title, std::vector<const char*> rows, double first) {
    CDataTable t;
    t.SetSize(static_cast<int>(rows.size()), 2);
    t.SetTitle(title);
    t.SetVariableName(1, "F1");
    t.SetVariableName(2, "F2");
    for (int r = 1; r <= t.GetRowCount(); ++r) {
        t.SetRowName(r, rows[static_cast<size_t>(r - 1)]);
        t.SetValue(r, 1, first + r);
        t.SetValue(r, 2, -(first + r) / 4);
    }
    return t;
}

// Copies the list through its right-click menu and gives back the clipboard text.
CString CopyShown(DialogDriver& d) {
    afx::SetClipboardText("antes");
    d.RightClick(IDC_COORDINATES_LIST);
    return afx::ClipboardText();
}

}  // namespace

TEST(CoordinatesDialog, ViewsAndTheCopyOfTheTableShown) {
    testsupport::StartTabulon();
    CDataTable active = Table("Ids", {"A", "B"}, 0);
    CDataTable supplementary = Table("Ids", {"S"}, 10);
    CDataTable total = Table("Ids", {"A", "B", "S"}, 0);
    CCoordinatesDlg dlg(&active, &supplementary, &total, nullptr);
    dlg.SetCaption("Coordenadas das Colunas");
    ScriptedUser user;
    for (int i = 0; i < 3; ++i) user.OnPopupMenu([](const afx::PopupMenuRequest&) { return ID_POPUP_COPY; });
    user.OnDialog(IDD_COORDINATES, [&](DialogDriver& d) {
        EXPECT_EQ(d.Caption(), "Coordenadas das Colunas");
        EXPECT_EQ(d.Checked(IDC_COORDINATES_ACTIVE), 1);
        EXPECT_TRUE(d.IsEnabled(IDC_COORDINATES_TOTAL));
        EXPECT_EQ(d.Dump(IDC_COORDINATES_LIST),
                  (std::vector<CString>{"Ids\tF1\tF2", "A\t1.0000\t-0.2500", "B\t2.0000\t-0.5000"}));
        EXPECT_EQ(CopyShown(d), active.WriteText());
        d.SavePng((testsupport::PictureFolder() + "/coordinates.png").c_str());
        d.Click(IDC_COORDINATES_SUPPLEMENTARY);
        EXPECT_EQ(d.Dump(IDC_COORDINATES_LIST), (std::vector<CString>{"Ids\tF1\tF2", "S\t11.0000\t-2.7500"}));
        EXPECT_EQ(CopyShown(d), supplementary.WriteText());
        d.Click(IDC_COORDINATES_TOTAL);
        EXPECT_EQ(d.Dump(IDC_COORDINATES_LIST).size(), 4u);
        EXPECT_EQ(CopyShown(d), total.WriteText());
        d.Click(IDOK);
    });
    dlg.DoModal();
    EXPECT_TRUE(user.AllAnswered());

    // Without supplementary rows only "Activas" can be chosen.
    CDataTable none;
    CCoordinatesDlg onlyActive(&active, &none, &active, nullptr);
    user.OnDialog(IDD_COORDINATES, [](DialogDriver& d) {
        EXPECT_EQ(d.Checked(IDC_COORDINATES_ACTIVE), 1);
        EXPECT_FALSE(d.IsEnabled(IDC_COORDINATES_SUPPLEMENTARY));
        EXPECT_FALSE(d.IsEnabled(IDC_COORDINATES_TOTAL));
        d.Click(IDOK);
    });
    onlyActive.DoModal();

    // An empty active table opens on the supplementary one, which is also what is copied.
    CCoordinatesDlg onlySupplementary(&none, &supplementary, &supplementary, nullptr);
    user.OnPopupMenu([](const afx::PopupMenuRequest&) { return ID_POPUP_COPY; });
    user.OnDialog(IDD_COORDINATES, [&](DialogDriver& d) {
        EXPECT_EQ(d.Checked(IDC_COORDINATES_SUPPLEMENTARY), 1);
        EXPECT_FALSE(d.IsEnabled(IDC_COORDINATES_ACTIVE));
        EXPECT_FALSE(d.IsEnabled(IDC_COORDINATES_TOTAL));
        EXPECT_EQ(d.Dump(IDC_COORDINATES_LIST).size(), 2u);
        EXPECT_EQ(CopyShown(d), supplementary.WriteText());
        d.Click(IDOK);
    });
    onlySupplementary.DoModal();
    EXPECT_EQ(onlySupplementary.GetShownTable(), &supplementary);
    EXPECT_TRUE(user.AllAnswered());
}

namespace {

const afx::ResourceSet& ValueResources() {
    using afx::Ctl;
    static const afx::ResourceSet set = [] {
        afx::ResourceSet s;
        s.dialogs.push_back({kValueHost, "Limites", {0, 0, 150, 120}, {
            {Ctl::ListBox, kValues, "", {7, 7, 80, 90}},
            {Ctl::PushButton, IDOK, "OK", {93, 98, 50, 14}},
        }});
        return s;
    }();
    return set;
}

class CValueHost : public CDialog {
public:
    explicit CValueHost(std::vector<const char*> values, int ordered = 1)
        : CDialog(kValueHost, nullptr), m_list(1, ordered, 12, 1), m_values(std::move(values)) {}
    BOOL OnInitDialog() override {
        m_list.SubclassDlgItem(kValues, this);
        for (const char* v : m_values) m_list.AddString(v);
        return CDialog::OnInitDialog();
    }
    void OnEdited() { ++edited; }
    CValueListBox m_list;
    std::vector<const char*> m_values;
    int edited = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CValueHost, CDialog)
    ON_CONTROL(VLN_VALUE_EDITED, kValues, &CValueHost::OnEdited)
END_MESSAGE_MAP()

// Double-clicks item i, types the text and leaves the edit.
void Edit(DialogDriver& d, int i, const char* text) {
    d.Select(kValues, i);
    d.DoubleClick(kValues, i);
    d.TypeKeys(text);
    d.Focus(IDOK);
}

}  // namespace

TEST(ValueList, NumericAndOrderChecks) {
    testsupport::StartTabulon();
    afx::AddResources(&ValueResources());
    CValueHost host({"1", "5", "9"});
    ScriptedUser user;
    std::vector<CString> messages;
    for (int i = 0; i < 2; ++i)
        user.OnMessageBox([&](const CString& text, UINT) {
            messages.push_back(text);
            return IDOK;
        });
    user.OnDialog(kValueHost, [&](DialogDriver& d) {
        CValueListBox& list = host.m_list;
        auto check = [&](int i, const char* text) { return list.CheckValue(text, i, nullptr); };
        EXPECT_TRUE(check(1, "9"));     // equal neighbours are allowed
        EXPECT_FALSE(check(1, "10"));
        EXPECT_TRUE(check(0, "-3"));
        EXPECT_FALSE(check(2, "4"));
        EXPECT_FALSE(check(1, "abc"));
        EXPECT_TRUE(check(0, ""));      // an empty text counts as a number (0)
        Edit(d, 1, "7");
        EXPECT_EQ(d.Items(kValues), (std::vector<CString>{"1", "7", "9"}));
        EXPECT_FALSE(list.IsEditing());
        Edit(d, 2, "x");   // refused: the edit stays open with the text
        EXPECT_TRUE(list.IsEditing());
        EXPECT_EQ(messages.back(), "Tem de ser um número");
        d.Key(VK_BACK);
        d.TypeKeys("2");
        d.Focus(IDOK);     // refused again: 2 is below 7
        EXPECT_EQ(messages.back(), "A lista de valores tem de continuar ordenada");
        d.Key(VK_BACK);
        d.TypeKeys("12");
        d.Focus(IDOK);
        EXPECT_EQ(d.Items(kValues), (std::vector<CString>{"1", "7", "12"}));
        EXPECT_FALSE(list.IsEditing());
        d.Click(IDOK);
    });
    host.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    EXPECT_EQ(host.edited, 2);
    EXPECT_EQ(messages.size(), 2u);

    // A dialog closed while an edit was refused leaves no edit in progress behind.
    CValueHost one({"3"});
    for (int i = 0; i < 2; ++i)   // refused, then refused again as the dialog closes
        user.OnMessageBox([&](const CString& text, UINT) {
            messages.push_back(text);
            return IDOK;
        });
    user.OnDialog(kValueHost, [&](DialogDriver& d) {
        Edit(d, 0, "x");
        EXPECT_TRUE(one.m_list.IsEditing());
        d.Dialog().EndDialog(IDCANCEL);
    });
    one.DoModal();
    EXPECT_FALSE(one.m_list.IsEditing());
    // A single value has no neighbour: any number is in order.
    user.OnDialog(kValueHost, [&](DialogDriver& d) {
        Edit(d, 0, "8");
        EXPECT_EQ(d.Items(kValues), std::vector<CString>{"8"});
        d.Click(IDOK);
    });
    one.DoModal();
    EXPECT_TRUE(user.AllAnswered());
    afx::RemoveResources(&ValueResources());
}

TEST(ValueList, EnterAndEscapeEndTheEditAndLeaveTheDialogOpen) {
    testsupport::StartTabulon();
    afx::AddResources(&ValueResources());
    CValueHost host({"1", "5", "9"});
    ScriptedUser user;
    user.OnMessageBox([](const CString& text, UINT) {
        EXPECT_EQ(text, "Tem de ser um número");
        return IDOK;
    });
    user.OnDialog(kValueHost, [&](DialogDriver& d) {
        CValueListBox& list = host.m_list;
        auto open = [&] {
            CInPlaceCellEdit* edit = list.GetInPlaceEdit();
            return edit && edit->IsWindowVisible() && CWnd::GetFocus() == edit;
        };
        d.Select(kValues, 1);
        d.DoubleClick(kValues, 1);
        d.TypeKeys("x");
        d.Key(VK_RETURN);   // refused: the message, then the edit stays open with the text
        EXPECT_FALSE(d.Dialog().HasEnded());
        ASSERT_TRUE(open());
        CString typed;
        list.GetInPlaceEdit()->GetWindowText(typed);
        EXPECT_EQ(typed, "x");
        d.Key(VK_ESCAPE);   // ends the edit; the value stays
        EXPECT_FALSE(d.Dialog().HasEnded());
        EXPECT_FALSE(open());
        EXPECT_FALSE(list.IsEditing());
        EXPECT_EQ(d.Items(kValues), (std::vector<CString>{"1", "5", "9"}));
        d.DoubleClick(kValues, 1);
        d.TypeKeys("6.5");
        d.Key(VK_RETURN);   // taken, and the dialog stays
        EXPECT_FALSE(d.Dialog().HasEnded());
        EXPECT_FALSE(open());
        EXPECT_EQ(d.Items(kValues), (std::vector<CString>{"1", "6.5", "9"}));
        d.Key(VK_RETURN);   // with the edit gone Enter is the dialog's again
    });
    EXPECT_EQ(host.DoModal(), IDOK);
    EXPECT_EQ(host.edited, 1);
    EXPECT_TRUE(user.AllAnswered());
    afx::RemoveResources(&ValueResources());
}
