#include "xlhost/common/Value.h"

#include "src/api/XlCall.h"

#include <utility>

namespace xlhost {

Value Value::number(double x) {
    Value v;
    v.kind = Kind::Num;
    v.num = x;
    return v;
}

Value Value::str(std::u16string s) {
    Value v;
    v.kind = Kind::Str;
    v.text = std::move(s);
    return v;
}

Value Value::boolean(bool b) {
    Value v;
    v.kind = Kind::Bool;
    v.code = b ? 1 : 0;
    return v;
}

Value Value::error(int32_t code) {
    Value v;
    v.kind = Kind::Err;
    v.code = code;
    return v;
}

Value Value::integer(int32_t i) {
    Value v;
    v.kind = Kind::Int;
    v.code = i;
    return v;
}

Value Value::missing() {
    Value v;
    v.kind = Kind::Missing;
    return v;
}

Value Value::nil() {
    return Value{};
}

Value Value::multi(int32_t rows, int32_t columns, std::vector<Value> cells) {
    Value v;
    v.kind = Kind::Multi;
    v.rows = rows;
    v.columns = columns;
    v.cells = std::move(cells);
    return v;
}

Value Value::ref(std::vector<Area> areas, std::uintptr_t sheet) {
    Value v;
    v.kind = Kind::Ref;
    v.areas = std::move(areas);
    v.sheet = sheet;
    return v;
}

Value Value::sref(Area area) {
    Value v;
    v.kind = Kind::SRef;
    v.areas = {area};
    return v;
}

const char* kindName(Kind kind) {
    switch (kind) {
    case Kind::Num:
        return "Num";
    case Kind::Str:
        return "Str";
    case Kind::Bool:
        return "Bool";
    case Kind::Ref:
        return "Ref";
    case Kind::Err:
        return "Err";
    case Kind::Multi:
        return "Multi";
    case Kind::Missing:
        return "Missing";
    case Kind::Nil:
        return "Nil";
    case Kind::SRef:
        return "SRef";
    case Kind::Int:
        return "Int";
    }
    return "?";
}

const char* errorLiteral(int32_t code) {
    switch (code) {
    case 0:
        return "#NULL!";
    case 7:
        return "#DIV/0!";
    case 15:
        return "#VALUE!";
    case 23:
        return "#REF!";
    case 29:
        return "#NAME?";
    case 36:
        return "#NUM!";
    case 42:
        return "#N/A";
    default:
        return nullptr;
    }
}

uint32_t typeCode(Kind kind) {
    switch (kind) {
    case Kind::Num:
        return xltypeNum;
    case Kind::Str:
        return xltypeStr;
    case Kind::Bool:
        return xltypeBool;
    case Kind::Ref:
        return xltypeRef;
    case Kind::Err:
        return xltypeErr;
    case Kind::Multi:
        return xltypeMulti;
    case Kind::Missing:
        return xltypeMissing;
    case Kind::Nil:
        return xltypeNil;
    case Kind::SRef:
        return xltypeSRef;
    case Kind::Int:
        return xltypeInt;
    }
    return xltypeNil;
}

} // namespace xlhost
