#pragma once

// Outside Windows there are no windows to enumerate: the stand-in host publishes its own list of top-level
// windows through this C function, exported by the stand-in host library and looked up by name by the
// platform layer. Handles are opaque integers; a null class name reads as empty.

#include <cstdint>

extern "C" {
struct XlHostWindow {
    std::uintptr_t handle;
    std::uintptr_t parent;
    const char* className;
};

// Sets *windows to the host's window list and returns its length.
using XlHostTopLevelWindowsProc = int (*)(const XlHostWindow** windows);
}

inline constexpr const char* kXlHostTopLevelWindowsSymbol = "xlhost_top_level_windows";
