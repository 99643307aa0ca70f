// One Y variable against each of several X variables: a point series per pair, with its
// least-squares line.
#pragma once

#include <memory>
#include <vector>

#include "app/data_table.h"
#include "charts/point_series.h"

class CPairedStatistics : public CStatistics {
public:
    // Variables are 1-based numbers of the table; the identifier labels the points (-1: the
    // row names) and the conditioning variable groups them (-1: no groups).
    CPairedStatistics(const CDataTable& table, const std::vector<int>& xVariables, int yVariable, int identifier,
                      int conditioning, float missingCode);
    ~CPairedStatistics() override;

    int GetVariableCount() const override { return static_cast<int>(m_series.size()); }
    // "Y/X", without spaces.
    CString GetVariableName(int index) const override;

    CPointSeries* GetSeries(int i) const { return m_series[static_cast<size_t>(i)].get(); }
    void GetXVariableName(int i, CString& out) const { out = m_variables[static_cast<size_t>(i)]->GetName(); }
    void GetYVariableName(CString& out) const { out = m_pYVariable->GetName(); }

private:
    [[maybe_unused]] float m_fMissingCode;
    const CVariableDesc* m_pYVariable;
    std::vector<std::unique_ptr<CPointSeries>> m_series;
};
