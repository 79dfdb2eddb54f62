#include "xlhost/common/Coerce.h"

#include "src/api/XlCall.h"
#include "xlhost/common/Records.h"
#include "xlhost/common/Text.h"

#include <cmath>
#include <limits>

namespace xlhost {
namespace {

std::optional<Value> readReference(const Value& ref, const CellReader& cells) {
    if (ref.areas.size() != 1)
        return std::nullopt;
    const Area& a = ref.areas.front();
    const int64_t rows = int64_t{a.lastRow} - a.firstRow + 1;
    const int64_t columns = int64_t{a.lastColumn} - a.firstColumn + 1;
    if (rows <= 0 || columns <= 0 || static_cast<uint64_t>(rows * columns) > kMaxArrayCells)
        return std::nullopt;
    auto read = [&](int32_t row, int32_t column) { return cells ? cells(row, column) : Value::nil(); };
    if (rows == 1 && columns == 1)
        return read(a.firstRow, a.firstColumn);
    std::vector<Value> values;
    values.reserve(static_cast<std::size_t>(rows * columns));
    for (int32_t r = a.firstRow; r <= a.lastRow; ++r)
        for (int32_t c = a.firstColumn; c <= a.lastColumn; ++c)
            values.push_back(read(r, c));
    return Value::multi(static_cast<int32_t>(rows), static_cast<int32_t>(columns), std::move(values));
}

bool equalsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char16_t c) {
            return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
        };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

std::optional<double> toNumber(const Value& v) {
    switch (v.kind) {
    case Kind::Num:
        return v.num;
    case Kind::Int:
    case Kind::Bool:
        return static_cast<double>(v.code);
    case Kind::Missing:
    case Kind::Nil:
        return 0.0;
    case Kind::Str:
        return readNumber(v.text);
    default:
        return std::nullopt;
    }
}

// v is a scalar that is not an error.
std::optional<Value> convertScalar(const Value& v, Kind to, Generation generation) {
    switch (to) {
    case Kind::Num: {
        const auto x = toNumber(v);
        return x ? std::optional<Value>(Value::number(*x)) : std::nullopt;
    }
    case Kind::Int: {
        const auto x = toNumber(v);
        if (!x || !std::isfinite(*x))
            return std::nullopt;
        const double rounded = std::round(*x);
        const double low = generation == Generation::Four ? std::numeric_limits<int16_t>::min()
                                                          : std::numeric_limits<int32_t>::min();
        const double high = generation == Generation::Four ? std::numeric_limits<int16_t>::max()
                                                           : std::numeric_limits<int32_t>::max();
        if (rounded < low || rounded > high)
            return std::nullopt;
        return Value::integer(static_cast<int32_t>(rounded));
    }
    case Kind::Bool:
        switch (v.kind) {
        case Kind::Bool:
            return v;
        case Kind::Num:
            return Value::boolean(v.num != 0);
        case Kind::Int:
            return Value::boolean(v.code != 0);
        case Kind::Missing:
        case Kind::Nil:
            return Value::boolean(false);
        case Kind::Str:
            if (equalsIgnoringCase(v.text, u"TRUE"))
                return Value::boolean(true);
            if (equalsIgnoringCase(v.text, u"FALSE"))
                return Value::boolean(false);
            return std::nullopt;
        default:
            return std::nullopt;
        }
    case Kind::Str:
        switch (v.kind) {
        case Kind::Str:
            return v;
        case Kind::Num: {
            auto text = numberText(v.num);
            return text ? std::optional<Value>(Value::str(std::move(*text))) : std::nullopt;
        }
        case Kind::Int:
            return Value::str(*numberText(v.code));
        case Kind::Bool:
            return Value::str(v.code != 0 ? u"TRUE" : u"FALSE");
        case Kind::Missing:
        case Kind::Nil:
            return Value::str(u"");
        default:
            return std::nullopt;
        }
    case Kind::Nil:
        if (v.kind == Kind::Missing || v.kind == Kind::Nil)
            return Value::nil();
        return std::nullopt;
    case Kind::Missing:
        if (v.kind == Kind::Missing)
            return v;
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<Value> convert(const Value& v, Kind to, Generation generation) {
    if (to == Kind::Multi) {
        if (v.kind == Kind::Multi)
            return v;
        return Value::multi(1, 1, {v.kind == Kind::Missing ? Value::nil() : v});
    }
    if (to == Kind::Ref || to == Kind::SRef)
        return std::nullopt;
    const Value& scalar = v.kind == Kind::Multi ? v.cells.front() : v;
    if (scalar.kind == Kind::Err)
        return scalar;
    if (to == Kind::Err)
        return std::nullopt;
    return convertScalar(scalar, to, generation);
}

} // namespace

std::optional<Value> coerce(const Value& value, std::optional<uint32_t> wantedTypes, Generation generation,
                            const CellReader& cells) {
    const bool isReference = value.kind == Kind::Ref || value.kind == Kind::SRef;
    if (wantedTypes && (*wantedTypes & typeCode(value.kind)) != 0)
        return value;
    std::optional<Value> resolved = isReference ? readReference(value, cells) : std::optional<Value>(value);
    if (!resolved)
        return std::nullopt;
    if (!wantedTypes)
        return resolved;
    if ((*wantedTypes & typeCode(resolved->kind)) != 0)
        return resolved;
    for (Kind to : {Kind::Num, Kind::Int, Kind::Bool, Kind::Str, Kind::Err, Kind::Multi, Kind::Nil}) {
        if ((*wantedTypes & typeCode(to)) == 0)
            continue;
        if (auto converted = convert(*resolved, to, generation))
            return converted;
    }
    return std::nullopt;
}

} // namespace xlhost
