// "Dados.dat": the data matrix that the engines read.
#include <cmath>
#include <climits>

#include "app/data_set.h"
#include "app/status.h"
#include "res/resource_ids.h"

namespace {
// A category code: the value truncated toward zero.
CString CodeText(double value) {
    double t = std::trunc(value);
    if (t >= INT_MIN && t <= INT_MAX) return FormatString("%d", static_cast<int>(t));
    return FormatString("%.0f", t);
}
}  // namespace

CString CDataSet::EngineMatrixValue(double value) { return FormatFixed(value, 6); }

void CDataSet::WriteEngineMatrix(CStdioFile* file, const std::vector<int>& columns, int identifier) const {
    std::vector<int> rows;
    GetCompleteRows(columns, &rows);
    for (int r : rows) {
        CString line = identifier == -1 ? GetRowNameCopy(r + 1) : CodeText(GetValue(r + 1, identifier));
        line += "\n";
        file->WriteString(line);
    }
    CString status;
    status.LoadString(IDS_STATUS_PREPARING);
    BeginProgressStep(status, static_cast<int>(rows.size()), 1);
    try {
        for (int r : rows) {
            CString line;
            for (size_t c = 0; c < columns.size(); ++c) {
                if (c > 0) line += " ";
                line += EngineMatrixValue(GetValue(r + 1, columns[c]));
            }
            line += "\n";
            file->WriteString(line);
            StepProgress();
        }
    } catch (...) {
        EndProgress();
        throw;
    }
    EndProgress();
}
