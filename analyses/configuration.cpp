// The document's part of an analysis configuration file.
#include "app/data_set.h"
#include "app/tabulon_doc.h"

namespace {
const char kDataMismatch[] = "Ficheiro de dados não coincide.\nAbrir primeiro o ficheiro de dados correspondente";
}

int CTabulonDoc::WriteConfigurationHeader(CStdioFile& file) {
    if (!m_pDataSet) return 0;
    CFile data;
    if (!data.Open(GetPathName(), CFile::modeRead | CFile::typeBinary)) {
        data.Abort();
        return 0;
    }
    ULONGLONG length = data.GetLength();
    data.Abort();
    CString lines = GetPathName() + "\n";
    lines.AppendFormat("%llu\n", static_cast<unsigned long long>(length));
    lines.AppendFormat("%s\n", m_pDataSet->GetMissingCodeText());
    lines.AppendFormat("%d %d\n", m_pDataSet->GetRowCount(), m_pDataSet->GetVariableCount());
    file.WriteString(lines);
    return 1;
}

int CTabulonDoc::CheckConfiguration(const CString& dataPath, long long fileLength, int rowCount, int variableCount,
                                    const CString& codeText) {
    if (!m_pDataSet || dataPath != GetPathName()) {
        AfxMessageBox(kDataMismatch);
        return 0;
    }
    if (NumericValue(codeText.str()) != NumericValue(m_pDataSet->GetMissingCodeText().str())) {
        AfxMessageBox(FormatString(
            "O Código de ausência do ficheiro de configuração (%s) é diferente do que está definido actualmente",
            codeText));
        return 0;
    }
    CFile data;
    if (!data.Open(dataPath, CFile::modeRead | CFile::typeBinary)) {
        data.Abort();
        AfxMessageBox("Não é possível abrir o ficheiro de dados que é referido no ficheiro de configuração");
        return 0;
    }
    ULONGLONG length = data.GetLength();
    data.Abort();
    if (fileLength < 0 || length != static_cast<ULONGLONG>(fileLength) || rowCount != m_pDataSet->GetRowCount() ||
        variableCount != m_pDataSet->GetVariableCount()) {
        AfxMessageBox(kDataMismatch);
        return 0;
    }
    return 1;
}
