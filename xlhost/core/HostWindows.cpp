#include "xlhost/core/HostWindows.h"

#include <algorithm>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace xlhost {
namespace {

#if !defined(_WIN32)
// Bit 15 of the low half is set so that a reader who sign-extends the 16-bit handle notices.
constexpr std::uintptr_t kHostWindow = 0x0003'8A5C;
constexpr std::uintptr_t kDialogWindow = 0x0005'1F30;
// Windows of other programs, and one of another host instance whose low 16 bits differ from ours.
const std::vector<Window>& otherWindows() {
    static const std::vector<Window> windows{
        {0x0001'0010, 0, "Shell_TrayWnd"},
        {kHostWindow, 0, "TavrinStandInHost"},
        {0x0007'0044, 0x0009'1234, kWizardWindowClass},
        {0x0002'0020, 0, "Progman"},
    };
    return windows;
}
#else
const wchar_t* const kHostClass = L"TavrinStandInHost";
const wchar_t* const kDialogClass = L"bosa_sdm_XL9";

void registerClass(const wchar_t* name) {
    WNDCLASSW c{};
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = name;
    RegisterClassW(&c); // fails harmlessly when already registered
}
#endif

} // namespace

#if !defined(_WIN32)

HostWindows::HostWindows() {
    rebuild();
}

HostWindows::~HostWindows() = default;

std::uintptr_t HostWindows::hostWindow() {
    return kHostWindow;
}

void HostWindows::setWizard(bool open) {
    wizard_ = open;
    rebuild();
}

void HostWindows::rebuild() {
    windows_ = otherWindows();
    if (wizard_)
        windows_.insert(windows_.begin() + 1, Window{kDialogWindow, kHostWindow, kWizardWindowClass});
    setList(windows_);
}

std::vector<Window> HostWindows::list() {
    return windows_;
}

void HostWindows::setList(const std::vector<Window>& windows) {
    windows_ = windows;
    // A list published before is published again as it was, so that switching the wizard on and off (every
    // input of a fuzzer does) keeps the number of lists the host holds small.
    auto same = [&](const Window& a, const Window& b) {
        return a.handle == b.handle && a.parent == b.parent && a.className == b.className;
    };
    for (const auto& earlier : snapshots_)
        if (std::equal(earlier->windows.begin(), earlier->windows.end(), windows_.begin(), windows_.end(),
                       same)) {
            current_.store(earlier.get(), std::memory_order_release);
            return;
        }
    auto snapshot = std::make_unique<Snapshot>();
    snapshot->windows = windows_;
    for (const Window& w : snapshot->windows)
        snapshot->published.push_back(XlHostWindow{w.handle, w.parent, w.className.c_str()});
    current_.store(snapshot.get(), std::memory_order_release);
    snapshots_.push_back(std::move(snapshot));
}

int HostWindows::publish(const XlHostWindow** windows) const {
    const Snapshot* current = current_.load(std::memory_order_acquire);
    *windows = current == nullptr ? nullptr : current->published.data();
    return current == nullptr ? 0 : static_cast<int>(current->published.size());
}

#else

HostWindows::HostWindows() = default;

// The windows go with the process: destroying them while the library unloads would call the window manager
// under the loader's lock.
HostWindows::~HostWindows() = default;

std::uintptr_t HostWindows::hostWindow() {
    if (host_ == nullptr) {
        registerClass(kHostClass);
        host_ = CreateWindowExW(0, kHostClass, L"Tavrin stand-in host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    return reinterpret_cast<std::uintptr_t>(host_);
}

void HostWindows::setWizard(bool open) {
    wizard_ = open;
    rebuild();
}

void HostWindows::rebuild() {
    if (wizard_ && dialog_ == nullptr) {
        registerClass(kDialogClass);
        // A top-level dialog owned by the host window: GetParent answers its owner.
        dialog_ = CreateWindowExW(0, kDialogClass, L"Insert Function", WS_POPUP, 0, 0, 100, 100,
                                  reinterpret_cast<HWND>(hostWindow()), nullptr, GetModuleHandleW(nullptr),
                                  nullptr);
    } else if (!wizard_ && dialog_ != nullptr) {
        DestroyWindow(static_cast<HWND>(dialog_));
        dialog_ = nullptr;
    }
}

std::vector<Window> HostWindows::list() {
    std::vector<Window> result;
    hostWindow();
    EnumWindows(
        [](HWND w, LPARAM context) CALLBACK -> BOOL { // __stdcall in 32-bit builds
            char name[257] = {};
            GetClassNameA(w, name, sizeof name);
            reinterpret_cast<std::vector<Window>*>(context)->push_back(Window{
                reinterpret_cast<std::uintptr_t>(w), reinterpret_cast<std::uintptr_t>(GetParent(w)), name});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&result));
    return result;
}

void HostWindows::setList(const std::vector<Window>&) {}

int HostWindows::publish(const XlHostWindow** windows) const {
    *windows = nullptr;
    return 0;
}

#endif

} // namespace xlhost
