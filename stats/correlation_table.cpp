// Correlation and covariance matrices over the complete rows of the chosen variables. Every
// coefficient comes from sums of deviations about the mean, in double: with values near 1e6
// and a spread of 1, sums of raw products would lose every digit of the spread.
#include "stats/correlation_table.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "app/status.h"
#include "res/resource_ids.h"
#include "ui/list_cells.h"
#include "ui/list_controls.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Replaces the values by their deviations from their mean; returns the sum of the squared
// deviations. Equal values give deviations of exactly 0.
template <class Vector>
double Centre(Vector& v) {
    if (v.empty()) return 0.0;
    const double first = v.front();
    double sum = 0.0;
    bool allEqual = true;
    for (double x : v) {
        sum += x;
        allEqual = allEqual && x == first;
    }
    const double mean = allEqual ? first : sum / static_cast<double>(v.size());
    double ss = 0.0;
    for (double& x : v) {
        x -= mean;
        ss += x * x;
    }
    return ss;
}

template <class Vector>
double Dot(const Vector& a, const Vector& b) {
    double s = 0.0;
    const size_t n = a.size();
    for (size_t i = 0; i < n; ++i) s += a[i] * b[i];
    return s;
}

// The coefficient from centred sums; undefined without two rows or with a constant column.
double Coefficient(double products, double ssA, double ssB, size_t k) {
    if (k < 2 || ssA == 0.0 || ssB == 0.0) return kNaN;
    return products / std::sqrt(ssA * ssB);
}

// The bits of a double as an unsigned key in the order of the numbers (-0 as +0).
uint64_t OrderKey(double v) {
    if (v == 0.0) v = 0.0;
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return (bits & 0x8000000000000000ULL) ? ~bits : bits ^ 0x8000000000000000ULL;
}

// The present pairs of two columns of a table.
void CollectPairs(const CDataTable& table, int a, int b, float code, std::vector<double>& xa, std::vector<double>& xb) {
    for (int r = 1; r <= table.GetRowCount(); ++r) {
        const double va = table.GetValue(r, a), vb = table.GetValue(r, b);
        if (FloatEquals(va, code) || FloatEquals(vb, code)) continue;
        xa.push_back(va);
        xb.push_back(vb);
    }
}

}  // namespace

std::vector<double> CCorrelationTable::MidRanks(const std::vector<double>& values) {
    std::vector<double> ranks(values.size());
    MidRanks(values.data(), values.size(), ranks.data());
    return ranks;
}

void CCorrelationTable::MidRanks(const double* values, size_t n, double* ranks) {
    struct Item {
        uint64_t key;
        uint32_t index;
    };
    afx::LargeArray<Item> items = afx::MakeLargeArray<Item>(n), other = afx::MakeLargeArray<Item>(n);
    for (size_t i = 0; i < n; ++i) items[i] = {OrderKey(values[i]), static_cast<uint32_t>(i)};
    // Stable least-significant-digit radix sort, four digits of 16 bits; a digit shared by
    // every key (the low bits of values read as floats) costs no pass.
    constexpr size_t kBuckets = 1 << 16;
    std::vector<std::array<uint32_t, 4>> counts(kBuckets, std::array<uint32_t, 4>{});
    for (size_t i = 0; i < n; ++i)
        for (int d = 0; d < 4; ++d) ++counts[(items[i].key >> (16 * d)) & 0xFFFF][static_cast<size_t>(d)];
    for (size_t d = 0; d < 4; ++d) {
        if (n == 0 || counts[(items[0].key >> (16 * d)) & 0xFFFF][d] == n) continue;
        std::vector<uint32_t> start(kBuckets);
        uint32_t total = 0;
        for (size_t k = 0; k < kBuckets; ++k) {
            start[k] = total;
            total += counts[k][d];
        }
        for (size_t i = 0; i < n; ++i) other[start[(items[i].key >> (16 * d)) & 0xFFFF]++] = items[i];
        items.swap(other);
    }
    for (size_t p = 0; p < n;) {
        size_t q = p;
        while (q + 1 < n && items[q + 1].key == items[p].key) ++q;
        // Positions p+1 .. q+1 share their mean.
        const double rank = (static_cast<double>(p + 1) + static_cast<double>(q + 1)) / 2.0;
        for (size_t j = p; j <= q; ++j) ranks[items[j].index] = rank;
        p = q + 1;
    }
}

