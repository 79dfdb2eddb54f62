#pragma once

// Control of the stand-in host, for host programs and tests. The host's answers to an add-in come from the
// library "XLCALL32.DLL" (Excel4, Excel4v) and from MdCallBack12 in the executable (see
// MainModuleCallback.cpp and xlhost_add_host_executable), both served by the dispatchers below. Everything
// here is process-wide and guarded by one lock; reset() returns the host to its starting state.
//
// What the host answers:
//   xlfGetWorkspace(2)  the version text, "16.0" by default (a host of version 12 makes the add-in use the
//                       12-generation API; any other version the 4-generation one)
//   xlGetName           the add-in's file name as set with setLibraryName
//   xlGetHwnd           the host window: its low 16 bits (as a signed integer) in the 4-generation, the
//                       whole 32-bit handle in the 12-generation
//   xlcMessage          (TRUE, text) shows a text in the status bar, (FALSE) clears it; both are logged
//   xlfRegister         the registration id as a number (the same id again for the same module and
//                       procedure), #VALUE! when the module, procedure or type text is missing or invalid
//   xlfUnregister       (id) TRUE when the id was registered, FALSE otherwise
//   xlCoerce            see xlhost/common/Coerce.h; what does not convert answers the error value #VALUE!
//                       with code 0 by default, or code 32 (xlretFailed) once setCoerceFailure says so
//   xlFree              frees what the host returned in a result record; frees of pointers it never
//                       returned, or returned and already freed, are logged as ledger problems
//   anything else       code 2 (xlretInvXlfn)
// On calculation threads (setThreadSafetyChecks, xlhost --threads): a callback made from inside a call of a
// function registered thread-safe answers 128 (xlretNotThreadSafe) without doing anything unless it is one
// the host allows there (xlFree, xlStack, xlCoerce, xlSheetId, xlSheetNm, xlAbort, xlGetInst, xlGetHwnd,
// xlDefineBinaryName, xlGetBinaryName).
// Other codes: 4 for a wrong argument count (Excel4v takes at most 30 arguments, MdCallBack12 255), 8 for
// an argument that is not a sound record (see readRecord: null pointers, unknown type bits, the add-in's
// own 0x8000 marker left set). Results are written with plain type codes and live in the host's memory
// until freed; texts are counted and not terminated.

#include "src/api/XlCall.h"
#include "xlhost/common/Value.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#if defined(_WIN32)
#if defined(XLHOST_BUILDING_CORE)
#define XLHOST_API __declspec(dllexport)
#else
#define XLHOST_API __declspec(dllimport)
#endif
#else
#define XLHOST_API __attribute__((visibility("default")))
#endif

namespace xlhost {

// ---- the host's answers ----
XLHOST_API void reset();
// The version text answered to xlfGetWorkspace(2): "<major>.0".
XLHOST_API void setVersion(int major);
XLHOST_API void setVersionText(const std::string& text);
XLHOST_API std::string versionText();
// The add-in's file name (UTF-8), answered to xlGetName. Empty by default.
XLHOST_API void setLibraryName(const std::string& name);
XLHOST_API std::string libraryName();

// ---- windows ----
// The function-wizard state: when open, the window list holds a window of class "bosa_sdm_XL9" whose parent
// is the host window; when closed, only other windows (one of them a "bosa_sdm_XL9" of another host, whose
// parent's low 16 bits differ from this host window's).
XLHOST_API void setFunctionWizard(bool open);
XLHOST_API bool functionWizard();
// The host window's handle, as xlGetHwnd knows it (before it is cut to 16 bits).
XLHOST_API std::uintptr_t hostWindow();
struct Window {
    std::uintptr_t handle = 0;
    std::uintptr_t parent = 0;
    std::string className;
};
// The top-level windows as the add-in sees them. setTopLevelWindows replaces the list until the next
// setFunctionWizard or reset (outside Windows only; on Windows the windows are real).
XLHOST_API std::vector<Window> topLevelWindows();
XLHOST_API void setTopLevelWindows(const std::vector<Window>& windows);

// ---- calculation threads ----
// On: callbacks from inside a thread-safe function's call are checked as the real host checks them on its
// calculation threads. Off by default; set before any calculation thread starts.
XLHOST_API void setThreadSafetyChecks(bool on);
XLHOST_API bool threadSafetyChecks();
// Whether the calling thread is inside a call of a function registered thread-safe (each thread its own).
XLHOST_API void setInThreadSafeCall(bool inside);
// Marks the calling thread for the length of one entry-point call.
class ThreadSafeCallScope {
public:
    explicit ThreadSafeCallScope(bool threadSafe) : marked_(threadSafe) {
        if (marked_)
            setInThreadSafeCall(true);
    }
    ~ThreadSafeCallScope() {
        if (marked_)
            setInThreadSafeCall(false);
    }
    ThreadSafeCallScope(const ThreadSafeCallScope&) = delete;
    ThreadSafeCallScope& operator=(const ThreadSafeCallScope&) = delete;

private:
    bool marked_;
};

// ---- what the host received ----
struct Registration {
    double id = 0;
    std::vector<Value> values; // every value as received: module, procedure, type text, name, ...
    bool active = true;        // false once unregistered
};
// Every xlfRegister call that succeeded, in order.
XLHOST_API std::vector<Registration> registrations();
struct StatusMessage {
    bool shown = false; // false: the status bar was cleared
    std::string text;   // UTF-8
};
XLHOST_API std::vector<StatusMessage> statusBarLog();
struct Call {
    int function = 0;
    Generation generation = Generation::Four;
    int count = 0;
    int code = 0; // what the host answered
};
// Every callback made from the calling thread, in order (reset clears the calling thread's).
XLHOST_API std::vector<Call> callLog();

// ---- behaviour switches for tests ----
enum class CoerceFailure { ErrorValue, FailedCode };
XLHOST_API void setCoerceFailure(CoerceFailure mode);
// From now on, calls of this function number answer the code without doing anything (0 restores it).
XLHOST_API void failFunction(int function, int code);
// The values references read (0-based rows and columns; one sheet, whatever the sheet id); unset cells are
// empty.
XLHOST_API void setCell(int32_t row, int32_t column, const Value& value);

// ---- host memory ----
struct XLHOST_API LedgerReport {
    std::size_t outstanding = 0;       // results not yet given back with xlFree
    std::vector<std::string> problems; // double frees and frees of unknown pointers
    bool clean() const { return outstanding == 0 && problems.empty(); }
    // One line per problem plus a leak line; empty when clean.
    std::string text() const;
};
XLHOST_API LedgerReport ledger();
// The ledger at shutdown; marks it reported, so unloading the library does not print it to the standard
// error stream again.
XLHOST_API LedgerReport shutdownReport();

// ---- calling the host ----
// The dispatchers behind Excel4v and MdCallBack12 (same argument orders as those).
XLHOST_API int dispatch4(int xlfn, XLOPER* result, int count, XLOPER* args[]);
XLHOST_API int dispatch12(int xlfn, int count, XLOPER12* args[], XLOPER12* result);
// Reads a record (see xlhost/common/Records.h); the host's marker bits 0x1000 and 0x4000 are ignored.
XLHOST_API std::optional<Value> readValue(const XLOPER* record);
XLHOST_API std::optional<Value> readValue(const XLOPER12* record);

} // namespace xlhost
