#pragma once

// The 4-generation records: one-byte text counts of byte texts, 16-bit array counts, 16-bit booleans.

#include <string>
#include <string_view>

#include "src/XlfRecordImpl.h"

namespace xll {

template <>
struct RecordTraits<XLOPER> {
    using MRef = XLMREF;
    static constexpr int32_t kMaxArrayRows = kMaxRows4;       // the host's grid
    static constexpr int32_t kMaxArrayColumns = 0xFFFF;       // what the record's count holds
    static constexpr int32_t kGridRows = kMaxRows4 + 1;       // rows 0 to 65535
    static constexpr int32_t kGridColumns = kMaxColumns4 + 1; // columns 0 to 255
    static constexpr std::size_t kMaxTextBytes = 254;         // plus the counted terminating zero

    static int call(int xlfn, XLOPER* result, int count, XLOPER* const args[]);
    // The host's text with the count it states; a missing text reads as empty.
    static std::string narrowText(const XLOPER& r);
    static std::wstring wideText(const XLOPER& r);
    static MatrixCell textCell(const XLOPER& r);
    // Byte texts longer than 254 bytes keep their first 254, with a diagnostic line; the count includes the
    // terminating zero.
    static void storeText(XLOPER& r, std::string_view text);
    // Wide texts longer than 255 characters keep their first 255, with a diagnostic line; no terminator.
    static void storeWideText(XLOPER& r, const std::wstring& text);
    // Narrow and wide cells alike become byte texts.
    static void storeCellText(XLOPER& r, const MatrixCell& cell);
    static void copyText(XLOPER& target, const XLOPER& source);
    static bool boolValue(const XLOPER& r) { return r.val.xbool != 0; }
    static XlfCellRef readArea(const XLREF& area);
    static void writeArea(XLREF& area, const XlfCellRef& ref);
    static std::wstring wideTextArgument(XlfTextArgument text);
};

class XlfOperImpl4 final : public XlfRecordImpl<XLOPER> {
public:
    // The process's 4-generation implementation, made current.
    static const XlfOperImpl4& instance();

    XLOPER* asXloper4(const XlfOper& oper) const override;
    XLOPER12* asXloper12(const XlfOper& oper) const override;

private:
    XlfOperImpl4() = default;
};

} // namespace xll
