#include "engines/fenola/aggregation.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>

#include "engines/fenola/team.h"

namespace fenola {
namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// The Lance-Williams update of each method for one step: the dissimilarity between the joined
// cluster and a third one, from a = D(L, m) and b = D(J, m). What depends only on the step
// (sizes, level) is set once per step, so that the loop over the third clusters holds neither
// a switch nor a call.
struct SingleLinkRule {
    float operator()(float a, float b) const { return LessNanLast(b, a) ? b : a; }
};

struct CompleteLinkRule {
    float operator()(float a, float b) const { return LessNanLast(a, b) ? b : a; }
};

struct AverageLinkRule {
    AverageLinkRule(std::size_t na, std::size_t nb)
        : wa(static_cast<double>(na)), wb(static_cast<double>(nb)), total(wa + wb) {}
    float operator()(float a, float b) const { return static_cast<float>((wa * a + wb * b) / total); }
    double wa;
    double wb;
    double total;
};

struct WeightedLinkRule {
    float operator()(float a, float b) const { return static_cast<float>((static_cast<double>(a) + b) * 0.5); }
};

struct FlexibleRule {
    FlexibleRule(const FlexibleCoefficients& c, float level)
        : c1(c.c1), c2(c.c2), level_term(static_cast<double>(c.c3) * level), c4(c.c4) {}
    float operator()(float a, float b) const {
        return static_cast<float>(c1 * a + c2 * b + level_term + c4 * std::fabs(static_cast<double>(a) - b));
    }
    double c1;
    double c2;
    double level_term;
    double c4;
};

constexpr std::size_t kBand = Triangle::kBand;
constexpr std::size_t kTile = Triangle::kTile;
// How far ahead the loops ask for rows (in tiles) and columns (in bands), and the floats of a
// cache line.
constexpr std::size_t kAhead = 16;
constexpr std::size_t kBandsAhead = 8;
constexpr std::size_t kLine = 16;
// Entries of a column that a thread copies out, combines and stores back at a time.
constexpr std::size_t kChunk = 16 * kBand;

// Row i of the triangle: entry (i, j) lies at tiles[j / kTile * stride + j % kTile] for j below
// the row's band (j < first), and at own[j - first] for first <= j < i.
struct RowRef {
    float* tiles;
    std::size_t stride;
    float* own;
    std::size_t first;

    float& operator[](std::size_t j) const { return j < first ? tiles[j / kTile * stride + j % kTile] : own[j - first]; }
};

RowRef RowOf(Triangle& d, std::size_t i) {
    const std::size_t first = i / kBand * kBand;
    const std::size_t a = i - first;
    const std::size_t height = d.Height(first);
    float* band = d.Band(first);
    return {band + a * kTile, height * kTile, band + first * height + a * (a - 1) / 2, first};
}

// Column j in a band below it (j < first): entry (first + a, j) lies at [a * kTile].
float* ColumnIn(Triangle& d, std::size_t first, std::size_t j) {
    return d.Band(first) + j / kTile * d.Height(first) * kTile + j % kTile;
}

// The tiles of row i left of its band.
std::size_t TilesOf(std::size_t i) { return i / kBand * kBand / kTile; }

// The smallest live entry of a stretch of a row as a scan in storage order finds it, keeping
// every entry not above the smallest so far: among equal values the last; never a NaN;
// column kNone when nothing was kept.
struct Smallest {
    float value = std::numeric_limits<float>::infinity();
    std::size_t column = kNone;

