#include "src/XlfFuncDesc.h"

#include "src/XlfExcel.h"
#include "src/XlfOper4.h"

namespace xll {
namespace {

// Symbolic codes become the letters of the process's generation; host letters pass unchanged.
std::string typeLetters(const std::string& code) {
    const XlfExcel& excel = XlfExcel::instance();
    if (code == "XLF_OPER")
        return excel.xlfOperType();
    if (code == "XLF_XLOPER")
        return excel.xlfXloperType();
    if (code == "XLL_WSTR")
        return excel.wStrType();
    return code;
}

constexpr int kWorksheetFunction = 1;
constexpr int kLookUpOnly = 0;

} // namespace

std::string registrationTypeText(std::string letters, int hostVersion) {
    if (hostVersion >= kFirstMultiThreadedVersion)
        letters += '$';
    return letters;
}

XlfFuncDesc::XlfFuncDesc(std::string procedure, std::string functionName, std::string help,
                         std::string category, bool isVolatile, bool threadSafe, std::string returnType)
    : XlfAbstractCmdDesc(std::move(procedure), std::move(functionName), std::move(help)),
      returnType_(std::move(returnType)) {
    details_.recalcPolicy = isVolatile ? Volatile : NotVolatile;
    details_.category = std::move(category);
    details_.threadSafe = threadSafe;
}

void XlfFuncDesc::setArguments(std::vector<XlfArgDesc> arguments) {
    details_.arguments = std::move(arguments);
}

const std::vector<XlfArgDesc>& XlfFuncDesc::arguments() const {
    return details_.arguments;
}

std::string XlfFuncDesc::typeText() const {
    std::string text = returnType_.empty() ? XlfExcel::instance().xlfOperType() : typeLetters(returnType_);
    for (const XlfArgDesc& argument : details_.arguments)
        text += typeLetters(argument.type());
    if (details_.recalcPolicy == Volatile)
        text += '!';
    return registrationTypeText(std::move(text), XlfExcel::instance().hostVersion());
}

std::string XlfFuncDesc::argumentText() const {
    std::string text;
    for (const XlfArgDesc& argument : details_.arguments) {
        if (!text.empty())
            text += ", ";
        text += argument.name();
    }
    return text;
}

int XlfFuncDesc::doRegister(const std::string& libraryName) const {
    return registerAs(libraryName, kWorksheetFunction, nullptr);
}

int XlfFuncDesc::doUnregister(const std::string& libraryName) const {
    double id = 0.0;
    if (const int code = registerAs(libraryName, kLookUpOnly, &id))
        return code;
    return XlfExcel::instance().call(xlfUnregister, nullptr, XlfOper(id));
}

int XlfFuncDesc::registerAs(const std::string& libraryName, int macroType, double* id) const {
    const std::vector<XlfArgDesc>& arguments = details_.arguments;
    std::vector<XlfOper4> values;
    values.reserve(10 + arguments.size());
    values.emplace_back(libraryName);
    values.emplace_back(procedure());
    values.emplace_back(typeText());
    values.emplace_back(functionName());
    values.emplace_back(argumentText());
    values.emplace_back(static_cast<double>(macroType));
    values.emplace_back(details_.category);
    values.emplace_back(""); // no shortcut
    values.emplace_back(""); // no help topic
    values.emplace_back(help());
    for (const XlfArgDesc& argument : arguments)
        values.emplace_back(argument.help());

    std::vector<XLOPER*> records;
    records.reserve(values.size());
    for (const XlfOper4& value : values)
        records.push_back(value.handle());
    // The host takes registrations as 4-generation records in either generation.
    XlfOper4 result;
    const int code =
        XlfExcel::excel4v(xlfRegister, result.handle(), static_cast<int>(records.size()), records.data());
    if (id != nullptr && code == 0) {
        int idCode = 0;
        *id = result.toDouble(&idCode);
        if (idCode != 0)
            return idCode;
    }
    return code;
}

} // namespace xll
