#include "engines/fenola/listing.h"

#include <algorithm>
#include <cmath>

#include "engines/common/record_io.h"
#include "engines/fenola/dissimilarity.h"
#include "engines/fenola/hierarchy.h"

namespace fenola {
namespace {

const char kFormFeed[] = "\f";

std::string Name(const std::vector<std::string>& names, std::size_t object) { return FormatText(names[object - 1], 4); }

std::string TriangleTitle(int idist) {
    switch (idist) {
        case kCosTheta: return "QUADRO TRIANGULAR DAS DISTANCIAS (COSENO DE TETA)";
        case kReducedEuclidean: return "QUADRO TRIANGULAR DO QUADRADO DAS DISTANCIAS (EUCLIDEANA REDUZIDA)";
        case kCorrelation: return "QUADRO TRIANGULAR DAS DISTANCIAS (COEFICIENTE DE CORRELACAO)";
        case kEuclidean: return "QUADRO TRIANGULAR DO QUADRADO DAS DISTANCIAS (EUCLIDEANA)";
        case kChiSquare: return "QUADRO TRIANGULAR DO QUADRADO DAS DISTANCIAS (KI-2)";
        case kGower: return "QUADRO TRIANGULAR DO QUADRADO DAS DISTANCIAS (GOWER)";
        case kSteinhaus: return "QUADRO TRIANGULAR DAS DISTANCIAS (STEINHAUS)";
        default: return "QUADRO TRIANGULAR DAS DISTANCIAS (COEFICIENTE DE KULCZYNSKI)";
    }
}

}  // namespace

void PrintTriangularTable(RecordWriter& out, int idist, const Triangle& d, const std::vector<std::string>& names) {
    const std::span<const float> values = d.Values();
    const bool wide = std::any_of(values.begin(), values.end(), [](float v) { return v > 100.0f; });
    auto field = [wide](float v) { return wide ? FormatE(v, 8, 2) : FormatF(v, 8, 4); };
    out.Write('\f' + Blanks(15) + TriangleTitle(idist));
    out.Write(std::string(128, '-'));
    out.WriteBlank(2);
    const std::size_t n = names.size();
    // Columns 1 to n - 1 hold entries; row i holds columns 1 to i - 1 (1-based).
    for (std::size_t j1 = 1; j1 < n; j1 += 15) {
        const std::size_t j2 = std::min(j1 + 14, n - 1);
        std::string heading = ' ' + Blanks(5);
        for (std::size_t j = j1; j <= j2; ++j) heading += Blanks(2) + Name(names, j) + Blanks(2);
        out.WriteBlank();
        out.Write(heading);
        out.WriteBlank();
        for (std::size_t i = j1 + 1; i <= n; ++i) {
            std::string line = ' ' + Name(names, i);
            for (std::size_t j = j1; j <= std::min(i - 1, j2); ++j) line += field(d(i - 1, j - 1));
            out.Write(line);
        }
        out.Write(heading);
    }
}

void PrintSteps(RecordWriter& out, int method, const FlexibleCoefficients& c, const std::vector<Step>& steps,
                const std::vector<std::string>& names) {
    switch (method) {
        case kCompleteLink: out.Write(Blanks(48) + "ALGORITMO DO SALTO MAXIMO"); break;
        case kAverageLink: out.Write(Blanks(42) + "ALGORITMO DA DISTANCIA MEDIA (UPGMA)"); break;
        case kWeightedLink: out.Write(Blanks(39) + "ALGORITMO DA DISTANCIA MEDIA PESADA (WPGMA)"); break;
        case kFlexible:
            out.Write(Blanks(32) + "AGRUPAMENTO FLEXIVEL (" + FormatF(c.c1, 8, 4) + FormatF(c.c2, 8, 4) +
                      FormatF(c.c3, 8, 4) + FormatF(c.c4, 8, 4) + " )");
            break;
        default: out.Write(Blanks(48) + "ALGORITMO DO SALTO MINIMO"); break;
    }
    out.WriteBlank();
    out.Write(' ' + Repeat("--", 60));
    out.WriteBlank();
    out.WriteBlank(2);
    out.Write(Blanks(39) + "NO I  DISTANCIA  I   ANTIGO   I    NOVO    I PESO");
    const std::string rule = ' ' + Blanks(36) + Repeat("--", 26);
    out.Write(rule);
    const std::size_t n = names.size();
    for (std::size_t k = 0; k < steps.size(); ++k) {
        const Step& s = steps[k];
        out.Write(' ' + Blanks(36) + FormatI(static_cast<long long>(n + k + 1), 4) + " I" + FormatF(s.level, 12, 3) +
                  " I" + FormatI(static_cast<long long>(s.left_label), 6) + " " + Name(names, s.left) + " I" +
                  FormatI(static_cast<long long>(s.right_label), 6) + " " + Name(names, s.right) + " I" +
                  FormatI(static_cast<long long>(s.size), 5));
    }
    out.Write(rule);
}

void PrintClassDescriptions(RecordWriter& out, const std::vector<Step>& steps, const std::vector<std::string>& names) {
    const std::size_t n = names.size();
    out.Write(kFormFeed + std::string("  NO     INDICE  ANTIGO  NOVO  PESO ") + Blanks(5) +
              "DESCRICAO DAS CLASSES DA HIERARQUIA");
    out.WriteBlank();
    out.Write(' ' + Repeat("--", 65));
    std::vector<std::string> fields;
    for (std::size_t k = 0; k < steps.size(); ++k) {
        const Step& s = steps[k];
        const std::vector<std::size_t> members = ClusterMembers(n, steps, n + k + 1);
        fields.clear();
        for (std::size_t m : members) fields.push_back(' ' + Name(names, m));
        out.WriteBlank();
        WriteContinued(out,
                       FormatI(static_cast<long long>(n + k + 1), 5) + FormatF(s.level, 11, 3) +
                           FormatI(static_cast<long long>(s.left_label), 8) +
                           FormatI(static_cast<long long>(s.right_label), 6) +
                           FormatI(static_cast<long long>(members.size()), 6) + Blanks(4),
                       ' ' + Blanks(39), fields, 18);
    }
}

std::size_t DendrogramScale::Column(float level) const {
    if (std::isnan(level)) return 101;
    const double column = (level - lo) * 100.0 / range + 1.5;
    if (!(column >= 1.0)) return 1;
    if (column >= 101.0) return 101;
    return static_cast<std::size_t>(column);
}

DendrogramScale ScaleOf(const std::vector<Step>& steps) {
    // The bounds come from the smallest and the largest level (flexible coefficients need not
    // give increasing levels); levels that are not finite take no part.
    bool any = false;
    double smallest = 0.0;
    double largest = 0.0;
    for (const Step& s : steps) {
        if (!std::isfinite(s.level)) continue;
        if (!any || s.level < smallest) smallest = s.level;
        if (!any || s.level > largest) largest = s.level;
        any = true;
    }
    DendrogramScale scale;
    scale.hi = std::trunc(largest + 1.0);
    if (largest < 0.0) scale.hi -= 1.0;
    scale.lo = std::trunc(smallest);
    scale.range = std::max(scale.hi - scale.lo, 1.0);
    return scale;
}

void PrintDendrogram(RecordWriter& out, const std::vector<Step>& steps, const std::vector<std::string>& names,
                     const std::optional<std::vector<std::size_t>>& positions, std::size_t spacing) {
    out.Write('\f' + Blanks(50) + "DENDROGRAMA");
    out.Write(Blanks(49) + std::string(13, '*'));
    out.WriteBlank();
    if (!positions) {
        out.WriteBlank(3);
        out.Write("ERRO NO GRAFICO");
        return;
    }
    const std::size_t n = names.size();
    const DendrogramScale scale = ScaleOf(steps);
    const double tick = scale.range / 10.0;
    std::string ticks = ' ' + FormatF(scale.lo, 8, 2);
    for (int t = 1; t <= 10; ++t) ticks += ' ' + FormatF(scale.lo + t * tick, 9, 2);
    out.WriteBlank();
    out.Write(ticks);
    out.Write(' ' + Blanks(5) + "+" + Repeat("---------+", 10) + "----");
    out.WriteBlank();

    // Print rows (0-based) and the column where each slot's branch starts.
    const std::size_t lines = n * spacing;
    std::vector<std::size_t> row(n);
    std::vector<std::size_t> start(n, 1);
    std::vector<std::size_t> object_on_row(lines, 0);  // 1-based object, 0 = none
    for (std::size_t i = 0; i < n; ++i) {
        row[i] = ((*positions)[i] - 1) * spacing;
        object_on_row[row[i]] = i + 1;
    }
    // Horizontal runs by row; vertical runs as events opening and closing a column.
    struct Run {
        std::size_t from;
        std::size_t to;
    };
    std::vector<std::vector<Run>> horizontal(lines);
    std::vector<std::vector<std::size_t>> opens(lines);
    std::vector<std::vector<std::size_t>> closes(lines);
    for (const Step& s : steps) {
        const std::size_t l = s.left - 1;
        const std::size_t j = s.right - 1;
        const std::size_t column = scale.Column(s.level);
        horizontal[row[l]].push_back({std::min(start[l], column), std::max(start[l], column)});
        horizontal[row[j]].push_back({std::min(start[j], column), std::max(start[j], column)});
        const std::size_t top = std::min(row[l], row[j]);
        const std::size_t bottom = std::max(row[l], row[j]);
        opens[top].push_back(column);
        closes[bottom].push_back(column);
        row[l] = (row[l] + row[j]) / 2;
        start[l] = column;
    }

    std::vector<std::size_t> open_count(102, 0);
    std::string cells;
    for (std::size_t r = 0; r < lines; ++r) {
        for (std::size_t c : opens[r]) ++open_count[c];
        cells.assign(101, ' ');
        for (const Run& run : horizontal[r])
            for (std::size_t c = run.from; c <= run.to; ++c) cells[c - 1] = '-';
        for (std::size_t c = 1; c <= 101; ++c)
            if (open_count[c] > 0) cells[c - 1] = '|';
        const std::size_t object = object_on_row[r];
        out.Write((object != 0 ? ' ' + Name(names, object) + " " : ' ' + Blanks(5)) + cells);
        for (std::size_t c : closes[r]) --open_count[c];
    }
}

}  // namespace fenola
