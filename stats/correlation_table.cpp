// Correlation and covariance matrices over the complete rows of the chosen variables. Every
// coefficient comes from sums of deviations about the mean, in double: with values near 1e6
// and a spread of 1, sums of raw products would lose every digit of the spread.
//
// The sums over the rows go a block of complete rows at a time. The blocks are summed on
// every processor, each into sums of its own, which are then added in block order: every
// sum is the same, to the last bit, as one computed block after block on one thread. The
// sums that run along every row in order (the means and the sums of squares) stay on one.
#include "stats/correlation_table.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "app/data_table_workers.h"
#include "platform/core/large_block.h"
#include "ui/list_cells.h"
#include "ui/list_controls.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

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

// Twice the mid-rank of each key (positions from 1 in ascending order; equal keys share the
// mean of their positions, which twice is a whole number) into twice[0..n). work holds n
// values more. A stable least-significant-digit radix sort of the positions by key, in
// digits of 16 bits; a digit shared by every key (the low bits of values read as floats)
// costs no pass. The last pass leaves the sorted positions in work, so that the ranks can
// go to twice. With workers, each pass is shared among them in slices of the positions,
// each slice with counts of its own, which keeps the sort stable.
void TwiceMidRanks(const uint64_t* keys, size_t n, uint32_t* twice, uint32_t* work, CTableWorkers* workers) {
    if (n == 0) return;
    // Slices of 64K positions at least: below that one thread sorts faster than many.
    const size_t slices = workers ? std::clamp<size_t>(n >> 16, 1, workers->GetThreadCount()) : 1;
    auto inSlices = [&](auto&& slice) {
        auto task = [&](size_t s) { slice(s, n * s / slices, n * (s + 1) / slices); };
        if (slices > 1) workers->Run(slices, [&](size_t s, unsigned) { task(s); });
        else task(0);
    };
    // The bits in which keys differ.
    std::vector<uint64_t> ors(slices, 0), ands(slices, ~uint64_t(0));
    inSlices([&](size_t s, size_t from, size_t to) {
        uint64_t o = 0, a = ~uint64_t(0);
        for (size_t i = from; i < to; ++i) o |= keys[i], a &= keys[i];
        ors[s] = o;
        ands[s] = a;
    });
    uint64_t any = 0, all = ~uint64_t(0);
    for (size_t s = 0; s < slices; ++s) any |= ors[s], all &= ands[s];
    const uint64_t varying = any ^ all;
    if (varying == 0) {
        // Every key is the same: positions 1 to n share their mean.
        std::fill(twice, twice + n, static_cast<uint32_t>(n + 1));
        return;
    }
    // Digits of at most 16 bits, as few as cover the bits that vary, all of one width (the
    // fewer the buckets, the closer together the writes of a pass).
    const int low = std::countr_zero(varying), high = 63 - std::countl_zero(varying);
    const int passes = (high - low + 16) / 16, width = (high - low + passes) / passes;
    const size_t kBuckets = size_t(1) << width;
    std::vector<int> digits;
    for (int p = 0; p < passes; ++p) digits.push_back(low + p * width);
    auto digit = [mask = kBuckets - 1](uint64_t key, int shift) { return static_cast<size_t>((key >> shift) & mask); };
    uint32_t* const out[2] = {digits.size() % 2 ? work : twice, digits.size() % 2 ? twice : work};
    const uint32_t* sorted = nullptr;  // the positions in order so far (none: as they are)
    std::vector<uint32_t> counts(slices * kBuckets);
    for (size_t p = 0; p < digits.size(); ++p) {
        const int d = digits[p];
        auto position = [&](size_t i) { return sorted ? sorted[i] : static_cast<uint32_t>(i); };
        inSlices([&](size_t s, size_t from, size_t to) {
            uint32_t* c = counts.data() + s * kBuckets;
            std::fill(c, c + kBuckets, 0u);
            for (size_t i = from; i < to; ++i) ++c[digit(keys[position(i)], d)];
        });
        // Where each slice writes each digit: digit by digit, slice by slice.
        uint32_t total = 0;
        for (size_t k = 0; k < kBuckets; ++k)
            for (size_t s = 0; s < slices; ++s) {
                const uint32_t c = counts[s * kBuckets + k];
                counts[s * kBuckets + k] = total;
                total += c;
            }
        uint32_t* to = out[p % 2];
        inSlices([&](size_t s, size_t from, size_t end) {
            uint32_t* start = counts.data() + s * kBuckets;
            for (size_t i = from; i < end; ++i) {
                const uint32_t at = position(i);
                to[start[digit(keys[at], d)]++] = at;
            }
        });
        sorted = to;
    }
    // Runs of equal keys share their rank; each slice starts at the start of a run.
    auto runStart = [&](size_t i) {
        while (i > 0 && i < n && keys[sorted[i]] == keys[sorted[i - 1]]) ++i;
        return i;
    };
    inSlices([&](size_t, size_t from, size_t end) {
        for (size_t p = runStart(from), last = runStart(end); p < last;) {
            const uint64_t key = keys[sorted[p]];
            size_t q = p;
            while (q + 1 < n && keys[sorted[q + 1]] == key) ++q;
            // Positions p+1 .. q+1 share their mean.
            const uint32_t rank = static_cast<uint32_t>(p + q + 2);
            for (size_t j = p; j <= q; ++j) twice[sorted[j]] = rank;
            p = q + 1;
        }
    });
}

