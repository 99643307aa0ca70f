// What follows from the steps of an aggregation: the left-to-right order of the dendrogram
// and the members of each cluster.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "engines/fenola/aggregation.h"

namespace fenola {

// Position (1 to n) of every object in the dendrogram, indexed by object (0-based): each step
// puts the members of the cluster at slot L before those of the cluster at slot J. Empty when
// the steps do not form one chain over the n objects.
std::optional<std::vector<std::size_t>> DendrogramPositions(std::size_t n, const std::vector<Step>& steps);

// The objects (1-based) of the cluster labelled label (1..n an object, n + k the cluster of
// step k), walking each cluster's first part before its second. Iterative: a chained
// hierarchy is as deep as it has objects.
std::vector<std::size_t> ClusterMembers(std::size_t n, const std::vector<Step>& steps, std::size_t label);

}  // namespace fenola
