#include "xlhost/core/StandInHost.h"

#include "xlhost/common/Coerce.h"
#include "xlhost/common/Records.h"
#include "xlhost/common/Text.h"
#include "xlhost/common/TypeText.h"
#include "xlhost/core/HostWindows.h"
#include "xlhost/core/Ledger.h"

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <shared_mutex>
#include <utility>

namespace xlhost {
namespace {

constexpr int kMaxArguments4 = 30;
constexpr int kMaxArguments12 = 255;
constexpr double kFirstRegistrationId = 1001;
// Bits of the type word that are the add-in's business (0x1000, 0x4000) or its own marker (0x8000).
constexpr uint32_t kMarkerBits = xlbitXLFree | xlbitDLLFree | 0x8000;

struct State {
    // The callbacks a calculation thread may make only read the host's settings, so they are served side by
    // side under a shared lock, as the host serves its calculation threads; every other callback and every
    // setting is served alone. What those callbacks do write (the ledger, the call log) has its own lock.
    std::shared_mutex mutex;
    std::mutex books;
    std::string versionText = "16.0";
    std::string libraryName;
    HostWindows windows;
    std::vector<Registration> registrations;
    double nextId = kFirstRegistrationId;
    std::vector<StatusMessage> statusBar;
    CoerceFailure coerceFailure = CoerceFailure::ErrorValue;
    std::map<int, int> failures;
    std::map<std::pair<int32_t, int32_t>, Value> cells;
    Ledger ledger;
    bool reported = false;

