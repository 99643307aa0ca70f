#include "engines/common/separate_groups.h"

#include <algorithm>
#include <cmath>

#include "engines/common/record_io.h"

namespace {

// A level at or above the cut; a NaN level counts as larger than any cut.
bool AtOrAbove(float level, float cut) { return std::isnan(level) || level >= cut; }

}  // namespace

GroupSeparation SeparateGroups(RecordWriter& out, const Hierarchy& h, float cut, const std::vector<std::string>& names) {
    const std::size_t n = h.position.size();
    const std::size_t steps = std::min({h.left.size(), h.right.size(), h.level.size(), n == 0 ? 0 : n - 1});
    GroupSeparation result;

    out.Write('1' + Blanks(49) + "SEPARACAO EM GRUPOS");
    out.Write(Blanks(48) + std::string(21, '*'));
    out.WriteBlank();
    out.Write("COEFICIENTE DE CORTE=" + FormatF(cut, 9, 3));
    out.Write(std::string(30, '*'));
    out.WriteBlank(2);

    std::size_t v = 0;  // first step at or above the cut (0-based)
    while (v < steps && !AtOrAbove(h.level[v], cut)) ++v;
    if (steps < 1 || v == steps) {
        out.Write("COEFICIENTE DE CORTE MUITO BAIXO");
        out.Write(std::string(32, '*'));
        result.outcome = CutOutcome::CutTooLow;
        result.groups = n == 0 ? 0 : 1;
        result.group.assign(n, 1);
        return result;
    }
    const std::size_t g_count = n - v;  // N - v + 1 with v 1-based
    out.Write("NUMERO DE GRUPOS=" + FormatI(static_cast<long long>(g_count), 2));
    out.WriteBlank(2);
    if (v == 0) {
        out.Write("NAO HA AGRUPAMENTOS PARA ESTE CORTE");
        result.outcome = CutOutcome::NoGrouping;
        result.groups = n;
        result.group = h.position;
        return result;
    }

    // The representatives of the groups: the objects named by the steps at or above the cut,
    // in increasing object number, then in dendrogram order.
    std::vector<char> named(n, 0);
    for (std::size_t k = v; k < steps; ++k) {
        if (h.left[k] >= 1 && h.left[k] <= n) named[h.left[k] - 1] = 1;
        if (h.right[k] >= 1 && h.right[k] <= n) named[h.right[k] - 1] = 1;
    }
    std::vector<std::size_t> representatives;
    for (std::size_t i = 0; i < n; ++i)
        if (named[i]) representatives.push_back(i);
    std::stable_sort(representatives.begin(), representatives.end(),
                     [&](std::size_t a, std::size_t b) { return h.position[a] < h.position[b]; });
    std::vector<std::size_t> starts;  // dendrogram position where each group begins
    for (std::size_t r : representatives) starts.push_back(h.position[r]);

    // An object belongs to the last group that begins at or before its position.
    result.outcome = CutOutcome::Groups;
    result.groups = representatives.size();
    result.group.assign(n, 0);
    std::vector<std::vector<std::string>> members(result.groups);
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t g = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), h.position[i]) -
                                                       starts.begin());
        result.group[i] = g;
        if (g > 0) members[g - 1].push_back(FormatText(names[i], 4) + " ");
    }

    out.WriteBlank(2);
    out.Write("Grupo" + Blanks(4) + "Individuos");
    out.Write(std::string(132, '-'));
    for (std::size_t g = 0; g < result.groups; ++g) {
        out.WriteBlank();
        WriteContinued(out, ' ' + FormatI(static_cast<long long>(g + 1), 5) + Blanks(4), Blanks(10), members[g], 23);
    }
    return result;
}

void WriteHierarchyFile(RecordWriter& out, const Hierarchy& h, const std::vector<std::string>& names) {
    const std::size_t n = h.position.size();
    for (std::size_t i = 0; i < n; ++i) {
        const bool has_step = i < h.left.size() && i < h.right.size() && i < h.level.size() && i + 1 < n;
        std::string record = FormatText(names[i], 4) + FormatI(static_cast<long long>(h.position[i]), 8);
        record += FormatI(has_step ? static_cast<long long>(h.left[i]) : 0, 8);
        record += FormatI(has_step ? static_cast<long long>(h.right[i]) : 0, 8);
        record += FormatE(has_step ? h.level[i] : 0.0, 13, 6);
        out.Write(record);
    }
}
