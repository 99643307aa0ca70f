// Summary of the variables over the members of one group.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class RecordWriter;

namespace pilo {

struct VariableSummary {
    double mean = 0.0;
    double sd = 0.0;  // divisor n - 1; exactly 0 when every value is equal
    double min = 0.0;
    double max = 0.0;
};

struct GroupSummary {
    std::size_t members = 0;
    std::vector<VariableSummary> variables;
    // Correlations, nv x nv column by column; 10000000.0 where a variable has no spread.
    // Empty for fewer than 3 members.
    std::vector<float> correlation;
};

// The correlation given to a pair where one variable is constant in the group.
constexpr float kNoCorrelation = 10000000.0f;

// rows: the members' values, one row of nv values per member (n x nv), n >= 2.
GroupSummary SummariseGroup(const std::vector<float>& rows, std::size_t n, std::size_t nv);

// The group's page after its title: the variables' summary and, from 3 members on, the
// correlation matrix.
void PrintGroupSummary(RecordWriter& out, const GroupSummary& summary, const std::vector<std::string>& names);

}  // namespace pilo
