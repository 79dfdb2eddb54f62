#include "src/Win32StreamBuf.h"

#include "platform/Platform.h"

#include <iostream>
#include <string>

namespace xll {

Win32StreamBuf::~Win32StreamBuf() {
    // A host that unloads without closing the add-in would leave the error stream pointing at a destroyed
    // buffer, which the runtime flushes at exit; hand the stream a harmless buffer first.
    if (std::cerr.rdbuf() == this)
        std::cerr.rdbuf(nullptr);
}

Win32StreamBuf::int_type Win32StreamBuf::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return sync();
    buffer_.push_back(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
}

std::streamsize Win32StreamBuf::xsputn(const char_type* text, std::streamsize count) {
    // A whole line with nothing collected before it needs no buffer: it is passed on (or dropped) at once.
    if (count > 0 && text[count - 1] == '\n' && buffer_.empty()) {
        if (platform::isDebuggerPresent())
            platform::debuggerOutput(std::string(text, static_cast<std::size_t>(count)).c_str());
        return count;
    }
    return std::streambuf::xsputn(text, count);
}

int Win32StreamBuf::sync() {
    // Nothing collected: nothing to write (and nothing shared is touched by the flush of a whole line).
    if (buffer_.empty())
        return 0;
    if (platform::isDebuggerPresent())
        platform::debuggerOutput(buffer_.c_str());
    buffer_.clear();
    return 0;
}

} // namespace xll
