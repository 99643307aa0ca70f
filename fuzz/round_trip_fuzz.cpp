// Saving what was opened or pasted reads back as the same table; a fault aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fuzz/round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string fault = round_trip::Fault(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!fault.empty()) {
        std::fprintf(stderr, "round trip: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
