#include "engines/common/file_names.h"

#include <algorithm>

namespace {

// Code points of the bytes 0x80 to 0x9F; the five bytes Windows-1252 leaves undefined map
// to the C1 control with the same number.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

std::string TrimTrailingBlanks(std::string_view text) {
    size_t n = text.size();
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\t' || text[n - 1] == '\r' ||
                     text[n - 1] == '\n'))
        --n;
    return std::string(text.substr(0, n));
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else if (b < 0xA0)
            AppendUtf8(out, kHighControls[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

std::string SystemFileName(std::string_view name1252, const std::string& folder) {
    std::string name = Cp1252ToUtf8(TrimTrailingBlanks(name1252));
    if (folder.empty() || (!name.empty() && name[0] == '/'))
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

std::string MakeFileNameWithExtension(std::string_view source, std::string_view extension,
                                      int* status) {
    if (status)
        *status = 0;
    const std::string trimmed = TrimTrailingBlanks(source);
    const size_t width = std::max<size_t>(128, trimmed.size());
    // Position (0-based) where the dot goes: the last dot of the last component, or the end.
    size_t componentStart = 0;
    for (size_t i = 0; i < trimmed.size(); ++i)
        if (IsSeparator(trimmed[i]))
            componentStart = i + 1;
    size_t dot = trimmed.size();
    const size_t lastDot = trimmed.rfind('.');
    if (lastDot != std::string::npos && lastDot >= componentStart)
        dot = lastDot;
    if (dot > width - 4)
        dot = width - 4;
    std::string result = trimmed.substr(0, dot);
    result += '.';
    std::string ext(extension.substr(0, 3));
    ext.resize(3, ' ');
    result += ext;
    result.resize(width, ' ');
    return result;
}
