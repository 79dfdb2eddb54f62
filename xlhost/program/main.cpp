// xlhost: loads an add-in as the spreadsheet host does, evaluates formulas through it and prints the results.

#include "src/api/XlCall.h"
#include "xlhost/core/StandInHost.h"
#include "xlhost/formula/Messages.h"
#include "xlhost/program/AddIn.h"
#include "xlhost/program/Evaluator.h"
#include "xlhost/program/Output.h"
#include "xlhost/program/ParallelEvaluator.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <istream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int kExitEvaluated = 0;
constexpr int kExitLineFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitLoad = 3;
constexpr int kExitLedger = 4;

// More threads than this gain nothing on any machine the host runs on.
constexpr int kMaxThreads = 64;

// A formula line may hold a million-character text, but no line may take the host's memory.
constexpr std::size_t kMaxLineBytes = std::size_t{16} << 20;

constexpr const char* kUsage =
    "usage: xlhost [--addin FILE] [--version N] [--wizard] [--coerce-code C] [--json] [--list] [-f FILE "
    "...]\n"
    "              [--threads N] [FORMULA ...]\n"
    "  Loads the add-in (default: tavrin_schedules.xll beside xlhost), opens it, evaluates each FORMULA,\n"
    "  or each line of the -f files, or of the standard input when neither is given, prints each result\n"
    "  and closes the add-in.\n"
    "  --version N  the host version reported to the add-in (default 16; 12 selects the 12-generation API)\n"
    "  --wizard     the function wizard is open\n"
    "  --coerce-code C  every xlCoerce after the open answers the return code C without converting, as the\n"
    "               host does for an uncalculated cell (64) or a call it cannot serve (1, 8, 16, 32)\n"
    "  --json       one JSON object per formula\n"
    "  --list       print the registrations the host received\n"
    "  --threads N  evaluate the lines on N threads at once, results in input order; callbacks a\n"
    "               thread-safe function may not make answer 128, as on the host's calculation threads\n"
    "Exit code: 0 every line evaluated, 1 a line could not be evaluated, 2 bad usage, 3 the add-in did not\n"
    "load or open, 4 the add-in leaked host memory or freed it twice.\n";

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
    bool list = false;
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
        } else if (a == "--list") {
            o.list = true;
        } else if (a == "-f") {
            if (!value(v))
                return false;
            o.sources.push_back({true, v});
        } else if (a == "--help" || a == "-h") {
            std::cout << kUsage;
            std::exit(kExitEvaluated);
        } else if (a.size() > 1 && a[0] == '-' && a[1] == '-') {
            error = "unknown option " + a;
            return false;
        } else {
            o.sources.push_back({false, a});
        }
    }
    return true;
}

// Reads one line without its end; a line longer than the limit is read to its end but not kept.
bool readLine(std::istream& in, std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    std::streambuf* buffer = in.rdbuf();
    bool any = false;
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof())
            return any;
        any = true;
        if (c == '\n')
            break;
        if (line.size() < kMaxLineBytes)
            line.push_back(static_cast<char>(c));
        else
            tooLong = true;
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}

template <class Lines>
bool evaluateStream(std::istream& in, const std::string& name, Lines& evaluator, bool json) {
    bool allEvaluated = true;
    std::string line;
    bool tooLong = false;
    for (std::size_t number = 1; readLine(in, line, tooLong); ++number) {
        if (tooLong) {
            if (json)
                evaluator.out() << xlhost::jsonError("line " + std::to_string(number) +
                                                     ", column 1: " + xlhost::messages::LineTooLong)
                                << '\n';
            else
                evaluator.out() << name << ':' << number << ":1: " << xlhost::messages::LineTooLong << '\n';
            allEvaluated = false;
            continue;
        }
        allEvaluated = evaluator.line(line, name, number) && allEvaluated;
    }
    return allEvaluated;
}

// Every formula argument and -f file in order, then the standard input when there is neither.
template <class Lines>
bool evaluateSources(const Options& options, Lines& evaluator, int& exitCode) {
    bool allEvaluated = true;
    std::size_t formulaNumber = 0;
    for (const Source& source : options.sources) {
        if (!source.isFile) {
            allEvaluated = evaluator.line(source.text, "<argument>", ++formulaNumber) && allEvaluated;
            continue;
        }
        std::ifstream in(source.text, std::ios::binary);
        if (!in) {
            std::cerr << "xlhost: cannot read " << source.text << '\n';
            allEvaluated = false;
            if (exitCode == kExitEvaluated)
                exitCode = kExitUsage;
            continue;
        }
        allEvaluated = evaluateStream(in, source.text, evaluator, options.json) && allEvaluated;
    }
    if (options.sources.empty() && !options.list)
        allEvaluated = evaluateStream(std::cin, "<stdin>", evaluator, options.json);
    return allEvaluated;
}

} // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::cerr << "xlhost: " << error << '\n' << kUsage;
        return kExitUsage;
    }

    xlhost::setVersion(options.version);
    xlhost::setFunctionWizard(options.wizard);
    const std::string file = options.addIn.empty() ? xlhost::defaultAddIn() : options.addIn;
    auto addIn = xlhost::AddIn::load(file, error);
    if (!addIn) {
        std::cerr << "xlhost: " << error << '\n';
        return kExitLoad;
    }
    xlhost::setLibraryName(addIn->fullName());
    auto open = reinterpret_cast<XlAutoProc>(addIn->symbol("xlAutoOpen"));
    if (open == nullptr) {
        std::cerr << "xlhost: " << file << " exports no xlAutoOpen\n";
        return kExitLoad;
    }
    int exitCode = kExitEvaluated;
    if (open() != 1) {
        std::cerr << "xlhost: xlAutoOpen of " << file << " failed\n";
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
        xlhost::Evaluator evaluator(*addIn, options.json, std::cout);
        allEvaluated = evaluateSources(options, evaluator, exitCode);
    }
    std::cout.flush();

    if (auto close = reinterpret_cast<XlAutoProc>(addIn->symbol("xlAutoClose")))
        close();
    const xlhost::LedgerReport report = xlhost::shutdownReport();
    if (!report.clean()) {
        std::cerr << report.text();
        return kExitLedger;
    }
    if (exitCode != kExitEvaluated)
        return exitCode;
    return allEvaluated ? kExitEvaluated : kExitLineFailed;
}
