#include <gtest/gtest.h>

#include <vector>

#include "engines/fenola/team.h"

namespace {

// Every part of every piece runs exactly once, however many threads the team has: more parts
// than threads wait for a thread to take them, and a team of the caller alone does them all.
TEST(Team, RunsEveryPartOnceWhateverItsSize) {
    for (std::size_t threads : {1, 2, 3}) {
        fenola::Team team(threads);
        for (std::size_t parts : {0, 1, 2, 7, 40}) {
            for (int piece = 0; piece < 200; ++piece) {
                std::vector<int> runs(parts, 0);
                team.Run(parts, [&](std::size_t p) { ++runs[p]; });
                for (std::size_t p = 0; p < parts; ++p)
                    ASSERT_EQ(runs[p], 1) << threads << " threads, part " << p << " of " << parts;
            }
        }
    }
}

}  // namespace
