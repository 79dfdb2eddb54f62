// Library loading, symbol look-up and module file names.

#include "platform/win32/Win32.h"

#include <algorithm>
#include <string>

namespace platform {

ModuleHandle loadLibrary(const char* fileName) {
    if (fileName == nullptr || *fileName == '\0')
        return nullptr;
    // Narrow names are in the ANSI code page, like every other narrow text the platform layer passes on.
    const int units = MultiByteToWideChar(CP_ACP, 0, fileName, -1, nullptr, 0);
    if (units <= 0)
        return nullptr;
    std::wstring wide(static_cast<std::size_t>(units), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, fileName, -1, wide.data(), units) != units)
        return nullptr;
    return LoadLibraryW(wide.c_str());
}

void* findSymbol(ModuleHandle module, const char* name) {
    if (module == nullptr || name == nullptr)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

ModuleHandle mainModule() {
    return GetModuleHandleW(nullptr);
}

ModuleHandle moduleOfAddress(const void* address) {
    MEMORY_BASIC_INFORMATION region{};
    if (address == nullptr || VirtualQuery(address, &region, sizeof region) == 0)
        return nullptr;
    // A module is mapped as one allocation, so the region's allocation base is the module's base address.
    return region.AllocationBase;
}

std::string moduleFileName(ModuleHandle module, std::size_t maxChars) {
    if (module == nullptr || maxChars == 0)
        return {};
    // Windows paths in the narrow calls stop at MAX_PATH anyway; a larger request must not allocate freely.
    const DWORD size = static_cast<DWORD>(std::min<std::size_t>(maxChars, 32767)) + 1;
    std::string name(size, '\0');
    const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(module), name.data(), size);
    if (length == 0)
        return {};
    // A name that did not fit is cut (and, on old systems, left unterminated): keep what was copied.
    name.resize(std::min<DWORD>(length, size - 1));
    return name;
}

} // namespace platform
