#pragma once

// Texts of the host bridge: exception messages, diagnostic lines and initialisation failures.
namespace xll::messages {

// ---- host return codes ----
inline constexpr const char* Abort = "abort";
inline constexpr const char* StackOverflow = "stack overflow";
inline constexpr const char* Uncalculated = "";
inline constexpr const char* InvalidOper = "invalid OPER structure (memory could be exhausted)";
inline constexpr const char* CommandFailed = "command failed";
inline constexpr const char* InvalidArgumentCount = "invalid number of arguments";
inline constexpr const char* InvalidFunctionNumber = "invalid function number";
// Prefixes of the same failures when the caller names what it was doing.
inline constexpr const char* InvalidOperPrefix = "invalid OPER structure (memory could be exhausted),";
inline constexpr const char* CommandFailedPrefix = "command failed, ";
inline constexpr const char* InvalidArgumentCountPrefix = "invalid number of argument, ";
inline constexpr const char* InvalidFunctionNumberPrefix = "invalid function number, ";

// ---- conversion contexts ----
inline constexpr const char* ToDoublePrefix = "Conversion to double ";
inline constexpr const char* ToDoubleVectorSuffix = " conversion to double vector";
inline constexpr const char* ToShortSuffix = " conversion to short failed";
inline constexpr const char* ToBoolSuffix = " conversion to bool failed";
inline constexpr const char* ToNumberMatrixSuffix = " conversion to matrix failed";
inline constexpr const char* ToCellMatrixSuffix = " conversion to cell matrix failed";
inline constexpr const char* ToTextSuffix = " conversion to char* failed";

// ---- values ----
inline constexpr const char* MultiOperationPrefix =
    "attempt to perform an xltypeMulti operation on a value of type ";
inline constexpr const char* SetElementPrefix = "attempt to set a matrix element to a value of type ";
inline constexpr const char* UnsupportedCell =
    "cell contains neither number nor string nor boolean nor empty";
inline constexpr const char* TwelveToFour =
    "Unable to convert Excel 12 datatype to Excel 4 datatype - operation not yet implemented";
inline constexpr const char* FourToTwelve =
    "Unable to convert Excel 4 datatype to Excel 12 datatype - operation not yet implemented";
inline constexpr const char* ArrayTooLarge = "array does not fit the host's grid";
inline constexpr const char* ElementOutOfRange = "array element out of range";
inline constexpr const char* ReferenceOutsideGrid = "reference outside the host's grid";

// ---- diagnostic lines ----
inline constexpr const char* FreeFailed = "Call to xlFree failed";
inline constexpr const char* TruncatedTo254 = "String truncated to 254 bytes";
inline constexpr const char* TruncatedTo255 = "String truncated to 255 bytes";
inline constexpr const char* TruncatedTo32767 = "String truncated to 32767 characters";
inline constexpr const char* NoDllName = "Could not get DLL name";

// ---- host access ----
inline constexpr const char* CannotLoadHostLibrary = "Could not load library XLCALL32.DLL";
inline constexpr const char* NoExcel4 = "Could not get address of Excel4 callback";
inline constexpr const char* NoExcel4v = "Could not get address of Excel4v callback";
inline constexpr const char* NoThreadSlot = "Could not allocate thread-local storage for temporary memory";
inline constexpr const char* ErrorBoxCaption = "XLL Error";
inline constexpr const char* ErrorBoxFormat = "%s due to error %d :\n%s";

// ---- registration ----
inline constexpr const char* NoLibraryName = "Could not get library name";
inline constexpr const char* LongArgumentNamePrefix = "Argument name \"";
inline constexpr const char* LongArgumentNameSuffix = "\" may be too long to fit the in the function wizard";
inline constexpr const char* RegisterErrorPrefix = "Error ";
inline constexpr const char* RegisterErrorInfix = " while registering ";
inline constexpr const char* UnregisterErrorInfix = " while unregistering ";

} // namespace xll::messages
