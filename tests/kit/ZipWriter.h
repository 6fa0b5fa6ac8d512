#pragma once
// Builds zip archives in memory for tests: local headers, stored or deflated data (zlib) and
// the central directory, with control over attributes, times, extra fields and damage.
//
//   kit::ZipWriter zip;
//   zip.Add("skin/a.xml", "<Window/>");
//   zip.AddDirectory("skin/");
//   std::string bytes = zip.Build();
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "kit/FileBytes.h"

namespace kit {

struct ZipWriterEntry {
    std::string name;                 // as stored (narrow)
    std::string data;                 // uncompressed bytes
    bool deflate = true;
    uint16_t madeBy = 20;             // upper byte 0 = made on DOS/Windows, 3 = Unix
    uint32_t externalAttributes = 0;  // DOS bits low, Unix mode in the upper 16 bits
    uint16_t dosTime = 0;
    uint16_t dosDate = (1 << 5) | 1;  // 1980-01-01
    std::string localExtra;           // extra field of the local header
    uint16_t method = 0xFFFF;         // 0xFFFF: 0 or 8 from `deflate`; else written as given
    uint16_t flags = 0;
    bool damageCrc = false;           // store a wrong CRC in both headers
    bool localMethodMismatch = false; // local header names another method
};

class ZipWriter {
public:
    ZipWriterEntry& Add(const std::string& name, const std::string& data, bool deflate = true);
    ZipWriterEntry& AddDirectory(const std::string& name);
    std::string Build() const;

    // An extended-timestamp ("UT") extra block: flags, then the given Unix times in order.
    static std::string ExtendedTimestamp(uint8_t flags, const std::vector<uint32_t>& times);
    // A DOS date and time word pair.
    static uint16_t DosDate(int year, int month, int day);
    static uint16_t DosTime(int hour, int minute, int second);

    // A deque: references returned by Add stay valid while more entries are added.
    std::deque<ZipWriterEntry> entries;
};

} // namespace kit
