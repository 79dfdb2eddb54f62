#pragma once

// The operations of XlfOperImpl written once over a host record type. Each generation supplies
// RecordTraits<Record> (its limits, texts, booleans and reference areas: XlfOperImpl4.h, XlfOperImpl12.h) and
// instantiates XlfRecordImpl<Record> in its own source file. Every read checks the kind first and stays
// within the record and the counts the record states.

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "src/Messages.h"
#include "src/XlfDiagnostics.h"
#include "src/XlfExcel.h"
#include "src/XlfException.h"
#include "src/XlfOperImpl.h"

namespace xll {

template <class Record>
struct RecordTraits; // specialised by each generation

template <class Record>
class XlfRecordImpl : public XlfOperImpl {
public:
    using Traits = RecordTraits<Record>;

    void release(XlfOper& oper) const override {
        Record* r = record(oper);
        if (r != nullptr && (r->xltype & xlbitHostOwned) != 0) {
            r->xltype &= static_cast<decltype(r->xltype)>(~xlbitHostOwned);
            freeHostValue(oper);
        }
    }

    void freeHostValue(XlfOper& oper) const override {
        Record* args[] = {record(oper)};
        if (args[0] != nullptr && Traits::call(xlFree, nullptr, 1, args) != xlretSuccess)
            XLL_REPORT(messages::FreeFailed);
    }

    void share(XlfOper& target, const XlfOper& source) const override { recordOf(target) = recordOf(source); }

    XlfOper element(const XlfOper& oper, int32_t row, int32_t column) const override {
        return XlfOper(static_cast<LPXLFOPER>(elementRecord(oper, row, column)));
    }

    LPXLFOPER handle(const XlfOper& oper) const override { return recordOf(oper); }

    bool isMissing(const XlfOper& oper) const override { return hasBit(oper, xltypeMissing); }
    bool isError(const XlfOper& oper) const override { return hasBit(oper, xltypeErr); }
    bool isRef(const XlfOper& oper) const override { return hasBit(oper, xltypeRef); }
    bool isSRef(const XlfOper& oper) const override { return hasBit(oper, xltypeSRef); }
    bool isMulti(const XlfOper& oper) const override { return hasBit(oper, xltypeMulti); }
    bool isNumber(const XlfOper& oper) const override { return hasBit(oper, xltypeNum); }
    bool isText(const XlfOper& oper) const override { return hasBit(oper, xltypeStr); }
    bool isNil(const XlfOper& oper) const override { return hasBit(oper, xltypeNil); }
    bool isBool(const XlfOper& oper) const override { return hasBit(oper, xltypeBool); }
    bool isInt(const XlfOper& oper) const override { return hasBit(oper, xltypeInt); }

    int32_t rows(const XlfOper& oper) const override {
        return static_cast<int32_t>(multi(oper).val.array.rows);
    }
    int32_t columns(const XlfOper& oper) const override {
        return static_cast<int32_t>(multi(oper).val.array.columns);
    }

    void* rawPointer(const XlfOper& oper) const override { return recordOf(oper); }

    void setMulti(XlfOper& oper, int32_t rows, int32_t columns) const override {
        Record* r = record(oper);
        if (r == nullptr)
            return;
        if (rows < 0 || columns < 0 || rows > Traits::kMaxArrayRows || columns > Traits::kMaxArrayColumns)
            throw std::runtime_error(messages::ArrayTooLarge);
        const std::size_t count = cellCount(rows, columns);
        Record* elements = newRecords(count);
        for (std::size_t i = 0; i < count; ++i)
            elements[i].xltype = xltypeNil;
        r->val.array.lparray = elements;
        r->val.array.rows = static_cast<decltype(r->val.array.rows)>(rows);
        r->val.array.columns = static_cast<decltype(r->val.array.columns)>(columns);
        r->xltype = xltypeMulti;
    }

    void setErrorOrInt(XlfOper& oper, int16_t value, bool asError) const override {
        if (asError)
            setError(oper, static_cast<uint16_t>(value));
        else
            setInt(oper, value);
    }

    void setRef(XlfOper& oper, const XlfCellRef& ref) const override {
        Record* r = record(oper);
        if (r == nullptr)
            return;
        if (ref.firstRow < 0 || ref.endRow <= ref.firstRow || ref.endRow > Traits::kGridRows ||
            ref.firstColumn < 0 || ref.endColumn <= ref.firstColumn || ref.endColumn > Traits::kGridColumns)
            throw std::runtime_error(messages::ReferenceOutsideGrid);
        auto* areas = static_cast<typename Traits::MRef*>(
            XlfExcel::instance().getMemory(sizeof(typename Traits::MRef)));
        areas->count = 1;
        Traits::writeArea(areas->reftbl[0], ref);
        r->val.mref.lpmref = areas;
        r->val.mref.idSheet = static_cast<IDSHEET>(static_cast<uint32_t>(ref.sheetId));
        r->xltype = xltypeRef;
    }

