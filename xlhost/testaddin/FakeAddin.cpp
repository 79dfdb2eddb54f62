// A small add-in for testing the stand-in host: it opens as the real add-in does (version, library name,
// status bar, registration through Excel4v with 4-generation records) and offers four functions:
//   fake_Describe(x B, s C|C%, v P|Q)  a 1 x 3 array: x, s, and v (an array v becomes the text "RxC")
//   fake_Echo(v P|Q)                   v itself (the host's own argument record)
//   fake_Null()                        a null pointer
//   fake_Owned(s C|C%)                 s as a text the add-in frees itself (xlbitDLLFree, xlAutoFree)
// Under a host of version 12 it uses the 12-generation letters and records, otherwise the 4-generation ones.

#include "src/api/XlCall.h"

#include <cstring>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

Excel4Proc excel4 = nullptr;
Excel4vProc excel4v = nullptr;
bool twelve = false;

void* findHostSymbol(const char* library, const char* name) {
#if defined(_WIN32)
    HMODULE module = library != nullptr ? LoadLibraryA(library) : GetModuleHandleW(nullptr);
    return module != nullptr ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
#else
    void* module = dlopen(library, RTLD_NOW | RTLD_GLOBAL);
    return module != nullptr ? dlsym(module, name) : nullptr;
#endif
}

// ---- 4-generation values this add-in owns while it registers ----
struct Text4 {
    std::string counted;
    XLOPER oper{};
    explicit Text4(const std::string& s) : counted(1, static_cast<char>(s.size())) {
        counted += s;
        oper.xltype = xltypeStr;
        oper.val.str = counted.data();
    }
};

XLOPER number4(double x) {
    XLOPER o{};
    o.xltype = xltypeNum;
    o.val.num = x;
    return o;
}

std::string text4(const XLOPER& o) {
    return std::string(o.val.str + 1, static_cast<unsigned char>(o.val.str[0]));
}

int hostVersion() {
    XLOPER two{};
    two.xltype = xltypeInt;
    two.val.w = 2;
    XLOPER version{};
    if (excel4(xlfGetWorkspace, &version, 1, &two) != xlretSuccess)
        return 0;
    XLOPER wanted{};
    wanted.xltype = xltypeInt;
    wanted.val.w = static_cast<int16_t>(xltypeInt);
    XLOPER major{};
    const int code = excel4(xlCoerce, &major, 2, &version, &wanted);
    excel4(xlFree, nullptr, 1, &version);
    if (code != xlretSuccess || major.xltype != xltypeInt)
        return 0;
    return major.val.w;
}

// The library name through the generation the add-in uses: MdCallBack12 of the host executable in the
// 12-generation.
std::string libraryName() {
    if (!twelve) {
        XLOPER name{};
        if (excel4(xlGetName, &name, 0) != xlretSuccess || name.xltype != xltypeStr)
            return {};
        std::string s = text4(name);
        excel4(xlFree, nullptr, 1, &name);
        return s;
    }
    auto callback = reinterpret_cast<MdCallBack12Proc>(findHostSymbol(nullptr, "MdCallBack12"));
    XLOPER12 name{};
    if (callback == nullptr || callback(xlGetName, 0, nullptr, &name) != xlretSuccess ||
        name.xltype != xltypeStr)
        return {};
    std::string s;
    for (int i = 1; i <= name.val.str[0]; ++i)
        s.push_back(static_cast<char>(name.val.str[i]));
    XLOPER12* args[] = {&name};
    callback(xlFree, 1, args, nullptr);
    return s;
}

void statusBar(const char* text) {
    XLOPER flag{};
    flag.xltype = xltypeBool;
    flag.val.xbool = text != nullptr ? 1 : 0;
    if (text == nullptr) {
        excel4(xlcMessage, nullptr, 1, &flag);
        return;
    }
    Text4 t(text);
    excel4(xlcMessage, nullptr, 2, &flag, &t.oper);
}

int registerFunction(const std::string& module, const char* procedure, const std::string& type,
                     const char* name, const char* argumentNames, std::vector<std::string> argumentHelp) {
    std::vector<Text4> texts;
    texts.reserve(16);
    std::vector<XLOPER*> args;
    XLOPER macroType = number4(1);
    for (const std::string& s :
         {module, std::string(procedure), type, std::string(name), std::string(argumentNames)}) {
        texts.emplace_back(s);
        args.push_back(&texts.back().oper);
    }
    args.push_back(&macroType);
    for (const std::string& s :
         {std::string("Fake"), std::string(), std::string(), std::string(" A test function. ")}) {
        texts.emplace_back(s);
        args.push_back(&texts.back().oper);
    }
    for (const std::string& s : argumentHelp) {
        texts.emplace_back(s);
        args.push_back(&texts.back().oper);
    }
    XLOPER id{};
    return excel4v(xlfRegister, &id, static_cast<int>(args.size()), args.data());
}

// ---- results: the add-in's own memory, valid until the next call ----
XLOPER result4[3];
XLOPER12 result12[3];
XLOPER array4;
XLOPER12 array12;
std::string resultText4;
std::u16string resultText12;

} // namespace

