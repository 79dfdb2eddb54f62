#pragma once

// Text conversions of the stand-in host: UTF-8 (its own side: command line, files, control API), UTF-16
// (12-generation texts) and single bytes (4-generation texts, read as Latin-1); and the spreadsheet's
// conversions between numbers and texts.

#include <optional>
#include <string>
#include <string_view>

namespace xlhost {

// Malformed UTF-8 becomes U+FFFD, one per bad byte.
std::u16string utf8ToUtf16(std::string_view s);
// Unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view s);
// One byte per unit; units above 255 (no single-byte form) become '?'.
std::string toBytes(std::u16string_view s);
std::u16string fromBytes(std::string_view bytes);

// The shortest text that reads back to the same double, in the spreadsheet's manner: "1.5", "-2", "1E+20";
// negative zero reads "0". Not-a-number and infinities have no text.
std::optional<std::u16string> numberText(double x);
// A text that reads as a number, as the spreadsheet reads a typed entry: blanks around, an optional sign,
// digits with an optional decimal point, an optional exponent, an optional trailing "%" (divides by 100).
// Results beyond the double range do not read.
std::optional<double> readNumber(std::u16string_view text);

} // namespace xlhost
