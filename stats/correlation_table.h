// The correlation and covariance matrices: a copy of the table restricted to the rows in
// which every chosen variable is present, and the square matrix computed over it.
#pragma once

#include <vector>

#include "app/data_table.h"

// The selected variables over the complete rows only, with their means and variances
// recomputed over those rows.
class CCompleteCaseTable : public CDataTable {
public:
    // Variables are 1-based numbers of the source; when checkVariance is set, a variable
    // whose present values are all equal is reported and removed from the caller's vector.
    CCompleteCaseTable(const CDataTable& source, std::vector<int>& variables, float missingCode, bool checkVariance);
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

private:
    // Row i (0-based) of the matrix: Pearson below the diagonal, 1 on it, Spearman above
    // it; or the covariances, mirrored below the diagonal.
    void FillCorrelationRow(size_t i, std::vector<double>& row) const;
    void FillCovarianceRow(size_t i, std::vector<double>& row) const;

    int m_nKind;
    // Per variable of the complete-case table: its values minus their mean, and its ranks
    // minus their mean.
    std::vector<std::vector<double>> m_centred;
    std::vector<std::vector<double>> m_centredRanks;
    std::vector<double> m_sumSquares;
    std::vector<double> m_rankSumSquares;
    size_t m_nComplete = 0;
};
