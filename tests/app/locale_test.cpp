// Run with LC_ALL=pt_PT.UTF-8: the toolkit takes the user's locale at start-up, and the
// program must still read and write numbers with a '.'.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <langinfo.h>
#include <locale.h>

#include "app/data_set.h"
#include "tests/support/gui_test.h"

namespace {

TEST(PortugueseLocale, NumbersKeepTheirPoint) {
    // The environment's locale really is Portuguese, with a decimal comma...
    const char* env = std::getenv("LC_ALL");
    ASSERT_NE(env, nullptr);
    ASSERT_STREQ(env, "pt_PT.UTF-8");
    locale_t pt = newlocale(LC_NUMERIC_MASK, "pt_PT.UTF-8", static_cast<locale_t>(nullptr));
    ASSERT_NE(pt, static_cast<locale_t>(nullptr)) << "the pt_PT.UTF-8 locale is not installed";
    EXPECT_STREQ(nl_langinfo_l(RADIXCHAR, pt), ",");
    freelocale(pt);
    // ...and the toolkit applied it to the rest of the program.
    const char* collate = std::setlocale(LC_COLLATE, nullptr);
    ASSERT_NE(collate, nullptr);
    EXPECT_EQ(std::strncmp(collate, "pt_PT", 5), 0) << collate;

    // Numbers still use the point.
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
    EXPECT_EQ(FormatString("%f", 1.5), "1.500000");
    EXPECT_EQ(std::atof("2.25"), 2.25);
    CDataTable t;
    EXPECT_EQ(t.GetMissingCodeText(), "-9.900000");
    t.SetMissingCodeText("-99.5");
    EXPECT_EQ(t.GetMissingCode(), -99.5f);
    t.SetSize(1, 1);
    t.SetValue(1, 1, 0.25);
    EXPECT_EQ(t.WriteText(), "\t\n0\t0.250000\n");

    // The native file is written and read back with points.
    testsupport::TempFolder dir;
    std::string path = dir.File("pt.tsm");
    testsupport::WriteBytes(path, "#Tesmo v7.00#\r\n-9.5\r\n1\r\nX\r\n1\r\na 1.25\r\nb -9.5\r\n");
    CDataSet data;
    {
        CFile f(path.c_str(), CFile::modeRead);
        CArchive ar(&f, CArchive::load);
        ASSERT_TRUE(data.Load(ar));
    }
    EXPECT_EQ(data.GetValue(1, 1), 1.25);
    EXPECT_TRUE(data.IsMissing(2, 1));
    {
        CFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&f, CArchive::store);
        data.Save(ar);
    }
    EXPECT_EQ(testsupport::ReadBytes(path), "#Tesmo v7.00#\r\n-9.500000\r\n1\r\nX\r\n1\r\na 1.250000\r\nb -9.500000\r\n");
}

}  // namespace
