// Registration through the stand-in host, in both host generations: type texts, the n + 10 values, the
// argument-help and argument-name rules, register all and unregistering.

#include <stdexcept>

#include "BridgeTestSupport.h"
#include "src/Messages.h"
#include "src/XlfExcel.h"
#include "src/XlfFuncDesc.h"
#include "src/XlfRegistration.h"

using namespace xll;
using bridge_test::BridgeTest;
using xlhost::Value;

namespace {

constexpr const char* kLibrary = "C:\\addins\\tavrin.xll";

class RegistrationTest : public BridgeTest {
protected:
    void SetUp() override {
        BridgeTest::SetUp();
        xlhost::setLibraryName(kLibrary);
        registrationList().clear();
    }
    void TearDown() override {
        registrationList().clear();
        BridgeTest::TearDown();
    }
};
// 11: a host before calculation threads; 12: the 12-generation; 16: a later host on the 4-generation API.
INSTANTIATE_TEST_SUITE_P(Generations, RegistrationTest, ::testing::Values(16, 12, 11),
                         bridge_test::generationName);

// The thread-safe mark every function carries on hosts that recalculate on several threads.
std::string mark() {
    return XlfExcel::instance().hostVersion() >= 12 ? "$" : "";
}

// A registration text as the host read it (4-generation bytes, up to the counted terminating zero).
std::string text(const Value& value) {
    EXPECT_EQ(value.kind, xlhost::Kind::Str);
    return std::string(value.text.begin(), value.text.end());
}

XlfFuncDesc plusMonths(bool isVolatile = false, bool threadSafe = false) {
    XlfFuncDesc function("xlsched_plusMonths", "sched_plusMonths", " Adds months ", "Tavrin_Schedules",
                         isVolatile, threadSafe, "");
    function.setArguments(
        {XlfArgDesc("iDate", " Input date ", "B"), XlfArgDesc("iMonths", " Months. ", "XLF_OPER")});
    return function;
}

TEST_P(RegistrationTest, SendsTheTenPlusNValuesAsFourGenerationRecords) {
    ASSERT_EQ(plusMonths().registerWithHost(), 0);
    const auto registrations = xlhost::registrations();
    ASSERT_EQ(registrations.size(), 1u);
    const std::vector<Value>& values = registrations[0].values;
    ASSERT_EQ(values.size(), 12u);
    EXPECT_EQ(text(values[0]), kLibrary);
    EXPECT_EQ(text(values[1]), "xlsched_plusMonths");
    EXPECT_EQ(text(values[2]), (bridge_test::excel12() ? "QBQ" : "PBP") + mark());
    EXPECT_EQ(text(values[3]), "sched_plusMonths");
    EXPECT_EQ(text(values[4]), "iDate, iMonths");
    EXPECT_EQ(values[5], Value::number(1));
    EXPECT_EQ(text(values[6]), "Tavrin_Schedules");
    EXPECT_EQ(text(values[7]), "");
    EXPECT_EQ(text(values[8]), "");
    EXPECT_EQ(text(values[9]), " Adds months ");
    EXPECT_EQ(text(values[10]), " Input date . ") << "ends in a blank, not in \". \"";
    EXPECT_EQ(text(values[11]), " Months. ");
    const auto calls = xlhost::callLog();
    EXPECT_EQ(calls.back().function, xlfRegister);
    EXPECT_EQ(calls.back().generation, xlhost::Generation::Four) << "even in a 12-generation process";
}

TEST_P(RegistrationTest, TypeTextSuffixesAndSymbolicCodes) {
    const bool twelve = bridge_test::excel12();
    EXPECT_EQ(plusMonths(true, false).typeText(), (twelve ? "QBQ!" : "PBP!") + mark());
    EXPECT_EQ(plusMonths(false, true).typeText(), (twelve ? "QBQ" : "PBP") + mark())
        << "the mark follows the host's version, whatever the flag";
    EXPECT_EQ(plusMonths(true, true).typeText(), (twelve ? "QBQ!" : "PBP!") + mark());

    XlfFuncDesc texts("xlf", "f", "", "c", false, false, "B");
    texts.setArguments(
        {XlfArgDesc("a", "", "XLL_WSTR"), XlfArgDesc("b", "", "XLF_XLOPER"), XlfArgDesc("c", "", "B")});
    EXPECT_EQ(texts.typeText(), (twelve ? "BC%UB" : "BCRB") + mark());
    EXPECT_EQ(texts.argumentText(), "a, b, c");
}

TEST_P(RegistrationTest, AFunctionWithoutArgumentsSendsTenValues) {
    XlfFuncDesc function("xlnothing", "nothing", " None ", "Tavrin_Schedules", false, false, "");
    ASSERT_EQ(function.registerWithHost(), 0);
    const auto registrations = xlhost::registrations();
    ASSERT_EQ(registrations.size(), 1u);
    ASSERT_EQ(registrations[0].values.size(), 10u);
    EXPECT_EQ(text(registrations[0].values[2]), (bridge_test::excel12() ? "Q" : "P") + mark());
    EXPECT_EQ(text(registrations[0].values[4]), "");
}

TEST_P(RegistrationTest, ArgumentHelpsEndInFullStopAndBlank) {
    const std::pair<const char*, const char*> helps[] = {
        {" Input date ", " Input date . "},
        {"", ". "},
        {" ", " . "},
        {".", ".. "},
        {"done. ", "done. "},
        {"done.", "done.. "},
    };
    for (const auto& [given, registered] : helps)
        EXPECT_EQ(XlfArgDesc("x", given, "B").help(), registered) << '"' << given << '"';
}

TEST_P(RegistrationTest, LongArgumentNamesAreWarnedAboutAndStillRegistered) {
    const std::string longName(19, 'n');
    XlfFuncDesc function("xllong", "long", "", "c", false, false, "");
    function.setArguments({XlfArgDesc(std::string(18, 's'), "", "B"), XlfArgDesc(longName, "", "B")});
    EXPECT_EQ(reported(messages::LongArgumentNamePrefix + longName + messages::LongArgumentNameSuffix), 1);
    EXPECT_EQ(diagnostics().find(std::string(18, 's') + "\""), std::string::npos);
    ASSERT_EQ(function.registerWithHost(), 0);
    EXPECT_EQ(text(xlhost::registrations().at(0).values[4]), std::string(18, 's') + ", " + longName);
}

TEST_P(RegistrationTest, RegisterAllWalksTheListInOrder) {
    XlfRegistration first("xlsched_endOfMonth", "sched_endOfMonth", " End ", "Tavrin_Schedules",
                          {{"iDate", " Input date ", "B"}});
    XlfRegistration second("xlsched_Tenor2Month", "sched_Tenor2Month", " Tenor ", "Tavrin_Schedules",
                           {{"tenor", " Tenor ", "XLL_WSTR"}}, true);
    ASSERT_EQ(registrationList().size(), 2u);
    EXPECT_EQ(registrationList()[1].argumentCount(), 1u);
    registerAllFunctions();
    const auto registrations = xlhost::registrations();
    ASSERT_EQ(registrations.size(), 2u);
    EXPECT_EQ(text(registrations[0].values[3]), "sched_endOfMonth");
    EXPECT_EQ(text(registrations[0].values[2]), (bridge_test::excel12() ? "QB" : "PB") + mark());
    EXPECT_EQ(text(registrations[1].values[2]), (bridge_test::excel12() ? "QC%!" : "PC!") + mark());
    EXPECT_EQ(text(registrations[1].values[10]), " Tenor . ");
}

// Entry points for declarations; only their types matter.
LPXLFOPER XLL_STDCALL mixedEntry(double, LPXLFOPER, XlfTextArgument, double) {
    return nullptr;
}
LPXLFOPER XLL_STDCALL textEntry(XlfTextArgument) {
    return nullptr;
}
LPXLFOPER XLL_STDCALL bareEntry() {
    return nullptr;
}

constexpr XlfDeclaration kDeclared[] = {
    xlfDeclare<&mixedEntry>("xlmixed", "mixed", " Mixed ",
                            {{"n", " A number "}, {"v", " A value "}, {"t", " A text "}, {"m", " More "}}),
    xlfDeclare<&textEntry>("xltext", "text", " Text ", {{"t", " A text. "}}),
    xlfDeclare<&bareEntry>("xlbare", "bare", " Bare "),
};

TEST_P(RegistrationTest, DeclaredLettersAgreeWithTheGenerationsLetters) {
    const XlfExcel& excel = XlfExcel::instance();
    const bool twelve = bridge_test::excel12();
    EXPECT_EQ(twelve ? XlfArgType<LPXLFOPER>::twelve : XlfArgType<LPXLFOPER>::four, excel.xlfOperType());
    EXPECT_EQ(twelve ? XlfArgType<XlfTextArgument>::twelve : XlfArgType<XlfTextArgument>::four,
              excel.wStrType());
}

TEST_P(RegistrationTest, DeclarationsRegisterTheirEntryPointsLettersInOrder) {
    const XlfRegistration declared(kDeclared, "Declared", false);
    ASSERT_EQ(registrationList().size(), 3u);
    registerAllFunctions();
    const auto registrations = xlhost::registrations();
    ASSERT_EQ(registrations.size(), 3u);
    const bool twelve = bridge_test::excel12();
    const struct {
        const char* procedure;
        std::string types;
        const char* names;
        std::size_t values;
    } expected[] = {
        {"xlmixed", twelve ? "QBQC%B" : "PBPCB", "n, v, t, m", 14},
        {"xltext", twelve ? "QC%" : "PC", "t", 11},
        {"xlbare", twelve ? "Q" : "P", "", 10},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].procedure);
        const std::vector<Value>& values = registrations[i].values;
        ASSERT_EQ(values.size(), expected[i].values);
        EXPECT_EQ(text(values[1]), expected[i].procedure);
        EXPECT_EQ(text(values[2]), expected[i].types + mark());
        EXPECT_EQ(text(values[4]), expected[i].names);
        EXPECT_EQ(text(values[6]), "Declared");
    }
    EXPECT_EQ(text(registrations[0].values[3]), "mixed");
    EXPECT_EQ(text(registrations[0].values[9]), " Mixed ");
    EXPECT_EQ(text(registrations[0].values[12]), " A text . ");
    EXPECT_EQ(text(registrations[1].values[10]), " A text. ");
}

