#include "engines/common/record_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <limits>
#include <random>

#include "engines/common/file_names.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool EndsToken(char c) { return c == ' ' || c == '\t' || c == ',' || c == '/'; }

bool ParseInt(std::string_view token, int& out) {
    if (!token.empty() && token[0] == '+')
        token.remove_prefix(1);
    if (token.empty())
        return false;
    const char* end = token.data() + token.size();
    auto [ptr, ec] = std::from_chars(token.data(), end, out);
    return ec == std::errc() && ptr == end;
}

bool ParseDouble(std::string_view token, double& out) {
    if (!token.empty() && token[0] == '+')
        token.remove_prefix(1);
    if (token.empty() || token[0] == '+' || token.size() > 255)
        return false;
    char text[256];
    for (size_t i = 0; i < token.size(); ++i)
        text[i] = token[i] == 'd' || token[i] == 'D' ? 'e' : token[i];  // exponent of double constants
    const char* end = text + token.size();
    auto [ptr, ec] = std::from_chars(text, end, out);
    return ec == std::errc() && ptr == end && std::isfinite(out);
}

std::string Quoted(std::string_view token) { return '"' + std::string(token) + "\""; }

}  // namespace

// ---------------------------------------------------------------------------------------
// RecordReader

bool RecordReader::Open(std::string_view fileName1252, const std::string& folder) {
    return OpenSystemPath(SystemFileName(fileName1252, folder));
}

bool RecordReader::OpenSystemPath(const std::string& path) {
    Close();
    path_ = path;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        error_ = "não foi possível abrir o ficheiro " + path;
        return false;
    }
    std::string text;
    // One reservation for the whole file (when its size is known) rather than a growing copy.
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        if (size > 0)
            text.reserve(static_cast<size_t>(size));
        std::rewind(f);
    }
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) {
        error_ = "erro de leitura no ficheiro " + path;
        return false;
    }
    const std::string keep = path_;
    OpenText(std::move(text));
    path_ = keep;
    return true;
}

void RecordReader::OpenText(std::string text) {
    Close();
    text_ = std::move(text);
    open_ = true;
}

void RecordReader::Close() {
    text_.clear();
    path_.clear();
    pos_ = 0;
    line_ = 0;
    valuesRead_ = 0;
    error_.clear();
    open_ = false;
}

bool RecordReader::NextLine(std::string_view& line) {
    if (!open_ || pos_ >= text_.size())
        return false;
    size_t end = text_.find('\n', pos_);
    size_t next = end == std::string::npos ? text_.size() : end + 1;
    if (end == std::string::npos)
        end = text_.size();
    if (end > pos_ && text_[end - 1] == '\r')
        --end;
    line = std::string_view(text_).substr(pos_, end - pos_);
    pos_ = next;
    ++line_;
    return true;
}

namespace {

bool StoreToken(const FreeItem& item, std::string_view token, std::string& error) {
    switch (item.type) {
    case FreeItem::Type::Int: {
        int v = 0;
        if (!ParseInt(token, v)) {
            error = "valor inteiro inválido " + Quoted(token);
            return false;
        }
        *static_cast<int*>(item.target) = v;
        return true;
    }
    case FreeItem::Type::Float:
    case FreeItem::Type::Double: {
        double v = 0;
        const bool isFloat = item.type == FreeItem::Type::Float;
        if (!ParseDouble(token, v) || (isFloat && std::fabs(v) > std::numeric_limits<float>::max())) {
            error = "valor real inválido " + Quoted(token);
            return false;
        }
        if (isFloat)
            *static_cast<float*>(item.target) = static_cast<float>(v);
        else
            *static_cast<double*>(item.target) = v;
        return true;
    }
    case FreeItem::Type::Name: {
        const size_t width = static_cast<size_t>(item.width > 0 ? item.width : 0);
        std::string name(token.substr(0, width));
        name.resize(width, ' ');
        *static_cast<std::string*>(item.target) = std::move(name);
        return true;
    }
    }
    return false;
}

}  // namespace

