#pragma once

// A command or function the add-in registers with the host under this library's name.

#include <string>

namespace xll {

class XlfAbstractCmdDesc {
public:
    XlfAbstractCmdDesc(std::string procedure, std::string functionName, std::string help);
    virtual ~XlfAbstractCmdDesc() = default;

    // Registers under the library's name; a host failure is reported and its code returned. Throws
    // std::runtime_error when the host does not say the library's name.
    int registerWithHost() const;
    int unregisterFromHost() const;

    const std::string& procedure() const { return procedure_; }
    const std::string& functionName() const { return functionName_; }
    const std::string& help() const { return help_; }

protected:
    virtual int doRegister(const std::string& libraryName) const = 0;
    virtual int doUnregister(const std::string& libraryName) const = 0;

private:
    std::string procedure_;
    std::string functionName_;
    std::string help_;
};

} // namespace xll
