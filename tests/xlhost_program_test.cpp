// The xlhost program's side of a call: how each argument is handed over by its type letter, and how results
// are printed.

#include "xlhost/common/Text.h"
#include "xlhost/formula/Messages.h"
#include "xlhost/program/Arguments.h"
#include "xlhost/program/Hints.h"
#include "xlhost/program/LineReader.h"
#include "xlhost/program/Output.h"

#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

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

TEST(XlhostOutput, EchoFieldsComeFirst) {
    EXPECT_EQ(withFields(R"({"num": 1})", R"("line": 3)"), R"({"line": 3, "num": 1})");
    EXPECT_EQ(withFields("{}", R"("line": 3)"), R"({"line": 3})");
    EXPECT_EQ(jsonUtf8("h\xC3\xA9\"\xE2\x82\xAC"), R"("h\u00e9\"\u20ac")");
}

namespace {

// Every line a reader gives, and how it ended.
struct ReadLines {
    std::vector<std::string> lines;
    std::vector<bool> tooLong;
    LineReader::Status last = LineReader::Status::End;
};

ReadLines readAll(LineReader& reader) {
    ReadLines r;
    std::string line;
    bool tooLong = false;
    while ((r.last = reader.next(line, tooLong)) == LineReader::Status::Line) {
        r.lines.push_back(line);
        r.tooLong.push_back(tooLong);
    }
    return r;
}

ReadLines readBytes(const std::string& bytes, std::size_t maxLineBytes = LineReader::kMaxLineBytes) {
    testing_support::ScratchFolder folder;
    std::FILE* stream = std::fopen(folder.write("lines", bytes).c_str(), "rb");
    LineReader reader(stream, maxLineBytes);
    ReadLines r = readAll(reader);
    std::fclose(stream);
    return r;
}

} // namespace

