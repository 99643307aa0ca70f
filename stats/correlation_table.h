// The correlation and covariance matrices: the table restricted to the rows in which every
// chosen variable is present, and the square matrix computed over it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/data_table.h"

class CTableWorkers;

// The selected variables over the complete rows only, with their means and variances
// recomputed over those rows. No value is copied: the complete rows are marked over the
// source table, and read from it a block of rows at a time.
class CCompleteCaseTable : public CDataTable {
public:
    // Complete rows in a block: the sums over the rows go block by block.
    static constexpr size_t kBlockRows = 2048;

    // Variables are 1-based numbers of the source; when checkVariance is set, a variable
    // whose present values are all equal is reported and removed from the caller's vector.
    CCompleteCaseTable(const CDataTable& source, std::vector<int>& variables, float missingCode, bool checkVariance);

    size_t GetCompleteRowCount() const { return m_nComplete; }
    size_t GetBlockCount() const { return (m_nComplete + kBlockRows - 1) / kBlockRows; }
    // Calls row(position, values) for the complete rows of block b, in order: position
    // counts the complete rows from 0, values is the source row.
    template <class F>
    void ForEachBlockRow(size_t b, F&& row) const {
        size_t position = b * kBlockRows;
        const size_t end = std::min(m_nComplete, position + kBlockRows);
        for (size_t r = m_blockStart[b]; position < end; ++r)
            if (m_complete[r]) row(position++, m_source->GetRowValues(static_cast<int>(r + 1)));
    }
    // The 0-based source column of variable j (from 0).
    size_t SourceColumn(size_t j) const { return static_cast<size_t>(m_sourceVariables[j] - 1); }
    // The sum of the squared deviations of variable j from its mean, over the complete rows.
    double GetSumSquares(size_t j) const { return m_sumSquares[j]; }

private:
    const CDataTable* m_source;
    std::vector<int> m_sourceVariables;
    std::vector<unsigned char> m_complete;   // per source row
    std::vector<size_t> m_blockStart;        // the source row where each block starts
    std::vector<double> m_sumSquares;
    size_t m_nComplete = 0;
};

class CCorrelationTable : public CDataTable {
public:
    enum { KIND_CORRELATION = 0, KIND_COVARIANCE = 1 };
    // A cell that cannot be computed (fewer than two complete rows, a variable constant over
    // them) holds a quiet NaN and is shown as "N/A".
    CCorrelationTable(const CDataTable& source, std::vector<int>& variables, float missingCode, int kind);

    int GetKind() const { return m_nKind; }
    void FillListCtrl(CListCtrl* list) const override;

    // Over the rows where both a and b (1-based) are present: the sample covariance
    // (divisor k - 1), Pearson's and Spearman's coefficients (ties get their mean rank).
    // The same sums and formulas as the matrix's cells, over the rows of the pair.
    static double Covariance(const CDataTable& table, int a, int b, float missingCode);
    static double PearsonCorrelation(const CDataTable& table, int a, int b, float missingCode);
    static float SpearmanCorrelation(const CDataTable& table, int a, int b, float missingCode);

    // Ranks 1..k of the values, equal values sharing the mean of their positions.
    static std::vector<double> MidRanks(const std::vector<double>& values);
    // The same for n values, written to ranks.
    static void MidRanks(const double* values, size_t n, double* ranks);

private:
    using PairSums = std::vector<std::vector<double>>;
    // What the coefficients are computed from, over the complete rows of the variables: the
    // sums of products of every pair about their means and of their ranks about the mean
    // rank, and each variable's sums of squares of both.
    struct Sums {
        size_t rows = 0;
        std::vector<double> squares, rankSquares;
        PairSums products, rankProducts;
    };
    // The sums of a table's variables; the ranks' only when asked.
    static Sums ComputeSums(const CCompleteCaseTable& table, bool ranks, CTableWorkers& workers);
    // The sums of the pair a, b over the rows where both are present.
    static Sums PairOf(const CDataTable& table, int a, int b, float missingCode, bool ranks);
    static PairSums ValueProducts(const CCompleteCaseTable& table, CTableWorkers& workers);
    static PairSums RankProducts(const CCompleteCaseTable& table, CTableWorkers& workers, std::vector<double>& squares);
    // The three coefficients of variables i and j from their sums.
    static double CovarianceOf(const Sums& sums, size_t i, size_t j);
    static double PearsonOf(const Sums& sums, size_t i, size_t j);
    static float SpearmanOf(const Sums& sums, size_t i, size_t j);
    // Row i (0-based) of the matrix: Pearson below the diagonal, 1 on it, Spearman above
    // it; or the covariances, mirrored below the diagonal.
    void FillCorrelationRow(size_t i, double* row) const;
    void FillCovarianceRow(size_t i, double* row) const;

    int m_nKind;
    Sums m_sums;
};
