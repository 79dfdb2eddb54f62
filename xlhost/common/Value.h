#pragma once

// A host value independent of the record generation: what the stand-in host reads from the records it is
// handed and writes into the records it answers. Texts are 16-bit units; in the 4-generation each unit holds
// one byte (the host's single-byte code page read as Latin-1).

#include <cstdint>
#include <string>
#include <vector>

namespace xlhost {

enum class Generation { Four, Twelve };

enum class Kind { Num, Str, Bool, Ref, Err, Multi, Missing, Nil, SRef, Int };

// The host type code of a kind (one bit each).
uint32_t typeCode(Kind kind);

// One rectangle of a reference, inclusive and 0-based, as the reference records hold it.
struct Area {
    int32_t firstRow = 0;
    int32_t lastRow = 0;
    int32_t firstColumn = 0;
    int32_t lastColumn = 0;
    friend bool operator==(const Area&, const Area&) = default;
};

struct Value {
    Kind kind = Kind::Nil;
    double num = 0;           // Num
    std::u16string text;      // Str
    int32_t code = 0;         // Bool (0 or 1), Err, Int
    int32_t rows = 0;         // Multi
    int32_t columns = 0;      // Multi
    std::vector<Value> cells; // Multi, row-major
    std::vector<Area> areas;  // Ref (one or more), SRef (exactly one)
    std::uintptr_t sheet = 0; // Ref

    static Value number(double x);
    static Value str(std::u16string s);
    static Value boolean(bool b);
    static Value error(int32_t code);
    static Value integer(int32_t i);
    static Value missing();
    static Value nil();
    static Value multi(int32_t rows, int32_t columns, std::vector<Value> cells);
    static Value ref(std::vector<Area> areas, std::uintptr_t sheet = 0);
    static Value sref(Area area);

    bool is(Kind k) const { return kind == k; }
    const Value& cell(int32_t row, int32_t column) const {
        return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                     static_cast<std::size_t>(column)];
    }

    friend bool operator==(const Value&, const Value&) = default;
};

// "Num", "Str", ...: for messages and test traces.
const char* kindName(Kind kind);

// The host's error codes and their literals: #NULL! 0, #DIV/0! 7, #VALUE! 15, #REF! 23, #NAME? 29, #NUM! 36,
// #N/A 42. errorLiteral answers null for any other code.
const char* errorLiteral(int32_t code);

} // namespace xlhost
