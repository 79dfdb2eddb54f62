// The stand-in host's answers to an add-in: version, windows, registrations, status bar, the memory ledger
// and the codes of bad calls. Built as a host executable, so MdCallBack12 is found in the main module.

#include "platform/StandInWindows.h"
#include "xlhost/common/Text.h"
#include "xlhost/core/StandInHost.h"
#include "xlhost/program/Arguments.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

extern "C" int Excel4(int xlfn, XLOPER* result, int count, ...);

using namespace xlhost;

namespace {

void* mainModuleSymbol(const char* name) {
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(nullptr), name));
#else
    return dlsym(dlopen(nullptr, RTLD_NOW), name);
#endif
}

class XlhostHost : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }

    XLOPER* record4(const Value& v) {
        auto* r = static_cast<XLOPER*>(storage.allocate(sizeof(XLOPER)));
        std::memset(static_cast<void*>(r), 0, sizeof(XLOPER));
        writeRecord(v, *r, storage);
        return r;
    }
    XLOPER12* record12(const Value& v) {
        auto* r = static_cast<XLOPER12*>(storage.allocate(sizeof(XLOPER12)));
        std::memset(static_cast<void*>(r), 0, sizeof(XLOPER12));
        writeRecord(v, *r, storage);
        return r;
    }

    // Registers through Excel4v with 4-generation texts, as the add-in does.
    XLOPER registerWith(const std::vector<std::u16string>& texts) {
        std::vector<XLOPER*> args;
        for (const auto& t : texts)
            args.push_back(record4(Value::str(t)));
        XLOPER result{};
        EXPECT_EQ(dispatch4(xlfRegister, &result, static_cast<int>(args.size()), args.data()), xlretSuccess);
        return result;
    }

    ArgumentStorage storage;
};

} // namespace

TEST_F(XlhostHost, VersionTextInBothGenerations) {
    setVersion(12);
    XLOPER result{};
    ASSERT_EQ(Excel4(xlfGetWorkspace, &result, 1, record4(Value::integer(2))), xlretSuccess);
    EXPECT_EQ(readValue(&result), Value::str(u"12.0"));
    Excel4(xlFree, nullptr, 1, &result);

    auto md = reinterpret_cast<MdCallBack12Proc>(mainModuleSymbol("MdCallBack12"));
    ASSERT_NE(md, nullptr) << "host executables export MdCallBack12";
    setVersion(16);
    XLOPER12 result12{};
    XLOPER12* args[] = {record12(Value::number(2))};
    ASSERT_EQ(md(xlfGetWorkspace, 1, args, &result12), xlretSuccess);
    EXPECT_EQ(readValue(&result12), Value::str(u"16.0"));
    XLOPER12* freeArgs[] = {&result12};
    md(xlFree, 1, freeArgs, nullptr);

    // Only the version is known.
    ASSERT_EQ(Excel4(xlfGetWorkspace, &result, 1, record4(Value::number(1))), xlretSuccess);
    EXPECT_EQ(readValue(&result), Value::error(xlerrValue));
    EXPECT_TRUE(ledger().clean()) << ledger().text();
}

TEST_F(XlhostHost, HostWindowAndTheFunctionWizard) {
    const std::uintptr_t host = hostWindow();
    XLOPER w4{};
    ASSERT_EQ(Excel4(xlGetHwnd, &w4, 0), xlretSuccess);
    ASSERT_EQ(w4.xltype, xltypeInt);
    EXPECT_EQ(static_cast<uint16_t>(w4.val.w), host & 0xFFFF) << "the 4-generation holds the low 16 bits";
    XLOPER12 w12{};
    ASSERT_EQ(dispatch12(xlGetHwnd, 0, nullptr, &w12), xlretSuccess);
    EXPECT_EQ(static_cast<uint32_t>(w12.val.w), host & 0xFFFFFFFF);

#if !defined(_WIN32)
    auto windows =
        reinterpret_cast<XlHostTopLevelWindowsProc>(dlsym(RTLD_DEFAULT, kXlHostTopLevelWindowsSymbol));
    ASSERT_NE(windows, nullptr);
    // The add-in's test: a "bosa_sdm_XL" window whose parent's low 16 bits are the host window's.
    auto wizardWindows = [&] {
        const XlHostWindow* list = nullptr;
        const int n = windows(&list);
        int found = 0;
        for (int i = 0; i < n; ++i)
            if (std::strncmp(list[i].className, "bosa_sdm_XL", 11) == 0 &&
                (list[i].parent & 0xFFFF) == (host & 0xFFFF))
                ++found;
        return found;
    };
    EXPECT_EQ(wizardWindows(), 0);
    setFunctionWizard(true);
    EXPECT_TRUE(functionWizard());
    EXPECT_EQ(wizardWindows(), 1);
    setFunctionWizard(false);
    EXPECT_EQ(wizardWindows(), 0);

    setTopLevelWindows({{0x10, 0, "Other"}, {0x20, host, "bosa_sdm_XL9"}});
    EXPECT_EQ(wizardWindows(), 1);
    EXPECT_EQ(topLevelWindows().size(), 2u);
#endif
}

