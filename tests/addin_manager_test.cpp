// The add-in manager's questions, asked of the built add-in as the host asks them: action 1 wants the display
// name, anything else gets #VALUE!.

#include "src/api/XlCall.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <string>

namespace {

using Info4 = XLOPER*(XLL_STDCALL*)(XLOPER*);
using Info12 = XLOPER12*(XLL_STDCALL*)(XLOPER12*);

void* addIn() {
    static void* module = dlopen(TAVRIN_ADDIN_PATH, RTLD_NOW | RTLD_LOCAL);
    return module;
}

template <class Proc>
Proc entry(const char* name) {
    return reinterpret_cast<Proc>(dlsym(addIn(), name));
}

template <class Record>
Record number(double value) {
    Record r{};
    r.val.num = value;
    r.xltype = xltypeNum;
    return r;
}

} // namespace

TEST(AddInManager, NamesTheAddInForActionOneInBothGenerations) {
    ASSERT_NE(addIn(), nullptr) << dlerror();
    auto info4 = entry<Info4>("xlAddInManagerInfo");
    auto info12 = entry<Info12>("xlAddInManagerInfo12");
    ASSERT_NE(info4, nullptr);
    ASSERT_NE(info12, nullptr);

    XLOPER one4 = number<XLOPER>(1);
    const XLOPER* name4 = info4(&one4);
    ASSERT_EQ(name4->xltype, xltypeStr);
    EXPECT_EQ(std::string(name4->val.str + 1, static_cast<unsigned char>(name4->val.str[0])),
              "Tavrin Schedules");

    XLOPER12 one12{};
    one12.val.w = 1;
    one12.xltype = xltypeInt;
    const XLOPER12* name12 = info12(&one12);
    ASSERT_EQ(name12->xltype, xltypeStr);
    EXPECT_EQ(std::u16string(name12->val.str + 1, name12->val.str[0]), u"Tavrin Schedules");
}

TEST(AddInManager, AnswersValueErrorToAnyOtherRequest) {
    ASSERT_NE(addIn(), nullptr) << dlerror();
    auto info4 = entry<Info4>("xlAddInManagerInfo");
    auto info12 = entry<Info12>("xlAddInManagerInfo12");

    XLOPER two = number<XLOPER>(2);
    EXPECT_EQ(info4(&two)->xltype, xltypeErr);
    EXPECT_EQ(info4(&two)->val.err, xlerrValue);
    XLOPER missing{};
    missing.xltype = xltypeMissing;
    EXPECT_EQ(info4(&missing)->xltype, xltypeErr);
    EXPECT_EQ(info4(nullptr)->xltype, xltypeErr);

    XLOPER12 text{};
    text.xltype = xltypeStr;
    EXPECT_EQ(info12(&text)->xltype, xltypeErr);
    EXPECT_EQ(info12(&text)->val.err, xlerrValue);
}
