// Hierarchical aggregation: joins the two closest clusters step by step.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

#include "engines/fenola/dissimilarity.h"

namespace fenola {

// Codes of the five methods; any other code aggregates as single link.
enum Method : int {
    kSingleLink = 1,
    kCompleteLink = 2,
    kAverageLink = 3,   // UPGMA
    kWeightedLink = 4,  // WPGMA
    kFlexible = 5,
};

// Coefficients of the flexible method: new = c1 a + c2 b + c3 level + c4 |a - b|.
struct FlexibleCoefficients {
    float c1 = 0.5f;
    float c2 = 0.5f;
    float c3 = 0.0f;
    float c4 = -0.5f;
};

// One step of the hierarchy. Slots and labels are 1-based: slot L (the smaller number) keeps
// the joined cluster, slot J is emptied; labels 1..n are objects, n + k the cluster of step k.
struct Step {
    std::size_t left = 0;        // slot L: the leftmost object of the kept cluster
    std::size_t right = 0;       // slot J: the leftmost object of the absorbed cluster
    std::size_t left_label = 0;  // label of the cluster at L before the step
    std::size_t right_label = 0; // label of the cluster at J before the step
    float level = 0.0f;          // the dissimilarity at which the two clusters are joined
    std::size_t size = 0;        // number of objects of the new cluster
};

// Order of dissimilarities in the search: NaN counts as larger than any value.
inline bool LessNanLast(float a, float b) { return !std::isnan(a) && (std::isnan(b) || a < b); }
inline bool SameValue(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }

// The dissimilarity between the cluster made of a (size na) and b (size nb) and a third one,
// from a = D(L, m) and b = D(J, m) and the level of the step.
float UpdatedDissimilarity(int method, const FlexibleCoefficients& coefficients, float a, float b, std::size_t na,
                           std::size_t nb, float level);

// The fewest positions of the triangle that make a thread's share of a step.
constexpr std::size_t kDefaultGrain = 256;

// Aggregates the objects whose dissimilarities fill d (overwritten). Each step joins the
// closest pair of live clusters, the last one in row order (greater i, then greater j) among
// equal values, exactly as a full scan of the triangle row by row would, but keeping the
// minimum of every row so that a run costs O(n^2) in practice. A step over many positions is
// shared out among the cores, one thread per grain positions; the result does not depend on
// how many there are. The team's threads share the steps; without one, the function makes
// its own.
std::vector<Step> Aggregate(Triangle& d, int method, const FlexibleCoefficients& coefficients, Team& team,
                            std::size_t grain = kDefaultGrain);
std::vector<Step> Aggregate(Triangle& d, int method, const FlexibleCoefficients& coefficients,
                            std::size_t grain = kDefaultGrain);

}  // namespace fenola
