#pragma once

// The frame every worksheet entry point shares: release the previous call's temporary memory, answer TRUE
// while the function wizard is open, run the body (conversions in argument order, the library call, the
// result value), and turn any failure into the cell's value. Nothing may escape into the host.

#include "src/XlfOper.h"

#include <utility>

namespace worksheet {

// The value a failure becomes, in the guard's order: a bridge exception gives no value (null), a standard
// exception, a string or a plain message text becomes a text, a CellMatrix an array, anything else #VALUE!.
// Must be called from inside a catch block.
xll::LPXLFOPER failureValue() noexcept;

// Releases the temporary memory of the previous call; false when the host cannot be reached at all.
bool beginCall() noexcept;

// True while the host's function wizard is open: every function then answers TRUE without converting
// anything, so the wizard never runs a calculation on half-typed arguments.
xll::LPXLFOPER wizardAnswer();

template <class Body>
xll::LPXLFOPER worksheetCall(Body&& body) noexcept {
    if (!beginCall())
        return nullptr;
    try {
        if (xll::LPXLFOPER answer = wizardAnswer())
            return answer;
        return std::forward<Body>(body)();
    } catch (...) {
        return failureValue();
    }
}

} // namespace worksheet
