#include "src/XlfOperImpl12.h"

#include <cstring>

#include "src/XlfText.h"

namespace xll {
namespace {

XCHAR* newUnits(std::size_t count) {
    return static_cast<XCHAR*>(XlfExcel::instance().getMemory(count * sizeof(XCHAR)));
}

// One UTF-16 unit per wide character, as on Windows.
void storeUnits(XLOPER12& r, std::wstring_view text) {
    if (text.size() > RecordTraits<XLOPER12>::kMaxTextUnits) {
        XLL_REPORT(messages::TruncatedTo32767);
        text = text.substr(0, RecordTraits<XLOPER12>::kMaxTextUnits);
    }
    XCHAR* units = newUnits(text.size() + 1);
    units[0] = static_cast<XCHAR>(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        units[i + 1] = static_cast<XCHAR>(text[i]);
    r.val.str = units;
    r.xltype = xltypeStr;
}

} // namespace

int RecordTraits<XLOPER12>::call(int xlfn, XLOPER12* result, int count, XLOPER12* const args[]) {
    return XlfExcel::excel12v(xlfn, result, count, args);
}

std::string RecordTraits<XLOPER12>::narrowText(const XLOPER12& r) {
    return xll::narrowText(wideText(r));
}

std::wstring RecordTraits<XLOPER12>::wideText(const XLOPER12& r) {
    if (r.val.str == nullptr)
        return {};
    const std::size_t count = static_cast<uint16_t>(r.val.str[0]);
    std::wstring text(count, L'\0');
    for (std::size_t i = 0; i < count; ++i)
        text[i] = static_cast<wchar_t>(r.val.str[i + 1]);
    return text;
}

MatrixCell RecordTraits<XLOPER12>::textCell(const XLOPER12& r) {
    return MatrixCell(wideText(r));
}

void RecordTraits<XLOPER12>::storeText(XLOPER12& r, std::string_view text) {
    storeUnits(r, widenText(text));
}

void RecordTraits<XLOPER12>::storeWideText(XLOPER12& r, const std::wstring& text) {
    storeUnits(r, text);
}

void RecordTraits<XLOPER12>::storeCellText(XLOPER12& r, const MatrixCell& cell) {
    if (cell.isWString())
        storeWideText(r, cell.wstringValue());
    else
        storeText(r, cell.stringValueStrict());
}

void RecordTraits<XLOPER12>::copyText(XLOPER12& target, const XLOPER12& source) {
    const std::size_t count = source.val.str == nullptr ? 0 : static_cast<uint16_t>(source.val.str[0]);
    XCHAR* units = newUnits(count + 1);
    units[0] = static_cast<XCHAR>(count);
    if (count > 0)
        std::memcpy(units + 1, source.val.str + 1, count * sizeof(XCHAR));
    target.val.str = units;
}

namespace {

// One past a last row or column, without overflow; anything beyond the grid fails the caller's check.
int32_t endOf(int32_t last) {
    return last < RecordTraits<XLOPER12>::kGridRows ? last + 1 : RecordTraits<XLOPER12>::kGridRows + 1;
}

} // namespace

XlfCellRef RecordTraits<XLOPER12>::readArea(const XLREF12& area) {
    XlfCellRef ref;
    ref.firstRow = area.rwFirst;
    ref.endRow = endOf(area.rwLast);
    ref.firstColumn = area.colFirst;
    ref.endColumn = endOf(area.colLast);
    return ref;
}

void RecordTraits<XLOPER12>::writeArea(XLREF12& area, const XlfCellRef& ref) {
    area.rwFirst = ref.firstRow;
    area.rwLast = ref.endRow - 1;
    area.colFirst = ref.firstColumn;
    area.colLast = ref.endColumn - 1;
}

std::wstring RecordTraits<XLOPER12>::wideTextArgument(XlfTextArgument text) {
    if (text == nullptr)
        return {};
    std::wstring result;
    for (const auto* unit = static_cast<const XCHAR*>(text); *unit != 0; ++unit)
        result.push_back(static_cast<wchar_t>(*unit));
    return result;
}

const XlfOperImpl12& XlfOperImpl12::instance() {
    static const XlfOperImpl12 impl;
    makeCurrent(&impl);
    return impl;
}

XLOPER* XlfOperImpl12::asXloper4(const XlfOper&) const {
    throw messages::TwelveToFour;
}

XLOPER12* XlfOperImpl12::asXloper12(const XlfOper& oper) const {
    return record(oper);
}

} // namespace xll