// The sums of products of every pair (i, j <= i) of the m columns of a block of rows
// (column j at cols + j * stride), four partial sums per pair over rows 4k, 4k + 1, ...,
// into out[i * (i + 1) / 2 + j].
void BlockProducts(const double* cols, size_t stride, size_t rows, size_t m, double* out) {
    for (size_t i = 0; i < m; ++i) {
        const double* a = cols + i * stride;
        for (size_t j = 0; j <= i; ++j) {
            const double* b = cols + j * stride;
            double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
            size_t r = 0;
            for (; r + 4 <= rows; r += 4) {
                s0 += a[r] * b[r];
                s1 += a[r + 1] * b[r + 1];
                s2 += a[r + 2] * b[r + 2];
                s3 += a[r + 3] * b[r + 3];
            }
            for (; r < rows; ++r) s0 += a[r] * b[r];
            out[i * (i + 1) / 2 + j] = (s0 + s1) + (s2 + s3);
        }
    }
}

// The sums of products of every pair of m columns over the complete rows: each block's
// columns (about their means) put into a buffer of the thread by fill(block, cols), the
// block's sums computed on any thread, then added in block order. The blocks go in waves,
// each wave's sums added before the next wave uses the same buffer: the buffer holds 16 MB
// of sums, or four blocks' per thread when the triangle is larger, however many the rows.
template <class Fill>
std::vector<std::vector<double>> PairProducts(size_t m, size_t blocks, CTableWorkers& workers, Fill&& fill) {
    constexpr size_t kRows = CCompleteCaseTable::kBlockRows;
    constexpr size_t kWaveSums = size_t(1) << 21;
    const size_t pairs = m * (m + 1) / 2;
    const size_t wave =
        std::min(blocks, std::max<size_t>(size_t(4) * workers.GetThreadCount(), kWaveSums / std::max<size_t>(pairs, 1)));
    std::vector<double> partial(wave * pairs);
    std::vector<std::vector<double>> buffers(workers.GetThreadCount());
    std::vector<std::vector<double>> sums(m, std::vector<double>(m, 0.0));
    for (size_t start = 0; start < blocks; start += wave) {
        const size_t count = std::min(wave, blocks - start);
        workers.Run(count, [&](size_t k, unsigned thread) {
            std::vector<double>& cols = buffers[thread];
            if (cols.empty()) cols.resize(m * kRows);
            const size_t rows = fill(start + k, cols.data());
            BlockProducts(cols.data(), kRows, rows, m, partial.data() + k * pairs);
        });
        for (size_t k = 0; k < count; ++k)
            for (size_t i = 0; i < m; ++i)
                for (size_t j = 0; j <= i; ++j) sums[i][j] += partial[k * pairs + i * (i + 1) / 2 + j];
    }
    for (size_t i = 0; i < m; ++i)
        for (size_t j = i + 1; j < m; ++j) sums[i][j] = sums[j][i];
    return sums;
}

}  // namespace

std::vector<double> CCorrelationTable::MidRanks(const std::vector<double>& values) {
    std::vector<double> ranks(values.size());
    MidRanks(values.data(), values.size(), ranks.data());
    return ranks;
}

void CCorrelationTable::MidRanks(const double* values, size_t n, double* ranks) {
    afx::LargeArray<uint64_t> keys = afx::MakeLargeArray<uint64_t>(n);
    afx::LargeArray<uint32_t> twice = afx::MakeLargeArray<uint32_t>(n), work = afx::MakeLargeArray<uint32_t>(n);
    for (size_t i = 0; i < n; ++i) keys[i] = OrderKey(values[i]);
    TwiceMidRanks(keys.get(), n, twice.get(), work.get(), nullptr);
    for (size_t i = 0; i < n; ++i) ranks[i] = twice[i] * 0.5;
}

