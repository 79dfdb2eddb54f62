#include "src/XlfOperImpl4.h"

#include <cstring>

#include "src/XlfText.h"

namespace xll {
namespace {

char* newBytes(std::size_t count) {
    return static_cast<char*>(XlfExcel::instance().getMemory(count));
}

} // namespace

int RecordTraits<XLOPER>::call(int xlfn, XLOPER* result, int count, XLOPER* const args[]) {
    return XlfExcel::excel4v(xlfn, result, count, args);
}

std::string RecordTraits<XLOPER>::narrowText(const XLOPER& r) {
    if (r.val.str == nullptr)
        return {};
    const auto count = static_cast<unsigned char>(r.val.str[0]);
    return std::string(r.val.str + 1, count);
}

std::wstring RecordTraits<XLOPER>::wideText(const XLOPER& r) {
    return widenText(narrowText(r));
}

MatrixCell RecordTraits<XLOPER>::textCell(const XLOPER& r) {
    return MatrixCell(narrowText(r));
}

void RecordTraits<XLOPER>::storeText(XLOPER& r, std::string_view text) {
    std::size_t n = text.size();
    if (n > kMaxTextBytes) {
        XLL_REPORT(messages::TruncatedTo254);
        n = kMaxTextBytes;
    }
    char* bytes = newBytes(n + 2);
    bytes[0] = static_cast<char>(n + 1); // the host sees the terminating zero as the last character
    text.copy(bytes + 1, n);
    bytes[n + 1] = '\0';
    r.val.str = bytes;
    r.xltype = xltypeStr;
}

void RecordTraits<XLOPER>::storeWideText(XLOPER& r, const std::wstring& text) {
    constexpr std::size_t kMax = kMaxText4; // no terminator here, so one more than storeText keeps
    std::wstring_view kept = text;
    if (kept.size() > kMax) {
        XLL_REPORT(messages::TruncatedTo255);
        kept = kept.substr(0, kMax);
    }
    std::string narrow = xll::narrowText(kept);
    if (narrow.size() > kMax) // a multibyte locale may need more bytes than characters
        narrow.resize(kMax);
    char* bytes = newBytes(narrow.size() + 1);
    bytes[0] = static_cast<char>(narrow.size());
    narrow.copy(bytes + 1, narrow.size());
    r.val.str = bytes;
    r.xltype = xltypeStr;
}

void RecordTraits<XLOPER>::storeCellText(XLOPER& r, const MatrixCell& cell) {
    storeText(r, cell.stringValue());
}

void RecordTraits<XLOPER>::copyText(XLOPER& target, const XLOPER& source) {
    const std::size_t count = source.val.str == nullptr ? 0 : static_cast<unsigned char>(source.val.str[0]);
    char* bytes = newBytes(count + 1);
    bytes[0] = static_cast<char>(count);
    if (count > 0)
        std::memcpy(bytes + 1, source.val.str + 1, count);
    target.val.str = bytes;
}

// Rows are unsigned 16-bit numbers in the host's area records.
XlfCellRef RecordTraits<XLOPER>::readArea(const XLREF& area) {
    XlfCellRef ref;
    ref.firstRow = area.rwFirst;
    ref.endRow = static_cast<int32_t>(area.rwLast) + 1;
    ref.firstColumn = area.colFirst;
    ref.endColumn = static_cast<int32_t>(area.colLast) + 1;
    return ref;
}

void RecordTraits<XLOPER>::writeArea(XLREF& area, const XlfCellRef& ref) {
    area.rwFirst = static_cast<uint16_t>(ref.firstRow);
    area.rwLast = static_cast<uint16_t>(ref.endRow - 1);
    area.colFirst = static_cast<uint8_t>(ref.firstColumn);
    area.colLast = static_cast<uint8_t>(ref.endColumn - 1);
}

std::wstring RecordTraits<XLOPER>::wideTextArgument(XlfTextArgument text) {
    if (text == nullptr)
        return {};
    return widenText(static_cast<const char*>(text));
}

const XlfOperImpl4& XlfOperImpl4::instance() {
    static const XlfOperImpl4 impl;
    makeCurrent(&impl);
    return impl;
}

XLOPER* XlfOperImpl4::asXloper4(const XlfOper& oper) const {
    return record(oper);
}

XLOPER12* XlfOperImpl4::asXloper12(const XlfOper&) const {
    throw messages::FourToTwelve;
}

} // namespace xll
