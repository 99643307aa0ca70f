#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/afx.h"
#include "platform/ui/automation.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    char folder[] = "/tmp/tesmo-test-profile-XXXXXX";
    if (!mkdtemp(folder)) return 2;
    afx::InitTestEnvironment(argc, argv, folder);
    afx::ScriptedUser::SetFailureReporter([](const std::string& what) { ADD_FAILURE() << what; });
    int rc = RUN_ALL_TESTS();
    afx::ShutdownTestEnvironment();
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return rc;
}
