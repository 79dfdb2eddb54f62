#pragma once

// Turns a fuzzer's bytes into the values a worksheet can send: numbers biased towards the ones that break
// date and integer arithmetic, texts drawn from the add-in's own vocabulary or made of raw bytes, counts and
// choices. Reading past the end gives zeros, so every input decodes to something.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <span>
#include <string>
#include <string_view>

namespace fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool exhausted() const { return pos_ >= size_; }
    std::size_t remaining() const { return exhausted() ? 0 : size_ - pos_; }

    uint8_t byte() { return exhausted() ? 0 : data_[pos_++]; }
    // Little-endian; each read is sequenced, so that every compiler decodes the same input alike.
    uint16_t word() {
        const uint16_t low = byte();
        return static_cast<uint16_t>(low | (byte() << 8));
    }
    uint32_t dword() {
        const uint32_t low = word();
        return low | (static_cast<uint32_t>(word()) << 16);
    }
    uint64_t qword() {
        const uint64_t low = dword();
        return low | (static_cast<uint64_t>(dword()) << 32);
    }
    bool flag() { return (byte() & 1) != 0; }

    // A number in [0, n]; small ranges take one byte, larger ones more.
    uint32_t upTo(uint32_t n) {
        if (n == 0)
            return 0;
        const uint64_t raw = n < 0xFF ? byte() : n < 0xFFFF ? word() : dword();
        return static_cast<uint32_t>(raw % (uint64_t{n} + 1));
    }

    template <class T, std::size_t N>
    const T& pick(const T (&items)[N]) {
        return items[upTo(N - 1)];
    }

    double rawDouble() {
        const uint64_t bits = qword();
        double x;
        std::memcpy(&x, &bits, sizeof x);
        return x;
    }

    // Worksheet numbers: the edges of the 16- and 32-bit ranges and of the host's date range, NaN,
    // infinities and extremes, plain dates, whole numbers and raw doubles.
    double number() {
        static constexpr double kInf = std::numeric_limits<double>::infinity();
        static constexpr double kEdgeNumbers[] = {0.0,
                                                  -0.0,
                                                  1.0,
                                                  -1.0,
                                                  0.5,
                                                  2.9,
                                                  -2.9,
                                                  std::numeric_limits<double>::quiet_NaN(),
                                                  -std::numeric_limits<double>::quiet_NaN(),
                                                  kInf,
                                                  -kInf,
                                                  std::numeric_limits<double>::max(),
                                                  -std::numeric_limits<double>::max(),
                                                  std::numeric_limits<double>::denorm_min(),
                                                  1e-300,
                                                  32767.0,
                                                  32768.0,
                                                  -32768.0,
                                                  -32769.0,
                                                  65535.0,
                                                  2147483647.0,
                                                  2147483647.5,
                                                  2147483648.0,
                                                  -2147483648.0,
                                                  -2147483648.5,
                                                  -2147483649.0,
                                                  4294967296.0,
                                                  9.2233720368547758e18,
                                                  1.8446744073709552e19,
                                                  1e15,
                                                  60.0,
                                                  61.0,
                                                  366.0,
                                                  367.0,
                                                  2958465.0,
                                                  2958466.0,
                                                  40805.0,
                                                  45292.0,
                                                  73110.0,
                                                  100.0,
                                                  600.0,
                                                  31.0,
                                                  32.0};
        switch (byte() & 7) {
        case 0:
        case 1:
            return pick(kEdgeNumbers);
        case 2:
        case 3: // a date from 1900 to about 2230
            return static_cast<double>(upTo(120000));
        case 4: { // a date near a fixed point, with a fraction
            const double days = static_cast<int16_t>(word());
            return 40000.0 + days + byte() / 256.0;
        }
        case 5:
            return static_cast<double>(static_cast<int32_t>(dword()));
        case 6:
            return static_cast<int8_t>(byte());
        default:
            return rawDouble();
        }
    }

    // A text of up to maxLength bytes, taken as it stands in the input.
    std::string rawText(std::size_t maxLength) {
        const std::size_t wanted = upTo(static_cast<uint32_t>(maxLength));
        const std::size_t length = std::min(wanted, remaining());
        std::string s(reinterpret_cast<const char*>(data_ + pos_), length);
        pos_ += length;
        return s;
    }

    // A text in code units (bytes, or 16-bit units when wide): a word of the vocabulary, a comma-joined list
    // of them, raw units, or one unit repeated to a length beyond every host limit.
    std::u16string text(std::span<const std::string_view> vocabulary, bool wide) {
        auto known = [&] {
            const std::string_view w = vocabulary[upTo(static_cast<uint32_t>(vocabulary.size() - 1))];
            return std::u16string(w.begin(), w.end());
        };
        auto unit = [&] { return wide ? static_cast<char16_t>(word()) : static_cast<char16_t>(byte()); };
        switch (byte() & 7) {
        case 0:
        case 1:
        case 2:
            return known();
        case 3: {
            std::u16string s = known();
            for (uint32_t n = upTo(3); n > 0; --n)
                s += u',' + known();
            return s;
        }
        case 4: { // a vocabulary word with a unit changed or added
            std::u16string s = known();
            const char16_t u = unit();
            const std::size_t at = upTo(static_cast<uint32_t>(s.size()));
            if (flag() && at < s.size())
                s[at] = u;
            else
                s.insert(s.begin() + static_cast<std::ptrdiff_t>(at), u);
            return s;
        }
        case 5:
        case 6: {
            const std::size_t length = upTo(64);
            std::u16string s;
            for (std::size_t i = 0; i < length && !exhausted(); ++i)
                s.push_back(unit());
            return s;
        }
        default: {
            static constexpr std::size_t kLengths[] = {254, 255, 256, 300, 32766, 32767, 32768, 70000};
            const char16_t u = unit();
            return std::u16string(pick(kLengths), u == 0 ? u'x' : u);
        }
        }
    }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// Sweeps over a span of days cost time in proportion to its years (about 0.1 us per calendar and year, some
