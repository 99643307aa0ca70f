// Line-printer pages of kelo's listing: the factorial planes (engines/common/planes.h) and
// the data table ordered along the first factor.
#pragma once

#include <string>
#include <vector>

#include "engines/common/planes.h"
#include "engines/common/record_io.h"

// Shell sort of keys ascending, carrying index alongside; equal keys are not exchanged.
void ShellSort(std::vector<double>& keys, std::vector<int>& index);

// The table (nrows x ncols, column-major) ordered along the first factor, printed as row
// profiles and then as column profiles (per mille). rowKeys and columnKeys are the points'
// first-factor coordinates.
void PrintOrderedProfiles(RecordWriter& out, int nrows, int ncols, const std::vector<double>& table,
                          const std::vector<std::string>& rowNames,
                          const std::vector<std::string>& columnNames,
                          const std::vector<double>& rowKeys, const std::vector<double>& columnKeys);