    void setCellMatrix(XlfOper& oper, const CellMatrix& cells) const override {
        if (record(oper) == nullptr)
            return;
        // A table of 255 or more columns keeps its first 255: the older hosts' limit, kept in both
        // generations.
        constexpr uint32_t kMaxCellMatrixColumns = 255;
        const uint32_t columns =
            cells.columns() < kMaxCellMatrixColumns ? cells.columns() : kMaxCellMatrixColumns;
        if (cells.rows() > static_cast<uint32_t>(Traits::kMaxArrayRows))
            throw std::runtime_error(messages::ArrayTooLarge);
        setMulti(oper, static_cast<int32_t>(cells.rows()), static_cast<int32_t>(columns));
        Record* elements = record(oper)->val.array.lparray;
        for (uint32_t i = 0; i < cells.rows(); ++i) {
            for (uint32_t j = 0; j < columns; ++j) {
                const MatrixCell& cell = cells(i, j);
                Record& e = elements[static_cast<std::size_t>(i) * columns + j];
                if (cell.isNumber()) {
                    e.val.num = cell.numericValue();
                    e.xltype = xltypeNum;
                } else if (cell.isString() || cell.isWString()) {
                    Traits::storeCellText(e, cell);
                } else if (cell.isBoolean()) {
                    e.val.xbool = cell.booleanValue() ? 1 : 0;
                    e.xltype = xltypeBool;
                } else if (cell.isError()) {
                    e.val.err = static_cast<decltype(e.val.err)>(static_cast<uint16_t>(cell.errorValue()));
                    e.xltype = xltypeErr;
                } else {
                    Traits::storeText(e, ""); // an empty cell reads as an empty text, not as nothing
                }
            }
        }
    }

    void setWideText(XlfOper& oper, const std::wstring& text) const override {
        if (Record* r = record(oper))
            Traits::storeWideText(*r, text);
    }

    void setText(XlfOper& oper, std::string_view text) const override {
        if (Record* r = record(oper))
            Traits::storeText(*r, text);
    }

    void setBool(XlfOper& oper, bool value) const override {
        if (Record* r = record(oper)) {
            r->val.xbool = value ? 1 : 0;
            r->xltype = xltypeBool;
        }
    }

    void setInt(XlfOper& oper, int16_t value) const override {
        if (Record* r = record(oper)) {
            r->val.w = value; // widened with its sign in the 12-generation record
            r->xltype = xltypeInt;
        }
    }

    void setNumber(XlfOper& oper, double value) const override {
        if (Record* r = record(oper)) {
            r->val.num = value;
            r->xltype = xltypeNum;
        }
    }

    void wrap(XlfOper& oper, LPXLFOPER pointer) const override { recordOf(oper) = pointer; }

    void setElement(XlfOper& oper, int32_t row, int32_t column, const XlfOper& value) const override {
        Record& e = *elementRecord(oper, row, column);
        const Record* v = record(value);
        const uint32_t type = v == nullptr ? 0 : baseType(*v);
        switch (type) {
        case xltypeNum:
            e.val.num = v->val.num;
            break;
        case xltypeStr:
            Traits::copyText(e, *v);
            break;
        case xltypeBool:
            e.val.xbool = v->val.xbool;
            break;
        case xltypeErr:
            e.val.err = v->val.err;
            break;
        case xltypeInt:
            e.val.w = v->val.w;
            break;
        default:
            throw XlfException(std::string(messages::SetElementPrefix) + kindName(type));
        }
        e.xltype = static_cast<decltype(e.xltype)>(type);
    }

    void setError(XlfOper& oper, uint16_t code) const override {
        if (Record* r = record(oper)) {
            r->val.err = static_cast<decltype(r->val.err)>(code);
            r->xltype = xltypeErr;
        }
    }

    int coerce(const XlfOper& oper, uint32_t type, XlfOper& result) const override {
        Record* value = record(oper);
        Record* target = record(result);
        if (value == nullptr || target == nullptr)
            return xlretInvXloper;
        Record* wanted = newRecords(1);
        wanted->val.w = static_cast<decltype(wanted->val.w)>(type);
        wanted->xltype = xltypeInt;
        Record* args[] = {value, wanted};
        return Traits::call(xlCoerce, target, 2, args);
    }

