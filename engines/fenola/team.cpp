#include "engines/fenola/team.h"

#include <algorithm>
#include <chrono>
#include <system_error>

namespace fenola {
namespace {

constexpr unsigned kPartBits = 8;
constexpr unsigned kPartMask = (1u << kPartBits) - 1;
// How long a worker spins for the next piece before it sleeps.
constexpr std::chrono::microseconds kSpinTime{500};

// Tells the processor that the thread is waiting in a loop, where the compiler offers a way to.
inline void Relax() {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    __builtin_ia32_pause();
#endif
}

}  // namespace

Team::Team(std::size_t threads) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = std::min<std::size_t>(threads, kPartMask);
    workers_.reserve(threads - 1);
    try {
        for (std::size_t w = 1; w < threads; ++w) workers_.emplace_back(&Team::Serve, this, w);
    } catch (const std::system_error&) {
        // No more threads: the team works with those it has.
    }
}

Team::~Team() {
    stop_.store(true);
    Publish(((piece_.load() >> kPartBits) + 1) << kPartBits);
    for (std::thread& t : workers_) t.join();
}

// The new piece, and a wake-up for the workers that sleep. Both the store here and a
// sleeper's count are sequentially consistent, so either this sees the sleeper or the
// sleeper, checking again under the lock, sees the piece.
void Team::Publish(unsigned piece) {
    piece_.store(piece);
    if (sleepers_.load() != 0) {
        const std::lock_guard<std::mutex> lock(mutex_);
        wake_.notify_all();
    }
}

void Team::Start(std::size_t parts, Call call, const void* work) {
    parts = std::min(parts, Size());
    call_ = call;
    work_ = work;
    pending_.store(parts - 1, std::memory_order_relaxed);
    Publish(((piece_.load(std::memory_order_relaxed) >> kPartBits) + 1) << kPartBits | static_cast<unsigned>(parts));
}

void Team::Finish() {
    while (pending_.load(std::memory_order_acquire) != 0) Relax();
}

void Team::Serve(std::size_t index) {
    unsigned seen = 0;  // as made: a piece published before this thread got going is not missed
    for (;;) {
        unsigned now = piece_.load(std::memory_order_acquire);
        const auto until = std::chrono::steady_clock::now() + kSpinTime;
        for (unsigned spins = 1; now == seen; ++spins) {
            Relax();
            now = piece_.load(std::memory_order_acquire);
            if (now == seen && spins % 64 == 0 && std::chrono::steady_clock::now() > until) {
                std::unique_lock<std::mutex> lock(mutex_);
                sleepers_.fetch_add(1);
                while ((now = piece_.load()) == seen) wake_.wait(lock);
                sleepers_.fetch_sub(1);
            }
        }
        seen = now;
        if (stop_.load()) return;
        if (index < (now & kPartMask)) {
            call_(work_, index);
            pending_.fetch_sub(1, std::memory_order_acq_rel);
        }
    }
}

}  // namespace fenola
