#include "xlhost/common/Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace xlhost {

std::u16string utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        std::size_t length = 0;
        char32_t c = 0;
        if (b0 < 0x80) {
            length = 1;
            c = b0;
        } else if ((b0 & 0xE0) == 0xC0) {
            length = 2;
            c = b0 & 0x1F;
        } else if ((b0 & 0xF0) == 0xE0) {
            length = 3;
            c = b0 & 0x0F;
        } else if ((b0 & 0xF8) == 0xF0) {
            length = 4;
            c = b0 & 0x07;
        }
        bool valid = length != 0 && i + length <= s.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto b = static_cast<unsigned char>(s[i + k]);
            valid = (b & 0xC0) == 0x80;
            c = (c << 6) | (b & 0x3F);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF are malformed too.
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && c >= kSmallest[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
        if (!valid) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
        i += length;
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::string toBytes(std::u16string_view s) {
    std::string out(s.size(), '\0');
    for (std::size_t i = 0; i < s.size(); ++i)
        out[i] = s[i] < 0x100 ? static_cast<char>(s[i]) : '?';
    return out;
}

std::u16string fromBytes(std::string_view bytes) {
    std::u16string out(bytes.size(), u'\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        out[i] = static_cast<unsigned char>(bytes[i]);
    return out;
}

std::optional<std::u16string> numberText(double x) {
    if (!std::isfinite(x))
        return std::nullopt;
    if (x == 0)
        return u"0";
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x);
    if (ec != std::errc{})
        return std::nullopt;
    std::u16string out;
    for (const char* p = buffer; p != end; ++p)
        out.push_back(*p == 'e' ? u'E' : static_cast<char16_t>(*p));
    return out;
}

namespace {

// Whether a decimal text out of the double range is below it (rather than above): the decimal magnitude of
// its first significant digit plus its exponent is negative.
bool isTiny(const std::string& ascii) {
    const std::size_t e = ascii.find('e');
    const std::string mantissa = ascii.substr(0, e);
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string::npos)
        return true;
    long long magnitude =
        first < point ? static_cast<long long>(point - first) : -static_cast<long long>(first - point - 1);
    long long exponent = 0;
    if (e != std::string::npos) {
        std::size_t k = e + 1;
        const bool negative = k < ascii.size() && ascii[k] == '-';
        if (k < ascii.size() && (ascii[k] == '-' || ascii[k] == '+'))
            ++k;
        for (; k < ascii.size(); ++k)
            exponent = std::min(exponent * 10 + (ascii[k] - '0'), 1'000'000'000'000LL); // saturates
        if (negative)
            exponent = -exponent;
    }
    return magnitude + exponent <= 0;
}

} // namespace

std::optional<double> readNumber(std::u16string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    bool percent = false;
    if (end > begin && text[end - 1] == u'%') {
        percent = true;
        --end;
        while (end > begin && text[end - 1] == u' ')
            --end;
    }
    bool negative = false;
    if (begin < end && (text[begin] == u'+' || text[begin] == u'-')) {
        negative = text[begin] == u'-';
        ++begin;
    }
    // Only the plain decimal form: no hexadecimal, no "inf", no "nan".
    std::string ascii;
    std::size_t digits = 0;
    std::size_t i = begin;
    auto isDigit = [&](std::size_t k) { return k < end && text[k] >= u'0' && text[k] <= u'9'; };
    for (; isDigit(i); ++i, ++digits)
        ascii.push_back(static_cast<char>(text[i]));
    if (i < end && text[i] == u'.') {
        ascii.push_back('.');
        for (++i; isDigit(i); ++i, ++digits)
            ascii.push_back(static_cast<char>(text[i]));
    }
    if (digits == 0)
        return std::nullopt;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ascii.push_back('e');
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-'))
            ascii.push_back(static_cast<char>(text[i++]));
        if (!isDigit(i))
            return std::nullopt;
        for (; isDigit(i); ++i)
            ascii.push_back(static_cast<char>(text[i]));
    }
    if (i != end)
        return std::nullopt;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too small to hold reads as zero; too large does not read.
        if (!isTiny(ascii))
            return std::nullopt;
        value = 0;
    } else if (ec != std::errc{} || ptr != ascii.data() + ascii.size()) {
        return std::nullopt;
    }
    if (percent)
        value /= 100;
    if (negative)
        value = -value;
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

} // namespace xlhost
