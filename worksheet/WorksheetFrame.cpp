#include "worksheet/WorksheetFrame.h"

#include "matrix/CellMatrix.h"
#include "src/XlfExcel.h"
#include "src/XlfException.h"
#include "src/api/XlCall.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace worksheet {

bool beginCall() noexcept {
    // The previous call's result has been taken by the host by now. An add-in whose host library cannot be
    // loaded has nothing to build a value with, so that call answers no value rather than throwing into the
    // host.
    try {
        xll::XlfExcel::instance().freeMemory(false);
        return true;
    } catch (...) {
        return false;
    }
}

xll::LPXLFOPER wizardAnswer() {
    if (!xll::XlfExcel::instance().isCalledByFunctionWizard())
        return nullptr;
    return xll::XlfOper(true).handle();
}

xll::LPXLFOPER failureValue() noexcept {
    // Building the message value takes temporary memory and may itself fail; then no value is returned.
    try {
        try {
            throw;
        } catch (const xll::XlfException&) {
            return nullptr;
        } catch (const std::exception& e) {
            return xll::XlfOper(e.what()).handle();
        } catch (const std::string& text) {
            return xll::XlfOper(text).handle();
        } catch (const char* text) {
            return xll::XlfOper(text).handle();
        } catch (const xll::CellMatrix& cells) {
            return xll::XlfOper(cells).handle();
        } catch (...) {
            xll::XlfOper error;
            error.setError(xlerrValue);
            return error.handle();
        }
    } catch (...) {
        return nullptr;
    }
}

} // namespace worksheet
