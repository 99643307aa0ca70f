// CString: a string of Windows-1252 bytes with the class library's interface.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/core/win_types.h"

class CString;

namespace afx_detail {
// Arguments of printf-style formatting: a CString is passed as its text, never as an object.
template <class T>
decltype(auto) FormatArg(const T& v) {
    if constexpr (std::is_same_v<std::decay_t<T>, CString>)
        return v.GetString();
    else if constexpr (std::is_same_v<std::decay_t<T>, std::string>)
        return v.c_str();
    else
        return (v);
}
std::string FormatV(const char* format, ...);
}  // namespace afx_detail

class CString {
public:
    CString() = default;
    CString(const char* s) : m_s(s ? s : "") {}
    CString(const char* s, int n) : m_s(s ? std::string(s, static_cast<size_t>(n < 0 ? 0 : n)) : std::string()) {}
    CString(char c, int n = 1) : m_s(static_cast<size_t>(n < 0 ? 0 : n), c) {}
    CString(const std::string& s) : m_s(s) {}
    CString(std::string&& s) : m_s(std::move(s)) {}
    CString(std::string_view s) : m_s(s) {}

    CString& operator=(const char* s) { m_s = std::string(s ? s : ""); return *this; }
    CString& operator=(char c) { m_s.assign(1, c); return *this; }

    // The text, as the class library's implicit conversion gives it.
    operator const char*() const { return m_s.c_str(); }
    const char* GetString() const { return m_s.c_str(); }
    const std::string& str() const { return m_s; }
    std::string& str() { return m_s; }

    int GetLength() const { return static_cast<int>(m_s.size()); }
    BOOL IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    char GetAt(int i) const { return m_s[static_cast<size_t>(i)]; }
    void SetAt(int i, char c) { m_s[static_cast<size_t>(i)] = c; }
    char operator[](int i) const { return GetAt(i); }

    CString Left(int n) const;
    CString Right(int n) const;
    CString Mid(int first) const;
    CString Mid(int first, int n) const;
    int Find(char c, int start = 0) const;
    int Find(const char* sub, int start = 0) const;
    int ReverseFind(char c) const;
    int FindOneOf(const char* set) const;
    int Compare(const char* s) const;
    int CompareNoCase(const char* s) const;
    CString& MakeUpper();
    CString& MakeLower();
    CString& TrimLeft();
    CString& TrimRight();
    CString& Trim() { TrimRight(); return TrimLeft(); }
    int Replace(char from, char to);
    int Replace(const char* from, const char* to);
    int Remove(char c);
    int Insert(int index, const char* s);
    int Delete(int index, int count = 1);

    // A writable buffer of at least n characters; ReleaseBuffer fixes the length
    // (at the first zero when n is -1).
    char* GetBuffer(int minLength = 0);
    char* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    // Loads a text of the string table; FALSE (and an empty string) when it is missing.
    BOOL LoadString(UINT id);

    template <class... Args>
    void Format(const char* format, const Args&... args) {
        m_s = afx_detail::FormatV(format, afx_detail::FormatArg(args)...);
    }
    template <class... Args>
    void AppendFormat(const char* format, const Args&... args) {
        m_s += afx_detail::FormatV(format, afx_detail::FormatArg(args)...);
    }

    CString& operator+=(const CString& o) { m_s += o.m_s; return *this; }
    CString& operator+=(const char* s) { if (s) m_s += s; return *this; }
    CString& operator+=(char c) { m_s += c; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
    friend CString operator+(const CString& a, const char* b) { return CString(a.m_s + (b ? b : "")); }
    friend CString operator+(const char* a, const CString& b) { return CString((a ? a : "") + b.m_s); }
    friend CString operator+(const CString& a, char b) { return CString(a.m_s + b); }
    friend CString operator+(char a, const CString& b) { return CString(a + b.m_s); }

    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CString& a, const char* b) { return a.m_s == (b ? b : ""); }
    friend bool operator==(const char* a, const CString& b) { return b == a; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator!=(const char* a, const CString& b) { return !(b == a); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_s < b.m_s; }

private:
    std::string m_s;
};

// Formats into a new string (printf conventions; CString arguments are passed as text).
template <class... Args>
CString FormatString(const char* format, const Args&... args) {
    CString s;
    s.Format(format, args...);
    return s;
}

// Fast, exact "%.Nf" of a finite double (the same digits printf gives in the C locale).
CString FormatFixed(double value, int decimals);
