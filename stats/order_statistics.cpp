#include "stats/order_statistics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <numeric>

#include "app/status.h"
#include "res/resource_ids.h"

namespace {

// An unsigned key that orders like the float: negative values have all bits flipped,
// positive ones the sign bit set. A negative zero gets the key of zero, so that the two
// stay in their original order, as equal values do.
inline uint32_t SortKey(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    if (u == 0x80000000u) u = 0;
    return (u & 0x80000000u) ? ~u : (u | 0x80000000u);
}

// Least-significant-digit radix sort in three passes of 11 bits: stable, and linear in
// the number of values, which matters for tables of millions of rows. scratch must hold
// n floats.
void RadixSort(float* values, size_t n, float* scratch) {
    if (n < 2) return;
    constexpr int kBits = 11;
    constexpr int kPasses = 3;
    constexpr uint32_t kBuckets = 1u << kBits;
    std::array<std::array<size_t, kBuckets>, kPasses> counts{};
    for (size_t i = 0; i < n; ++i) {
        const uint32_t k = SortKey(values[i]);
        ++counts[0][k & (kBuckets - 1)];
        ++counts[1][(k >> kBits) & (kBuckets - 1)];
        ++counts[2][k >> (2 * kBits)];
    }
    float* from = values;
    float* to = scratch;
    for (int p = 0; p < kPasses; ++p) {
        auto& c = counts[static_cast<size_t>(p)];
        // A digit that every key shares moves nothing.
        bool trivial = false;
        for (uint32_t b = 0; b < kBuckets; ++b) {
            if (c[b] == 0) continue;
            trivial = c[b] == n;
            break;
        }
        if (trivial) continue;
        size_t offset = 0;
        for (uint32_t b = 0; b < kBuckets; ++b) {
            const size_t count = c[b];
            c[b] = offset;
            offset += count;
        }
        const int shift = p * kBits;
        for (size_t k = 0; k < n; ++k) {
            const float f = from[k];
            to[c[(SortKey(f) >> shift) & (kBuckets - 1)]++] = f;
        }
        std::swap(from, to);
    }
    if (from != values) std::memcpy(values, from, n * sizeof(float));
}
}  // namespace

void SortValuesStable(std::vector<float>& values) {
    std::unique_ptr<float[]> scratch(new float[values.size()]);
    RadixSort(values.data(), values.size(), scratch.get());
}

CSortedValues::CSortedValues(afx::LargeArray<float> sortedValues, size_t count, std::vector<double> beyond)
    : m_pValues(std::move(sortedValues)), m_nCount(count), m_beyond(std::move(beyond)) {
    if (m_beyond.empty()) return;
    m_nBelow = static_cast<size_t>(std::count_if(m_beyond.begin(), m_beyond.end(), [](double v) { return v < 0; }));
    const float* values = m_pValues.get();
    m_nBelowAt = static_cast<size_t>(std::find(values, values + m_nCount, -HUGE_VALF) - values);
    m_nAboveAt = static_cast<size_t>(std::find(values, values + m_nCount, HUGE_VALF) - values);
}

double CSortedValues::Beyond(size_t index) const {
    const float v = m_pValues[index];
    const size_t at = v < 0 ? index - m_nBelowAt : m_nBelow + (index - m_nAboveAt);
    return at < m_beyond.size() ? m_beyond[at] : v;
}

COrderStatistics::COrderStatistics(const CDataTable& table, const std::vector<int>& variables, float missingCode)
    : m_fMissingCode(missingCode) {
    CString text;
    text.LoadString(IDS_STATUS_SORTING);
    BeginProgressStep(text, static_cast<int>(variables.size()), 1);
    const size_t rows = static_cast<size_t>(std::max(table.GetRowCount(), 0));
    const size_t count = variables.size();
    // The cells are gathered row by row for all variables at once (the table keeps its
    // rows contiguous), each variable's present values into a block of its own that is
    // written only once (no clearing first).
    std::vector<afx::LargeArray<float>> values;
    values.reserve(count);
    for (size_t j = 0; j < count; ++j) values.push_back(afx::MakeLargeArray<float>(rows));
    std::vector<float*> out(count);
    std::vector<size_t> present(count, 0);
    // The doubles of the rare cells beyond single precision.
    std::vector<std::vector<double>> beyond(count);
    for (size_t j = 0; j < count; ++j) out[j] = values[j].get();
    for (size_t r = 0; r < rows; ++r) {
        for (size_t j = 0; j < count; ++j) {
            const double value = table.GetValue(static_cast<int>(r + 1), variables[j]);
            const float x = static_cast<float>(value);
            out[j][present[j]] = x;
            const bool isPresent = !FloatEquals(x, m_fMissingCode);
            present[j] += isPresent;
            if (std::isinf(x) && isPresent) [[unlikely]]
                beyond[j].push_back(value);
        }
    }
    afx::LargeArray<float> scratch = afx::MakeLargeArray<float>(rows);
    for (size_t j = 0; j < count; ++j) {
        StepProgress();
        RadixSort(values[j].get(), present[j], scratch.get());
        std::sort(beyond[j].begin(), beyond[j].end());
        m_variables.push_back(table.GetVariable(variables[j]));
        m_lists.emplace_back(std::move(values[j]), present[j], std::move(beyond[j]));
    }
    EndProgress();
}

