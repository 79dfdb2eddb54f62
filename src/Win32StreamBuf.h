#pragma once

// The error stream's buffer while the add-in is open: it collects characters and hands each completed
// line to the debugger output in one piece, or drops it when no debugger is attached.
//
// Threads: a diagnostic line written whole (as reportLine writes them) goes straight to the debugger
// output, which takes each text as one unit, and touches nothing shared; so lines from calls on several
// threads never mix. Only text written piece by piece (on the main thread) is collected first.

#include <streambuf>
#include <string>

namespace xll {

class Win32StreamBuf : public std::streambuf {
public:
    Win32StreamBuf() = default;
    ~Win32StreamBuf() override;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char_type* text, std::streamsize count) override;
    int sync() override;

private:
    std::string buffer_;
};

} // namespace xll
