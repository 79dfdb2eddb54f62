#include "src/XlfOpenActions.h"

#include <vector>

namespace xll {

namespace {

std::vector<void (*)()>& openActions() {
    static std::vector<void (*)()> actions;
    return actions;
}

} // namespace

XlfOpenAction::XlfOpenAction(void (*action)()) {
    openActions().push_back(action);
}

void runOpenActions() noexcept {
    for (void (*action)() : openActions()) {
        try {
            action();
        } catch (...) {
        }
    }
}

} // namespace xll
