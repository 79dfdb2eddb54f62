// The Windows services of the platform layer, against the real system calls (run under Wine in CI).

#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "platform/Platform.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

// Exported by this test program, so that look-ups through the main module have something to find (the host
// executable exports its 12-generation callback the same way).
extern "C" __declspec(dllexport) int tavrin_platform_probe() {
    return 42;
}

namespace {

int probeData = 0;

std::string testProgramName() {
    char name[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    return name;
}

TEST(PlatformModules, LoadsLibrariesAndFindsTheirSymbols) {
    const auto kernel = platform::loadLibrary("kernel32.dll");
    ASSERT_NE(kernel, nullptr);
    EXPECT_EQ(platform::findSymbol(kernel, "GetProcAddress"),
              reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetProcAddress")));
    EXPECT_EQ(platform::findSymbol(kernel, "NoSuchFunctionAnywhere"), nullptr);
    EXPECT_EQ(platform::findSymbol(nullptr, "GetProcAddress"), nullptr);

    EXPECT_EQ(platform::loadLibrary("tavrin_no_such_library.dll"), nullptr);
    EXPECT_EQ(platform::loadLibrary(""), nullptr);
    EXPECT_EQ(platform::loadLibrary(nullptr), nullptr);
}

TEST(PlatformModules, MainModuleExportsAreFound) {
    const auto self = platform::mainModule();
    ASSERT_NE(self, nullptr);
    auto* probe = reinterpret_cast<int (*)()>(platform::findSymbol(self, "tavrin_platform_probe"));
    ASSERT_NE(probe, nullptr);
    EXPECT_EQ(probe(), 42);
}

TEST(PlatformModules, AnAddressBelongsToTheModuleThatHoldsIt) {
    // How the add-in finds its own file: from the address of one of its static objects.
    EXPECT_EQ(platform::moduleOfAddress(&probeData), platform::mainModule());
    EXPECT_EQ(platform::moduleOfAddress(reinterpret_cast<const void*>(&tavrin_platform_probe)),
              platform::mainModule());
    const auto kernel = platform::loadLibrary("kernel32.dll");
    EXPECT_EQ(platform::moduleOfAddress(platform::findSymbol(kernel, "GetProcAddress")), kernel);
    EXPECT_EQ(platform::moduleOfAddress(nullptr), nullptr);
}

TEST(PlatformModules, FileNamesAreFullAndCutToTheLimit) {
    const std::string full = platform::moduleFileName(platform::mainModule());
    EXPECT_EQ(full, testProgramName());
    EXPECT_NE(full.find('\\'), std::string::npos);

    const struct {
        std::size_t maxChars;
        std::size_t expected;
    } rows[] = {{0, 0}, {1, 1}, {5, 5}, {full.size(), full.size()}, {full.size() + 10, full.size()}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.maxChars);
        const std::string cut = platform::moduleFileName(platform::mainModule(), row.maxChars);
        EXPECT_EQ(cut, full.substr(0, row.expected));
    }
    // An absurd limit must not allocate that much.
    EXPECT_EQ(platform::moduleFileName(platform::mainModule(), static_cast<std::size_t>(-1)), full);
    EXPECT_EQ(platform::moduleFileName(nullptr), "");
}

TEST(PlatformEnvironment, LongValuesNeedASecondReadOfTheReportedSize) {
    const char* name = "TAVRIN_PLATFORM_TEST_VARIABLE";
    const std::string value(5000, 'x');
    ASSERT_TRUE(platform::setEnvironmentVariable(name, value.c_str()));

    std::vector<char> buffer(4096);
    const auto needed = platform::getEnvironmentVariable(name, buffer.data(), 4096);
    EXPECT_EQ(needed, 5001u); // the terminator counts when it does not fit

    buffer.resize(needed);
    EXPECT_EQ(platform::getEnvironmentVariable(name, buffer.data(), needed), 5000u);
    EXPECT_EQ(std::string(buffer.data()), value);

    // Exactly fitting: length plus terminator.
    ASSERT_TRUE(platform::setEnvironmentVariable(name, "abc"));
    char small[4] = {};
    EXPECT_EQ(platform::getEnvironmentVariable(name, small, 4), 3u);
    EXPECT_STREQ(small, "abc");
    EXPECT_EQ(platform::getEnvironmentVariable(name, small, 3), 4u);
    EXPECT_EQ(platform::getEnvironmentVariable(name, nullptr, 0), 4u);

    ASSERT_TRUE(platform::setEnvironmentVariable(name, nullptr)); // removes it
    EXPECT_EQ(platform::getEnvironmentVariable(name, small, 4), 0u);
    EXPECT_FALSE(platform::setEnvironmentVariable("", "x"));
}

TEST(PlatformEnvironment, PathChangesReachLibrarySearch) {
    // The add-in extends "Path" so that libraries beside it are found; the process's own search must see it.
    std::vector<char> old(32768);
    const auto length =
        platform::getEnvironmentVariable("Path", old.data(), static_cast<std::uint32_t>(old.size()));
    ASSERT_GT(length, 0u);
    ASSERT_LT(length, old.size());
    const std::string extended = std::string(old.data(), length) + ";C:\\tavrin-test-folder";
    ASSERT_TRUE(platform::setEnvironmentVariable("Path", extended.c_str()));
    char seen[32768] = {};
    GetEnvironmentVariableA("PATH", seen, sizeof seen); // names are not case-sensitive
    EXPECT_EQ(std::string(seen), extended);
    ASSERT_TRUE(platform::setEnvironmentVariable("Path", old.data()));
}

TEST(PlatformMutex, OneNamedMutexIsSharedAndReentrantForItsHolder) {
    const char* name = "tavrin_platform_test_mutex";
    const auto first = platform::openNamedMutex(name);
    const auto second = platform::openNamedMutex(name);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    const auto heldElsewhere = [&] {
        std::atomic<DWORD> result{0};
        std::thread other([&] {
            result = WaitForSingleObject(second, 0);
            if (result == WAIT_OBJECT_0)
                ReleaseMutex(second);
        });
        other.join();
        return result.load() == WAIT_TIMEOUT;
    };

    ASSERT_TRUE(platform::waitForMutex(first));
    EXPECT_TRUE(heldElsewhere());                // the same mutex, through the other handle
    ASSERT_TRUE(platform::waitForMutex(second)); // the holder may take it again
    platform::releaseMutex(first);
    EXPECT_TRUE(heldElsewhere()); // one release per wait
    platform::releaseMutex(second);
    EXPECT_FALSE(heldElsewhere());

    platform::closeMutex(first);
    platform::closeMutex(second);
    EXPECT_FALSE(platform::waitForMutex(nullptr));
    platform::releaseMutex(nullptr);
    platform::closeMutex(nullptr);
}

TEST(PlatformMutex, AnAbandonedMutexIsStillTaken) {
    const auto mutex = platform::openNamedMutex("tavrin_platform_test_abandoned");
    ASSERT_NE(mutex, nullptr);
    std::thread([&] { WaitForSingleObject(mutex, INFINITE); }).join(); // exits holding it
    EXPECT_TRUE(platform::waitForMutex(mutex));
    platform::releaseMutex(mutex);
    platform::closeMutex(mutex);
}

TEST(PlatformDebugger, NoDebuggerIsAttachedAndOutputIsHarmless) {
    EXPECT_FALSE(platform::isDebuggerPresent());
    platform::debuggerOutput("platform test line\n");
    platform::debuggerOutput(nullptr);
}

// A main window and a dialog-like popup it owns, as the host and its function-entry dialog appear.
class PlatformWindows : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "TavrinTestMain";
        RegisterClassA(&windowClass);
        windowClass.lpszClassName = "bosa_sdm_XL9";
        RegisterClassA(&windowClass);
        main = CreateWindowExA(0, "TavrinTestMain", "main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, windowClass.hInstance, nullptr);
        dialog = CreateWindowExA(0, "bosa_sdm_XL9", "dialog", WS_POPUP, 0, 0, 50, 50, main, nullptr,
                                 windowClass.hInstance, nullptr);
        ASSERT_NE(main, nullptr);
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override {
        if (dialog != nullptr)
            DestroyWindow(dialog);
        if (main != nullptr)
            DestroyWindow(main);
    }
    static platform::WindowHandle handle(HWND window) {
        return reinterpret_cast<platform::WindowHandle>(window);
    }

    HWND main = nullptr;
    HWND dialog = nullptr;
};

TEST_F(PlatformWindows, EnumerationSeesTopLevelWindowsWithClassAndOwner) {
    bool sawMain = false;
    bool sawDialog = false;
    platform::enumerateTopLevelWindows([&](platform::WindowHandle window) {
        sawMain = sawMain || window == handle(main);
        sawDialog = sawDialog || window == handle(dialog);
        return true;
    });
    EXPECT_TRUE(sawMain);
    EXPECT_TRUE(sawDialog);

    EXPECT_EQ(platform::windowClassName(handle(dialog), 50), "bosa_sdm_XL9");
    EXPECT_EQ(platform::windowClassName(handle(dialog), 4), "bosa");
    EXPECT_EQ(platform::windowClassName(handle(dialog), 0), "");
    EXPECT_EQ(platform::windowClassName(0, 50), "");
    EXPECT_EQ(platform::windowParent(handle(dialog)), handle(main));
    EXPECT_EQ(platform::windowParent(handle(main)), 0u);
    EXPECT_EQ(platform::windowParent(0), 0u);
}

TEST_F(PlatformWindows, VisitorStopsTheEnumerationAndItsExceptionsComeBackOut) {
    int visits = 0;
    platform::enumerateTopLevelWindows([&](platform::WindowHandle) {
        ++visits;
        return false;
    });
    EXPECT_EQ(visits, 1);

    // Thrown through the system's callback frames this would be undefined; it must arrive here intact.
    EXPECT_THROW(platform::enumerateTopLevelWindows([](platform::WindowHandle) -> bool { throw 7; }), int);
    platform::enumerateTopLevelWindows({}); // an empty visitor does nothing
}

TEST(PlatformTexts, ComparisonIgnoresCaseUnderFixedRules) {
    const struct {
        std::string_view a, b;
        int sign;
    } rows[] = {
        {"bosa_sdm_XL", "BOSA_SDM_xl", 0},
        {"bosa_sdm_XL", "bosa_sdm_XL9", -1},
        {"bosa_sdm_XM", "bosa_sdm_XL9", 1},
        {"abc", "abd", -1},
        {"", "", 0},
        {"", "a", -1},
        {"a", "", 1},
        // Only the view's characters take part, not what follows them in memory.
        {std::string_view("bosa_sdm_XL9").substr(0, 11), "bosa_sdm_xl", 0},
        {std::string_view("abc\0def", 7), std::string_view("ABC\0DEF", 7), 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.a) + " vs " + std::string(row.b));
        const int result = platform::compareIgnoreCaseEnUs(row.a, row.b);
        EXPECT_EQ((result > 0) - (result < 0), row.sign);
    }
}

TEST(PlatformErrors, LastErrorAndItsSystemText) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(platform::lastSystemError(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));

    const std::string text = platform::systemErrorText(ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), '\n');
    EXPECT_NE(text.back(), '\r');
    EXPECT_EQ(platform::systemErrorText(0xDEADBEEF), ""); // no such code: no text, no crash
}

} // namespace
