#include "engines/common/coordinate_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "tests/engines/engine_test_files.h"

namespace {

using engine_test::ReadFile;
using engine_test::WorkFolder;
using engine_test::WriteFile;

// A coordinate file whose writing fails (here the process may not write a file beyond 4096
// bytes, as on a full disk) is not put in place: its name keeps the file of the last run, no
// half-written file is left beside it, the listing says so and the call reports the failure.
// The other files are written.
TEST(CoordinateFiles, AFailedWriteLeavesTheNameAsItWas) {
    WorkFolder folder;
    WriteFile(folder.File("doc.vpc"), "anterior\r\n");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        RecordWriter listing;
        listing.Create("listagem.prn", folder.Path());
        const std::vector<double> eigenvalues(1000, 0.5);  // 125 records of 80 columns: 10250 bytes
        const std::vector<std::string> names = {"L1", "L2"};
        const std::vector<double> coordinates = {0.25, -0.5};
        const bool written = WriteCoordinateFiles(listing, "doc.tsm", folder.Path(), eigenvalues,
                                                  {&names, &coordinates}, {&names, &coordinates}, 1);
        listing.Close();
        _exit(written ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(ReadFile(folder.File("doc.vpc")), "anterior\r\n");
    EXPECT_EQ(ReadFile(folder.File("doc.lic")), "L1    0.250\r\nL2   -0.500\r\n");
    EXPECT_EQ(ReadFile(folder.File("doc.coc")), ReadFile(folder.File("doc.lic")));
    EXPECT_EQ(ReadFile(folder.File("listagem.prn")),
              " ATENÇÃO - erro na escrita do ficheiro " + folder.File("doc.vpc") + "\r\n");
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        entries += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(entries, 4);  // the listing and the three names
}

}  // namespace
