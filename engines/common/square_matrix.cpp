#include "engines/common/square_matrix.h"

#include <algorithm>

#include "engines/common/record_io.h"

void PrintSquareMatrix(RecordWriter& out, std::size_t n, const float* matrix, std::size_t ld,
                       const std::vector<std::string>& names) {
    constexpr std::size_t kColumns = 15;
    for (std::size_t j1 = 0; j1 < n; j1 += kColumns) {
        const std::size_t j2 = std::min(j1 + kColumns, n);  // one past the block's last column
        std::string heading = ' ' + Blanks(5);
        for (std::size_t j = j1; j < j2; ++j) heading += Blanks(4) + FormatText(names[j], 4);
        const std::string rule = ' ' + Blanks(5) + std::string((j2 - j1 - 1) * 8 + 11, '-');
        out.WriteBlank(2);
        out.Write(heading);
        out.Write(rule);
        for (std::size_t i = j1; i < n; ++i) {
            std::string line = ' ' + FormatText(names[i], 4) + " |";
            for (std::size_t j = j1; j <= std::min(i, j2 - 1); ++j) line += FormatF(matrix[i + j * ld], 8, 3);
            out.Write(line);
        }
        out.Write(rule);
        out.Write(heading);
    }
}
