#pragma once

// A worksheet function as registered with the host.

#include <string>
#include <vector>

#include "src/XlfAbstractCmdDesc.h"
#include "src/XlfArgDesc.h"

namespace xll {

// The type text the host receives, from the letters (return code, argument codes, "!" when volatile) and the
// host's version: hosts from version 12 on recalculate on several threads and get the thread-safe mark "$"
// on every function, in either generation; older hosts refuse the mark, so their texts stay as they are.
std::string registrationTypeText(std::string letters, int hostVersion);

class XlfFuncDesc : public XlfAbstractCmdDesc {
public:
    enum RecalcPolicy : int { NotVolatile = 0, Volatile = 1 };

    XlfFuncDesc(std::string procedure, std::string functionName, std::string help, std::string category,
                bool isVolatile, bool threadSafe, std::string returnType);

    void setArguments(std::vector<XlfArgDesc> arguments);
    const std::vector<XlfArgDesc>& arguments() const;

    // The type text of this generation: return code, each argument's code, then "!" when volatile and "$"
    // when the host runs calculations on several threads (see registrationTypeText). Every function of the
    // add-in is safe to call on several threads, so the thread-safe flag adds nothing of its own.
    std::string typeText() const;
    // The argument names joined with ", ".
    std::string argumentText() const;

protected:
    int doRegister(const std::string& libraryName) const override;
    int doUnregister(const std::string& libraryName) const override;

private:
    struct Details {
        int recalcPolicy = NotVolatile;
        std::string category;
        std::vector<XlfArgDesc> arguments;
        bool threadSafe = false;
    };
    // Registers with a macro type (1 a worksheet function, 0 to look up the id); id receives the host's
    // answer.
    int registerAs(const std::string& libraryName, int macroType, double* id) const;

    std::string returnType_;
    Details details_;
};

} // namespace xll
