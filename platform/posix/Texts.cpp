// Stand-ins for text services, message boxes and system error texts.

#include "platform/Platform.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace platform {
namespace {

// English (United States) case folding is that of plain ASCII, whatever the process locale says.
char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

int compareIgnoreCaseEnUs(std::string_view a, std::string_view b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(foldAscii(a[i]));
        const auto y = static_cast<unsigned char>(foldAscii(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

void showMessageBox(const std::string& text, const std::string& caption, MessageIcon icon) {
    std::string line = (icon == MessageIcon::Error ? "[error] " : "[information] ") + caption + ": " + text;
    for (char& c : line)
        if (c == '\n' || c == '\r')
            c = ' ';
    debuggerOutput(line.c_str());
}

std::uint32_t lastSystemError() {
    return static_cast<std::uint32_t>(errno);
}

std::string systemErrorText(std::uint32_t code) {
    char buffer[256] = {};
    // The GNU form may return a static text instead of filling the buffer.
    const char* text = strerror_r(static_cast<int>(code), buffer, sizeof buffer);
    std::string result = text == nullptr ? std::string() : std::string(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
        result.pop_back();
    return result;
}

} // namespace platform