    int allocate(XlfOper& oper) const override {
        Record* r = newRecords(1);
        r->xltype = xltypeNil;
        recordOf(oper) = r;
        return xlretSuccess;
    }

    int toDoubleVector(const XlfOper& oper, std::vector<double>& out, VectorShape shape) const override {
        const Record* r = record(oper);
        if (r == nullptr)
            return xlretInvXloper;
        if (r->xltype == xltypeMissing) {
            out.clear();
            return xlretSuccess;
        }
        if ((r->xltype & xltypeNum) != 0) {
            out.assign(1, r->val.num);
            return xlretSuccess;
        }
        if ((r->xltype & xltypeMulti) != 0) {
            int32_t rows = 0;
            int32_t columns = 0;
            if (!arrayShape(*r, rows, columns))
                return xlretInvXloper;
            if (shape == Line && rows != 1 && columns != 1)
                return xlretFailed;
            std::vector<double> values(cellCount(rows, columns));
            for (int32_t i = 0; i < rows; ++i) {
                for (int32_t j = 0; j < columns; ++j) {
                    Record& e = r->val.array.lparray[static_cast<std::size_t>(i) * columns + j];
                    double& slot = values[vectorIndex(shape, i, j, rows, columns)];
                    if ((e.xltype & xltypeNum) != 0) {
                        slot = e.val.num;
                    } else if (const int code = toDouble(XlfOper(static_cast<LPXLFOPER>(&e)), slot)) {
                        return code;
                    }
                }
            }
            out = std::move(values);
            return xlretSuccess;
        }
        XlfCellRef ref;
        if (const int code = toCellRef(oper, ref))
            return code;
        const int32_t rows = ref.endRow - ref.firstRow;
        const int32_t columns = ref.endColumn - ref.firstColumn;
        if (shape == Line && rows != 1 && columns != 1)
            return xlretFailed;
        std::vector<double> values(cellCount(rows, columns));
        int code = xlretSuccess;
        forEachCell(ref, [&](int32_t i, int32_t j, const XlfOper& cell) {
            code = toDouble(cell, values[vectorIndex(shape, i, j, rows, columns)]);
            return code == xlretSuccess;
        });
        if (code == xlretSuccess)
            out = std::move(values);
        return code;
    }

    int toDouble(const XlfOper& oper, double& out) const override {
        return readOrCoerce(oper, xltypeNum, [&](const Record& r) {
            if ((r.xltype & xltypeInt) != 0)
                out = r.val.w;
            else if ((r.xltype & xltypeNum) != 0)
                out = r.val.num;
            else
                return false;
            return true;
        });
    }

    int toShort(const XlfOper& oper, int16_t& out) const override {
        return readOrCoerce(oper, xltypeNum, [&](const Record& r) {
            if ((r.xltype & xltypeNum) == 0)
                return false;
            // A value the 16-bit result cannot hold fails instead of wrapping round.
            const double whole = std::trunc(r.val.num);
            if (!(whole >= std::numeric_limits<int16_t>::min() &&
                  whole <= std::numeric_limits<int16_t>::max()))
                return false;
            out = static_cast<int16_t>(whole);
            return true;
        });
    }

    int toBool(const XlfOper& oper, bool& out) const override {
        return readOrCoerce(oper, xltypeBool, [&](const Record& r) {
            if ((r.xltype & xltypeBool) == 0)
                return false;
            out = r.val.xbool != 0;
            return true;
        });
    }

    int toText(const XlfOper& oper, char*& out) const override {
        return readOrCoerce(oper, xltypeStr, [&](const Record& r) {
            if ((r.xltype & xltypeStr) == 0)
                return false;
            const std::string text = Traits::narrowText(r);
            auto* copy = static_cast<char*>(XlfExcel::instance().getMemory(text.size() + 1));
            text.copy(copy, text.size());
            copy[text.size()] = '\0';
            out = copy;
            return true;
        });
    }

    int toWideText(const XlfOper& oper, std::wstring& out) const override {
        return readOrCoerce(oper, xltypeStr, [&](const Record& r) {
            if ((r.xltype & xltypeStr) == 0)
                return false;
            out = Traits::wideText(r);
            return true;
        });
    }

