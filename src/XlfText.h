#pragma once

// Conversions between the host's byte texts and wide texts with the C library's multibyte conversions under
// the current C locale. A byte or character that the locale cannot convert maps to itself when it is below
// 256 (as the Windows "C" locale does) and to '?' otherwise, so no text is ever refused or cut short.

#include <string>
#include <string_view>

namespace xll {

std::wstring widenText(std::string_view bytes);
std::string narrowText(std::wstring_view text);

} // namespace xll
