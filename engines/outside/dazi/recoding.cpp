#include "engines/outside/dazi/recoding.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

ColumnRecoding RecodeColumn(const std::vector<double>& values, const ClassDivision& division) {
    ColumnRecoding out;
    const std::size_t n = values.size();
    const std::size_t k = static_cast<std::size_t>(std::max(division.classes, 1));
    const auto [minIt, maxIt] = std::minmax_element(values.begin(), values.end());
    const double low = n ? *minIt : 0.0, high = n ? *maxIt : 0.0;

    // The k - 1 inner cuts: a value goes to the first class whose cut is not below it.
    std::vector<double> cuts;
    if (division.rule == 1) {
        const double classes = static_cast<double>(k);
        if (std::isfinite(high - low)) {
            const double width = (high - low) / classes;
            for (std::size_t i = 1; i < k; ++i)
                cuts.push_back(low + width * static_cast<double>(i));
        } else {
            // A range beyond the largest double (say -1e308 to 1e308): the cuts are taken
            // on the halved values, whose range fits, and doubled back (both exact).
            const double width = (high * 0.5 - low * 0.5) / classes;
            for (std::size_t i = 1; i < k; ++i)
                cuts.push_back((low * 0.5 + width * static_cast<double>(i)) * 2.0);
        }
        out.lower.push_back(low);
    } else if (division.rule == 2) {
        std::vector<double> sorted(values);
        std::sort(sorted.begin(), sorted.end());
        for (std::size_t i = 1; i < k; ++i) {
            const std::size_t rank = (i * n + k - 1) / k;  // ceil(i n / k), 1-based
            cuts.push_back(sorted[std::max<std::size_t>(rank, 1) - 1]);
        }
        out.lower.push_back(low);
    } else {
        cuts.assign(division.limits.begin() + 1, division.limits.begin() + static_cast<std::ptrdiff_t>(k));
        out.lower.push_back(division.limits.front());
    }
    for (double cut : cuts) {
        out.upper.push_back(cut);
        out.lower.push_back(cut);
    }
    out.upper.push_back(division.rule == 3 ? division.limits[k] : high);

    out.classOf.resize(n);
    out.counts.assign(k, 0);
    for (std::size_t i = 0; i < n; ++i) {
        const double x = values[i];
        const std::size_t c = static_cast<std::size_t>(std::lower_bound(cuts.begin(), cuts.end(), x) - cuts.begin());
        out.classOf[i] = static_cast<int>(c);
        ++out.counts[c];
        if (division.rule == 3) {
            if (x < division.limits.front())
                ++out.below;
            else if (x > division.limits[k])
                ++out.above;
        }
    }
    return out;
}
