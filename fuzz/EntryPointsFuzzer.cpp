// Every worksheet entry point, called in-process against the stand-in host with arbitrary values in either
// host generation: numbers (NaN, infinities, huge magnitudes among them) for "B" arguments, zero-terminated
// texts of any content and length for the text arguments, and value records of every kind the host passes
// (arrays of any shape and content included) for the value arguments. Sometimes the function wizard is open,
// or the host's coercion fails with one of its return codes.
//
// Each call must come back with either no value or a sound record of the generation (every text and array
// element is read), the answer TRUE while the wizard is open, and every value the host handed out during
// the call given back exactly once.

#include "fuzz/FuzzInput.h"

#include "src/XlfExcel.h"
#include "src/XlfOper.h"
#include "src/api/XlCall.h"
#include "xlhost/common/Records.h"
#include "xlhost/common/Value.h"
#include "xlhost/core/StandInHost.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <streambuf>
#include <string>
#include <vector>

using xlhost::Generation;
using xlhost::Kind;
using xlhost::Value;
using xll::LPXLFOPER;
using xll::XlfTextArgument;

extern "C" {
LPXLFOPER xlsched_plusMonths(double, LPXLFOPER);
LPXLFOPER xlsched_endOfMonth(double);
LPXLFOPER xlsched_BusinessDayCount(double, double, XlfTextArgument, LPXLFOPER);
LPXLFOPER xlsched_IsBusinessDay(double, XlfTextArgument, LPXLFOPER);
LPXLFOPER xlsched_plusBusinessDays(double, double, XlfTextArgument, LPXLFOPER);
LPXLFOPER xlsched_Holidays(double, double, XlfTextArgument, LPXLFOPER);
LPXLFOPER xlsched_Schedule(double, double, double, double, double, XlfTextArgument, XlfTextArgument,
                           XlfTextArgument, LPXLFOPER);
LPXLFOPER xlsched_DCF(double, double, XlfTextArgument);
LPXLFOPER xlsched_discountFactor(double, double, double, XlfTextArgument);
LPXLFOPER xlsched_forwardRate(double, double, double, double, double, XlfTextArgument);
LPXLFOPER xlsched_Tenor2Month(XlfTextArgument);
LPXLFOPER xlsched_previousBusinessDay(double, XlfTextArgument, LPXLFOPER);
LPXLFOPER xlsched_nextBusinessDay(double, XlfTextArgument, LPXLFOPER);
LPXLFOPER xlsched_LastBusDayOfMonth(double, XlfTextArgument, LPXLFOPER);
LPXLFOPER xlsched_AdjustToBusDay(double, XlfTextArgument, XlfTextArgument, LPXLFOPER);
LPXLFOPER xlsched_thirdWednesDayOfMonth(double);
LPXLFOPER xlsched_df_curve(double, XlfTextArgument, LPXLFOPER, LPXLFOPER, LPXLFOPER, LPXLFOPER, LPXLFOPER,
                           XlfTextArgument, XlfTextArgument, double, XlfTextArgument, XlfTextArgument, double,
                           LPXLFOPER, XlfTextArgument, XlfTextArgument, LPXLFOPER);
LPXLFOPER xlsched_ZeroRate(double, double, double, XlfTextArgument, LPXLFOPER);
}