    int toCellMatrix(const XlfOper& oper, CellMatrix& out) const override {
        const Record* r = record(oper);
        if (r == nullptr)
            return xlretInvXloper;
        const uint32_t type = baseType(*r);
        if (type == xltypeMissing || type == xltypeNil) {
            out = CellMatrix(1, 1);
            return xlretSuccess;
        }
        if (type == xltypeNum || type == xltypeBool || type == xltypeErr || type == xltypeStr) {
            CellMatrix single(1, 1);
            single(0, 0) = scalarCell(*r);
            out = std::move(single);
            return xlretSuccess;
        }
        if (type == xltypeMulti) {
            int32_t rows = 0;
            int32_t columns = 0;
            if (!arrayShape(*r, rows, columns))
                return xlretInvXloper;
            CellMatrix cells(static_cast<uint32_t>(rows), static_cast<uint32_t>(columns));
            for (int32_t i = 0; i < rows; ++i) {
                for (int32_t j = 0; j < columns; ++j) {
                    const Record& e = r->val.array.lparray[static_cast<std::size_t>(i) * columns + j];
                    const uint32_t kind = baseType(e);
                    if (kind == xltypeMissing || kind == xltypeNil)
                        continue;
                    if (kind != xltypeNum && kind != xltypeStr && kind != xltypeBool && kind != xltypeErr)
                        throw messages::UnsupportedCell;
                    cells(static_cast<uint32_t>(i), static_cast<uint32_t>(j)) = scalarCell(e);
                }
            }
            out = std::move(cells);
            return xlretSuccess;
        }
        XlfCellRef ref;
        if (const int code = toCellRef(oper, ref))
            return code;
        CellMatrix cells(static_cast<uint32_t>(ref.endRow - ref.firstRow),
                         static_cast<uint32_t>(ref.endColumn - ref.firstColumn));
        constexpr uint32_t kValueKinds =
            xltypeNum | xltypeStr | xltypeBool | xltypeErr | xltypeMissing | xltypeNil;
        int code = xlretSuccess;
        forEachCell(ref, [&](int32_t i, int32_t j, const XlfOper& cell) {
            XlfOper value;
            code = coerce(cell, kValueKinds, value);
            if (code != xlretSuccess)
                return false;
            const uint32_t kind = baseType(*record(value));
            if (kind == xltypeMissing || kind == xltypeNil)
                return true;
            if (kind != xltypeNum && kind != xltypeStr && kind != xltypeBool && kind != xltypeErr) {
                code = xlretInvXloper;
                return false;
            }
            cells(static_cast<uint32_t>(i), static_cast<uint32_t>(j)) = scalarCell(*record(value));
            return true;
        });
        if (code == xlretSuccess)
            out = std::move(cells);
        return code;
    }

    int toNumberMatrix(const XlfOper& oper, NumberMatrix& out) const override {
        const Record* r = record(oper);
        if (r == nullptr)
            return xlretInvXloper;
        if (r->xltype == xltypeMissing || r->xltype == xltypeNil) {
            out = NumberMatrix();
            return xlretSuccess;
        }
        CellMatrix cells;
        if (const int code = toCellMatrix(oper, cells))
            return code;
        NumberMatrix numbers(static_cast<int32_t>(cells.rows()), static_cast<int32_t>(cells.columns()));
        for (uint32_t i = 0; i < cells.rows(); ++i) {
            for (uint32_t j = 0; j < cells.columns(); ++j) {
                if (!cells(i, j).isNumber())
                    return xlretFailed;
                numbers(static_cast<int32_t>(i), static_cast<int32_t>(j)) = cells(i, j).numericValue();
            }
        }
        out = std::move(numbers);
        return xlretSuccess;
    }

    int toCellRef(const XlfOper& oper, XlfCellRef& out) const override {
        return readOrCoerce(oper, xltypeRef, [&](const Record& r) {
            if ((r.xltype & xltypeRef) == 0 || r.val.mref.lpmref == nullptr || r.val.mref.lpmref->count == 0)
                return false;
            XlfCellRef ref = Traits::readArea(r.val.mref.lpmref->reftbl[0]);
            if (ref.firstRow < 0 || ref.endRow <= ref.firstRow || ref.endRow > Traits::kGridRows ||
                ref.firstColumn < 0 || ref.endColumn <= ref.firstColumn ||
                ref.endColumn > Traits::kGridColumns)
                return false;
            ref.sheetId = static_cast<int32_t>(static_cast<uint32_t>(r.val.mref.idSheet));
            out = ref;
            return true;
        });
    }

    int toErrorCode(const XlfOper& oper, uint16_t& out) const override {
        return readOrCoerce(oper, xltypeErr, [&](const Record& r) {
            if ((r.xltype & xltypeErr) == 0)
                return false;
            out = static_cast<uint16_t>(r.val.err);
            return true;
        });
    }

    uint32_t kind(const XlfOper& oper) const override {
        const Record* r = record(oper);
        return r == nullptr ? 0 : static_cast<uint32_t>(r->xltype);
    }

