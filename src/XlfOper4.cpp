#include "src/XlfOper4.h"

#include "src/XlfOperImpl4.h"

namespace xll {

XlfOper4::XlfOper4() : record_(static_cast<XLOPER*>(XlfExcel::instance().getMemory(sizeof(XLOPER)))) {
    record_->xltype = xltypeNil;
}

XlfOper4::XlfOper4(double value) : XlfOper4() {
    record_->val.num = value;
    record_->xltype = xltypeNum;
}

XlfOper4::XlfOper4(std::string_view text) : XlfOper4() {
    RecordTraits<XLOPER>::storeText(*record_, text);
}

XlfOper4::~XlfOper4() {
    if (record_ == nullptr || (record_->xltype & xlbitHostOwned) == 0)
        return;
    record_->xltype &= static_cast<uint16_t>(~xlbitHostOwned);
    XLOPER* args[] = {record_};
    if (XlfExcel::excel4v(xlFree, nullptr, 1, args) != xlretSuccess)
        XLL_REPORT(messages::FreeFailed);
}

double XlfOper4::toDouble(int* code) const {
    int result = xlretSuccess;
    double value = 0.0;
    if (record_ != nullptr && (record_->xltype & xltypeNum) != 0)
        value = record_->val.num;
    else if (record_ != nullptr && (record_->xltype & xltypeInt) != 0)
        value = record_->val.w;
    else
        result = xlretFailed;
    if (code != nullptr)
        *code = result;
    return value;
}

} // namespace xll
