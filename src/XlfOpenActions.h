#pragma once

// Work of the layers above the bridge that must run each time the host opens the add-in, after the worksheet
// functions are registered. The bridge knows nothing of that work: a layer defines a static XlfOpenAction,
// and xlAutoOpen runs every action in the order the objects were made.

namespace xll {

class XlfOpenAction {
public:
    // The action must not throw; anything it throws is dropped, so that the opening goes on.
    explicit XlfOpenAction(void (*action)());
};

void runOpenActions() noexcept;

} // namespace xll
