// Stand-ins for module services: the dynamic loader's look-ups.

#include "platform/Platform.h"

#include <dlfcn.h>

namespace platform {

ModuleHandle loadLibrary(const char* fileName) {
    // RTLD_GLOBAL: like a Windows module, its exports become visible to libraries loaded later.
    return dlopen(fileName, RTLD_NOW | RTLD_GLOBAL);
}

void* findSymbol(ModuleHandle module, const char* name) {
    if (module == nullptr)
        return nullptr;
    return dlsym(module, name);
}

ModuleHandle mainModule() {
    // The executable's handle; its look-ups see what the executable exports (and the global scope).
    static ModuleHandle self = dlopen(nullptr, RTLD_NOW);
    return self;
}

ModuleHandle moduleOfAddress(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0)
        return nullptr;
    return info.dli_fbase;
}

std::string moduleFileName(ModuleHandle module, std::size_t maxChars) {
    if (module == mainModule())
        module = moduleOfAddress(reinterpret_cast<const void*>(&mainModule));
    Dl_info info{};
    // A module's base address lies inside its first mapping, so the loader finds it again.
    if (module == nullptr || dladdr(module, &info) == 0 || info.dli_fname == nullptr)
        return {};
    std::string name = info.dli_fname;
    if (name.size() > maxChars)
        name.resize(maxChars);
    return name;
}

} // namespace platform
