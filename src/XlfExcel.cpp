#include "src/XlfExcel.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <new>
#include <stdexcept>

#include "platform/Platform.h"
#include "src/Messages.h"
#include "src/XlfDiagnostics.h"
#include "src/XlfOperImpl12.h"
#include "src/XlfOperImpl4.h"

namespace xll {
namespace {

// Process-wide host entry points: Excel4 and Excel4v are set by initialisation, MdCallBack12 is looked up in
// the main module on first need.
Excel4Proc excel4Proc = nullptr;
Excel4vProc excel4vProc = nullptr;
MdCallBack12Proc mdCallBack12Proc = nullptr;
bool mdCallBack12LookedUp = false;

constexpr std::size_t kFirstBufferBytes = 8192;
constexpr std::size_t kBlockAlignment = 8; // every block may hold a record
// No host value comes near this; larger requests fail before any arithmetic can overflow.
constexpr std::size_t kMaxRequestBytes = static_cast<std::size_t>(
    std::min<std::uint64_t>(std::uint64_t{1} << 36, std::numeric_limits<std::size_t>::max() / 4));

constexpr uint32_t kHostMemoryBits = xltypeStr | xltypeRef | xltypeMulti | xltypeInt;

std::unique_ptr<XlfExcel>& singleton() {
    static std::unique_ptr<XlfExcel> instance;
    return instance;
}

// The named mutex, created or opened for one take or release of temporary memory.
class ArenaLock {
public:
    ArenaLock() : mutex_(platform::openNamedMutex(kTemporaryMemoryMutex)) {
        held_ = platform::waitForMutex(mutex_);
    }
    ~ArenaLock() {
        if (held_)
            platform::releaseMutex(mutex_);
        platform::closeMutex(mutex_);
    }
    ArenaLock(const ArenaLock&) = delete;
    ArenaLock& operator=(const ArenaLock&) = delete;

private:
    platform::MutexHandle mutex_;
    bool held_ = false;
};

template <class Record>
void markHostOwned(Record* result) {
    if (result != nullptr && (result->xltype & kHostMemoryBits) != 0)
        result->xltype |= xlbitHostOwned;
}

// Calls the host with the arguments as it knows them: the bridge's own marker is never shown to the host, so
// a host-owned value passed back (say, to be coerced) goes as a copy without it.
template <class Record, class Call>
int withoutMarkers(int count, Record* const args[], Call call) {
    bool marked = false;
    for (int i = 0; i < count && !marked; ++i)
        marked = args[i] != nullptr && (args[i]->xltype & xlbitHostOwned) != 0;
    if (!marked)
        return call(const_cast<Record**>(args));
    std::vector<Record> copies(static_cast<std::size_t>(count));
    std::vector<Record*> plain(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const auto k = static_cast<std::size_t>(i);
        plain[k] = args[i];
        if (args[i] != nullptr && (args[i]->xltype & xlbitHostOwned) != 0) {
            copies[k] = *args[i];
            copies[k].xltype &= static_cast<decltype(copies[k].xltype)>(~xlbitHostOwned);
            plain[k] = &copies[k];
        }
    }
    return call(plain.data());
}

// The host takes a mutable array; a short call list lives on the stack.
template <class Record, class Call>
int withArgumentArray(int count, const void* const* args, Call call) {
    constexpr int kOnStack = 32;
    if (count <= kOnStack) {
        Record* array[kOnStack] = {};
        for (int i = 0; i < count; ++i)
            array[i] = static_cast<Record*>(const_cast<void*>(args[i]));
        return call(array);
    }
    std::vector<Record*> array(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        array[static_cast<std::size_t>(i)] = static_cast<Record*>(const_cast<void*>(args[i]));
    return call(array.data());
}

// The host's version: its version text coerced to an integer; 0 when the host does not say.
int hostVersion() {
    XLOPER which{};
    which.xltype = xltypeInt;
    which.val.w = 2; // the version text
    XLOPER text{};
    text.xltype = xltypeNil;
    if (excel4Proc(xlfGetWorkspace, &text, 1, &which) != xlretSuccess)
        return 0;
    XLOPER wanted{};
    wanted.xltype = xltypeInt;
    wanted.val.w = static_cast<int16_t>(xltypeInt);
    XLOPER number{};
    number.xltype = xltypeNil;
    const int code = excel4Proc(xlCoerce, &number, 2, &text, &wanted);
    excel4Proc(xlFree, nullptr, 1, &text);
    if (code != xlretSuccess)
        return 0;
    if (number.xltype == xltypeInt)
        return number.val.w;
    if (number.xltype == xltypeNum && number.val.num >= 0 && number.val.num < 1000)
        return static_cast<int>(number.val.num);
    return 0;
}

} // namespace

struct XlfExcel::ModuleHolder {
    platform::ModuleHandle handle = nullptr;
};

XlfExcel& XlfExcel::instance() {
    std::unique_ptr<XlfExcel>& slot = singleton();
    if (!slot) {
        std::unique_ptr<XlfExcel> created(new XlfExcel);
        created->initialise(); // a failure leaves no instance: the next access tries again
        slot = std::move(created);
    }
    return *slot;
}

void XlfExcel::deleteInstance() {
    singleton().reset();
    // The next value operation must go through a new instance, which chooses the generation again.
    XlfOperImpl::makeCurrent(nullptr);
}

XlfExcel::XlfExcel() : module_(std::make_unique<ModuleHolder>()) {}

XlfExcel::~XlfExcel() {
    freeMemory(true);
}

void XlfExcel::initialise() {
    module_->handle = platform::loadLibrary("XLCALL32.DLL");
    if (module_->handle == nullptr)
        throw std::runtime_error(messages::CannotLoadHostLibrary);
    auto* excel4 = reinterpret_cast<Excel4Proc>(platform::findSymbol(module_->handle, "Excel4"));
    if (excel4 == nullptr)
        throw std::runtime_error(messages::NoExcel4);
    auto* excel4v = reinterpret_cast<Excel4vProc>(platform::findSymbol(module_->handle, "Excel4v"));
    if (excel4v == nullptr)
        throw std::runtime_error(messages::NoExcel4v);
    excel4Proc = excel4;
    excel4vProc = excel4v;

    // Exactly 12: later hosts also accept the older generation's calls.
    excel12_ = hostVersion() == 12;
    if (excel12_)
        XlfOperImpl12::instance();
    else
        XlfOperImpl4::instance();
    letters_ = &lettersOf(excel12_);
}

// Built once and chosen by pointer: assigning the short literals to member strings instead lets GCC 12
// inline the string copy at -O3 and then raise a bogus -Wrestrict on it.
const XlfExcel::TypeLetters& XlfExcel::lettersOf(bool excel12) {
    static const TypeLetters generation12{"Q", "U", "C%"};
    static const TypeLetters generation4{"P", "R", "C"};
    return excel12 ? generation12 : generation4;
}

// ---- temporary memory ----

void XlfExcel::addBuffer(std::size_t size) {
    buffers_.push_back(Buffer{size, std::unique_ptr<char[]>(new char[size])});
    offset_ = 0;
}

void* XlfExcel::getMemory(std::size_t bytes) {
    ArenaLock lock;
    if (bytes > kMaxRequestBytes)
        throw std::bad_alloc();
    if (buffers_.empty())
        addBuffer(kFirstBufferBytes);
    std::size_t start = (offset_ + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
    // A request that would exactly fill the rest of the buffer moves on too.
    while (bytes + start >= buffers_.back().size) {
        const std::size_t size = buffers_.back().size;
        addBuffer(size + size / 2);
        start = 0;
    }
    void* block = buffers_.back().bytes.get() + start;
    offset_ = start + bytes;
    return block;
}

void XlfExcel::freeMemory(bool finished) {
    ArenaLock lock;
    const std::size_t keep = finished ? 0 : 1;
    if (buffers_.size() > keep)
        buffers_.erase(buffers_.begin(), buffers_.end() - static_cast<std::ptrdiff_t>(keep));
    offset_ = 0;
}

std::vector<std::size_t> XlfExcel::bufferSizes() const {
    std::vector<std::size_t> sizes;
    for (const Buffer& buffer : buffers_)
        sizes.push_back(buffer.size);
    return sizes;
}

// ---- calls ----

int XlfExcel::callv(int xlfn, LPXLFOPER result, int count, const LPXLFOPER args[]) const {
    if (count < 0 || (count > 0 && args == nullptr))
        return xlretInvCount;
    if (excel12_)
        return withArgumentArray<XLOPER12>(count, args, [&](XLOPER12* const* array) {
            return excel12v(xlfn, static_cast<XLOPER12*>(result), count, array);
        });
    return withArgumentArray<XLOPER>(count, args, [&](XLOPER* const* array) {
        return excel4v(xlfn, static_cast<XLOPER*>(result), count, array);
    });
}

int XlfExcel::excel4v(int xlfn, XLOPER* result, int count, XLOPER* const args[]) {
    if (excel4vProc == nullptr)
        instance();
    if (count < 0 || (count > 0 && args == nullptr))
        return xlretInvCount;
    const int code =
        withoutMarkers(count, args, [&](XLOPER** plain) { return excel4vProc(xlfn, result, count, plain); });
    markHostOwned(result);
    return code;
}

int XlfExcel::excel12v(int xlfn, XLOPER12* result, int count, XLOPER12* const args[]) {
    if (!mdCallBack12LookedUp) {
        mdCallBack12Proc =
            reinterpret_cast<MdCallBack12Proc>(platform::findSymbol(platform::mainModule(), "MdCallBack12"));
        mdCallBack12LookedUp = true;
    }
    if (mdCallBack12Proc == nullptr)
        return xlretFailed;
    if (count < 0 || (count > 0 && args == nullptr))
        return xlretInvCount;
    const int code = withoutMarkers(
        count, args, [&](XLOPER12** plain) { return mdCallBack12Proc(xlfn, count, plain, result); });
    markHostOwned(result);
    return code;
}

// ---- the host ----

void XlfExcel::sendMessage(const char* text) const {
    if (text != nullptr)
        call(xlcMessage, nullptr, XlfOper(true), XlfOper(text));
    else
        call(xlcMessage, nullptr, XlfOper(false));
}

std::string XlfExcel::libraryName() const {
    XlfOper result;
    int code = call(xlGetName, result.handle());
    const char* name = nullptr;
    if (code == xlretSuccess)
        name = result.toText(&code);
    if (code != xlretSuccess || name == nullptr) {
        XLL_REPORT(messages::NoDllName);
        return {};
    }
    return name;
}

bool XlfExcel::isCalledByFunctionWizard() const {
    XLOPER window{};
    window.xltype = xltypeNil;
    if (excel4Proc(xlGetHwnd, &window, 0) != xlretSuccess)
        return false;
    const auto hostWindow = static_cast<uint16_t>(window.val.w);

    constexpr std::string_view wizardClass = "bosa_sdm_XL";
    constexpr std::size_t kMaxClassName = 50;
    bool found = false;
    platform::enumerateTopLevelWindows([&](platform::WindowHandle candidate) {
        std::string name = platform::windowClassName(candidate, kMaxClassName);
        // Longer class names (the wizard's carries the host's version) match on their first characters.
        if (name.size() > wizardClass.size())
            name.resize(wizardClass.size());
        if (platform::compareIgnoreCaseEnUs(name, wizardClass) != 0)
            return true;
        if ((platform::windowParent(candidate) & 0xFFFF) != hostWindow)
            return true;
        found = true;
        return false;
    });
    return found;
}

void XlfExcel::msgBox(const char* text, const char* caption) const {
    const char* body = text == nullptr ? "" : text;
    if (caption != nullptr) {
        platform::showMessageBox(body, caption, platform::MessageIcon::Information);
        return;
    }
    const uint32_t error = platform::lastSystemError();
    const std::string system = platform::systemErrorText(error);
    const int length =
        std::snprintf(nullptr, 0, messages::ErrorBoxFormat, body, static_cast<int>(error), system.c_str());
    std::string message(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    std::snprintf(message.data(), message.size() + 1, messages::ErrorBoxFormat, body, static_cast<int>(error),
                  system.c_str());
    platform::showMessageBox(message, messages::ErrorBoxCaption, platform::MessageIcon::Error);
}

} // namespace xll
