#pragma once

// The operating-system services the host bridge needs, behind one small interface: real Windows calls in the
// Windows build (platform/win32), stand-ins elsewhere (platform/posix). Nothing here knows the host's API.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// A loaded module (a library or the executable); null means none. On Windows it is the module's base address.
using ModuleHandle = void*;
// A top-level window; 0 means none.
using WindowHandle = std::uintptr_t;
// A named mutex opened by this process; null means none.
using MutexHandle = void*;

// ---- modules ----
// Loads a library by file name (or finds it when already loaded); null on failure. Never unloaded here.
ModuleHandle loadLibrary(const char* fileName);
// The address of an exported symbol, or null.
void* findSymbol(ModuleHandle module, const char* name);
// The running executable; symbols looked up through it are those the executable exports.
ModuleHandle mainModule();
// The module containing an address (the allocation base of its memory region); null when the query fails.
ModuleHandle moduleOfAddress(const void* address);
// The full file name of a module from mainModule or moduleOfAddress, cut to maxChars; empty on failure.
std::string moduleFileName(ModuleHandle module, std::size_t maxChars = 260);

// ---- environment ----
// Reads a variable with the Windows buffer semantics: when the value and its terminator fit in size bytes,
// copies them and returns the value's length; when they do not fit, returns the size needed including the
// terminator and leaves the buffer unspecified; returns 0 when the variable is absent (or empty).
std::uint32_t getEnvironmentVariable(const char* name, char* buffer, std::uint32_t size);
// Sets a variable for this process (and the libraries it loads afterwards); false on failure.
bool setEnvironmentVariable(const char* name, const char* value);

// ---- named mutex ----
// Creates the mutex of that name, or opens it when it exists; null on failure. A thread that holds it may
// take it again (as on Windows); each wait needs its release.
MutexHandle openNamedMutex(const char* name);
// Waits without time limit until this thread holds the mutex; false on failure.
bool waitForMutex(MutexHandle mutex);
void releaseMutex(MutexHandle mutex);
// Closes this handle; the mutex disappears with its last handle.
void closeMutex(MutexHandle mutex);

// ---- thread-local slots ----
// One pointer per thread under one key, null in every thread until that thread sets it. Nothing runs when a
// thread ends, so no code of an unloaded library can be called at a host thread's exit; the owner of the
// slot keeps track of what the pointers hold.
using ThreadSlot = std::uintptr_t;
inline constexpr ThreadSlot kNoThreadSlot = ~ThreadSlot{0};
// A new slot, or kNoThreadSlot when the system has none left.
ThreadSlot allocateThreadSlot();
void* threadSlotValue(ThreadSlot slot);
void setThreadSlotValue(ThreadSlot slot, void* value);
// Forgets the slot in every thread.
void freeThreadSlot(ThreadSlot slot);

// ---- debugger ----
bool isDebuggerPresent();
// Passes one text to the debugger output in one piece.
void debuggerOutput(const char* text);

// ---- windows ----
// Visits the top-level windows until the visitor returns false.
void enumerateTopLevelWindows(const std::function<bool(WindowHandle)>& visit);
// The window's class name cut to maxChars; empty when unknown.
std::string windowClassName(WindowHandle window, std::size_t maxChars);
// The window's parent (or owner); 0 when none.
WindowHandle windowParent(WindowHandle window);

// ---- texts ----
// Compares two texts ignoring letter case under the English (United States) rules, whatever the user's
// locale: negative, 0 or positive.
int compareIgnoreCaseEnUs(std::string_view a, std::string_view b);

// ---- messages and errors ----
enum class MessageIcon { Information, Error };
// Shows a modal message box (outside Windows: one line on the standard error stream).
void showMessageBox(const std::string& text, const std::string& caption, MessageIcon icon);
// The calling thread's last system error code.
std::uint32_t lastSystemError();
// The system's text for an error code in the user's default language, without trailing line ends.
std::string systemErrorText(std::uint32_t code);

} // namespace platform
