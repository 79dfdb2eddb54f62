#include "dates/Tenor.h"

#include "dates/Messages.h"

namespace tavrin {

namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// The leading decimal number of the text, as the standard text-to-integer conversion reads it (blanks
// skipped, one optional sign, digits up to the first non-digit, 0 when there is none), reduced modulo 2^16.
// Only the low 16 bits are used, and reducing digit by digit gives them for numbers of any length.
uint16_t leadingNumberLow16(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    uint16_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        value = static_cast<uint16_t>(value * 10u + static_cast<unsigned>(text[i] - L'0'));
    return negative ? static_cast<uint16_t>(0u - value) : value;
}

} // namespace

// The unit letter may stand anywhere ("Y" wins over "M"), but the number is always read from the start and
// the last character is assumed to be the unit: "6MX" is 6 months and "1Y6M" is 12. A count of 0 months (also
// one reduced to 0 modulo 2^16) or a text without a unit letter names no tenor.
Tenor parseTenor(const std::wstring& tenor) {
    const bool hasMonths = tenor.find(L'M') != std::wstring::npos;
    const bool hasYears = tenor.find(L'Y') != std::wstring::npos;
    if (!(hasMonths || hasYears))
        return Tenor();
    const std::wstring number = tenor.empty() ? tenor : tenor.substr(0, tenor.size() - 1);
    uint16_t months = leadingNumberLow16(number);
    if (hasYears)
        months = static_cast<uint16_t>(months * 12u);
    return Tenor::ofMonths(static_cast<int16_t>(months));
}

int16_t Tenor::months() const {
    if (months_ == 0)
        throw messages::InvalidTenor;
    return months_;
}

int16_t tenorToMonths(const std::wstring& tenor) {
    return parseTenor(tenor).months();
}

} // namespace tavrin
