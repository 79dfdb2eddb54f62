#pragma once

#include <cstdint>
#include <string>

namespace tavrin {

// A tenor such as "6M" or "2Y": a signed 16-bit count of months. A text that names no tenor still gives a
// Tenor; it fails with "Invalid tenor !!!" where its months are first needed, which is where the text used to
// be read, so the first failure a call detects is the same whenever the text is parsed.
class Tenor {
public:
    Tenor() = default;
    static Tenor ofMonths(int16_t months) { return Tenor(months); }

    bool isValid() const { return months_ != 0; }
    // The count of months; "Invalid tenor !!!" for a text that names no tenor.
    int16_t months() const;

private:
    explicit Tenor(int16_t months) : months_(months) {}
    int16_t months_ = 0; // never 0 for a readable tenor
};

// The only reading of tenor texts. Never fails: see Tenor.
Tenor parseTenor(const std::wstring& text);

// The months of a tenor text, failing at once when it names none.
int16_t tenorToMonths(const std::wstring& tenor);

} // namespace tavrin
