#pragma once

namespace tavrin {

// Failure texts of the date layer. The library throws these plain texts (not exception objects);
// the worksheet layer shows them in the calling cell unchanged.
namespace messages {
inline constexpr const char* InvalidDate = "Invalid date!!";
inline constexpr const char* InvalidTenor = "Invalid tenor !!!";
} // namespace messages

} // namespace tavrin