double CCorrelationTable::Covariance(const CDataTable& table, int a, int b, float code) {
    std::vector<double> xa, xb;
    CollectPairs(table, a, b, code, xa, xb);
    if (xa.size() < 2) return kNaN;
    Centre(xa);
    Centre(xb);
    return Dot(xa, xb) / static_cast<double>(xa.size() - 1);
}

double CCorrelationTable::PearsonCorrelation(const CDataTable& table, int a, int b, float code) {
    std::vector<double> xa, xb;
    CollectPairs(table, a, b, code, xa, xb);
    const double ssA = Centre(xa), ssB = Centre(xb);
    return Coefficient(Dot(xa, xb), ssA, ssB, xa.size());
}

float CCorrelationTable::SpearmanCorrelation(const CDataTable& table, int a, int b, float code) {
    std::vector<double> xa, xb;
    CollectPairs(table, a, b, code, xa, xb);
    std::vector<double> ra = MidRanks(xa), rb = MidRanks(xb);
    const double ssA = Centre(ra), ssB = Centre(rb);
    return static_cast<float>(Coefficient(Dot(ra, rb), ssA, ssB, ra.size()));
}

CCompleteCaseTable::CCompleteCaseTable(const CDataTable& source, std::vector<int>& variables, float code,
                                       bool checkVariance) {
    m_fMissingCode = code;
    m_strTitle = source.GetTitle();
    if (checkVariance) {
        // A variable whose present values are all equal (or that has fewer than two) varies
        // nowhere: no coefficient can be computed with it.
        for (auto it = variables.begin(); it != variables.end();) {
            const int v = *it;
            bool varies = false, seen = false;
            double first = 0.0;
            if (source.GetVariable(v)->GetVariance() != 0.0) {
                for (int r = 1; r <= source.GetRowCount() && !varies; ++r) {
                    const double x = source.GetValue(r, v);
                    if (FloatEquals(x, code)) continue;
                    if (!seen) first = x, seen = true;
                    else varies = x != first;
                }
            }
            if (varies) {
                ++it;
                continue;
            }
            AfxMessageBox(FormatString("A variável %s apresenta variância nula", source.GetVariableName(v).GetString()),
                          MB_OK);
            it = variables.erase(it);
        }
    }
    for (int v : variables) m_variables.push_back(*source.GetVariable(v));
    m_nVariables = static_cast<int>(variables.size());
    m_columns.assign(variables.size(), {});
    const size_t m = variables.size();
    for (CValueColumn& c : m_columns) c.reserve(static_cast<size_t>(source.GetRowCount()));
    std::vector<double> row(m);
    for (int r = 1; r <= source.GetRowCount(); ++r) {
        bool complete = true;
        for (size_t j = 0; j < m && complete; ++j) {
            row[j] = source.GetValue(r, variables[j]);
            complete = !FloatEquals(row[j], code);
        }
        if (!complete) continue;
        for (size_t j = 0; j < m; ++j) m_columns[j].push_back(row[j]);
    }
    m_nComplete = m == 0 ? 0 : m_columns[0].size();
    // Mean and sample variance over the kept rows, two passes in double.
    for (size_t j = 0; j < m; ++j) {
        const CValueColumn& x = m_columns[j];
        if (x.empty()) continue;
        double sum = 0.0;
        bool allEqual = true;
        for (double v : x) sum += v, allEqual = allEqual && v == x.front();
        const double mean = allEqual ? x.front() : sum / static_cast<double>(x.size());
        double ss = 0.0;
        for (double v : x) ss += (v - mean) * (v - mean);
        m_variables[j].SetMean(mean);
        m_variables[j].SetVariance(x.size() > 1 ? ss / static_cast<double>(x.size() - 1) : 0.0);
    }
}

