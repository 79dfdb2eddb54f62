#pragma once

// What helps a reader mend a formula line: the line with a caret under the faulty column, and the registered
// name a misspelt function name most likely meant.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xlhost {

// Two lines, each indented and ended by '\n': the formula line (cut to a window around the column when it
// is long) and a caret under the column (1-based byte position). Tabs are kept in the caret line so that it
// lines up however wide the terminal shows them; a UTF-8 character counts once.
std::string caretExcerpt(std::string_view line, std::size_t column);

// The candidate closest to the name, ignoring letter case, when it is close enough to be a likely slip: at
// most a third of the name's letters (and at least two) inserted, dropped, changed or swapped with a
// neighbour, or the name being a candidate without its prefix ("plusMonths" for "sched_plusMonths"). Of
// equally close candidates the one sharing the longest beginning with the name wins, then the first.
std::optional<std::string> closestName(std::string_view name, const std::vector<std::string>& candidates);

} // namespace xlhost
