// Every example of README.md, run through the xlhost program in both host generations and compared with
// what the README shows: the value, and the calendar date beside a date.

#include "xlhost/formula/HostDate.h"
#include "xlhost/program/Output.h"

#include "ProgramRun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::string_view kArrow = "\xE2\x86\x92"; // →
constexpr std::string_view kMinus = "\xE2\x88\x92"; // −, as prose writes a negative number
// Rates and curves go through exp, log and pow: the last bits may differ between math libraries.
constexpr double kTolerance = 1e-12;

struct ShownDate {
    double serial;
    std::string text; // "29 Feb 2012"
};

struct Example {
    std::size_t readmeLine = 0;
    std::string formula;
    // The expected result as xlhost's JSON prints it, with "<text-end>" where the 4-generation interface
    // adds its counted zero.
    std::string json;
    std::vector<ShownDate> dates;
    std::string unreadable; // what follows the arrow, when it is not a value this test knows
};

std::string readFile(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Reads the README's value forms after the arrow; pos moves past what was read.
class ValueReader {
public:
    ValueReader(const std::string& text, std::size_t pos) : s_(text), pos_(pos) {}

    void skipSpace(bool newlines = true) {
        while (pos_ < s_.size() && (s_[pos_] == ' ' || (newlines && s_[pos_] == '\n')))
            ++pos_;
    }
    bool startsWith(std::string_view word) const { return s_.compare(pos_, word.size(), word) == 0; }
    bool take(std::string_view word) {
        if (!startsWith(word))
            return false;
        pos_ += word.size();
        return true;
    }
    char peek() const { return pos_ < s_.size() ? s_[pos_] : '\0'; }

    // A number as written, "-" for the prose minus; empty when there is none.
    std::string number() {
        std::string out;
        if (take(kMinus) || take("-"))
            out = "-";
        const std::size_t start = pos_;
        while (pos_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '.' ||
                                    s_[pos_] == 'e' || s_[pos_] == 'E' ||
                                    ((s_[pos_] == '-' || s_[pos_] == '+') && pos_ > start &&
                                     (s_[pos_ - 1] == 'e' || s_[pos_ - 1] == 'E'))))
            ++pos_;
        while (pos_ > start && s_[pos_ - 1] == '.') // a full stop ends the sentence
            --pos_;
        if (pos_ == start)
            return {};
        return out + s_.substr(start, pos_ - start);
    }

    // " (29 Feb 2012...)" after a number: the date it shows, if the parenthesis opens with one.
    std::string shownDate() {
        if (!startsWith(" ("))
            return {};
        static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        std::size_t p = pos_ + 2;
        std::size_t digits = 0;
        while (p + digits < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p + digits])))
            ++digits;
        if (digits == 0 || digits > 2 || s_.compare(p + digits, 1, " ") != 0)
            return {};
        for (const char* month : kMonths) {
            const std::size_t m = p + digits + 1;
            if (s_.compare(m, 3, month) == 0 && s_.compare(m + 3, 1, " ") == 0) {
                const std::size_t y = m + 4;
                std::size_t yearDigits = 0;
                while (y + yearDigits < s_.size() &&
                       std::isdigit(static_cast<unsigned char>(s_[y + yearDigits])))
                    ++yearDigits;
                if (yearDigits == 4)
                    return s_.substr(p, y + 4 - p);
            }
        }
        return {};
    }

    std::size_t position() const { return pos_; }
    std::string rest() const { return s_.substr(pos_, std::min<std::size_t>(60, s_.size() - pos_)); }
    std::string line() {
        const std::size_t end = s_.find('\n', pos_);
        std::string out = s_.substr(pos_, end == std::string::npos ? std::string::npos : end - pos_);
        pos_ = end == std::string::npos ? s_.size() : end + 1;
        return out;
    }

private:
    const std::string& s_;
    std::size_t pos_;
};

std::string numberCell(const std::string& number) {
    return "{\"num\": " + number + "}";
}

std::string multi(const std::vector<std::vector<std::string>>& rows) {
    std::string out = "{\"multi\": [";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        out += r ? ", [" : "[";
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            out += (c ? ", " : "") + rows[r][c];
        out += "]";
    }
    return out + "]}";
}

