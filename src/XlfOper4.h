#pragma once

// XlfOper4: a 4-generation value record in temporary memory, whatever generation the process uses. The host
// takes registrations in this generation only.

#include <string>
#include <string_view>

#include "src/api/XlCall.h"

namespace xll {

class XlfOper4 {
public:
    // Nil.
    XlfOper4();
    explicit XlfOper4(double value);
    // The 4-generation text rule: at most 254 bytes, the terminating zero counted.
    explicit XlfOper4(std::string_view text);
    explicit XlfOper4(const char* text) : XlfOper4(std::string_view(text == nullptr ? "" : text)) {}
    explicit XlfOper4(const std::string& text) : XlfOper4(std::string_view(text)) {}

    XlfOper4(XlfOper4&& other) noexcept : record_(other.record_) { other.record_ = nullptr; }
    XlfOper4& operator=(XlfOper4&&) = delete;
    XlfOper4(const XlfOper4&) = delete;
    XlfOper4& operator=(const XlfOper4&) = delete;
    // Hands a host-owned value back to the host.
    ~XlfOper4();

    XLOPER* handle() const { return record_; }
    // A number or an integer; otherwise the code is xlretFailed.
    double toDouble(int* code) const;

private:
    XLOPER* record_ = nullptr;
};

} // namespace xll
