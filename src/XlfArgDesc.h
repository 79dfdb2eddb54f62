#pragma once

// One argument of a worksheet function as registered: name, help text and type code; and the registration
// letters of the C types an entry point may take.

#include <string>
#include <string_view>

#include "src/XlfOper.h"

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

// The registration letters of a C parameter or return type in the 4- and the 12-generation. A type the host
// has no letter for has no specialisation, so an entry point taking it does not build; the letters can never
// disagree with what the host passes.
template <class T>
struct XlfArgType;

// A number the host converts before the call.
template <>
struct XlfArgType<double> {
    static constexpr std::string_view four = "B";
    static constexpr std::string_view twelve = "B";
};

// A value record of the process's generation, references resolved to values.
template <>
struct XlfArgType<LPXLFOPER> {
    static constexpr std::string_view four = "P";
    static constexpr std::string_view twelve = "Q";
};

// A zero-terminated text: bytes in the 4-generation, UTF-16 units in the 12-generation.
template <>
struct XlfArgType<XlfTextArgument> {
    static constexpr std::string_view four = "C";
    static constexpr std::string_view twelve = "C%";
};

} // namespace xll
