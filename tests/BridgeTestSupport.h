#pragma once

// Shared by the bridge tests, whose executables play the host: each test starts a fresh XlfExcel against the
// stand-in host reporting the version under test, collects the diagnostic lines, and ends by checking that
// every value the host handed out was given back exactly once.

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

#include "src/XlfExcel.h"
#include "src/XlfOper.h"
#include "src/api/XlCall.h"
#include "xlhost/core/StandInHost.h"

namespace bridge_test {

inline bool excel12() {
    return xll::XlfExcel::instance().isExcel12();
}

// Starts the bridge anew against a host of this version.
inline void restartWithVersion(int version) {
    xll::XlfExcel::deleteInstance();
    xlhost::reset();
    xlhost::setVersion(version);
    xll::XlfExcel::instance();
}

// The value as the host reads the record (marker bits aside).
inline xlhost::Value hostView(const xll::XlfOper& oper) {
    const void* record = oper.rawPointer();
    std::optional<xlhost::Value> value;
    if (excel12()) {
        XLOPER12 copy = *static_cast<const XLOPER12*>(record);
        copy.xltype &= ~xll::xlbitHostOwned;
        value = xlhost::readValue(&copy);
    } else {
        XLOPER copy = *static_cast<const XLOPER*>(record);
        copy.xltype &= static_cast<uint16_t>(~xll::xlbitHostOwned);
        value = xlhost::readValue(&copy);
    }
    EXPECT_TRUE(value.has_value()) << "not a sound record";
    return value.value_or(xlhost::Value::nil());
}

// Overwrites the type word (for kinds the bridge never builds, such as Missing).
inline void setTypeWord(xll::XlfOper& oper, uint32_t type) {
    if (excel12())
        static_cast<XLOPER12*>(oper.rawPointer())->xltype = type;
    else
        static_cast<XLOPER*>(oper.rawPointer())->xltype = static_cast<uint16_t>(type);
}

// A byte text as the 4-generation stores it from a narrow text (its terminating zero counted), or as the
// 12-generation does.
inline std::u16string storedNarrow(const std::u16string& text) {
    return excel12() ? text : text + u'\0';
}

class BridgeTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        restartWithVersion(GetParam());
        saved_ = std::cerr.rdbuf(diagnostics_.rdbuf());
    }

    void TearDown() override {
        std::cerr.rdbuf(saved_);
        xll::XlfExcel::deleteInstance();
        const xlhost::LedgerReport report = xlhost::ledger();
        EXPECT_TRUE(report.clean()) << report.text();
    }

    // How many diagnostic lines ("file(line): text") carry exactly this text.
    int reported(const std::string& text) const {
        std::istringstream lines(diagnostics_.str());
        int count = 0;
        for (std::string line; std::getline(lines, line);) {
            const std::size_t colon = line.find("): ");
            count += colon != std::string::npos && line.substr(colon + 3) == text ? 1 : 0;
        }
        return count;
    }
    std::string diagnostics() const { return diagnostics_.str(); }

private:
    std::ostringstream diagnostics_;
    std::streambuf* saved_ = nullptr;
};

inline std::string generationName(const ::testing::TestParamInfo<int>& info) {
    return "Version" + std::to_string(info.param);
}

} // namespace bridge_test
