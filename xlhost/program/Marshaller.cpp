#include "xlhost/program/Marshaller.h"

#include <array>
#include <bit>
#include <type_traits>
#include <utility>

#if (defined(__x86_64__) && !defined(_WIN64)) || defined(_WIN64)
#define XLHOST_CALLS_SUPPORTED 1
#endif

namespace xlhost {
namespace {

#if defined(XLHOST_CALLS_SUPPORTED)
template <std::size_t>
using Word = std::uintptr_t;

std::uintptr_t bitsOf(const MachineArgument& a) {
    return a.isDouble ? std::bit_cast<std::uintptr_t>(a.real) : a.word;
}
#endif

#if defined(__x86_64__) && !defined(_WIN64)

// System V x86-64: integer and pointer arguments take rdi, rsi, rdx, rcx, r8, r9 in the order they come
// among themselves, doubles take xmm0 to xmm7 likewise; every argument that finds its class's registers
// full goes on the stack, 8 bytes each, in argument order. So one prototype serves every mix: 6 words,
// 8 doubles, then stack words carrying either a pointer or a double's bit pattern. A callee ignores the
// registers and stack words it does not declare, and the caller removes the stack words.
constexpr std::size_t kIntegerRegisters = 6;
constexpr std::size_t kVectorRegisters = 8;
constexpr std::size_t kStackWords = kMaxCallArguments;

template <std::size_t... I>
std::uintptr_t callSysV(const void* fn, const std::uintptr_t* w, const double* d, const std::uintptr_t* stack,
                        std::index_sequence<I...>) {
    using Fn = std::uintptr_t (*)(std::uintptr_t, std::uintptr_t, std::uintptr_t, std::uintptr_t,
                                  std::uintptr_t, std::uintptr_t, double, double, double, double, double,
                                  double, double, double, Word<I>...);
    return reinterpret_cast<Fn>(const_cast<void*>(fn))(w[0], w[1], w[2], w[3], w[4], w[5], d[0], d[1], d[2],
                                                       d[3], d[4], d[5], d[6], d[7], stack[I]...);
}

std::uintptr_t call(const void* fn, std::span<const MachineArgument> args) {
    std::uintptr_t words[kIntegerRegisters] = {};
    double reals[kVectorRegisters] = {};
    std::uintptr_t stack[kStackWords] = {};
    std::size_t nWords = 0;
    std::size_t nReals = 0;
    std::size_t nStack = 0;
    for (const MachineArgument& a : args) {
        if (a.isDouble && nReals < kVectorRegisters)
            reals[nReals++] = a.real;
        else if (!a.isDouble && nWords < kIntegerRegisters)
            words[nWords++] = a.word;
        else
            stack[nStack++] = bitsOf(a);
    }
    return callSysV(fn, words, reals, stack, std::make_index_sequence<kStackWords>{});
}

#elif defined(_WIN64)

// Windows x64: argument i < 4 goes in the register of its own class at position i (rcx, rdx, r8, r9 or
// xmm0 to xmm3); every later one goes on the stack at its position, 8 bytes each, a double as its bit
// pattern. So the first four positions need one prototype per mix of classes (16), followed by stack words.
constexpr std::size_t kRegisterPositions = 4;
constexpr std::size_t kStackWords = kMaxCallArguments - kRegisterPositions;

template <unsigned Mask, std::size_t Position>
using Slot = std::conditional_t<(Mask >> Position & 1U) != 0, double, std::uintptr_t>;

template <unsigned Mask, std::size_t Position>
Slot<Mask, Position> slot(const MachineArgument* regs) {
    if constexpr ((Mask >> Position & 1U) != 0)
        return regs[Position].real;
    else
        return regs[Position].word;
}

template <unsigned Mask, std::size_t... I>
std::uintptr_t callWin64(const void* fn, const MachineArgument* regs, const std::uintptr_t* stack,
                         std::index_sequence<I...>) {
    using Fn = std::uintptr_t (*)(Slot<Mask, 0>, Slot<Mask, 1>, Slot<Mask, 2>, Slot<Mask, 3>, Word<I>...);
    return reinterpret_cast<Fn>(const_cast<void*>(fn))(slot<Mask, 0>(regs), slot<Mask, 1>(regs),
                                                       slot<Mask, 2>(regs), slot<Mask, 3>(regs), stack[I]...);
}

using Caller = std::uintptr_t (*)(const void*, const MachineArgument*, const std::uintptr_t*);

template <unsigned Mask>
std::uintptr_t callWithMask(const void* fn, const MachineArgument* regs, const std::uintptr_t* stack) {
    return callWin64<Mask>(fn, regs, stack, std::make_index_sequence<kStackWords>{});
}

template <unsigned... Mask>
constexpr auto callers(std::integer_sequence<unsigned, Mask...>) {
    return std::array<Caller, sizeof...(Mask)>{&callWithMask<Mask>...};
}

std::uintptr_t call(const void* fn, std::span<const MachineArgument> args) {
    MachineArgument regs[kRegisterPositions] = {};
    std::uintptr_t stack[kStackWords] = {};
    unsigned mask = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i < kRegisterPositions) {
            regs[i] = args[i];
            mask |= args[i].isDouble ? 1U << i : 0U;
        } else {
            stack[i - kRegisterPositions] = bitsOf(args[i]);
        }
    }
    static constexpr auto table = callers(std::make_integer_sequence<unsigned, 16>{});
    return table[mask](fn, regs, stack);
}

#endif

} // namespace

bool callsSupported() {
#if defined(XLHOST_CALLS_SUPPORTED)
    return true;
#else
    return false;
#endif
}

std::optional<std::uintptr_t> callEntryPoint(const void* entryPoint, std::span<const MachineArgument> args) {
    if (!callsSupported() || entryPoint == nullptr || args.size() > kMaxCallArguments)
        return std::nullopt;
#if defined(XLHOST_CALLS_SUPPORTED)
    return call(entryPoint, args);
#else
    return std::nullopt;
#endif
}

} // namespace xlhost
