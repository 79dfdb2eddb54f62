#pragma once

// The 12-generation records: 16-bit text counts of UTF-16 texts, 32-bit array counts, 32-bit booleans.

#include <string>
#include <string_view>

#include "src/XlfRecordImpl.h"

namespace xll {

template <>
struct RecordTraits<XLOPER12> {
    using MRef = XLMREF12;
    static constexpr int32_t kMaxArrayRows = kMaxRows12;
    static constexpr int32_t kMaxArrayColumns = kMaxColumns12;
    static constexpr int32_t kGridRows = kMaxRows12;
    static constexpr int32_t kGridColumns = kMaxColumns12;
    static constexpr std::size_t kMaxTextUnits = kMaxText12;

    static int call(int xlfn, XLOPER12* result, int count, XLOPER12* const args[]);
    static std::string narrowText(const XLOPER12& r);
    static std::wstring wideText(const XLOPER12& r);
    static MatrixCell textCell(const XLOPER12& r);
    // Texts longer than the host's 32767 characters keep their first 32767, with a diagnostic line, so that
    // the count never overflows.
    static void storeText(XLOPER12& r, std::string_view text);
    static void storeWideText(XLOPER12& r, const std::wstring& text);
    static void storeCellText(XLOPER12& r, const MatrixCell& cell);
    static void copyText(XLOPER12& target, const XLOPER12& source);
    static bool boolValue(const XLOPER12& r) { return r.val.xbool > 0; }
    static XlfCellRef readArea(const XLREF12& area);
    static void writeArea(XLREF12& area, const XlfCellRef& ref);
    static std::wstring wideTextArgument(XlfTextArgument text);
};

class XlfOperImpl12 final : public XlfRecordImpl<XLOPER12> {
public:
    // The process's 12-generation implementation, made current.
    static const XlfOperImpl12& instance();

    XLOPER* asXloper4(const XlfOper& oper) const override;
    XLOPER12* asXloper12(const XlfOper& oper) const override;

private:
    XlfOperImpl12() = default;
};

} // namespace xll