CCorrelationTable::Sums CCorrelationTable::PairOf(const CDataTable& table, int a, int b, float code, bool ranks) {
    std::vector<int> pair = {a, b};
    const CCompleteCaseTable rows(table, pair, code, false);
    // The sums do not depend on how many threads add them: one is enough for a pair.
    CTableWorkers caller(1);
    return ComputeSums(rows, ranks, caller);
}

double CCorrelationTable::Covariance(const CDataTable& table, int a, int b, float code) {
    return CovarianceOf(PairOf(table, a, b, code, false), 0, 1);
}

double CCorrelationTable::PearsonCorrelation(const CDataTable& table, int a, int b, float code) {
    return PearsonOf(PairOf(table, a, b, code, false), 0, 1);
}

float CCorrelationTable::SpearmanCorrelation(const CDataTable& table, int a, int b, float code) {
    return SpearmanOf(PairOf(table, a, b, code, true), 0, 1);
}

double CCorrelationTable::CovarianceOf(const Sums& sums, size_t i, size_t j) {
    return sums.rows < 2 ? kNaN : sums.products[i][j] / static_cast<double>(sums.rows - 1);
}

double CCorrelationTable::PearsonOf(const Sums& sums, size_t i, size_t j) {
    return Coefficient(sums.products[i][j], sums.squares[i], sums.squares[j], sums.rows);
}

float CCorrelationTable::SpearmanOf(const Sums& sums, size_t i, size_t j) {
    return static_cast<float>(Coefficient(sums.rankProducts[i][j], sums.rankSquares[i], sums.rankSquares[j], sums.rows));
}

CCompleteCaseTable::CCompleteCaseTable(const CDataTable& source, std::vector<int>& variables, float code,
                                       bool checkVariance)
    : m_source(&source) {
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
    m_sourceVariables = variables;
    const size_t m = variables.size();
    m_sumSquares.assign(m, 0.0);
    if (m == 0) return;
    const size_t rows = static_cast<size_t>(source.GetRowCount());
    const size_t width = static_cast<size_t>(source.GetVariableCount());
    const double* values = rows ? source.GetRowValues(1) : nullptr;
    std::vector<size_t> column(m);
    for (size_t j = 0; j < m; ++j) column[j] = SourceColumn(j);
    // The complete rows, and the mean of every variable over them, in row order.
    m_complete.assign(rows, 0);
    std::vector<double> sum(m, 0.0), first(m, 0.0), mean(m, 0.0);
    std::vector<char> allEqual(m, 1);
    for (size_t r = 0; r < rows; ++r) {
        const double* row = values + r * width;
        bool complete = true;
        for (size_t j = 0; j < m && complete; ++j) complete = !FloatEquals(row[column[j]], code);
        if (!complete) continue;
        if (m_nComplete % kBlockRows == 0) m_blockStart.push_back(r);
        m_complete[r] = 1;
        for (size_t j = 0; j < m; ++j) {
            const double x = row[column[j]];
            if (m_nComplete == 0) first[j] = x;
            sum[j] += x;
            allEqual[j] = allEqual[j] && x == first[j];
        }
        ++m_nComplete;
    }
    if (m_nComplete == 0) return;
    for (size_t j = 0; j < m; ++j) mean[j] = allEqual[j] ? first[j] : sum[j] / static_cast<double>(m_nComplete);
    // The sums of squared deviations, in row order.
    for (size_t r = 0; r < rows; ++r) {
        if (!m_complete[r]) continue;
        const double* row = values + r * width;
        for (size_t j = 0; j < m; ++j) {
            const double d = row[column[j]] - mean[j];
            m_sumSquares[j] += d * d;
        }
    }
    for (size_t j = 0; j < m; ++j) {
        m_variables[j].SetMean(mean[j]);
        m_variables[j].SetVariance(m_nComplete > 1 ? m_sumSquares[j] / static_cast<double>(m_nComplete - 1) : 0.0);
    }
}

CCorrelationTable::CCorrelationTable(const CDataTable& source, std::vector<int>& variables, float code, int kind)
    : m_nKind(kind) {
    m_fMissingCode = code;
    CCompleteCaseTable complete(source, variables, code, true);
    const size_t m = static_cast<size_t>(complete.GetVariableCount());
    CTableWorkers workers;
    m_sums = ComputeSums(complete, kind == KIND_CORRELATION, workers);
    m_nVariables = static_cast<int>(m);
    m_nRows = static_cast<int>(m);
    m_values.assign(m * m, 0.0);
    for (size_t i = 0; i < m; ++i) {
        m_variables.push_back(*complete.GetVariable(static_cast<int>(i + 1)));
        if (kind == KIND_CORRELATION) FillCorrelationRow(i, m_values.data() + i * m);
        else FillCovarianceRow(i, m_values.data() + i * m);
        m_rowNames.push_back(m_variables.back().GetName());
    }
}

