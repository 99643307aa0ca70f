// The fuzz targets' seeds and round-trip check, run in every build.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
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

TEST(RoundTripCheck, AFailedSaveFailsTheCheck) {
    const std::string seed = ReadBytes(Seeds("tsm").front());
    ASSERT_EQ(round_trip::Fault(seed), "");
    // A folder where the saved file should go: it cannot be created.
    std::filesystem::remove(FuzzPath("first"));
    ASSERT_TRUE(std::filesystem::create_directory(FuzzPath("first")));
    EXPECT_EQ(round_trip::Fault(seed), "the table cannot be saved");
    std::filesystem::remove(FuzzPath("first"));
}

TEST(RoundTripCheck, LeavesNoFileBehind) {
    // The seeds' round trips, run by a process of their own under a temporary folder of the
    // test's: its files go there, not to /tmp, and when it ends that folder is empty again.
    std::string tmp = (std::filesystem::temp_directory_path() / "tesmo-seeds-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmp.data()), nullptr);
    {
        const char* old_tmpdir = std::getenv("TMPDIR");
        const std::string saved = old_tmpdir ? old_tmpdir : "";
        setenv("TMPDIR", tmp.c_str(), 1);
        FuzzFolder folder;
        if (old_tmpdir) setenv("TMPDIR", saved.c_str(), 1);
        else unsetenv("TMPDIR");
        EXPECT_EQ(std::filesystem::path(folder.path).parent_path(), std::filesystem::path(tmp));
    }
    EXPECT_TRUE(std::filesystem::is_empty(tmp));
    std::vector<std::string> args = {"fuzz_seed_tests", "--gtest_filter=FuzzSeeds.EverySeedComesBackFromSave"};
    std::vector<std::string> env = {"TMPDIR=" + tmp};
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("TMPDIR=", 0) != 0) env.push_back(*e);
    auto pointers = [](std::vector<std::string>& strings) {
        std::vector<char*> p;
        for (std::string& s : strings) p.push_back(s.data());
        p.push_back(nullptr);
        return p;
    };
    std::vector<char*> argv = pointers(args), envp = pointers(env);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(std::filesystem::is_empty(tmp));
    std::filesystem::remove_all(tmp);
}

TEST(RoundTripCheck, PastedRowNamesWithBlanksComeBackFromSave) {
    // The reader splits a row at its first blank: a pasted name keeps none.
    EXPECT_EQ(round_trip::Fault("a b\t1\t2\nc d e\t-3\t.5\n"), "");
}

}  // namespace
