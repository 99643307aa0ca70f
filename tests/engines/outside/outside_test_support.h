// Working folders, files and independent reference computations for the tests of the
// outside engines mur and dazi.
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

namespace outside_test {

using engine_test::WorkFolder;

using engine_test::Lines;
using engine_test::ReadFile;
using engine_test::WriteFile;

// A point's record in a coordinate file: its name in 4 columns, then its coordinates "%7.3f".
inline std::string CoordinateRecord(const std::string& name, const std::vector<double>& values) {
    std::string record = (name + "    ").substr(0, 4);
    for (double value : values) {
        char field[16];
        std::snprintf(field, sizeof field, "%7.3f", value);
        record += field;
    }
    return record;
}

inline std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> tokens;
    std::istringstream in(line);
    std::string token;
    while (in >> token)
        tokens.push_back(token);
    return tokens;
}

inline bool Contains(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}

// "%f" of a value, as the GUI writes the data matrix.
inline std::string Fixed6(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", value);
    return buffer;
}

// Runs a built engine in folder; the exit status, or -1 when it did not end normally.
inline int RunProgram(const std::string& program, const std::string& folder) {
    const std::string command = "cd '" + folder + "' && '" + program + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Eigenvalues and unit eigenvectors of a symmetric positive semi-definite matrix (n x n,
// row-major) by power iteration with deflation: largest first. Each vector's largest
// component is made positive.
struct Eigen {
    std::vector<double> values;
    std::vector<std::vector<double>> vectors;
};
inline Eigen PowerEigen(std::vector<double> a, int n, int count) {
    Eigen result;
    for (int k = 0; k < count; ++k) {
        std::vector<double> x(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            x[static_cast<size_t>(i)] = 1.0 + 0.1 * i + 0.01 * i * i;  // not orthogonal to any axis of interest
        double lambda = 0.0;
        for (int iteration = 0; iteration < 200000; ++iteration) {
            std::vector<double> y(static_cast<size_t>(n), 0.0);
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j)
                    y[static_cast<size_t>(i)] += a[static_cast<size_t>(i * n + j)] * x[static_cast<size_t>(j)];
            double norm = 0.0;
            for (double v : y)
                norm += v * v;
            norm = std::sqrt(norm);
            if (norm < 1e-300) {
                lambda = 0.0;
                break;
            }
            double change = 0.0;
            for (int i = 0; i < n; ++i) {
                const double next = y[static_cast<size_t>(i)] / norm;
                change += std::fabs(next - x[static_cast<size_t>(i)]);
                x[static_cast<size_t>(i)] = next;
            }
            lambda = norm;
            if (change < 1e-15 && iteration > 10)
                break;
        }
        size_t largest = 0;
        for (size_t i = 1; i < x.size(); ++i)
            if (std::fabs(x[i]) > std::fabs(x[largest]))
                largest = i;
        if (x[largest] < 0)
            for (double& v : x)
                v = -v;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                a[static_cast<size_t>(i * n + j)] -= lambda * x[static_cast<size_t>(i)] * x[static_cast<size_t>(j)];
        result.values.push_back(lambda);
        result.vectors.push_back(x);
    }
    return result;
}

// The sign (+1 or -1) that best aligns got with expected.
inline double Alignment(const std::vector<double>& got, const std::vector<double>& expected) {
    double dot = 0.0;
    for (size_t i = 0; i < got.size() && i < expected.size(); ++i)
        dot += got[i] * expected[i];
    return dot < 0 ? -1.0 : 1.0;
}

}  // namespace outside_test
