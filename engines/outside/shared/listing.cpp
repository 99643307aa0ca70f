#include "engines/outside/shared/listing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>

#include "engines/common/file_names.h"

namespace {
// Blanks and control characters (tab, carriage return...) cannot stand inside a token of a
// result file: a carriage return would split its line for the reader.
bool IsGap(char c) { return c == ' ' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }
}  // namespace

std::string ResultName(std::string_view name) {
    std::size_t first = 0, last = name.size();
    while (first < last && IsGap(name[first]))
        ++first;
    while (last > first && IsGap(name[last - 1]))
        --last;
    if (first == last)
        return "_";
    std::string out(name.substr(first, last - first));
    for (char& c : out)
        if (IsGap(c))
            c = '_';
    return out;
}

void AppendResultNumber(std::string& out, double value) {
    if (!std::isfinite(value) || value == 0.0) {
        out += '0';
        return;
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

namespace {

// Lines of a file read in pieces; the line end (LF or CR LF) is removed.
class LineSource {
public:
    explicit LineSource(std::FILE* file) : file_(file), buffer_(1 << 20) {}
    bool Next(std::string_view& line) {
        for (;;) {
            const char* start = buffer_.data() + begin_;
            const void* found = std::memchr(start, '\n', end_ - begin_);
            if (found || (eof_ && end_ > begin_)) {
                const std::size_t stop = found ? static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data()) : end_;
                std::size_t length = stop - begin_;
                if (length > 0 && start[length - 1] == '\r')
                    --length;
                line = std::string_view(start, length);
                begin_ = found ? stop + 1 : end_;
                ++number_;
                return true;
            }
            if (eof_)
                return false;
            // Keep the partial line and fill the rest of the buffer.
            if (begin_ > 0) {
                std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
                end_ -= begin_;
                begin_ = 0;
            }
            if (end_ == buffer_.size())
                buffer_.resize(buffer_.size() * 2);
            const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
            end_ += got;
            if (got == 0)
                eof_ = true;
        }
    }
    int Number() const { return number_; }
    bool Failed() const { return std::ferror(file_) != 0; }

private:
    std::FILE* file_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    bool eof_ = false;
    int number_ = 0;
};

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '/'; }

// Plain decimals ("-12.345678") of at most 15 significant digits: the digits as an integer
// divided by a power of ten. Both are exact doubles, so the one division rounds correctly
// and gives the same value as a full conversion. False for anything else.
bool ParsePlainDecimal(std::string_view token, double& out) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                         1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t p = 0;
    const bool negative = !token.empty() && token[0] == '-';
    if (negative)
        ++p;
    std::uint64_t mantissa = 0;
    int digits = 0, decimals = 0;
    bool point = false, any = false;
    for (; p < token.size(); ++p) {
        const char c = token[p];
        if (c >= '0' && c <= '9') {
            any = true;
            if (mantissa == 0 && c == '0') {
                if (point)
                    ++decimals;
                continue;
            }
            if (++digits > 15)
                return false;
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
            if (point)
                ++decimals;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    if (!any || decimals > 15)
        return false;
    const double value = static_cast<double>(mantissa) / kPowers[decimals];
    out = negative ? -value : value;
    return true;
}

// The same conversion read straight from the line at p, for the usual "%f" values: on
// success p stands after the value (at a separator or the line end).
bool ScanPlainDecimal(std::string_view line, std::size_t& p, double& out) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8,
                                         1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const std::size_t size = line.size();
    std::size_t q = p;
    const bool negative = q < size && line[q] == '-';
    if (negative)
        ++q;
    const std::size_t start = q;
    std::uint64_t mantissa = 0;
    while (q < size && line[q] >= '0' && line[q] <= '9')
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(line[q++] - '0');
    std::size_t digits = q - start;
    std::size_t decimals = 0;
    if (q < size && line[q] == '.') {
        const std::size_t first = ++q;
        while (q < size && line[q] >= '0' && line[q] <= '9')
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(line[q++] - '0');
        decimals = q - first;
        digits += decimals;
    }
    // Leading zeros count here, so this stays on the safe side of 15 significant digits.
    if (digits == 0 || digits > 15 || (q < size && !IsSeparator(line[q])))
        return false;
    const double value = static_cast<double>(mantissa) / kPowers[decimals];
    out = negative ? -value : value;
    p = q;
    return true;
}

bool ParseReal(std::string_view token, double& out) {
    if (ParsePlainDecimal(token, out))
        return true;
    if (!token.empty() && token[0] == '+')
        token.remove_prefix(1);
    if (token.empty() || token[0] == '+')
        return false;
    const char* end = token.data() + token.size();
    auto [ptr, ec] = std::from_chars(token.data(), end, out);
    if (ec == std::errc() && ptr == end)
        return std::isfinite(out);
    // Exponents written with D, as in double-precision constants.
    if (token.size() > 255 || token.find_first_of("dD") == std::string_view::npos)
        return false;
    char text[256];
    for (std::size_t i = 0; i < token.size(); ++i)
        text[i] = token[i] == 'd' || token[i] == 'D' ? 'e' : token[i];
    auto [ptr2, ec2] = std::from_chars(text, text + token.size(), out);
    return ec2 == std::errc() && ptr2 == text + token.size() && std::isfinite(out);
}

}  // namespace

