#pragma once

// The host's memory ledger: every block behind a result the host wrote, grouped by the pointer the result
// record holds (its text, array or area list), until the add-in gives the result back with xlFree.

#include "xlhost/common/Records.h"

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace xlhost {

// Collects the blocks of one result as it is written.
class ResultStorage final : public RecordStorage {
public:
    void* allocate(std::size_t bytes) override;
    std::vector<void*> blocks;
};

class Ledger {
public:
    Ledger() = default;
    ~Ledger();
    Ledger(const Ledger&) = delete;
    Ledger& operator=(const Ledger&) = delete;

    // Takes over the blocks of a written result (none for results without memory).
    void add(ResultStorage&& storage);
    // Frees the result whose record points at this block; a pointer never handed out, or already freed,
    // is logged as a problem and left alone.
    void free(const void* key, const char* what);
    void problem(std::string text) { problems_.push_back(std::move(text)); }

    std::size_t outstanding() const { return live_.size(); }
    const std::vector<std::string>& problems() const { return problems_; }
    // Frees everything outstanding and forgets the problems.
    void clear();

private:
    std::unordered_map<const void*, std::vector<void*>> live_;
    std::unordered_set<const void*> freed_;
    std::vector<std::string> problems_;
};

} // namespace xlhost
