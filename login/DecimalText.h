#pragma once

#include <cstdint>
#include <string>

// The value formatted with "%d".
std::wstring FormatDecimalW(int32_t value);
// The value formatted with "%I64u" (account numbers).
std::wstring FormatUInt64W(uint64_t value);

// Reads an unsigned 64-bit number that fills the whole text (blanks around it
// allowed). base 0 takes the base from the prefix ("0x" hexadecimal, leading 0
// octal). Signs, other characters, empty text and values out of range fail; this
// never throws, so a damaged file cannot end the program.
bool TryParseUInt64W(const wchar_t* text, int base, uint64_t& out);