COrderStatistics::~COrderStatistics() = default;

CString COrderStatistics::GetVariableName(int index) const { return GetVariable(index)->GetName(); }

double COrderStatistics::GetMin(int i) const {
    return List(i).IsEmpty() ? std::numeric_limits<double>::quiet_NaN() : List(i).At(1);
}

double COrderStatistics::GetMax(int i) const {
    return List(i).IsEmpty() ? std::numeric_limits<double>::quiet_NaN() : List(i).At(List(i).GetCount());
}

double COrderStatistics::GetQuartiles(int i, double& q1, double& q3) const {
    const CSortedValues& list = List(i);
    const int n = list.GetCount();
    if (n == 0) {
        q1 = q3 = std::numeric_limits<double>::quiet_NaN();
        return q1;
    }
    const int m = n / 4;
    // (a + b) / 2, without overflow for values near the largest doubles.
    auto mid = [&](int k) { return std::midpoint(list.At(k), list.At(k + 1)); };
    double lower = 0, median = 0, upper = 0;
    switch (n % 4) {
    case 0:
        lower = mid(m);
        median = mid(2 * m);
        upper = mid(3 * m);
        break;
    case 1:
        lower = list.At(m + 1);
        median = list.At(2 * m + 1);
        upper = list.At(3 * m + 1);
        break;
    case 2:
        lower = list.At(m + 1);
        median = mid(2 * m + 1);
        upper = list.At(3 * m + 2);
        break;
    default:
        lower = list.At(m + 1);
        median = list.At(2 * m + 2);
        upper = list.At(3 * m + 3);
        break;
    }
    q1 = lower;
    q3 = upper;
    return median;
}

float COrderStatistics::GetMode(int i) const {
    const std::span<const float> v = List(i).Values();
    if (v.empty()) return std::numeric_limits<float>::quiet_NaN();
    double best = v.front();
    size_t bestLength = 0;
    size_t start = 0;
    for (size_t k = 1; k <= v.size(); ++k) {
        if (k < v.size() && static_cast<double>(v[k]) == static_cast<double>(v[start])) continue;
        // A later run wins only when strictly longer; the last run counts like the others.
        if (k - start > bestLength) {
            bestLength = k - start;
            best = v[start];
        }
        start = k;
    }
    return static_cast<float>(best);
}

double COrderStatistics::GetSkewness(int i, double s) const {
    const double mean = GetMean(i);
    const CSortedValues& list = List(i);
    double sum = 0.0;
    double n = 0.0;
    for (int k = 1; k <= list.GetCount(); ++k) {
        double d = list.At(k) - mean;
        sum += d * d * d;
        n += 1.0;
    }
    return (sum / (n - 1.0) / (s * s * s)) * (n / (n - 2.0));
}

int COrderStatistics::CountBelow(double bound, int i, bool restart, int comparison) {
    if (restart) {
        m_nCursorList = i;
        m_nCursor = 0;
    }
    if (m_nCursorList != i) return 0;  // no cursor on this variable's list yet
    const CSortedValues& list = List(i);
    const std::span<const float> v = list.Values();
    auto within = [&](double x) { return comparison == 0 ? x <= bound : !(x > bound); };
    const size_t start = m_nCursor;
    // The floats themselves unless some value is beyond their range.
    if (list.HasBeyond()) {
        while (m_nCursor < v.size() && within(list.At(static_cast<int>(m_nCursor + 1)))) ++m_nCursor;
    } else {
        while (m_nCursor < v.size() && within(v[m_nCursor])) ++m_nCursor;
    }
    return static_cast<int>(m_nCursor - start);
}

void COrderStatistics::CollectBelow(double bound, int i, std::vector<double>& out) const {
    const CSortedValues& list = List(i);
    for (int k = 1; k <= list.GetCount() && list.At(k) < bound; ++k) out.push_back(list.At(k));
}

void COrderStatistics::CollectAbove(double bound, int i, std::vector<double>& out) const {
    const CSortedValues& list = List(i);
    for (int k = list.GetCount(); k >= 1 && list.At(k) > bound; --k) out.push_back(list.At(k));
}

int COrderStatistics::GetDistinctValues(int i, std::vector<float>& out) const {
    const std::span<const float> v = List(i).Values();
    int count = 0;
    for (size_t k = 0; k < v.size(); ++k) {
        if (k > 0 && static_cast<double>(v[k]) == static_cast<double>(v[k - 1])) continue;
        out.push_back(v[k]);
        ++count;
    }
    return count;
}
