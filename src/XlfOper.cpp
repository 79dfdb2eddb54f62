#include "src/XlfOper.h"

#include <stdexcept>

#include "src/Messages.h"
#include "src/XlfExcel.h"
#include "src/XlfException.h"
#include "src/XlfOperImpl.h"

namespace xll {
namespace {

const XlfOperImpl& impl() {
    return XlfOperImpl::instance();
}

// Throws for a non-zero code unless the caller asked for the code.
template <class T>
T reported(T value, int code, int* codeOut, const std::string* context) {
    if (codeOut != nullptr)
        *codeOut = code;
    else if (context != nullptr)
        throwOnHostError(code, *context);
    else
        throwOnHostError(code);
    return value;
}

// Runs one conversion of the implementation into a fresh value and reports its host code as the caller asked.
template <class T, class Convert>
T converted(Convert convert, int* code, const std::string* context) {
    T value{};
    const int result = convert(value);
    return reported(std::move(value), result, code, context);
}

} // namespace

const XlfOperImpl& XlfOperImpl::instance() {
    if (const XlfOperImpl* impl = current())
        return *impl;
    XlfExcel::instance(); // chooses and makes current the implementation of the host's generation
    return *current();
}

const char* XlfOperImpl::kindName(uint32_t type) {
    switch (type & ~xlbitHostOwned) {
    case xltypeNum:
        return "xltypeNum";
    case xltypeStr:
        return "xltypeStr";
    case xltypeBool:
        return "xltypeBool";
    case xltypeRef:
        return "xltypeRef";
    case xltypeErr:
        return "xltypeErr";
    case xltypeMulti:
        return "xltypeMulti";
    case xltypeMissing:
        return "xltypeMissing";
    case xltypeNil:
        return "xltypeNil";
    case xltypeSRef:
        return "xltypeSRef";
    case xltypeInt:
        return "xltypeInt";
    default:
        return "unknown";
    }
}

// ---- construction ----

XlfOper::XlfOper() {
    impl().allocate(*this);
}

XlfOper::XlfOper(LPXLFOPER record) {
    impl().wrap(*this, record);
}

XlfOper::XlfOper(std::nullptr_t) {}

XlfOper::XlfOper(double value) : XlfOper() {
    impl().setNumber(*this, value);
}

XlfOper::XlfOper(short value) : XlfOper() {
    impl().setInt(*this, value);
}

XlfOper::XlfOper(bool value) : XlfOper() {
    impl().setBool(*this, value);
}

XlfOper::XlfOper(const char* text) : XlfOper() {
    impl().setText(*this, text == nullptr ? std::string_view() : std::string_view(text));
}

XlfOper::XlfOper(const std::string& text) : XlfOper() {
    impl().setText(*this, text);
}

XlfOper::XlfOper(const CellMatrix& cells) : XlfOper() {
    impl().setCellMatrix(*this, cells);
}

XlfOper::XlfOper(const NumberMatrix& numbers) : XlfOper() {
    if (numbers.rows() <= 0 || numbers.columns() <= 0)
        return;
    CellMatrix cells(static_cast<uint32_t>(numbers.rows()), static_cast<uint32_t>(numbers.columns()));
    for (int32_t i = 0; i < numbers.rows(); ++i)
        for (int32_t j = 0; j < numbers.columns(); ++j)
            cells(static_cast<uint32_t>(i), static_cast<uint32_t>(j)) = MatrixCell(numbers(i, j));
    impl().setCellMatrix(*this, cells);
}

XlfOper::XlfOper(const std::vector<double>& column) : XlfOper() {
    if (!column.empty())
        impl().setCellMatrix(*this, CellMatrix(column));
}

XlfOper::XlfOper(const XlfOper& other) : record_(other.record_) {}

XlfOper& XlfOper::operator=(const XlfOper& other) {
    if (record_ != other.record_) {
        impl().release(*this);
        impl().share(*this, other);
    }
    return *this;
}

XlfOper::~XlfOper() {
    // Only a value from a host callback needs anything; such a value implies a current implementation.
    const XlfOperImpl* current = XlfOperImpl::current();
    if (record_ == nullptr || current == nullptr)
        return;
    try {
        current->release(*this);
    } catch (...) {
        // A destructor must not throw into the host; the failed free was reported where it happened.
    }
}

LPXLFOPER XlfOper::handle() const {
    return impl().handle(*this);
}

// ---- kinds ----

uint32_t XlfOper::kind() const {
    return impl().kind(*this);
}
const char* XlfOper::kindName() const {
    return XlfOperImpl::kindName(kind());
}
bool XlfOper::isMissing() const {
    return impl().isMissing(*this);
}
bool XlfOper::isError() const {
    return impl().isError(*this);
}
bool XlfOper::isRef() const {
    return impl().isRef(*this);
}
bool XlfOper::isSRef() const {
    return impl().isSRef(*this);
}
bool XlfOper::isMulti() const {
    return impl().isMulti(*this);
}
bool XlfOper::isNumber() const {
    return impl().isNumber(*this);
}
bool XlfOper::isText() const {
    return impl().isText(*this);
}
bool XlfOper::isNil() const {
    return impl().isNil(*this);
}
bool XlfOper::isBool() const {
    return impl().isBool(*this);
}
bool XlfOper::isInt() const {
    return impl().isInt(*this);
}

// ---- arrays ----

int32_t XlfOper::rows() const {
    return impl().rows(*this);
}
int32_t XlfOper::columns() const {
    return impl().columns(*this);
}
XlfOper XlfOper::element(int32_t row, int32_t column) const {
    return impl().element(*this, row, column);
}
void XlfOper::setElement(int32_t row, int32_t column, const XlfOper& value) {
    impl().setElement(*this, row, column, value);
}

// ---- setters ----

XlfOper& XlfOper::setNumber(double value) {
    impl().setNumber(*this, value);
    return *this;
}
XlfOper& XlfOper::setInt(short value) {
    impl().setInt(*this, value);
    return *this;
}
XlfOper& XlfOper::setBool(bool value) {
    impl().setBool(*this, value);
    return *this;
}
XlfOper& XlfOper::setError(uint16_t code) {
    impl().setError(*this, code);
    return *this;
}
XlfOper& XlfOper::setErrorOrInt(short value, bool asError) {
    impl().setErrorOrInt(*this, value, asError);
    return *this;
}
XlfOper& XlfOper::setText(std::string_view text) {
    impl().setText(*this, text);
    return *this;
}
XlfOper& XlfOper::setWideText(const std::wstring& text) {
    impl().setWideText(*this, text);
    return *this;
}
XlfOper& XlfOper::setMulti(int32_t rows, int32_t columns) {
    impl().setMulti(*this, rows, columns);
    return *this;
}
XlfOper& XlfOper::setRef(const XlfCellRef& ref) {
    impl().setRef(*this, ref);
    return *this;
}
XlfOper& XlfOper::setCellMatrix(const CellMatrix& cells) {
    impl().setCellMatrix(*this, cells);
    return *this;
}

int XlfOper::coerce(uint32_t type, XlfOper& result) const {
    return impl().coerce(*this, type, result);
}

// ---- conversions ----

double XlfOper::toDouble(int* code) const {
    return converted<double>([&](double& v) { return impl().toDouble(*this, v); }, code, nullptr);
}

double XlfOper::toDouble(const std::string& context, int* code) const {
    const std::string full = messages::ToDoublePrefix + context;
    return converted<double>([&](double& v) { return impl().toDouble(*this, v); }, code, &full);
}

std::vector<double> XlfOper::toDoubleVector(VectorShape shape, int* code) const {
    return converted<std::vector<double>>(
        [&](std::vector<double>& v) { return impl().toDoubleVector(*this, v, shape); }, code, nullptr);
}

std::vector<double> XlfOper::toDoubleVector(const std::string& context, VectorShape shape, int* code) const {
    const std::string full = context + messages::ToDoubleVectorSuffix;
    return converted<std::vector<double>>(
        [&](std::vector<double>& v) { return impl().toDoubleVector(*this, v, shape); }, code, &full);
}

short XlfOper::toShort(int* code) const {
    return converted<int16_t>([&](int16_t& v) { return impl().toShort(*this, v); }, code, nullptr);
}

short XlfOper::toShort(const std::string& context, int* code) const {
    const std::string full = context + messages::ToShortSuffix;
    return converted<int16_t>([&](int16_t& v) { return impl().toShort(*this, v); }, code, &full);
}

bool XlfOper::toBool(int* code) const {
    return converted<bool>([&](bool& v) { return impl().toBool(*this, v); }, code, nullptr);
}

bool XlfOper::toBool(const std::string& context, int* code) const {
    const std::string full = context + messages::ToBoolSuffix;
    return converted<bool>([&](bool& v) { return impl().toBool(*this, v); }, code, &full);
}

NumberMatrix XlfOper::toNumberMatrix(int* code) const {
    return toNumberMatrix(std::string(), code);
}

NumberMatrix XlfOper::toNumberMatrix(const std::string& context, int* code) const {
    NumberMatrix numbers;
    const int result = impl().toNumberMatrix(*this, numbers);
    const std::string full = context + messages::ToNumberMatrixSuffix;
    return reported(std::move(numbers), result, code, &full);
}

CellMatrix XlfOper::toCellMatrix(int* code) const {
    return toCellMatrix(std::string(), code);
}

CellMatrix XlfOper::toCellMatrix(const std::string& context, int* code) const {
    CellMatrix cells;
    const int result = impl().toCellMatrix(*this, cells);
    const std::string full = context + messages::ToCellMatrixSuffix;
    return reported(std::move(cells), result, code, &full);
}

char* XlfOper::toText(int* code) const {
    char* text = nullptr;
    const int result = impl().toText(*this, text);
    return reported(text, result, code, nullptr);
}

char* XlfOper::toText(const std::string& context, int* code) const {
    char* text = nullptr;
    const int result = impl().toText(*this, text);
    const std::string full = context + messages::ToTextSuffix;
    return reported(text, result, code, &full);
}

std::wstring XlfOper::toWideText(int* code) const {
    std::wstring text;
    const int result = impl().toWideText(*this, text);
    return reported(std::move(text), result, code, nullptr);
}

XlfCellRef XlfOper::toCellRef(int* code) const {
    XlfCellRef ref;
    const int result = impl().toCellRef(*this, ref);
    return reported(ref, result, code, nullptr);
}

uint16_t XlfOper::toErrorCode(int* code) const {
    uint16_t value = 0;
    const int result = impl().toErrorCode(*this, value);
    return reported(value, result, code, nullptr);
}

// ---- host codes ----

int throwOnHostError(int code) {
    if (code == xlretSuccess)
        return code;
    if (code & xlretUncalced)
        throw XlfExceptionUncalculated();
    if (code & xlretAbort)
        throw XlfExceptionAbort();
    if (code & xlretStackOvfl)
        throw XlfExceptionStackOverflow();
    if (code & xlretInvXloper)
        throw XlfException(messages::InvalidOper);
    if (code & xlretFailed)
        throw std::runtime_error(messages::CommandFailed);
    if (code & xlretInvCount)
        throw std::runtime_error(messages::InvalidArgumentCount);
    if (code & xlretInvXlfn)
        throw std::runtime_error(messages::InvalidFunctionNumber);
    return code;
}

int throwOnHostError(int code, const std::string& context) {
    if (code == xlretSuccess)
        return code;
    if (code & xlretUncalced)
        throw XlfExceptionUncalculated();
    if (code & xlretAbort)
        throw XlfExceptionAbort();
    if (code & xlretStackOvfl)
        throw XlfExceptionStackOverflow();
    if (code & xlretInvXloper)
        throw XlfException(messages::InvalidOperPrefix + context);
    if (code & xlretFailed)
        throw std::runtime_error(messages::CommandFailedPrefix + context);
    if (code & xlretInvCount)
        throw std::runtime_error(messages::InvalidArgumentCountPrefix + context);
    if (code & xlretInvXlfn)
        throw std::runtime_error(messages::InvalidFunctionNumberPrefix + context);
    return code;
}

std::wstring wideTextArgument(XlfTextArgument text) {
    return impl().wideTextArgument(text);
}

} // namespace xll
