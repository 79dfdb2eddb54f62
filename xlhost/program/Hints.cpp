#include "xlhost/program/Hints.h"

#include <algorithm>
#include <limits>

namespace xlhost {
namespace {

// Long lines (a million-character text) are shown as this many bytes on each side of the column.
constexpr std::size_t kContextBytes = 60;
constexpr std::string_view kIndent = "    ";
constexpr std::string_view kCut = "...";

bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string lowerCase(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), lower);
    return out;
}

std::size_t sharedPrefix(const std::string& a, const std::string& b) {
    std::size_t n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    return n;
}

// Edits (insert, delete, change, swap of neighbours) from a to b.
std::size_t editDistance(const std::string& a, const std::string& b) {
    const std::size_t n = a.size();
    const std::size_t m = b.size();
    std::vector<std::size_t> before(m + 1), previous(m + 1), current(m + 1);
    for (std::size_t j = 0; j <= m; ++j)
        previous[j] = j;
    for (std::size_t i = 1; i <= n; ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= m; ++j) {
            const std::size_t change = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                current[j] = std::min(current[j], before[j - 2] + 1);
        }
        before.swap(previous);
        previous.swap(current);
    }
    return previous[m];
}

} // namespace

std::string caretExcerpt(std::string_view line, std::size_t column) {
    std::size_t position = std::min(column == 0 ? 0 : column - 1, line.size());
    std::string shown;
    std::size_t start = 0;
    if (position > kContextBytes) {
        start = position - kContextBytes;
        while (start < position && isContinuationByte(line[start]))
            ++start;
        shown = kCut;
    }
    std::size_t stop = std::min(line.size(), position + kContextBytes);
    while (stop < line.size() && isContinuationByte(line[stop]))
        ++stop;
    std::string caret(shown.size(), ' ');
    for (std::size_t i = start; i < position; ++i) {
        if (line[i] == '\t')
            caret.push_back('\t');
        else if (!isContinuationByte(line[i]))
            caret.push_back(' ');
    }
    shown.append(line.substr(start, stop - start));
    if (stop < line.size())
        shown.append(kCut);
    std::string out;
    out.append(kIndent).append(shown).append("\n");
    out.append(kIndent).append(caret).append("^\n");
    return out;
}

std::optional<std::string> closestName(std::string_view name, const std::vector<std::string>& candidates) {
    const std::string wanted = lowerCase(name);
    if (wanted.empty())
        return std::nullopt;
    const std::size_t allowed = std::max<std::size_t>(2, wanted.size() / 3);
    std::size_t best = std::numeric_limits<std::size_t>::max();
    std::size_t bestShared = 0;
    std::optional<std::string> found;
    for (const std::string& candidate : candidates) {
        const std::string c = lowerCase(candidate);
        std::size_t distance = editDistance(wanted, c);
        // A prefix left out ("sched_") is one slip, however long the prefix.
        const std::size_t underscore = c.find('_');
        if (underscore != std::string::npos && c.compare(underscore + 1, std::string::npos, wanted) == 0)
            distance = std::min<std::size_t>(distance, 1);
        const std::size_t shared = sharedPrefix(wanted, c);
        if (distance <= allowed && (distance < best || (distance == best && shared > bestShared))) {
            best = distance;
            bestShared = shared;
            found = candidate;
        }
    }
    return found;
}

} // namespace xlhost
