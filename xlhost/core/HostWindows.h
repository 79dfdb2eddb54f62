#pragma once

// The host's windows as the add-in's function-wizard test sees them. Outside Windows they are a list the
// host publishes through xlhost_top_level_windows; on Windows they are real (hidden) windows, since the
// add-in enumerates the system's.

#include "platform/StandInWindows.h"
#include "xlhost/core/StandInHost.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace xlhost {

// The class of the function-entry dialog the add-in looks for.
inline constexpr const char* kWizardWindowClass = "bosa_sdm_XL9";

class HostWindows {
public:
    HostWindows();
    ~HostWindows();
    HostWindows(const HostWindows&) = delete;
    HostWindows& operator=(const HostWindows&) = delete;

    std::uintptr_t hostWindow();
    void setWizard(bool open);
    bool wizard() const { return wizard_; }
    std::vector<Window> list();
    void setList(const std::vector<Window>& windows);
    // The published list; it stays valid as long as the host, since a call on a calculation thread may
    // still walk a list after a change. Reading it takes no lock: every worksheet call reads it several
    // times.
    int publish(const XlHostWindow** windows) const;

private:
    void rebuild();

    struct Snapshot {
        std::vector<Window> windows; // owns the class names the published entries point at
        std::vector<XlHostWindow> published;
    };

    bool wizard_ = false;
    std::vector<Window> windows_;
    std::vector<std::unique_ptr<Snapshot>> snapshots_; // every list published, the current one last
    std::atomic<const Snapshot*> current_{nullptr};
#if defined(_WIN32)
    void* host_ = nullptr;   // HWND
    void* dialog_ = nullptr; // HWND
#endif
};

// The window list behind xlhost_top_level_windows (StandInHost.cpp); lock-free.
int publishWindows(const XlHostWindow** windows);

} // namespace xlhost
