// A table of one quantitative variable, Enorme, whose six values 1e300 .. 6e300 lie beyond
// single precision, opened as the document of the histogram and box plot tests; the user
// will choose Enorme on the variable-selection page.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/tabulon_app.h"
#include "tests/support/gui_test.h"

inline void OpenEnormousTable(const testsupport::TempFolder& dir, afx::ScriptedUser& user) {
    testsupport::StartTabulon();
    std::string file = "#Tesmo v7.00#\r\n-9.900000\r\n1\r\nEnorme\r\n1\r\n";
    for (double v : {3e300, 1e300, 6e300, 2e300, 5e300, 4e300}) file += FormatString("r %f\r\n", v).GetString();
    testsupport::WriteBytes(dir.File("enorme.tsm"), file);
    afx::ScriptedUser opening;
    ASSERT_NE(theApp.OpenDocumentFile(dir.File("enorme.tsm").c_str()), nullptr);
    user.OnDialog(170, [](afx::DialogDriver& d) {
        d.Tick(1078, 0);
        d.Click(1191);
    });
}
