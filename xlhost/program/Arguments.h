#pragma once

// How the host hands each formula argument to an entry point, by the argument's registered type letter:
//   B       a number as it is; TRUE/FALSE 1/0; omitted or empty 0; a text that reads as a number that
//           number, any other text #VALUE! without calling
//   C, C%   a text as it is, zero-terminated (single bytes, or 16-bit units); a number as its shortest text;
//           TRUE/FALSE as "TRUE"/"FALSE"; omitted or empty ""; longer than 255 (C) or 32 767 (C%)
//           characters: #VALUE! without calling, as the host refuses such texts
//   P, R    the literal as a 4-generation record (omitted: Missing; an empty array cell: Nil)
//   Q, U    the literal as a 12-generation record
// For B and the text letters an array stands for its first cell and an error answers that error without
// calling; the value letters pass errors and arrays on.

#include "xlhost/common/Records.h"
#include "xlhost/common/Value.h"
#include "xlhost/formula/FormulaParser.h"
#include "xlhost/program/Marshaller.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace xlhost {

// The value a literal stands for: omitted is Missing, an empty array cell Nil, texts read as UTF-8.
Value literalValue(const formula::Literal& literal);

// The memory behind the arguments of one call; it lives until the call's result has been read.
class ArgumentStorage final : public RecordStorage {
public:
    void* allocate(std::size_t bytes) override;

private:
    std::vector<std::unique_ptr<std::byte[]>> blocks_;
};

struct Passing {
    std::vector<MachineArgument> arguments;
    std::optional<Value> answer; // when set, the host answers this without calling the entry point
    std::string error;           // when set, the arguments cannot be passed (the message says why)
};

// One value per registered argument letter, in order.
Passing passArguments(const std::vector<Value>& values, const std::vector<std::string>& letters,
                      ArgumentStorage& storage);

} // namespace xlhost
