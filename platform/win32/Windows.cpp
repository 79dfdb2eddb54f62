// Top-level windows: how the bridge recognises the host's function-entry dialog.

#include "platform/win32/Win32.h"

#include <algorithm>
#include <exception>
#include <string>

namespace platform {

namespace {

struct Enumeration {
    const std::function<bool(WindowHandle)>* visit;
    std::exception_ptr failure;
};

BOOL CALLBACK visitWindow(HWND window, LPARAM context) {
    auto& enumeration = *reinterpret_cast<Enumeration*>(context);
    // An exception must not unwind through the system's frames: stop here and rethrow once EnumWindows
    // returns.
    try {
        return (*enumeration.visit)(win32::fromHwnd(window)) ? TRUE : FALSE;
    } catch (...) {
        enumeration.failure = std::current_exception();
        return FALSE;
    }
}

} // namespace

void enumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) {
    if (!visit)
        return;
    Enumeration enumeration{&visit, nullptr};
    EnumWindows(visitWindow, reinterpret_cast<LPARAM>(&enumeration));
    if (enumeration.failure)
        std::rethrow_exception(enumeration.failure);
}

std::string windowClassName(WindowHandle window, std::size_t maxChars) {
    // Class names are at most 256 characters; a larger request gains nothing.
    const int size = static_cast<int>(std::min<std::size_t>(maxChars, 256)) + 1;
    if (window == 0 || size == 1)
        return {};
    std::string name(static_cast<std::size_t>(size), '\0');
    const int length = GetClassNameA(win32::toHwnd(window), name.data(), size);
    name.resize(static_cast<std::size_t>(std::clamp(length, 0, size - 1)));
    return name;
}

WindowHandle windowParent(WindowHandle window) {
    if (window == 0)
        return 0;
    // For a top-level window this is its owner, which is how a dialog names the host's main window.
    return win32::fromHwnd(GetParent(win32::toHwnd(window)));
}

} // namespace platform
