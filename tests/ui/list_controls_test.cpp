#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/data_table.h"
#include "app/tabulon_app.h"
#include "app/tabulon_doc.h"
#include "app/tabulon_view.h"
#include "res/resource_ids.h"
#include "platform/ui/text_fit.h"
#include "tests/support/gui_test.h"
#include "tests/support/pdf_text.h"
#include "ui/list_cells.h"
#include "ui/list_controls.h"

namespace {

constexpr UINT kDialog = 9003;
constexpr int kList = 1078;

const afx::ResourceSet& TestResources() {
    static const afx::ResourceSet set = [] {
        afx::ResourceSet s;
        s.dialogs.push_back({kDialog, "Matriz", {0, 0, 250, 110},
                             {
                                 {afx::Ctl::ListCtrl, kList, "", {7, 7, 236, 76}},
                                 {afx::Ctl::PushButton, IDOK, "Sair", {193, 89, 50, 14}, afx::Style::Default},
                             }});
        return s;
    }();
    return set;
}

// A 3 x 3 correlation-like table shown in a copyable list.
class CMatrixHost : public CDialog {
public:
    explicit CMatrixHost(bool withTable) : CDialog(kDialog), m_withTable(withTable) {
        m_table.SetSize(3, 3);
        m_table.SetTitle("Ids");
        const char* names[3] = {"A", "B", "C"};
        for (int r = 1; r <= 3; ++r) {
            m_table.SetVariableName(r, names[r - 1]);
            m_table.SetRowName(r, names[r - 1]);
            for (int c = 1; c <= 3; ++c) m_table.SetValue(r, c, r == c ? 1.0 : 0.5);
        }
    }
    BOOL OnInitDialog() override {
        m_list.SubclassDlgItem(kList, this);
        m_table.FillListCtrl(&m_list);
        if (m_withTable) m_list.SetTable(&m_table);
        m_list.SetTriangleColours(1);
        return CDialog::OnInitDialog();
    }
    CDataTable m_table;
    CCopyListCtrl m_list;
    bool m_withTable;
};

// Counts the pixels of a cell that are mostly red and mostly blue.
void CountColours(CWnd* list, int item, int subItem, int* red, int* blue) {
    *red = *blue = 0;
    CRect cell;
    ASSERT_TRUE(static_cast<CListCtrl*>(list)->GetSubItemRect(item, subItem, 0, &cell));
    CClientDC dc(list);
    for (int y = cell.top; y < cell.bottom; ++y)
        for (int x = cell.left; x < cell.right; ++x) {
            COLORREF c = dc.GetPixel(x, y);
            int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            if (r > 150 && g < 90 && b < 90) ++*red;
            if (b > 150 && r < 90 && g < 90) ++*blue;
        }
}

class ListControls : public testing::Test {
protected:
    void SetUp() override { afx::AddResources(&TestResources()); }
};

TEST_F(ListControls, TriangleColoursPaintTheTwoHalvesOfAMatrix) {
    CMatrixHost host(true);
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        afx::ProcessPendingEvents();
        int red = 0, blue = 0;
        // Row 0: column 1 is the diagonal (black), columns 2 and 3 above it (red).
        CountColours(&host.m_list, 0, 1, &red, &blue);
        EXPECT_EQ(red + blue, 0);
        CountColours(&host.m_list, 0, 2, &red, &blue);
        EXPECT_GT(red, 5);
        EXPECT_EQ(blue, 0);
        CountColours(&host.m_list, 0, 3, &red, &blue);
        EXPECT_GT(red, 5);
        // Row 2: columns 1 and 2 below the diagonal (blue), column 3 black.
        CountColours(&host.m_list, 2, 1, &red, &blue);
        EXPECT_GT(blue, 5);
        EXPECT_EQ(red, 0);
        CountColours(&host.m_list, 2, 3, &red, &blue);
        EXPECT_EQ(red + blue, 0);
        // The names keep the list's own colour.
        CountColours(&host.m_list, 1, 0, &red, &blue);
        EXPECT_EQ(red + blue, 0);
        d.SavePng((testsupport::PictureFolder() + "/matrix_list.png").c_str());
        d.Click(IDOK);
    });
    host.DoModal();
    EXPECT_TRUE(user.AllAnswered());
}