// Reads what follows the arrow into the example.
void readExpected(ValueReader& r, Example& e) {
    r.skipSpace();
    auto numberWithDate = [&](std::string& cell) {
        const std::string n = r.number();
        if (n.empty())
            return false;
        cell = numberCell(n);
        if (const std::string date = r.shownDate(); !date.empty())
            e.dates.push_back({std::atof(n.c_str()), date});
        return true;
    };
    std::string cell;
    // "the column 1, 2, 3": a column of numbers (the README names rows only in tables).
    if (r.take("the column ")) {
        std::vector<std::vector<std::string>> rows;
        do {
            r.skipSpace();
            const std::string n = r.number();
            if (n.empty()) {
                e.unreadable = r.rest();
                return;
            }
            rows.push_back({numberCell(n)});
            r.skipSpace(false);
        } while (r.take(","));
        e.json = multi(rows);
        return;
    }
    r.skipSpace();
    if (r.peek() == '|') { // a table: a heading row, its rule, then a row per result row
        r.line();
        r.line();
        std::vector<std::vector<std::string>> rows;
        while (r.peek() == '|') {
            std::stringstream row(r.line());
            std::string piece;
            std::vector<std::string> cells;
            std::getline(row, piece, '|');
            while (std::getline(row, piece, '|')) {
                const std::size_t first = piece.find_first_not_of(' ');
                if (first == std::string::npos)
                    continue;
                ValueReader c(piece, first);
                const std::string n = c.number();
                if (n.empty()) {
                    e.unreadable = piece;
                    return;
                }
                if (const std::string date = c.shownDate(); !date.empty())
                    e.dates.push_back({std::atof(n.c_str()), date});
                cells.push_back(numberCell(n));
            }
            rows.push_back(cells);
        }
        e.json = multi(rows);
        return;
    }
    if (numberWithDate(cell)) {
        e.json = cell;
        return;
    }
    if (r.take("TRUE")) {
        e.json = "{\"bool\": true}";
        return;
    }
    if (r.take("FALSE")) {
        e.json = "{\"bool\": false}";
        return;
    }
    if (r.peek() == '"') {
        std::string text;
        r.take("\"");
        while (r.peek() != '"' && r.peek() != '\0') {
            text.push_back(r.peek());
            r.take(std::string(1, r.peek()));
        }
        const std::string literal = xlhost::jsonUtf8(text);
        e.json = "{\"str\": " + literal.substr(0, literal.size() - 1) + "<text-end>\"}";
        return;
    }
    static const std::map<std::string, int> kErrors = {{"#NULL!", 0}, {"#DIV/0!", 7}, {"#VALUE!", 15},
                                                       {"#REF!", 23}, {"#NAME?", 29}, {"#NUM!", 36},
                                                       {"#N/A", 42}};
    for (const auto& [literal, code] : kErrors) {
        if (r.take(literal)) {
            e.json = "{\"err\": " + std::to_string(code) + "}";
            return;
        }
    }
    e.unreadable = r.rest();
}

std::vector<Example> readmeExamples(const std::string& readme) {
    std::vector<Example> examples;
    std::size_t pos = 0;
    for (;;) {
        const std::size_t open = readme.find('`', pos);
        if (open == std::string::npos)
            break;
        const std::size_t close = readme.find('`', open + 1);
        if (close == std::string::npos)
            break;
        pos = close + 1;
        std::string code = readme.substr(open + 1, close - open - 1);
        if (code.rfind("sched_", 0) != 0 || code.find('(') == std::string::npos)
            continue;
        ValueReader r(readme, close + 1);
        r.skipSpace();
        if (!r.take(kArrow))
            continue;
        Example e;
        e.readmeLine = static_cast<std::size_t>(std::count(readme.begin(), readme.begin() + open, '\n')) + 1;
        for (char& c : code) // a code span may run over several lines of the page
            if (c == '\n')
                c = ' ';
        e.formula = code;
        readExpected(r, e);
        pos = std::max(pos, r.position());
        examples.push_back(std::move(e));
    }
    return examples;
}

