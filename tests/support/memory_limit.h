// A shell command that limits the engine started after it to 512 MB. Normally that is a
// limit on its address space; a sanitized engine reserves terabytes of address space for the
// sanitizer's shadow at start, so it is limited by its allocator instead: one block above
// 512 MB, or a resident size above 512 MB, ends it with a sanitizer report.
#pragma once

#if defined(__SANITIZE_ADDRESS__)
inline constexpr char kMemoryLimit512[] =
    "export ASAN_OPTIONS=\"${ASAN_OPTIONS:+$ASAN_OPTIONS:}max_allocation_size_mb=512:hard_rss_limit_mb=512\"";
#else
inline constexpr char kMemoryLimit512[] = "ulimit -v 524288";
#endif
