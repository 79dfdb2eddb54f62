#include "xlhost/common/TypeText.h"

namespace xlhost {
namespace {

bool isLetter(char c) {
    return std::string_view("ABCDEFGHIJKLMNOPQRUX").find(c) != std::string_view::npos;
}

// The text letters that have a wide form written with '%'.
bool takesPercent(char c) {
    return std::string_view("CDFGKO").find(c) != std::string_view::npos;
}

} // namespace

std::optional<TypeText> parseTypeText(std::string_view text) {
    TypeText result;
    std::size_t i = 0;
    bool first = true;
    while (i < text.size() && isLetter(text[i])) {
        std::string group(1, text[i++]);
        if (i < text.size() && text[i] == '%') {
            if (!takesPercent(group[0]))
                return std::nullopt;
            group.push_back(text[i++]);
        }
        if (first)
            result.returnType = group;
        else
            result.arguments.push_back(group);
        first = false;
    }
    if (first)
        return std::nullopt;
    for (; i < text.size(); ++i) {
        bool* flag = text[i] == '!'   ? &result.isVolatile
                     : text[i] == '$' ? &result.threadSafe
                     : text[i] == '#' ? &result.macroEquivalent
                                      : nullptr;
        if (flag == nullptr || *flag)
            return std::nullopt;
        *flag = true;
    }
    return result;
}

} // namespace xlhost