std::string dateText(double serial) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const auto ymd = xlhost::hostCalendarDate(serial);
    if (!ymd)
        return "(no date)";
    return std::to_string(ymd->day) + " " + kMonths[ymd->month - 1] + " " + std::to_string(ymd->year);
}

// Equal JSON texts, numbers within the relative tolerance.
bool sameJson(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    bool inString = false;
    while (i < a.size() && j < b.size()) {
        const bool numberHere = !inString &&
                                (std::isdigit(static_cast<unsigned char>(a[i])) || a[i] == '-') &&
                                (std::isdigit(static_cast<unsigned char>(b[j])) || b[j] == '-');
        if (numberHere) {
            char* endA = nullptr;
            char* endB = nullptr;
            const double x = std::strtod(a.c_str() + i, &endA);
            const double y = std::strtod(b.c_str() + j, &endB);
            if (std::fabs(x - y) > kTolerance * std::max(std::fabs(x), std::fabs(y)))
                return false;
            i = static_cast<std::size_t>(endA - a.c_str());
            j = static_cast<std::size_t>(endB - b.c_str());
            continue;
        }
        if (a[i] != b[j])
            return false;
        if (a[i] == '\\' && i + 1 < a.size() && j + 1 < b.size()) {
            if (a[i + 1] != b[j + 1])
                return false;
            i += 2, j += 2;
            continue;
        }
        if (a[i] == '"')
            inString = !inString;
        ++i, ++j;
    }
    return i == a.size() && j == b.size();
}

// The result of each line of xlhost --json --echo output, by line number.
std::map<std::size_t, std::string> resultsByLine(const std::string& output) {
    std::map<std::size_t, std::string> results;
    std::stringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t number = line.find("\"line\": ");
        const std::size_t formula = line.find(", \"formula\": \"");
        if (number == std::string::npos || formula == std::string::npos)
            continue;
        std::size_t p = formula + 14;
        while (p < line.size() && line[p] != '"')
            p += line[p] == '\\' ? 2 : 1;
        // After the formula's closing quote: ", " and the result's own fields.
        results[std::strtoul(line.c_str() + number + 8, nullptr, 10)] = std::string("{").append(line, p + 3);
    }
    return results;
}

} // namespace

TEST(ReadmeExamples, EveryExampleGivesWhatTheReadmeShows) {
    const std::vector<Example> examples = readmeExamples(readFile(TAVRIN_SOURCE_DIR "/README.md"));
    // The page has an example for every function; fewer means this test stopped finding them.
    ASSERT_GE(examples.size(), 18u);

    testing_support::ScratchFolder folder;
    std::string formulas;
    for (const Example& e : examples)
        formulas += e.formula + "\n";
    const std::string file = folder.write("readme.xlf", formulas);

    for (const int version : {16, 12}) {
        SCOPED_TRACE("host generation " + std::to_string(version));
        const auto run =
            testing_support::runProgram(XLHOST_PROGRAM, "--json --echo --version " + std::to_string(version) +
                                                            " -f " + testing_support::shellWord(file));
        ASSERT_LE(run.exitCode, 1) << run.err;
        const auto results = resultsByLine(run.out);
        for (std::size_t i = 0; i < examples.size(); ++i) {
            const Example& e = examples[i];
            SCOPED_TRACE("README.md line " + std::to_string(e.readmeLine) + ": " + e.formula);
            ASSERT_TRUE(e.unreadable.empty())
                << "the value after the arrow is not one this test reads: " << e.unreadable;
            std::string expected = e.json;
            const std::string marker = "<text-end>";
            if (const std::size_t at = expected.find(marker); at != std::string::npos)
                expected.replace(at, marker.size(), version == 12 ? "" : "\\u0000");
            const auto found = results.find(i + 1);
            ASSERT_NE(found, results.end()) << run.out;
            std::string actual = found->second;
            // A whole number the add-in returns as an integer record shows in a cell like any number.
            if (actual.rfind("{\"int\": ", 0) == 0)
                actual.replace(0, 8, "{\"num\": ");
            EXPECT_TRUE(sameJson(actual, expected)) << "  README: " << expected << "\n  xlhost: " << actual;
            for (const ShownDate& d : e.dates)
                EXPECT_EQ(dateText(d.serial), d.text) << "the date shown beside " << d.serial;
        }
    }
}
