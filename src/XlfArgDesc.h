#pragma once

// One argument of a worksheet function as registered: name, help text and type code.

#include <string>

namespace xll {

class XlfArgDesc {
public:
    // Warns about a name the function wizard may not show in full, and ends the help with ". " (the host
    // shows argument helps one after another).
    XlfArgDesc(std::string name, std::string help, std::string type);

    const std::string& name() const { return name_; }
    const std::string& help() const { return help_; }
    // A host type letter or one of the symbolic codes "XLF_OPER", "XLF_XLOPER", "XLL_WSTR".
    const std::string& type() const { return type_; }

private:
    std::string name_;
    std::string help_;
    std::string type_;
};

} // namespace xll
