// The host executable's own callback, as the add-in finds it in the main module. Compiled into every host
// executable (see xlhost_add_host_executable).

#include "src/api/XlCall.h"
#include "xlhost/core/StandInHost.h"

extern "C" XLL_EXPORT int XLL_STDCALL MdCallBack12(int xlfn, int count, XLOPER12* args[], XLOPER12* result) {
    return xlhost::dispatch12(xlfn, count, args, result);
}
