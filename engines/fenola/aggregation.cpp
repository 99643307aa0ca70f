#include "engines/fenola/aggregation.h"

#include <limits>

#include "engines/fenola/dissimilarity.h"

namespace fenola {
namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();

// The minimum of row i of the triangle over live columns j < i (0-based); among equal values
// the greatest j, as a scan in storage order keeping every value not above the best so far.
struct RowMinimum {
    float value = 0.0f;
    std::size_t column = kNone;
};

class ClosestPairSearch {
public:
    ClosestPairSearch(const std::vector<float>& d, const std::vector<char>& live, std::size_t n)
        : d_(d), live_(live), rows_(n) {
        for (std::size_t i = 1; i < n; ++i) Recompute(i);
    }

    // The live pair (i, j), i > j, with the smallest value, the last in storage order among
    // equal values. There is always one while two clusters are live.
    bool Find(std::size_t& i_out, std::size_t& j_out) const {
        std::size_t best = kNone;
        for (std::size_t i = 1; i < rows_.size(); ++i) {
            const RowMinimum& r = rows_[i];
            if (!live_[i] || r.column == kNone) continue;
            if (best == kNone || !LessNanLast(rows_[best].value, r.value)) best = i;
        }
        if (best == kNone) return false;
        i_out = best;
        j_out = rows_[best].column;
        return true;
    }

    void Recompute(std::size_t i) {
        const float* row = &d_[TriangleIndex(i, 0)];
        RowMinimum r;
        // First pass over numbers only (a NaN never compares as not greater), then the last
        // live NaN when the row holds nothing else.
        float best = std::numeric_limits<float>::infinity();
        for (std::size_t j = 0; j < i; ++j) {
            if (live_[j] && row[j] <= best) {
                best = row[j];
                r.column = j;
            }
        }
        if (r.column == kNone) {
            for (std::size_t j = i; j-- > 0;) {
                if (live_[j]) {
                    r.column = j;
                    break;
                }
            }
        }
        if (r.column != kNone) r.value = row[r.column];
        rows_[i] = r;
    }

    // Row m > L after a step that joined J into L: its entry in column L is now value, and
    // its entry in column J (when m > J) is gone.
    void Update(std::size_t m, std::size_t left, std::size_t right, float value) {
        RowMinimum& r = rows_[m];
        if (r.column == right) {
            Recompute(m);
        } else if (r.column == left) {
            if (LessNanLast(r.value, value))
                Recompute(m);  // the minimum grew: another column may now be smaller
            else
                r.value = value;
        } else if (r.column == kNone || LessNanLast(value, r.value) ||
                   (SameValue(value, r.value) && left > r.column)) {
            r.value = value;
            r.column = left;
        }
    }

private:
    const std::vector<float>& d_;
    const std::vector<char>& live_;
    std::vector<RowMinimum> rows_;
};

}  // namespace

float UpdatedDissimilarity(int method, const FlexibleCoefficients& c, float a, float b, std::size_t na,
                           std::size_t nb, float level) {
    switch (method) {
        case kCompleteLink:
            return LessNanLast(a, b) ? b : a;
        case kAverageLink: {
            const double wa = static_cast<double>(na);
            const double wb = static_cast<double>(nb);
            return static_cast<float>((wa * a + wb * b) / (wa + wb));
        }
        case kWeightedLink:
            return static_cast<float>((static_cast<double>(a) + b) * 0.5);
        case kFlexible:
            return static_cast<float>(static_cast<double>(c.c1) * a + static_cast<double>(c.c2) * b +
                                      static_cast<double>(c.c3) * level +
                                      static_cast<double>(c.c4) * std::fabs(static_cast<double>(a) - b));
        default:  // single link, and any code outside 1 to 5
            return LessNanLast(b, a) ? b : a;
    }
}

std::vector<Step> Aggregate(std::vector<float>& d, std::size_t n, int method, const FlexibleCoefficients& c) {
    std::vector<Step> steps;
    if (n < 2) return steps;
    steps.reserve(n - 1);
    std::vector<char> live(n, 1);
    std::vector<std::size_t> size(n, 1);
    std::vector<std::size_t> label(n);
    for (std::size_t i = 0; i < n; ++i) label[i] = i + 1;

    ClosestPairSearch search(d, live, n);
    for (std::size_t k = 1; k < n; ++k) {
        std::size_t right = 0;
        std::size_t left = 0;
        if (!search.Find(right, left)) break;  // cannot happen while two clusters are live
        const float level = d[TriangleIndex(right, left)];

        Step step;
        step.left = left + 1;
        step.right = right + 1;
        step.left_label = label[left];
        step.right_label = label[right];
        step.level = level;
        step.size = size[left] + size[right];
        steps.push_back(step);

        // New dissimilarities of the joined cluster, kept in slot L; slot J is emptied.
        const std::size_t nl = size[left];
        const std::size_t nj = size[right];
        live[right] = 0;
        for (std::size_t m = 0; m < left; ++m) {
            if (!live[m]) continue;
            float& a = d[TriangleIndex(left, m)];
            const float b = d[TriangleIndex(right, m)];
            a = UpdatedDissimilarity(method, c, a, b, nl, nj, level);
        }
        search.Recompute(left);
        for (std::size_t m = left + 1; m < n; ++m) {
            if (!live[m]) continue;
            float& a = d[TriangleIndex(m, left)];
            const float b = m < right ? d[TriangleIndex(right, m)] : d[TriangleIndex(m, right)];
            a = UpdatedDissimilarity(method, c, a, b, nl, nj, level);
            search.Update(m, left, right, a);
        }
        size[left] = nl + nj;
        size[right] = 0;
        label[left] = n + k;
    }
    return steps;
}

}  // namespace fenola
