// The numeric table of the program: rows of values, row names, one description per
// variable, a single-precision missing-value code and a title. Indices are 1-based.
#pragma once

#include <cmath>
#include <cstddef>
#include <new>
#include <utility>
#include <vector>

#include "platform/afx.h"
#include "platform/core/large_block.h"

// One modality of a qualitative variable.
struct CNamedCode {
    CString name;
    int code = 0;
};

class CVariableDesc {
public:
    CVariableDesc() = default;
    CVariableDesc(const CVariableDesc&) = default;
    CVariableDesc& operator=(const CVariableDesc&) = default;
    CVariableDesc(CVariableDesc&&) noexcept = default;
    CVariableDesc& operator=(CVariableDesc&&) noexcept = default;
    virtual ~CVariableDesc() = default;

    CString GetName() const { return m_strName; }
    void SetName(const CString& name) { m_strName = name; }
    // 1 quantitative, 0 qualitative; any other value counts as quantitative.
    int GetType() const { return m_nType; }
    void SetType(int type) { m_nType = type; }
    BOOL IsQualitative() const { return m_nType == 0; }
    double GetMean() const { return m_dMean; }
    void SetMean(double mean) { m_dMean = mean; }
    double GetVariance() const { return m_dVariance; }
    void SetVariance(double variance) { m_dVariance = variance; }
    std::vector<CNamedCode>& GetCategories() { return m_categories; }
    const std::vector<CNamedCode>& GetCategories() const { return m_categories; }
    int GetCategoryCount() const { return static_cast<int>(m_categories.size()); }
    void SetCategories(const std::vector<CNamedCode>& categories);

    // The variable's block of the native file.
    void Write(CArchive& ar) const;
    bool Read(CArchive& ar, int variableNumber);

private:
    std::vector<CNamedCode> m_categories;
    CString m_strName;
    int m_nType = 1;
    double m_dMean = 0.0;
    double m_dVariance = 0.0;
};

// Whether two numbers are the same value once converted to single precision (the missing-value
// rule; a NaN equals nothing). Inline: it runs on every cell of a large table.
inline bool FloatEquals(double a, double b) {
    return std::fabs(static_cast<float>(a) - static_cast<float>(b)) < 1e-6;
}

// A text as HTML text: '<', '>' and '&' become entities.
CString HtmlEscaped(const CString& text);

// The allocator of a table's values: large blocks from the large-block allocator, and values
// added by growing the block left uninitialised (whoever grows it writes them), so that
// reading a large file does not write every value twice.
template <class T>
struct CValueAllocator : afx::LargeBlockAllocator<T> {
    using value_type = T;
    template <class U>
    struct rebind {
        using other = CValueAllocator<U>;
    };
    CValueAllocator() noexcept = default;
    template <class U>
    CValueAllocator(const CValueAllocator<U>&) noexcept {}
    template <class U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
// The values of a table, row after row, in one block.
using CValueBlock = std::vector<double, CValueAllocator<double>>;

class CDataTable {
public:
    CDataTable();
    virtual ~CDataTable();
    CDataTable(const CDataTable&) = default;
    CDataTable& operator=(const CDataTable&) = default;

    // Slot order of the original: WriteHtml, WriteText, destructor, FillListCtrl.
    virtual void WriteHtml(CStdioFile* file) const;
    virtual CString WriteText() const;
    virtual void FillListCtrl(CListCtrl* list) const;

    int GetVariableCount() const { return m_nVariables; }
    int GetRowCount() const { return m_nRows; }
    double GetValue(int row, int variable) const { return m_values[Cell(row, variable)]; }
    void SetValue(int row, int variable, double value) { m_values[Cell(row, variable)] = value; }
    // The values of a row, variable 1 first; the rows follow one another in one block.
    const double* GetRowValues(int row) const { return m_values.data() + Cell(row, 1); }
    // A cell is absent when it holds the missing-value code.
    bool IsMissing(int row, int variable) const { return FloatEquals(GetValue(row, variable), m_fMissingCode); }

    void GetRowName(int row, CString& name) const { name = m_rowNames[static_cast<size_t>(row - 1)]; }
    CString GetRowNameCopy(int row) const { return m_rowNames[static_cast<size_t>(row - 1)]; }
    void SetRowName(int row, const CString& name) { m_rowNames[static_cast<size_t>(row - 1)] = name; }

