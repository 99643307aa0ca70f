#include "engines/fenola/dissimilarity.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "engines/fenola/team.h"

namespace fenola {
namespace {

// A triangle of this many bytes or more lies in pages of 2 MiB where the system offers them:
// its columns are read one entry a row apart, and with small pages nearly every entry of a
// column costs a miss of the address cache; and a run of millions of page faults is cut to
// thousands.
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kHugeFrom = 4 * kHugePage;

float* AllocateEntries(std::size_t count, bool zero) {
    if (count > (std::numeric_limits<std::size_t>::max() - kHugePage) / sizeof(float)) throw std::bad_alloc();
    const std::size_t bytes = std::max<std::size_t>(count, 1) * sizeof(float);
    void* values = nullptr;
    if (bytes >= kHugeFrom) {
        const std::size_t whole = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        values = std::aligned_alloc(kHugePage, whole);
#ifdef MADV_HUGEPAGE
        if (values) madvise(values, whole, MADV_HUGEPAGE);  // a hint: without it, small pages
#endif
    } else {
        values = std::malloc(bytes);
    }
    if (!values) throw std::bad_alloc();
    if (zero) std::memset(values, 0, bytes);
    return static_cast<float*>(values);
}

constexpr std::size_t kAheadKeep = 16 * Triangle::kTile;  // kept columns read ahead

// Mean and standard deviation (divisor count - 1) of count values spaced stride apart, two
// passes in double. Values all equal give exactly 0, whatever their rounding.
struct Spread {
    double mean = 0.0;
    double sd = 0.0;
};

Spread SpreadOf(const float* values, std::size_t count, std::size_t stride) {
    Spread s;
    if (count == 0) return s;
    double sum = 0.0;
    float lo = values[0];
    float hi = values[0];
    for (std::size_t i = 0; i < count; ++i) {
        const float v = values[i * stride];
        sum += v;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    s.mean = sum / static_cast<double>(count);
    if (count < 2 || lo == hi) return s;
    double squares = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double dev = values[i * stride] - s.mean;
        squares += dev * dev;
    }
    s.sd = std::sqrt(squares / static_cast<double>(count - 1));
    return s;
}

// Each object row standardised by its own mean and standard deviation (divisor ncol - 1).
std::vector<double> StandardisedRows(const ObjectTable& t) {
    std::vector<double> z(t.nlin * t.ncol, 0.0);
    for (std::size_t i = 0; i < t.nlin; ++i) {
        const Spread s = SpreadOf(&t.y[i * t.ncol], t.ncol, 1);
        if (!(s.sd > 0.0)) continue;  // no spread: z stays 0
        for (std::size_t k = 0; k < t.ncol; ++k) z[i * t.ncol + k] = (t.At(i, k) - s.mean) / s.sd;
    }
    return z;
}

std::vector<double> RowTotals(const ObjectTable& t) {
    std::vector<double> totals(t.nlin, 0.0);
    for (std::size_t i = 0; i < t.nlin; ++i) {
        double sum = 0.0;
        for (std::size_t k = 0; k < t.ncol; ++k) sum += t.At(i, k);
        totals[i] = sum;
    }
    return totals;
}

// A new triangle of order n holding value(i, j) for every pair i > j.
template <typename PairValue>
void FillTriangle(std::size_t n, Triangle& d, Team& team, PairValue value) {
    d.Clear();  // the old entries go before the new ones are reserved
    d = Triangle::Filled(n, value, team);
}

void ProductMoment(const ObjectTable& t, Triangle& d, Team& team) {
    const std::vector<double> z = StandardisedRows(t);
    const std::size_t m = t.ncol;
    const double divisor = m < 2 ? 0.0 : static_cast<double>(m - 1);
    FillTriangle(t.nlin, d, team, [&](std::size_t i, std::size_t j) {
        if (divisor == 0.0) return 0.0;
        const double* zi = &z[i * m];
        const double* zj = &z[j * m];
        double sum = 0.0;
        for (std::size_t k = 0; k < m; ++k) sum += zi[k] * zj[k];
        return sum / divisor;
    });
}

void SquaredEuclidean(const ObjectTable& t, Triangle& d, Team& team) {
    const std::size_t m = t.ncol;
    const double scale = static_cast<double>(m) * static_cast<double>(m);
    FillTriangle(t.nlin, d, team, [&](std::size_t i, std::size_t j) {
        const float* yi = &t.y[i * m];
        const float* yj = &t.y[j * m];
        double sum = 0.0;
        for (std::size_t k = 0; k < m; ++k) {
            const double diff = static_cast<double>(yi[k]) - yj[k];
            sum += diff * diff;
        }
        return sum / scale;
    });
}

void ChiSquare(const ObjectTable& t, const std::vector<double>& totals, Triangle& d, Team& team) {
    const std::size_t m = t.ncol;
    double grand = 0.0;
    for (double v : totals) grand += v;
    // Column proportions; a column whose proportion is not positive (or a zero grand total)
    // takes no part.
    std::vector<double> proportion(m, 0.0);
    std::vector<std::size_t> used;
    for (std::size_t k = 0; k < m; ++k) {
        double sum = 0.0;
        for (std::size_t i = 0; i < t.nlin; ++i) sum += t.At(i, k);
        if (grand != 0.0) proportion[k] = sum / grand;
        if (proportion[k] > 0.0 && std::isfinite(proportion[k])) used.push_back(k);
    }
    std::vector<double> profile(t.nlin * m);
    for (std::size_t i = 0; i < t.nlin; ++i)
        for (std::size_t k = 0; k < m; ++k) profile[i * m + k] = t.At(i, k) / totals[i];
    FillTriangle(t.nlin, d, team, [&](std::size_t i, std::size_t j) {
        double sum = 0.0;
        for (std::size_t k : used) {
            const double diff = profile[i * m + k] - profile[j * m + k];
            const double sq = diff * diff;
            if (sq > 1e-10) sum += sq / proportion[k];
        }
        return sum;
    });
}

void Gower(const ObjectTable& t, Triangle& d, Team& team) {
    const std::size_t m = t.ncol;
    // Weight of a column: 1 / (range x ncol); a column with no range contributes nothing.
    std::vector<double> weight(m, 0.0);
    for (std::size_t k = 0; k < m; ++k) {
        float lo = t.At(0, k);
        float hi = lo;
        for (std::size_t i = 1; i < t.nlin; ++i) {
            lo = std::min(lo, t.At(i, k));
            hi = std::max(hi, t.At(i, k));
        }
        const double range = (static_cast<double>(hi) - lo) * static_cast<double>(m);
        if (range > 0.0) weight[k] = 1.0 / range;
    }
    FillTriangle(t.nlin, d, team, [&](std::size_t i, std::size_t j) {
        const float* yi = &t.y[i * m];
        const float* yj = &t.y[j * m];
        double sum = 0.0;
        for (std::size_t k = 0; k < m; ++k) sum += std::fabs(static_cast<double>(yi[k]) - yj[k]) * weight[k];
        return sum;
    });
}

void Steinhaus(const ObjectTable& t, const std::vector<double>& totals, Triangle& d, Team& team) {
    const std::size_t m = t.ncol;
    FillTriangle(t.nlin, d, team, [&](std::size_t i, std::size_t j) {
        const double denominator = totals[i] + totals[j];
        if (denominator == 0.0) return 0.0;  // only with negative data: no defined spread
        const float* yi = &t.y[i * m];
        const float* yj = &t.y[j * m];
        double sum = 0.0;
        for (std::size_t k = 0; k < m; ++k) sum += std::fabs(static_cast<double>(yi[k]) - yj[k]);
        return sum / denominator;
    });
}

void Kulczynski(const ObjectTable& t, const std::vector<double>& totals, Triangle& d, Team& team) {
    const std::size_t m = t.ncol;
    FillTriangle(t.nlin, d, team, [&](std::size_t i, std::size_t j) {
        const float* yi = &t.y[i * m];
        const float* yj = &t.y[j * m];
        double common = 0.0;
        for (std::size_t k = 0; k < m; ++k) common += std::min(yi[k], yj[k]);
        return 0.5 * (common / totals[i] + common / totals[j]);
    });
}

}  // namespace

void StandardiseColumns(ObjectTable& t) {
    for (std::size_t k = 0; k < t.ncol; ++k) {
        const Spread s = SpreadOf(&t.y[k], t.nlin, t.ncol);
        for (std::size_t i = 0; i < t.nlin; ++i) {
            float& v = t.At(i, k);
            v = s.sd > 0.0 ? static_cast<float>((v - s.mean) / s.sd) : 0.0f;
        }
    }
}

std::optional<std::size_t> ComputeDissimilarities(const ObjectTable& t, int idist, Triangle& d) {
    Team team(TriangleSize(t.nlin) < Triangle::kSharedPassEntries ? 1 : 0);
    return ComputeDissimilarities(t, idist, d, team);
}

std::optional<std::size_t> ComputeDissimilarities(const ObjectTable& t, int idist, Triangle& d, Team& team) {
    std::vector<double> totals;
    if (NeedsRowTotals(idist)) {
        totals = RowTotals(t);
        for (std::size_t i = 0; i < t.nlin; ++i)
            if (totals[i] == 0.0) return i;
    }
    switch (idist) {
        case kCosTheta:
        case kCorrelation:
            ProductMoment(t, d, team);
            break;
        case kReducedEuclidean:
        case kEuclidean:
            SquaredEuclidean(t, d, team);
            break;
        case kChiSquare:
            ChiSquare(t, totals, d, team);
            break;
        case kGower:
            Gower(t, d, team);
            break;
        case kSteinhaus:
            Steinhaus(t, totals, d, team);
            break;
        case kKulczynski:
            Kulczynski(t, totals, d, team);
            break;
        default:
            d.Clear();
            d = Triangle(t.nlin);
            break;
    }
    return std::nullopt;
}

void SimilaritiesToDissimilarities(std::span<float> d) {
    for (float& v : d) {
        // std::clamp keeps a NaN as it is; it then counts as the largest dissimilarity.
        if (std::isnan(v)) continue;
        v = 1.0f - std::clamp(v, -1.0f, 1.0f);
    }
}

Triangle::Triangle(std::size_t n, bool zero)
    : n_(n), size_(TriangleSize(n)), values_(AllocateEntries(size_, zero)) {}

void Triangle::Free::operator()(float* values) const { std::free(values); }

Triangle::Triangle(const Triangle& other) : Triangle(other.n_, false) {
    std::copy(other.values_.get(), other.values_.get() + size_, values_.get());
}

Triangle& Triangle::operator=(const Triangle& other) {
    if (this != &other) *this = Triangle(other);
    return *this;
}

void Triangle::ForBandRanges(Team& team, const std::function<void(std::size_t, std::size_t)>& work) const {
    const std::size_t parts = size_ < kSharedPassEntries ? 1 : team.Size();
    // Row ranges of whole bands holding about the same number of entries each.
    std::vector<std::size_t> bounds{0};
    for (std::size_t first = kBand; first < n_; first += kBand)
        if (TriangleSize(first) * parts >= size_ * bounds.size()) bounds.push_back(first);
    bounds.push_back(n_);
    team.Run(bounds.size() - 1, [&](std::size_t part) { work(bounds[part], bounds[part + 1]); });
}

void Triangle::Keep(const std::vector<std::size_t>& keep, Team& team, std::size_t grain) {
    // Band by band: a new band gathers from bands at or after its own place, which no earlier
    // band has overwritten, into a buffer that then takes the band's place. The threads share
    // a band's columns, then its copy into place.
    const std::size_t n = keep.size();
    std::vector<float> band(kBand * n);
    // Where old column keep[j] lies within a row of a full old band, left of the band.
    std::vector<std::size_t> offset(n);
    for (std::size_t j = 0; j < n; ++j) offset[j] = keep[j] / kTile * kBand * kTile + keep[j] % kTile;
    // Old row keep[first + a]: entry (r, c) at tiles[c / kTile * stride + c % kTile] left of
    // its band (c < old_first), at own[c - old_first] within it. Kept columns j < fast lie left
    // of a full old band, where offset[j] finds them.
    struct Source {
        const float* tiles;
        std::size_t stride;
        const float* own;
        std::size_t old_first;
        std::size_t fast;
        float Entry(std::size_t c) const {
            return c < old_first ? tiles[c / kTile * stride + c % kTile] : own[c - old_first];
        }
    };
    Source sources[kBand];
    std::size_t below = 0;  // kept columns left of the old band of the row at hand
    for (std::size_t first = 0; first < n; first += kBand) {
        const std::size_t height = std::min(kBand, n - first);
        for (std::size_t a = 0; a < height; ++a) {
            const std::size_t r = keep[first + a];
            const std::size_t old_first = r / kBand * kBand;
            const std::size_t old_height = Height(old_first);
            while (below < n && keep[below] < old_first) ++below;
            sources[a] = {Band(old_first) + (r - old_first) * kTile, old_height * kTile,
                          Band(old_first) + old_first * old_height + (r - old_first) * (r - old_first - 1) / 2, old_first,
                          old_height == kBand ? std::min(below, first) : 0};
        }
        // Left of the band: tiles from .. to - 1 of every row.
        auto gather = [&](std::size_t from, std::size_t to) {
            for (std::size_t a = 0; a < height; ++a) {
                const Source& source = sources[a];
                const std::size_t fast = std::clamp(source.fast, from * kTile, to * kTile);
                for (std::size_t j = from * kTile; j < fast; ++j) {
                    if (j % kTile == 0 && j + kAheadKeep < fast) Prefetch(source.tiles + offset[j + kAheadKeep]);
                    band[(j / kTile * height + a) * kTile + j % kTile] = source.tiles[offset[j]];
                }
                for (std::size_t j = fast; j < to * kTile; ++j)
                    band[(j / kTile * height + a) * kTile + j % kTile] = source.Entry(keep[j]);
            }
        };
        const std::size_t tiles = first / kTile;
        const std::size_t parts = std::clamp<std::size_t>(first / std::max<std::size_t>(grain, 1), 1, team.Size());
        team.Run(parts, [&](std::size_t p) { gather(tiles * p / parts, tiles * (p + 1) / parts); });
        // Within the band.
        for (std::size_t a = 1; a < height; ++a) {
            float* out = band.data() + first * height + a * (a - 1) / 2;
            for (std::size_t j = first; j < first + a; ++j) out[j - first] = sources[a].Entry(keep[j]);
        }
        const std::size_t count = first * height + height * (height - 1) / 2;
        float* place = Band(first);
        team.Run(parts, [&](std::size_t p) {
            const auto from = static_cast<std::ptrdiff_t>(count * p / parts);
            const auto to = static_cast<std::ptrdiff_t>(count * (p + 1) / parts);
            std::copy(band.begin() + from, band.begin() + to, place + from);
        });
    }
    n_ = n;
    size_ = TriangleSize(n);
}

bool Triangle::AllFinite(Team& team) const {
    std::atomic<bool> finite{true};
    ForBandRanges(team, [this, &finite](std::size_t from, std::size_t to) {
        const float* begin = Band(from);
        const float* end = values_.get() + TriangleSize(to);
        if (!std::all_of(begin, end, [](float v) { return std::isfinite(v); })) finite = false;
    });
    return finite;
}

Triangle Triangle::FromRows(std::size_t n, const std::vector<float>& rows) {
    Triangle d(n);
    for (std::size_t i = 1, at = 0; i < n; ++i)
        for (std::size_t j = 0; j < i; ++j) d(i, j) = rows.at(at++);
    return d;
}

}  // namespace fenola
