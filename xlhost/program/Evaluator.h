#pragma once

// Evaluates formula lines through the loaded add-in, as the host evaluates a cell: finds the registered
// function, hands over the arguments by their type letters, calls the procedure and prints its result.

#include "xlhost/common/TypeText.h"
#include "xlhost/program/AddIn.h"

#include <cstddef>
#include <map>
#include <ostream>
#include <string>
#include <string_view>

namespace xlhost {

class Evaluator {
public:
    // Reads the host's registration table as it stands (after the add-in's open).
    Evaluator(const AddIn& addIn, bool json, std::ostream& out);

    // Prints one result, or a message naming the source, line and column; false when the line could not be
    // evaluated. Skipped lines (blank, '#') print nothing and count as evaluated.
    bool line(std::string_view text, const std::string& source, std::size_t lineNumber);
    // Where text between results goes.
    std::ostream& out() { return out_; }

private:
    struct Function {
        std::string name;
        std::string procedure;
        TypeText type;
    };
    void message(const std::string& source, std::size_t lineNumber, std::size_t column,
                 const std::string& text);

    const AddIn& addIn_;
    bool json_;
    std::ostream& out_;
    std::map<std::string, Function> functions_; // by lower-case name
};

// Prints the registrations as the host received them, every value of each.
void listRegistrations(bool json, std::ostream& out);

} // namespace xlhost