// ten times that under the fuzzing build's sanitizers). Spans beyond this many days are folded back into it,
// so that a run stays within the time limit, which is there to catch hangs; both ends may still lie anywhere.
inline constexpr double kMaxSweepDays = 2e7; // some 55,000 years

// The end of a span, or a count of days from a start, folded into kMaxSweepDays; NaN and infinities stay.
inline double foldedSpan(double from, double to) {
    const double span = to - from;
    if (!std::isfinite(span) || std::fabs(span) <= kMaxSweepDays)
        return to;
    return from + std::copysign(std::fmod(std::fabs(span), kMaxSweepDays), span);
}

// The add-in's vocabulary: calendar names, tenors, business-day letters and day-count names, with near
// misses.
inline constexpr std::string_view kVocabulary[] = {"US",          "NYSE",     "NY",
                                                   "UK",          "LONDON",   "LON",
                                                   "JAPAN",       "TARGET",   "SINGAPORE",
                                                   "SWITZERLAND", "WEEKDAYS", "us",
                                                   "US ",         "",         ",",
                                                   "US,,UK",      "6M",       "1Y",
                                                   "3M",          "12M",      "0M",
                                                   "-3M",         "1y",       "6m",
                                                   "32767M",      "-32768M",  "2731Y",
                                                   "2732Y",       "99999Y",   "M",
                                                   "Y",           "1W",       "1D",
                                                   "+6M",         "m",        "s",
                                                   "p",           "u",        "M",
                                                   "S",           "P",        "f",
                                                   "Act/365F",    "Act/360",  "Act/365L",
                                                   "Act/365A",    "NL/365",   "30/360 ISDA",
                                                   "30E/360",     "30E+/360", "30/360 German",
                                                   "30/360 US",   "Act/Act",  "ACT/ACT",
                                                   "act/360",     "Act/361",  "TRUE",
                                                   "1",           "1e308",    "nan",
                                                   "inf",         "-0"};

} // namespace fuzz