TEST_F(ListControls, CopiarPutsTheTableOnTheClipboardAsText) {
    for (bool withTable : {true, false}) {
        afx::SetClipboardText("antes");
        CMatrixHost host(withTable);
        ScriptedUser user;
        user.OnDialog(kDialog, [](DialogDriver& d) {
            d.RightClick(kList);
            d.Click(IDOK);
        });
        user.OnPopupMenu([withTable](const afx::PopupMenuRequest& menu) {
            EXPECT_EQ(menu.items.size(), 2u);
            // Without a table there is nothing to print.
            EXPECT_EQ(menu.enabled, (std::vector<bool>{withTable, true}));
            return ID_POPUP_COPY;
        });
        host.DoModal();
        EXPECT_TRUE(user.AllAnswered());
        if (withTable)
            EXPECT_EQ(afx::ClipboardText(),
                      "Ids\tA\tB\tC\nA\t1.000000\t0.500000\t0.500000\nB\t0.500000\t1.000000\t0.500000\n"
                      "C\t0.500000\t0.500000\t1.000000\n");
        else
            EXPECT_EQ(afx::ClipboardText(), "antes");  // a list without a table copies nothing
    }
}

TEST_F(ListControls, ListCellsWriteNumbersAndTexts) {
    CMatrixHost host(true);
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        SetListItemNumber(0, -2.7, TRUE, 1, &host.m_list);
        SetListItemNumber(1, -2.7, FALSE, 1, &host.m_list);
        SetListItemText(2, "x", 1, &host.m_list);
        EXPECT_EQ(host.m_list.GetItemText(0, 1), "-2");
        EXPECT_EQ(host.m_list.GetItemText(1, 1), "-2.7000");
        EXPECT_EQ(host.m_list.GetItemText(2, 1), "x");
        EXPECT_EQ(host.m_list.GetItemText(0, 0), "A");
        EXPECT_EQ(host.m_list.GetItemText(0, 2), "0.5000");
        d.Click(IDOK);
    });
    host.DoModal();
    EXPECT_TRUE(user.AllAnswered());
}

TEST(ViewCommands, CopyAndPrintTheListView) {
    testsupport::StartTabulon();
    CTabulonDoc* doc = testsupport::Document();
    afx::SetClipboardText("antes");
    theApp.m_pMainWnd->SendMessage(WM_COMMAND, MAKEWPARAM(ID_EDIT_COPY, 0), 0);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));

    // A table without data offers nothing to print; one with data prints its rows as text.
    testsupport::TempFolder dir;
    testsupport::WriteBytes(dir.File("t.tsm"), "#Tesmo v7.00#\r\n-9.900000\r\n1\r\nPeso\r\n1\r\nAna 69.4\r\n");
    std::string pdf = dir.File("lista.pdf");
    ScriptedUser user;
    user.OnPopupMenu([](const afx::PopupMenuRequest& menu) {
        EXPECT_EQ(menu.enabled, (std::vector<bool>{false, true}));
        return 0u;
    });
    user.OnPopupMenu([](const afx::PopupMenuRequest&) { return ID_POPUP_PRINT; });
    user.OnPrintDialog([&](afx::PrintDialogRequest& r) {
        r.outputFile = pdf.c_str();
        return true;
    });
    auto rightClick = [&] {
        CWnd* view = doc->GetView();
        CPoint p(30, 30);
        view->ClientToScreen(&p);
        view->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view->m_hWnd), MAKELPARAM(p.x, p.y));
    };
    rightClick();
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("t.tsm").c_str()), nullptr);
    doc = testsupport::Document();
    rightClick();
    EXPECT_TRUE(user.AllAnswered());
    std::string problem;
    const auto pages = testsupport::ReadPdfPages(pdf, &problem);
    ASSERT_EQ(pages.size(), 1u) << problem;
    EXPECT_EQ(testsupport::PlainPdfText(pages[0].text), "Linhas Peso\n------ ------\nAna 69.400\nP\xC3\xA1gina - 1/1\n");
}

}  // namespace