template <class ItemAt>
ReadStatus RecordReader::ReadFree(int count, ItemAt itemAt) {
    valuesRead_ = 0;
    error_.clear();
    if (count <= 0)
        return ReadStatus::Ok;
    int item = 0;  // next item to fill (null values advance it without storing)
    std::string_view line;
    while (item < count) {
        if (!NextLine(line)) {
            error_ = "fim de ficheiro";
            return ReadStatus::EndOfFile;
        }
        bool afterValue = false;
        size_t p = 0;
        while (item < count) {
            while (p < line.size() && IsBlank(line[p]))
                ++p;
            if (p >= line.size())
                break;
            const char c = line[p];
            if (c == '/')
                return ReadStatus::Ok;  // the read ends here; later items keep their values
            if (c == ',') {
                ++p;
                if (!afterValue)
                    ++item;  // a null value
                afterValue = false;
                continue;
            }
            size_t q = p;
            while (q < line.size() && !EndsToken(line[q]))
                ++q;
            const std::string_view token = line.substr(p, q - p);
            p = q;
            afterValue = true;
            if (!StoreToken(itemAt(item), token, error_))
                return ReadStatus::Error;
            ++item;
            ++valuesRead_;
        }
    }
    return ReadStatus::Ok;
}

long long RecordReader::LinesLeft() const {
    if (!open_ || pos_ >= text_.size())
        return 0;
    const long long ends = std::count(text_.begin() + static_cast<std::ptrdiff_t>(pos_), text_.end(), '\n');
    return text_.back() == '\n' ? ends : ends + 1;
}

bool RecordReader::CanHoldTable(long long rows, long long columns) const {
    if (rows <= 0)
        return true;
    if (!open_ || columns < 0)
        return false;
    long long filledLines = 0;
    bool slash = false;
    bool filled = false;
    for (size_t k = pos_; k < text_.size(); ++k) {
        const char c = text_[k];
        if (c == '\n') {
            filledLines += filled ? 1 : 0;
            filled = false;
        } else if (!IsBlank(c) && c != '\r') {
            filled = true;
            slash = slash || c == '/';
        }
    }
    filledLines += filled ? 1 : 0;
    if (filledLines / 2 < rows)
        return false;
    const long long bytes = static_cast<long long>(text_.size() - pos_);
    return slash || bytes / rows >= columns;
}

ReadStatus RecordReader::ReadInts(int* values, int count) {
    return ReadFree(count, [values](int i) { return FreeInt(values[i]); });
}

ReadStatus RecordReader::ReadReals(float* values, int count) {
    return ReadFree(count, [values](int i) { return FreeReal(values[i]); });
}

ReadStatus RecordReader::ReadReals(double* values, int count) {
    return ReadFree(count, [values](int i) { return FreeReal(values[i]); });
}

ReadStatus RecordReader::ReadName(std::string& name, int width) {
    // A null value or a "/" leaves a blank name.
    name.assign(static_cast<size_t>(width > 0 ? width : 0), ' ');
    return ReadFree(1, [&name, width](int) { return FreeName(name, width); });
}

ReadStatus RecordReader::ReadItems(std::initializer_list<FreeItem> items) {
    const FreeItem* first = items.begin();
    return ReadFree(static_cast<int>(items.size()), [first](int i) { return first[i]; });
}

ReadStatus RecordReader::ReadText(std::string& text, int width) {
    valuesRead_ = 0;
    error_.clear();
    std::string_view line;
    if (!NextLine(line)) {
        error_ = "fim de ficheiro";
        return ReadStatus::EndOfFile;
    }
    text.assign(line.substr(0, static_cast<size_t>(width)));
    text.resize(static_cast<size_t>(width), ' ');
    valuesRead_ = 1;
    return ReadStatus::Ok;
}

ReadStatus RecordReader::ReadLine(std::string& line) {
    valuesRead_ = 0;
    error_.clear();
    std::string_view view;
    if (!NextLine(view)) {
        error_ = "fim de ficheiro";
        return ReadStatus::EndOfFile;
    }
    line = TrimTrailingBlanks(view);
    valuesRead_ = 1;
    return ReadStatus::Ok;
}

ReadStatus RecordReader::ReadDigits(int* values, long long count, int perRecord) {
    valuesRead_ = 0;
    error_.clear();
    if (perRecord <= 0)
        perRecord = 80;
    std::string_view line;
    long long item = 0;
    while (item < count) {
        if (!NextLine(line)) {
            error_ = "fim de ficheiro";
            return ReadStatus::EndOfFile;
        }
        for (int col = 0; col < perRecord && item < count; ++col, ++item) {
            const char c = static_cast<size_t>(col) < line.size() ? line[col] : ' ';
            if (c >= '0' && c <= '9') {
                values[item] = c - '0';
            } else if (c == ' ') {
                values[item] = 0;
            } else {
                error_ = "carácter inválido " + Quoted(std::string_view(&c, 1)) + " na coluna " +
                         std::to_string(col + 1);
                return ReadStatus::Error;
            }
            ++valuesRead_;
        }
    }
    return ReadStatus::Ok;
}

