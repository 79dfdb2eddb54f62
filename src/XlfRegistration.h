#pragma once

// The registration list: one record per worksheet function, appended by static registration objects while the
// library loads, registered with the host in list order when the host opens the add-in.

#include <string>
#include <vector>

namespace xll {

struct XlfArgRow {
    std::string name;
    std::string help;
    std::string type;
};

struct XlfRegistrationRecord {
    std::string procedure;
    std::string functionName;
    std::string help;
    std::string category;
    std::vector<std::string> argumentNames;
    std::vector<std::string> argumentHelps;
    std::vector<std::string> argumentTypes;
    bool isVolatile = false;
    bool threadSafe = false;
    std::string returnType; // empty: the value type of the process ("P" or "Q")

    std::size_t argumentCount() const { return argumentNames.size(); }
};

// Created on first use, destroyed at process exit.
std::vector<XlfRegistrationRecord>& registrationList();

// Constructing one appends its record to the registration list; define them as static objects.
class XlfRegistration {
public:
    XlfRegistration(std::string procedure, std::string functionName, std::string help, std::string category,
                    const std::vector<XlfArgRow>& arguments, bool isVolatile = false, bool threadSafe = false,
                    std::string returnType = std::string());
};

// Registers every record with the host, in list order. Per-function failures are reported and skipped; a
// missing library name throws std::runtime_error.
void registerAllFunctions();

} // namespace xll
