// Names planted where an engine writes its coordinate files (beside the document, in a folder
// that the user chose): symbolic links to files of the test, and fifos. Each fifo is held open
// for reading, so that an engine that opened it for writing would not block and what it wrote
// can be seen.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/engines/engine_test_files.h"

namespace engine_test {

class PlantedNames {
public:
    PlantedNames() = default;
    PlantedNames(const PlantedNames&) = delete;
    PlantedNames& operator=(const PlantedNames&) = delete;
    ~PlantedNames() {
        for (const Fifo& fifo : fifos_)
            ::close(fifo.reader);
    }

    // A link at path to a file of its own beside it (path + ".alvo") holding a known text.
    void Link(const std::string& path) {
        std::filesystem::remove(path);
        WriteFile(path + ".alvo", kUntouched);
        std::filesystem::create_symlink(path + ".alvo", path);
        links_.push_back(path);
    }
    void MakeFifo(const std::string& path) {
        std::filesystem::remove(path);
        ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0) << path;
        const int reader = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0) << path;
        fifos_.push_back({path, reader});
    }

    // After the run: every link was replaced by the file written (its target holds what it
    // held), every fifo is still a fifo that nobody wrote into, and the listing says that
    // the fifo's name could not be written.
    void ExpectKept(const std::string& listing) const {
        for (const std::string& link : links_) {
            EXPECT_EQ(ReadFile(link + ".alvo"), kUntouched) << link;
            EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(link))) << link;
            EXPECT_FALSE(ReadFile(link).empty()) << link;
        }
        for (const Fifo& fifo : fifos_) {
            EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(fifo.path))) << fifo.path;
            char byte = 0;
            EXPECT_LE(::read(fifo.reader, &byte, 1), 0) << fifo.path << " was written into";
            const std::string name = std::filesystem::path(fifo.path).filename().string();
            EXPECT_NE(listing.find(" ATENÇÃO - não foi possível criar o ficheiro "), std::string::npos) << name;
            EXPECT_NE(listing.find(name + "\r\n"), std::string::npos) << name;
        }
        // Nothing but the names themselves and the links' targets: no file left half written.
        if (!links_.empty() || !fifos_.empty()) {
            const std::filesystem::path folder =
                std::filesystem::path(links_.empty() ? fifos_.front().path : links_.front()).parent_path();
            for (const auto& entry : std::filesystem::directory_iterator(folder))
                EXPECT_EQ(entry.path().filename().string().find(".~"), std::string::npos) << entry.path();
        }
    }

private:
    static constexpr const char* kUntouched = "intocado\n";
    struct Fifo {
        std::string path;
        int reader;
    };
    std::vector<std::string> links_;
    std::vector<Fifo> fifos_;
};

// Plants a link or a fifo at each of base.vpc, base.lic and base.coc and runs the engine,
// twice, so that each name meets both: every run ends with okStatus and keeps the planted
// names as ExpectKept says.
template <class Run>
void ExpectCoordinateNamesKept(const std::string& base, const std::string& listingPath, int okStatus, Run run) {
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "links at vpc and coc, a fifo at lic" : "a link at lic, fifos at vpc and coc");
        PlantedNames planted;
        int k = round;
        for (const char* extension : {".vpc", ".lic", ".coc"}) {
            if (k++ % 2 == 0)
                planted.Link(base + extension);
            else
                planted.MakeFifo(base + extension);
        }
        EXPECT_EQ(run(), okStatus);
        planted.ExpectKept(ReadFile(listingPath));
    }
}

}  // namespace engine_test
