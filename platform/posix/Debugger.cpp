// Stand-ins for the debugger: always "present", its output the standard error stream, written with one
// write(2) per text so that a line stays one unit even while std::cerr's buffer is redirected.

#include "platform/Platform.h"

#include <cstring>
#include <string>
#include <unistd.h>

namespace platform {

bool isDebuggerPresent() {
    return true;
}

void debuggerOutput(const char* text) {
    std::string line = text == nullptr ? std::string() : std::string(text);
    if (line.empty() || line.back() != '\n')
        line += '\n';
    const char* data = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(2, data, left);
        if (written <= 0)
            return;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

} // namespace platform
