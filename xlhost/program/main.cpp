// xlhost: loads an add-in as the spreadsheet host does, evaluates formulas through it and prints the results.

#include "src/api/XlCall.h"
#include "xlhost/core/StandInHost.h"
#include "xlhost/program/AddIn.h"
#include "xlhost/program/ErrorChannel.h"
#include "xlhost/program/Evaluator.h"
#include "xlhost/program/LineReader.h"
#include "xlhost/program/Output.h"
#include "xlhost/program/ParallelEvaluator.h"

#include <charconv>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#if !defined(TAVRIN_VERSION)
#define TAVRIN_VERSION "unknown"
#endif

namespace {

constexpr int kExitEvaluated = 0;
constexpr int kExitLineFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitLoad = 3;
constexpr int kExitLedger = 4;
constexpr int kExitInternal = 5;

// More threads than this gain nothing on any machine the host runs on.
constexpr int kMaxThreads = 64;

constexpr const char* kUsage =
    "usage: xlhost [--addin FILE] [--version N] [--wizard] [--coerce-code C] [--json] [--echo] [--list]\n"
    "              [--verbose] [--threads N] [-f FILE ...] [FORMULA ...]\n";

constexpr const char* kHelp =
    "  Loads the add-in (default: tavrin_schedules.xll beside xlhost), opens it, evaluates each FORMULA,\n"
    "  or each line of the -f files, or of the standard input when neither is given, prints each result\n"
    "  and closes the add-in.\n"
    "  -f FILE      read formula lines from FILE; '-' (also as a FORMULA) is the standard input\n"
    "  --version N  the host version reported to the add-in (default 16; 12 selects the 12-generation API,\n"
    "               any other number the 4-generation one)\n"
    "  --wizard     the function wizard is open\n"
    "  --coerce-code C  every xlCoerce after the open answers the return code C without converting, as the\n"
    "               host does for an uncalculated cell (64) or a call it cannot serve (1, 8, 16, 32)\n"
    "  --json       one JSON object per formula\n"
    "  --echo       each result also shows its source, line number and formula (JSON: the fields "
    "\"source\",\n"
    "               \"line\" and \"formula\" come first)\n"
    "  --list       print the registrations the host received\n"
    "  --verbose    also show the add-in's own diagnostic lines (its standard error)\n"
    "  --threads N  evaluate the lines on N threads at once, results in input order; callbacks a\n"
    "               thread-safe function may not make answer 128, as on the host's calculation threads\n"
    "               (--echo is not shown in this mode)\n"
    "\n"
    "Formula lines: name(argument, ...), optionally after '='; the name is a registered function, in any\n"
    "letter case. A file may start with a UTF-8 byte-order mark and end its lines in CRLF. Arguments:\n"
    "  numbers      42, -1.5e-3 (a point for decimals)\n"
    "  dates        DATE(2011, 9, 19) is the day number 40805 of the 1900 date system\n"
    "  texts        \"TARGET\"; \"\" for a quote inside, a backslash is an ordinary character\n"
    "  TRUE, FALSE  in any letter case\n"
    "  errors       #NULL! #DIV/0! #VALUE! #REF! #NAME? #NUM! #N/A\n"
    "  arrays       {1, 2; 3, 4}: ',' between columns, ';' between rows; a cell left out is empty\n"
    "  omitted      nothing between commas, or after the last: sched_IsBusinessDay(40805, \"TARGET\", )\n"
    "Blank lines and lines whose first character (after blanks) is '#' are comments and print nothing.\n"
    "More: xlhost/README.md.\n"
    "\n"
    "Exit code: 0 every line evaluated, 1 a line could not be evaluated, 2 bad usage or a file that cannot "
    "be\n"
    "read, 3 the add-in did not load or open, 4 the add-in leaked host memory or freed it twice, 5 xlhost\n"
    "itself failed (out of memory).\n";

struct Source {
    bool isFile = false;
    std::string text; // the file name, or the formula
};

struct Options {
    std::string addIn;
    int version = 16;
    bool wizard = false;
    int coerceCode = 0; // 0: xlCoerce converts
    bool json = false;
    bool echo = false;
    bool list = false;
    bool verbose = false;
    bool help = false;
    int threads = 0; // 0: every line on the main thread, as before calculation threads
    std::vector<Source> sources;
};

bool parseOptions(int argc, char** argv, Options& o, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                error = a + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--addin") {
            if (!value(o.addIn))
                return false;
        } else if (a == "--version") {
            if (!value(v))
                return false;
            const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), o.version);
            if (ec != std::errc{} || end != v.data() + v.size() || o.version < 1) {
                error = "--version needs a positive whole number, not " + v;
                return false;
            }
        } else if (a == "--wizard") {
            o.wizard = true;
        } else if (a == "--coerce-code") {
            if (!value(v))
                return false;
            const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), o.coerceCode);
            if (ec != std::errc{} || end != v.data() + v.size() || o.coerceCode < 0) {
                error = "--coerce-code needs a host return code, not " + v;
                return false;
            }
        } else if (a == "--threads") {
            if (!value(v))
                return false;
            const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), o.threads);
            if (ec != std::errc{} || end != v.data() + v.size() || o.threads < 1 || o.threads > kMaxThreads) {
                error =
                    "--threads needs a whole number from 1 to " + std::to_string(kMaxThreads) + ", not " + v;
                return false;
            }
        } else if (a == "--json") {
            o.json = true;
        } else if (a == "--echo") {
            o.echo = true;
        } else if (a == "--list") {
            o.list = true;
        } else if (a == "--verbose") {
            o.verbose = true;
        } else if (a == "-f") {
            if (!value(v))
                return false;
            o.sources.push_back({true, v});
        } else if (a == xlhost::kStandardInputName) {
            o.sources.push_back({true, a});
        } else if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            error = "unknown option " + a;
            return false;
        } else {
            o.sources.push_back({false, a});
        }
    }
    return true;
}

