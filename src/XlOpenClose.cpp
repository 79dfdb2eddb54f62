// The add-in's open and close, called by the host around its working life, and the add-in manager's
// display name. Nothing may throw into the host from here.

#include "platform/Platform.h"
#include "src/LifecycleMessages.h"
#include "src/Win32StreamBuf.h"
#include "src/XlfDiagnostics.h"
#include "src/XlfExcel.h"
#include "src/XlfOpenActions.h"
#include "src/XlfRegistration.h"
#include "src/api/XlCall.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

xll::Win32StreamBuf debuggerBuffer;
std::streambuf* savedErrorBuffer = nullptr;

// Sets "Path" to its old value followed by ";" and the add-in's folder, so that libraries the add-in loads
// later are found beside it. Every failure is reported and none stops the opening.
void extendPath() {
    bool failed = false;
    const platform::ModuleHandle module = platform::moduleOfAddress(&debuggerBuffer);
    if (module == nullptr) {
        XLL_REPORT(xll::messages::NoDllPath);
        failed = true;
    } else {
        const std::string fileName = platform::moduleFileName(module, 260);
        xll::XlfExcel::instance().sendMessage(fileName.c_str());

        std::vector<char> value(4096);
        std::uint32_t length = platform::getEnvironmentVariable("Path", value.data(), 4096);
        if (length > 4096) { // too long for the first buffer: the answer is the size needed
            value.assign(length, '\0');
            length = platform::getEnvironmentVariable("Path", value.data(), length);
        }
        if (length == 0 || length >= value.size()) {
            XLL_REPORT(xll::messages::NoPathVariable);
            failed = true;
        } else {
            const std::size_t slash = fileName.find_last_of('\\');
            const std::string folder = slash == std::string::npos ? fileName : fileName.substr(0, slash);
            const std::string extended = std::string(value.data(), length) + ";" + folder;
            if (platform::setEnvironmentVariable("Path", extended.c_str())) {
                XLL_REPORT(xll::messages::PathSet);
            } else {
                XLL_REPORT(xll::messages::PathNotSet);
                failed = true;
            }
        }
    }
    if (failed)
        XLL_REPORT(xll::messages::PathWarning);
}

// The action code the add-in manager passes: a number or an integer; anything else asks for nothing.
template <class Record>
int actionCode(const Record* action) {
    if (action == nullptr)
        return 0;
    if ((action->xltype & 0xFFF) == xltypeNum)
        return action->val.num == 1.0 ? 1 : 0;
    if ((action->xltype & 0xFFF) == xltypeInt)
        return action->val.w;
    return 0;
}

// The display name as a counted text of the record's character type (the name is plain ASCII).
template <class Char>
std::basic_string<Char> countedName() {
    const std::string name = xll::messages::AddInDisplayName;
    std::basic_string<Char> counted(1, static_cast<Char>(name.size()));
    counted.append(name.begin(), name.end());
    return counted;
}

// The name, or #VALUE! when there is none to give.
template <class Record, class Char>
void setAnswer(Record& result, Char* name) {
    if (name != nullptr) {
        result.val.str = name;
        result.xltype = xltypeStr;
    } else {
        result.val.err = xlerrValue;
        result.xltype = xltypeErr;
    }
}

} // namespace

extern "C" {

XLL_EXPORT int XLL_STDCALL xlAutoOpen() {
    try {
        // Opening twice must not save our own buffer as the one to give back on close.
        std::streambuf* previous = std::cerr.rdbuf(&debuggerBuffer);
        if (previous != &debuggerBuffer)
            savedErrorBuffer = previous;
        XLL_REPORT(xll::messages::ErrorStreamRedirected);

        extendPath();

        xll::XlfExcel& excel = xll::XlfExcel::instance();
        excel.sendMessage(xll::messages::Registering);
        xll::registerAllFunctions();
        excel.sendMessage();
        xll::runOpenActions(); // e.g. the worksheet layer reading the users' holiday file
        return 1;
    } catch (...) {
        return 0;
    }
}

XLL_EXPORT int XLL_STDCALL xlAutoClose() {
    try {
        XLL_REPORT(xll::messages::ReleasingResources);
        xll::XlfExcel::instance();
        xll::XlfExcel::deleteInstance();
    } catch (...) {
        // A host library that cannot be loaded leaves nothing to release.
    }
    if (savedErrorBuffer != nullptr) {
        std::cerr.rdbuf(savedErrorBuffer);
        savedErrorBuffer = nullptr;
    }
    return 1;
}

// The add-in manager asks for the display name with action 1; any other request answers #VALUE!.
XLL_EXPORT XLOPER* XLL_STDCALL xlAddInManagerInfo(XLOPER* action) {
    static std::string name = countedName<char>();
    static XLOPER result;
    setAnswer(result, actionCode(action) == 1 ? name.data() : nullptr);
    return &result;
}

XLL_EXPORT XLOPER12* XLL_STDCALL xlAddInManagerInfo12(XLOPER12* action) {
    static std::basic_string<XCHAR> name = countedName<XCHAR>();
    static XLOPER12 result;
    setAnswer(result, actionCode(action) == 1 ? name.data() : nullptr);
    return &result;
}

} // extern "C"