    ~State() {
        // The library is being unloaded: say what the add-in left behind unless the host program has.
        if (reported || (ledger.outstanding() == 0 && ledger.problems().empty()))
            return;
        LedgerReport report;
        report.outstanding = ledger.outstanding();
        report.problems = ledger.problems();
        std::fputs(report.text().c_str(), stderr);
    }
};

State& state() {
    static State s;
    return s;
}

// Read by every callback without the lock: set before calculation threads start.
std::atomic<bool> threadSafetyChecksOn{false};
// Each calculation thread's own context: whether it is inside a thread-safe function's call.
thread_local bool insideThreadSafeCall = false;
// The callbacks made from this thread, in order. Kept per thread so that calculation threads do not meet
// at it; the tests that read it make their calls from one thread.
thread_local std::vector<Call> callsOfThisThread;

// The callbacks the host serves from a thread-safe function; every other one answers 128 there.
bool allowedInThreadSafeCall(int xlfn) {
    switch (xlfn) {
    case xlFree:
    case xlStack:
    case xlCoerce:
    case xlSheetId:
    case xlSheetNm:
    case xlAbort:
    case xlGetInst:
    case xlGetHwnd:
    case xlDefineBinaryName:
    case xlGetBinaryName:
        return true;
    default:
        return false;
    }
}

// ---- the functions the host answers ----

struct Answer {
    int code = xlretSuccess;
    std::optional<Value> value; // written into the result record when there is one
};

Answer answer(Value v) {
    return Answer{xlretSuccess, std::move(v)};
}

Answer errorValue(int32_t code) {
    return answer(Value::error(code));
}

std::u16string textFor(const std::string& utf8, Generation g) {
    // The 4-generation's single bytes carry the first 256 code points, as the host's code page would.
    return g == Generation::Four ? fromBytes(toBytes(utf8ToUtf16(utf8))) : utf8ToUtf16(utf8);
}

std::optional<Value> coerceTo(State& s, const Value& v, uint32_t type, Generation g) {
    return coerce(v, type, g, [&s](int32_t row, int32_t column) {
        const auto found = s.cells.find({row, column});
        return found == s.cells.end() ? Value::nil() : found->second;
    });
}

Answer getWorkspace(State& s, const std::vector<Value>& args, Generation g) {
    if (args.empty())
        return Answer{xlretInvCount, {}};
    const auto type = coerceTo(s, args[0], xltypeNum, g);
    // Only the version text is known here.
    if (!type || type->kind != Kind::Num || type->num != 2)
        return errorValue(xlerrValue);
    return answer(Value::str(textFor(s.versionText, g)));
}

Answer getHwnd(State& s, Generation g) {
    const std::uintptr_t handle = s.windows.hostWindow();
    // The 4-generation integer is 16 bits: it holds the low half of the handle.
    if (g == Generation::Four)
        return answer(Value::integer(static_cast<int16_t>(handle & 0xFFFF)));
    return answer(Value::integer(static_cast<int32_t>(handle & 0xFFFF'FFFF)));
}

Answer message(State& s, const std::vector<Value>& args, Generation g) {
    if (args.empty() || args.size() > 2)
        return Answer{xlretInvCount, {}};
    const auto show = coerceTo(s, args[0], xltypeBool, g);
    if (!show || show->kind != Kind::Bool)
        return errorValue(xlerrValue);
    if (show->code == 0) {
        s.statusBar.push_back(StatusMessage{false, {}});
        return answer(Value::boolean(true));
    }
    if (args.size() < 2)
        return errorValue(xlerrValue);
    const auto text = coerceTo(s, args[1], xltypeStr, g);
    if (!text || text->kind != Kind::Str)
        return errorValue(xlerrValue);
    s.statusBar.push_back(StatusMessage{true, utf16ToUtf8(text->text)});
    return answer(Value::boolean(true));
}

bool sameModule(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

Answer registerFunction(State& s, std::vector<Value> args) {
    // 4-generation registrations count each text's terminating zero; the host reads a text up to it.
    for (Value& v : args)
        if (v.kind == Kind::Str && !v.text.empty() && v.text.back() == u'\0')
            v.text.pop_back();
    auto nonEmptyText = [&](std::size_t i) {
        return i < args.size() && args[i].kind == Kind::Str && !args[i].text.empty();
    };
    if (!nonEmptyText(0) || !nonEmptyText(1) || !nonEmptyText(2) || !parseTypeText(utf16ToUtf8(args[2].text)))
        return errorValue(xlerrValue);
    if (args.size() > 3 && args[3].kind != Kind::Str && args[3].kind != Kind::Missing &&
        args[3].kind != Kind::Nil)
        return errorValue(xlerrValue);
    double id = 0;
    for (const Registration& r : s.registrations)
        if (sameModule(r.values[0].text, args[0].text) && r.values[1].text == args[1].text)
            id = r.id;
    if (id == 0)
        id = s.nextId++;
    s.registrations.push_back(Registration{id, std::move(args), true});
    return answer(Value::number(id));
}

Answer unregisterFunction(State& s, const std::vector<Value>& args, Generation g) {
    if (args.size() != 1)
        return Answer{xlretInvCount, {}};
    const auto id = coerceTo(s, args[0], xltypeNum, g);
    if (!id || id->kind != Kind::Num)
        return errorValue(xlerrValue);
    bool found = false;
    for (Registration& r : s.registrations)
        if (r.id == id->num && r.active) {
            r.active = false;
            found = true;
        }
    return answer(Value::boolean(found));
}

Answer coerceCall(State& s, const std::vector<Value>& args, Generation g) {
    if (args.empty() || args.size() > 2)
        return Answer{xlretInvCount, {}};
    std::optional<uint32_t> wanted;
    if (args.size() == 2 && args[1].kind != Kind::Missing) {
        const auto type = coerceTo(s, args[1], xltypeInt, g);
        if (!type || type->kind != Kind::Int)
            return Answer{xlretInvXloper, {}};
        wanted = static_cast<uint32_t>(type->code);
    }
    auto converted = coerce(args[0], wanted, g, [&s](int32_t row, int32_t column) {
        const auto found = s.cells.find({row, column});
        return found == s.cells.end() ? Value::nil() : found->second;
    });
    if (converted && fitsRecord(*converted, g))
        return answer(std::move(*converted));
    if (s.coerceFailure == CoerceFailure::FailedCode)
        return Answer{xlretFailed, {}};
    return errorValue(xlerrValue);
}

Answer run(State& s, int xlfn, std::vector<Value> args, Generation g) {
    switch (xlfn) {
    case xlfGetWorkspace:
        return getWorkspace(s, args, g);
    case xlGetName:
        return answer(Value::str(textFor(s.libraryName, g)));
    case xlGetHwnd:
        return getHwnd(s, g);
    case xlcMessage:
        return message(s, args, g);
    case xlfRegister:
        return registerFunction(s, std::move(args));
    case xlfUnregister:
        return unregisterFunction(s, args, g);
    case xlCoerce:
        return coerceCall(s, args, g);
    default:
        return Answer{xlretInvXlfn, {}};
    }
}

template <typename Record>
int freeResults(State& s, int count, Record* args[]) {
    int code = xlretSuccess;
    for (int i = 0; i < count; ++i) {
        Record* r = args[i];
        // Numbers and other results without memory behind them do not touch the ledger.
        if (r != nullptr && (r->xltype & kMarkerBits) == 0 && r->xltype != xltypeStr &&
            r->xltype != xltypeMulti && r->xltype != xltypeRef)
            continue;
        std::lock_guard books(s.books);
        if (r == nullptr) {
            s.ledger.problem("xlFree of a null record");
            code = xlretInvXloper;
            continue;
        }
        if ((r->xltype & kMarkerBits) != 0) {
            char buffer[96];
            std::snprintf(buffer, sizeof buffer,
                          "xlFree of a record whose type word 0x%X carries marker bits",
                          static_cast<unsigned>(r->xltype));
            s.ledger.problem(buffer);
            code = xlretInvXloper;
            continue;
        }
        switch (r->xltype) {
        case xltypeStr:
            s.ledger.free(r->val.str, "text");
            break;
        case xltypeMulti:
            s.ledger.free(r->val.array.lparray, "array");
            break;
        case xltypeRef:
            s.ledger.free(r->val.mref.lpmref, "reference");
            break;
        default:
            break; // nothing behind it
        }
    }
    return code;
}

template <typename Record>
int dispatch(Generation g, int xlfn, Record* result, int count, Record* args[]) {
    State& s = state();
    std::shared_lock readLock(s.mutex, std::defer_lock);
    std::unique_lock writeLock(s.mutex, std::defer_lock);
    // With calculation threads running, the settings were made before they started and are only read:
    // the callbacks allowed there take no lock on them at all, as a lock word shared by every thread
    // would be passed between the CPUs at each callback.
    if (!allowedInThreadSafeCall(xlfn))
        writeLock.lock();
    else if (!threadSafetyChecksOn.load(std::memory_order_relaxed))
        readLock.lock();
    const int maxCount = g == Generation::Four ? kMaxArguments4 : kMaxArguments12;
    int code = xlretSuccess;
    if (insideThreadSafeCall && threadSafetyChecksOn.load(std::memory_order_relaxed) &&
        !allowedInThreadSafeCall(xlfn)) {
        code = xlretNotThreadSafe;
    } else if (const auto forced = s.failures.find(xlfn); forced != s.failures.end()) {
        code = forced->second;
    } else if (count < 0 || count > maxCount || (count > 0 && args == nullptr)) {
        code = xlretInvCount;
    } else if (xlfn == xlFree) {
        code = freeResults(s, count, args);
    } else {
        std::vector<Value> values;
        values.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count && code == xlretSuccess; ++i) {
            auto v = readRecord(args[i]);
            if (v)
                values.push_back(std::move(*v));
            else
                code = xlretInvXloper;
        }
        if (code == xlretSuccess) {
            Answer a = run(s, xlfn, std::move(values), g);
            code = a.code;
            if (code == xlretSuccess && a.value && result != nullptr) {
                if (!fitsRecord(*a.value, g))
                    a.value = Value::error(xlerrValue);
                ResultStorage storage;
                writeRecord(*a.value, *result, storage);
                if (!storage.blocks.empty()) {
                    std::lock_guard books(s.books);
                    s.ledger.add(std::move(storage));
                }
            }
        }
    }
    callsOfThisThread.push_back(Call{xlfn, g, count, code});
    return code;
}

template <typename Record>
std::optional<Value> readWithoutMarkers(const Record* record) {
    if (record == nullptr)
        return std::nullopt;
    Record copy = *record;
    copy.xltype &= ~(xlbitXLFree | xlbitDLLFree);
    return readRecord(&copy);
}

} // namespace

// ---- control ----

void setThreadSafetyChecks(bool on) {
    threadSafetyChecksOn.store(on, std::memory_order_relaxed);
}

bool threadSafetyChecks() {
    return threadSafetyChecksOn.load(std::memory_order_relaxed);
}

void setInThreadSafeCall(bool inside) {
    insideThreadSafeCall = inside;
}

void reset() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.versionText = "16.0";
    s.libraryName.clear();
    s.windows.setWizard(false);
    s.registrations.clear();
    s.nextId = kFirstRegistrationId;
    s.statusBar.clear();
    callsOfThisThread.clear();
    s.coerceFailure = CoerceFailure::ErrorValue;
    s.failures.clear();
    s.cells.clear();
    s.ledger.clear();
    s.reported = false;
    threadSafetyChecksOn.store(false, std::memory_order_relaxed);
}

void setVersion(int major) {
    setVersionText(std::to_string(major) + ".0");
}

void setVersionText(const std::string& text) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.versionText = text;
}

std::string versionText() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.versionText;
}

void setLibraryName(const std::string& name) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.libraryName = name;
}

