#include "xlhost/formula/FormulaParser.h"

#include "xlhost/formula/HostDate.h"
#include "xlhost/formula/Messages.h"

#include "xlhost/common/Text.h"

#include <optional>

namespace xlhost::formula {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isNameChar(char c) {
    return isNameStart(c) || isDigit(c) || c == '.';
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equalsUpper(std::string_view word, std::string_view upperWord) {
    if (word.size() != upperWord.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (upper(word[i]) != upperWord[i])
            return false;
    return true;
}

// A failure carries its column out of the recursive descent.
struct Failure {
    std::size_t position;
    const char* message;
};

class Parser {
public:
    Parser(std::string_view line, const Limits& limits) : s_(line), limits_(limits) {}

    Call parse() {
        skipBlanks();
        if (peek() == '=')
            ++pos_;
        skipBlanks();
        Call call;
        call.nameColumn = pos_ + 1;
        if (!isNameStart(peek()))
            fail(messages::ExpectedFunctionName);
        while (isNameChar(peek()))
            call.name.push_back(s_[pos_++]);
        skipBlanks();
        expect('(', messages::ExpectedOpenParenthesis);
        skipBlanks();
        if (peek() == ')') {
            ++pos_;
        } else {
            for (;;) {
                if (call.arguments.size() == limits_.maxArguments)
                    fail(messages::TooManyArgumentsInLine);
                call.arguments.push_back(argument());
                skipBlanks();
                if (peek() == ',') {
                    ++pos_;
                    continue;
                }
                expect(')', messages::ExpectedCommaOrClose);
                break;
            }
        }
        skipBlanks();
        if (pos_ != s_.size())
            fail(messages::ExpectedEnd);
        return call;
    }

private:
    char peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }
    bool atEnd() const { return pos_ >= s_.size(); }

    void skipBlanks() {
        while (!atEnd() && isBlank(s_[pos_]))
            ++pos_;
    }

    [[noreturn]] void fail(const char* message) { failAt(pos_, message); }
    [[noreturn]] static void failAt(std::size_t position, const char* message) {
        throw Failure{position, message};
    }

    void expect(char c, const char* message) {
        if (atEnd() || s_[pos_] != c)
            fail(message);
        ++pos_;
    }

    Literal argument() {
        skipBlanks();
        const char c = peek();
        if (atEnd() || c == ',' || c == ')') {
            if (atEnd())
                fail(messages::ExpectedCommaOrClose);
            return Literal{}; // omitted
        }
        if (c == '{')
            return array();
        return constant();
    }

    // A constant that may stand alone or in an array cell.
    Literal constant() {
        const char c = peek();
        if (c == '"')
            return text();
        if (c == '#')
            return errorLiteral();
        if (c == '-' || c == '+' || c == '.' || isDigit(c))
            return number();
        if (isNameStart(c))
            return word();
        if (c == '{')
            fail(messages::NestedArray);
        fail(messages::ExpectedArgument);
    }

    Literal text() {
        const std::size_t start = pos_++;
        Literal l;
        l.kind = LiteralKind::Text;
        for (;;) {
            const std::size_t quote = s_.find('"', pos_);
            if (quote == std::string_view::npos)
                failAt(start, messages::UnterminatedText);
            l.text.append(s_.substr(pos_, quote - pos_));
            pos_ = quote + 1;
            if (peek() != '"')
                return l;
            l.text.push_back('"');
            ++pos_;
        }
    }

    Literal errorLiteral() {
        static constexpr struct {
            std::string_view text;
            int32_t code;
        } kErrors[] = {{"#NULL!", 0},  {"#DIV/0!", 7}, {"#VALUE!", 15}, {"#REF!", 23},
                       {"#NAME?", 29}, {"#NUM!", 36},  {"#N/A", 42}};
        for (const auto& e : kErrors) {
            if (equalsUpper(s_.substr(pos_, e.text.size()), e.text)) {
                pos_ += e.text.size();
                Literal l;
                l.kind = LiteralKind::Error;
                l.error = e.code;
                return l;
            }
        }
        fail(messages::UnknownError);
    }

    double numberValue() {
        const std::size_t start = pos_;
        if (peek() == '-' || peek() == '+')
            ++pos_;
        std::size_t digits = 0;
        while (isDigit(peek()))
            ++pos_, ++digits;
        if (peek() == '.') {
            ++pos_;
            while (isDigit(peek()))
                ++pos_, ++digits;
        }
        if (digits == 0)
            failAt(start, messages::BadNumber);
        if (peek() == 'e' || peek() == 'E') {
            ++pos_;
            if (peek() == '-' || peek() == '+')
                ++pos_;
            if (!isDigit(peek()))
                failAt(start, messages::BadNumber);
            while (isDigit(peek()))
                ++pos_;
        }
        if (isNameChar(peek()))
            failAt(start, messages::BadNumber);
        // Read without the C locale's help (an add-in may change it); too small reads as zero.
        const auto value = readNumber(fromBytes(s_.substr(start, pos_ - start)));
        if (!value)
            failAt(start, messages::NumberOutOfRange);
        return *value;
    }

    Literal number() {
        Literal l;
        l.kind = LiteralKind::Number;
        l.number = numberValue();
        return l;
    }

    Literal word() {
        const std::size_t start = pos_;
        while (isNameChar(peek()))
            ++pos_;
        const std::string_view w = s_.substr(start, pos_ - start);
        Literal l;
        if (equalsUpper(w, "TRUE") || equalsUpper(w, "FALSE")) {
            l.kind = LiteralKind::Boolean;
            l.boolean = equalsUpper(w, "TRUE");
            return l;
        }
        if (equalsUpper(w, "DATE"))
            return date(start);
        failAt(start, messages::UnknownWord);
    }

    Literal date(std::size_t start) {
        skipBlanks();
        if (peek() != '(')
            failAt(start, messages::DateArguments);
        ++pos_;
        double parts[3] = {};
        for (int i = 0; i < 3; ++i) {
            skipBlanks();
            if (!(peek() == '-' || peek() == '+' || peek() == '.' || isDigit(peek())))
                failAt(start, messages::DateArguments);
            parts[i] = numberValue();
            skipBlanks();
            if (peek() != (i < 2 ? ',' : ')'))
                failAt(start, messages::DateArguments);
            ++pos_;
        }
        Literal l;
        if (const auto serial = hostDate(parts[0], parts[1], parts[2])) {
            l.kind = LiteralKind::Number;
            l.number = *serial;
        } else {
            l.kind = LiteralKind::Error;
            l.error = 36; // #NUM!, as the spreadsheet answers
        }
        return l;
    }

    Literal array() {
        ++pos_; // '{'
        Literal a;
        a.kind = LiteralKind::Array;
        int32_t rows = 1;
        int32_t column = 0;
        int32_t columns = -1;
        for (;;) {
            skipBlanks();
            const char c = peek();
            Literal cell;
            cell.kind = LiteralKind::Empty;
            if (!atEnd() && c != ',' && c != ';' && c != '}')
                cell = constant();
            if (a.cells.size() >= limits_.maxCells)
                fail(messages::TooManyCells);
            a.cells.push_back(std::move(cell));
            ++column;
            if (column > limits_.maxColumns)
                fail(messages::TooManyColumns);
            skipBlanks();
            const char separator = peek();
            if (separator == ',') {
                ++pos_;
                continue;
            }
            if (separator != ';' && separator != '}')
                fail(messages::ExpectedCellSeparator);
            if (columns == -1)
                columns = column;
            else if (column != columns)
                fail(messages::RowLengthsDiffer);
            ++pos_;
            if (separator == '}')
                break;
            if (++rows > limits_.maxRows)
                fail(messages::TooManyRows);
            column = 0;
        }
        a.rows = rows;
        a.columns = columns;
        return a;
    }

    std::string_view s_;
    const Limits& limits_;
    std::size_t pos_ = 0;
};

} // namespace

std::variant<Call, ParseError> parseFormula(std::string_view line, const Limits& limits) {
    try {
        return Parser(line, limits).parse();
    } catch (const Failure& f) {
        return ParseError{f.position + 1, f.message};
    }
}

bool isSkippedLine(std::string_view line) {
    for (char c : line) {
        if (isBlank(c))
            continue;
        return c == '#';
    }
    return true;
}

} // namespace xlhost::formula
