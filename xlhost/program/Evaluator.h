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

struct EvaluatorOptions {
    bool json = false; // one JSON object per result
    bool echo = false; // each result also names its source, line number and formula
};

class Evaluator {
public:
    // Reads the host's registration table as it stands (after the add-in's open).
    Evaluator(const AddIn& addIn, bool json, std::ostream& out);
    Evaluator(const AddIn& addIn, EvaluatorOptions options, std::ostream& out);

    // Prints one result, or a message naming the source, line and column (readable output also shows the
    // line with a caret under the column); false when the line could not be evaluated. Skipped lines
    // (blank, '#') print nothing and count as evaluated.
    bool line(std::string_view text, const std::string& source, std::size_t lineNumber);
    // Where text between results goes.
    std::ostream& out() { return out_; }
    // Reports a line too long to be read in place of its result.
    void lineTooLong(const std::string& source, std::size_t lineNumber);

private:
    struct Function {
        std::string name;
        std::string procedure;
        TypeText type;
        // Looked up once: the system's symbol lookup takes a process-wide lock, which calculation threads
        // would otherwise meet at every line.
        const void* entryPoint = nullptr;
    };
    // lineText is null when the line is not at hand.
    void message(const std::string& source, std::size_t lineNumber, std::size_t column,
                 const std::string& text, const std::string_view* lineText);
    std::string unknownFunction(const std::string& name) const;
    // The JSON fields --echo puts before each result.
    std::string echoFields(const std::string& source, std::size_t lineNumber,
                           const std::string_view* lineText) const;

    void* autoFree4_ = nullptr;  // the add-in's xlAutoFree, null when it has none
    void* autoFree12_ = nullptr; // and its xlAutoFree12
    bool json_;
    bool echo_;
    std::ostream& out_;
    std::map<std::string, Function> functions_; // by lower-case name
};

// Prints the registrations as the host received them, every value of each.
void listRegistrations(bool json, std::ostream& out);

} // namespace xlhost