TEST(XlhostLineReader, LineEndsAndByteOrderMark) {
    struct Case {
        const char* note;
        std::string bytes;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"LF", "a\nb\n", {"a", "b"}},
        {"CRLF", "a\r\nb\r\n", {"a", "b"}},
        {"no end on the last line", "a\nb", {"a", "b"}},
        {"blank lines kept", "\n\r\n\n", {"", "", ""}},
        {"empty file", "", {}},
        {"mark skipped", "\xEF\xBB\xBFsched_DCF(1, 2, \"Act/360\")\r\n", {"sched_DCF(1, 2, \"Act/360\")"}},
        {"mark alone", "\xEF\xBB\xBF", {}},
        {"mark then a blank line", "\xEF\xBB\xBF\nx", {"", "x"}},
        {"only an opening mark is skipped", "a\n\xEF\xBB\xBF", {"a", "\xEF\xBB\xBF"}},
        {"part of a mark is text", "\xEF\xBBx\n", {"\xEF\xBBx"}},
        {"part of a mark, then the end", "\xEF", {"\xEF"}},
        {"part of a mark, then a line end", "\xEF\xBB\n", {"\xEF\xBB"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        const ReadLines r = readBytes(c.bytes);
        EXPECT_EQ(r.last, LineReader::Status::End);
        EXPECT_EQ(r.lines, c.lines);
    }
}

TEST(XlhostLineReader, LongLinesAreReadToTheirEndButNotKept) {
    const std::string line(200000, 'x'); // beyond one read buffer
    const ReadLines r = readBytes(line + "\nshort\n" + line, 100000);
    ASSERT_EQ(r.lines.size(), 3u);
    EXPECT_EQ(r.tooLong, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(r.lines[1], "short");
    EXPECT_EQ(r.lines[0].size(), 100000u);
}

TEST(XlhostLineReader, FilesThatCannotBeReadGiveTheSystemsReason) {
    testing_support::ScratchFolder folder;
    std::string reason;
    EXPECT_EQ(LineReader::open(folder.file("missing.xlf"), reason), nullptr);
    EXPECT_EQ(reason, std::strerror(ENOENT));
    EXPECT_EQ(LineReader::open(folder.file(""), reason), nullptr);
    EXPECT_EQ(reason, std::strerror(EISDIR));

    // A folder opened all the same fails on its first read, without throwing.
    std::FILE* stream = std::fopen(folder.file("").c_str(), "rb");
    ASSERT_NE(stream, nullptr);
    LineReader reader(stream);
    EXPECT_EQ(readAll(reader).last, LineReader::Status::Failed);
    EXPECT_EQ(reader.failure(), std::strerror(EISDIR));
    std::fclose(stream);

    if (geteuid() != 0) { // root reads every file
        const std::string locked = folder.write("locked.xlf", "sched_Tenor2Month(\"1Y\")\n");
        ASSERT_EQ(chmod(locked.c_str(), 0), 0);
        EXPECT_EQ(LineReader::open(locked, reason), nullptr);
        EXPECT_EQ(reason, std::strerror(EACCES));
    }
}

TEST(XlhostHints, CaretUnderTheColumn) {
    struct Case {
        const char* note;
        std::string line;
        std::size_t column;
        std::string excerpt;
    };
    const std::string longText(300, 'x');
    const std::vector<Case> cases = {
        {"first column", "foo(1)", 1, "    foo(1)\n    ^\n"},
        {"middle", "f(1 2)", 5, "    f(1 2)\n        ^\n"},
        {"at the end", "f(1", 4, "    f(1\n       ^\n"},
        {"tabs kept", "\tf(\t1 2)", 7, "    \tf(\t1 2)\n    \t  \t  ^\n"},
        {"a UTF-8 character counts once", "f(\"\xC3\xA9\" x)", 8, "    f(\"\xC3\xA9\" x)\n          ^\n"},
        {"long line cut around the column", "f(\"" + longText + "\" y)", 306,
         "    ..." + longText.substr(0, 58) + "\" y)\n    " + std::string(63, ' ') + "^\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        EXPECT_EQ(caretExcerpt(c.line, c.column), c.excerpt);
    }
}

TEST(XlhostHints, ClosestRegisteredName) {
    const std::vector<std::string> names = {
        "sched_plusMonths",          "sched_DCF",       "sched_Holidays", "sched_nextBusinessDay",
        "sched_previousBusinessDay", "sched_endOfMonth"};
    struct Case {
        std::string typed;
        std::optional<std::string> suggestion;
    };
    const std::vector<Case> cases = {
        {"sched_plusMonth", "sched_plusMonths"},
        {"SCHED_PLUSMONHTS", "sched_plusMonths"}, // letters swapped, any case
        {"sched_DFC", "sched_DCF"},
        {"sched_holiday", "sched_Holidays"},
        {"plusMonths", "sched_plusMonths"}, // the prefix left out
        {"sched_nextBusDay", "sched_nextBusinessDay"},
        {"sched_weekday", std::nullopt},                        // too far from anything
        {"sched_prevBusinessDay", "sched_previousBusinessDay"}, // as close to next: the longer beginning
        {"foo", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(closestName(c.typed, names), c.suggestion);
    }
    EXPECT_EQ(closestName("x", {}), std::nullopt);
}

// ---- the program, run as a user runs it ----

namespace {

using testing_support::ProgramRun;
using testing_support::ScratchFolder;
using testing_support::shellWord;

// XLHOST_UNDER_TEST runs another build of the program, such as an older one.
ProgramRun xlhostRun(const std::string& arguments, const std::string& input = {}) {
    const char* other = std::getenv("XLHOST_UNDER_TEST");
    return testing_support::runProgram(other != nullptr ? other : XLHOST_PROGRAM, arguments, input);
}

std::size_t lineCount(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

} // namespace

TEST(XlhostProgram, UnreadableFilesEndInOneLineAndExitCodeTwo) {
    ScratchFolder folder;
    struct Case {
        const char* note;
        std::string file;
        std::string reason;
    };
    std::vector<Case> cases = {
        {"missing", folder.file("missing.xlf"), std::strerror(ENOENT)},
        {"a folder", folder.file(""), std::strerror(EISDIR)},
    };
    if (geteuid() != 0) {
        const std::string locked = folder.write("locked.xlf", "sched_Tenor2Month(\"1Y\")\n");
        chmod(locked.c_str(), 0);
        cases.push_back({"no permission", locked, std::strerror(EACCES)});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        for (const char* verbose : {"", "--verbose "}) {
            SCOPED_TRACE(verbose);
            const ProgramRun run = xlhostRun(verbose + std::string("-f ") + shellWord(c.file));
            EXPECT_EQ(run.exitCode, 2);
            EXPECT_NE(run.err.find("xlhost: cannot read " + c.file + ": " + c.reason + "\n"),
                      std::string::npos)
                << run.err;
            EXPECT_EQ(run.err.find("terminate"), std::string::npos) << run.err;
            if (*verbose == '\0') {
                EXPECT_EQ(lineCount(run.err), 1u) << run.err;
            }
        }
    }
    // The other sources are still evaluated.
    const ProgramRun run =
        xlhostRun("-f " + shellWord(folder.file("missing.xlf")) + " 'sched_Tenor2Month(\"1Y\")'");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "sched_Tenor2Month(\"1Y\") => 12\n");
}

TEST(XlhostProgram, AddInDiagnosticsOnlyWhenVerbose) {
    const std::string formula = shellWord("sched_Tenor2Month(\"1Y\")");
    const ProgramRun quiet = xlhostRun(formula);
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(quiet.out, "sched_Tenor2Month(\"1Y\") => 12\n");

    const ProgramRun verbose = xlhostRun("--verbose " + formula);
    EXPECT_EQ(verbose.exitCode, 0);
    EXPECT_EQ(verbose.out, quiet.out);
    EXPECT_NE(verbose.err.find("PATH set successfully"), std::string::npos) << verbose.err;
    EXPECT_NE(verbose.err.find("Releasing ressources"), std::string::npos) << verbose.err;
}

TEST(XlhostProgram, OwnMessagesStayWholeWhileTheAddInHoldsTheErrorStream) {
    // The add-in is open and owns the error stream when the file is read.
    ScratchFolder folder;
    const std::string missing = folder.file("missing.xlf");
    const ProgramRun run = xlhostRun("--verbose -f " + shellWord(missing));
    EXPECT_NE(run.err.find("\nxlhost: cannot read " + missing + ": " + std::strerror(ENOENT) + "\n"),
              std::string::npos)
        << run.err;
}

TEST(XlhostProgram, StandardInputByteOrderMarkAndLineEnds) {
    ScratchFolder folder;
    const std::string file = folder.write("marked.xlf", "\xEF\xBB\xBFsched_Tenor2Month(\"1Y\")\r\n"
                                                        "# a comment\r\n"
                                                        "sched_Tenor2Month(\"6M\")\r\n");
    const ProgramRun marked = xlhostRun("-f " + shellWord(file));
    EXPECT_EQ(marked.exitCode, 0) << marked.out;
    EXPECT_EQ(marked.out, "sched_Tenor2Month(\"1Y\") => 12\nsched_Tenor2Month(\"6M\") => 6\n");

    for (const char* arguments : {"-f -", "-", ""}) {
        SCOPED_TRACE(arguments);
        const ProgramRun run = xlhostRun(arguments, "\xEF\xBB\xBFsched_Tenor2Month(\"2Y\")\n");
        EXPECT_EQ(run.exitCode, 0) << run.out;
        EXPECT_EQ(run.out, "sched_Tenor2Month(\"2Y\") => 24\n");
    }
}

TEST(XlhostProgram, MistakesShowTheLineAndTheLikelyName) {
    const ProgramRun parse = xlhostRun("-", "\n  sched_DCF(40805 40987, \"Act/360\")\n");
    EXPECT_EQ(parse.exitCode, 1);
    EXPECT_EQ(parse.out, "<stdin>:2:19: expected ',' or ')'\n"
                         "      sched_DCF(40805 40987, \"Act/360\")\n"
                         "                      ^\n");

    const ProgramRun name = xlhostRun(shellWord("sched_plusMonth(40805, 1)"));
    EXPECT_EQ(name.exitCode, 1);
    EXPECT_EQ(name.out, std::string("<argument>:1:1: ") + messages::UnknownFunction + "sched_plusMonth" +
                            messages::DidYouMean +
                            "sched_plusMonths?\n"
                            "    sched_plusMonth(40805, 1)\n"
                            "    ^\n");
    // JSON keeps one object per line.
    const ProgramRun json = xlhostRun("--json " + shellWord("sched_plusMonth(40805, 1)"));
    EXPECT_EQ(json.out, std::string(R"({"error": "line 1, column 1: )") + messages::UnknownFunction +
                            "sched_plusMonth" + messages::DidYouMean + "sched_plusMonths?\"}\n");
}

TEST(XlhostProgram, EchoNamesTheSourceLineOfEachResult) {
    const std::string input =
        "# spot\nsched_plusBusinessDays(40805, 2, \"TARGET\", )\n\nsched_Tenor2Month(\"1\")\n";
    const ProgramRun plain = xlhostRun("--json -", input);
    EXPECT_EQ(plain.out, "{\"num\": 40807}\n{\"str\": \"Invalid tenor !!!\\u0000\"}\n");

    const ProgramRun json = xlhostRun("--json --echo -", input);
    EXPECT_EQ(
        json.out,
        R"j({"source": "<stdin>", "line": 2, "formula": "sched_plusBusinessDays(40805, 2, \"TARGET\", )", "num": 40807})j"
        "\n"
        R"j({"source": "<stdin>", "line": 4, "formula": "sched_Tenor2Month(\"1\")", "str": "Invalid tenor !!!\u0000"})j"
        "\n");
    const ProgramRun readable = xlhostRun("--echo --version 12 -", input);
    EXPECT_EQ(readable.out,
              "<stdin>:2: sched_plusBusinessDays(40805, 2, \"TARGET\", ) => 40807 (2011-09-21)\n"
              "<stdin>:4: sched_Tenor2Month(\"1\") => \"Invalid tenor !!!\"\n");
    const ProgramRun error = xlhostRun("--json --echo -", "sched_DCF(1\n");
    EXPECT_EQ(
        error.out,
        R"j({"source": "<stdin>", "line": 1, "formula": "sched_DCF(1", "error": "line 1, column 12: expected ',' or ')'"})j"
        "\n");
}

TEST(XlhostProgram, HelpDescribesTheFormulaLanguageAndTheVersion) {
    const ProgramRun run = xlhostRun("--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("Tavrin Schedules " TAVRIN_VERSION "\n"), std::string::npos) << run.out;
    for (const char* topic :
         {"DATE(2011, 9, 19)", "{1, 2; 3, 4}", "omitted", "'#'", "--echo", "--verbose", "-f FILE"})
        EXPECT_NE(run.out.find(topic), std::string::npos) << topic;
}
