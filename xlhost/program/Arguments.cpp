#include "xlhost/program/Arguments.h"

#include "xlhost/common/Text.h"
#include "xlhost/formula/Messages.h"

#include <cstring>
#include <variant>

namespace xlhost {
namespace {

const Value& firstCell(const Value& v) {
    return v.kind == Kind::Multi ? v.cells.front() : v;
}

// The B rule: a double, or the value the host answers instead.
std::variant<double, Value> numberArgument(const Value& v) {
    const Value& cell = firstCell(v);
    switch (cell.kind) {
    case Kind::Num:
        return cell.num;
    case Kind::Bool:
    case Kind::Int:
        return static_cast<double>(cell.code);
    case Kind::Missing:
    case Kind::Nil:
        return 0.0;
    case Kind::Str:
        if (const auto x = readNumber(cell.text))
            return *x;
        return Value::error(xlerrValue);
    case Kind::Err:
        return cell;
    default:
        return Value::error(xlerrValue);
    }
}

// The C and C% rule: the text, or the value the host answers instead.
std::variant<std::u16string, Value> textArgument(const Value& v, std::size_t maxLength) {
    const Value& cell = firstCell(v);
    std::u16string text;
    switch (cell.kind) {
    case Kind::Str:
        text = cell.text;
        break;
    case Kind::Num:
        if (auto t = numberText(cell.num))
            text = *t;
        else
            return Value::error(xlerrNum);
        break;
    case Kind::Int:
        text = *numberText(cell.code);
        break;
    case Kind::Bool:
        text = cell.code != 0 ? u"TRUE" : u"FALSE";
        break;
    case Kind::Missing:
    case Kind::Nil:
        break;
    case Kind::Err:
        return cell;
    default:
        return Value::error(xlerrValue);
    }
    if (text.size() > maxLength)
        return Value::error(xlerrValue);
    return text;
}

bool arrayTooLarge(const Value& v, Generation g) {
    if (v.kind != Kind::Multi)
        return false;
    const bool four = g == Generation::Four;
    return v.rows > (four ? kMaxRows4 : kMaxRows12) || v.columns > (four ? kMaxColumns4 : kMaxColumns12);
}

template <typename Record>
Record* recordArgument(const Value& v, ArgumentStorage& storage) {
    auto* record = static_cast<Record*>(storage.allocate(sizeof(Record)));
    std::memset(static_cast<void*>(record), 0, sizeof(Record));
    writeRecord(v, *record, storage);
    return record;
}

} // namespace

Value literalValue(const formula::Literal& literal) {
    using formula::LiteralKind;
    switch (literal.kind) {
    case LiteralKind::Number:
        return Value::number(literal.number);
    case LiteralKind::Text:
        return Value::str(utf8ToUtf16(literal.text));
    case LiteralKind::Boolean:
        return Value::boolean(literal.boolean);
    case LiteralKind::Error:
        return Value::error(literal.error);
    case LiteralKind::Omitted:
        return Value::missing();
    case LiteralKind::Empty:
        return Value::nil();
    case LiteralKind::Array: {
        std::vector<Value> cells;
        cells.reserve(literal.cells.size());
        for (const formula::Literal& cell : literal.cells)
            cells.push_back(literalValue(cell));
        return Value::multi(literal.rows, literal.columns, std::move(cells));
    }
    }
    return Value::missing();
}

void* ArgumentStorage::allocate(std::size_t bytes) {
    blocks_.push_back(std::make_unique<std::byte[]>(bytes == 0 ? 1 : bytes));
    return blocks_.back().get();
}

Passing passArguments(const std::vector<Value>& values, const std::vector<std::string>& letters,
                      ArgumentStorage& storage) {
    Passing p;
    for (std::size_t i = 0; i < letters.size() && i < values.size(); ++i) {
        const std::string& letter = letters[i];
        const Value& v = values[i];
        if (letter == "B") {
            auto x = numberArgument(v);
            if (auto* answer = std::get_if<Value>(&x)) {
                p.answer = std::move(*answer);
                return p;
            }
            p.arguments.push_back(MachineArgument::number(std::get<double>(x)));
        } else if (letter == "C" || letter == "C%") {
            const bool wide = letter == "C%";
            auto t = textArgument(v, static_cast<std::size_t>(wide ? kMaxText12 : kMaxText4));
            if (auto* answer = std::get_if<Value>(&t)) {
                p.answer = std::move(*answer);
                return p;
            }
            const std::u16string& text = std::get<std::u16string>(t);
            if (wide) {
                auto* units = static_cast<XCHAR*>(storage.allocate((text.size() + 1) * sizeof(XCHAR)));
                for (std::size_t k = 0; k < text.size(); ++k)
                    units[k] = static_cast<XCHAR>(text[k]);
                units[text.size()] = 0;
                p.arguments.push_back(MachineArgument::pointer(units));
            } else {
                const std::string bytes = toBytes(text);
                auto* chars = static_cast<char*>(storage.allocate(bytes.size() + 1));
                std::memcpy(chars, bytes.data(), bytes.size());
                chars[bytes.size()] = '\0';
                p.arguments.push_back(MachineArgument::pointer(chars));
            }
        } else if (letter == "P" || letter == "R" || letter == "Q" || letter == "U") {
            const Generation g = letter == "P" || letter == "R" ? Generation::Four : Generation::Twelve;
            if (arrayTooLarge(v, g)) {
                p.error = g == Generation::Four ? messages::ArrayTooLarge4 : messages::ArrayTooLarge12;
                return p;
            }
            // What is left that does not fit is a text longer than the generation's texts.
            if (!fitsRecord(v, g)) {
                p.answer = Value::error(xlerrValue);
                return p;
            }
            if (g == Generation::Four)
                p.arguments.push_back(MachineArgument::pointer(recordArgument<XLOPER>(v, storage)));
            else
                p.arguments.push_back(MachineArgument::pointer(recordArgument<XLOPER12>(v, storage)));
        } else {
            p.error = std::string(messages::UnsupportedType) + letter;
            return p;
        }
    }
    return p;
}

} // namespace xlhost
