// XlfExcel through the stand-in host: the generation choice, host calls, the temporary-memory arenas of the
// calling threads, and the function-wizard test.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <new>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>
#include <vector>

#include "BridgeTestSupport.h"
#include "platform/Platform.h"
#include "src/Messages.h"
#include "src/Win32StreamBuf.h"
#include "src/XlfDiagnostics.h"

using namespace xll;
using bridge_test::BridgeTest;
using bridge_test::hostView;
using bridge_test::storedNarrow;

namespace {

TEST(GenerationChoice, OnlyVersion12UsesThe12GenerationApi) {
    struct Case {
        int version;
        bool excel12;
        const char* oper;
        const char* xloper;
        const char* wideText;
    };
    const Case cases[] = {
        {11, false, "P", "R", "C"},
        {12, true, "Q", "U", "C%"},
        {14, false, "P", "R", "C"},
        {16, false, "P", "R", "C"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        bridge_test::restartWithVersion(c.version);
        const XlfExcel& excel = XlfExcel::instance();
        EXPECT_EQ(excel.isExcel12(), c.excel12);
        EXPECT_EQ(excel.xlfOperType(), c.oper);
        EXPECT_EQ(excel.xlfXloperType(), c.xloper);
        EXPECT_EQ(excel.wStrType(), c.wideText);
        // Values now take the chosen generation's record, and so do the host calls.
        EXPECT_EQ(XlfOper(true).toDouble(), 1.0);
        const auto calls = xlhost::callLog();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back().generation, c.excel12 ? xlhost::Generation::Twelve : xlhost::Generation::Four);
    }
    XlfExcel::deleteInstance();
    EXPECT_TRUE(xlhost::ledger().clean()) << xlhost::ledger().text(); // the version text was freed
}

class ArenaTest : public BridgeTest {};
INSTANTIATE_TEST_SUITE_P(Generations, ArenaTest, ::testing::Values(16, 12), bridge_test::generationName);

using Sizes = std::vector<std::size_t>;

TEST_P(ArenaTest, ARequestThatDoesNotFitMovesToABufferHalfAsLargeAgain) {
    XlfExcel& excel = XlfExcel::instance();
    excel.freeMemory(true);
    auto* first = static_cast<char*>(excel.getMemory(8000));
    EXPECT_EQ(excel.bufferSizes(), Sizes{8192});
    auto* second = static_cast<char*>(excel.getMemory(500));
    EXPECT_EQ(excel.bufferSizes(), (Sizes{8192, 12288}));
    EXPECT_EQ(excel.bufferOffset(), 500u);
    EXPECT_TRUE(second < first || second >= first + 8192) << "served from the new buffer";

    // Exactly filling the rest of a buffer moves on too.
    excel.freeMemory(true);
    excel.getMemory(8000);
    excel.getMemory(192);
    EXPECT_EQ(excel.bufferSizes(), (Sizes{8192, 12288}));
}

TEST_P(ArenaTest, OneLargeRequestAddsBuffersUntilItFits) {
    XlfExcel& excel = XlfExcel::instance();
    excel.freeMemory(true);
    excel.getMemory(16);
    auto* block = static_cast<char*>(excel.getMemory(20000));
    EXPECT_EQ(excel.bufferSizes(), (Sizes{8192, 12288, 18432, 27648}));
    EXPECT_EQ(excel.bufferOffset(), 20000u);

    // Releasing between calls keeps only the newest buffer, and the next block starts at its beginning.
    excel.freeMemory(false);
    EXPECT_EQ(excel.bufferSizes(), Sizes{27648});
    EXPECT_EQ(excel.getMemory(8), block);
    excel.freeMemory(true);
    EXPECT_TRUE(excel.bufferSizes().empty());
}

TEST_P(ArenaTest, BlocksAreAlignedForRecordsAndHugeRequestsFailCleanly) {
    XlfExcel& excel = XlfExcel::instance();
    excel.getMemory(3);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(excel.getMemory(sizeof(XLOPER12))) % 8, 0u);
    const Sizes before = excel.bufferSizes();
    EXPECT_THROW(excel.getMemory(std::size_t(-1) / 2), std::bad_alloc);
    EXPECT_THROW(excel.getMemory(std::size_t(-1)), std::bad_alloc);
    EXPECT_EQ(excel.bufferSizes(), before);
}

