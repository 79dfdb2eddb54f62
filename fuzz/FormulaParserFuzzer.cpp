// The stand-in host's formula lines: any bytes as one line. A line either fails with a column inside it or
// gives a call whose arrays are rectangles of constants; every argument value then goes through the host's
// passing rules for each type letter, and, where the generation has a record for it, is written as a record
// and read back unchanged.

#include "xlhost/common/Records.h"
#include "xlhost/common/Value.h"
#include "xlhost/formula/FormulaParser.h"
#include "xlhost/program/Arguments.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

using xlhost::Generation;
using xlhost::Kind;
using xlhost::Value;
using xlhost::formula::Literal;
using xlhost::formula::LiteralKind;

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "formula fault: %s\n", what);
    std::abort();
}

void checkLiteral(const Literal& l, bool inArray) {
    if (l.kind != LiteralKind::Array)
        return;
    if (inArray)
        fail("nested array");
    if (l.rows < 1 || l.columns < 1 ||
        l.cells.size() != static_cast<std::size_t>(l.rows) * static_cast<std::size_t>(l.columns))
        fail("array is not a rectangle");
    for (const Literal& cell : l.cells) {
        if (cell.kind == LiteralKind::Omitted)
            fail("omitted array cell");
        checkLiteral(cell, true);
    }
}

// The value as the 4-generation holds it: single-byte texts, units without one become '?'.
Value inGeneration(Value v, Generation g) {
    if (g == Generation::Four)
        for (char16_t& unit : v.text)
            if (unit > 0xFF)
                unit = u'?';
    for (Value& cell : v.cells)
        cell = inGeneration(std::move(cell), g);
    return v;
}

template <class Record>
void roundTrip(const Value& v, Generation g) {
    if (!xlhost::fitsRecord(v, g))
        return;
    xlhost::ArgumentStorage storage;
    Record record{};
    xlhost::writeRecord(v, record, storage);
    const auto back = xlhost::readRecord(&record);
    if (!back)
        fail("a written record does not read back");
    if (*back != inGeneration(v, g))
        fail("a record reads back differently");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    xlhost::formula::isSkippedLine(line);
    const auto parsed = xlhost::formula::parseFormula(line);
    if (const auto* error = std::get_if<xlhost::formula::ParseError>(&parsed)) {
        if (error->column < 1 || error->column > size + 1 || error->message.empty())
            fail("parse error outside the line");
        return 0;
    }
    const auto& call = std::get<xlhost::formula::Call>(parsed);
    if (call.name.empty() || call.nameColumn < 1 || call.nameColumn > size)
        fail("call without a name");

    std::vector<Value> values;
    for (const Literal& argument : call.arguments) {
        checkLiteral(argument, false);
        values.push_back(xlhost::literalValue(argument));
        roundTrip<XLOPER>(values.back(), Generation::Four);
        roundTrip<XLOPER12>(values.back(), Generation::Twelve);
    }
    // Every argument under every letter the host knows, and one it does not.
    static const std::vector<std::string> kLetters[] = {{"B"}, {"C"}, {"C%"}, {"P"},
                                                        {"Q"}, {"R"}, {"U"},  {"J"}};
    for (const Value& v : values)
        for (const auto& letters : kLetters) {
            xlhost::ArgumentStorage storage;
            xlhost::passArguments({v}, letters, storage);
        }
    return 0;
}
