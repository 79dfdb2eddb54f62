// Stand-ins for the process environment with the Windows read semantics.

#include "platform/Platform.h"

#include <cstdlib>
#include <cstring>

namespace platform {

std::uint32_t getEnvironmentVariable(const char* name, char* buffer, std::uint32_t size) {
    const char* value = std::getenv(name);
    if (value == nullptr)
        return 0;
    const std::size_t length = std::strlen(value);
    if (length >= size || buffer == nullptr)
        return static_cast<std::uint32_t>(length + 1); // the size needed, terminator included
    std::memcpy(buffer, value, length + 1);
    return static_cast<std::uint32_t>(length);
}

bool setEnvironmentVariable(const char* name, const char* value) {
    return setenv(name, value, 1) == 0;
}

} // namespace platform
