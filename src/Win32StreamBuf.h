#pragma once

// The error stream's buffer while the add-in is open: it collects characters and hands each completed
// line to the debugger output in one piece, or drops it when no debugger is attached.

#include <streambuf>
#include <string>

namespace xll {

class Win32StreamBuf : public std::streambuf {
public:
    Win32StreamBuf() = default;
    ~Win32StreamBuf() override;

protected:
    int_type overflow(int_type c) override;
    int sync() override;

private:
    std::string buffer_;
};

} // namespace xll
