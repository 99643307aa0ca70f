#include "platform/core/cstring.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstring>

#include "platform/core/resources.h"

namespace afx_detail {
std::string FormatV(const char* format, ...) {
    if (!format) return std::string();
    char small[256];
    va_list ap;
    va_start(ap, format);
    va_list ap2;
    va_copy(ap2, ap);
    int n = std::vsnprintf(small, sizeof small, format, ap);
    va_end(ap);
    std::string out;
    if (n < 0) {
        va_end(ap2);
        return out;
    }
    if (static_cast<size_t>(n) < sizeof small) {
        out.assign(small, static_cast<size_t>(n));
    } else {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), format, ap2);
        out.resize(static_cast<size_t>(n));
    }
    va_end(ap2);
    return out;
}
}  // namespace afx_detail

namespace {
size_t Clamp(int v, size_t max) {
    if (v < 0) return 0;
    return std::min(static_cast<size_t>(v), max);
}
}  // namespace

CString CString::Left(int n) const { return CString(m_s.substr(0, Clamp(n, m_s.size()))); }

CString CString::Right(int n) const {
    size_t k = Clamp(n, m_s.size());
    return CString(m_s.substr(m_s.size() - k));
}

CString CString::Mid(int first) const {
    size_t f = Clamp(first, m_s.size());
    return CString(m_s.substr(f));
}

CString CString::Mid(int first, int n) const {
    size_t f = Clamp(first, m_s.size());
    return CString(m_s.substr(f, Clamp(n, m_s.size() - f)));
}

int CString::Find(char c, int start) const {
    if (start < 0 || static_cast<size_t>(start) > m_s.size()) return -1;
    size_t p = m_s.find(c, static_cast<size_t>(start));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Find(const char* sub, int start) const {
    if (!sub || start < 0 || static_cast<size_t>(start) > m_s.size()) return -1;
    size_t p = m_s.find(sub, static_cast<size_t>(start));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::ReverseFind(char c) const {
    size_t p = m_s.rfind(c);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::FindOneOf(const char* set) const {
    if (!set) return -1;
    size_t p = m_s.find_first_of(set);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Compare(const char* s) const { return std::strcmp(m_s.c_str(), s ? s : ""); }

int CString::CompareNoCase(const char* s) const { return strcasecmp(m_s.c_str(), s ? s : ""); }

CString& CString::MakeUpper() {
    for (char& c : m_s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return *this;
}

CString& CString::MakeLower() {
    for (char& c : m_s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return *this;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

CString& CString::TrimLeft() {
    size_t i = 0;
    while (i < m_s.size() && IsBlank(m_s[i])) ++i;
    m_s.erase(0, i);
    return *this;
}

CString& CString::TrimRight() {
    size_t n = m_s.size();
    while (n > 0 && IsBlank(m_s[n - 1])) --n;
    m_s.resize(n);
    return *this;
}

int CString::Replace(char from, char to) {
    int n = 0;
    for (char& c : m_s)
        if (c == from) { c = to; ++n; }
    return n;
}

int CString::Replace(const char* from, const char* to) {
    if (!from || !*from) return 0;
    std::string f(from), t(to ? to : "");
    int n = 0;
    size_t p = 0;
    while ((p = m_s.find(f, p)) != std::string::npos) {
        m_s.replace(p, f.size(), t);
        p += t.size();
        ++n;
    }
    return n;
}

int CString::Remove(char c) {
    size_t before = m_s.size();
    m_s.erase(std::remove(m_s.begin(), m_s.end(), c), m_s.end());
    return static_cast<int>(before - m_s.size());
}

int CString::Insert(int index, const char* s) {
    m_s.insert(Clamp(index, m_s.size()), s ? s : "");
    return GetLength();
}

int CString::Delete(int index, int count) {
    size_t i = Clamp(index, m_s.size());
    m_s.erase(i, Clamp(count, m_s.size() - i));
    return GetLength();
}

char* CString::GetBuffer(int minLength) {
    if (minLength > 0 && static_cast<size_t>(minLength) > m_s.size()) m_s.resize(static_cast<size_t>(minLength));
    return m_s.data();
}

char* CString::GetBufferSetLength(int length) {
    m_s.resize(Clamp(length, static_cast<size_t>(length < 0 ? 0 : length)));
    return m_s.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) newLength = static_cast<int>(std::strlen(m_s.c_str()));
    m_s.resize(static_cast<size_t>(newLength));
}

BOOL CString::LoadString(UINT id) {
    const char* s = afx::FindString(id);
    if (!s) {
        m_s.clear();
        return FALSE;
    }
    m_s = s;
    return TRUE;
}

CString FormatFixed(double value, int decimals) {
    char buf[400];
    if (std::isfinite(value)) {
        auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
        if (r.ec == std::errc()) return CString(buf, static_cast<int>(r.ptr - buf));
    }
    CString s;
    s.Format("%.*f", decimals, value);
    return s;
}
