#include "src/XlfArgDesc.h"

#include "src/Messages.h"
#include "src/XlfDiagnostics.h"

namespace xll {
namespace {

constexpr std::size_t kWizardNameWidth = 18;
constexpr std::string_view kHelpEnd = ". ";

} // namespace

XlfArgDesc::XlfArgDesc(std::string name, std::string help, std::string type)
    : name_(std::move(name)), help_(std::move(help)), type_(std::move(type)) {
    if (name_.size() > kWizardNameWidth)
        XLL_REPORT(messages::LongArgumentNamePrefix + name_ + messages::LongArgumentNameSuffix);
    if (help_.size() < kHelpEnd.size() ||
        help_.compare(help_.size() - kHelpEnd.size(), kHelpEnd.size(), kHelpEnd) != 0)
        help_ += kHelpEnd;
}

} // namespace xll
