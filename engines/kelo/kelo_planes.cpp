#include "engines/kelo/kelo_planes.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "engines/common/matrix_blocks.h"

// ---------------------------------------------------------------------------------------
// Ordered data

void ShellSort(std::vector<double>& keys, std::vector<int>& index) {
    const int n = static_cast<int>(keys.size());
    index.resize(keys.size());
    for (int i = 0; i < n; ++i)
        index[static_cast<std::size_t>(i)] = i;
    int gap = 1;
    while (gap <= n)
        gap *= 2;
    gap -= 1;
    // 1-based positions as the method is usually written.
    auto key = [&](int j) -> double& { return keys[static_cast<std::size_t>(j - 1)]; };
    auto idx = [&](int j) -> int& { return index[static_cast<std::size_t>(j - 1)]; };
    while ((gap /= 2) > 0) {
        for (int i = 1; i <= n - gap; ++i) {
            for (int j = i; j > 0; j -= gap) {
                if (!(key(j) > key(j + gap)))
                    break;
                std::swap(key(j), key(j + gap));
                std::swap(idx(j), idx(j + gap));
            }
        }
    }
}

void PrintOrderedProfiles(RecordWriter& out, int nrows, int ncols, const std::vector<double>& table,
                          const std::vector<std::string>& rowNames,
                          const std::vector<std::string>& columnNames,
                          const std::vector<double>& rowKeys, const std::vector<double>& columnKeys) {
    std::vector<double> keys = rowKeys;
    std::vector<int> rowOrder;
    ShellSort(keys, rowOrder);
    keys = columnKeys;
    std::vector<int> columnOrder;
    ShellSort(keys, columnOrder);

    const std::size_t ld = static_cast<std::size_t>(nrows);
    std::vector<double> ordered(table.size());
    std::vector<std::string> orderedRows(static_cast<std::size_t>(nrows));
    std::vector<std::string> orderedColumns(static_cast<std::size_t>(ncols));
    for (int i = 0; i < nrows; ++i)
        orderedRows[static_cast<std::size_t>(i)] = rowNames[static_cast<std::size_t>(rowOrder[i])];
    for (int j = 0; j < ncols; ++j) {
        orderedColumns[static_cast<std::size_t>(j)] = columnNames[static_cast<std::size_t>(columnOrder[j])];
        for (int i = 0; i < nrows; ++i)
            ordered[static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * ld] =
                table[static_cast<std::size_t>(rowOrder[i]) +
                      static_cast<std::size_t>(columnOrder[j]) * ld];
    }

    std::vector<double> profile(ordered.size());
    for (int i = 0; i < nrows; ++i) {
        double sum = 0.0;
        for (int j = 0; j < ncols; ++j)
            sum += ordered[static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * ld];
        for (int j = 0; j < ncols; ++j) {
            const std::size_t at = static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * ld;
            profile[at] = sum > 0.0 ? ordered[at] * 1000.0 / sum : 0.0;
        }
    }
    const std::string title = '\f' + Blanks(40) + "DADOS ORDENADOS SOBRE O FACTOR 1";
    out.Write(title);
    out.WriteBlank();
    out.Write(Blanks(36) + "Perfis das linhas (soma duma linha=1000)");
    PrintMatrixBlocks(out, 2, nrows, ncols, profile.data(), nrows, orderedRows, orderedColumns);

    for (int j = 0; j < ncols; ++j) {
        double sum = 0.0;
        for (int i = 0; i < nrows; ++i)
            sum += ordered[static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * ld];
        for (int i = 0; i < nrows; ++i) {
            const std::size_t at = static_cast<std::size_t>(i) + static_cast<std::size_t>(j) * ld;
            profile[at] = sum > 0.0 ? ordered[at] * 1000.0 / sum : 0.0;
        }
    }
    out.Write(title);
    out.WriteBlank();
    out.Write(Blanks(35) + "Perfis das colunas (soma duma coluna =1000)");
    PrintMatrixBlocks(out, 2, nrows, ncols, profile.data(), nrows, orderedRows, orderedColumns);
}