TEST_F(XlhostHost, RegistrationsAsReceived) {
    const std::u16string module = u"/addins/a.xll";
    const XLOPER first = registerWith({module, u"xlf_One", u"PBC%P", u"f_One", u"x, s, v", u"", u"Cat", u"",
                                       u"", u" help ", u" x ", u" s ", u" v "});
    EXPECT_EQ(readValue(&first), Value::number(1001));
    const XLOPER again = registerWith({u"/ADDINS/A.XLL", u"xlf_One", u"QBQ!"});
    EXPECT_EQ(readValue(&again), Value::number(1001)) << "same module and procedure: same id";
    const XLOPER second = registerWith({module, u"xlf_Two", u"Q"});
    EXPECT_EQ(readValue(&second), Value::number(1002));

    for (const auto& bad : std::vector<std::vector<std::u16string>>{{module, u"xlf_Bad"},
                                                                    {module, u"", u"P"},
                                                                    {module, u"xlf_Bad", u"PZ"},
                                                                    {module, u"xlf_Bad", u"P%"}}) {
        const XLOPER refused = registerWith(bad);
        EXPECT_EQ(readValue(&refused), Value::error(xlerrValue));
    }

    const auto table = registrations();
    ASSERT_EQ(table.size(), 3u);
    ASSERT_EQ(table[0].values.size(), 13u);
    EXPECT_EQ(table[0].values[12], Value::str(u" v "));
    EXPECT_EQ(table[0].values[5], Value::str(u""));

    XLOPER result{};
    ASSERT_EQ(Excel4(xlfUnregister, &result, 1, record4(Value::number(1001))), xlretSuccess);
    EXPECT_EQ(readValue(&result), Value::boolean(true));
    EXPECT_FALSE(registrations()[0].active);
    EXPECT_FALSE(registrations()[1].active);
    EXPECT_TRUE(registrations()[2].active);
    ASSERT_EQ(Excel4(xlfUnregister, &result, 1, record4(Value::number(1001))), xlretSuccess);
    EXPECT_EQ(readValue(&result), Value::boolean(false));
    EXPECT_TRUE(ledger().clean()) << ledger().text();
}

TEST_F(XlhostHost, StatusBarAndLibraryName) {
    setLibraryName("C:\\addins\\t\xC3\xA9st.xll");
    XLOPER name4{};
    ASSERT_EQ(Excel4(xlGetName, &name4, 0), xlretSuccess);
    EXPECT_EQ(readValue(&name4), Value::str(u"C:\\addins\\t\u00e9st.xll"));
    EXPECT_EQ(name4.val.str[0], 18) << "counted in single bytes";
    Excel4(xlFree, nullptr, 1, &name4);

    EXPECT_EQ(Excel4(xlcMessage, nullptr, 2, record4(Value::boolean(true)), record4(Value::str(u"Working"))),
              xlretSuccess);
    EXPECT_EQ(Excel4(xlcMessage, nullptr, 1, record4(Value::boolean(false))), xlretSuccess);
    const auto log = statusBarLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(log[0].shown);
    EXPECT_EQ(log[0].text, "Working");
    EXPECT_FALSE(log[1].shown);
    EXPECT_TRUE(ledger().clean()) << ledger().text();
}

TEST_F(XlhostHost, LedgerCatchesLeaksAndBadFrees) {
    setLibraryName("a.xll");
    XLOPER name{};
    ASSERT_EQ(Excel4(xlGetName, &name, 0), xlretSuccess);
    EXPECT_EQ(ledger().outstanding, 1u);
    EXPECT_FALSE(ledger().clean());

    XLOPER copy = name;
    EXPECT_EQ(Excel4(xlFree, nullptr, 1, &name), xlretSuccess);
    EXPECT_TRUE(ledger().clean());
    Excel4(xlFree, nullptr, 1, &copy);
    ASSERT_EQ(ledger().problems.size(), 1u);
    EXPECT_NE(ledger().problems[0].find("double xlFree"), std::string::npos) << ledger().problems[0];

    // A text the host never returned, and a record still carrying the add-in's own marker.
    XLOPER* own = record4(Value::str(u"mine"));
    Excel4(xlFree, nullptr, 1, own);
    own->xltype |= 0x8000;
    EXPECT_EQ(Excel4(xlFree, nullptr, 1, own), xlretInvXloper);
    const auto problems = ledger().problems;
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_NE(problems[1].find("never returned"), std::string::npos) << problems[1];
    EXPECT_NE(problems[2].find("0x8002"), std::string::npos) << problems[2];
    EXPECT_FALSE(shutdownReport().clean());

    // Values without memory behind them need no free but may be given one.
    XLOPER number{};
    number.xltype = xltypeNum;
    reset();
    EXPECT_EQ(Excel4(xlFree, nullptr, 1, &number), xlretSuccess);
    EXPECT_TRUE(ledger().clean());
}

