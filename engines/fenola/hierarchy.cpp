#include "engines/fenola/hierarchy.h"

namespace fenola {

std::optional<std::vector<std::size_t>> DendrogramPositions(std::size_t n, const std::vector<Step>& steps) {
    // Each slot holds a chain of objects from its own object (always the leftmost) to tail[s];
    // next[o] links object o to the one that follows it.
    std::vector<std::size_t> next(n, 0);  // 1-based successor, 0 = none
    std::vector<std::size_t> tail(n);
    std::vector<char> reached(n, 0);
    for (std::size_t i = 0; i < n; ++i) tail[i] = i + 1;
    for (const Step& s : steps) {
        if (s.left < 1 || s.left > n || s.right < 1 || s.right > n || s.left == s.right) return std::nullopt;
        const std::size_t last = tail[s.left - 1];
        if (next[last - 1] != 0 || reached[s.right - 1]) return std::nullopt;
        next[last - 1] = s.right;
        reached[s.right - 1] = 1;
        tail[s.left - 1] = tail[s.right - 1];
    }
    std::size_t start = 0;
    for (std::size_t i = 0; i < n && start == 0; ++i)
        if (!reached[i]) start = i + 1;
    if (start == 0) return std::nullopt;

    std::vector<std::size_t> position(n, 0);
    std::size_t count = 0;
    for (std::size_t o = start; o != 0; o = next[o - 1]) {
        if (position[o - 1] != 0) return std::nullopt;  // a loop
        position[o - 1] = ++count;
    }
    if (count != n) return std::nullopt;
    return position;
}

std::vector<std::size_t> ClusterMembers(std::size_t n, const std::vector<Step>& steps, std::size_t label) {
    std::vector<std::size_t> members;
    std::vector<std::size_t> pending{label};
    while (!pending.empty()) {
        const std::size_t l = pending.back();
        pending.pop_back();
        if (l <= n) {
            members.push_back(l);
        } else if (l - n <= steps.size()) {
            const Step& s = steps[l - n - 1];
            pending.push_back(s.right_label);  // visited after the first part
            pending.push_back(s.left_label);
        }
    }
    return members;
}

}  // namespace fenola