ReadStatus RecordReader::SkipRecord() {
    std::string_view line;
    valuesRead_ = 0;
    error_.clear();
    if (!NextLine(line)) {
        error_ = "fim de ficheiro";
        return ReadStatus::EndOfFile;
    }
    return ReadStatus::Ok;
}

// ---------------------------------------------------------------------------------------
// RecordWriter

RecordWriter::~RecordWriter() {
    // A replacing file not closed was left half written (a run stopped by an exception).
    if (!temporary_.empty())
        Abandon();
    else
        Close();
}

bool RecordWriter::Create(std::string_view fileName1252, const std::string& folder) {
    return CreateSystemPath(SystemFileName(fileName1252, folder));
}

bool RecordWriter::CreateSystemPath(const std::string& path) {
    Close();
    path_ = path;
    good_ = true;
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_)
        good_ = false;
    return file_ != nullptr;
}

bool RecordWriter::CreateReplacing(std::string_view fileName1252, const std::string& folder) {
    namespace fs = std::filesystem;
    Close();
    path_ = SystemFileName(fileName1252, folder);
    good_ = false;
    std::error_code error;
    const fs::file_status existing = fs::symlink_status(path_, error);
    if (error && existing.type() != fs::file_type::not_found)
        return false;
    constexpr fs::perms kWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    const bool replacesFile = existing.type() == fs::file_type::regular;
    if (replacesFile && (existing.permissions() & kWrite) == fs::perms::none)
        return false;
    if (!replacesFile && existing.type() != fs::file_type::symlink && existing.type() != fs::file_type::not_found)
        return false;
    // A short name of our own in the target's folder (so that the rename stays within one
    // file system), created only if nothing stands there ("x").
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    const fs::path folderOfTarget = fs::path(path_).parent_path();
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        char name[32];
        std::snprintf(name, sizeof name, ".~%08x%04x", seed, counter++ & 0xffffu);
        temporary_ = (folderOfTarget / name).string();
        errno = 0;
        file_ = std::fopen(temporary_.c_str(), "wbx");
        if (!file_ && errno != EEXIST)
            break;
    }
    if (!file_) {
        temporary_.clear();
        return false;
    }
    // The new file takes the permissions of the one it replaces.
    if (replacesFile) {
        fs::permissions(temporary_, existing.permissions(), error);
        if (error) {
            Abandon();
            return false;
        }
    }
    good_ = true;
    return true;
}

void RecordWriter::Write(std::string_view record) {
    if (!file_)
        return;
    buffer_.append(record);
    buffer_.append("\r\n");
    if (buffer_.size() >= 65536)
        Flush();
}

void RecordWriter::WriteBlank(int count) {
    for (int i = 0; i < count; ++i)
        Write("");
}

void RecordWriter::Flush() {
    if (!file_ || buffer_.empty())
        return;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
        good_ = false;
    buffer_.clear();
}

bool RecordWriter::Close() {
    if (!file_)
        return good_;
    Flush();
    if (std::fclose(file_) != 0)
        good_ = false;
    file_ = nullptr;
    if (!temporary_.empty()) {
        std::error_code error;
        if (good_)
            std::filesystem::rename(temporary_, path_, error);
        if (!good_ || error) {
            std::filesystem::remove(temporary_, error);
            good_ = false;
        }
        temporary_.clear();
    }
    return good_;
}

void RecordWriter::Abandon() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    buffer_.clear();
    std::error_code error;
    std::filesystem::remove(temporary_, error);
    temporary_.clear();
    good_ = false;
}

// ---------------------------------------------------------------------------------------
// Field formatters

std::string Blanks(int count) { return std::string(count > 0 ? static_cast<size_t>(count) : 0, ' '); }

std::string Repeat(std::string_view piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out.append(piece);
    return out;
}

std::string PadText(std::string_view text, int width) {
    std::string out(text);
    if (width > 0 && out.size() < static_cast<size_t>(width))
        out.resize(static_cast<size_t>(width), ' ');
    return out;
}

std::string FormatText(std::string_view text, int width) {
    if (width <= 0)
        return {};
    std::string out(text.substr(0, static_cast<size_t>(width)));
    out.resize(static_cast<size_t>(width), ' ');
    return out;
}

