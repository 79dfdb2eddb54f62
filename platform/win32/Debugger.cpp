// Debugger presence and output: the destination of the bridge's diagnostic lines.

#include "platform/win32/Win32.h"

namespace platform {

bool isDebuggerPresent() {
    return IsDebuggerPresent() != FALSE;
}

void debuggerOutput(const char* text) {
    if (text != nullptr)
        OutputDebugStringA(text);
}

} // namespace platform
