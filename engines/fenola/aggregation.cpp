#include "engines/fenola/aggregation.h"

#include <algorithm>
#include <limits>
#include <numeric>

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

    explicit ClosestPairSearch(Triangle& d) : d_(d) {
        Reset(d.Order());
        // Each row on its own: the rows are shared out among the cores.
        d.ForBandRanges([this](std::size_t from, std::size_t to) {
            for (std::size_t i = std::max<std::size_t>(from, 1); i < to; ++i) Scan(i);
        });
        Build();
    }

    const std::vector<char>& Live() const { return live_; }
    std::size_t LiveCount() const { return live_count_; }

    // The live pair (i, j), i > j, with the smallest value, the last in storage order among
    // equal values. There is always one while two clusters are live.
    bool Find(std::size_t& i_out, std::size_t& j_out) {
        for (;;) {
            const std::size_t best = tree_[1];
            if (best == kNone) return false;
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

    void Recompute(std::size_t i) {
        Scan(i);
        Raise(i);
    }

    // Row m > L after a step that joined J into L: its entry in column L is now value, and
    // its entry in column J (when m > J) is gone.
    void Update(std::size_t m, std::size_t left, std::size_t right, float value) {
        const float old = value_[m];
        if (value > old && column_[m] != left && column_[m] != right) return;  // most rows: no change
        if (LessNanLast(value, old)) {
            // Below every other entry of the row, which are not below the old value.
            value_[m] = value;
            column_[m] = left;
            state_[m] = kFresh;
            Raise(m);
        } else if (state_[m] == kStale) {
            // The old value stays a lower bound.
        } else if (column_[m] == left) {
            if (!SameValue(value, old)) state_[m] = kStale;  // the smallest grew
            // (equal values in other columns lie left of L)
        } else if (column_[m] == right) {
            state_[m] = kStale;  // its smallest is gone; the others are not below the old value
        } else if (SameValue(value, old) && left > column_[m]) {
            column_[m] = left;
        }
    }

    // After the triangle kept only the positions in keep: position keep[p] is now p.
    void Renumber(const std::vector<std::size_t>& keep) {
        std::vector<std::size_t> now(value_.size(), kNone);
        for (std::size_t p = 0; p < keep.size(); ++p) now[keep[p]] = p;
        std::vector<float> value(keep.size());
        std::vector<std::size_t> column(keep.size(), kNone);
        std::vector<State> state(keep.size());
        for (std::size_t p = 0; p < keep.size(); ++p) {
            value[p] = value_[keep[p]];
            state[p] = state_[keep[p]];
            if (state[p] == kFresh) column[p] = now[column_[keep[p]]];
        }
        Reset(keep.size());
        value_.swap(value);
        column_.swap(column);
        state_.swap(state);
        Build();
    }

private:
    void Reset(std::size_t n) {
        live_.assign(n, 1);
        live_count_ = n;
        value_.assign(n, 0.0f);
        column_.assign(n, kNone);
        state_.assign(n, kAbsent);
        leaves_ = 1;
        while (leaves_ < n) leaves_ *= 2;
        tree_.assign(2 * leaves_, kNone);
    }

    // The row's smallest entry, fresh. First over numbers only (a NaN never compares as not
    // greater), then the last live NaN when the row holds nothing else.
    void Scan(std::size_t i) {
        const RowRef row = RowOf(d_, i);
        std::size_t column = kNone;
        float best = std::numeric_limits<float>::infinity();
        for (std::size_t tile = 0; tile < row.first; tile += kTile) {
            const float* values = row.tiles + tile / kTile * row.stride;
            if (tile + kAhead * kTile < row.first) Prefetch(values + kAhead * row.stride);
            const char* live = &live_[tile];
            for (std::size_t b = 0; b < kTile; ++b) {
                if (live[b] && values[b] <= best) {
                    best = values[b];
                    column = tile + b;
                }
            }
        }
        for (std::size_t j = row.first; j < i; ++j) {
            if (live_[j] && row.own[j - row.first] <= best) {
                best = row.own[j - row.first];
                column = j;
            }
        }
        for (std::size_t j = i; column == kNone && j-- > 0;)
            if (live_[j]) column = j;
        column_[i] = column;
        value_[i] = column == kNone ? 0.0f : row[column];
        state_[i] = column == kNone ? kAbsent : kFresh;
    }

    // The row that comes first of two; kNone for none.
    std::size_t First(std::size_t a, std::size_t b) const {
        if (a == kNone) return b;
        if (b == kNone) return a;
        if (LessNanLast(value_[a], value_[b])) return a;
        if (LessNanLast(value_[b], value_[a])) return b;
        return std::max(a, b);
    }

    std::size_t Leaf(std::size_t i) const { return state_[i] == kAbsent ? kNone : i; }

    void Build() {
        for (std::size_t i = 0; i < value_.size(); ++i) tree_[leaves_ + i] = Leaf(i);
        for (std::size_t node = leaves_; node-- > 1;) tree_[node] = First(tree_[2 * node], tree_[2 * node + 1]);
    }

    // Row i's value or presence changed: replay its matches up to the root.
    void Raise(std::size_t i) {
        std::size_t node = leaves_ + i;
        tree_[node] = Leaf(i);
        for (node /= 2; node >= 1; node /= 2) tree_[node] = First(tree_[2 * node], tree_[2 * node + 1]);
    }

    Triangle& d_;
    std::vector<char> live_;
    std::size_t live_count_ = 0;
    std::vector<float> value_;
    std::vector<std::size_t> column_;  // where the smallest lies, in fresh rows
    std::vector<State> state_;
    std::size_t leaves_ = 1;
    std::vector<std::size_t> tree_;
};

// Joins the cluster at position right into the one at left (left < right): new entries of
// left against every live position m with the rule, a = D(L, m) and b = D(J, m). Rows L and J
// are read tile by tile. Columns L and J are read band by band, kTile rows from one contiguous
// stretch, a chunk of bands at a time: first copied out in a loop that does nothing else (so
// that many reads are under way at once), then combined, then stored back while still in the
// cache. Entries of dead positions are combined as well (nothing reads them again), so that
// those loops run without a test.
template <typename Rule>
void Join(Triangle& d, ClosestPairSearch& search, std::size_t left, std::size_t right, const Rule& rule,
          std::vector<float>& a_buffer, std::vector<float>& b_buffer) {
    const std::size_t n = d.Order();
    search.Remove(right);
    const std::vector<char>& live = search.Live();
    const RowRef row_l = RowOf(d, left);
    const RowRef row_j = RowOf(d, right);
    for (std::size_t tile = 0; tile < row_l.first; tile += kTile) {
        float* a = row_l.tiles + tile / kTile * row_l.stride;
        const float* b = row_j.tiles + tile / kTile * row_j.stride;
        if (tile + kAhead * kTile < row_l.first) {
            Prefetch(a + kAhead * row_l.stride);
            Prefetch(b + kAhead * row_j.stride);
        }
        for (std::size_t k = 0; k < kTile; ++k) a[k] = rule(a[k], b[k]);
    }
    for (std::size_t m = row_l.first; m < left; ++m) {
        float& a = row_l.own[m - row_l.first];
        a = rule(a, row_j[m]);
    }
    search.Recompute(left);

    // Column L within L's own band.
    for (std::size_t m = left + 1; m < std::min(n, row_l.first + kBand); ++m) {
        if (!live[m]) continue;
        float& a = d(m, left);
        a = rule(a, m < right ? row_j[m] : d(m, right));
        search.Update(m, left, right, a);
    }
    // Column L below, a chunk of bands at a time.
    constexpr std::size_t kChunk = 16 * kBand;
    a_buffer.resize(kChunk);
    b_buffer.resize(kChunk);
    for (std::size_t start = row_l.first + kBand; start < n; start += kChunk) {
        const std::size_t end = std::min(n, start + kChunk);
        for (std::size_t first = start; first < end; first += kBand) {
            const std::size_t height = d.Height(first);
            const float* a = ColumnIn(d, first, left);
            float* a_out = &a_buffer[first - start];
            float* b_out = &b_buffer[first - start];
            if (const std::size_t ahead = first + kBandsAhead * kBand; ahead < n) {
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
        for (std::size_t x = 0; x < count; ++x) a_buffer[x] = rule(a_buffer[x], b_buffer[x]);
        for (std::size_t x = 0; x < count; ++x)
            if (live[start + x]) search.Update(start + x, left, right, a_buffer[x]);
        for (std::size_t first = start; first < end; first += kBand) {
            const std::size_t height = d.Height(first);
            float* a = ColumnIn(d, first, left);
            const float* a_in = &a_buffer[first - start];
            for (std::size_t k = 0; k < height; ++k) a[k * kTile] = a_in[k];
        }
    }
}

// The aggregation with the update rule that make_rule(nL, nJ, level) gives for each step.
// The triangle is indexed by position; positions keep the order of the slots, and when a
// quarter of them are dead the triangle is packed again over the live ones, so that its rows
// and columns stay dense.
template <typename MakeRule>
std::vector<Step> AggregateWith(Triangle& d, MakeRule make_rule) {
    const std::size_t n = d.Order();
    std::vector<Step> steps;
    if (n < 2) return steps;
    steps.reserve(n - 1);
    std::vector<std::size_t> slot(n);  // the slot at each position
    std::iota(slot.begin(), slot.end(), std::size_t{0});
    std::vector<std::size_t> size(n, 1);  // by slot
    std::vector<std::size_t> label(n);    // by slot
    for (std::size_t i = 0; i < n; ++i) label[i] = i + 1;

    ClosestPairSearch search(d);
    std::vector<float> a_buffer;
    std::vector<float> b_buffer;
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

        Join(d, search, left, right, make_rule(size[sl], size[sr], level), a_buffer, b_buffer);
        size[sl] += size[sr];
        size[sr] = 0;
        label[sl] = n + k;

        if (search.LiveCount() * 4 <= d.Order() * 3 && search.LiveCount() > 1) {
            std::vector<std::size_t> keep;
            keep.reserve(search.LiveCount());
            for (std::size_t p = 0; p < d.Order(); ++p)
                if (search.Live()[p]) keep.push_back(p);
            d.Keep(keep);
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

std::vector<Step> Aggregate(Triangle& d, int method, const FlexibleCoefficients& c) {
    switch (method) {
        case kCompleteLink:
            return AggregateWith(d, [](std::size_t, std::size_t, float) { return CompleteLinkRule(); });
        case kAverageLink:
            return AggregateWith(d, [](std::size_t na, std::size_t nb, float) { return AverageLinkRule(na, nb); });
        case kWeightedLink:
            return AggregateWith(d, [](std::size_t, std::size_t, float) { return WeightedLinkRule(); });
        case kFlexible:
            return AggregateWith(d, [&c](std::size_t, std::size_t, float level) { return FlexibleRule(c, level); });
        default:
            return AggregateWith(d, [](std::size_t, std::size_t, float) { return SingleLinkRule(); });
    }
}

}  // namespace fenola