namespace {

std::string Fit(std::string text, int width) {
    if (width <= 0)
        return {};
    if (static_cast<int>(text.size()) > width)
        return std::string(static_cast<size_t>(width), '*');
    return Blanks(width - static_cast<int>(text.size())) + text;
}

// Appends a real's text (size characters at text, which may be changed) fitted to width:
// blanks before it, an optional leading zero dropped ("0.5" -> ".5") when that makes it fit,
// asterisks when it does not.
void AppendReal(std::string& out, char* text, std::size_t size, int width) {
    const std::size_t field = width > 0 ? static_cast<std::size_t>(width) : 0;
    if (size > field) {
        const std::size_t zero = text[0] == '-' ? 1 : 0;
        if (size > zero + 1 && text[zero] == '0' && text[zero + 1] == '.') {
            // The sign, if any, takes the zero's place.
            if (zero == 1)
                text[1] = '-';
            ++text;
            --size;
        }
    }
    if (size > field) {
        out.append(field, '*');
        return;
    }
    out.append(field - size, ' ');
    out.append(text, size);
}

std::string FitReal(std::string text, int width) {
    std::string out;
    AppendReal(out, text.data(), text.size(), width);
    return out;
}

std::string NonFinite(double value, int width) {
    if (std::isnan(value))
        return Fit("NaN", width);
    const std::string sign = value < 0 ? "-" : "";
    if (static_cast<int>(sign.size()) + 8 <= width)
        return Fit(sign + "Infinity", width);
    return Fit(sign + "Inf", width);
}

}  // namespace

std::string FormatI(long long value, int width) { return Fit(std::to_string(value), width); }

long long ClampedCount(long double value) {
    const long double largest = static_cast<long double>(std::numeric_limits<long long>::max());
    return value < largest ? static_cast<long long>(value) : std::numeric_limits<long long>::max();
}

std::string FormatF(double value, int width, int decimals) {
    std::string out;
    AppendFixed(out, value, width, decimals);
    return out;
}

void AppendFixed(std::string& out, double value, int width, int decimals) {
    if (!std::isfinite(value)) {
        out += NonFinite(value, width);
        return;
    }
    decimals = std::clamp(decimals, 0, 100);
    if (std::fabs(value) >= 1e300) {  // far wider than any field
        out.append(static_cast<size_t>(width > 0 ? width : 0), '*');
        return;
    }
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::fixed, decimals);
    char* end = result.ptr;
    if (decimals == 0)
        *end++ = '.';
    AppendReal(out, buffer, static_cast<std::size_t>(end - buffer), width);
}

std::string FormatE(double value, int width, int decimals) {
    if (!std::isfinite(value))
        return NonFinite(value, width);
    decimals = std::clamp(decimals, 1, 100);
    const bool negative = std::signbit(value) && value != 0.0;
    std::string digits(static_cast<size_t>(decimals), '0');
    int exponent = 0;
    if (value != 0.0) {
        // d.ddd...e+XX with decimals significant digits, then shifted to 0.dddd...E+(XX+1).
        char buffer[128];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                          std::chars_format::scientific, decimals - 1);
        const std::string text(buffer, result.ptr);
        const size_t e = text.find('e');
        digits.clear();
        for (size_t i = 0; i < e; ++i)
            if (text[i] != '.')
                digits += text[i];
        exponent = std::stoi(text.substr(e + 1)) + 1;
    }
    std::string out = negative ? "-0." : "0.";
    out += digits;
    const int magnitude = exponent < 0 ? -exponent : exponent;
    char tail[16];
    if (magnitude <= 99)
        std::snprintf(tail, sizeof tail, "E%c%02d", exponent < 0 ? '-' : '+', magnitude);
    else if (magnitude <= 999)
        std::snprintf(tail, sizeof tail, "%c%03d", exponent < 0 ? '-' : '+', magnitude);
    else
        return std::string(static_cast<size_t>(width > 0 ? width : 0), '*');
    out += tail;
    return FitReal(std::move(out), width);
}

std::string FormatFree(float value) {
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, ptr) : std::string("0");
}

std::string FormatFree(double value) {
    char buffer[64];
    auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, ptr) : std::string("0");
}

std::string FreeRecord(std::initializer_list<float> values) {
    std::string out;
    for (float v : values)
        out += ' ' + FormatFree(v);
    return out;
}

std::string FreeRecord(std::initializer_list<double> values) {
    std::string out;
    for (double v : values)
        out += ' ' + FormatFree(v);
    return out;
}

void WriteContinued(RecordWriter& out, std::string_view leader, std::string_view continuation,
                    const std::vector<std::string>& fields, int perRecord) {
    if (perRecord <= 0)
        perRecord = 1;
    std::string record(leader);
    int inRecord = 0;
    for (const std::string& field : fields) {
        if (inRecord == perRecord) {
            out.Write(record);
            record.assign(continuation);
            inRecord = 0;
        }
        record += field;
        ++inRecord;
    }
    out.Write(record);
}