TEST_F(XlhostHost, CodesOfBadCalls) {
    XLOPER result{};
    EXPECT_EQ(Excel4(9999, &result, 0), xlretInvXlfn);
    EXPECT_EQ(Excel4(xlGetName, &result, 31), xlretInvCount);
    std::vector<XLOPER12*> many(256, record12(Value::number(1)));
    XLOPER12 result12{};
    EXPECT_EQ(dispatch12(xlcMessage, 256, many.data(), &result12), xlretInvCount);
    XLOPER* nullArg[] = {nullptr};
    EXPECT_EQ(dispatch4(xlCoerce, &result, 1, nullArg), xlretInvXloper);
    XLOPER* marked = record4(Value::number(1));
    marked->xltype |= 0x8000;
    EXPECT_EQ(Excel4(xlCoerce, &result, 1, marked), xlretInvXloper);
    XLOPER noText{};
    noText.xltype = xltypeStr;
    EXPECT_EQ(Excel4(xlCoerce, &result, 1, &noText), xlretInvXloper);

    failFunction(xlGetName, xlretFailed);
    EXPECT_EQ(Excel4(xlGetName, &result, 0), xlretFailed);
    failFunction(xlGetName, 0);
    EXPECT_EQ(Excel4(xlGetName, &result, 0), xlretSuccess);
    Excel4(xlFree, nullptr, 1, &result);

    const auto calls = callLog();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().function, 9999);
    EXPECT_EQ(calls.front().code, xlretInvXlfn);
    EXPECT_EQ(calls[2].generation, Generation::Twelve);
    EXPECT_TRUE(ledger().clean()) << ledger().text();
}

// On calculation threads a thread-safe function may make only the callbacks the host allows there; every
// other one answers 128 without doing anything, on that thread only.
TEST_F(XlhostHost, CalculationThreadsRefuseCallbacksAThreadSafeFunctionMayNotMake) {
    setThreadSafetyChecks(true);
    XLOPER two = *record4(Value::number(2));
    XLOPER result{};
    struct Row {
        int function;
        int code; // inside a thread-safe call
    };
    const Row rows[] = {
        {xlfGetWorkspace, xlretNotThreadSafe},
        {xlGetName, xlretNotThreadSafe},
        {xlcMessage, xlretNotThreadSafe},
        {xlfRegister, xlretNotThreadSafe},
        {xlGetHwnd, xlretSuccess},
        {xlCoerce, xlretSuccess},
    };
    std::size_t refusedBefore = 0;
    for (const Row& row : rows) {
        SCOPED_TRACE("function " + std::to_string(row.function));
        {
            ThreadSafeCallScope scope(true);
            const int code = row.function == xlCoerce || row.function == xlfGetWorkspace
                                 ? Excel4(row.function, &result, 1, &two)
                                 : Excel4(row.function, &result, 0);
            EXPECT_EQ(code, row.code);
            if (code == xlretSuccess)
                Excel4(xlFree, nullptr, 1, &result);
        }
        const auto calls = callLog();
        EXPECT_EQ(calls.at(refusedBefore).code, row.code) << "logged with the code answered";
        refusedBefore = calls.size();
    }
    EXPECT_TRUE(registrations().empty()) << "a refused registration does nothing";
    EXPECT_TRUE(statusBarLog().empty());

    // Outside the call, on another thread, and with the checks off, the same callbacks are served.
    EXPECT_EQ(Excel4(xlfGetWorkspace, &result, 1, &two), xlretSuccess);
    Excel4(xlFree, nullptr, 1, &result);
    ThreadSafeCallScope scope(true);
    std::thread other([&] {
        XLOPER mine{};
        EXPECT_EQ(Excel4(xlfGetWorkspace, &mine, 1, &two), xlretSuccess) << "each thread its own context";
        Excel4(xlFree, nullptr, 1, &mine);
    });
    other.join();
    setThreadSafetyChecks(false);
    EXPECT_EQ(Excel4(xlfGetWorkspace, &result, 1, &two), xlretSuccess);
    Excel4(xlFree, nullptr, 1, &result);
    EXPECT_TRUE(ledger().clean()) << ledger().text();
}

// Several threads taking and giving back host memory at once: the ledger counts every result exactly once.
TEST_F(XlhostHost, CalculationThreadsKeepTheLedgerExact) {
    constexpr int kThreads = 4;
    constexpr int kCalls = 500;
    setLibraryName("C:\\addins\\tavrin.xll");
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([] {
            XLOPER name{};
            for (int call = 0; call < kCalls; ++call) {
                ASSERT_EQ(Excel4(xlGetName, &name, 0), xlretSuccess);
                if (call % 2 == 0) // every other one given back at once, the rest after the loop
                    Excel4(xlFree, nullptr, 1, &name);
            }
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(ledger().outstanding, std::size_t{kThreads * kCalls / 2}) << ledger().text();
    EXPECT_TRUE(ledger().problems.empty());
}
