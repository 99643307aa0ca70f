// The fuzz targets' seeds and round-trip check, run in every build.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fuzz/round_trip.h"

namespace {

std::vector<std::string> Seeds(const char* folder) {
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(std::string(TESMO_SOURCE_DIR) + "/fuzz/seeds/" + folder))
        paths.push_back(entry.path().string());
    return paths;
}

TEST(FuzzSeeds, NativeSeedsOpenWithRowsAndVariables) {
    // A seed the reader refuses only exercises its first lines.
    PrepareHeadless();
    std::vector<std::string> seeds = Seeds("tsm");
    ASSERT_GE(seeds.size(), 3u);
    for (const std::string& path : seeds) {
        afx::ScriptedUser user;
        CDataSet set;
        EXPECT_TRUE(LoadFile(path, set)) << path;
        EXPECT_GT(set.GetRowCount(), 0) << path;
        EXPECT_TRUE(user.Messages().empty()) << path;
    }
}

TEST(FuzzSeeds, EverySeedComesBackFromSave) {
    for (const char* folder : {"tsm", "paste", "regressions"})
        for (const std::string& path : Seeds(folder)) EXPECT_EQ(round_trip::Fault(ReadBytes(path)), "") << path;
}

TEST(RoundTripCheck, ReportsWhatChangedBeyondTheFileSixDecimals) {
    PrepareHeadless();
    CDataSet a;
    a.SetSize(2, 2);
    a.SetValue(2, 1, 1234.5);
    CDataSet b = a;
    EXPECT_EQ(round_trip::Difference(a, b), "");

    b.SetValue(2, 1, 1234.5 + 4.9e-7);  // what "%f" may round away
    EXPECT_EQ(round_trip::Difference(a, b), "");
    b.SetValue(2, 1, 1234.5 + 1.1e-6);
    EXPECT_EQ(round_trip::Difference(a, b).rfind("row 2 variable 1 value 1234.5 became 1234.500001", 0), 0u);

    b = a;
    b.SetRowName(1, CString(std::string("r\0x", 3)));
    EXPECT_EQ(round_trip::Difference(a, b), "row 1 name \"0\" became \"r\\x00x\"");

    b = a;
    b.SetVariableType(2, 0);
    EXPECT_EQ(round_trip::Difference(a, b), "variable 2 type 1 became 0");
    b.GetVariable(2)->SetCategories({{"A b", 3}});
    a.SetVariableType(2, 0);
    a.GetVariable(2)->SetCategories({{"A b", 4}});
    EXPECT_EQ(round_trip::Difference(a, b), "variable 2 modality \"A b\" 4 became \"A b\" 3");

    b = a;
    b.SetMissingCode(-9.8f);
    EXPECT_EQ(round_trip::Difference(a, b), "missing-value code -9.89999962 became -9.80000019");
}

TEST(RoundTripCheck, PastedRowNamesWithBlanksComeBackFromSave) {
    // The reader splits a row at its first blank: a pasted name keeps none.
    EXPECT_EQ(round_trip::Fault("a b\t1\t2\nc d e\t-3\t.5\n"), "");
}

}  // namespace