namespace {

// The arguments of one call by position: a number, a text or a record, as the function's letters say.
struct Slots {
    double numbers[17] = {};
    XlfTextArgument texts[17] = {};
    LPXLFOPER records[17] = {};
    double b(int i) const { return numbers[i]; }
    XlfTextArgument c(int i) const { return texts[i]; }
    LPXLFOPER p(int i) const { return records[i]; }
};

// Which numbers make a sweep over days (see FuzzInput.h): none, start and end, or a count of days.
enum class Sweep { None, Span, Count };

struct EntryPoint {
    const char* letters; // B number, C text, P value record
    LPXLFOPER (*call)(const Slots&);
    Sweep sweep = Sweep::None;
};

// clang-format off
const EntryPoint kEntryPoints[] = {
    {"BP", [](const Slots& s) { return xlsched_plusMonths(s.b(0), s.p(1)); }},
    {"B", [](const Slots& s) { return xlsched_endOfMonth(s.b(0)); }},
    {"BBCP", [](const Slots& s) { return xlsched_BusinessDayCount(s.b(0), s.b(1), s.c(2), s.p(3)); },
     Sweep::Span},
    {"BCP", [](const Slots& s) { return xlsched_IsBusinessDay(s.b(0), s.c(1), s.p(2)); }},
    {"BBCP", [](const Slots& s) { return xlsched_plusBusinessDays(s.b(0), s.b(1), s.c(2), s.p(3)); },
     Sweep::Count},
    {"BBCP", [](const Slots& s) { return xlsched_Holidays(s.b(0), s.b(1), s.c(2), s.p(3)); }},
    {"BBBBBCCCP", [](const Slots& s) {
         return xlsched_Schedule(s.b(0), s.b(1), s.b(2), s.b(3), s.b(4), s.c(5), s.c(6), s.c(7), s.p(8)); }},
    {"BBC", [](const Slots& s) { return xlsched_DCF(s.b(0), s.b(1), s.c(2)); }},
    {"BBBC", [](const Slots& s) { return xlsched_discountFactor(s.b(0), s.b(1), s.b(2), s.c(3)); }},
    {"BBBBBC", [](const Slots& s) {
         return xlsched_forwardRate(s.b(0), s.b(1), s.b(2), s.b(3), s.b(4), s.c(5)); }},
    {"C", [](const Slots& s) { return xlsched_Tenor2Month(s.c(0)); }},
    {"BCP", [](const Slots& s) { return xlsched_previousBusinessDay(s.b(0), s.c(1), s.p(2)); }},
    {"BCP", [](const Slots& s) { return xlsched_nextBusinessDay(s.b(0), s.c(1), s.p(2)); }},
    {"BCP", [](const Slots& s) { return xlsched_LastBusDayOfMonth(s.b(0), s.c(1), s.p(2)); }},
    {"BCCP", [](const Slots& s) { return xlsched_AdjustToBusDay(s.b(0), s.c(1), s.c(2), s.p(3)); }},
    {"B", [](const Slots& s) { return xlsched_thirdWednesDayOfMonth(s.b(0)); }},
    {"BCPPPPPCCBCCBPCCP", [](const Slots& s) {
         return xlsched_df_curve(s.b(0), s.c(1), s.p(2), s.p(3), s.p(4), s.p(5), s.p(6), s.c(7), s.c(8),
                                 s.b(9), s.c(10), s.c(11), s.b(12), s.p(13), s.c(14), s.c(15), s.p(16)); }},
    {"BBBCP", [](const Slots& s) { return xlsched_ZeroRate(s.b(0), s.b(1), s.b(2), s.c(3), s.p(4)); }},
};
// clang-format on

// The memory behind the arguments of one call.
class Storage final : public xlhost::RecordStorage {
public:
    void* allocate(std::size_t bytes) override {
        blocks_.push_back(std::make_unique<std::byte[]>(bytes == 0 ? 1 : bytes));
        return blocks_.back().get();
    }

private:
    std::vector<std::unique_ptr<std::byte[]>> blocks_;
};

std::u16string clipped(std::u16string text, std::size_t limit) {
    if (text.size() > limit)
        text.resize(limit);
    return text;
}

// maxText bounds the texts of a large array, whose cells are copied several times on the way in: the whole
// stays within the memory limit of a fuzzing run.
Value scalar(fuzz::FuzzInput& in, Generation g, std::size_t maxText = kMaxText12) {
    const bool four = g == Generation::Four;
    static constexpr int32_t kErrors[] = {0, 7, 15, 23, 29, 36, 42};
    switch (in.byte() & 7) {
    case 0:
    case 1:
        return Value::number(in.number());
    case 2:
        return Value::str(clipped(in.text(fuzz::kVocabulary, !four),
                                  std::min<std::size_t>(maxText, four ? kMaxText4 : kMaxText12)));
    case 3:
        return Value::boolean(in.flag());
    case 4:
        return Value::error(in.flag() ? in.pick(kErrors) : static_cast<int16_t>(in.word()));
    case 5:
        return Value::missing();
    case 6:
        return Value::nil();
    default:
        return Value::integer(four ? static_cast<int16_t>(in.word()) : static_cast<int32_t>(in.dword()));
    }
}

// An array of any shape the generation allows, at most 65 536 cells: a few cells from the input repeated,
// or a run of day numbers.
Value array(fuzz::FuzzInput& in, Generation g) {
    const bool four = g == Generation::Four;
    const int32_t maxRows = four ? kMaxRows4 : kMaxRows12;
    const int32_t maxColumns = four ? kMaxColumns4 : kMaxColumns12;
    constexpr int64_t kMaxCells = 1 << 16;
    int32_t rows = 1;
    int32_t columns = 1;
    switch (in.byte() & 3) {
    case 0:
        rows = 1 + static_cast<int32_t>(in.upTo(7));
        columns = 1 + static_cast<int32_t>(in.upTo(7));
        break;
    case 1:
        rows = 1 + static_cast<int32_t>(in.upTo(kMaxCells - 1));
        break;
    case 2:
        columns = 1 + static_cast<int32_t>(in.upTo(static_cast<uint32_t>(maxColumns - 1)));
        break;
    default:
        rows = 1 + static_cast<int32_t>(in.upTo(static_cast<uint32_t>(maxRows - 1)));
        columns = 1 + static_cast<int32_t>(in.upTo(static_cast<uint32_t>(maxColumns - 1)));
        break;
    }
    rows = std::min(rows, maxRows);
    while (int64_t{rows} * columns > kMaxCells)
        rows > columns ? rows /= 2 : columns /= 2;
    const std::size_t n = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
    std::vector<Value> cells;
    cells.reserve(n);
    if (in.byte() % 4 == 0) {
        const double start = in.number();
        const double step = static_cast<int8_t>(in.byte());
        for (std::size_t i = 0; i < n; ++i)
            cells.push_back(Value::number(start + step * static_cast<double>(i)));
    } else {
        constexpr std::size_t kMaxTextUnits = std::size_t{1} << 22;
        std::vector<Value> distinct(1 + in.upTo(15));
        for (Value& v : distinct)
            v = scalar(in, g, std::max<std::size_t>(16, kMaxTextUnits / n));
        for (std::size_t i = 0; i < n; ++i)
            cells.push_back(distinct[i % distinct.size()]);
    }
    return Value::multi(rows, columns, std::move(cells));
}

Value value(fuzz::FuzzInput& in, Generation g) {
    return in.byte() % 4 == 0 ? array(in, g) : scalar(in, g);
}

template <class Record>
LPXLFOPER record(const Value& v, Storage& storage) {
    auto* r = static_cast<Record*>(storage.allocate(sizeof(Record)));
    xlhost::writeRecord(v, *r, storage);
    return r;
}

// A zero-terminated text as the host passes it: bytes in the 4-generation, 16-bit units in the 12-.
XlfTextArgument textArgument(const std::u16string& text, Generation g, Storage& storage) {
    if (g == Generation::Twelve) {
        auto* units = static_cast<XCHAR*>(storage.allocate((text.size() + 1) * sizeof(XCHAR)));
        for (std::size_t i = 0; i < text.size(); ++i)
            units[i] = static_cast<XCHAR>(text[i]);
        units[text.size()] = 0;
        return units;
    }
    auto* bytes = static_cast<char*>(storage.allocate(text.size() + 1));
    for (std::size_t i = 0; i < text.size(); ++i)
        bytes[i] = static_cast<char>(text[i]);
    bytes[text.size()] = 0;
    return bytes;
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "entry point fault: %s\n", what.c_str());
    std::abort();
}

