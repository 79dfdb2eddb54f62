#pragma once

// Work of the layers above the bridge that must run each time the host opens the add-in, after the worksheet
// functions are registered. The bridge knows nothing of that work: a layer defines a static XlfOpenAction,
// and xlAutoOpen runs every action in the order the objects were made.

#include <string>

namespace xll {

class XlfOpenAction {
public:
    // The action must not throw; anything it throws is dropped, so that the opening goes on.
    explicit XlfOpenAction(void (*action)());
};

void runOpenActions() noexcept;

// What an open action may need to know of its surroundings, through the platform layer: an environment
// variable's value (empty when it is not set), and the folder of the add-in's own file with its trailing
// separator (empty when the file is not known).
std::string environmentValue(const char* name);
std::string addInFolder();

} // namespace xll