DataReadStatus ReadDataMatrix(const std::string& systemPath, int nr, int nc, DataMatrix& data,
                              RecordWriter& listing) {
    std::FILE* file = std::fopen(systemPath.c_str(), "rb");
    if (!file)
        return DataReadStatus::CannotOpen;
    LineSource lines(file);
    auto finish = [&](DataReadStatus status) {
        std::fclose(file);
        return status;
    };
    auto endOfFile = [&](int rowsRead) {
        WriteAlert(listing, "ATENÇÃO - FIM DE FICHEIRO",
                   {" Verifique:", "    - Nº de Linhas (apenas foram lidas" + FormatI(rowsRead, 5) + ")",
                    "    - Nº de Colunas", "    - Formato dos Dados"});
        return finish(DataReadStatus::Failed);
    };
    auto readError = [&](const std::string& what) {
        WriteAlert(listing, "ATENÇÃO - ERRO NA LEITURA DOS DADOS",
                   {" Linha" + FormatI(lines.Number(), 8) + " do ficheiro de dados: " + what, " Verifique:",
                    "    - Nº de Colunas", "    - Formato dos Dados"});
        return finish(DataReadStatus::Failed);
    };
    const std::size_t rows = static_cast<std::size_t>(nr), cols = static_cast<std::size_t>(nc);
    std::string_view line;
    // Nothing is reserved from the counts before the file is known to hold them: the names
    // grow as they are read, and the table is reserved only when the file is long enough for
    // it (every value takes a character and a separator). A file too short is read through
    // all the same, so that the message tells how many rows it holds.
    std::error_code sizeError;
    const auto fileSize = std::filesystem::file_size(systemPath, sizeError);
    const long double needed = static_cast<long double>(nr) * (1.0L + 2.0L * static_cast<long double>(nc)) - 1.0L;
    const bool fits = sizeError || static_cast<long double>(fileSize) >= needed;  // unknown size: as announced
    data.names.clear();
    for (std::size_t i = 0; i < rows; ++i) {
        if (!lines.Next(line))
            return endOfFile(0);
        data.names.push_back(TrimTrailingBlanks(line));
    }
    double scratch = 0.0;
    if (fits)
        data.values.reset(new double[rows * cols]);
    else
        data.values.reset();
    double* const table = data.values.get();
    auto cell = [&](std::size_t i, std::size_t j) -> double& { return table ? table[i * cols + j] : scratch; };
    for (std::size_t i = 0; i < rows; ++i) {
        std::size_t filled = 0;
        while (filled < cols) {
            if (!lines.Next(line))
                return endOfFile(static_cast<int>(i));
            std::size_t p = 0;
            bool afterValue = false;
            const std::size_t size = line.size();
            while (filled < cols) {
                while (p < size && (line[p] == ' ' || line[p] == '\t'))
                    ++p;
                if (p >= size)
                    break;
                const char c = line[p];
                if (c == ',') {
                    if (!afterValue)
                        return readError("valor em falta (duas vírgulas seguidas)");
                    afterValue = false;
                    ++p;
                    continue;
                }
                if (c == '/')
                    return readError("só" + FormatI(static_cast<long long>(filled), 6) + " valores de" +
                                     FormatI(nc, 6) + " antes de \"/\"");
                std::size_t q = p;
                if (!ScanPlainDecimal(line, q, cell(i, filled))) {
                    q = p;
                    while (q < size && !IsSeparator(line[q]))
                        ++q;
                    const std::string_view token = line.substr(p, q - p);
                    if (!ParseReal(token, cell(i, filled)))
                        return readError("valor real inválido \"" + std::string(token) + "\"");
                }
                ++filled;
                afterValue = true;
                p = q;
            }
            if (filled == cols) {
                // A row's values end its line: more of them means other counts than announced.
                while (p < size && (line[p] == ' ' || line[p] == '\t' || line[p] == ','))
                    ++p;
                if (p < size)
                    return readError("a linha tem mais de" + FormatI(nc, 6) + " valores");
            }
        }
    }
    while (lines.Next(line))
        if (line.find_first_not_of(" \t\x1a") != std::string_view::npos)
            return readError("o ficheiro tem mais linhas do que as" + FormatI(nr, 8) + " indicadas");
    if (lines.Failed())
        return readError("erro de leitura do ficheiro");
    if (!table)  // the size said the table could not fit, yet it was read: the file changed
        return readError("o ficheiro mudou durante a leitura");
    return finish(DataReadStatus::Ok);
}

std::string EigenvalueLine(double value, double percent, double cumulative) {
    std::string line;
    AppendResultNumber(line, value);
    line += ' ';
    AppendResultNumber(line, percent);
    line += ' ';
    AppendResultNumber(line, cumulative);
    return line;
}

bool SolveEigenForListing(RecordWriter& prn, int n, const std::vector<double>& m,
                          SymmetricEigenResult& out) {
    out = SymmetricEigen(n, m);
    for (double value : out.values)
        if (!std::isfinite(value)) {
            WriteAlert(prn, "ATENÇÃO - ERRO NUMÉRICO", {" O cálculo dos valores próprios deu valores não numéricos"});
            return false;
        }
    if (!out.converged)
        prn.Write(" ATENÇÃO - o cálculo dos valores próprios parou sem convergir");
    return true;
}