    std::wstring wideTextArgument(XlfTextArgument text) const override {
        return Traits::wideTextArgument(text);
    }

protected:
    static Record* record(const XlfOper& oper) { return static_cast<Record*>(recordOf(oper)); }

    // The number of cells of a block; a count the address space cannot hold fails as an allocation would.
    static std::size_t cellCount(int32_t rows, int32_t columns) {
        const uint64_t count = static_cast<uint64_t>(rows) * static_cast<uint64_t>(columns);
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(Record))
            throw std::bad_alloc();
        return static_cast<std::size_t>(count);
    }

    // Records from temporary memory; the byte count cannot overflow.
    static Record* newRecords(std::size_t count) {
        if (count > std::numeric_limits<std::size_t>::max() / sizeof(Record))
            throw std::bad_alloc();
        return static_cast<Record*>(XlfExcel::instance().getMemory(count * sizeof(Record)));
    }

private:
    static uint32_t baseType(const Record& r) { return static_cast<uint32_t>(r.xltype) & ~xlbitHostOwned; }

    static bool hasBit(const XlfOper& oper, uint32_t bit) {
        const Record* r = record(oper);
        return r != nullptr && (r->xltype & bit) != 0;
    }

    static const Record& multi(const XlfOper& oper) {
        const Record* r = record(oper);
        if (r == nullptr || (r->xltype & xltypeMulti) == 0)
            throw XlfException(std::string(messages::MultiOperationPrefix) +
                               kindName(r == nullptr ? 0 : static_cast<uint32_t>(r->xltype)));
        return *r;
    }

    static Record* elementRecord(const XlfOper& oper, int32_t row, int32_t column) {
        const Record& r = multi(oper);
        int32_t rows = 0;
        int32_t columns = 0;
        if (!arrayShape(r, rows, columns) || row < 0 || row >= rows || column < 0 || column >= columns)
            throw std::out_of_range(messages::ElementOutOfRange);
        return &r.val.array.lparray[static_cast<std::size_t>(row) * columns + column];
    }

    // The counts of an array, when they describe elements that exist.
    static bool arrayShape(const Record& r, int32_t& rows, int32_t& columns) {
        rows = static_cast<int32_t>(r.val.array.rows);
        columns = static_cast<int32_t>(r.val.array.columns);
        if (rows < 0 || columns < 0)
            return false;
        return r.val.array.lparray != nullptr || rows == 0 || columns == 0;
    }

    static std::size_t vectorIndex(VectorShape shape, int32_t i, int32_t j, int32_t rows, int32_t columns) {
        return shape == ByRows ? static_cast<std::size_t>(i) * columns + j
                               : static_cast<std::size_t>(j) * rows + i;
    }

    static MatrixCell scalarCell(const Record& r) {
        switch (baseType(r)) {
        case xltypeNum:
            return MatrixCell(r.val.num);
        case xltypeBool:
            return MatrixCell(Traits::boolValue(r));
        case xltypeErr:
            return MatrixCell(static_cast<uint32_t>(static_cast<uint16_t>(r.val.err)), true);
        case xltypeStr:
            return Traits::textCell(r);
        default:
            return MatrixCell();
        }
    }

    // Reads the value directly when read accepts it, else reads the host's coercion to type.
    template <class Read>
    int readOrCoerce(const XlfOper& oper, uint32_t type, Read read) const {
        const Record* r = record(oper);
        if (r == nullptr)
            return xlretInvXloper;
        if (read(*r))
            return xlretSuccess;
        XlfOper coerced;
        if (const int code = coerce(oper, type, coerced))
            return code;
        // The host answers a value it cannot convert with an error value.
        return read(*record(coerced)) ? xlretSuccess : xlretFailed;
    }

    // Visits every cell of a reference as a one-cell reference on the same sheet, row after row.
    template <class Visit>
    void forEachCell(const XlfCellRef& ref, Visit visit) const {
        XlfOper cell;
        setRef(cell,
               XlfCellRef{ref.firstRow, ref.firstRow + 1, ref.firstColumn, ref.firstColumn + 1, ref.sheetId});
        auto& area = record(cell)->val.mref.lpmref->reftbl[0];
        for (int32_t i = 0; i < ref.endRow - ref.firstRow; ++i) {
            for (int32_t j = 0; j < ref.endColumn - ref.firstColumn; ++j) {
                const int32_t row = ref.firstRow + i;
                const int32_t column = ref.firstColumn + j;
                Traits::writeArea(area, XlfCellRef{row, row + 1, column, column + 1, ref.sheetId});
                if (!visit(i, j, cell))
                    return;
            }
        }
    }
};

} // namespace xll