// Evaluates every line of the reader; false when a line could not be evaluated. A read failure is
// reported and leaves readFailed set.
template <class Lines>
bool evaluateLines(xlhost::LineReader& reader, const std::string& name, Lines& evaluator, bool& readFailed) {
    bool allEvaluated = true;
    std::string line;
    bool tooLong = false;
    std::size_t number = 0;
    for (;;) {
        const auto status = reader.next(line, tooLong);
        if (status == xlhost::LineReader::Status::End)
            break;
        if (status == xlhost::LineReader::Status::Failed) {
            std::cout.flush();
            xlhost::reportError("xlhost: cannot read " + name + ": " + reader.failure());
            readFailed = true;
            return false;
        }
        ++number;
        if (tooLong) {
            evaluator.lineTooLong(name, number);
            allEvaluated = false;
            continue;
        }
        allEvaluated = evaluator.line(line, name, number) && allEvaluated;
    }
    return allEvaluated;
}

// Every formula argument and -f file in order, then the standard input when there is neither; false when a
// line could not be evaluated.
template <class Lines>
bool evaluateSources(const Options& options, Lines& evaluator, int& exitCode) {
    bool allEvaluated = true;
    std::size_t formulaNumber = 0;
    auto readFile = [&](const std::string& name) {
        const bool standardInput = name == xlhost::kStandardInputName;
        const std::string shownName = standardInput ? "<stdin>" : name;
        std::string reason;
        auto reader = xlhost::LineReader::open(name, reason);
        bool readFailed = false;
        if (reader) {
            allEvaluated = evaluateLines(*reader, shownName, evaluator, readFailed) && allEvaluated;
        } else {
            std::cout.flush();
            xlhost::reportError("xlhost: cannot read " + shownName + ": " + reason);
            readFailed = true;
        }
        if (readFailed) {
            allEvaluated = false;
            if (exitCode == kExitEvaluated)
                exitCode = kExitUsage;
        }
    };
    for (const Source& source : options.sources) {
        if (source.isFile)
            readFile(source.text);
        else
            allEvaluated = evaluator.line(source.text, "<argument>", ++formulaNumber) && allEvaluated;
    }
    if (options.sources.empty() && !options.list)
        readFile(xlhost::kStandardInputName);
    return allEvaluated;
}

// Everything after the options: load and open the add-in, evaluate, close. Returns the exit code.
int run(const Options& options) {
    xlhost::setVersion(options.version);
    xlhost::setFunctionWizard(options.wizard);
    const std::string file = options.addIn.empty() ? xlhost::defaultAddIn() : options.addIn;
    std::string error;
    auto addIn = xlhost::AddIn::load(file, error);
    if (!addIn) {
        xlhost::reportError("xlhost: " + error);
        return kExitLoad;
    }
    xlhost::setLibraryName(addIn->fullName());
    auto open = reinterpret_cast<XlAutoProc>(addIn->symbol("xlAutoOpen"));
    if (open == nullptr) {
        xlhost::reportError("xlhost: " + file + " exports no xlAutoOpen");
        return kExitLoad;
    }
    int exitCode = kExitEvaluated;
    if (open() != 1) {
        xlhost::reportError("xlhost: xlAutoOpen of " + file + " failed");
        exitCode = kExitLoad;
    }

    // After the open, so that registration is not affected.
    xlhost::failFunction(xlCoerce, options.coerceCode);
    if (options.list)
        xlhost::listRegistrations(options.json, std::cout);
    bool allEvaluated = true;
    if (options.threads > 0) {
        xlhost::setThreadSafetyChecks(true);
        xlhost::ParallelEvaluator evaluator(*addIn, options.json, std::cout, options.threads);
        allEvaluated = evaluateSources(options, evaluator, exitCode);
        allEvaluated = evaluator.finish() && allEvaluated;
    } else {
        xlhost::Evaluator evaluator(*addIn, xlhost::EvaluatorOptions{options.json, options.echo}, std::cout);
        allEvaluated = evaluateSources(options, evaluator, exitCode);
    }
    std::cout.flush();

    if (auto close = reinterpret_cast<XlAutoProc>(addIn->symbol("xlAutoClose")))
        close();
    const xlhost::LedgerReport report = xlhost::shutdownReport();
    if (!report.clean()) {
        xlhost::reportError(report.text());
        return kExitLedger;
    }
    if (exitCode != kExitEvaluated)
        return exitCode;
    return allEvaluated ? kExitEvaluated : kExitLineFailed;
}

} // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    // Nothing may escape: a failure of xlhost itself ends as one line and its own exit code.
    try {
        Options options;
        std::string error;
        if (!parseOptions(argc, argv, options, error)) {
            xlhost::reportError("xlhost: " + error + "\n" + kUsage);
            return kExitUsage;
        }
        if (options.help) {
            std::cout << "xlhost, the stand-in spreadsheet host of Tavrin Schedules " << TAVRIN_VERSION
                      << "\n"
                      << kUsage << kHelp;
            return kExitEvaluated;
        }
        xlhost::separateErrorStreams(options.verbose);
        const int exitCode = run(options);
        xlhost::rejoinErrorStreams();
        return exitCode;
    } catch (const std::bad_alloc&) {
        std::cout.flush();
        xlhost::reportError("xlhost: out of memory");
    } catch (const std::exception& e) {
        std::cout.flush();
        xlhost::reportError(std::string("xlhost: ") + e.what());
    } catch (...) {
        std::cout.flush();
        xlhost::reportError("xlhost: unexpected failure");
    }
    xlhost::rejoinErrorStreams();
    return kExitInternal;
}
