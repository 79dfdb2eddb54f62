#include "src/XlfRegistration.h"

#include "src/XlfExcel.h"
#include "src/XlfFuncDesc.h"

namespace xll {
namespace {

// A record's type code in the process's generation: the 12-generation's own when the record has one.
const std::string& ofGeneration(const std::string& type, const std::string& type12, const XlfExcel& excel) {
    return excel.isExcel12() && !type12.empty() ? type12 : type;
}

} // namespace

std::vector<XlfRegistrationRecord>& registrationList() {
    static std::vector<XlfRegistrationRecord> list;
    return list;
}

XlfRegistration::XlfRegistration(std::string procedure, std::string functionName, std::string help,
                                 std::string category, const std::vector<XlfArgRow>& arguments,
                                 bool isVolatile, bool threadSafe, std::string returnType) {
    XlfRegistrationRecord record;
    record.procedure = std::move(procedure);
    record.functionName = std::move(functionName);
    record.help = std::move(help);
    record.category = std::move(category);
    for (const XlfArgRow& argument : arguments) {
        record.argumentNames.push_back(argument.name);
        record.argumentHelps.push_back(argument.help);
        record.argumentTypes.push_back(argument.type);
        record.argumentTypes12.push_back(argument.type12);
    }
    record.isVolatile = isVolatile;
    record.threadSafe = threadSafe;
    record.returnType = std::move(returnType);
    registrationList().push_back(std::move(record));
}

XlfRegistration::XlfRegistration(std::span<const XlfDeclaration> declarations, std::string_view category,
                                 bool threadSafe) {
    for (const XlfDeclaration& declaration : declarations) {
        XlfRegistrationRecord record;
        record.procedure = declaration.procedure;
        record.functionName = declaration.functionName;
        record.help = declaration.help;
        record.category = category;
        for (std::size_t i = 0; i < declaration.argumentCount; ++i) {
            record.argumentNames.emplace_back(declaration.arguments[i].name);
            record.argumentHelps.emplace_back(declaration.arguments[i].help);
            record.argumentTypes.emplace_back(declaration.argumentTypes4[i]);
            record.argumentTypes12.emplace_back(declaration.argumentTypes12[i]);
        }
        record.threadSafe = threadSafe;
        record.returnType = declaration.returnType4;
        record.returnType12 = declaration.returnType12;
        registrationList().push_back(std::move(record));
    }
}

void registerAllFunctions() {
    const XlfExcel& excel = XlfExcel::instance();
    for (const XlfRegistrationRecord& record : registrationList()) {
        const std::string& returnType = ofGeneration(record.returnType, record.returnType12, excel);
        XlfFuncDesc function(record.procedure, record.functionName, record.help, record.category,
                             record.isVolatile, record.threadSafe,
                             returnType.empty() ? excel.xlfOperType() : returnType);
        std::vector<XlfArgDesc> arguments;
        arguments.reserve(record.argumentCount());
        for (std::size_t i = 0; i < record.argumentCount(); ++i) {
            const std::string& type12 = i < record.argumentTypes12.size() ? record.argumentTypes12[i] : "";
            arguments.emplace_back(record.argumentNames[i], record.argumentHelps[i],
                                   ofGeneration(record.argumentTypes[i], type12, excel));
        }
        function.setArguments(std::move(arguments));
        function.registerWithHost();
    }
}

} // namespace xll