std::string libraryName() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.libraryName;
}

void setFunctionWizard(bool open) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.windows.setWizard(open);
}

bool functionWizard() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.windows.wizard();
}

std::uintptr_t hostWindow() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.windows.hostWindow();
}

std::vector<Window> topLevelWindows() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.windows.list();
}

void setTopLevelWindows(const std::vector<Window>& windows) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.windows.setList(windows);
}

std::vector<Registration> registrations() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.registrations;
}

std::vector<StatusMessage> statusBarLog() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.statusBar;
}

std::vector<Call> callLog() {
    return callsOfThisThread;
}

void setCoerceFailure(CoerceFailure mode) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.coerceFailure = mode;
}

void failFunction(int function, int code) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (code == 0)
        s.failures.erase(function);
    else
        s.failures[function] = code;
}

void setCell(int32_t row, int32_t column, const Value& value) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.cells[{row, column}] = value;
}

std::string LedgerReport::text() const {
    std::string out;
    for (const std::string& p : problems)
        out += "xlhost: " + p + "\n";
    if (outstanding != 0)
        out += "xlhost: leak: " + std::to_string(outstanding) +
               " result(s) the host returned were never given back "
               "with xlFree\n";
    return out;
}

LedgerReport ledger() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    LedgerReport report;
    report.outstanding = s.ledger.outstanding();
    report.problems = s.ledger.problems();
    return report;
}

LedgerReport shutdownReport() {
    LedgerReport report = ledger();
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.reported = true;
    return report;
}

int dispatch4(int xlfn, XLOPER* result, int count, XLOPER* args[]) {
    return dispatch(Generation::Four, xlfn, result, count, args);
}

int dispatch12(int xlfn, int count, XLOPER12* args[], XLOPER12* result) {
    return dispatch(Generation::Twelve, xlfn, result, count, args);
}

std::optional<Value> readValue(const XLOPER* record) {
    return readWithoutMarkers(record);
}

std::optional<Value> readValue(const XLOPER12* record) {
    return readWithoutMarkers(record);
}

int publishWindows(const XlHostWindow** windows) {
    // Without the lock: the add-in's function-wizard test reads the list several times in every call.
    return state().windows.publish(windows);
}

} // namespace xlhost
