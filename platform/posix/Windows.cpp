// Stand-ins for window enumeration: the stand-in host publishes its window list through a C function found
// by name in the global scope; without it there are no windows.

#include "platform/Platform.h"
#include "platform/StandInWindows.h"

#include <atomic>
#include <dlfcn.h>

namespace platform {
namespace {

struct WindowList {
    const XlHostWindow* windows = nullptr;
    int count = 0;
};

// The host's list function, looked up once it is there: the wizard test asks for every window's class and
// parent on every worksheet call, and the host library never goes away while the add-in is loaded.
XlHostTopLevelWindowsProc hostWindowsProc() {
    static std::atomic<XlHostTopLevelWindowsProc> found{nullptr};
    XlHostTopLevelWindowsProc proc = found.load(std::memory_order_acquire);
    if (proc == nullptr) {
        proc = reinterpret_cast<XlHostTopLevelWindowsProc>(dlsym(RTLD_DEFAULT, kXlHostTopLevelWindowsSymbol));
        found.store(proc, std::memory_order_release);
    }
    return proc;
}

WindowList hostWindows() {
    const XlHostTopLevelWindowsProc proc = hostWindowsProc();
    WindowList list;
    if (proc == nullptr)
        return list;
    list.count = proc(&list.windows);
    if (list.windows == nullptr || list.count < 0)
        list.count = 0;
    return list;
}

const XlHostWindow* findWindow(WindowHandle window) {
    const WindowList list = hostWindows();
    for (int i = 0; i < list.count; ++i)
        if (list.windows[i].handle == window)
            return &list.windows[i];
    return nullptr;
}

} // namespace

void enumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit) {
    const WindowList list = hostWindows();
    for (int i = 0; i < list.count; ++i)
        if (!visit(list.windows[i].handle))
            return;
}

std::string windowClassName(WindowHandle window, std::size_t maxChars) {
    const XlHostWindow* found = findWindow(window);
    if (found == nullptr || found->className == nullptr)
        return {};
    std::string name = found->className;
    if (name.size() > maxChars)
        name.resize(maxChars);
    return name;
}

WindowHandle windowParent(WindowHandle window) {
    const XlHostWindow* found = findWindow(window);
    return found == nullptr ? 0 : found->parent;
}

} // namespace platform
