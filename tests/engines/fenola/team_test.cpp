#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>
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

double ProcessorSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// Threads with nothing to do sleep after a short while: neither the workers between pieces
// that come milliseconds apart nor the caller waiting for a long last part keep a core busy.
TEST(Team, IdleThreadsSleep) {
    using namespace std::chrono_literals;
    constexpr int kWorkers = 3, kPieces = 50;
    fenola::Team team(kWorkers + 1);
    const double before = ProcessorSeconds();
    for (int piece = 0; piece < kPieces; ++piece) {
        team.Run(kWorkers + 1, [](std::size_t) {});
        std::this_thread::sleep_for(2ms);
    }
    // A quarter of a millisecond of processor time at most for each worker and gap, where
    // one that spun through the gap would take 2 ms.
    EXPECT_LT(ProcessorSeconds() - before, kWorkers * kPieces * 250e-6);

    // The first part that a worker takes lasts 100 ms; the caller waits for it. (The
    // caller's parts last a while, so that the workers wake and take the others.)
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<bool> slept{false};
    for (int attempt = 0; attempt < 10 && !slept; ++attempt) {
        const double waiting = ProcessorSeconds();
        team.Run(kWorkers + 1, [&](std::size_t) {
            if (std::this_thread::get_id() == caller) std::this_thread::sleep_for(5ms);
            else if (!slept.exchange(true)) std::this_thread::sleep_for(100ms);
        });
        if (slept) {
            EXPECT_LT(ProcessorSeconds() - waiting, 0.03);
        }
    }
    EXPECT_TRUE(slept);
}

}  // namespace
