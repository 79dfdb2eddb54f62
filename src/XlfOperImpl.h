#pragma once

// The operations behind XlfOper, one implementation per host generation. Exactly one is current in a process:
// XlfExcel makes the matching one current when it detects the host's version.

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "src/XlfOper.h"
#include "src/api/XlCall.h"

namespace xll {

class XlfOperImpl {
public:
    // The current implementation; the first need creates XlfExcel, which chooses it.
    static const XlfOperImpl& instance();
    static const XlfOperImpl* current() { return current_.load(std::memory_order_acquire); }

    virtual void release(XlfOper& oper) const = 0;
    virtual void freeHostValue(XlfOper& oper) const = 0;
    virtual void share(XlfOper& target, const XlfOper& source) const = 0;
    virtual XlfOper element(const XlfOper& oper, int32_t row, int32_t column) const = 0;
    virtual XLOPER* asXloper4(const XlfOper& oper) const = 0;
    virtual XLOPER12* asXloper12(const XlfOper& oper) const = 0;
    virtual LPXLFOPER handle(const XlfOper& oper) const = 0;
    virtual bool isMissing(const XlfOper& oper) const = 0;
    virtual bool isError(const XlfOper& oper) const = 0;
    virtual bool isRef(const XlfOper& oper) const = 0;
    virtual bool isSRef(const XlfOper& oper) const = 0;
    virtual bool isMulti(const XlfOper& oper) const = 0;
    virtual bool isNumber(const XlfOper& oper) const = 0;
    virtual bool isText(const XlfOper& oper) const = 0;
    virtual bool isNil(const XlfOper& oper) const = 0;
    virtual bool isBool(const XlfOper& oper) const = 0;
    virtual bool isInt(const XlfOper& oper) const = 0;
    virtual int32_t rows(const XlfOper& oper) const = 0;
    virtual int32_t columns(const XlfOper& oper) const = 0;
    virtual void* rawPointer(const XlfOper& oper) const = 0;
    virtual void setMulti(XlfOper& oper, int32_t rows, int32_t columns) const = 0;
    virtual void setErrorOrInt(XlfOper& oper, int16_t value, bool asError) const = 0;
    virtual void setRef(XlfOper& oper, const XlfCellRef& ref) const = 0;
    virtual void setCellMatrix(XlfOper& oper, const CellMatrix& cells) const = 0;
    virtual void setWideText(XlfOper& oper, const std::wstring& text) const = 0;
    virtual void setText(XlfOper& oper, std::string_view text) const = 0;
    virtual void setBool(XlfOper& oper, bool value) const = 0;
    virtual void setInt(XlfOper& oper, int16_t value) const = 0;
    virtual void setNumber(XlfOper& oper, double value) const = 0;
    virtual void wrap(XlfOper& oper, LPXLFOPER record) const = 0;
    virtual void setElement(XlfOper& oper, int32_t row, int32_t column, const XlfOper& value) const = 0;
    virtual void setError(XlfOper& oper, uint16_t code) const = 0;
    virtual int coerce(const XlfOper& oper, uint32_t type, XlfOper& result) const = 0;
    virtual int allocate(XlfOper& oper) const = 0;
    virtual int toDoubleVector(const XlfOper& oper, std::vector<double>& out, VectorShape shape) const = 0;
    virtual int toDouble(const XlfOper& oper, double& out) const = 0;
    virtual int toShort(const XlfOper& oper, int16_t& out) const = 0;
    virtual int toBool(const XlfOper& oper, bool& out) const = 0;
    virtual int toText(const XlfOper& oper, char*& out) const = 0;
    virtual int toWideText(const XlfOper& oper, std::wstring& out) const = 0;
    virtual int toCellMatrix(const XlfOper& oper, CellMatrix& out) const = 0;
    virtual int toNumberMatrix(const XlfOper& oper, NumberMatrix& out) const = 0;
    virtual int toCellRef(const XlfOper& oper, XlfCellRef& out) const = 0;
    virtual int toErrorCode(const XlfOper& oper, uint16_t& out) const = 0;
    virtual uint32_t kind(const XlfOper& oper) const = 0;

    // Reads a zero-terminated "XLL_WSTR" argument of this generation.
    virtual std::wstring wideTextArgument(XlfTextArgument text) const = 0;

    // The name of a type word's kind ("xltypeNum", ...), the host-owned marker ignored.
    static const char* kindName(uint32_t type);

protected:
    XlfOperImpl() { makeCurrent(this); }
    ~XlfOperImpl() = default;
    XlfOperImpl(const XlfOperImpl&) = delete;
    XlfOperImpl& operator=(const XlfOperImpl&) = delete;

    static void makeCurrent(const XlfOperImpl* impl) { current_.store(impl, std::memory_order_release); }
    static void*& recordOf(XlfOper& oper) { return oper.record_; }
    static void* recordOf(const XlfOper& oper) { return oper.record_; }

private:
    friend class XlfExcel; // forgets the current implementation when the singleton goes
    // Chosen at open and only read by calls, on whatever thread the host calls them.
    static inline std::atomic<const XlfOperImpl*> current_{nullptr};
};

} // namespace xll
