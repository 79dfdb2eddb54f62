#include "src/XlfRegistration.h"

#include "src/XlfExcel.h"
#include "src/XlfFuncDesc.h"

namespace xll {

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
    }
    record.isVolatile = isVolatile;
    record.threadSafe = threadSafe;
    record.returnType = std::move(returnType);
    registrationList().push_back(std::move(record));
}

void registerAllFunctions() {
    const XlfExcel& excel = XlfExcel::instance();
    for (const XlfRegistrationRecord& record : registrationList()) {
        XlfFuncDesc function(record.procedure, record.functionName, record.help, record.category,
                             record.isVolatile, record.threadSafe,
                             record.returnType.empty() ? excel.xlfOperType() : record.returnType);
        std::vector<XlfArgDesc> arguments;
        arguments.reserve(record.argumentCount());
        for (std::size_t i = 0; i < record.argumentCount(); ++i)
            arguments.emplace_back(record.argumentNames[i], record.argumentHelps[i], record.argumentTypes[i]);
        function.setArguments(std::move(arguments));
        function.registerWithHost();
    }
}

} // namespace xll