    void Take(float v, std::size_t j) {
        if (v <= value) {
            value = v;
            column = j;
        }
    }
    // Goes on with what a scan of the stretch that follows found on its own: the same as
    // scanning that stretch from here.
    void Then(const Smallest& later) {
        if (later.column != kNone && later.value <= value) *this = later;
    }
};

// The most parts a step is cut into: four per thread. The parts of a step cost unequal
// times (a stretch of rows below the joined cluster reads two columns, one above it a column
// and a row), and with one part per thread every thread then waited for the slowest; with
// smaller parts a thread that ends early takes another.
std::size_t MostParts(const Team& team) { return team.Size() == 1 ? 1 : 4 * team.Size(); }

// The first of count items that part p of parts takes.
std::size_t PartStart(std::size_t count, std::size_t parts, std::size_t p) { return count * p / parts; }

// How many parts share work over count positions: one per grain positions, MostParts at most.
std::size_t PartsFor(const Team& team, std::size_t count, std::size_t grain) {
    return std::clamp<std::size_t>(count / std::max<std::size_t>(grain, 1), 1, MostParts(team));
}

// The closest live pair, kept row by row. For every live row i of the triangle: the smallest
// value over its live columns j < i and, among equal values, the greatest j (what a scan in
// storage order keeping every value not above the best so far finds). A row may be stale: its
// value is then only a lower bound of its smallest, and the row is scanned again only when it
// comes first. A tournament tree over the rows gives the first row: the smallest value, and
// among equal values the greatest row, which comes later in storage order.
class ClosestPairSearch {
public:
    // Absent: a dead row, or one without live columns.
    enum State : char { kAbsent, kFresh, kStale };
    // Positions in the per-row records, 32 bits to spare memory (a triangle of 2^32 objects
    // would not fit in any memory).
    using Index = std::uint32_t;
    static constexpr Index kNoRow = std::numeric_limits<Index>::max();

    ClosestPairSearch(Triangle& d, Team& team, std::size_t grain) : d_(d), team_(team), grain_(grain) {
        found_.resize(MostParts(team));
        Reset(d.Order());
        // Each row on its own: the rows are shared out among the cores.
        d.ForBandRanges(team, [this](std::size_t from, std::size_t to) {
            for (std::size_t i = std::max<std::size_t>(from, 1); i < to; ++i)
                Settle(i, ScanOwn(i, ScanTiles(i, 0, TilesOf(i))));
        });
        Build();
    }

    const std::vector<char>& Live() const { return live_; }
    std::size_t LiveCount() const { return live_count_; }

    // The live pair (i, j), i > j, with the smallest value, the last in storage order among
    // equal values. There is always one while two clusters are live.
    bool Find(std::size_t& i_out, std::size_t& j_out) {
        for (;;) {
            const Index best = tree_[1];
            if (best == kNoRow) return false;
            if (state_[best] == kFresh) {
                i_out = best;
                j_out = column_[best];
                return true;
            }
            Recompute(best);
        }
    }

    void Remove(std::size_t i) {
        live_[i] = 0;
        --live_count_;
        state_[i] = kAbsent;
        Raise(i);
    }

    // Scans row i again, its tiles on as many threads as its length calls for.
    void Recompute(std::size_t i) {
        const std::size_t tiles = TilesOf(i);
        const std::size_t parts = PartsFor(team_, i, grain_);
        Smallest smallest;
        if (parts == 1) {
            smallest = ScanTiles(i, 0, tiles);
        } else {
            team_.Run(parts, [&](std::size_t p) {
                found_[p].smallest = ScanTiles(i, PartStart(tiles, parts, p), PartStart(tiles, parts, p + 1));
            });
            for (std::size_t p = 0; p < parts; ++p) smallest.Then(found_[p].smallest);
        }
        Settle(i, ScanOwn(i, smallest));
        Raise(i);
    }

    // Row i's smallest found by a scan of its entries in storage order: it becomes fresh (or
    // absent without live columns). The tree is left to the caller.
    void Settle(std::size_t i, Smallest smallest) {
        // A row of NaNs only: its last live column.
        for (std::size_t j = i; smallest.column == kNone && j-- > 0;)
            if (live_[j]) smallest.column = j;
        column_[i] = static_cast<Index>(smallest.column);
        value_[i] = smallest.column == kNone ? 0.0f : RowOf(d_, i)[smallest.column];
        state_[i] = smallest.column == kNone ? kAbsent : kFresh;
    }

