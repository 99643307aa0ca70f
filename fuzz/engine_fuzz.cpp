// One engine's read-compute-write path on a mutated parameter file and data file; the
// engine is named by TESMO_FUZZ_ENGINE when the target is built (kelo_fuzz, mur_fuzz ...).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/engine_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const engine_fuzz::Engine* engine = engine_fuzz::EngineNamed(TESMO_FUZZ_ENGINE);
    if (!engine) std::abort();
    const std::string fault = engine_fuzz::Run(*engine, {reinterpret_cast<const char*>(data), size}).fault;
    if (!fault.empty()) {
        std::fprintf(stderr, "engine fuzz: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
