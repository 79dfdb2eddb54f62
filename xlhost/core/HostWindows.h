#pragma once

// The host's windows as the add-in's function-wizard test sees them. Outside Windows they are a list the
// host publishes through xlhost_top_level_windows; on Windows they are real (hidden) windows, since the
// add-in enumerates the system's.

#include "platform/StandInWindows.h"
#include "xlhost/core/StandInHost.h"

#include <cstdint>
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
    // The published list; valid until the next change.
    int publish(const XlHostWindow** windows);

private:
    void rebuild();

    bool wizard_ = false;
    std::vector<Window> windows_;
    std::vector<XlHostWindow> published_;
#if defined(_WIN32)
    void* host_ = nullptr;   // HWND
    void* dialog_ = nullptr; // HWND
#endif
};

// The window list behind xlhost_top_level_windows, read under the host's lock (StandInHost.cpp).
int publishWindows(const XlHostWindow** windows);

} // namespace xlhost
