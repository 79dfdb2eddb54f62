// Locale-fixed text comparison, message boxes and system error texts.

#include "platform/win32/Win32.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <string>

namespace platform {

namespace {

// English (United States), default sort: window class names compare the same whatever the user's locale.
constexpr LCID kEnglishUnitedStates = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);
static_assert(kEnglishUnitedStates == 0x0409);

int compareAsciiIgnoreCase(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int x = std::tolower(static_cast<unsigned char>(a[i]));
        const int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace

int compareIgnoreCaseEnUs(std::string_view a, std::string_view b) {
    if (a.size() <= INT_MAX && b.size() <= INT_MAX) {
        // An empty view may have no data pointer; the call wants a valid one even for a length of 0.
        const int result =
            CompareStringA(kEnglishUnitedStates, NORM_IGNORECASE, a.empty() ? "" : a.data(),
                           static_cast<int>(a.size()), b.empty() ? "" : b.data(), static_cast<int>(b.size()));
        if (result != 0)
            return result - CSTR_EQUAL; // CSTR_LESS_THAN 1, CSTR_EQUAL 2, CSTR_GREATER_THAN 3
    }
    // The call failed: an answer from the plain letters beats none.
    return compareAsciiIgnoreCase(a, b);
}

void showMessageBox(const std::string& text, const std::string& caption, MessageIcon icon) {
    const UINT style = MB_OK | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION);
    MessageBoxA(nullptr, text.c_str(), caption.c_str(), style);
}

std::uint32_t lastSystemError() {
    return GetLastError();
}

std::string systemErrorText(std::uint32_t code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text;
    if (length != 0 && buffer != nullptr)
        text.assign(buffer, length);
    if (buffer != nullptr)
        LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text;
}

} // namespace platform
