#include "engines/fenola/team.h"

#include <algorithm>
#include <chrono>

#if defined(__linux__)
#include <sched.h>
#endif

namespace fenola {
namespace {

constexpr unsigned kPartBits = 16;
constexpr std::uint64_t kPartMask = (std::uint64_t{1} << kPartBits) - 1;
// How long a worker spins for the next piece before it sleeps.
constexpr std::chrono::microseconds kSpinTime{500};
// How many turns of a waiting loop pass between two offers of the core to another thread.
constexpr unsigned kSpinsPerYield = 64;

std::uint32_t TagOf(std::uint64_t claims) { return static_cast<std::uint32_t>(claims >> (2 * kPartBits)); }

// Tells the processor that the thread is waiting in a loop, where the compiler offers a way
// to, and now and then lets another thread have the core: with fewer cores than threads the
// thread waited for may need it.
inline void Relax(unsigned spins) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    __builtin_ia32_pause();
#endif
    if (spins % kSpinsPerYield == 0) std::this_thread::yield();
}

// The cores the process may run on.
std::size_t UsableCores() {
#if defined(__linux__)
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return static_cast<std::size_t>(CPU_COUNT(&set));
#endif
    return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace

Team::Team(std::size_t threads) {
    if (threads == 0) threads = UsableCores();
    try {
        workers_.reserve(threads - 1);
        for (std::size_t w = 1; w < threads; ++w) workers_.emplace_back(&Team::Serve, this);
    } catch (...) {
        // No more threads (or no memory for them): the team works with those it has.
    }
}

Team::~Team() {
    stop_.store(true);
    Publish((std::uint64_t{TagOf(claims_.load()) + 1u}) << (2 * kPartBits));
    for (std::thread& t : workers_) t.join();
}

// The new piece, and a wake-up for the workers that sleep. Both the store here and a
// sleeper's count are sequentially consistent, so either this sees the sleeper or the
// sleeper, checking again under the lock, sees the piece.
void Team::Publish(std::uint64_t claims) {
    claims_.store(claims);
    if (sleepers_.load() != 0) {
        const std::lock_guard<std::mutex> lock(mutex_);
        wake_.notify_all();
    }
}

void Team::RunPiece(std::size_t parts, Call call, const void* work) {
    call_ = call;
    work_ = work;
    pending_.store(parts, std::memory_order_relaxed);
    const std::uint32_t tag = TagOf(claims_.load(std::memory_order_relaxed)) + 1u;
    Publish(std::uint64_t{tag} << (2 * kPartBits) | static_cast<std::uint64_t>(parts) << kPartBits);
    Take(tag);
    for (unsigned spins = 1; pending_.load(std::memory_order_acquire) != 0; ++spins) Relax(spins);
}

void Team::Take(std::uint32_t tag) {
    std::uint64_t claims = claims_.load(std::memory_order_acquire);
    for (;;) {
        if (TagOf(claims) != tag || (claims & kPartMask) >= ((claims >> kPartBits) & kPartMask)) return;
        // The claim is taken with the piece's call_ and work_ seen, since the caller wrote
        // them before it published the piece.
        if (!claims_.compare_exchange_weak(claims, claims + 1, std::memory_order_acq_rel, std::memory_order_acquire))
            continue;
        call_(work_, static_cast<std::size_t>(claims & kPartMask));
        pending_.fetch_sub(1, std::memory_order_acq_rel);
        claims = claims_.load(std::memory_order_acquire);
    }
}

void Team::Serve() {
    std::uint32_t seen = 0;  // as made: a piece published before this thread got going is not missed
    for (;;) {
        std::uint32_t now = TagOf(claims_.load(std::memory_order_acquire));
        const auto until = std::chrono::steady_clock::now() + kSpinTime;
        for (unsigned spins = 1; now == seen; ++spins) {
            Relax(spins);
            now = TagOf(claims_.load(std::memory_order_acquire));
            if (now == seen && spins % kSpinsPerYield == 0 && std::chrono::steady_clock::now() > until) {
                std::unique_lock<std::mutex> lock(mutex_);
                sleepers_.fetch_add(1);
                while ((now = TagOf(claims_.load())) == seen) wake_.wait(lock);
                sleepers_.fetch_sub(1);
            }
        }
        seen = now;
        if (stop_.load()) return;
        Take(now);
    }
}

}  // namespace fenola