    // Row m > L after a step that joined J into L: its entry in column L is now value, and
    // its entry in column J (when m > J) is gone. True when the row's value fell, so that the
    // tree must learn it (Raise). Touches nothing but row m's own record.
    bool Note(std::size_t m, std::size_t left, std::size_t right, float value) {
        const float old = value_[m];
        if (value > old && column_[m] != left && column_[m] != right) return false;  // most rows: no change
        if (LessNanLast(value, old)) {
            // Below every other entry of the row, which are not below the old value.
            value_[m] = value;
            column_[m] = static_cast<Index>(left);
            state_[m] = kFresh;
            return true;
        }
        if (state_[m] == kStale) {
            // The old value stays a lower bound.
        } else if (column_[m] == left) {
            if (!SameValue(value, old)) state_[m] = kStale;  // the smallest grew
            // (equal values in other columns lie left of L)
        } else if (column_[m] == right) {
            state_[m] = kStale;  // its smallest is gone; the others are not below the old value
        } else if (SameValue(value, old) && left > column_[m]) {
            column_[m] = static_cast<Index>(left);
        }
        return false;
    }

    void Update(std::size_t m, std::size_t left, std::size_t right, float value) {
        if (Note(m, left, right, value)) Raise(m);
    }

    // Row i's value or presence changed: replay its matches up to the root.
    void Raise(std::size_t i) {
        std::size_t node = leaves_ + i;
        tree_[node] = Leaf(i);
        for (node /= 2; node >= 1; node /= 2) tree_[node] = First(tree_[2 * node], tree_[2 * node + 1]);
    }

    // Rows from .. to - 1 changed in any way: replay the matches of all of them.
    void RaiseAll(std::size_t from, std::size_t to) {
        if (from >= to) return;
        for (std::size_t i = from; i < to; ++i) tree_[leaves_ + i] = Leaf(i);
        for (std::size_t lo = (leaves_ + from) / 2, hi = (leaves_ + to - 1) / 2; lo >= 1; lo /= 2, hi /= 2)
            for (std::size_t node = lo; node <= hi; ++node) tree_[node] = First(tree_[2 * node], tree_[2 * node + 1]);
    }

    // After the triangle kept only the positions in keep: position keep[p] is now p.
    void Renumber(const std::vector<std::size_t>& keep) {
        std::vector<std::size_t> now(value_.size(), kNone);
        for (std::size_t p = 0; p < keep.size(); ++p) now[keep[p]] = p;
        std::vector<float> value(keep.size());
        std::vector<Index> column(keep.size(), kNoRow);
        std::vector<State> state(keep.size());
        for (std::size_t p = 0; p < keep.size(); ++p) {
            value[p] = value_[keep[p]];
            state[p] = state_[keep[p]];
            if (state[p] == kFresh) column[p] = static_cast<Index>(now[column_[keep[p]]]);
        }
        Reset(keep.size());
        value_.swap(value);
        column_.swap(column);
        state_.swap(state);
        Build();
    }

    // The smallest live entry of row i over its tiles from .. to - 1 (left of its band).
    Smallest ScanTiles(std::size_t i, std::size_t from, std::size_t to) const {
        const RowRef row = RowOf(d_, i);
        Smallest smallest;
        for (std::size_t tile = from; tile < to; ++tile) {
            const float* values = row.tiles + tile * row.stride;
            if (tile + kAhead < to) Prefetch(values + kAhead * row.stride);
            const char* live = &live_[tile * kTile];
            for (std::size_t b = 0; b < kTile; ++b)
                if (live[b]) smallest.Take(values[b], tile * kTile + b);
        }
        return smallest;
    }

private:
    void Reset(std::size_t n) {
        live_.assign(n, 1);
        live_count_ = n;
        value_.assign(n, 0.0f);
        column_.assign(n, kNoRow);
        state_.assign(n, kAbsent);
        leaves_ = 1;
        while (leaves_ < n) leaves_ *= 2;
        tree_.assign(2 * leaves_, kNoRow);
    }

    // Goes on with row i's entries within its own band.
    Smallest ScanOwn(std::size_t i, Smallest smallest) const {
        const RowRef row = RowOf(d_, i);
        for (std::size_t j = row.first; j < i; ++j)
            if (live_[j]) smallest.Take(row.own[j - row.first], j);
        return smallest;
    }

