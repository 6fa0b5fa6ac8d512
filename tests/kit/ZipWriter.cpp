#include "kit/ZipWriter.h"

#include <windows.h>
#include <zlib.h>

namespace kit {

namespace {

void Put16(std::string& out, uint32_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The fields the local and the central header share, from the flags to the name's length.
void PutShared(std::string& out, const ZipWriterEntry& e, uint16_t method, uint32_t crc, size_t packedSize) {
    Put16(out, e.flags);
    Put16(out, method);
    Put16(out, e.dosTime);
    Put16(out, e.dosDate);
    Put32(out, crc);
    Put32(out, static_cast<uint32_t>(packedSize));
    Put32(out, static_cast<uint32_t>(e.data.size()));
    Put16(out, static_cast<uint32_t>(e.name.size()));
}

// Raw deflate (no zlib header), as zip stores it.
std::string Deflate(const std::string& data) {
    z_stream zs{};
    deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&zs, static_cast<uLong>(data.size())) + 16, '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    zs.avail_in = static_cast<uInt>(data.size());
    zs.next_out = reinterpret_cast<Bytef*>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

} // namespace

ZipWriterEntry& ZipWriter::Add(const std::string& name, const std::string& data, bool deflate) {
    ZipWriterEntry e;
    e.name = name;
    e.data = data;
    e.deflate = deflate;
    entries.push_back(e);
    return entries.back();
}

ZipWriterEntry& ZipWriter::AddDirectory(const std::string& name) {
    ZipWriterEntry& e = Add(name, "", false);
    e.externalAttributes = 0x10;
    return e;
}

std::string ZipWriter::Build() const {
    std::string out, central;
    for (const ZipWriterEntry& e : entries) {
        const uint16_t method = e.method != 0xFFFF ? e.method : (e.deflate ? 8 : 0);
        const std::string payload = method == 8 ? Deflate(e.data) : e.data;
        uint32_t crc = static_cast<uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())));
        if (e.damageCrc) crc ^= 0x5A5A5A5Au;
        const uint32_t offset = static_cast<uint32_t>(out.size());

        Put32(out, 0x04034b50);
        Put16(out, 20);
        PutShared(out, e, e.localMethodMismatch ? (method == 8 ? 0 : 8) : method, crc, payload.size());
        Put16(out, static_cast<uint32_t>(e.localExtra.size()));
        out += e.name;
        out += e.localExtra;
        out += payload;

        Put32(central, 0x02014b50);
        Put16(central, e.madeBy);
        Put16(central, 20);
        PutShared(central, e, method, crc, payload.size());
        Put16(central, 0);  // central extra
        Put16(central, 0);  // comment
        Put16(central, 0);  // disk
        Put16(central, 0);  // internal attributes
        Put32(central, e.externalAttributes);
        Put32(central, offset);
        central += e.name;
    }
    const uint32_t centralOffset = static_cast<uint32_t>(out.size());
    out += central;
    Put32(out, 0x06054b50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put16(out, static_cast<uint32_t>(entries.size()));
    Put32(out, static_cast<uint32_t>(central.size()));
    Put32(out, centralOffset);
    Put16(out, 0);
    return out;
}

std::string ZipWriter::ExtendedTimestamp(uint8_t flags, const std::vector<uint32_t>& times) {
    std::string block;
    Put16(block, 0x5455);
    Put16(block, static_cast<uint32_t>(1 + 4 * times.size()));
    block.push_back(static_cast<char>(flags));
    for (uint32_t t : times) Put32(block, t);
    return block;
}

uint16_t ZipWriter::DosDate(int year, int month, int day) {
    return static_cast<uint16_t>(((year - 1980) << 9) | (month << 5) | day);
}

uint16_t ZipWriter::DosTime(int hour, int minute, int second) {
    return static_cast<uint16_t>((hour << 11) | (minute << 5) | (second / 2));
}

} // namespace kit