TEST_P(RegistrationTest, DeclarationsCarryTheThreadSafeSwitch) {
    const XlfRegistration declared(std::span<const XlfDeclaration>(kDeclared).first(1), "Declared", true);
    registerAllFunctions();
    EXPECT_EQ(text(xlhost::registrations().at(0).values[2]),
              (bridge_test::excel12() ? "QBQC%B" : "PBPCB") + mark());
}

TEST_P(RegistrationTest, HostFailuresAreReportedAndTheRestGoesOn) {
    XlfRegistration first("xla", "a", "", "c", {});
    XlfRegistration second("xlb", "b", "", "c", {});
    xlhost::failFunction(xlfRegister, xlretInvXloper);
    registerAllFunctions();
    EXPECT_EQ(reported("Error 8 while registering a"), 1);
    EXPECT_EQ(reported("Error 8 while registering b"), 1);
}

TEST_P(RegistrationTest, WithoutALibraryNameNothingIsRegistered) {
    XlfRegistration first("xla", "a", "", "c", {});
    xlhost::setLibraryName("");
    try {
        registerAllFunctions();
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), messages::NoLibraryName);
    }
    EXPECT_TRUE(xlhost::registrations().empty());
}

TEST_P(RegistrationTest, UnregisteringLooksUpTheIdAndUnregistersIt) {
    const XlfFuncDesc function = plusMonths();
    ASSERT_EQ(function.registerWithHost(), 0);
    ASSERT_EQ(function.unregisterFromHost(), 0);
    const auto registrations = xlhost::registrations();
    ASSERT_EQ(registrations.size(), 2u);
    EXPECT_EQ(registrations[1].values[5], Value::number(0)) << "the look-up registers with macro type 0";
    EXPECT_EQ(registrations[0].id, registrations[1].id);
    EXPECT_FALSE(registrations[0].active);
}

