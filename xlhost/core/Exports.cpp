// The C entry points of "XLCALL32.DLL": the host's callbacks and its window list.

#include "platform/StandInWindows.h"
#include "src/api/XlCall.h"
#include "xlhost/core/HostWindows.h"
#include "xlhost/core/StandInHost.h"

#include <cstdarg>

extern "C" {

XLL_EXPORT int XLL_CDECL Excel4(int xlfn, XLOPER* result, int count, ...) {
    // More than the 4-generation's 30 arguments cannot be read safely from the variadic list.
    constexpr int kMaxArguments = 30;
    if (count < 0 || count > kMaxArguments)
        return xlhost::dispatch4(xlfn, result, count, nullptr); // refused there, and logged
    XLOPER* args[kMaxArguments] = {};
    va_list list;
    va_start(list, count);
    for (int i = 0; i < count; ++i)
        args[i] = va_arg(list, XLOPER*);
    va_end(list);
    return xlhost::dispatch4(xlfn, result, count, args);
}

XLL_EXPORT int XLL_STDCALL Excel4v(int xlfn, XLOPER* result, int count, XLOPER* args[]) {
    return xlhost::dispatch4(xlfn, result, count, args);
}

XLL_EXPORT int xlhost_top_level_windows(const XlHostWindow** windows) {
    if (windows == nullptr)
        return 0;
    return xlhost::publishWindows(windows);
}

} // extern "C"
