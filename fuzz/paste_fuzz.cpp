// The clipboard's tab-separated text parser on arbitrary bytes.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrepareHeadless();
    afx::ScriptedUser user;
    CDataSet set;
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str();  // the clipboard's text ends at its first zero
    if (set.ParseTabText(CString(text))) {
        set.CreateDefaultVariables();
        for (int r = 1; r <= set.GetRowCount(); ++r)
            for (int v = 1; v <= set.GetVariableCount(); ++v) (void)set.GetValue(r, v);
    }
    return 0;
}
