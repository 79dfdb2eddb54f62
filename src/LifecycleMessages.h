#pragma once

// Diagnostic lines of opening and closing the add-in.
namespace xll::messages {
inline constexpr const char* ErrorStreamRedirected = "std::cerr redirected to MSVC debugger";
inline constexpr const char* NoDllPath = " Could not attain path of DLL";
inline constexpr const char* NoPathVariable = " Could not get PATH Environment Variable";
inline constexpr const char* PathSet = " PATH set successfully ";
inline constexpr const char* PathNotSet = " SetEnvironmentVariable failed to set PATH";
inline constexpr const char* PathWarning = " Warning: Unable to initialise PATH to directory of library ";
inline constexpr const char* Registering = "Registering library...";
inline constexpr const char* ReleasingResources = "Releasing ressources";
// What the host's Add-ins dialog shows instead of the file name.
inline constexpr const char* AddInDisplayName = "Tavrin Schedules";
} // namespace xll::messages
