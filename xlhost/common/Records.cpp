#include "xlhost/common/Records.h"

#include <cstring>
#include <limits>
#include <new>

namespace xlhost {
namespace {

std::optional<Kind> kindOf(uint32_t type) {
    switch (type) {
    case xltypeNum:
        return Kind::Num;
    case xltypeStr:
        return Kind::Str;
    case xltypeBool:
        return Kind::Bool;
    case xltypeRef:
        return Kind::Ref;
    case xltypeErr:
        return Kind::Err;
    case xltypeMulti:
        return Kind::Multi;
    case xltypeMissing:
        return Kind::Missing;
    case xltypeNil:
        return Kind::Nil;
    case xltypeSRef:
        return Kind::SRef;
    case xltypeInt:
        return Kind::Int;
    default:
        return std::nullopt; // unknown bits, several kinds, flow and big data
    }
}

// What differs between the generations, for the shared reading and writing below.
template <typename Record>
struct Layout;

template <>
struct Layout<XLOPER> {
    using Ref = XLREF;
    using MRef = XLMREF;
    static std::u16string readText(const char* p) {
        const auto count = static_cast<unsigned char>(p[0]);
        std::u16string s(count, u'\0');
        for (std::size_t i = 0; i < count; ++i)
            s[i] = static_cast<unsigned char>(p[i + 1]);
        return s;
    }
    static char* writeText(const std::u16string& s, RecordStorage& storage) {
        auto* p = static_cast<char*>(storage.allocate(s.size() + 1));
        p[0] = static_cast<char>(static_cast<unsigned char>(s.size()));
        for (std::size_t i = 0; i < s.size(); ++i)
            p[i + 1] = s[i] < 0x100 ? static_cast<char>(s[i]) : '?';
        return p;
    }
    static int32_t readInt(const XLOPER& r) { return r.val.w; }
    static int32_t readBool(const XLOPER& r) { return r.val.xbool != 0 ? 1 : 0; }
    static int32_t readErr(const XLOPER& r) { return r.val.err; }
    static void writeInt(XLOPER& r, int32_t i) { r.val.w = static_cast<int16_t>(i); }
    static void writeBool(XLOPER& r, int32_t b) { r.val.xbool = static_cast<uint16_t>(b); }
    static void writeErr(XLOPER& r, int32_t e) { r.val.err = static_cast<uint16_t>(e); }
    static Area readArea(const XLREF& a) { return {a.rwFirst, a.rwLast, a.colFirst, a.colLast}; }
    static void writeArea(XLREF& out, const Area& a) {
        out.rwFirst = static_cast<uint16_t>(a.firstRow);
        out.rwLast = static_cast<uint16_t>(a.lastRow);
        out.colFirst = static_cast<uint8_t>(a.firstColumn);
        out.colLast = static_cast<uint8_t>(a.lastColumn);
    }
};

template <>
struct Layout<XLOPER12> {
    using Ref = XLREF12;
    using MRef = XLMREF12;
    static std::u16string readText(const XCHAR* p) {
        const auto count = static_cast<uint16_t>(p[0]);
        std::u16string s(count, u'\0');
        for (std::size_t i = 0; i < count; ++i)
            s[i] = static_cast<char16_t>(p[i + 1]);
        return s;
    }
    static XCHAR* writeText(const std::u16string& s, RecordStorage& storage) {
        auto* p = static_cast<XCHAR*>(storage.allocate((s.size() + 1) * sizeof(XCHAR)));
        p[0] = static_cast<XCHAR>(s.size());
        for (std::size_t i = 0; i < s.size(); ++i)
            p[i + 1] = static_cast<XCHAR>(s[i]);
        return p;
    }
    static int32_t readInt(const XLOPER12& r) { return r.val.w; }
    static int32_t readBool(const XLOPER12& r) { return r.val.xbool != 0 ? 1 : 0; }
    static int32_t readErr(const XLOPER12& r) { return r.val.err; }
    static void writeInt(XLOPER12& r, int32_t i) { r.val.w = i; }
    static void writeBool(XLOPER12& r, int32_t b) { r.val.xbool = b; }
    static void writeErr(XLOPER12& r, int32_t e) { r.val.err = e; }
    static Area readArea(const XLREF12& a) { return {a.rwFirst, a.rwLast, a.colFirst, a.colLast}; }
    static void writeArea(XLREF12& out, const Area& a) {
        out.rwFirst = a.firstRow;
        out.rwLast = a.lastRow;
        out.colFirst = a.firstColumn;
        out.colLast = a.lastColumn;
    }
};

template <typename Record>
std::optional<Value> readScalarOrRef(const Record& r, bool inArray) {
    using L = Layout<Record>;
    const auto kind = kindOf(r.xltype);
    if (!kind)
        return std::nullopt;
    switch (*kind) {
    case Kind::Num:
        return Value::number(r.val.num);
    case Kind::Str:
        if (r.val.str == nullptr)
            return std::nullopt;
        return Value::str(L::readText(r.val.str));
    case Kind::Bool:
        return Value::boolean(L::readBool(r) != 0);
    case Kind::Err:
        return Value::error(L::readErr(r));
    case Kind::Int:
        return Value::integer(L::readInt(r));
    case Kind::Missing:
        return Value::missing();
    case Kind::Nil:
        return Value::nil();
    case Kind::SRef:
        if (inArray || r.val.sref.count != 1)
            return std::nullopt;
        return Value::sref(L::readArea(r.val.sref.ref));
    case Kind::Ref: {
        const auto* m = r.val.mref.lpmref;
        if (inArray || m == nullptr || m->count == 0)
            return std::nullopt;
        std::vector<Area> areas;
        areas.reserve(m->count);
        for (uint16_t i = 0; i < m->count; ++i)
            areas.push_back(L::readArea(m->reftbl[i]));
        return Value::ref(std::move(areas), r.val.mref.idSheet);
    }
    case Kind::Multi:
        return std::nullopt;
    }
    return std::nullopt;
}

template <typename Record>
std::optional<Value> read(const Record* r) {
    if (r == nullptr)
        return std::nullopt;
    if (r->xltype != xltypeMulti)
        return readScalarOrRef(*r, false);
    const auto rows = static_cast<int64_t>(r->val.array.rows);
    const auto columns = static_cast<int64_t>(r->val.array.columns);
    if (r->val.array.lparray == nullptr || rows <= 0 || columns <= 0 ||
        static_cast<uint64_t>(rows * columns) > kMaxArrayCells)
        return std::nullopt;
    std::vector<Value> cells;
    cells.reserve(static_cast<std::size_t>(rows * columns));
    for (int64_t i = 0; i < rows * columns; ++i) {
        auto cell = readScalarOrRef(r->val.array.lparray[i], true);
        if (!cell)
            return std::nullopt;
        cells.push_back(std::move(*cell));
    }
    return Value::multi(static_cast<int32_t>(rows), static_cast<int32_t>(columns), std::move(cells));
}

bool fitsScalar(const Value& v, Generation g, bool inArray) {
    const bool four = g == Generation::Four;
    switch (v.kind) {
    case Kind::Str:
        return v.text.size() <= static_cast<std::size_t>(four ? kMaxText4 : kMaxText12);
    case Kind::Int:
    case Kind::Err:
        return !four || (v.code >= std::numeric_limits<int16_t>::min() &&
                         v.code <= std::numeric_limits<int16_t>::max());
    case Kind::Bool:
        return v.code == 0 || v.code == 1;
    case Kind::Ref:
    case Kind::SRef: {
        if (inArray || v.areas.empty() || v.areas.size() > 0xFFFF ||
            (v.kind == Kind::SRef && v.areas.size() != 1))
            return false;
        const int32_t maxRow = four ? kMaxRows4 - 1 : kMaxRows12 - 1;
        const int32_t maxColumn = four ? kMaxColumns4 - 1 : kMaxColumns12 - 1;
        for (const Area& a : v.areas)
            if (a.firstRow < 0 || a.lastRow < a.firstRow || a.lastRow > maxRow || a.firstColumn < 0 ||
                a.lastColumn < a.firstColumn || a.lastColumn > maxColumn)
                return false;
        return true;
    }
    case Kind::Multi:
        return false;
    default:
        return true;
    }
}

template <typename Record>
void writeScalar(const Value& v, Record& out, RecordStorage& storage) {
    using L = Layout<Record>;
    std::memset(static_cast<void*>(&out), 0, sizeof out);
    out.xltype = typeCode(v.kind);
    switch (v.kind) {
    case Kind::Num:
        out.val.num = v.num;
        break;
    case Kind::Str:
        out.val.str = L::writeText(v.text, storage);
        break;
    case Kind::Bool:
        L::writeBool(out, v.code);
        break;
    case Kind::Err:
        L::writeErr(out, v.code);
        break;
    case Kind::Int:
        L::writeInt(out, v.code);
        break;
    case Kind::SRef:
        out.val.sref.count = 1;
        L::writeArea(out.val.sref.ref, v.areas.front());
        break;
    case Kind::Ref: {
        using MRef = typename L::MRef;
        // The area list is a count followed by that many areas; MRef declares one.
        const std::size_t bytes = sizeof(MRef) + (v.areas.size() - 1) * sizeof(typename L::Ref);
        auto* m = static_cast<MRef*>(storage.allocate(bytes));
        m->count = static_cast<uint16_t>(v.areas.size());
        for (std::size_t i = 0; i < v.areas.size(); ++i)
            L::writeArea(m->reftbl[i], v.areas[i]);
        out.val.mref.lpmref = m;
        out.val.mref.idSheet = v.sheet;
        break;
    }
    default:
        break;
    }
}

template <typename Record>
void write(const Value& v, Record& out, RecordStorage& storage) {
    if (v.kind != Kind::Multi) {
        writeScalar(v, out, storage);
        return;
    }
    const std::size_t n = v.cells.size();
    auto* cells = static_cast<Record*>(storage.allocate(n * sizeof(Record)));
    for (std::size_t i = 0; i < n; ++i)
        new (&cells[i]) Record{};
    std::memset(static_cast<void*>(&out), 0, sizeof out);
    out.xltype = xltypeMulti;
    out.val.array.lparray = cells;
    using RowCount = decltype(out.val.array.rows);
    using ColumnCount = decltype(out.val.array.columns);
    out.val.array.rows = static_cast<RowCount>(v.rows);
    out.val.array.columns = static_cast<ColumnCount>(v.columns);
    for (std::size_t i = 0; i < n; ++i)
        writeScalar(v.cells[i], cells[i], storage);
}

} // namespace

std::optional<Value> readRecord(const XLOPER* record) {
    return read(record);
}

std::optional<Value> readRecord(const XLOPER12* record) {
    return read(record);
}

bool fitsRecord(const Value& value, Generation generation) {
    if (value.kind != Kind::Multi)
        return fitsScalar(value, generation, false);
    const bool four = generation == Generation::Four;
    if (value.rows <= 0 || value.columns <= 0 || value.rows > (four ? kMaxRows4 : kMaxRows12) ||
        value.columns > (four ? kMaxColumns4 : kMaxColumns12) ||
        value.cells.size() != static_cast<std::size_t>(value.rows) * static_cast<std::size_t>(value.columns))
        return false;
    for (const Value& cell : value.cells)
        if (!fitsScalar(cell, generation, true))
            return false;
    return true;
}

void writeRecord(const Value& value, XLOPER& out, RecordStorage& storage) {
    write(value, out, storage);
}

void writeRecord(const Value& value, XLOPER12& out, RecordStorage& storage) {
    write(value, out, storage);
}

} // namespace xlhost