    // The row that comes first of two; kNoRow for none.
    Index First(Index a, Index b) const {
        if (a == kNoRow) return b;
        if (b == kNoRow) return a;
        if (LessNanLast(value_[a], value_[b])) return a;
        if (LessNanLast(value_[b], value_[a])) return b;
        return std::max(a, b);
    }

    Index Leaf(std::size_t i) const { return state_[i] == kAbsent ? kNoRow : static_cast<Index>(i); }

    void Build() {
        for (std::size_t i = 0; i < value_.size(); ++i) tree_[leaves_ + i] = Leaf(i);
        for (std::size_t node = leaves_; node-- > 1;) tree_[node] = First(tree_[2 * node], tree_[2 * node + 1]);
    }

    // What a part of a parallel scan found, a cache line of its own.
    struct alignas(64) Found {
        Smallest smallest;
    };

    Triangle& d_;
    Team& team_;
    std::size_t grain_;
    std::vector<Found> found_;
    std::vector<char> live_;
    std::size_t live_count_ = 0;
    std::vector<float> value_;
    std::vector<Index> column_;  // where the smallest lies, in fresh rows
    std::vector<State> state_;
    std::size_t leaves_ = 1;
    std::vector<Index> tree_;
};

// Rows of its column stretch whose value fell that a thread lists for the tree; beyond that
// the tree replays the whole stretch.
constexpr std::size_t kRaises = 64;

// What each thread of a step needs and gives back, a cache line apart from the others.
struct alignas(64) JoinPart {
    Smallest row;                  // row L's smallest over the part's tiles
    std::size_t from = 0;          // its column stretch
    std::size_t to = 0;
    std::size_t raised = 0;        // rows of the stretch whose value fell
    std::size_t raise[kRaises];    // the first kRaises of them
    float a[kChunk];               // column entries copied out
    float b[kChunk];
};

// Row L left of its band, tiles from .. to - 1: the new entries, and their smallest.
template <typename Rule>
Smallest JoinRowTiles(const RowRef& row_l, const RowRef& row_j, const std::vector<char>& live, const Rule& rule,
                      std::size_t from, std::size_t to) {
    Smallest smallest;
    for (std::size_t tile = from; tile < to; ++tile) {
        float* a = row_l.tiles + tile * row_l.stride;
        const float* b = row_j.tiles + tile * row_j.stride;
        if (tile + kAhead < to) {
            Prefetch(a + kAhead * row_l.stride);
            Prefetch(b + kAhead * row_j.stride);
        }
        for (std::size_t k = 0; k < kTile; ++k) a[k] = rule(a[k], b[k]);
        for (std::size_t k = 0; k < kTile; ++k)
            if (live[tile * kTile + k]) smallest.Take(a[k], tile * kTile + k);
    }
    return smallest;
}

// Column L in the rows from .. to - 1 (whole bands below L's band), kChunk rows at a time:
// first copied out in a loop that does nothing else (so that many reads are under way at
// once), then combined, then stored back while still in the cache. The rows whose value fell
// are counted, and the first of them listed, for the tree.
template <typename Rule>
void JoinColumn(Triangle& d, ClosestPairSearch& search, const RowRef& row_j, std::size_t left, std::size_t right,
                const Rule& rule, JoinPart& part) {
    const std::vector<char>& live = search.Live();
    const std::size_t from = part.from;
    const std::size_t to = part.to;
    part.raised = 0;
    for (std::size_t start = from; start < to; start += kChunk) {
        const std::size_t end = std::min(to, start + kChunk);
        for (std::size_t first = start; first < end; first += kBand) {
            const std::size_t height = d.Height(first);
            const float* a = ColumnIn(d, first, left);
            float* a_out = &part.a[first - start];
            float* b_out = &part.b[first - start];
            if (const std::size_t ahead = first + kBandsAhead * kBand; ahead < to) {
                const std::size_t run = d.Height(ahead) * kTile;
                for (std::size_t k = 0; k < run; k += kLine) Prefetch(ColumnIn(d, ahead, left) + k);
                if (ahead > row_j.first)
                    for (std::size_t k = 0; k < run; k += kLine) Prefetch(ColumnIn(d, ahead, right) + k);
            }
            for (std::size_t k = 0; k < height; ++k) a_out[k] = a[k * kTile];
            if (first < row_j.first) {  // rows above J's band: J's entries lie in row J
                for (std::size_t tile = 0; tile < height; tile += kTile) {
                    const float* b = row_j.tiles + (first + tile) / kTile * row_j.stride;
                    for (std::size_t k = 0; k < std::min(kTile, height - tile); ++k) b_out[tile + k] = b[k];
                }
            } else if (first > row_j.first) {  // rows below J's band: in column J
                const float* b = ColumnIn(d, first, right);
                for (std::size_t k = 0; k < height; ++k) b_out[k] = b[k * kTile];
            } else {  // J's own band
                for (std::size_t k = 0; k < height; ++k) {
                    const std::size_t m = first + k;
                    b_out[k] = m < right ? row_j[m] : m > right ? d(m, right) : 0.0f;
                }
            }
        }
        const std::size_t count = end - start;
        for (std::size_t x = 0; x < count; ++x) part.a[x] = rule(part.a[x], part.b[x]);
        for (std::size_t x = 0; x < count; ++x)
            if (live[start + x] && search.Note(start + x, left, right, part.a[x])) {
                if (part.raised < kRaises) part.raise[part.raised] = start + x;
                ++part.raised;
            }
        for (std::size_t first = start; first < end; first += kBand) {
            const std::size_t height = d.Height(first);
            float* a = ColumnIn(d, first, left);
            const float* a_in = &part.a[first - start];
            for (std::size_t k = 0; k < height; ++k) a[k * kTile] = a_in[k];
        }
    }
}

// Joins the cluster at position right into the one at left (left < right): new entries of
// left against every live position m with the rule, a = D(L, m) and b = D(J, m). Row L left
// of its band and column L below its band are shared out among the threads, each taking a
// stretch of both; the short pieces within L's band are done here. Entries of dead positions
// are combined as well (nothing reads them again), so that those loops run without a test.
template <typename Rule>
void Join(Triangle& d, ClosestPairSearch& search, Team& team, std::size_t grain, std::size_t left,
          std::size_t right, const Rule& rule, std::vector<JoinPart>& parts_work) {
    const std::size_t n = d.Order();
    search.Remove(right);
    const std::vector<char>& live = search.Live();
    const RowRef row_l = RowOf(d, left);
    const RowRef row_j = RowOf(d, right);
    const std::size_t tiles = row_l.first / kTile;
    const std::size_t below = std::min(n, row_l.first + kBand);  // the first row below L's band
    const std::size_t bands = (n - below + kBand - 1) / kBand;
    const std::size_t parts = PartsFor(team, n, grain);
    team.Run(parts, [&](std::size_t p) {
        JoinPart& part = parts_work[p];
        part.row = JoinRowTiles(row_l, row_j, live, rule, PartStart(tiles, parts, p), PartStart(tiles, parts, p + 1));
        part.from = below + PartStart(bands, parts, p) * kBand;
        part.to = std::min(n, below + PartStart(bands, parts, p + 1) * kBand);
        JoinColumn(d, search, row_j, left, right, rule, part);
    });

    // Row L: its tiles part after part, then within its band.
    Smallest smallest;
    for (std::size_t p = 0; p < parts; ++p) smallest.Then(parts_work[p].row);
    for (std::size_t m = row_l.first; m < left; ++m) {
        float& a = row_l.own[m - row_l.first];
        a = rule(a, row_j[m]);
        if (live[m]) smallest.Take(a, m);
    }
    search.Settle(left, smallest);
    search.Raise(left);

    // Column L within L's own band.
    for (std::size_t m = left + 1; m < below; ++m) {
        if (!live[m]) continue;
        float& a = d(m, left);
        a = rule(a, m < right ? row_j[m] : d(m, right));
        search.Update(m, left, right, a);
    }
    for (std::size_t p = 0; p < parts; ++p) {
        const JoinPart& part = parts_work[p];
        if (part.raised > kRaises) {
            search.RaiseAll(part.from, part.to);
        } else {
            for (std::size_t x = 0; x < part.raised; ++x) search.Raise(part.raise[x]);
        }
    }
}

// The aggregation with the update rule that make_rule(nL, nJ, level) gives for each step.
// The triangle is indexed by position; positions keep the order of the slots, and when a
// quarter of them are dead the triangle is packed again over the live ones, so that its rows
// and columns stay dense.
template <typename MakeRule>
std::vector<Step> AggregateWith(Triangle& d, Team& team, std::size_t grain, MakeRule make_rule) {
    const std::size_t n = d.Order();
    std::vector<Step> steps;
    if (n < 2) return steps;
    steps.reserve(n - 1);
    std::vector<std::size_t> slot(n);  // the slot at each position
    std::iota(slot.begin(), slot.end(), std::size_t{0});
    std::vector<std::size_t> size(n, 1);  // by slot
    std::vector<std::size_t> label(n);    // by slot
    for (std::size_t i = 0; i < n; ++i) label[i] = i + 1;

    ClosestPairSearch search(d, team, grain);
    std::vector<JoinPart> parts(MostParts(team));
    for (std::size_t k = 1; k < n; ++k) {
        std::size_t right = 0;
        std::size_t left = 0;
        if (!search.Find(right, left)) break;  // cannot happen while two clusters are live
        const float level = d(right, left);
        const std::size_t sl = slot[left];
        const std::size_t sr = slot[right];

        Step step;
        step.left = sl + 1;
        step.right = sr + 1;
        step.left_label = label[sl];
        step.right_label = label[sr];
        step.level = level;
        step.size = size[sl] + size[sr];
        steps.push_back(step);

        Join(d, search, team, grain, left, right, make_rule(size[sl], size[sr], level), parts);
        size[sl] += size[sr];
        size[sr] = 0;
        label[sl] = n + k;

        if (search.LiveCount() * 4 <= d.Order() * 3 && search.LiveCount() > 1) {
            std::vector<std::size_t> keep;
            keep.reserve(search.LiveCount());
            for (std::size_t p = 0; p < d.Order(); ++p)
                if (search.Live()[p]) keep.push_back(p);
            d.Keep(keep, team, grain);
            search.Renumber(keep);
            for (std::size_t p = 0; p < keep.size(); ++p) slot[p] = slot[keep[p]];
        }
    }
    return steps;
}

}  // namespace

