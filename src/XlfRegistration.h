#pragma once

// The registration list: one record per worksheet function, appended by static registration objects while the
// library loads, registered with the host in list order when the host opens the add-in.
//
// A worksheet function is best declared from its C entry point (XlfDeclaration, below): the type letters of
// both generations then come from the entry point's parameter types at compile time, and a declaration with
// one argument row too many or too few does not build.

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "src/XlfArgDesc.h"
#include "src/api/XlCall.h"

namespace xll {

struct XlfArgRow {
    std::string name;
    std::string help;
    std::string type;
    std::string type12 = std::string(); // empty: type in both generations
};

struct XlfRegistrationRecord {
    std::string procedure;
    std::string functionName;
    std::string help;
    std::string category;
    std::vector<std::string> argumentNames;
    std::vector<std::string> argumentHelps;
    std::vector<std::string> argumentTypes;
    std::vector<std::string> argumentTypes12; // empty entries: argumentTypes in the 12-generation too
    bool isVolatile = false;
    bool threadSafe = false;
    std::string returnType;   // empty: the value type of the process ("P" or "Q")
    std::string returnType12; // empty: returnType in the 12-generation too

    std::size_t argumentCount() const { return argumentNames.size(); }
};

// Created on first use, destroyed at process exit.
std::vector<XlfRegistrationRecord>& registrationList();

// One parameter's name and help as the function wizard shows them.
struct XlfArgHelp {
    std::string_view name;
    std::string_view help;
};

// A worksheet function as the add-in declares it: built at compile time by xlfDeclare from the entry point.
struct XlfDeclaration {
    // The widest entry point a declaration holds; the host takes 245 argument helps, no function needs that.
    static constexpr std::size_t kMaxArguments = 32;

    std::string_view procedure;    // the entry point's exported name
    std::string_view functionName; // the name on the sheet
    std::string_view help;
    std::size_t argumentCount = 0;
    std::array<XlfArgHelp, kMaxArguments> arguments{};
    // Letters of the return type, then of each parameter, per generation.
    std::string_view returnType4;
    std::string_view returnType12;
    std::array<std::string_view, kMaxArguments> argumentTypes4{};
    std::array<std::string_view, kMaxArguments> argumentTypes12{};
};

template <class EntryPoint>
struct XlfSignature; // entry points are host calls (XLL_STDCALL); anything else does not build

template <class Result, class... Parameters>
struct XlfSignature<Result(XLL_STDCALL*)(Parameters...)> {
    static constexpr std::size_t arity = sizeof...(Parameters);

    static constexpr void fill(XlfDeclaration& declaration) {
        declaration.returnType4 = XlfArgType<Result>::four;
        declaration.returnType12 = XlfArgType<Result>::twelve;
        [[maybe_unused]] std::size_t i = 0;
        ((declaration.argumentTypes4[i] = XlfArgType<Parameters>::four,
          declaration.argumentTypes12[i++] = XlfArgType<Parameters>::twelve),
         ...);
    }
};

// The declaration of the worksheet function whose C entry point is entryPoint, exported as procedure, with
// one name and help per parameter.
template <auto entryPoint, std::size_t N>
consteval XlfDeclaration xlfDeclare(std::string_view procedure, std::string_view functionName,
                                    std::string_view help, const XlfArgHelp (&arguments)[N]) {
    using Signature = XlfSignature<decltype(entryPoint)>;
    static_assert(N == Signature::arity, "one argument row per parameter of the entry point");
    static_assert(N <= XlfDeclaration::kMaxArguments, "more parameters than a declaration holds");
    XlfDeclaration declaration;
    declaration.procedure = procedure;
    declaration.functionName = functionName;
    declaration.help = help;
    declaration.argumentCount = N;
    for (std::size_t i = 0; i < N; ++i)
        declaration.arguments[i] = arguments[i];
    Signature::fill(declaration);
    return declaration;
}

// The declaration of a worksheet function whose entry point takes no parameter.
template <auto entryPoint>
consteval XlfDeclaration xlfDeclare(std::string_view procedure, std::string_view functionName,
                                    std::string_view help) {
    using Signature = XlfSignature<decltype(entryPoint)>;
    static_assert(Signature::arity == 0, "one argument row per parameter of the entry point");
    XlfDeclaration declaration;
    declaration.procedure = procedure;
    declaration.functionName = functionName;
    declaration.help = help;
    Signature::fill(declaration);
    return declaration;
}

// Constructing one appends its record, or a record per declaration, to the registration list; define them
// as static objects.
class XlfRegistration {
public:
    XlfRegistration(std::string procedure, std::string functionName, std::string help, std::string category,
                    const std::vector<XlfArgRow>& arguments, bool isVolatile = false, bool threadSafe = false,
                    std::string returnType = std::string());
    // Functions declared alike: one category, none volatile, all or none thread-safe.
    XlfRegistration(std::span<const XlfDeclaration> declarations, std::string_view category, bool threadSafe);
};

// Registers every record with the host, in list order. Per-function failures are reported and skipped; a
// missing library name throws std::runtime_error.
void registerAllFunctions();

} // namespace xll
