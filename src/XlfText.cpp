#include "src/XlfText.h"

#include <climits>
#include <cwchar>

namespace xll {

std::wstring widenText(std::string_view bytes) {
    std::wstring result;
    result.reserve(bytes.size());
    std::mbstate_t state{};
    std::size_t i = 0;
    while (i < bytes.size()) {
        wchar_t c = 0;
        const std::size_t used = std::mbrtowc(&c, bytes.data() + i, bytes.size() - i, &state);
        if (used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2)) {
            result.push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i])));
            state = std::mbstate_t{};
            ++i;
        } else {
            result.push_back(c);
            i += used == 0 ? 1 : used; // an embedded zero is a character too
        }
    }
    return result;
}

std::string narrowText(std::wstring_view text) {
    std::string result;
    result.reserve(text.size());
    std::mbstate_t state{};
    char buffer[MB_LEN_MAX];
    for (const wchar_t c : text) {
        const std::size_t made = std::wcrtomb(buffer, c, &state);
        if (made == static_cast<std::size_t>(-1)) {
            const auto code = static_cast<unsigned long>(c);
            result.push_back(code < 256 ? static_cast<char>(code) : '?');
            state = std::mbstate_t{};
        } else {
            result.append(buffer, made);
        }
    }
    return result;
}

} // namespace xll