CCorrelationTable::Sums CCorrelationTable::ComputeSums(const CCompleteCaseTable& table, bool ranks,
                                                      CTableWorkers& workers) {
    Sums sums;
    sums.rows = table.GetCompleteRowCount();
    for (size_t j = 0; j < static_cast<size_t>(table.GetVariableCount()); ++j) sums.squares.push_back(table.GetSumSquares(j));
    sums.products = ValueProducts(table, workers);
    if (ranks) sums.rankProducts = RankProducts(table, workers, sums.rankSquares);
    return sums;
}

CCorrelationTable::PairSums CCorrelationTable::ValueProducts(const CCompleteCaseTable& table, CTableWorkers& workers) {
    const size_t m = static_cast<size_t>(table.GetVariableCount());
    std::vector<double> mean(m);
    std::vector<size_t> column(m);
    for (size_t j = 0; j < m; ++j) {
        mean[j] = table.GetVariable(static_cast<int>(j + 1))->GetMean();
        column[j] = table.SourceColumn(j);
    }
    return PairProducts(m, table.GetBlockCount(), workers, [&](size_t b, double* cols) {
        const size_t first = b * CCompleteCaseTable::kBlockRows;
        size_t rows = 0;
        table.ForEachBlockRow(b, [&](size_t position, const double* row) {
            const size_t t = position - first;
            for (size_t j = 0; j < m; ++j) cols[j * CCompleteCaseTable::kBlockRows + t] = row[column[j]] - mean[j];
            ++rows;
        });
        return rows;
    });
}

CCorrelationTable::PairSums CCorrelationTable::RankProducts(const CCompleteCaseTable& table, CTableWorkers& workers,
                                                           std::vector<double>& squares) {
    const size_t m = static_cast<size_t>(table.GetVariableCount());
    const size_t n = table.GetCompleteRowCount();
    const size_t blocks = table.GetBlockCount();
    // Twice the rank of every complete row, variable after variable: whole numbers below
    // 2^32, so 32 bits each.
    afx::LargeArray<uint32_t> twice = afx::MakeLargeArray<uint32_t>(m * n);
    {
        afx::LargeArray<uint64_t> keys = afx::MakeLargeArray<uint64_t>(n);
        afx::LargeArray<uint32_t> work = afx::MakeLargeArray<uint32_t>(n);
        for (size_t j = 0; j < m; ++j) {
            const size_t column = table.SourceColumn(j);
            workers.Run(blocks, [&](size_t b, unsigned) {
                table.ForEachBlockRow(b, [&](size_t position, const double* row) { keys[position] = OrderKey(row[column]); });
            });
            TwiceMidRanks(keys.get(), n, twice.get() + j * n, work.get(), &workers);
        }
    }
    // Mid-ranks always sum to n(n + 1) / 2: the mean rank is (n + 1) / 2, exactly. The sum of
    // squared deviations from it, in row order.
    const double mean = static_cast<double>(n + 1) * 0.5;
    squares.assign(m, 0.0);
    workers.Run(n == 0 ? 0 : m, [&](size_t j, unsigned) {
        const uint32_t* r = twice.get() + j * n;
        double ss = 0.0;
        for (size_t i = 0; i < n; ++i) {
            const double d = r[i] * 0.5 - mean;
            ss += d * d;
        }
        squares[j] = ss;
    });
    return PairProducts(m, blocks, workers, [&](size_t b, double* cols) {
        const size_t first = b * CCompleteCaseTable::kBlockRows;
        const size_t rows = std::min(n - first, CCompleteCaseTable::kBlockRows);
        for (size_t j = 0; j < m; ++j) {
            const uint32_t* r = twice.get() + j * n + first;
            double* out = cols + j * CCompleteCaseTable::kBlockRows;
            for (size_t t = 0; t < rows; ++t) out[t] = r[t] * 0.5 - mean;
        }
        return rows;
    });
}

void CCorrelationTable::FillCorrelationRow(size_t i, double* row) const {
    for (size_t j = 0; j < m_sums.squares.size(); ++j) {
        if (j < i) row[j] = PearsonOf(m_sums, i, j);
        else if (j == i) row[j] = m_sums.rows < 2 || m_sums.squares[i] == 0.0 ? kNaN : 1.0;
        else row[j] = SpearmanOf(m_sums, i, j);
    }
}

void CCorrelationTable::FillCovarianceRow(size_t i, double* row) const {
    for (size_t j = 0; j < m_sums.squares.size(); ++j)
        row[j] = j < i ? GetValue(static_cast<int>(j + 1), static_cast<int>(i + 1)) : CovarianceOf(m_sums, i, j);
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