namespace {
TEST_F(ListControls, ATableFillsAListWithItsTitleNamesAndFourDecimals) {
    CMatrixHost host(true);
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        CListCtrl& l = host.m_list;
        ASSERT_EQ(l.GetColumnCount(), 4);
        LVCOLUMN col;
        char text[32];
        col.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        col.pszText = text;
        col.cchTextMax = sizeof text;
        const char* headings[4] = {"Ids", "A", "B", "C"};
        for (int c = 0; c < 4; ++c) {
            ASSERT_TRUE(l.GetColumn(c, &col));
            EXPECT_STREQ(text, headings[c]);
            EXPECT_EQ(col.fmt, LVCFMT_RIGHT);
            // The names' column is as wide as its longest text: here the title.
            if (c > 0) EXPECT_EQ(col.cx, 60);
            else EXPECT_LT(col.cx, 60);
        }
        ASSERT_EQ(l.GetItemCount(), 3);
        EXPECT_EQ(l.GetItemText(2, 0), "C");
        EXPECT_EQ(l.GetItemText(2, 3), "1.0000");
        EXPECT_EQ(l.GetItemText(0, 2), "0.5000");
        d.Click(IDOK);
    });
    host.DoModal();
    EXPECT_TRUE(user.AllAnswered());
}

// A table of the given row names, one variable X holding the given values.
class CNamesHost : public CDialog {
public:
    CNamesHost(const std::vector<CString>& names, const std::vector<double>& values) : CDialog(kDialog) {
        m_table.SetSize(static_cast<int>(names.size()), 1);
        m_table.SetTitle("Ids");
        m_table.SetVariableName(1, "X");
        for (size_t r = 0; r < names.size(); ++r) {
            m_table.SetRowName(static_cast<int>(r + 1), names[r]);
            m_table.SetValue(static_cast<int>(r + 1), 1, values[r]);
        }
    }
    BOOL OnInitDialog() override {
        m_list.SubclassDlgItem(kList, this);
        m_table.FillListCtrl(&m_list);
        m_list.SetTable(&m_table);
        m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_GRIDLINES);
        return CDialog::OnInitDialog();
    }
    CDataTable m_table;
    CCopyListCtrl m_list;
};

// No name is cut: the names' column is as wide as the longest, within the list. A number
// too wide for its column shows in exponent form with its four decimals, where it would be
// cut to "10000...", and the column grows to show that form whole; the list's texts, and so
// "Copiar", keep the fixed form.
TEST_F(ListControls, NamesShowWholeWithinTheListAndWideNumbersInExponentForm) {
    CNamesHost host({"Produtividade Anual", "Rendimento", "A"}, {1e308, -0.5, 123456.125});
    ScriptedUser user;
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        afx::ProcessPendingEvents();
        EXPECT_EQ(afx::TextsThatDoNotFit(d.Dialog()), std::vector<std::string>{});
        const std::vector<CString> shown = d.Dump(kList);
        ASSERT_EQ(shown.size(), 4u);
        EXPECT_EQ(shown[1], "Produtividade Anual\t1.0000e+308");
        EXPECT_EQ(shown[2], "Rendimento\t-0.5000");
        // The column grew to show 1.0000e+308 whole: 123456.1250 fits it as it is.
        EXPECT_EQ(shown[3], "A\t123456.1250");
        EXPECT_EQ(host.m_list.GetItemText(0, 1), FormatFixed(1e308, 4));
        EXPECT_EQ(host.m_list.GetItemText(2, 1), "123456.1250");
        d.SavePng((testsupport::PictureFolder() + "/list_names_and_wide_numbers.png").c_str());
        d.Click(IDOK);
    });
    host.DoModal();
    EXPECT_TRUE(user.AllAnswered());

    // A name longer than the list is as wide as the list allows.
    CNamesHost wide({CString('W', 300)}, {1.0});
    user.OnDialog(kDialog, [&](DialogDriver& d) {
        CRect client;
        wide.m_list.GetClientRect(&client);
        EXPECT_GT(client.Width(), 60);
        EXPECT_EQ(wide.m_list.GetColumnWidth(0), client.Width());
        d.Click(IDOK);
    });
    wide.DoModal();
    EXPECT_TRUE(user.AllAnswered());
}
}  // namespace
