// Dissimilarities between the objects of a classification.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace fenola {

class Team;

// The objects to classify: nlin rows (objects) of ncol values, stored row by row.
struct ObjectTable {
    std::size_t nlin = 0;
    std::size_t ncol = 0;
    std::vector<float> y;  // y[i * ncol + k], 0-based

    float& At(std::size_t i, std::size_t k) { return y[i * ncol + k]; }
    float At(std::size_t i, std::size_t k) const { return y[i * ncol + k]; }
};

// Codes of the eight measures.
enum Measure : int {
    kCosTheta = 1,
    kReducedEuclidean = 2,
    kCorrelation = 3,
    kEuclidean = 4,
    kChiSquare = 5,
    kGower = 6,
    kSteinhaus = 7,
    kKulczynski = 8,
};

inline bool IsValidMeasure(int idist) { return idist >= 1 && idist <= 8; }

// Measures 1, 3 and 8 give similarities, turned into dissimilarities before the aggregation.
inline bool IsSimilarity(int idist) { return idist == kCosTheta || idist == kCorrelation || idist == kKulczynski; }

// Measures that divide by an object's row total.
inline bool NeedsRowTotals(int idist) { return idist == kChiSquare || idist == kSteinhaus || idist == kKulczynski; }

inline std::size_t TriangleSize(std::size_t n) { return n < 2 ? 0 : n * (n - 1) / 2; }

// Asks the processor to start fetching the cache line that holds *p, where the compiler offers
// a way to. The loops over the triangle read rows and columns in stretches too short and too
// far apart for the processor to foresee on its own.
inline void Prefetch(const float* p) {
#if defined(__GNUC__)
    __builtin_prefetch(p);
#else
    static_cast<void>(p);
#endif
}

// The dissimilarities between n objects: the strict lower triangle of an n x n matrix, entry
// (i, j) for i > j (0-based), n(n - 1)/2 values and nothing more.
//
// The rows are grouped in bands of kBand rows. A band holds first the part of its rows left of
// the band's own columns, as tiles of kTile columns stored one after the other, each tile row
// by row; then the band's own small triangle, row by row. A row is read kTile values at a time
// and a column kBand rows at a time from one contiguous stretch, so that the aggregation,
// which walks both a row and a column of the triangle at every step, reads memory in sequence
// instead of touching a new cache line and page per entry of a column. With at most kBand
// objects the layout is the plain one, row by row.
class Triangle {
public:
    static constexpr std::size_t kBand = 16;
    static constexpr std::size_t kTile = 4;

    Triangle() = default;
    // All entries 0.
    explicit Triangle(std::size_t n) : Triangle(n, true) {}
    Triangle(const Triangle& other);
    Triangle& operator=(const Triangle& other);
    Triangle(Triangle&&) noexcept = default;
    Triangle& operator=(Triangle&&) noexcept = default;

    // Below this many entries a pass over the whole triangle runs on the calling thread alone:
    // a thread would cost more than it saves.
    static constexpr std::size_t kSharedPassEntries = 200000;

    // Entry (i, j) = value(i, j), computed by the team, each band by one of its threads; value
    // must give the same for the same pair whichever thread asks.
    template <typename PairValue>
    static Triangle Filled(std::size_t n, const PairValue& value, Team& team) {
        Triangle d(n, false);
        d.ForBandRanges(team, [&d, &value](std::size_t from, std::size_t to) { d.FillBands(from, to, value); });
        return d;
    }
    // From the entries listed row by row: (1,0), (2,0), (2,1), (3,0) ...
    static Triangle FromRows(std::size_t n, const std::vector<float>& rows);

    std::size_t Order() const { return n_; }
    float& operator()(std::size_t i, std::size_t j) { return values_[Index(i, j)]; }
    float operator()(std::size_t i, std::size_t j) const { return values_[Index(i, j)]; }
    // Every entry, in storage order, for passes that treat the entries one by one.
    std::span<float> Values() { return {values_.get(), size_}; }
    std::span<const float> Values() const { return {values_.get(), size_}; }
    // True when every entry is a finite number; the team shares the reading.
    bool AllFinite(Team& team) const;
    // Gives the memory back.
    void Clear() { *this = Triangle(); }
    // Keeps only the objects listed in keep (increasing), in place: entry (i, j) becomes entry
    // (keep[i], keep[j]) of the triangle as it was. The memory stays reserved. Each band is
    // shared out among the team, one thread per grain columns.
    void Keep(const std::vector<std::size_t>& keep, Team& team, std::size_t grain);

    std::size_t Index(std::size_t i, std::size_t j) const {
        const std::size_t first = i / kBand * kBand;  // first row of the band
        const std::size_t a = i - first;
        const std::size_t height = std::min(kBand, n_ - first);
        const std::size_t start = TriangleSize(first);
        if (j < first) return start + (j / kTile * height + a) * kTile + j % kTile;
        return start + first * height + a * (a - 1) / 2 + (j - first);
    }

    // Direct access for the loops of the aggregation. The band of rows first..first + height - 1
    // (first a multiple of kBand) starts at Band(first); entry (first + a, j) lies at
    // Band(first)[(j / kTile * height + a) * kTile + j % kTile] for j < first, and at
    // Band(first)[first * height + a * (a - 1) / 2 + j - first] for first <= j < first + a.
    std::size_t Height(std::size_t first) const { return std::min(kBand, n_ - first); }
    float* Band(std::size_t first) { return values_.get() + TriangleSize(first); }
    const float* Band(std::size_t first) const { return values_.get() + TriangleSize(first); }

    // Calls work(from, to) for ranges of rows made of whole bands, holding about as many
    // entries each, that together cover all the rows, one range per thread of the team;
    // returns when all are done.
    void ForBandRanges(Team& team, const std::function<void(std::size_t, std::size_t)>& work) const;

private:
    Triangle(std::size_t n, bool zero);

    // Stores value(i, j) for the entries of the bands whose rows lie in from..to - 1.
    template <typename PairValue>
    void FillBands(std::size_t from, std::size_t to, const PairValue& value) {
        float* out = Band(from);
        for (std::size_t first = from; first < to; first += kBand) {
            const std::size_t height = Height(first);
            for (std::size_t tile = 0; tile < first; tile += kTile)
                for (std::size_t a = 0; a < height; ++a)
                    for (std::size_t b = 0; b < kTile; ++b) *out++ = static_cast<float>(value(first + a, tile + b));
            for (std::size_t a = 1; a < height; ++a)
                for (std::size_t b = 0; b < a; ++b) *out++ = static_cast<float>(value(first + a, first + b));
        }
    }

    struct Free {
        void operator()(float* values) const;
    };

    std::size_t n_ = 0;
    std::size_t size_ = 0;
    std::unique_ptr<float[], Free> values_;
};

// Replaces every column by its z-scores over the objects (mean and standard deviation with
// divisor nlin - 1, both in double, two passes). A column with no spread becomes 0.
void StandardiseColumns(ObjectTable& table);

// Fills d (of order nlin) with the measure idist (1 to 8) between every pair of objects. For
// the measures that divide by row totals, an object whose total is 0 makes the measure
// undefined: the function then returns its 0-based number and leaves d unspecified. The team
// shares the computing; without one, the function makes its own.
std::optional<std::size_t> ComputeDissimilarities(const ObjectTable& table, int idist, Triangle& d, Team& team);
std::optional<std::size_t> ComputeDissimilarities(const ObjectTable& table, int idist, Triangle& d);

// Turns similarities into dissimilarities: each value is clamped to [-1, 1], then 1 - value.
void SimilaritiesToDissimilarities(std::span<float> d);

}  // namespace fenola
