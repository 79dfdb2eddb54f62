#include "xlhost/program/AddIn.h"

#include "xlhost/common/Text.h"

#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace xlhost {
namespace {

#if defined(_WIN32)
std::wstring wide(const std::string& utf8) {
    const std::u16string units = utf8ToUtf16(utf8);
    return std::wstring(units.begin(), units.end());
}

std::string narrow(const std::wstring& w) {
    return utf16ToUtf8(std::u16string(w.begin(), w.end()));
}

std::string moduleName(HMODULE module) {
    std::wstring buffer(32768, L'\0');
    const DWORD n = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(n);
    return narrow(buffer);
}
#endif

} // namespace

std::unique_ptr<AddIn> AddIn::load(const std::string& fileName, std::string& error) {
#if defined(_WIN32)
    HMODULE module = LoadLibraryW(wide(fileName).c_str());
    if (module == nullptr) {
        error = "cannot load " + fileName + " (system error " + std::to_string(GetLastError()) + ")";
        return nullptr;
    }
    return std::unique_ptr<AddIn>(new AddIn(module, moduleName(module)));
#else
    // A path, so that the loader does not search its library path for a bare name.
    std::string path = fileName.find('/') == std::string::npos ? "./" + fileName : fileName;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* why = dlerror();
        error = "cannot load " + fileName + ": " + (why != nullptr ? why : "unknown error");
        return nullptr;
    }
    std::error_code ec;
    std::string full = std::filesystem::absolute(path, ec).lexically_normal().string();
    return std::unique_ptr<AddIn>(new AddIn(handle, ec ? path : full));
#endif
}

AddIn::~AddIn() {
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
}

void* AddIn::symbol(const std::string& name) const {
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name.c_str()));
#else
    return dlsym(handle_, name.c_str());
#endif
}

std::string executableFile() {
#if defined(_WIN32)
    return moduleName(nullptr);
#else
    std::error_code ec;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : path.string();
#endif
}

std::string defaultAddIn() {
    const std::string self = executableFile();
    if (!self.empty()) {
        const auto beside = std::filesystem::path(self).parent_path() / "tavrin_schedules.xll";
        std::error_code ec;
        if (std::filesystem::exists(beside, ec))
            return beside.string();
    }
#if defined(XLHOST_DEFAULT_ADDIN)
    return XLHOST_DEFAULT_ADDIN;
#else
    return "tavrin_schedules.xll";
#endif
}

} // namespace xlhost
