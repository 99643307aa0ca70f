// Cutting a classification hierarchy into groups, and the hierarchy file that carries it
// from the classification to the separation.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

class RecordWriter;

// The hierarchy of N objects. Each cluster is represented by its leftmost object in the
// dendrogram; step k (0-based, N - 1 steps) joins the clusters represented by left[k] and
// right[k] (object numbers 1..N) at level[k]. position[i] is the place (1..N) of object i
// (0-based) in the dendrogram, left to right.
struct Hierarchy {
    std::vector<std::size_t> position;
    std::vector<std::size_t> left;
    std::vector<std::size_t> right;
    std::vector<float> level;
};

// How a cut ended.
enum class CutOutcome {
    Groups,      // the groups were listed
    NoGrouping,  // every step at or above the cut: each object is a group of its own
    CutTooLow,   // every step below the cut (or fewer than 2 objects): one group of all
};

struct GroupSeparation {
    CutOutcome outcome = CutOutcome::CutTooLow;
    std::size_t groups = 0;            // number of groups
    std::vector<std::size_t> group;    // per object (0-based), 1..groups in dendrogram order
};

// Cuts the hierarchy at the level cut: steps below the cut are joined, those at or above it
// stay apart. Prints the separation into the listing and gives the groups. With no grouping
// listed, the group numbers say what the cut means: each object apart (numbered by its
// dendrogram position) or all together in group 1.
GroupSeparation SeparateGroups(RecordWriter& listing, const Hierarchy& hierarchy, float cut,
                               const std::vector<std::string>& names);

// Writes the hierarchy file: one record per object, its name (4 characters), its position,
// and the two objects and the level of the step of the same number; the last record, which
// has no step, carries 0, 0 and 0.0.
void WriteHierarchyFile(RecordWriter& out, const Hierarchy& hierarchy, const std::vector<std::string>& names);
