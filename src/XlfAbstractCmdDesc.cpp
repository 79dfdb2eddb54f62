#include "src/XlfAbstractCmdDesc.h"

#include <stdexcept>

#include "src/Messages.h"
#include "src/XlfDiagnostics.h"
#include "src/XlfExcel.h"

namespace xll {
namespace {

std::string hostLibraryName() {
    std::string name = XlfExcel::instance().libraryName();
    if (name.empty())
        throw std::runtime_error(messages::NoLibraryName);
    return name;
}

} // namespace

XlfAbstractCmdDesc::XlfAbstractCmdDesc(std::string procedure, std::string functionName, std::string help)
    : procedure_(std::move(procedure)), functionName_(std::move(functionName)), help_(std::move(help)) {}

int XlfAbstractCmdDesc::registerWithHost() const {
    const int code = doRegister(hostLibraryName());
    if (code != 0)
        XLL_REPORT(messages::RegisterErrorPrefix + std::to_string(code) + messages::RegisterErrorInfix +
                   functionName_);
    return code;
}

int XlfAbstractCmdDesc::unregisterFromHost() const {
    const int code = doUnregister(hostLibraryName());
    if (code != 0)
        XLL_REPORT(messages::RegisterErrorPrefix + std::to_string(code) + messages::UnregisterErrorInfix +
                   functionName_);
    return code;
}

} // namespace xll
