// dazi.par and Dados.dat for the dazi tests, written line by line as the front-end writes
// them, and a reader of dazi.tmp.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "tests/engines/outside/outside_test_support.h"

namespace outside_test {

struct DaziColumn {
    std::string id;
    bool quantitative = false;
    int rule = 2;                // quantitative columns
    std::vector<double> limits;  // rule 3
    std::vector<int> codes;
    std::vector<std::string> modalities;
    std::vector<int> active;     // empty: all active
    int Count() const { return static_cast<int>(codes.size()); }
    bool Active(size_t k) const { return active.empty() || active[k] == 1; }
};

struct DaziCase {
    std::vector<DaziColumn> columns;  // quantitative ones first
    std::vector<std::string> rowNames;
    std::vector<std::vector<double>> rows;  // one value per column
    bool projected = false;
    int nf = 2;
    int graphs = 1;
    bool files = true;  // the recoded, disjunctive, Burt and graphics-file flags

    int J() const {
        int j = 0;
        for (const DaziColumn& c : columns)
            j += c.Count();
        return j;
    }
    int A() const {
        int a = 0;
        for (const DaziColumn& c : columns)
            for (size_t k = 0; k < c.codes.size(); ++k)
                a += c.Active(k) ? 1 : 0;
        return a;
    }
    std::string Par(const std::string& dataPath) const {
        const std::string nl = "\r\n";
        const int n = static_cast<int>(rowNames.size());
        int q = 0, m = 0;
        for (const DaziColumn& c : columns) {
            q += c.quantitative ? 1 : 0;
            m = std::max(m, c.Count());
        }
        const int k = static_cast<int>(columns.size()) - q;
        char buffer[128];
        std::string par = std::to_string(n) + " " + std::to_string(q) + " " + std::to_string(k) + nl;
        par += dataPath + nl + "C:\\dados\\exemplo.tsm" + nl;
        for (const DaziColumn& c : columns)
            par += c.id + nl;
        for (const DaziColumn& c : columns)
            if (c.quantitative) {
                par += std::to_string(c.rule) + nl + std::to_string(c.Count()) + nl;
                if (c.rule == 3)
                    for (double limit : c.limits) {
                        std::snprintf(buffer, sizeof buffer, "%.3f", limit);
                        par += buffer + nl;
                    }
            }
        const std::string flag = files ? "1" : "0";
        par += flag + nl;
        par += std::to_string(J()) + " " + std::to_string(m) + " " + nl;
        par += flag + " 1" + nl;
        for (const DaziColumn& c : columns)
            par += std::to_string(c.Count()) + nl;
        for (const DaziColumn& c : columns)
            for (int code : c.codes)
                par += std::to_string(code) + nl;
        for (const DaziColumn& c : columns)
            for (const std::string& id : c.modalities)
                par += id + nl;
        par += flag + " 0 1" + nl;
        par += std::to_string(J() + (projected ? n : 0)) + " " + std::to_string(A()) + " " + std::to_string(J()) +
               " " + std::to_string(A()) + " " + std::to_string(nf) + nl;
        if (projected || A() != J()) {
            std::string flags;
            for (const DaziColumn& c : columns)
                for (size_t kk = 0; kk < c.codes.size(); ++kk)
                    flags += c.Active(kk) ? '1' : '0';
            auto lines = [&](const std::string& stream) {
                std::string out;
                for (size_t p = 0; p < stream.size(); p += 80)
                    out += stream.substr(p, 80) + nl;
                return out;
            };
            par += lines(flags + std::string(static_cast<size_t>(n), '0'));
            par += lines(flags);
        }
        par += std::to_string(graphs) + " 1 65 2.5" + nl;
        for (const DaziColumn& c : columns)
            for (const std::string& id : c.modalities)
                par += id + nl;
        par += flag + " 1" + nl;
        return par;
    }
    void Write(const WorkFolder& folder) const {
        WriteFile(folder.File("dazi.par"), Par(folder.File("Dados.dat")));
        std::string data;
        for (const std::string& name : rowNames)
            data += name + "\r\n";
        for (const auto& row : rows) {
            for (size_t j = 0; j < row.size(); ++j)
                data.append(j ? " " : "").append(Fixed6(row[j]));
            data += "\r\n";
        }
        WriteFile(folder.File("Dados.dat"), data);
    }
};

struct DaziPoint {
    std::string name;
    double mass = 0, d2 = 0;
    std::vector<double> coords;
};
struct DaziTmp {
    double inertia = 0;
    std::vector<std::vector<double>> eigen;
    std::vector<DaziPoint> points;
};

// Reads dazi.tmp as the results dialog does, checking that each line holds its fields.
inline DaziTmp ReadDaziTmp(const std::string& path, int nf, size_t points) {
    DaziTmp tmp;
    const std::vector<std::string> lines = Lines(ReadFile(path));
    EXPECT_EQ(lines.size(), 1 + static_cast<size_t>(nf) + points);
    if (lines.size() != 1 + static_cast<size_t>(nf) + points)
        return tmp;
    tmp.inertia = std::strtod(lines[0].c_str(), nullptr);
    for (size_t n = 1; n < lines.size(); ++n) {
        const std::vector<std::string> tokens = Tokens(lines[n]);
        const bool eigen = n <= static_cast<size_t>(nf);
        EXPECT_EQ(tokens.size(), eigen ? 3u : 3u + static_cast<size_t>(nf)) << lines[n];
        std::vector<double> values;
        for (size_t t = eigen ? 0 : 1; t < tokens.size(); ++t) {
            char* end = nullptr;
            values.push_back(std::strtod(tokens[t].c_str(), &end));
            EXPECT_TRUE(*end == '\0' && std::isfinite(values.back())) << lines[n];
        }
        if (eigen) {
            tmp.eigen.push_back(values);
        } else if (values.size() >= 2) {
            tmp.points.push_back({tokens[0], values[0], values[1], std::vector<double>(values.begin() + 2, values.end())});
        }
    }
    return tmp;
}

}  // namespace outside_test
