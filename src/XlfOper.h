#pragma once

// XlfOper: a handle on one host cell value (an argument, a callback result, or a result built in the
// temporary memory of XlfExcel). It knows neither record layout: every operation goes to the process-wide
// XlfOperImpl of the host generation in use.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "matrix/CellMatrix.h"
#include "matrix/NumberMatrix.h"

namespace xll {

// A host value record of the process's generation, as passed to and returned from entry points.
using LPXLFOPER = void*;
// A zero-terminated text argument registered as "XLL_WSTR": bytes or UTF-16 units by generation.
using XlfTextArgument = const void*;

// The bridge's own marker in a type word: the host owns the value's memory; free it with xlFree once.
inline constexpr uint32_t xlbitHostOwned = 0x8000;

// A rectangle of cells: end row and end column are one past the last.
struct XlfCellRef {
    int32_t firstRow = 0;
    int32_t endRow = 0;
    int32_t firstColumn = 0;
    int32_t endColumn = 0;
    int32_t sheetId = 0;

    friend bool operator==(const XlfCellRef&, const XlfCellRef&) = default;
};

// How a block of cells becomes a vector of doubles.
enum VectorShape : int {
    Line = 0,      // a single row or a single column only
    ByRows = 1,    // row after row
    ByColumns = 2, // column after column (also any other value)
};

class XlfOper {
public:
    // A Nil value in temporary memory.
    XlfOper();
    // Adopts a record from the host unchanged.
    explicit XlfOper(LPXLFOPER record);
    explicit XlfOper(std::nullptr_t);
    explicit XlfOper(double value);
    explicit XlfOper(short value);
    explicit XlfOper(bool value);
    explicit XlfOper(const char* text);
    explicit XlfOper(const std::string& text);
    explicit XlfOper(const CellMatrix& cells);
    // Nil when it has no rows or no columns.
    explicit XlfOper(const NumberMatrix& numbers);
    // A one-column array; Nil when empty.
    explicit XlfOper(const std::vector<double>& column);

    // Copies share the record; a host-owned record is freed by whichever copy goes first.
    XlfOper(const XlfOper& other);
    XlfOper& operator=(const XlfOper& other);
    ~XlfOper();

    // The record to return to the host.
    LPXLFOPER handle() const;
    void* rawPointer() const { return record_; }

    // ---- kinds ----
    uint32_t kind() const;
    const char* kindName() const;
    bool isMissing() const;
    bool isError() const;
    bool isRef() const;
    bool isSRef() const;
    bool isMulti() const;
    bool isNumber() const;
    bool isText() const;
    bool isNil() const;
    bool isBool() const;
    bool isInt() const;

    // ---- arrays ----
    int32_t rows() const;
    int32_t columns() const;
    XlfOper element(int32_t row, int32_t column) const;
    void setElement(int32_t row, int32_t column, const XlfOper& value);

    // ---- setters (the scalar, text and reference setters leave a null handle untouched) ----
    XlfOper& setNumber(double value);
    XlfOper& setInt(short value);
    XlfOper& setBool(bool value);
    XlfOper& setError(uint16_t code);
    XlfOper& setErrorOrInt(short value, bool asError);
    XlfOper& setText(std::string_view text);
    XlfOper& setWideText(const std::wstring& text);
    XlfOper& setMulti(int32_t rows, int32_t columns);
    XlfOper& setRef(const XlfCellRef& ref);
    XlfOper& setCellMatrix(const CellMatrix& cells);

    // Asks the host to convert the value to a type code; result becomes host-owned when it holds host memory.
    int coerce(uint32_t type, XlfOper& result) const;

    // ---- conversions: with a code pointer they report the host code instead of throwing ----
    double toDouble(int* code = nullptr) const;
    double toDouble(const std::string& context, int* code = nullptr) const;
    std::vector<double> toDoubleVector(VectorShape shape = Line, int* code = nullptr) const;
    std::vector<double> toDoubleVector(const std::string& context, VectorShape shape = Line,
                                       int* code = nullptr) const;
    short toShort(int* code = nullptr) const;
    short toShort(const std::string& context, int* code = nullptr) const;
    bool toBool(int* code = nullptr) const;
    bool toBool(const std::string& context, int* code = nullptr) const;
    NumberMatrix toNumberMatrix(int* code = nullptr) const;
    NumberMatrix toNumberMatrix(const std::string& context, int* code = nullptr) const;
    CellMatrix toCellMatrix(int* code = nullptr) const;
    CellMatrix toCellMatrix(const std::string& context, int* code = nullptr) const;
    // Zero-terminated, in temporary memory.
    char* toText(int* code = nullptr) const;
    char* toText(const std::string& context, int* code = nullptr) const;
    std::wstring toWideText(int* code = nullptr) const;
    XlfCellRef toCellRef(int* code = nullptr) const;
    uint16_t toErrorCode(int* code = nullptr) const;

private:
    friend class XlfOperImpl;
    void* record_ = nullptr;
};

// Throws the exception that matches the first set bit of a host code, in the order uncalculated, abort,
// stack overflow, invalid record, failed, invalid count, invalid function; returns any other code.
int throwOnHostError(int code);
int throwOnHostError(int code, const std::string& context);

// An "XLL_WSTR" argument as a wide string; a null pointer reads as empty.
std::wstring wideTextArgument(XlfTextArgument text);

} // namespace xll
