#pragma once

#include <cstdint>
#include <string_view>

// Numbers in the tools' arguments and file names. The whole text must be the
// number, as std::from_chars reads it: no space, no '+', nothing after it;
// the same text reads the same in every locale.

// A whole number that fits a long long; false for anything else.
bool ParseWhole(std::string_view text, long long& value);
// Hexadecimal digits (no "0x") that fit 64 bits; false for anything else.
bool ParseHex(std::string_view text, uint64_t& value);
// A finite decimal number ("2.5", "1e3"); false for anything else, inf and nan too.
bool ParseDecimal(std::string_view text, double& value);
