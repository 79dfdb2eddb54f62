// The xlhost program's side of a call: how each argument is handed over by its type letter, and how results
// are printed.

#include "xlhost/common/Text.h"
#include "xlhost/formula/Messages.h"
#include "xlhost/program/Arguments.h"
#include "xlhost/program/Output.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace xlhost;

namespace {

std::u16string wide(const XCHAR* p) {
    std::u16string s;
    for (; *p != 0; ++p)
        s.push_back(static_cast<char16_t>(*p));
    return s;
}

Value row(std::vector<Value> cells) {
    const auto n = static_cast<int32_t>(cells.size());
    return Value::multi(1, n, std::move(cells));
}

} // namespace

TEST(XlhostArguments, NumberLetter) {
    struct Case {
        Value given;
        std::optional<double> passed; // else the host answers `answer`
        Value answer;
    };
    const std::vector<Case> cases = {
        {Value::number(2.5), 2.5, {}},
        {Value::boolean(true), 1.0, {}},
        {Value::missing(), 0.0, {}},
        {Value::str(u" 7.25 "), 7.25, {}},
        {Value::str(u"abc"), std::nullopt, Value::error(xlerrValue)},
        {Value::error(xlerrNA), std::nullopt, Value::error(xlerrNA)},
        {row({Value::number(4), Value::str(u"x")}), 4.0, {}},
        {row({Value::nil(), Value::number(1)}), 0.0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(kindName(c.given.kind));
        ArgumentStorage storage;
        const Passing p = passArguments({c.given}, {"B"}, storage);
        EXPECT_TRUE(p.error.empty());
        if (c.passed) {
            ASSERT_FALSE(p.answer);
            ASSERT_EQ(p.arguments.size(), 1u);
            EXPECT_TRUE(p.arguments[0].isDouble);
            EXPECT_EQ(p.arguments[0].real, *c.passed);
        } else {
            EXPECT_EQ(p.answer, c.answer);
        }
    }
}

TEST(XlhostArguments, TextLetters) {
    struct Case {
        Value given;
        std::string letter;
        std::optional<std::u16string> passed;
    };
    const std::vector<Case> cases = {
        {Value::str(u"abc"), "C", u"abc"},
        {Value::str(u"h\u00e9\u20ac"), "C", u"h\u00e9?"}, // single bytes: no euro sign
        {Value::str(u"h\u00e9\u20ac"), "C%", u"h\u00e9\u20ac"},
        {Value::number(0.1), "C", u"0.1"},
        {Value::number(-1e-7), "C%", u"-1E-07"},
        {Value::boolean(false), "C", u"FALSE"},
        {Value::missing(), "C%", u""},
        {row({Value::str(u"first"), Value::number(2)}), "C", u"first"},
        {Value::str(std::u16string(255, u'x')), "C", std::u16string(255, u'x')},
        {Value::str(std::u16string(256, u'x')), "C", std::nullopt},
        {Value::str(std::u16string(32767, u'x')), "C%", std::u16string(32767, u'x')},
        {Value::str(std::u16string(32768, u'x')), "C%", std::nullopt},
        {Value::str(std::u16string(1000000, u'x')), "C", std::nullopt},
        {Value::error(xlerrDiv0), "C%", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.letter + " " + std::to_string(c.given.text.size()) + " " + kindName(c.given.kind));
        ArgumentStorage storage;
        const Passing p = passArguments({c.given}, {c.letter}, storage);
        if (!c.passed) {
            ASSERT_TRUE(p.answer);
            EXPECT_EQ(p.answer->kind, Kind::Err);
            continue;
        }
        ASSERT_FALSE(p.answer);
        ASSERT_EQ(p.arguments.size(), 1u);
        const void* pointer = reinterpret_cast<const void*>(p.arguments[0].word);
        if (c.letter == "C")
            EXPECT_EQ(fromBytes(static_cast<const char*>(pointer)), *c.passed);
        else
            EXPECT_EQ(wide(static_cast<const XCHAR*>(pointer)), *c.passed);
    }
}

TEST(XlhostArguments, ValueLettersAndTheFirstAnswer) {
    const Value array =
        Value::multi(2, 2, {Value::number(1), Value::nil(), Value::error(xlerrNA), Value::str(u"x")});
    ArgumentStorage storage;
    const Passing p =
        passArguments({array, Value::missing(), Value::error(xlerrRef)}, {"P", "Q", "Q"}, storage);
    ASSERT_FALSE(p.answer) << "errors are passed on to value letters";
    ASSERT_EQ(p.arguments.size(), 3u);
    EXPECT_EQ(readRecord(reinterpret_cast<const XLOPER*>(p.arguments[0].word)), array);
    EXPECT_EQ(readRecord(reinterpret_cast<const XLOPER12*>(p.arguments[1].word)), Value::missing());
    EXPECT_EQ(readRecord(reinterpret_cast<const XLOPER12*>(p.arguments[2].word)), Value::error(xlerrRef));

    // The first argument the host cannot hand over decides; later ones are not looked at.
    const Passing first = passArguments({Value::str(u"x"), Value::error(xlerrNA)}, {"B", "B"}, storage);
    EXPECT_EQ(first.answer, Value::error(xlerrValue));

    const Value wide = Value::multi(1, 300, std::vector<Value>(300, Value::number(1)));
    EXPECT_EQ(passArguments({wide}, {"P"}, storage).error, messages::ArrayTooLarge4);
    EXPECT_EQ(passArguments({wide}, {"Q"}, storage).arguments.size(), 1u);
    EXPECT_EQ(passArguments({Value::str(std::u16string(256, u'x'))}, {"P"}, storage).answer,
              Value::error(xlerrValue));
    EXPECT_EQ(passArguments({Value::number(1)}, {"J"}, storage).error,
              std::string(messages::UnsupportedType) + "J");
}

TEST(XlhostOutput, JsonByKind) {
    struct Case {
        Result result;
        std::string json;
    };
    const std::vector<Case> cases = {
        {Value::number(1.5), R"({"num": 1.5})"},
        {Value::number(0.1 + 0.2), R"({"num": 0.30000000000000004})"},
        {Value::number(1e300), R"({"num": 1e+300})"},
        {Value::number(NAN), R"({"num": "nan"})"},
        {Value::number(-INFINITY), R"({"num": "-inf"})"},
        {Value::str(u"a\"b\\c\n"), R"({"str": "a\"b\\c\u000a"})"},
        {Value::str(u"x\u00e9\U0001F600"), R"({"str": "x\u00e9\ud83d\ude00"})"},
        {Value::str(std::u16string(u"z\0", 2)), R"({"str": "z\u0000"})"},
        {Value::boolean(true), R"({"bool": true})"},
        {Value::integer(-6), R"({"int": -6})"},
        {Value::error(15), R"({"err": 15})"},
        {Value::nil(), R"({"nil": true})"},
        {Value::missing(), R"({"missing": true})"},
        {Value::multi(2, 1, {Value::number(1), Value::str(u"a")}),
         R"({"multi": [[{"num": 1}], [{"str": "a"}]]})"},
        {std::nullopt, R"({"null": true})"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(jsonResult(c.result), c.json);
    }
    EXPECT_EQ(jsonError("line 1, column 2: bad \"x\" \xC3\xA9"),
              R"({"error": "line 1, column 2: bad \"x\" \u00c3\u00a9"})");
}

TEST(XlhostOutput, ReadableTableWithDates) {
    EXPECT_EQ(tableResult(Value::number(45351), true), "45351 (2024-02-29)");
    EXPECT_EQ(tableResult(Value::number(60), true), "60 (1900-02-29)");
    EXPECT_EQ(tableResult(Value::number(-1), true), "-1");
    EXPECT_EQ(tableResult(Value::number(45351), false), "45351");
    EXPECT_EQ(tableResult(Value::error(42), true), "#N/A");
    EXPECT_EQ(tableResult(Value::str(u"Invalid date!!"), true), "\"Invalid date!!\"");
    EXPECT_EQ(tableResult(std::nullopt, true), "(null)");
    const Value curve = Value::multi(2, 3,
                                     {Value::number(45351), Value::number(1), Value::number(0),
                                      Value::number(45716), Value::number(0.96), Value::number(0.0407)});
    EXPECT_EQ(tableResult(curve, true), "2 x 3\n"
                                        "    45351 2024-02-29    1      0\n"
                                        "    45716 2025-02-28 0.96 0.0407");
    EXPECT_TRUE(returnsDates("SCHED_df_curve"));
    EXPECT_FALSE(returnsDates("sched_DCF"));
}
