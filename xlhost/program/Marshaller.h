#pragma once

// Calls an add-in entry point whose arguments are a run-time mix of doubles and pointers, returning what it
// returns in the integer return register (a record pointer here). Supported on x86-64 (System V and
// Windows); elsewhere callsSupported() is false.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace xlhost {

struct MachineArgument {
    bool isDouble = false;
    double real = 0;
    std::uintptr_t word = 0;

    static MachineArgument number(double x) { return {true, x, 0}; }
    static MachineArgument pointer(const void* p) { return {false, 0, reinterpret_cast<std::uintptr_t>(p)}; }
};

inline constexpr std::size_t kMaxCallArguments = 64;

bool callsSupported();

// Nullopt (and no call) when calls are not supported or there are more than kMaxCallArguments arguments.
std::optional<std::uintptr_t> callEntryPoint(const void* entryPoint, std::span<const MachineArgument> args);

} // namespace xlhost
