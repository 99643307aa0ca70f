// A team of threads kept for the whole aggregation, which runs the parts of one short piece
// of work at a time on all the cores the process may use.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace fenola {

// The calling thread and Size() - 1 workers. Run publishes a piece of parts 0 .. parts - 1;
// the caller and the workers claim parts one at a time until none is left, so a worker the
// system has not scheduled holds up nothing but a part it already took. A step of the
// aggregation lasts from a few to a few hundred microseconds, far less than waking a
// sleeping thread takes, so the workers wait for the next piece spinning for a while before
// they sleep.
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
    void Publish(std::uint64_t claims);
    void Serve();

    std::vector<std::thread> workers_;
    // The piece at hand: call_ and work_ are read only by a thread that claimed one of its
    // parts, and the caller waits for every claimed part before it publishes the next piece.
    Call call_ = nullptr;
    const void* work_ = nullptr;
    // The claims on the piece at hand: its tag (a count of the pieces published) in the high
    // 32 bits, its number of parts in the next 16, the next part to take in the low 16.
    std::atomic<std::uint64_t> claims_{0};
    std::atomic<std::size_t> pending_{0};  // parts not done yet
    std::atomic<bool> stop_{false};
    // Workers that stopped spinning wait here; sleepers_ counts them.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::atomic<std::size_t> sleepers_{0};
};

}  // namespace fenola
