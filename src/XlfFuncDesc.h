#pragma once

// A worksheet function as registered with the host.

#include <string>
#include <vector>

#include "src/XlfAbstractCmdDesc.h"
#include "src/XlfArgDesc.h"

namespace xll {

class XlfFuncDesc : public XlfAbstractCmdDesc {
public:
    enum RecalcPolicy : int { NotVolatile = 0, Volatile = 1 };

    XlfFuncDesc(std::string procedure, std::string functionName, std::string help, std::string category,
                bool isVolatile, bool threadSafe, std::string returnType);

    void setArguments(std::vector<XlfArgDesc> arguments);
    const std::vector<XlfArgDesc>& arguments() const;

    // The type text of this generation: return code, each argument's code, then "!" when volatile and "$"
    // when thread-safe (12-generation only).
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
