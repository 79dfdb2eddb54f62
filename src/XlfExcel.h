#pragma once

// XlfExcel: the process-wide access to the host. It finds the host's callbacks, chooses the host generation
// once per instance, forwards calls with the host's function numbers and owns the temporary memory in which
// the add-in builds the values it hands to the host.
//
// Threads: from version 12 the host may call every worksheet function on several threads at once. The
// instance and what it chose (generation, type codes, callbacks) are built at open and only read by calls;
// the temporary memory is one arena per calling thread, so no call takes a lock.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "src/XlfOper.h"
#include "src/api/XlCall.h"

namespace xll {

// Hosts from this version on recalculate on several threads and accept the thread-safe mark "$".
inline constexpr int kFirstMultiThreadedVersion = 12;

class XlfExcel {
public:
    // The singleton, created and initialised on first use. Initialisation failures throw std::runtime_error.
    static XlfExcel& instance();
    // Destroys the singleton (freeing all temporary memory); the next access creates and initialises anew.
    static void deleteInstance();

    XlfExcel(const XlfExcel&) = delete;
    XlfExcel& operator=(const XlfExcel&) = delete;
    ~XlfExcel();

    // ---- temporary memory (the calling thread's arena) ----
    // A block of n bytes, 8-byte aligned, valid until this thread's next release. Not zeroed.
    void* getMemory(std::size_t bytes);
    // Frees all of this thread's buffers but the newest (finished = false) or all of them (finished = true).
    // Other threads' values are untouched: the host may still be copying them.
    void freeMemory(bool finished = false);
    // The sizes of this thread's buffers, oldest first, and the offset of the next free byte in the newest.
    std::vector<std::size_t> bufferSizes() const;
    std::size_t bufferOffset() const;
    // How many threads have an arena (every thread that took temporary memory since the instance began).
    std::size_t arenaCount() const;

    // ---- calls ----
    // Forwards to the generation of the process; args are records of that generation.
    int callv(int xlfn, LPXLFOPER result, int count, const LPXLFOPER args[]) const;
    template <class... Opers>
    int call(int xlfn, LPXLFOPER result, const Opers&... args) const {
        const LPXLFOPER array[] = {args.handle()..., nullptr};
        return callv(xlfn, result, static_cast<int>(sizeof...(args)), array);
    }
    // The array forms of each generation; a result that holds host memory is marked xlbitHostOwned.
    static int excel4v(int xlfn, XLOPER* result, int count, XLOPER* const args[]);
    static int excel12v(int xlfn, XLOPER12* result, int count, XLOPER12* const args[]);

    // ---- the host ----
    bool isExcel12() const { return excel12_; }
    // The version the host reported at initialisation (0 when it did not say).
    int hostVersion() const { return hostVersion_; }
    // Registration type codes of this generation: value record ("P"/"Q"), record ("R"/"U"), wide text
    // ("C"/"C%").
    const std::string& xlfOperType() const { return letters_->oper; }
    const std::string& xlfXloperType() const { return letters_->xloper; }
    const std::string& wStrType() const { return letters_->wideText; }

    // Shows a text in the host's status bar; null clears it.
    void sendMessage(const char* text = nullptr) const;
    // This add-in's full file name as the host knows it; empty (with a diagnostic line) when unavailable.
    std::string libraryName() const;
    // True while the host's function wizard dialog is open for this host window.
    bool isCalledByFunctionWizard() const;
    // With a caption: the text in an information box. Without: the last system error's text appended.
    void msgBox(const char* text, const char* caption = nullptr) const;

private:
    struct Arena;
    struct ModuleHolder;
    struct TypeLetters {
        std::string oper;
        std::string xloper;
        std::string wideText;
    };
    static const TypeLetters& lettersOf(bool excel12);

    XlfExcel();
    void initialise();
    // The calling thread's arena, created on its first need.
    Arena& arena();
    // The calling thread's arena when it has one.
    const Arena* existingArena() const;

    std::uintptr_t slot_;          // the thread-local slot that holds each thread's arena
    std::atomic<Arena*> arenas_{}; // every thread's arena, newest first, freed with the instance
    std::unique_ptr<ModuleHolder> module_;
    int hostVersion_ = 0;
    bool excel12_ = false;
    const TypeLetters* letters_ = &lettersOf(false);
};

} // namespace xll
