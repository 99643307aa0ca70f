// Working folders, kelo.par and Dados.dat for the kelo tests, and readers of kelo's output.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/engines/engine_test_files.h"

namespace kelo_test {

using engine_test::WorkFolder;

using engine_test::Lines;
using engine_test::ReadFile;
using engine_test::WriteFile;

// A data value as the GUI writes it ("%f"), in exponent form when that would be too long or
// would lose the value's digits.
inline std::string Number(double v) {
    if (v == 0.0 || (std::fabs(v) >= 1e-3 && std::fabs(v) < 1e15))
        return std::to_string(v);
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}

// One analysis: the table with its names, counts and flags, as the GUI writes them (CRLF).
struct KeloCase {
    std::vector<std::string> rowNames;
    std::vector<std::string> colNames;
    std::vector<std::vector<double>> rows;
    int nla = -1, nca = -1, nf = 2;      // -1: all active
    std::string rowFlags, colFlags;      // written when not all are active
    std::string graphs = "0 1 65 2.5";
    std::string options = "0 0";
    std::string title = "exemplo.tsm";  // inside the folder
    std::string dataName = "Dados.dat";  // inside the folder
    std::string dataLineEnd;             // text after the data path on its line

    void Write(const WorkFolder& folder) const {
        const int nl = static_cast<int>(rowNames.size()), nc = static_cast<int>(colNames.size());
        const int la = nla < 0 ? nl : nla, ca = nca < 0 ? nc : nca;
        std::string par = std::to_string(nl) + " " + std::to_string(la) + " " + std::to_string(nc) + " " +
                          std::to_string(ca) + " " + std::to_string(nf) + "\r\n";
        par += folder.File(dataName) + dataLineEnd + "\r\n" + folder.File(title) + "\r\n";
        if (nl != la || nc != ca)
            for (const std::string* flags : {&rowFlags, &colFlags})
                for (size_t k = 0; k == 0 || k < flags->size(); k += 80)
                    par += flags->substr(k, 80) + "\r\n";  // 80 flags a line
        par += graphs + "\r\n";
        for (const std::string& name : colNames)
            par += name + "\r\n";
        par += options + "\r\n";
        WriteFile(folder.File("kelo.par"), par);
        std::string data;
        for (const std::string& name : rowNames)
            data += name + "\r\n";
        for (const auto& row : rows) {
            for (double v : row)
                data += Number(v) + " ";
            data += "\r\n";
        }
        WriteFile(folder.File(dataName), data);
    }
};

struct TmpPoint {
    std::string name;
    std::vector<double> values;  // mass, squared distance, coordinates
};

struct TmpFile {
    double inertia = 0;
    std::vector<std::vector<double>> eigen;  // value, percentage, cumulative
    std::vector<TmpPoint> points;            // column block, then row block
};

// Reads kelo.tmp the way the GUI does: lines split at blanks.
inline TmpFile ReadTmp(const std::string& path, int nf) {
    TmpFile tmp;
    const std::vector<std::string> lines = Lines(ReadFile(path));
    EXPECT_GE(lines.size(), static_cast<size_t>(nf + 1));
    if (lines.size() < static_cast<size_t>(nf + 1))
        return tmp;
    tmp.inertia = std::atof(lines[0].c_str());
    for (size_t k = 1; k < lines.size(); ++k) {
        std::istringstream in(lines[k]);
        std::vector<std::string> fields;
        std::string field;
        while (in >> field)
            fields.push_back(field);
        std::vector<double> values;
        for (size_t f = (k <= static_cast<size_t>(nf) ? 0 : 1); f < fields.size(); ++f)
            values.push_back(std::atof(fields[f].c_str()));
        if (k <= static_cast<size_t>(nf))
            tmp.eigen.push_back(values);
        else
            tmp.points.push_back({fields.at(0), values});
    }
    return tmp;
}

}  // namespace kelo_test
