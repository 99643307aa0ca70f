// The statistics objects that the statistics commands build for the variables the user
// chose: per variable, its present values sorted, and what is read from them.
#pragma once

#include <cmath>
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "app/data_table.h"
#include "platform/core/large_block.h"

// One variable's present values in ascending order, in one block. The values are the
// table's cells narrowed to single precision, so a float holds each of them exactly; a cell
// beyond that range (an infinite float in the block) keeps its double value beside it.
class CSortedValues {
public:
    CSortedValues() = default;
    // Takes count values already in ascending order, and the doubles of those that are
    // infinite among them, in ascending order.
    CSortedValues(afx::LargeArray<float> sortedValues, size_t count, std::vector<double> beyond = {});

    int GetCount() const { return static_cast<int>(m_nCount); }
    bool IsEmpty() const { return m_nCount == 0; }
    // The k-th value counted from 1 (k in 1..count); a value beyond single precision as its
    // double.
    double At(int k) const {
        const float v = m_pValues[static_cast<size_t>(k - 1)];
        return std::isinf(v) && !m_beyond.empty() ? Beyond(static_cast<size_t>(k - 1)) : v;
    }
    std::span<const float> Values() const { return {m_pValues.get(), m_nCount}; }
    // Whether some values lie beyond single precision (At differs from Values there).
    bool HasBeyond() const { return !m_beyond.empty(); }

private:
    double Beyond(size_t index) const;

    afx::LargeArray<float> m_pValues;
    size_t m_nCount = 0;
    std::vector<double> m_beyond;   // below -FLT_MAX first, then above FLT_MAX
    size_t m_nBelow = 0;            // how many of them lie below
    size_t m_nBelowAt = 0;          // where the block's -infinity and +infinity runs start
    size_t m_nAboveAt = 0;
};

// Sorts ascending; equal values keep their order (a negative zero counts as equal to zero).
void SortValuesStable(std::vector<float>& values);

class COrderStatistics : public CStatistics {
public:
    // Variables are 1-based numbers of the table; the code marks absent cells.
    COrderStatistics(const CDataTable& table, const std::vector<int>& variables, float missingCode);
    ~COrderStatistics() override;

    int GetVariableCount() const override { return static_cast<int>(m_lists.size()); }
    CString GetVariableName(int index) const override;

    // Every accessor takes the position in the analysed list counted from 0, except
    // GetVariableType, which counts from 1.
    const CVariableDesc* GetVariable(int i) const { return m_variables[static_cast<size_t>(i)]; }
    int GetVariableType(int position) const { return m_variables[static_cast<size_t>(position - 1)]->GetType(); }
    // The mean and sample variance (divisor n - 1) kept in the variable's description.
    double GetMean(int i) const { return GetVariable(i)->GetMean(); }
    double GetVariance(int i) const { return GetVariable(i)->GetVariance(); }
    int GetValueCount(int i) const { return List(i).GetCount(); }
    // A variable without present values has no minimum, maximum, quartiles or mode: they
    // read as a quiet NaN (callers test GetValueCount first).
    // The smallest and largest value.
    double GetMin(int i) const;
    double GetMax(int i) const;
    // The median; writes the first and third quartiles. In double: a value beyond single
    // precision keeps its double value, and the mean of two values is not rounded.
    double GetQuartiles(int i, double& q1, double& q3) const;
    // The value of the longest run of equal values (the smallest among equally long runs).
    float GetMode(int i) const;
    // n / ((n - 1)(n - 2)) times the sum of ((x - mean) / s)^3; needs s != 0 and n >= 3.
    double GetSkewness(int i, double s) const;
    // Counts the values <= bound from the cursor on and leaves the cursor on the first value
    // not counted; restart puts the cursor on the first value of variable i first.
    int CountBelow(double bound, int i, bool restart, int comparison);
    // Appends the values < bound, smallest first.
    void CollectBelow(double bound, int i, std::vector<double>& out) const;
    // Appends the values > bound, largest first.
    void CollectAbove(double bound, int i, std::vector<double>& out) const;
    // Appends the distinct values in ascending order; returns their number.
    int GetDistinctValues(int i, std::vector<float>& out) const;

    const CSortedValues& List(int i) const { return m_lists[static_cast<size_t>(i)]; }

private:
    float m_fMissingCode;
    std::vector<CSortedValues> m_lists;
    int m_nCursorList = -1;
    size_t m_nCursor = 0;
};
