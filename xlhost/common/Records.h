#pragma once

// Reading and writing the host's value records of both generations, through the generation-free Value.

#include "src/api/XlCall.h"
#include "xlhost/common/Value.h"

#include <cstddef>
#include <optional>

namespace xlhost {

// Where the memory behind a written record (texts, array elements, reference areas) comes from.
class RecordStorage {
public:
    virtual void* allocate(std::size_t bytes) = 0;

protected:
    ~RecordStorage() = default;
};

// Most cells an array record may hold here: the 4-generation grid's 65 535 x 255, rounded up.
inline constexpr std::size_t kMaxArrayCells = std::size_t{1} << 24;

// A record as handed over; nullopt when it is not a sound record: a type word with unknown or several kind
// bits, a null text, array or area pointer, an empty or oversized array, an array cell that is itself an
// array or a reference. Marker bits (0x1000, 0x4000, 0x8000) make a record unsound too: callers that accept
// them clear them first.
std::optional<Value> readRecord(const XLOPER* record);
std::optional<Value> readRecord(const XLOPER12* record);

// Whether the value has a record in the generation: text lengths (255, 32 767), array shapes (65 535 x 255,
// 1 048 576 x 16 384), 16-bit integers and error codes in the 4-generation, no arrays or references in
// arrays.
bool fitsRecord(const Value& value, Generation generation);

// Writes a value that fits (check with fitsRecord first). Texts are counted, never terminated. Each block
// is taken from the storage in this order: the text, the array and then its element texts in row-major
// order, or the reference's area list; so the first block taken is the one the record points to.
void writeRecord(const Value& value, XLOPER& out, RecordStorage& storage);
void writeRecord(const Value& value, XLOPER12& out, RecordStorage& storage);

} // namespace xlhost
