#include "xlhost/program/Output.h"

#include "xlhost/common/Text.h"
#include "xlhost/formula/HostDate.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

namespace xlhost {
namespace {

std::string shortest(double x) {
    if (std::isnan(x))
        return "nan";
    if (std::isinf(x))
        return x > 0 ? "inf" : "-inf";
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, x);
    return std::string(buffer, ec == std::errc{} ? end : buffer);
}

void appendEscaped(std::string& out, unsigned unit) {
    if (unit == '"' || unit == '\\') {
        out.push_back('\\');
        out.push_back(static_cast<char>(unit));
    } else if (unit >= 0x20 && unit < 0x7F) {
        out.push_back(static_cast<char>(unit));
    } else {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\u%04x", unit);
        out += buffer;
    }
}

std::string jsonText(const std::u16string& text) {
    std::string out = "\"";
    for (char16_t unit : text)
        appendEscaped(out, unit);
    return out + "\"";
}

std::string jsonValue(const Value& v) {
    switch (v.kind) {
    case Kind::Num:
        if (!std::isfinite(v.num))
            return "{\"num\": \"" + shortest(v.num) + "\"}";
        return "{\"num\": " + shortest(v.num) + "}";
    case Kind::Str:
        return "{\"str\": " + jsonText(v.text) + "}";
    case Kind::Bool:
        return v.code != 0 ? "{\"bool\": true}" : "{\"bool\": false}";
    case Kind::Int:
        return "{\"int\": " + std::to_string(v.code) + "}";
    case Kind::Err:
        return "{\"err\": " + std::to_string(v.code) + "}";
    case Kind::Nil:
        return "{\"nil\": true}";
    case Kind::Missing:
        return "{\"missing\": true}";
    case Kind::Ref:
    case Kind::SRef: {
        std::string out = "{\"ref\": [";
        for (std::size_t i = 0; i < v.areas.size(); ++i) {
            const Area& a = v.areas[i];
            out += (i ? ", [" : "[") + std::to_string(a.firstRow) + ", " + std::to_string(a.lastRow) + ", " +
                   std::to_string(a.firstColumn) + ", " + std::to_string(a.lastColumn) + "]";
        }
        return out + "]}";
    }
    case Kind::Multi: {
        std::string out = "{\"multi\": [";
        for (int32_t r = 0; r < v.rows; ++r) {
            out += r ? ", [" : "[";
            for (int32_t c = 0; c < v.columns; ++c)
                out += (c ? ", " : "") + jsonValue(v.cell(r, c));
            out += "]";
        }
        return out + "]}";
    }
    }
    return "{}";
}

std::string dateText(double serial) {
    const auto ymd = hostCalendarDate(serial);
    if (!ymd)
        return {};
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", static_cast<int>(ymd->year),
                  static_cast<int>(ymd->month), static_cast<int>(ymd->day));
    return buffer;
}

std::string readableText(const std::u16string& text) {
    std::string out = "\"";
    for (char c : utf16ToUtf8(text)) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (b < 0x20 || b == 0x7F) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02x", b);
            out += buffer;
        } else {
            out.push_back(c);
        }
    }
    return out + "\"";
}

std::string readableScalar(const Value& v, bool date) {
    switch (v.kind) {
    case Kind::Num: {
        std::string out = shortest(v.num);
        if (date) {
            if (const std::string d = dateText(v.num); !d.empty())
                out += " (" + d + ")";
        }
        return out;
    }
    case Kind::Str:
        return readableText(v.text);
    case Kind::Bool:
        return v.code != 0 ? "TRUE" : "FALSE";
    case Kind::Int:
        return std::to_string(v.code);
    case Kind::Err: {
        const char* literal = errorLiteral(v.code);
        return literal != nullptr ? literal : "#ERROR(" + std::to_string(v.code) + ")";
    }
    case Kind::Nil:
        return "(empty)";
    case Kind::Missing:
        return "(missing)";
    case Kind::Ref:
    case Kind::SRef:
        return "(reference) " + jsonValue(v);
    case Kind::Multi:
        return "(array)";
    }
    return {};
}

} // namespace

std::string jsonResult(const Result& result) {
    return result ? jsonValue(*result) : "{\"null\": true}";
}

std::string jsonBytes(std::string_view bytes) {
    std::string out = "\"";
    for (char c : bytes)
        appendEscaped(out, static_cast<unsigned char>(c));
    return out + "\"";
}

std::string jsonUtf8(std::string_view text) {
    return jsonText(utf8ToUtf16(text));
}

std::string withFields(std::string_view object, std::string_view fields) {
    if (object.size() < 2 || object.front() != '{')
        return std::string(object);
    std::string out = "{";
    out.append(fields);
    if (object.substr(1) != "}")
        out.append(", ");
    out.append(object.substr(1));
    return out;
}

std::string jsonError(std::string_view message) {
    return "{\"error\": " + jsonBytes(message) + "}";
}

std::string tableResult(const Result& result, bool dates) {
    if (!result)
        return "(null)";
    const Value& v = *result;
    if (v.kind != Kind::Multi)
        return readableScalar(v, dates);
    // Dates sit in the first column; the date is its own aligned column.
    std::vector<std::vector<std::string>> cells(static_cast<std::size_t>(v.rows));
    std::vector<std::size_t> widths;
    for (int32_t r = 0; r < v.rows; ++r) {
        auto& row = cells[static_cast<std::size_t>(r)];
        for (int32_t c = 0; c < v.columns; ++c) {
            const Value& cell = v.cell(r, c);
            row.push_back(readableScalar(cell, false));
            if (dates && c == 0)
                row.push_back(cell.kind == Kind::Num ? dateText(cell.num) : std::string());
        }
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t k = 0; k < row.size(); ++k)
            widths[k] = std::max(widths[k], row[k].size());
    }
    std::string out = std::to_string(v.rows) + " x " + std::to_string(v.columns);
    for (const auto& row : cells) {
        out += "\n   ";
        for (std::size_t k = 0; k < row.size(); ++k)
            out.append(1 + widths[k] - row[k].size(), ' ').append(row[k]);
    }
    return out;
}

bool returnsDates(std::string_view functionName) {
    static constexpr std::string_view kDateFunctions[] = {"sched_plusMonths",
                                                          "sched_endOfMonth",
                                                          "sched_plusBusinessDays",
                                                          "sched_nextBusinessDay",
                                                          "sched_previousBusinessDay",
                                                          "sched_LastBusDayOfMonth",
                                                          "sched_AdjustToBusDay",
                                                          "sched_thirdWednesDayOfMonth",
                                                          "sched_Holidays",
                                                          "sched_Schedule",
                                                          "sched_df_curve"};
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::string_view name : kDateFunctions)
        if (name.size() == functionName.size() &&
            std::equal(name.begin(), name.end(), functionName.begin(),
                       [&](char a, char b) { return lower(a) == lower(b); }))
            return true;
    return false;
}

} // namespace xlhost
