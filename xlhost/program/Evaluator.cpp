#include "xlhost/program/Evaluator.h"

#include "src/api/XlCall.h"
#include "xlhost/common/Text.h"
#include "xlhost/core/StandInHost.h"
#include "xlhost/formula/FormulaParser.h"
#include "xlhost/formula/Messages.h"
#include "xlhost/program/Arguments.h"
#include "xlhost/program/Hints.h"
#include "xlhost/program/Marshaller.h"
#include "xlhost/program/Output.h"

#include <cstdio>
#include <type_traits>

namespace xlhost {
namespace {

std::string lowerCase(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r");
    return std::string(s.substr(first, last - first + 1));
}

std::string typeWord(uint32_t type) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, " (type word 0x%X)", static_cast<unsigned>(type));
    return buffer;
}

using AutoFree4 = void(XLL_STDCALL*)(XLOPER*);
using AutoFree12 = void(XLL_STDCALL*)(XLOPER12*);

// Reads what the entry point returned, then gives back its memory as the markers ask: 0x4000 to the
// add-in's xlAutoFree, 0x1000 to the host's own xlFree.
template <typename Record>
std::optional<Result> takeResult(std::uintptr_t returned, void* autoFree, std::string& invalid) {
    auto* record = reinterpret_cast<Record*>(returned);
    if (record == nullptr)
        return Result{};
    auto value = readValue(record);
    if (!value) {
        invalid = messages::InvalidResult + typeWord(record->xltype);
        return std::nullopt;
    }
    if ((record->xltype & xlbitXLFree) != 0) {
        Record copy = *record;
        copy.xltype &= ~xlbitXLFree;
        Record* args[] = {&copy};
        if constexpr (std::is_same_v<Record, XLOPER>)
            dispatch4(xlFree, nullptr, 1, args);
        else
            dispatch12(xlFree, 1, args, nullptr);
    }
    if ((record->xltype & xlbitDLLFree) != 0) {
        if constexpr (std::is_same_v<Record, XLOPER>) {
            if (auto* f = reinterpret_cast<AutoFree4>(autoFree))
                f(record);
        } else {
            if (auto* f = reinterpret_cast<AutoFree12>(autoFree))
                f(record);
        }
    }
    return Result(std::move(*value));
}

bool isWorksheetFunction(const Registration& r) {
    if (!r.active || r.values.size() < 4 || r.values[3].kind != Kind::Str)
        return false;
    if (r.values.size() < 6)
        return true;
    const Value& macroType = r.values[5];
    return macroType.kind == Kind::Missing || macroType.kind == Kind::Nil ||
           (macroType.kind == Kind::Num && macroType.num == 1) ||
           (macroType.kind == Kind::Int && macroType.code == 1);
}

} // namespace

Evaluator::Evaluator(const AddIn& addIn, bool json, std::ostream& out)
    : Evaluator(addIn, EvaluatorOptions{json, false}, out) {}

Evaluator::Evaluator(const AddIn& addIn, EvaluatorOptions options, std::ostream& out)
    : autoFree4_(addIn.symbol("xlAutoFree")), autoFree12_(addIn.symbol("xlAutoFree12")), json_(options.json),
      echo_(options.echo), out_(out) {
    for (const Registration& r : registrations()) {
        if (!isWorksheetFunction(r))
            continue;
        auto type = parseTypeText(utf16ToUtf8(r.values[2].text));
        if (!type)
            continue;
        Function f{utf16ToUtf8(r.values[3].text), utf16ToUtf8(r.values[1].text), std::move(*type)};
        f.entryPoint = addIn.symbol(f.procedure);
        functions_[lowerCase(f.name)] = std::move(f);
    }
}

std::string Evaluator::echoFields(const std::string& source, std::size_t lineNumber,
                                  const std::string_view* lineText) const {
    std::string fields = "\"source\": " + jsonUtf8(source) + ", \"line\": " + std::to_string(lineNumber);
    if (lineText != nullptr)
        fields += ", \"formula\": " + jsonUtf8(trimmed(*lineText));
    return fields;
}

void Evaluator::message(const std::string& source, std::size_t lineNumber, std::size_t column,
                        const std::string& text, const std::string_view* lineText) {
    if (json_) {
        std::string object = jsonError("line " + std::to_string(lineNumber) + ", column " +
                                       std::to_string(column) + ": " + text);
        if (echo_)
            object = withFields(object, echoFields(source, lineNumber, lineText));
        out_ << object << '\n';
    } else {
        out_ << source << ':' << lineNumber << ':' << column << ": " << text << '\n';
        if (lineText != nullptr)
            out_ << caretExcerpt(*lineText, column);
    }
    out_.flush();
}

