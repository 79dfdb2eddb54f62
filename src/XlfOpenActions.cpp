#include "src/XlfOpenActions.h"

#include "platform/Platform.h"

#include <cstdint>
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

std::string environmentValue(const char* name) {
    std::vector<char> value(1024);
    std::uint32_t length = platform::getEnvironmentVariable(name, value.data(), 1024);
    if (length > value.size()) { // the answer is the size needed
        value.assign(length, '\0');
        length = platform::getEnvironmentVariable(name, value.data(), length);
    }
    return length == 0 || length >= value.size() ? std::string() : std::string(value.data(), length);
}

std::string addInFolder() {
    static const char marker = 0; // any address inside the add-in names its module
    const std::string module = platform::moduleFileName(platform::moduleOfAddress(&marker), 4096);
    const std::size_t slash = module.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : module.substr(0, slash + 1);
}

} // namespace xll
