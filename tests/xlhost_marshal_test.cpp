// The marshaller calls entry points whose arguments mix doubles and pointers in any order. Each fake below
// declares 17 arguments in a different order of classes (so register and stack placement differ, and on
// Windows x64 the first four positions take different prototypes) and checks every one it receives.

#include "xlhost/program/Marshaller.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using xlhost::MachineArgument;

namespace {

// What the fakes are given: argument i is the double i + 0.5 or the pointer to marks[i].
int marks[17];
std::vector<bool> seen;

double expectedDouble(int i) {
    return i + 0.5;
}
const void* expectedPointer(int i) {
    return &marks[i];
}

void see(int i, double x) {
    seen[static_cast<std::size_t>(i)] = x == expectedDouble(i);
}
void see(int i, const void* p) {
    seen[static_cast<std::size_t>(i)] = p == expectedPointer(i);
}

using D = double;
using P = const void*;

extern "C" const void* allDoubles(D a0, D a1, D a2, D a3, D a4, D a5, D a6, D a7, D a8, D a9, D a10, D a11,
                                  D a12, D a13, D a14, D a15, D a16) {
    const D a[] = {a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16};
    for (int i = 0; i < 17; ++i)
        see(i, a[i]);
    return &marks[0];
}

extern "C" const void* allPointers(P a0, P a1, P a2, P a3, P a4, P a5, P a6, P a7, P a8, P a9, P a10, P a11,
                                   P a12, P a13, P a14, P a15, P a16) {
    const P a[] = {a0, a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11, a12, a13, a14, a15, a16};
    for (int i = 0; i < 17; ++i)
        see(i, a[i]);
    return &marks[1];
}

// Alternating, starting with a double: D P D P ...
extern "C" const void* alternating(D a0, P a1, D a2, P a3, D a4, P a5, D a6, P a7, D a8, P a9, D a10, P a11,
                                   D a12, P a13, D a14, P a15, D a16) {
    see(0, a0), see(1, a1), see(2, a2), see(3, a3), see(4, a4), see(5, a5), see(6, a6), see(7, a7),
        see(8, a8);
    see(9, a9), see(10, a10), see(11, a11), see(12, a12), see(13, a13), see(14, a14), see(15, a15),
        see(16, a16);
    return &marks[2];
}

// Pointers first, then doubles, with a mixed head: P D D P, then 7 pointers, then 6 doubles.
extern "C" const void* grouped(P a0, D a1, D a2, P a3, P a4, P a5, P a6, P a7, P a8, P a9, P a10, D a11,
                               D a12, D a13, D a14, D a15, D a16) {
    see(0, a0), see(1, a1), see(2, a2), see(3, a3), see(4, a4), see(5, a5), see(6, a6), see(7, a7),
        see(8, a8);
    see(9, a9), see(10, a10), see(11, a11), see(12, a12), see(13, a13), see(14, a14), see(15, a15),
        see(16, a16);
    return &marks[3];
}

// Shaped like the curve entry point: a double, texts and records, with doubles deep in the list.
extern "C" const void* curveShaped(D a0, P a1, P a2, P a3, P a4, P a5, P a6, P a7, P a8, D a9, P a10, P a11,
                                   D a12, P a13, P a14, P a15, P a16) {
    see(0, a0), see(1, a1), see(2, a2), see(3, a3), see(4, a4), see(5, a5), see(6, a6), see(7, a7),
        see(8, a8);
    see(9, a9), see(10, a10), see(11, a11), see(12, a12), see(13, a13), see(14, a14), see(15, a15),
        see(16, a16);
    return &marks[4];
}

extern "C" const void* none() {
    return &marks[5];
}

extern "C" const void* fewer(P a0, D a1) {
    see(0, a0), see(1, a1);
    return &marks[6];
}

std::vector<MachineArgument> argumentsFor(const std::string& classes) {
    std::vector<MachineArgument> args;
    for (std::size_t i = 0; i < classes.size(); ++i) {
        const int n = static_cast<int>(i);
        args.push_back(classes[i] == 'D' ? MachineArgument::number(expectedDouble(n))
                                         : MachineArgument::pointer(expectedPointer(n)));
    }
    return args;
}

} // namespace

TEST(XlhostMarshaller, EveryArgumentArrivesInPlace) {
    if (!xlhost::callsSupported())
        GTEST_SKIP() << "no marshaller on this platform";
    struct Case {
        const char* name;
        const void* entryPoint;
        std::string classes;
        const void* returns;
    };
    const std::vector<Case> cases = {
        {"allDoubles", reinterpret_cast<const void*>(&allDoubles), "DDDDDDDDDDDDDDDDD", &marks[0]},
        {"allPointers", reinterpret_cast<const void*>(&allPointers), "PPPPPPPPPPPPPPPPP", &marks[1]},
        {"alternating", reinterpret_cast<const void*>(&alternating), "DPDPDPDPDPDPDPDPD", &marks[2]},
        {"grouped", reinterpret_cast<const void*>(&grouped), "PDDPPPPPPPPDDDDDD", &marks[3]},
        {"curveShaped", reinterpret_cast<const void*>(&curveShaped), "DPPPPPPPPDPPDPPPP", &marks[4]},
        {"none", reinterpret_cast<const void*>(&none), "", &marks[5]},
        {"fewer", reinterpret_cast<const void*>(&fewer), "PD", &marks[6]},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        seen.assign(c.classes.size(), false);
        const auto args = argumentsFor(c.classes);
        const auto returned = xlhost::callEntryPoint(c.entryPoint, args);
        ASSERT_TRUE(returned);
        EXPECT_EQ(*returned, reinterpret_cast<std::uintptr_t>(c.returns));
        for (std::size_t i = 0; i < seen.size(); ++i)
            EXPECT_TRUE(seen[i]) << "argument " << i << " (" << c.classes[i] << ")";
    }
}

TEST(XlhostMarshaller, RefusesWhatItCannotCall) {
    const std::vector<MachineArgument> tooMany(xlhost::kMaxCallArguments + 1, MachineArgument::number(1));
    EXPECT_FALSE(xlhost::callEntryPoint(reinterpret_cast<const void*>(&allDoubles), tooMany));
    EXPECT_FALSE(xlhost::callEntryPoint(nullptr, {}));
}
