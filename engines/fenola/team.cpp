#include "engines/fenola/team.h"

#include <algorithm>
#include <chrono>

#if defined(__linux__)
#include <sched.h>
#endif

namespace fenola {
namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned kPartBits = 16;
constexpr std::uint64_t kPartMask = (std::uint64_t{1} << kPartBits) - 1;
// How long a worker with no part to take spins for the next piece before it sleeps: longer
// than it usually waits for the other parts of a piece and the caller's work between two
// pieces, shorter than the larger steps. Much shorter spins make the steps slower (the
// workers come late, a wake-up taking tens of microseconds) without saving processor time.
constexpr std::chrono::microseconds kWorkerSpin{50};
// How long the caller spins for the last parts of a piece before it sleeps until the thread
// that ends the last one wakes it.
constexpr std::chrono::microseconds kCallerSpin{100};
// How many turns of a waiting loop pass between two looks at the clock.
constexpr unsigned kSpinsPerCheck = 16;

std::uint32_t TagOf(std::uint64_t claims) { return static_cast<std::uint32_t>(claims >> (2 * kPartBits)); }

// Spins until done() or for about spin; true when done.
template <typename Done>
bool SpinFor(std::chrono::microseconds spin, const Done& done) {
    if (done()) return true;
    const auto until = Clock::now() + spin;
    for (unsigned spins = 1;; ++spins) {
        // Tells the processor that the thread waits in a loop, where the compiler offers a way.
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
        __builtin_ia32_pause();
#endif
        if (done()) return true;
        if (spins % kSpinsPerCheck == 0 && Clock::now() > until) return false;
    }
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
    Publish(published_.load(std::memory_order_relaxed) + 1u, 0);
    for (std::thread& t : workers_) t.join();
}

// The new piece, and a wake-up for as many sleeping workers as it has parts beside the one
// the caller takes (all of them to stop). The stores here and a sleeper's count are
// sequentially consistent, so either this sees the sleeper or the sleeper, looking again
// as it goes to sleep, sees the piece.
void Team::Publish(std::uint32_t tag, std::size_t parts) {
    claims_.store(std::uint64_t{tag} << (2 * kPartBits) | static_cast<std::uint64_t>(parts) << kPartBits);
    published_.store(tag);
    const std::uint32_t asleep = sleepers_.load();
    if (asleep == 0) return;
    if (parts == 0 || parts - 1 >= asleep) {
        published_.notify_all();
    } else {
        for (std::size_t k = 1; k < parts; ++k) published_.notify_one();
    }
}

void Team::RunPiece(std::size_t parts, Call call, const void* work) {
    call_ = call;
    work_ = work;
    pending_.store(static_cast<std::uint32_t>(parts), std::memory_order_relaxed);
    const std::uint32_t tag = published_.load(std::memory_order_relaxed) + 1u;  // only this thread writes it
    Publish(tag, parts);
    Take(tag);
    if (SpinFor(kCallerSpin, [this] { return pending_.load(std::memory_order_acquire) == 0; })) return;
    // The caller stores its flag before it looks at the count, a worker changes the count
    // before it looks at the flag: one of the two sees the other.
    caller_sleeps_.store(true);
    for (std::uint32_t left; (left = pending_.load()) != 0;) pending_.wait(left);
    caller_sleeps_.store(false, std::memory_order_relaxed);
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
        if (pending_.fetch_sub(1) == 1 && caller_sleeps_.load()) pending_.notify_one();
        claims = claims_.load(std::memory_order_acquire);
    }
}

void Team::Serve() {
    std::uint32_t seen = 0;  // as made: a piece published before this thread got going is not missed
    for (;;) {
        if (!SpinFor(kWorkerSpin, [this, seen] { return published_.load(std::memory_order_acquire) != seen; })) {
            sleepers_.fetch_add(1);
            published_.wait(seen);
            sleepers_.fetch_sub(1);
        }
        seen = published_.load(std::memory_order_acquire);
        if (stop_.load()) return;
        Take(seen);
    }
}

}  // namespace fenola