TEST_P(ArenaTest, NoLockIsTakenEvenWhileAnotherThreadHoldsXllMutex) {
    // Calls on calculation threads must never wait for one another, or for anything a host thread holds.
    XlfExcel& excel = XlfExcel::instance();
    platform::MutexHandle mutex = platform::openNamedMutex("xll_mutex");
    ASSERT_TRUE(platform::waitForMutex(mutex));
    std::atomic<bool> done{false};
    std::thread other([&] {
        excel.freeMemory(false);
        excel.getMemory(64);
        done = true;
    });
    for (int i = 0; i < 500 && !done; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(done) << "the arena waited for \"xll_mutex\"";
    platform::releaseMutex(mutex);
    other.join();
    platform::closeMutex(mutex);
}

TEST_P(ArenaTest, EachThreadReleasesOnlyItsOwnArena) {
    XlfExcel& excel = XlfExcel::instance();
    excel.freeMemory(true);
    auto* mine = static_cast<char*>(excel.getMemory(100));
    std::memset(mine, 'm', 100);
    Sizes otherSizes;
    std::thread other([&] {
        // The other thread's next call releases its own previous values, never this thread's.
        EXPECT_TRUE(excel.bufferSizes().empty()) << "a new thread starts with no buffer";
        for (int call = 0; call < 3; ++call) {
            excel.freeMemory(false);
            std::memset(excel.getMemory(8000), 'o', 8000);
            std::memset(excel.getMemory(500), 'o', 500);
        }
        otherSizes = excel.bufferSizes();
    });
    other.join();
    EXPECT_EQ(otherSizes, Sizes{12288}) << "the newest buffer stays, and later calls fit in it";
    EXPECT_EQ(excel.bufferSizes(), Sizes{8192});
    EXPECT_EQ(excel.bufferOffset(), 100u);
    EXPECT_EQ(std::string(mine, 100), std::string(100, 'm'));
    EXPECT_EQ(excel.arenaCount(), 2u) << "the ended thread's arena waits for the close";
    // Closing frees every thread's arena (the leak checkers watch this).
    XlfExcel::deleteInstance();
    EXPECT_EQ(XlfExcel::instance().arenaCount(), 0u);
}

TEST_P(ArenaTest, ValuesBuiltOnSeveralThreadsAtOnceStayIntactUntilTheirThreadsNextCall) {
    constexpr int kThreads = 4;
    constexpr int kCalls = 300;
    XlfExcel& excel = XlfExcel::instance();
    std::atomic<int> wrong{0};
    auto calls = [&](int thread) {
        for (int call = 0; call < kCalls; ++call) {
            excel.freeMemory(false); // what every entry point does first
            const std::string text = "thread " + std::to_string(thread) + " call " + std::to_string(call);
            const XlfOper number(thread * 1000.0 + call);
            const XlfOper words(text);
            std::this_thread::yield(); // let the other threads take and release their memory meanwhile
            if (hostView(number) != xlhost::Value::number(thread * 1000.0 + call) ||
                hostView(words) != xlhost::Value::str(storedNarrow(std::u16string(text.begin(), text.end()))))
                ++wrong;
        }
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(calls, t);
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(excel.arenaCount(), static_cast<std::size_t>(kThreads));
}

// Diagnostic lines written by calls on several threads at once reach the debugger output (outside Windows,
// the standard error stream) whole: none is cut, mixed with another or lost.
TEST(DiagnosticLines, ThreadsReportingAtOnceNeverMixTheirLines) {
    constexpr int kThreads = 4;
    constexpr int kLines = 200;
    std::FILE* capture = std::tmpfile();
    ASSERT_NE(capture, nullptr);
    std::fflush(stderr);
    const int savedStderr = dup(2);
    ASSERT_GE(savedStderr, 0);
    ASSERT_GE(dup2(fileno(capture), 2), 0);
    {
        Win32StreamBuf debugger;
        std::streambuf* saved = std::cerr.rdbuf(&debugger);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([t] {
                for (int i = 0; i < kLines; ++i)
                    XLL_REPORT("thread " + std::to_string(t) + " line " + std::to_string(i) + " " +
                               std::string(static_cast<std::size_t>(i % 50), 'x'));
            });
        for (std::thread& t : threads)
            t.join();
        std::cerr.rdbuf(saved);
    }
    dup2(savedStderr, 2);
    close(savedStderr);

    std::rewind(capture);
    std::string all;
    for (int c = std::fgetc(capture); c != EOF; c = std::fgetc(capture))
        all.push_back(static_cast<char>(c));
    std::fclose(capture);
    std::istringstream lines(all);
    std::set<std::string> seen;
    for (std::string line; std::getline(lines, line);) {
        const std::size_t colon = line.find("): ");
        ASSERT_NE(colon, std::string::npos) << "a cut line: " << line;
        EXPECT_EQ(line.substr(0, line.find('(')), "bridge_excel_test.cpp") << line;
        seen.insert(line.substr(colon + 3));
    }
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < kLines; ++i)
            EXPECT_EQ(seen.count("thread " + std::to_string(t) + " line " + std::to_string(i) + " " +
                                 std::string(static_cast<std::size_t>(i % 50), 'x')),
                      1u)
                << "thread " << t << " line " << i;
    EXPECT_EQ(seen.size(), std::size_t{kThreads * kLines});
}

class HostCallTest : public BridgeTest {};
INSTANTIATE_TEST_SUITE_P(Generations, HostCallTest, ::testing::Values(16, 12), bridge_test::generationName);

TEST_P(HostCallTest, StatusBarAndLibraryName) {
    const XlfExcel& excel = XlfExcel::instance();
    excel.sendMessage("Registering library...");
    excel.sendMessage();
    const auto log = xlhost::statusBarLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_TRUE(log[0].shown);
    EXPECT_EQ(log[0].text,
              bridge_test::excel12() ? "Registering library..." : std::string("Registering library...", 23));
    EXPECT_FALSE(log[1].shown);

    xlhost::setLibraryName("C:\\addins\\tavrin.xll");
    EXPECT_EQ(excel.libraryName(), "C:\\addins\\tavrin.xll");
    EXPECT_EQ(reported(messages::NoDllName), 0);

    xlhost::failFunction(xlGetName, xlretFailed);
    EXPECT_EQ(excel.libraryName(), "");
    EXPECT_EQ(reported(messages::NoDllName), 1);
}

TEST_P(HostCallTest, ResultsHoldingHostMemoryAreMarked) {
    const XlfExcel& excel = XlfExcel::instance();
    xlhost::setLibraryName("addin.xll");
    XlfOper name;
    ASSERT_EQ(excel.call(xlGetName, name.handle()), 0);
    EXPECT_EQ(name.kind(), xltypeStr | xlbitHostOwned);
    XlfOper number;
    ASSERT_EQ(excel.call(xlCoerce, number.handle(), XlfOper(true), XlfOper(short(xltypeNum))), 0);
    EXPECT_EQ(number.kind(), xltypeNum) << "a number holds no host memory";
    EXPECT_EQ(excel.call(0x7777, nullptr), xlretInvXlfn);
}

TEST_P(HostCallTest, FunctionWizard) {
    const XlfExcel& excel = XlfExcel::instance();
    EXPECT_FALSE(excel.isCalledByFunctionWizard());
    xlhost::setFunctionWizard(true);
    EXPECT_TRUE(excel.isCalledByFunctionWizard());

    // The class is compared ignoring case, as a prefix when longer; the parent's low 16 bits must be the
    // host window's.
    const std::uintptr_t host = xlhost::hostWindow();
    struct Case {
        const char* className;
        std::uintptr_t parent;
        bool wizard;
    };
    const Case cases[] = {
        {"bosa_sdm_XL", host, true},
        {"BOSA_SDM_xl9", host, true},
        {"bosa_sdm_XL12345678", host, true},
        {"bosa_sdm_X", host, false},
        {"bosa_sdm_Mso96", host, false},
        {"bosa_sdm_XL9", host + 0x10000, true}, // only the low 16 bits are compared
        {"bosa_sdm_XL9", host + 1, false},
        {"", host, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.className);
        xlhost::setTopLevelWindows({{0x10, 0, "Other"}, {0x20, c.parent, c.className}});
        EXPECT_EQ(excel.isCalledByFunctionWizard(), c.wizard);
    }

    xlhost::setFunctionWizard(true);
    xlhost::failFunction(xlGetHwnd, xlretFailed);
    EXPECT_FALSE(excel.isCalledByFunctionWizard());
}

TEST(HostAccess, DestroyingTheSingletonFreesTheArenaAndANewOneStartsClean) {
    bridge_test::restartWithVersion(12);
    XlfExcel::instance().getMemory(20000);
    XlfExcel::deleteInstance();
    XlfExcel& again = XlfExcel::instance();
    EXPECT_TRUE(again.bufferSizes().empty());
    XlfExcel::deleteInstance();
}

// ---- the platform services the bridge and the open sequence rely on ----

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

TEST(Platform, EnvironmentReadsWithTheWindowsBufferSemantics) {
    ASSERT_TRUE(platform::setEnvironmentVariable("TAVRIN_BRIDGE_TEST", "abcdef"));
    char buffer[16] = {};
    EXPECT_EQ(platform::getEnvironmentVariable("TAVRIN_BRIDGE_TEST", buffer, 16), 6u);
    EXPECT_STREQ(buffer, "abcdef");
    EXPECT_EQ(platform::getEnvironmentVariable("TAVRIN_BRIDGE_TEST", buffer, 7), 6u)
        << "value and terminator fit";
    EXPECT_EQ(platform::getEnvironmentVariable("TAVRIN_BRIDGE_TEST", buffer, 6), 7u) << "the size needed";
    EXPECT_EQ(platform::getEnvironmentVariable("TAVRIN_BRIDGE_TEST_ABSENT", buffer, 16), 0u);
}

TEST(Platform, ModulesAndSymbols) {
    // The add-in finds its own file this way: the module of one of its own addresses.
    const std::string self =
        platform::moduleFileName(platform::moduleOfAddress(reinterpret_cast<const void*>(&endsWith)));
    EXPECT_TRUE(endsWith(self, "bridge_excel_test")) << self;
    const std::string host =
        platform::moduleFileName(platform::moduleOfAddress(reinterpret_cast<const void*>(&xlhost::reset)));
    EXPECT_TRUE(endsWith(host, "XLCALL32.DLL")) << host;
    EXPECT_EQ(platform::moduleFileName(platform::moduleOfAddress(reinterpret_cast<const void*>(&endsWith)), 4)
                  .size(),
              4u);

    EXPECT_NE(platform::findSymbol(platform::loadLibrary("XLCALL32.DLL"), "Excel4v"), nullptr);
    EXPECT_NE(platform::findSymbol(platform::mainModule(), "MdCallBack12"), nullptr);
    EXPECT_EQ(platform::findSymbol(platform::mainModule(), "NoSuchCallback"), nullptr);
    EXPECT_EQ(platform::loadLibrary("NO_SUCH_LIBRARY.DLL"), nullptr);
}

TEST(Platform, NamedMutexesAreSharedByNameAndReentrant) {
    platform::MutexHandle first = platform::openNamedMutex("tavrin_bridge_test");
    platform::MutexHandle second = platform::openNamedMutex("tavrin_bridge_test");
    ASSERT_TRUE(platform::waitForMutex(first));
    ASSERT_TRUE(platform::waitForMutex(second)) << "the holder may take it again";
    std::atomic<bool> taken{false};
    std::thread other([&] {
        platform::MutexHandle mine = platform::openNamedMutex("tavrin_bridge_test");
        platform::waitForMutex(mine);
        taken = true;
        platform::releaseMutex(mine);
        platform::closeMutex(mine);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(taken);
    platform::releaseMutex(second);
    platform::releaseMutex(first);
    other.join();
    EXPECT_TRUE(taken);
    platform::closeMutex(second);
    platform::closeMutex(first);
}

TEST(Platform, CaseInsensitiveComparison) {
    EXPECT_EQ(platform::compareIgnoreCaseEnUs("bosa_sdm_XL", "BOSA_SDM_xl"), 0);
    EXPECT_LT(platform::compareIgnoreCaseEnUs("abc", "ABD"), 0);
    EXPECT_GT(platform::compareIgnoreCaseEnUs("bosa_sdm_XL9", "bosa_sdm_XL"), 0);
    EXPECT_LT(platform::compareIgnoreCaseEnUs("", "a"), 0);
}

} // namespace
