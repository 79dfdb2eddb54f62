#include "src/XlfExcel.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <limits>
#include <new>
#include <stdexcept>
#include <type_traits>

#include "platform/Platform.h"
#include "src/Messages.h"
#include "src/XlfDiagnostics.h"
#include "src/XlfOperImpl12.h"
#include "src/XlfOperImpl4.h"

namespace xll {
namespace {

// Process-wide host entry points: Excel4 and Excel4v are set by initialisation, MdCallBack12 is looked up in
// the main module on first need. Atomic, because calls on any thread read them; a look-up that two threads
// make at once stores the same address twice.
std::atomic<Excel4Proc> excel4Proc{nullptr};
std::atomic<Excel4vProc> excel4vProc{nullptr};
std::atomic<MdCallBack12Proc> mdCallBack12Proc{nullptr};
std::atomic<bool> mdCallBack12LookedUp{false};

constexpr std::size_t kFirstBufferBytes = 8192;
constexpr std::size_t kBlockAlignment = 8; // every block may hold a record
// No host value comes near this; larger requests fail before any arithmetic can overflow.
constexpr std::size_t kMaxRequestBytes = static_cast<std::size_t>(
    std::min<std::uint64_t>(std::uint64_t{1} << 36, std::numeric_limits<std::size_t>::max() / 4));

constexpr uint32_t kHostMemoryBits = xltypeStr | xltypeRef | xltypeMulti | xltypeInt;

static_assert(std::is_same_v<platform::ThreadSlot, std::uintptr_t>);

// The instance is published once built, so a call on any thread either sees all of it or none.
std::atomic<XlfExcel*>& singleton() {
    static std::atomic<XlfExcel*> instance{nullptr};
    return instance;
}

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
int askHostVersion() {
    XLOPER which{};
    which.xltype = xltypeInt;
    which.val.w = 2; // the version text
    XLOPER text{};
    text.xltype = xltypeNil;
    const Excel4Proc excel4 = excel4Proc.load(std::memory_order_acquire);
    if (excel4(xlfGetWorkspace, &text, 1, &which) != xlretSuccess)
        return 0;
    XLOPER wanted{};
    wanted.xltype = xltypeInt;
    wanted.val.w = static_cast<int16_t>(xltypeInt);
    XLOPER number{};
    number.xltype = xltypeNil;
    const int code = excel4(xlCoerce, &number, 2, &text, &wanted);
    excel4(xlFree, nullptr, 1, &text);
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

// One thread's temporary memory: buffers oldest first, the newest serving requests from the offset on.
struct XlfExcel::Arena {
    struct Buffer {
        std::size_t size;
        std::unique_ptr<char[]> bytes;
    };
    std::vector<Buffer> buffers;
    std::size_t offset = 0;
    Arena* next = nullptr; // the instance's list of arenas

    void addBuffer(std::size_t size) {
        buffers.push_back(Buffer{size, std::unique_ptr<char[]>(new char[size])});
        offset = 0;
    }
};

XlfExcel& XlfExcel::instance() {
    std::atomic<XlfExcel*>& slot = singleton();
    if (XlfExcel* current = slot.load(std::memory_order_acquire))
        return *current;
    // The host opens the add-in on its main thread before any calculation, so this runs there. Should two
    // threads ever get here at once, both build an instance and the second to finish discards its own.
    std::unique_ptr<XlfExcel> created(new XlfExcel);
    created->initialise(); // a failure leaves no instance: the next access tries again
    XlfExcel* expected = nullptr;
    if (slot.compare_exchange_strong(expected, created.get(), std::memory_order_acq_rel))
        return *created.release();
    return *expected;
}

void XlfExcel::deleteInstance() {
    delete singleton().exchange(nullptr, std::memory_order_acq_rel);
    // The next value operation must go through a new instance, which chooses the generation again.
    XlfOperImpl::makeCurrent(nullptr);
}

XlfExcel::XlfExcel() : slot_(platform::allocateThreadSlot()), module_(std::make_unique<ModuleHolder>()) {}

XlfExcel::~XlfExcel() {
    // Closing runs on the main thread while no calculation does: every thread's values have been taken.
    for (Arena* arena = arenas_.exchange(nullptr); arena != nullptr;) {
        Arena* next = arena->next;
        delete arena;
        arena = next;
    }
    platform::freeThreadSlot(slot_);
}

void XlfExcel::initialise() {
    if (slot_ == platform::kNoThreadSlot)
        throw std::runtime_error(messages::NoThreadSlot);
    module_->handle = platform::loadLibrary("XLCALL32.DLL");
    if (module_->handle == nullptr)
        throw std::runtime_error(messages::CannotLoadHostLibrary);
    auto* excel4 = reinterpret_cast<Excel4Proc>(platform::findSymbol(module_->handle, "Excel4"));
    if (excel4 == nullptr)
        throw std::runtime_error(messages::NoExcel4);
    auto* excel4v = reinterpret_cast<Excel4vProc>(platform::findSymbol(module_->handle, "Excel4v"));
    if (excel4v == nullptr)
        throw std::runtime_error(messages::NoExcel4v);
    excel4Proc.store(excel4, std::memory_order_release);
    excel4vProc.store(excel4v, std::memory_order_release);

    hostVersion_ = askHostVersion();
    // Exactly 12: later hosts also accept the older generation's calls.
    excel12_ = hostVersion_ == 12;
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

XlfExcel::Arena& XlfExcel::arena() {
    if (void* mine = platform::threadSlotValue(slot_))
        return *static_cast<Arena*>(mine);
    // A thread's first call: its arena joins the instance's list (a lock-free push; only this thread
    // touches the arena's contents), and stays for the thread's next calls.
    auto created = std::make_unique<Arena>();
    Arena* arena = created.get();
    arena->next = arenas_.load(std::memory_order_relaxed);
    while (!arenas_.compare_exchange_weak(arena->next, arena, std::memory_order_release,
                                          std::memory_order_relaxed)) {
    }
    created.release();
    platform::setThreadSlotValue(slot_, arena);
    return *arena;
}

const XlfExcel::Arena* XlfExcel::existingArena() const {
    return static_cast<const Arena*>(platform::threadSlotValue(slot_));
}

void* XlfExcel::getMemory(std::size_t bytes) {
    if (bytes > kMaxRequestBytes)
        throw std::bad_alloc();
    Arena& a = arena();
    if (a.buffers.empty())
        a.addBuffer(kFirstBufferBytes);
    std::size_t start = (a.offset + kBlockAlignment - 1) / kBlockAlignment * kBlockAlignment;
    // A request that would exactly fill the rest of the buffer moves on too.
    while (bytes + start >= a.buffers.back().size) {
        const std::size_t size = a.buffers.back().size;
        a.addBuffer(size + size / 2);
        start = 0;
    }
    void* block = a.buffers.back().bytes.get() + start;
    a.offset = start + bytes;
    return block;
}

void XlfExcel::freeMemory(bool finished) {
    Arena& a = arena();
    const std::size_t keep = finished ? 0 : 1;
    if (a.buffers.size() > keep)
        a.buffers.erase(a.buffers.begin(), a.buffers.end() - static_cast<std::ptrdiff_t>(keep));
    a.offset = 0;
}

std::vector<std::size_t> XlfExcel::bufferSizes() const {
    std::vector<std::size_t> sizes;
    if (const Arena* a = existingArena())
        for (const Arena::Buffer& buffer : a->buffers)
            sizes.push_back(buffer.size);
    return sizes;
}

std::size_t XlfExcel::bufferOffset() const {
    const Arena* a = existingArena();
    return a == nullptr ? 0 : a->offset;
}

std::size_t XlfExcel::arenaCount() const {
    std::size_t count = 0;
    for (const Arena* a = arenas_.load(std::memory_order_acquire); a != nullptr; a = a->next)
        ++count;
    return count;
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
    if (excel4vProc.load(std::memory_order_acquire) == nullptr)
        instance();
    const Excel4vProc excel4v = excel4vProc.load(std::memory_order_acquire);
    if (count < 0 || (count > 0 && args == nullptr))
        return xlretInvCount;
    const int code =
        withoutMarkers(count, args, [&](XLOPER** plain) { return excel4v(xlfn, result, count, plain); });
    markHostOwned(result);
    return code;
}

int XlfExcel::excel12v(int xlfn, XLOPER12* result, int count, XLOPER12* const args[]) {
    if (!mdCallBack12LookedUp.load(std::memory_order_acquire)) {
        mdCallBack12Proc.store(
            reinterpret_cast<MdCallBack12Proc>(platform::findSymbol(platform::mainModule(), "MdCallBack12")),
            std::memory_order_relaxed);
        mdCallBack12LookedUp.store(true, std::memory_order_release);
    }
    const MdCallBack12Proc callback = mdCallBack12Proc.load(std::memory_order_relaxed);
    if (callback == nullptr)
        return xlretFailed;
    if (count < 0 || (count > 0 && args == nullptr))
        return xlretInvCount;
    const int code =
        withoutMarkers(count, args, [&](XLOPER12** plain) { return callback(xlfn, count, plain, result); });
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
    // xlGetHwnd is one of the callbacks the host allows from a thread-safe function.
    if (excel4Proc.load(std::memory_order_acquire)(xlGetHwnd, &window, 0) != xlretSuccess)
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
