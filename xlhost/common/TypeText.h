#pragma once

// The registration type text: the return letter, one letter (or letter group such as "C%") per argument,
// then the suffixes "!" (volatile), "$" (thread-safe) and "#" (macro-sheet equivalent), in any order.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace xlhost {

struct TypeText {
    std::string returnType;
    std::vector<std::string> arguments;
    bool isVolatile = false;
    bool threadSafe = false;
    bool macroEquivalent = false;
};

// Nullopt for an empty text, an unknown letter, a '%' after a letter that takes none, or anything after the
// suffixes.
std::optional<TypeText> parseTypeText(std::string_view text);

} // namespace xlhost
