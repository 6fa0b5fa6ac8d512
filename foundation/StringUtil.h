#pragma once

#include <string>
#include <vector>

// Number conversions: leading white space skipped, the base taken from the
// prefix ("0x" hexadecimal, leading 0 octal, else decimal), conversion stops at
// the first character that does not fit. Text that is no number gives 0; a value
// out of range throws std::out_of_range with an empty message.
unsigned long WStringToULong(const std::wstring& text);
long WStringToLong(const std::wstring& text);
unsigned long long WStringToUInt64(const std::wstring& text);

// Remove the leading / trailing characters that occur in `set`, in place.
void WStringTrimLeft(std::wstring& s, const std::wstring& set);
void WStringTrimRight(std::wstring& s, const std::wstring& set);
// Removes every CR and LF, in place.
void StripLineBreaks(std::wstring& s);

// UTF-8 <-> UTF-16. A failed conversion throws std::runtime_error
// ("convert error:<code>").
std::string WideToUtf8(const std::wstring& text);
std::wstring Utf8ToWide(const std::string& text);

// Text of a file in a code page (CP_ACP, 936, CP_UTF8 ...) <-> UTF-16, for file contents that may
// be damaged: what cannot be converted gives an empty result rather than an exception.
std::wstring CodePageToWide(unsigned codePage, const std::string& bytes);
std::string WideToCodePage(unsigned codePage, const std::wstring& text);
// UTF-16 text <-> its bytes, little- or big-endian; an odd last byte is no character and is dropped.
std::string WideToUtf16Bytes(const std::wstring& text, bool bigEndian = false);
std::wstring Utf16BytesToWide(const std::string& bytes, bool bigEndian = false);

// The pieces between delimiters, in order; inner empty pieces are kept, no empty
// piece follows a trailing delimiter.
std::vector<std::wstring> SplitString(const std::wstring& text, wchar_t delim);
