#include "src/Win32StreamBuf.h"

#include "platform/Platform.h"

#include <iostream>

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

int Win32StreamBuf::sync() {
    if (platform::isDebuggerPresent() && !buffer_.empty())
        platform::debuggerOutput(buffer_.c_str());
    buffer_.clear();
    return 0;
}

} // namespace xll
