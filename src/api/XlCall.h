#pragma once

// Our declarations of the spreadsheet host's C API: the two generations of value records, their type codes,
// error values, return codes, the function numbers this add-in uses and the callback signatures. Written from
// the API's documented layout; every size is pinned below.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define XLL_STDCALL __stdcall
#define XLL_CDECL __cdecl
#define XLL_EXPORT __declspec(dllexport)
using XCHAR = wchar_t; // one UTF-16 unit
#else
// One calling convention; 16-bit text units where Windows has a 16-bit wchar_t.
#define XLL_STDCALL
#define XLL_CDECL
#define XLL_EXPORT __attribute__((visibility("default")))
using XCHAR = char16_t;
#endif

// Sheet id: pointer-sized in 64-bit builds, 32 bits in 32-bit builds.
using IDSHEET = std::uintptr_t;

// ---- 4-generation record ----
struct XLREF {
    uint16_t rwFirst; // rows 0 to 65535
    uint16_t rwLast;
    uint8_t colFirst;
    uint8_t colLast;
};

struct XLMREF {
    uint16_t count;
    XLREF reftbl[1]; // count areas
};

struct XLOPER {
    union {
        double num;
        char* str; // first byte the count, then the bytes; no terminator needed
        uint16_t xbool;
        uint16_t err;
        int16_t w;
        struct {
            uint16_t count;
            XLREF ref;
        } sref;
        struct {
            XLMREF* lpmref;
            IDSHEET idSheet;
        } mref;
        struct {
            XLOPER* lparray; // rows x columns records, row-major
            uint16_t rows;
            uint16_t columns;
        } array;
        struct {
            union {
                int16_t level;
                int16_t tbctrl;
                IDSHEET idSheet;
            } valflow;
            uint16_t rw;
            uint8_t col;
            uint8_t xlflow;
        } flow;
        struct {
            union {
                uint8_t* lpbData;
                void* hdata;
            } h;
            int32_t cbData;
        } bigdata;
    } val;
    uint16_t xltype;
};

// ---- 12-generation record ----
struct XLREF12 {
    int32_t rwFirst;
    int32_t rwLast;
    int32_t colFirst;
    int32_t colLast;
};

struct XLMREF12 {
    uint16_t count;
    XLREF12 reftbl[1];
};

struct XLOPER12 {
    union {
        double num;
        XCHAR* str; // first unit the count, then the units
        int32_t xbool;
        int32_t err;
        int32_t w;
        struct {
            uint16_t count;
            XLREF12 ref;
        } sref;
        struct {
            XLMREF12* lpmref;
            IDSHEET idSheet;
        } mref;
        struct {
            XLOPER12* lparray;
            int32_t rows;
            int32_t columns;
        } array;
        struct {
            union {
                int32_t level;
                int32_t tbctrl;
                IDSHEET idSheet;
            } valflow;
            int32_t rw;
            int32_t col;
            uint8_t xlflow;
        } flow;
        struct {
            union {
                uint8_t* lpbData;
                void* hdata;
            } h;
            int32_t cbData;
        } bigdata;
    } val;
    uint32_t xltype;
};

static_assert(sizeof(XCHAR) == 2, "host texts are UTF-16");
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(XLOPER) == 16, "4-generation record is 16 bytes in a 32-bit build");
#else
static_assert(sizeof(XLOPER) == 24, "4-generation record is 24 bytes in a 64-bit build");
#endif
static_assert(sizeof(XLOPER12) == 32, "12-generation record is 32 bytes in every build");

// ---- type codes ----
inline constexpr uint32_t xltypeNum = 0x0001;
inline constexpr uint32_t xltypeStr = 0x0002;
inline constexpr uint32_t xltypeBool = 0x0004;
inline constexpr uint32_t xltypeRef = 0x0008;
inline constexpr uint32_t xltypeErr = 0x0010;
inline constexpr uint32_t xltypeFlow = 0x0020;
inline constexpr uint32_t xltypeMulti = 0x0040;
inline constexpr uint32_t xltypeMissing = 0x0080;
inline constexpr uint32_t xltypeNil = 0x0100;
inline constexpr uint32_t xltypeSRef = 0x0400;
inline constexpr uint32_t xltypeInt = 0x0800;
inline constexpr uint32_t xlbitXLFree = 0x1000;
inline constexpr uint32_t xlbitDLLFree = 0x4000;

// ---- error values ----
inline constexpr int xlerrNull = 0;
inline constexpr int xlerrDiv0 = 7;
inline constexpr int xlerrValue = 15;
inline constexpr int xlerrRef = 23;
inline constexpr int xlerrName = 29;
inline constexpr int xlerrNum = 36;
inline constexpr int xlerrNA = 42;

// ---- return codes (bits) ----
inline constexpr int xlretSuccess = 0;
inline constexpr int xlretAbort = 1;
inline constexpr int xlretInvXlfn = 2;
inline constexpr int xlretInvCount = 4;
inline constexpr int xlretInvXloper = 8;
inline constexpr int xlretStackOvfl = 16;
inline constexpr int xlretFailed = 32;
inline constexpr int xlretUncalced = 64;
inline constexpr int xlretNotThreadSafe = 128; // a callback a thread-safe function may not make

// ---- function numbers ----
inline constexpr int xlFree = 0x4000;
inline constexpr int xlCoerce = 0x4002;
inline constexpr int xlGetHwnd = 0x4008;
inline constexpr int xlGetName = 0x4009;
// The other callbacks the host allows from a thread-safe function (besides xlFree, xlCoerce, xlGetHwnd).
inline constexpr int xlStack = 0x4001;
inline constexpr int xlSheetId = 0x4004;
inline constexpr int xlSheetNm = 0x4005;
inline constexpr int xlAbort = 0x4006;
inline constexpr int xlGetInst = 0x4007;
inline constexpr int xlDefineBinaryName = 0x400C;
inline constexpr int xlGetBinaryName = 0x400D;
inline constexpr int xlfRegister = 149;
inline constexpr int xlfGetWorkspace = 186;
inline constexpr int xlfUnregister = 201;
inline constexpr int xlcMessage = 0x807A;

// ---- limits ----
inline constexpr int kMaxText4 = 255;
inline constexpr int kMaxText12 = 32767;
inline constexpr int kMaxRows4 = 65535;
inline constexpr int kMaxColumns4 = 255;
inline constexpr int kMaxRows12 = 1048576;
inline constexpr int kMaxColumns12 = 16384;

// ---- callbacks ----
extern "C" {
// Exported by "XLCALL32.DLL".
using Excel4Proc = int(XLL_CDECL*)(int xlfn, XLOPER* result, int count, ...);
using Excel4vProc = int(XLL_STDCALL*)(int xlfn, XLOPER* result, int count, XLOPER* args[]);
// Exported by the host executable. Note the argument order differs from Excel4v.
using MdCallBack12Proc = int(XLL_STDCALL*)(int xlfn, int count, XLOPER12* args[], XLOPER12* result);
// The add-in's open and close.
using XlAutoProc = int(XLL_STDCALL*)();
}
