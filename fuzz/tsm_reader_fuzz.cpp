// The native data file reader on arbitrary bytes.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "app/data_set.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QuietMessageBoxes();
    static const std::string path = "/tmp/tsm-fuzz-" + std::to_string(getpid()) + ".tsm";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    afx::ScriptedUser user;
    CFile file;
    if (!file.Open(path.c_str(), CFile::modeRead)) return 0;
    CArchive ar(&file, CArchive::load);
    CDataSet set;
    if (set.Load(ar)) {
        // A table that was accepted keeps its invariants.
        for (int r = 1; r <= set.GetRowCount(); ++r)
            for (int v = 1; v <= set.GetVariableCount(); ++v) (void)set.GetValue(r, v);
        set.BuildModalities(true);
    }
    return 0;
}