// What each host receives, by the version it reports: the letters of its generation, and the thread-safe
// mark from version 12 on (older hosts refuse a registration that holds it). Exactly 12 selects the
// 12-generation letters; the mark does not change that choice.
TEST(ThreadSafeRegistration, TypeTextsByHostVersion) {
    struct Row {
        int version;
        const char* plusMonths; // a value argument and a number
        const char* tenor;      // a wide text, volatile
    };
    const Row rows[] = {
        {0, "PBP", "PC!"},  // a host that does not say its version
        {11, "PBP", "PC!"}, // the last host before calculation threads
        {12, "QBQ$", "QC%!$"}, {14, "PBP$", "PC!$"}, {16, "PBP$", "PC!$"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("host version " + std::to_string(row.version));
        bridge_test::restartWithVersion(row.version);
        xlhost::setLibraryName(kLibrary);
        registrationList().clear();
        XlfRegistration first("xlsched_plusMonths", "sched_plusMonths", " Adds months ", "Tavrin_Schedules",
                              {{"iDate", " Input date ", "B"}, {"iMonths", " Months ", "XLF_OPER"}});
        XlfRegistration second("xlsched_Tenor2Month", "sched_Tenor2Month", " Tenor ", "Tavrin_Schedules",
                               {{"tenor", " Tenor ", "XLL_WSTR"}}, true);
        registerAllFunctions();
        const auto registrations = xlhost::registrations();
        ASSERT_EQ(registrations.size(), 2u);
        EXPECT_EQ(text(registrations[0].values[2]), row.plusMonths);
        EXPECT_EQ(text(registrations[1].values[2]), row.tenor);
        EXPECT_EQ(registrations[1].values[3], Value::str(u"sched_Tenor2Month")) << "the rest is unchanged";
        registrationList().clear();
        XlfExcel::deleteInstance();
        EXPECT_TRUE(xlhost::ledger().clean()) << xlhost::ledger().text();
    }
}

} // namespace
