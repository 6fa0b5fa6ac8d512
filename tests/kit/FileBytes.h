#pragma once
// Whole-file reads and writes for tests that prepare inputs or check outputs on disk.
#include <string>

namespace kit {

// Writes bytes to a file (created or replaced); false on failure.
bool WriteBytesToFile(const std::wstring& path, const std::string& bytes);
// Reads a whole file; empty when it cannot be read.
std::string ReadBytesFromFile(const std::wstring& path);

} // namespace kit
