#include "engines/common/matrix_blocks.h"

#include <algorithm>

namespace {

struct BlockLayout {
    int columns;   // columns per block
    int lead;      // blanks before the first heading cell
    int pad;       // blanks on each side of a name in its heading cell
    int width;     // value field width
    int decimals;  // value field decimals
};

BlockLayout LayoutOf(int kind) {
    switch (kind) {
    case 2: return {15, 7, 2, 8, 2};
    case 3: return {20, 6, 1, 6, 0};
    case 4: return {15, 7, 2, 8, 4};
    default: return {10, 9, 4, 12, 2};
    }
}

std::string NameAt(const std::vector<std::string>& names, int index) {
    return FormatText(static_cast<size_t>(index) < names.size() ? names[index] : std::string(), 4);
}

template <class Real>
void PrintBlocks(RecordWriter& out, int kind, int nrows, int ncols, const Real* a, int lda,
                 const std::vector<std::string>& rowNames, const std::vector<std::string>& colNames) {
    const BlockLayout layout = LayoutOf(kind);
    for (int j1 = 0; j1 < ncols; j1 += layout.columns) {
        const int j2 = std::min(j1 + layout.columns, ncols);  // one past the block's last column
        std::string heading = ' ' + Blanks(layout.lead);
        for (int j = j1; j < j2; ++j)
            heading += Blanks(layout.pad) + NameAt(colNames, j) + Blanks(layout.pad);
        const std::string rule = ' ' + std::string(static_cast<size_t>((j2 - j1) * layout.width + 7), '-');
        out.WriteBlank(2);
        out.Write(heading);
        out.Write(rule);
        for (int i = 0; i < nrows; ++i) {
            std::string line = ' ' + NameAt(rowNames, i) + "  ";
            for (int j = j1; j < j2; ++j)
                line += FormatF(a[i + static_cast<size_t>(j) * lda], layout.width, layout.decimals);
            out.Write(line);
        }
        out.Write(rule);
        out.Write(heading);
    }
}

}  // namespace

void PrintMatrixBlocks(RecordWriter& out, int kind, int nrows, int ncols, const float* a, int lda,
                       const std::vector<std::string>& rowNames,
                       const std::vector<std::string>& colNames) {
    PrintBlocks(out, kind, nrows, ncols, a, lda, rowNames, colNames);
}

void PrintMatrixBlocks(RecordWriter& out, int kind, int nrows, int ncols, const double* a, int lda,
                       const std::vector<std::string>& rowNames,
                       const std::vector<std::string>& colNames) {
    PrintBlocks(out, kind, nrows, ncols, a, lda, rowNames, colNames);
}