CCorrelationTable::CCorrelationTable(const CDataTable& source, std::vector<int>& variables, float code, int kind)
    : m_nKind(kind) {
    m_fMissingCode = code;
    CCompleteCaseTable complete(source, variables, code, true);
    const size_t m = static_cast<size_t>(complete.GetVariableCount());
    m_nComplete = complete.GetCompleteRowCount();
    for (size_t j = 0; j < m; ++j) m_centred.push_back(std::move(complete.Column(j)));
    for (size_t j = 0; j < m; ++j) {
        if (kind == KIND_CORRELATION) {
            CValueColumn ranks(m_nComplete);
            MidRanks(m_centred[j].data(), m_nComplete, ranks.data());
            m_rankSumSquares.push_back(Centre(ranks));
            m_centredRanks.push_back(std::move(ranks));
        }
        m_sumSquares.push_back(Centre(m_centred[j]));
    }
    m_products = CrossProducts(m_centred);
    if (kind == KIND_CORRELATION) m_rankProducts = CrossProducts(m_centredRanks);
    for (size_t i = 0; i < m; ++i) {
        m_variables.push_back(*complete.GetVariable(static_cast<int>(i + 1)));
        std::vector<double> row(m);
        if (kind == KIND_CORRELATION) FillCorrelationRow(i, row);
        else FillCovarianceRow(i, row);
        m_rows.push_back(std::move(row));
        m_rowNames.push_back(m_variables.back().GetName());
    }
    m_nVariables = static_cast<int>(m);
    m_nRows = static_cast<int>(m);
    m_centred.clear();
    m_centredRanks.clear();
}

std::vector<std::vector<double>> CCorrelationTable::CrossProducts(const std::vector<CValueColumn>& columns) {
    const size_t m = columns.size();
    const size_t n = m == 0 ? 0 : columns[0].size();
    std::vector<std::vector<double>> sums(m, std::vector<double>(m, 0.0));
    // Rows in blocks small enough for the block of every column to stay in the cache while
    // all the pairs are summed over it; four partial sums per pair keep the adder busy.
    constexpr size_t kBlock = 2048;
    for (size_t start = 0; start < n; start += kBlock) {
        const size_t end = std::min(n, start + kBlock);
        for (size_t i = 0; i < m; ++i) {
            const double* a = columns[i].data();
            for (size_t j = 0; j <= i; ++j) {
                const double* b = columns[j].data();
                double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
                size_t r = start;
                for (; r + 4 <= end; r += 4) {
                    s0 += a[r] * b[r];
                    s1 += a[r + 1] * b[r + 1];
                    s2 += a[r + 2] * b[r + 2];
                    s3 += a[r + 3] * b[r + 3];
                }
                for (; r < end; ++r) s0 += a[r] * b[r];
                sums[i][j] += (s0 + s1) + (s2 + s3);
            }
        }
    }
    for (size_t i = 0; i < m; ++i)
        for (size_t j = i + 1; j < m; ++j) sums[i][j] = sums[j][i];
    return sums;
}

void CCorrelationTable::FillCorrelationRow(size_t i, std::vector<double>& row) const {
    for (size_t j = 0; j < row.size(); ++j) {
        if (j < i) row[j] = Coefficient(m_products[i][j], m_sumSquares[i], m_sumSquares[j], m_nComplete);
        else if (j == i) row[j] = m_nComplete < 2 || m_sumSquares[i] == 0.0 ? kNaN : 1.0;
        else
            row[j] = static_cast<float>(
                Coefficient(m_rankProducts[i][j], m_rankSumSquares[i], m_rankSumSquares[j], m_nComplete));
    }
}

void CCorrelationTable::FillCovarianceRow(size_t i, std::vector<double>& row) const {
    for (size_t j = 0; j < row.size(); ++j) {
        if (j < i) row[j] = m_rows[j][i];
        else if (m_nComplete < 2) row[j] = kNaN;
        else row[j] = m_products[i][j] / static_cast<double>(m_nComplete - 1);
    }
}

void CCorrelationTable::FillListCtrl(CListCtrl* list) const {
    if (!list) return;
    CDataTable::FillListCtrl(list);
    for (int r = 1; r <= m_nRows; ++r)
        for (int v = 1; v <= m_nVariables; ++v)
            if (!std::isfinite(GetValue(r, v))) SetListItemText(r - 1, "N/A", v, list);
    if (m_nKind == KIND_CORRELATION)
        if (auto* copyList = dynamic_cast<CCopyListCtrl*>(list)) copyList->SetTriangleColours(1);
}
