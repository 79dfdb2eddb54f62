#pragma once

#include <cstdint>
#include <string>

// A tenor such as "6M" or "2Y" as a signed 16-bit count of months ("Invalid tenor !!!" when unreadable).
int16_t tenorToMonths(std::wstring tenor);
