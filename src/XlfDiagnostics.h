#pragma once

// One diagnostic line on the standard error stream: "file(line): text". The add-in routes that stream to the
// debugger output, which receives each line in one piece when the line is ended.

#include <string_view>

namespace xll {

void reportLine(const char* file, int line, std::string_view text);

} // namespace xll

#define XLL_REPORT(text) ::xll::reportLine(__FILE__, __LINE__, (text))