extern "C" {

XLL_EXPORT int XLL_STDCALL xlAutoOpen() {
    excel4 = reinterpret_cast<Excel4Proc>(findHostSymbol("XLCALL32.DLL", "Excel4"));
    excel4v = reinterpret_cast<Excel4vProc>(findHostSymbol("XLCALL32.DLL", "Excel4v"));
    if (excel4 == nullptr || excel4v == nullptr)
        return 0;
    twelve = hostVersion() == 12;
    const std::string module = libraryName();
    if (module.empty())
        return 0;
    statusBar("Registering fake functions...");
    const std::string value = twelve ? "Q" : "P";
    const std::string text = twelve ? "C%" : "C";
    int failures = 0;
    failures += registerFunction(module, "xlfake_Describe", value + "B" + text + value, "fake_Describe",
                                 "x, s, v", {" A number. ", " A text. ", " Any value. "}) != xlretSuccess;
    failures += registerFunction(module, "xlfake_Echo", value + value, "fake_Echo", "v", {" Any value. "}) !=
                xlretSuccess;
    failures += registerFunction(module, "xlfake_Null", value, "fake_Null", "", {}) != xlretSuccess;
    failures += registerFunction(module, "xlfake_Owned", value + text, "fake_Owned", "s", {" A text. "}) !=
                xlretSuccess;
    statusBar(nullptr);
    return failures == 0 ? 1 : 0;
}

XLL_EXPORT int XLL_STDCALL xlAutoClose() {
    return 1;
}

XLL_EXPORT void* XLL_STDCALL xlfake_Describe(double x, const void* s, const void* v) {
    if (!twelve) {
        const auto* text = static_cast<const char*>(s);
        const auto* value = static_cast<const XLOPER*>(v);
        resultText4.assign(1, static_cast<char>(std::strlen(text)));
        resultText4 += text;
        result4[0] = XLOPER{};
        result4[0].xltype = xltypeNum;
        result4[0].val.num = x;
        result4[1] = XLOPER{};
        result4[1].xltype = xltypeStr;
        result4[1].val.str = resultText4.data();
        result4[2] = *value;
        static std::string shape;
        if (value->xltype == xltypeMulti) {
            const std::string dims =
                std::to_string(value->val.array.rows) + "x" + std::to_string(value->val.array.columns);
            shape.assign(1, static_cast<char>(dims.size()));
            shape += dims;
            result4[2] = XLOPER{};
            result4[2].xltype = xltypeStr;
            result4[2].val.str = shape.data();
        }
        array4 = XLOPER{};
        array4.xltype = xltypeMulti;
        array4.val.array.lparray = result4;
        array4.val.array.rows = 1;
        array4.val.array.columns = 3;
        return &array4;
    }
    const auto* text = static_cast<const XCHAR*>(s);
    const auto* value = static_cast<const XLOPER12*>(v);
    std::size_t n = 0;
    while (text[n] != 0)
        ++n;
    resultText12.assign(1, static_cast<char16_t>(n));
    resultText12.append(reinterpret_cast<const char16_t*>(text), n);
    result12[0] = XLOPER12{};
    result12[0].xltype = xltypeNum;
    result12[0].val.num = x;
    result12[1] = XLOPER12{};
    result12[1].xltype = xltypeStr;
    result12[1].val.str = reinterpret_cast<XCHAR*>(resultText12.data());
    result12[2] = *value;
    static std::u16string shape;
    if (value->xltype == xltypeMulti) {
        const std::string dims =
            std::to_string(value->val.array.rows) + "x" + std::to_string(value->val.array.columns);
        shape.assign(1, static_cast<char16_t>(dims.size()));
        shape.append(dims.begin(), dims.end());
        result12[2] = XLOPER12{};
        result12[2].xltype = xltypeStr;
        result12[2].val.str = reinterpret_cast<XCHAR*>(shape.data());
    }
    array12 = XLOPER12{};
    array12.xltype = xltypeMulti;
    array12.val.array.lparray = result12;
    array12.val.array.rows = 1;
    array12.val.array.columns = 3;
    return &array12;
}

XLL_EXPORT void* XLL_STDCALL xlfake_Echo(void* v) {
    return v;
}

XLL_EXPORT void* XLL_STDCALL xlfake_Null() {
    return nullptr;
}

XLL_EXPORT void* XLL_STDCALL xlfake_Owned(const void* s) {
    if (!twelve) {
        const auto* text = static_cast<const char*>(s);
        const std::size_t n = std::strlen(text);
        auto* record = new XLOPER{};
        auto* counted = new char[n + 1];
        counted[0] = static_cast<char>(n);
        std::memcpy(counted + 1, text, n);
        record->xltype = xltypeStr | xlbitDLLFree;
        record->val.str = counted;
        return record;
    }
    const auto* text = static_cast<const XCHAR*>(s);
    std::size_t n = 0;
    while (text[n] != 0)
        ++n;
    auto* record = new XLOPER12{};
    auto* counted = new XCHAR[n + 1];
    counted[0] = static_cast<XCHAR>(n);
    std::memcpy(counted + 1, text, n * sizeof(XCHAR));
    record->xltype = xltypeStr | xlbitDLLFree;
    record->val.str = counted;
    return record;
}

XLL_EXPORT void XLL_STDCALL xlAutoFree(XLOPER* record) {
    delete[] record->val.str;
    delete record;
}

XLL_EXPORT void XLL_STDCALL xlAutoFree12(XLOPER12* record) {
    delete[] record->val.str;
    delete record;
}

} // extern "C"
