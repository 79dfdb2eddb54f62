// The process environment, through the narrow calls: "Path" is read and written in the ANSI code page.

#include "platform/win32/Win32.h"

namespace platform {

std::uint32_t getEnvironmentVariable(const char* name, char* buffer, std::uint32_t size) {
    if (name == nullptr)
        return 0;
    // The Windows call has exactly the promised semantics: the length when it fits, the size needed
    // (terminator included) when it does not, 0 when absent.
    return GetEnvironmentVariableA(name, size == 0 ? nullptr : buffer, size);
}

bool setEnvironmentVariable(const char* name, const char* value) {
    if (name == nullptr || *name == '\0')
        return false;
    return SetEnvironmentVariableA(name, value) != 0;
}

} // namespace platform
