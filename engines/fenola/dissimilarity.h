// Dissimilarities between the objects of a classification.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace fenola {

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

// The strict lower triangle of an n x n matrix stored by rows: entry (i, j), i > j, 0-based.
inline std::size_t TriangleIndex(std::size_t i, std::size_t j) { return i * (i - 1) / 2 + j; }
inline std::size_t TriangleSize(std::size_t n) { return n < 2 ? 0 : n * (n - 1) / 2; }

// Replaces every column by its z-scores over the objects (mean and standard deviation with
// divisor nlin - 1, both in double, two passes). A column with no spread becomes 0.
void StandardiseColumns(ObjectTable& table);

// Fills d (TriangleSize(nlin) entries) with the measure idist (1 to 8) between every pair of
// objects. For the measures that divide by row totals, an object whose total is 0 makes the
// measure undefined: the function then returns its 0-based number and leaves d unspecified.
std::optional<std::size_t> ComputeDissimilarities(const ObjectTable& table, int idist, std::vector<float>& d);

// Turns similarities into dissimilarities: each value is clamped to [-1, 1], then 1 - value.
void SimilaritiesToDissimilarities(std::vector<float>& d);

}  // namespace fenola
