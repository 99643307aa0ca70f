// The correlation and covariance matrices: a copy of the table restricted to the rows in
// which every chosen variable is present, and the square matrix computed over it.
#pragma once

#include <vector>

#include "app/data_table.h"
#include "platform/core/large_block.h"

// Vectors of millions of values take their memory from the large-block allocator, so that
// filling them does not cost a page fault every 4 KB.
template <class T>
struct LargeBlockAllocator {
    using value_type = T;
    LargeBlockAllocator() = default;
    template <class U>
    LargeBlockAllocator(const LargeBlockAllocator<U>&) {}
    T* allocate(size_t n) { return static_cast<T*>(afx::AllocateLargeBlock(n * sizeof(T))); }
    void deallocate(T* p, size_t n) noexcept { afx::FreeLargeBlock(p, n * sizeof(T)); }
    template <class U>
    bool operator==(const LargeBlockAllocator<U>&) const { return true; }
};
using CValueColumn = std::vector<double, LargeBlockAllocator<double>>;

// The selected variables over the complete rows only, with their means and variances
// recomputed over those rows. The values are kept by column (one block per variable), so
// the table's own row storage stays empty: read them with Column.
class CCompleteCaseTable : public CDataTable {
public:
    // Variables are 1-based numbers of the source; when checkVariance is set, a variable
    // whose present values are all equal is reported and removed from the caller's vector.
    CCompleteCaseTable(const CDataTable& source, std::vector<int>& variables, float missingCode, bool checkVariance);

    size_t GetCompleteRowCount() const { return m_nComplete; }
    // Variable j (from 0) over the complete rows, in row order.
    CValueColumn& Column(size_t j) { return m_columns[j]; }

private:
    std::vector<CValueColumn> m_columns;
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
    static double Covariance(const CDataTable& table, int a, int b, float missingCode);
    static double PearsonCorrelation(const CDataTable& table, int a, int b, float missingCode);
    static float SpearmanCorrelation(const CDataTable& table, int a, int b, float missingCode);

    // Ranks 1..k of the values, equal values sharing the mean of their positions.
    static std::vector<double> MidRanks(const std::vector<double>& values);
    // The same for n values, written to ranks.
    static void MidRanks(const double* values, size_t n, double* ranks);

private:
    static std::vector<std::vector<double>> CrossProducts(const std::vector<CValueColumn>& columns);
    // Row i (0-based) of the matrix: Pearson below the diagonal, 1 on it, Spearman above
    // it; or the covariances, mirrored below the diagonal.
    void FillCorrelationRow(size_t i, std::vector<double>& row) const;
    void FillCovarianceRow(size_t i, std::vector<double>& row) const;

    int m_nKind;
    // Per variable of the complete-case table: its values minus their mean, and its ranks
    // minus their mean.
    std::vector<CValueColumn> m_centred;
    std::vector<CValueColumn> m_centredRanks;
    // Sums of products of the centred columns (and ranks), every pair.
    std::vector<std::vector<double>> m_products, m_rankProducts;
    std::vector<double> m_sumSquares;
    std::vector<double> m_rankSumSquares;
    size_t m_nComplete = 0;
};
