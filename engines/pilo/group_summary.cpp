#include "engines/pilo/group_summary.h"

#include <algorithm>
#include <cmath>

#include "engines/common/record_io.h"
#include "engines/common/square_matrix.h"

namespace pilo {

GroupSummary SummariseGroup(const std::vector<float>& rows, std::size_t n, std::size_t nv) {
    GroupSummary s;
    s.members = n;
    s.variables.resize(nv);
    if (n == 0) return s;
    // Means first, then the deviations from them: no cancellation, no negative variance.
    std::vector<double> deviations(n * nv);
    for (std::size_t j = 0; j < nv; ++j) {
        VariableSummary& v = s.variables[j];
        double sum = 0.0;
        v.min = v.max = rows[j];
        for (std::size_t i = 0; i < n; ++i) {
            const double x = rows[i * nv + j];
            sum += x;
            v.min = std::min(v.min, x);
            v.max = std::max(v.max, x);
        }
        v.mean = sum / static_cast<double>(n);
        double squares = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            const double dev = rows[i * nv + j] - v.mean;
            deviations[i * nv + j] = dev;
            squares += dev * dev;
        }
        if (n > 1 && v.min != v.max) v.sd = std::sqrt(squares / static_cast<double>(n - 1));
    }
    if (n < 3) return s;
    s.correlation.assign(nv * nv, 0.0f);
    for (std::size_t j = 0; j < nv; ++j) {
        for (std::size_t k = 0; k <= j; ++k) {
            float r = kNoCorrelation;
            const double sj = s.variables[j].sd;
            const double sk = s.variables[k].sd;
            if (sj > 0.0 && sk > 0.0) {
                double cross = 0.0;
                for (std::size_t i = 0; i < n; ++i) cross += deviations[i * nv + j] * deviations[i * nv + k];
                r = static_cast<float>(cross / static_cast<double>(n - 1) / (sj * sk));
            }
            s.correlation[j + k * nv] = r;
            s.correlation[k + j * nv] = r;
        }
    }
    return s;
}

void PrintGroupSummary(RecordWriter& out, const GroupSummary& s, const std::vector<std::string>& names) {
    out.Write(Blanks(35) + "DESCRICAO SUMARIA DAS VARIAVEIS");
    out.WriteBlank(3);
    out.Write(' ' + Blanks(18) + "VARIAVEL" + Blanks(5) + "MEDIA" + Blanks(5) + "DESVIO PADRAO" + Blanks(6) + "MINIMO" +
              Blanks(6) + "MAXIMO");
    out.WriteBlank();
    for (std::size_t j = 0; j < s.variables.size(); ++j) {
        const VariableSummary& v = s.variables[j];
        out.Write(' ' + Blanks(20) + FormatText(names[j], 4) + FormatF(v.mean, 12, 3) + Blanks(7) + FormatF(v.sd, 11, 4) +
                  FormatF(v.min, 12, 3) + FormatF(v.max, 12, 3));
    }
    if (s.correlation.empty()) return;
    out.WriteBlank(5);
    out.Write(Blanks(43) + "MATRIZ DE CORRELACAO");
    out.Write(Blanks(42) + std::string(22, '-'));
    out.WriteBlank();
    PrintSquareMatrix(out, s.variables.size(), s.correlation.data(), s.variables.size(), names);
}

}  // namespace pilo
