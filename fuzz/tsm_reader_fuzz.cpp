// The native data file reader on arbitrary bytes.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PrepareHeadless();
    static const std::string path = FuzzPath("in");
    if (!WriteBytes(path, data, size)) return 0;
    afx::ScriptedUser user;
    CDataSet set;
    if (LoadFile(path, set)) {
        // A table that was accepted keeps its invariants.
        for (int r = 1; r <= set.GetRowCount(); ++r)
            for (int v = 1; v <= set.GetVariableCount(); ++v) (void)set.GetValue(r, v);
        set.BuildModalities(true);
    }
    return 0;
}
