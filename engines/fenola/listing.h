// The pages of the classification listing: distance table, steps, classes and dendrogram.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engines/fenola/aggregation.h"
#include "engines/fenola/dissimilarity.h"

class RecordWriter;

namespace fenola {

// The triangular table of the measure idist as computed (similarities before conversion).
void PrintTriangularTable(RecordWriter& out, int idist, const Triangle& d, const std::vector<std::string>& names);

// The aggregation title of the method, the column heading, one line per step and the rule.
void PrintSteps(RecordWriter& out, int method, const FlexibleCoefficients& coefficients, const std::vector<Step>& steps,
                const std::vector<std::string>& names);

// The members of every cluster of the hierarchy, step by step.
void PrintClassDescriptions(RecordWriter& out, const std::vector<Step>& steps, const std::vector<std::string>& names);

// Dendrogram scale: lo and hi bound the levels on whole numbers; a level maps to a column
// from 1 to 101 of the drawing.
struct DendrogramScale {
    double lo = 0.0;
    double hi = 0.0;
    double range = 1.0;
    std::size_t Column(float level) const;
};
DendrogramScale ScaleOf(const std::vector<Step>& steps);

// Draws the dendrogram with spacing lines per object (2 in Q mode, 5 in R mode), from the
// objects' positions (1..n, left to right, drawn top to bottom); without positions the page
// says that no order could be made.
void PrintDendrogram(RecordWriter& out, const std::vector<Step>& steps, const std::vector<std::string>& names,
                     const std::optional<std::vector<std::size_t>>& positions, std::size_t spacing);

}  // namespace fenola
