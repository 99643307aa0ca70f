// A team of threads kept for the whole aggregation, which runs the parts of one short piece
// of work at a time on all the cores the process may use.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

namespace fenola {

// The calling thread and Size() - 1 workers. Run publishes a piece of parts 0 .. parts - 1;
// the caller and the workers claim parts one at a time until none is left, so a worker the
// system has not scheduled holds up nothing but a part it already took. A step of the
// aggregation lasts from a few to a few hundred microseconds, and waking a sleeping thread
// takes tens of microseconds: a thread with nothing to do spins a short while, so that it is
// at hand for a piece that follows at once, then sleeps, so that it takes no core from other
// work.
class Team {
public:
    // threads: how many threads in all, the calling one included; 0 for one per core the
    // process may run on. Fewer when the system refuses to start more.
    explicit Team(std::size_t threads = 0);
    ~Team();
    Team(const Team&) = delete;
    Team& operator=(const Team&) = delete;

    std::size_t Size() const { return workers_.size() + 1; }

    // Calls work(part) once for every part = 0 .. parts - 1, on the calling thread and the
    // workers, and returns when all are done. Parts beyond Size() just wait for a thread to
    // take them. work must not throw.
    template <typename Work>
    void Run(std::size_t parts, const Work& work) {
        for (std::size_t first = 0; first < parts; first += kMaxParts) {
            const std::size_t count = std::min(parts - first, kMaxParts);
            if (count == 1) {
                work(first);
                continue;
            }
            const auto call = [&work, first](std::size_t part) { work(first + part); };
            using Call = decltype(call);
            RunPiece(count, [](const void* w, std::size_t part) { (*static_cast<const Call*>(w))(part); }, &call);
        }
    }

private:
    using Call = void (*)(const void*, std::size_t);
    static constexpr std::size_t kMaxParts = 0xFFFF;

    void RunPiece(std::size_t parts, Call call, const void* work);
    // Runs parts of the piece tagged tag until none is left to take.
    void Take(std::uint32_t tag);
    void Publish(std::uint32_t tag, std::size_t parts);
    void Serve();

    std::vector<std::thread> workers_;
    // The piece at hand: call_ and work_ are read only by a thread that claimed one of its
    // parts, and the caller waits for every claimed part before it publishes the next piece.
    Call call_ = nullptr;
    const void* work_ = nullptr;
    // The claims on the piece at hand: its tag (a count of the pieces published) in the high
    // 32 bits, its number of parts in the next 16, the next part to take in the low 16.
    std::atomic<std::uint64_t> claims_{0};
    std::atomic<bool> stop_{false};
    // The tag of the piece at hand, which sleeping workers wait to change; sleepers_ counts
    // them, so that a piece wakes nobody when no one sleeps.
    alignas(64) std::atomic<std::uint32_t> published_{0};
    std::atomic<std::uint32_t> sleepers_{0};
    // The parts of the piece at hand not done yet; the caller waits for it to reach 0, and
    // sleeps on it when the last parts take long (caller_sleeps_).
    alignas(64) std::atomic<std::uint32_t> pending_{0};
    std::atomic<bool> caller_sleeps_{false};
};

}  // namespace fenola
