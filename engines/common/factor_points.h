// Points of a factorial analysis: names with their coordinates on every factor.
#pragma once

#include <string>
#include <vector>

struct CoordinatePoints {
    const std::vector<std::string>* names = nullptr;  // one per point
    const std::vector<double>* coordinates = nullptr;  // names->size() x factors, column-major
};
