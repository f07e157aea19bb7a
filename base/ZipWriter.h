#pragma once

// Builds ZIP archives in memory: stored (uncompressed) or deflated entries with any name, including
// names a real archiver would refuse ("../x", "C:/x", "a\\b"). The programs only read archives
// (MemoryZip); tests and benchmarks make the archives they feed them with this.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessel {

class ZipWriter {
public:
    enum class Method : uint16_t { Stored = 0, Deflated = 8 };

    void Add(std::string_view name, std::string_view content, Method method = Method::Stored) {
        std::string data(content);
        if (method == Method::Deflated) {
            data = Deflate(content);
        }
        Record record;
        record.name = name;
        record.method = static_cast<uint16_t>(method);
        record.crc = crc32(0, reinterpret_cast<const Bytef*>(content.data()),
                           static_cast<uInt>(content.size()));
        record.compressedSize = static_cast<uint32_t>(data.size());
        record.size = static_cast<uint32_t>(content.size());
        record.offset = static_cast<uint32_t>(m_bytes.size());
        Put32(m_bytes, 0x04034b50);
        Put16(m_bytes, 20);
        Put16(m_bytes, 0);
        Put16(m_bytes, record.method);
        Put32(m_bytes, 0);  // time and date
        Put32(m_bytes, record.crc);
        Put32(m_bytes, record.compressedSize);
        Put32(m_bytes, record.size);
        Put16(m_bytes, static_cast<uint16_t>(name.size()));
        Put16(m_bytes, 0);
        m_bytes += name;
        m_bytes += data;
        m_records.push_back(std::move(record));
    }

    std::string Finish() const {
        std::string out = m_bytes;
        const auto directoryStart = static_cast<uint32_t>(out.size());
        for (const Record& r : m_records) {
            Put32(out, 0x02014b50);
            Put16(out, 20);
            Put16(out, 20);
            Put16(out, 0);
            Put16(out, r.method);
            Put32(out, 0);
            Put32(out, r.crc);
            Put32(out, r.compressedSize);
            Put32(out, r.size);
            Put16(out, static_cast<uint16_t>(r.name.size()));
            Put16(out, 0);
            Put16(out, 0);
            Put16(out, 0);
            Put16(out, 0);
            Put32(out, 0);
            Put32(out, r.offset);
            out += r.name;
        }
        const auto directorySize = static_cast<uint32_t>(out.size() - directoryStart);
        Put32(out, 0x06054b50);
        Put16(out, 0);
        Put16(out, 0);
        Put16(out, static_cast<uint16_t>(m_records.size()));
        Put16(out, static_cast<uint16_t>(m_records.size()));
        Put32(out, directorySize);
        Put32(out, directoryStart);
        Put16(out, 0);
        return out;
    }

private:
    struct Record {
        std::string name;
        uint16_t method = 0;
        uint32_t crc = 0;
        uint32_t compressedSize = 0;
        uint32_t size = 0;
        uint32_t offset = 0;
    };

    static void Put16(std::string& out, uint16_t v) {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>(v >> 8));
    }
    static void Put32(std::string& out, uint32_t v) {
        Put16(out, static_cast<uint16_t>(v & 0xFFFF));
        Put16(out, static_cast<uint16_t>(v >> 16));
    }

    // Raw deflate (no zlib header), as ZIP stores it.
    static std::string Deflate(std::string_view content) {
        z_stream z = {};
        deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
        std::string out(deflateBound(&z, static_cast<uLong>(content.size())), '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
        z.avail_in = static_cast<uInt>(content.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        deflate(&z, Z_FINISH);
        out.resize(z.total_out);
        deflateEnd(&z);
        return out;
    }

    std::string m_bytes;
    std::vector<Record> m_records;
};

}  // namespace tessel
