// Cutting a quantitative column into classes for the multiple correspondence engine.
//
// A class is the interval (lower, upper], the first one closed on the left. Rules:
//   1 equal width: k classes of equal width between the column's minimum and maximum;
//   2 equal frequency: the cut after class i is the value of rank ceil(i n / k) of the sorted
//     values, and values equal to a cut stay in the lower class (ties are never split, so
//     classes may be unequal or empty);
//   3 given limits: k + 1 limits; values below the first go to the first class and values
//     above the last to the last class, and are counted apart.
#pragma once

#include <vector>

struct ClassDivision {
    int rule = 2;
    int classes = 3;
    std::vector<double> limits;  // rule 3: classes + 1 values, not decreasing
};

struct ColumnRecoding {
    std::vector<int> classOf;          // per value, 0-based class
    std::vector<double> lower, upper;  // per class: its bounds
    std::vector<int> counts;           // per class: values in it
    int below = 0, above = 0;          // rule 3: values below the first or above the last limit
};

// values must not be empty; division.classes >= 1; with rule 3, division.limits holds
// classes + 1 values in non-decreasing order.
ColumnRecoding RecodeColumn(const std::vector<double>& values, const ClassDivision& division);
