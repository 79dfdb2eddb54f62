// Stand-ins for the process environment with the Windows semantics: names are compared without regard to
// letter case (the add-in asks for "Path", which this system spells "PATH"), and reads report the size
// needed when the buffer is too small.

#include "platform/Platform.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

extern char** environ;

namespace platform {

namespace {

// The name under which the variable stands in the environment, matched ignoring case; the name as given
// when there is none.
std::string environmentName(const char* name) {
    const std::size_t length = std::strlen(name);
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        if (equals != nullptr && static_cast<std::size_t>(equals - *entry) == length &&
            strncasecmp(*entry, name, length) == 0)
            return std::string(*entry, length);
    }
    return name;
}

} // namespace

std::uint32_t getEnvironmentVariable(const char* name, char* buffer, std::uint32_t size) {
    const char* value = std::getenv(environmentName(name).c_str());
    if (value == nullptr)
        return 0;
    const std::size_t length = std::strlen(value);
    if (length >= size || buffer == nullptr)
        return static_cast<std::uint32_t>(length + 1); // the size needed, terminator included
    std::memcpy(buffer, value, length + 1);
    return static_cast<std::uint32_t>(length);
}

bool setEnvironmentVariable(const char* name, const char* value) {
    return setenv(environmentName(name).c_str(), value, 1) == 0;
}

} // namespace platform
