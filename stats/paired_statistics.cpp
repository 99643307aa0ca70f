#include "stats/paired_statistics.h"

CPairedStatistics::CPairedStatistics(const CDataTable& table, const std::vector<int>& xVariables, int yVariable,
                                     int identifier, int conditioning, float missingCode)
    : m_fMissingCode(missingCode), m_pYVariable(table.GetVariable(yVariable)) {
    for (int x : xVariables) {
        m_variables.push_back(table.GetVariable(x));
        m_series.push_back(std::make_unique<CPointSeries>(table, x, yVariable, identifier, conditioning, missingCode));
    }
}

CPairedStatistics::~CPairedStatistics() = default;

CString CPairedStatistics::GetVariableName(int index) const {
    return m_pYVariable->GetName() + "/" + m_variables[static_cast<size_t>(index)]->GetName();
}