    CString GetVariableName(int variable) const { return GetVariable(variable)->GetName(); }
    void SetVariableName(int variable, const CString& name) { GetVariable(variable)->SetName(name); }
    int GetVariableType(int variable) const { return GetVariable(variable)->GetType(); }
    void SetVariableType(int variable, int type) { GetVariable(variable)->SetType(type); }
    CVariableDesc* GetVariable(int variable) { return &m_variables[static_cast<size_t>(variable - 1)]; }
    const CVariableDesc* GetVariable(int variable) const { return &m_variables[static_cast<size_t>(variable - 1)]; }

    float GetMissingCode() const { return m_fMissingCode; }
    void SetMissingCode(float code) { m_fMissingCode = code; }
    // The code widened to double and formatted "%f" (-9.9 gives -9.900000).
    CString GetMissingCodeText() const;
    // The code from a text, as atof reads it (its numeric prefix, 0 when none), narrowed to float.
    void SetMissingCodeText(const CString& text);

    CString GetTitle() const { return m_strTitle; }
    void SetTitle(const CString& title) { m_strTitle = title; }

    // Rebuilds the table: rows named "0".."n-1", default variables, all values 0.
    int SetSize(int rows, int variables);
    // Empties rows, row names and variables; the code and the title stay.
    void Clear();

    void ComputeMeanVariance();
    void BuildModalities(bool force);
    void BuildVariableModalities(int variable, bool force);
    void CountVariableTypes(const std::vector<int>& variables, int& quantitative, int& qualitative) const;
    // Rows in which none of the listed variables is absent; their 0-based indices are
    // appended to out when given. Returns their number.
    int GetCompleteRows(const std::vector<int>& variables, std::vector<int>* out) const;
    // One label per complete row: the row name (identifier -1) or the identifier
    // variable's value formatted "%f". Returns the row count.
    int GetCompleteRowLabels(int identifier, std::vector<CString>* out, const std::vector<int>& variables) const;
    // Appends {name, variable number} for every qualitative variable, in column order.
    void GetQualitativeVariables(std::vector<CNamedCode>* out) const;
    // Replaces every value of the variable by its integer part, absent cells excepted.
    void TruncateVariable(int variable);

protected:
    // The first pass of ComputeMeanVariance, over rows taken in order: per variable the sum
    // and the number of its present values, the first of them and whether another differs.
    struct ValueSums {
        ValueSums(size_t variables, float missingCode);
        // Adds count rows of width values (from rows on) to the sums of variables [from, to).
        void Add(const double* rows, size_t count, size_t width, size_t from, size_t to);
        float code;
        std::vector<double, afx::LargeBlockAllocator<double>> sum, first;
        std::vector<long, afx::LargeBlockAllocator<long>> n;
        std::vector<char, afx::LargeBlockAllocator<char>> differs;
    };
    // ComputeMeanVariance with its first pass made already (over every row, in order): the
    // means, then the second pass and the variances.
    void ComputeMeanVariance(const ValueSums& sums);

    // The distinct integer codes of a variable's present cells, ascending, named ID1, ID2...
    std::vector<CNamedCode> CollectDistinctCodes(int variable) const;

    size_t Cell(int row, int variable) const {
        return static_cast<size_t>(row - 1) * static_cast<size_t>(m_nVariables) + static_cast<size_t>(variable - 1);
    }

    // Row r, variable v (both from 0) at r * variable count + v.
    CValueBlock m_values;
    std::vector<CString> m_rowNames;
    // On huge pages when large: a table may have millions of variables.
    std::vector<CVariableDesc, afx::LargeBlockAllocator<CVariableDesc>> m_variables;
    int m_nVariables = 0;
    int m_nRows = 0;
    float m_fMissingCode;
    CString m_strTitle;
};

// Base of the statistics objects: the descriptions of the analysed variables (owned by the
// table), in selection order, and their names.
class CStatistics {
public:
    CStatistics() = default;
    virtual ~CStatistics() = default;
    virtual int GetVariableCount() const = 0;
    virtual CString GetVariableName(int index) const = 0;

protected:
    std::vector<const CVariableDesc*> m_variables;
};