float UpdatedDissimilarity(int method, const FlexibleCoefficients& c, float a, float b, std::size_t na,
                           std::size_t nb, float level) {
    switch (method) {
        case kCompleteLink: return CompleteLinkRule()(a, b);
        case kAverageLink: return AverageLinkRule(na, nb)(a, b);
        case kWeightedLink: return WeightedLinkRule()(a, b);
        case kFlexible: return FlexibleRule(c, level)(a, b);
        default: return SingleLinkRule()(a, b);  // single link, and any code outside 1 to 5
    }
}

std::vector<Step> Aggregate(Triangle& d, int method, const FlexibleCoefficients& c, std::size_t grain) {
    // Threads only where a step can be shared out.
    Team team(d.Order() / std::max<std::size_t>(grain, 1) >= 2 ? 0 : 1);
    return Aggregate(d, method, c, team, grain);
}

std::vector<Step> Aggregate(Triangle& d, int method, const FlexibleCoefficients& c, Team& team, std::size_t grain) {
    switch (method) {
        case kCompleteLink:
            return AggregateWith(d, team, grain, [](std::size_t, std::size_t, float) { return CompleteLinkRule(); });
        case kAverageLink:
            return AggregateWith(d, team, grain, [](std::size_t na, std::size_t nb, float) { return AverageLinkRule(na, nb); });
        case kWeightedLink:
            return AggregateWith(d, team, grain, [](std::size_t, std::size_t, float) { return WeightedLinkRule(); });
        case kFlexible:
            return AggregateWith(d, team, grain, [&c](std::size_t, std::size_t, float level) { return FlexibleRule(c, level); });
        default:
            return AggregateWith(d, team, grain, [](std::size_t, std::size_t, float) { return SingleLinkRule(); });
    }
}

}  // namespace fenola