void Evaluator::lineTooLong(const std::string& source, std::size_t lineNumber) {
    message(source, lineNumber, 1, messages::LineTooLong, nullptr);
}

std::string Evaluator::unknownFunction(const std::string& name) const {
    std::vector<std::string> names;
    names.reserve(functions_.size());
    for (const auto& [key, f] : functions_)
        names.push_back(f.name);
    std::string text = messages::UnknownFunction + name;
    if (const auto closest = closestName(name, names))
        text += messages::DidYouMean + *closest + "?";
    return text;
}

bool Evaluator::line(std::string_view text, const std::string& source, std::size_t lineNumber) {
    if (formula::isSkippedLine(text))
        return true;
    const std::string_view* lineText = &text;
    const auto parsed = formula::parseFormula(text);
    if (const auto* error = std::get_if<formula::ParseError>(&parsed)) {
        message(source, lineNumber, error->column, error->message, lineText);
        return false;
    }
    const auto& call = std::get<formula::Call>(parsed);
    const auto found = functions_.find(lowerCase(call.name));
    if (found == functions_.end()) {
        message(source, lineNumber, call.nameColumn, unknownFunction(call.name), lineText);
        return false;
    }
    const Function& f = found->second;
    if (call.arguments.size() > f.type.arguments.size()) {
        message(source, lineNumber, call.nameColumn, messages::TooManyArguments + f.name, lineText);
        return false;
    }
    const std::string& returnType = f.type.returnType;
    if (returnType != "P" && returnType != "Q") {
        message(source, lineNumber, call.nameColumn, messages::UnsupportedType + returnType, lineText);
        return false;
    }

    std::vector<Value> values;
    for (const formula::Literal& literal : call.arguments)
        values.push_back(literalValue(literal));
    values.resize(f.type.arguments.size(), Value::missing());
    ArgumentStorage storage;
    Passing passing = passArguments(values, f.type.arguments, storage);
    if (!passing.error.empty()) {
        message(source, lineNumber, call.nameColumn, passing.error, lineText);
        return false;
    }

    Result result;
    if (passing.answer) {
        result = std::move(passing.answer);
    } else {
        const void* entryPoint = f.entryPoint;
        if (entryPoint == nullptr) {
            message(source, lineNumber, call.nameColumn, messages::ProcedureNotFound + f.procedure, lineText);
            return false;
        }
        std::optional<std::uintptr_t> returned;
        {
            // The host marks the thread for the call of a thread-safe function (see StandInHost.h).
            ThreadSafeCallScope scope(f.type.threadSafe);
            returned = callEntryPoint(entryPoint, passing.arguments);
        }
        if (!returned) {
            message(source, lineNumber, call.nameColumn, messages::CallTooWide, lineText);
            return false;
        }
        std::string invalid;
        auto taken = returnType == "P" ? takeResult<XLOPER>(*returned, autoFree4_, invalid)
                                       : takeResult<XLOPER12>(*returned, autoFree12_, invalid);
        if (!taken) {
            message(source, lineNumber, call.nameColumn, invalid, lineText);
            return false;
        }
        result = std::move(*taken);
    }

    if (json_) {
        const std::string object = jsonResult(result);
        out_ << (echo_ ? withFields(object, echoFields(source, lineNumber, lineText)) : object) << '\n';
    } else {
        if (echo_)
            out_ << source << ':' << lineNumber << ": ";
        out_ << trimmed(text) << " => " << tableResult(result, returnsDates(f.name)) << '\n';
    }
    out_.flush();
    return true;
}

void listRegistrations(bool json, std::ostream& out) {
    for (const Registration& r : registrations()) {
        char id[32];
        std::snprintf(id, sizeof id, "%.17g", r.id);
        if (json) {
            out << "{\"id\": " << id << ", \"active\": " << (r.active ? "true" : "false")
                << ", \"values\": [";
            for (std::size_t i = 0; i < r.values.size(); ++i)
                out << (i ? ", " : "") << jsonResult(r.values[i]);
            out << "]}\n";
            continue;
        }
        out << "registration " << id << (r.active ? "" : " (unregistered)") << ", " << r.values.size()
            << " values:\n";
        for (std::size_t i = 0; i < r.values.size(); ++i) {
            char position[32];
            std::snprintf(position, sizeof position, "%4zu  ", i + 1);
            out << position << tableResult(r.values[i], false) << '\n';
        }
    }
}

} // namespace xlhost