// What the host reads from a returned record; the bridge's own marker must never reach the host.
std::optional<Value> hostReads(LPXLFOPER result, Generation g) {
    if (g == Generation::Twelve)
        return xlhost::readValue(static_cast<const XLOPER12*>(result));
    return xlhost::readValue(static_cast<const XLOPER*>(result));
}

// Diagnostics (texts cut to the generation's limits, and so on) are expected; keep them off the output.
class NullBuffer final : public std::streambuf {
protected:
    int overflow(int c) override { return c; }
};

int gVersion = 0; // the host version the bridge was started with

void startHost(int version) {
    if (version != gVersion) {
        xll::XlfExcel::deleteInstance(); // the next call chooses the generation anew
        gVersion = version;
    }
    xlhost::reset();
    xlhost::setVersion(version);
    // Started before any failure is injected: the bridge asks the host's version through its coercion.
    if (xll::XlfExcel::instance().isExcel12() != (version == 12))
        fail("the bridge chose the wrong generation");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Never destroyed: the standard streams are flushed after every static object has gone.
    static NullBuffer* const nullBuffer = new NullBuffer;
    static const bool quiet = (std::cerr.rdbuf(nullBuffer), true);
    (void)quiet;

    fuzz::FuzzInput in(data, size);
    const uint8_t setup = in.byte();
    const EntryPoint& entry = kEntryPoints[in.upTo(std::size(kEntryPoints) - 1)];
    const int version = (setup & 1) != 0 ? 12 : 16;
    const Generation g = version == 12 ? Generation::Twelve : Generation::Four;
    startHost(version);
    const bool wizard = (setup & 0x1E) == 0x1E;
    xlhost::setFunctionWizard(wizard);
    if ((setup & 0x60) == 0x60)
        xlhost::setCoerceFailure(xlhost::CoerceFailure::FailedCode);
    if ((setup & 0x80) != 0 && (setup & 0x06) == 0) {
        static constexpr int kCodes[] = {xlretAbort,     xlretInvXlfn, xlretInvCount, xlretInvXloper,
                                         xlretStackOvfl, xlretFailed,  xlretUncalced, 96};
        xlhost::failFunction(xlCoerce, in.pick(kCodes));
    }

    Storage storage;
    Slots slots;
    for (int i = 0; entry.letters[i] != '\0'; ++i) {
        switch (entry.letters[i]) {
        case 'B':
            slots.numbers[i] = in.number();
            break;
        case 'C':
            slots.texts[i] = textArgument(in.text(fuzz::kVocabulary, g == Generation::Twelve), g, storage);
            break;
        default: {
            Value v = value(in, g);
            if (!xlhost::fitsRecord(v, g))
                v = Value::missing();
            slots.records[i] =
                g == Generation::Twelve ? record<XLOPER12>(v, storage) : record<XLOPER>(v, storage);
            break;
        }
        }
    }

    if (entry.sweep == Sweep::Span)
        slots.numbers[1] = fuzz::foldedSpan(slots.numbers[0], slots.numbers[1]);
    else if (entry.sweep == Sweep::Count)
        slots.numbers[1] = fuzz::foldedSpan(0, slots.numbers[1]);

    const LPXLFOPER result = entry.call(slots);
    if (wizard && result == nullptr)
        fail("the function wizard was answered no value");
    if (result != nullptr) {
        const std::optional<Value> v = hostReads(result, g);
        if (!v)
            fail(std::string("unsound result record for ") + entry.letters);
        if (v->kind == Kind::Ref || v->kind == Kind::SRef || v->kind == Kind::Missing)
            fail(std::string("result of kind ") + xlhost::kindName(v->kind));
        if (wizard && !(v->kind == Kind::Bool && v->code == 1))
            fail("the function wizard was not answered TRUE");
    }
    const xlhost::LedgerReport ledger = xlhost::ledger();
    if (!ledger.clean())
        fail("host memory: " + ledger.text());
    return 0;
}
