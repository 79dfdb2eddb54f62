// A host executable that does not export MdCallBack12: every 12-generation call fails with code 32.

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "src/XlfExcel.h"
#include "src/XlfOper.h"
#include "xlhost/core/StandInHost.h"

using namespace xll;

TEST(NoMainCallback, Every12GenerationCallReturnsFailed) {
    xlhost::reset();
    xlhost::setVersion(12);
    XlfExcel::deleteInstance();
    const XlfExcel& excel = XlfExcel::instance();
    ASSERT_TRUE(excel.isExcel12()) << "the version comes through Excel4, which the library exports";

    XlfOper result;
    EXPECT_EQ(excel.call(xlGetName, result.handle()), xlretFailed);
    int code = 0;
    XlfOper(true).toDouble(&code);
    EXPECT_EQ(code, xlretFailed);

    std::ostringstream diagnostics;
    std::streambuf* saved = std::cerr.rdbuf(diagnostics.rdbuf());
    EXPECT_EQ(excel.libraryName(), "");
    std::cerr.rdbuf(saved);
    EXPECT_NE(diagnostics.str().find("Could not get DLL name"), std::string::npos);
    XlfExcel::deleteInstance();
}
