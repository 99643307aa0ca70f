// A team of threads kept for the whole aggregation, which runs the parts of one short piece
// of work at a time on all cores.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

namespace fenola {

// The calling thread and Size() - 1 workers. Run hands out parts 0 .. parts - 1, one per
// thread, and returns when all are done. A step of the aggregation lasts from a few to a few
// hundred microseconds, far less than waking a sleeping thread takes, so the workers wait for
// the next piece spinning for a while before they sleep.
class Team {
public:
    // threads: how many threads in all, the calling one included; 0 for one per core. Fewer
    // when the system refuses to start more.
    explicit Team(std::size_t threads = 0);
    ~Team();
    Team(const Team&) = delete;
    Team& operator=(const Team&) = delete;

    std::size_t Size() const { return workers_.size() + 1; }

    // Calls work(part) for part = 0 .. parts - 1 (at most Size()), part 0 on the calling
    // thread, each other part on a worker of its own. work must not throw.
    template <typename Work>
    void Run(std::size_t parts, const Work& work) {
        if (parts <= 1) {
            if (parts == 1) work(std::size_t{0});
            return;
        }
        Start(parts, [](const void* w, std::size_t part) { (*static_cast<const Work*>(w))(part); }, &work);
        work(std::size_t{0});
        Finish();
    }

private:
    using Call = void (*)(const void*, std::size_t);

    void Start(std::size_t parts, Call call, const void* work);
    void Finish();
    void Publish(unsigned piece);
    void Serve(std::size_t index);

    std::vector<std::thread> workers_;
    // The piece at hand. call_ and work_ are read only by the workers that have a part, and
    // the caller waits for those before it publishes the next piece; the others read nothing
    // but piece_: a count of the pieces published so far times 256, plus the piece's parts.
    Call call_ = nullptr;
    const void* work_ = nullptr;
    std::atomic<unsigned> piece_{0};
    std::atomic<std::size_t> pending_{0};
    std::atomic<bool> stop_{false};
    // Workers that stopped spinning wait here; sleepers_ counts them.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::atomic<std::size_t> sleepers_{0};
};

}  // namespace fenola
