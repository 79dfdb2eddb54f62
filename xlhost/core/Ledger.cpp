#include "xlhost/core/Ledger.h"

#include <cstdio>
#include <new>

namespace xlhost {
namespace {

// Freed pointers are remembered to tell a double free from a stray one; the memory this takes is bounded.
constexpr std::size_t kMaxRememberedFrees = std::size_t{1} << 20;

std::string pointerText(const void* p) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%p", p);
    return buffer;
}

void release(std::vector<void*>& blocks) {
    for (void* b : blocks)
        ::operator delete(b);
    blocks.clear();
}

} // namespace

void* ResultStorage::allocate(std::size_t bytes) {
    // Exactly the size asked for, so a reader running past a counted text trips the sanitizers.
    void* p = ::operator new(bytes == 0 ? 1 : bytes);
    blocks.push_back(p);
    return p;
}

Ledger::~Ledger() {
    clear();
}

void Ledger::add(ResultStorage&& storage) {
    if (storage.blocks.empty())
        return;
    for (void* b : storage.blocks)
        freed_.erase(b);
    live_.emplace(storage.blocks.front(), std::move(storage.blocks));
    storage.blocks.clear();
}

void Ledger::free(const void* key, const char* what) {
    if (key == nullptr)
        return;
    const auto found = live_.find(key);
    if (found != live_.end()) {
        release(found->second);
        live_.erase(found);
        if (freed_.size() >= kMaxRememberedFrees)
            freed_.clear();
        freed_.insert(key);
        return;
    }
    if (freed_.count(key) != 0)
        problem(std::string("double xlFree of the ") + what + " at " + pointerText(key));
    else
        problem(std::string("xlFree of a ") + what + " the host never returned, at " + pointerText(key));
}

void Ledger::clear() {
    for (auto& [key, blocks] : live_)
        release(blocks);
    live_.clear();
    freed_.clear();
    problems_.clear();
}

} // namespace xlhost
