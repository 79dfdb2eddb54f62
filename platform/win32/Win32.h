#pragma once

// <windows.h> as every file of the Windows platform layer includes it: the narrow ("A") calls are named
// explicitly, so UNICODE does not matter, and min/max stay the standard library's.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/Platform.h"

namespace platform::win32 {

inline HWND toHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
inline WindowHandle fromHwnd(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

} // namespace platform::win32
