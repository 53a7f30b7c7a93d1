#include "ZipWriter.h"

#include <zlib.h>

#include <limits>

namespace quarto {

namespace {

void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// 1 January 1980, the earliest time ZIP writes: the books come out the same every time.
constexpr std::uint16_t DosTime = 0;
constexpr std::uint16_t DosDate = (0 << 9) | (1 << 5) | 1;
constexpr std::uint16_t Utf8Names = 1 << 11;

// The fastest level: a book of 200 MB of pages is packed in seconds, a third larger than at
// the default level.
std::string Deflated(std::string_view bytes) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw EStreamError("zlib: не удаётся начать сжатие.");
    std::string out(deflateBound(&z, static_cast<uLong>(bytes.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int status = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (status != Z_STREAM_END)
        throw EStreamError("zlib: сжатие не завершено.");
    return out;
}

} // namespace

TZipWriter::TZipWriter(const std::string& path) : FFile(FileSystem().OpenForWriting(path)) {}

TZipWriter::~TZipWriter() = default;

void TZipWriter::Write(std::string_view bytes) {
    FFile->Append(bytes);
    FOffset += bytes.size();
}

void TZipWriter::Add(const std::string& name, std::string_view bytes, bool compress) {
    constexpr std::uint64_t limit = std::numeric_limits<std::uint32_t>::max();
    if (bytes.size() >= limit || FOffset >= limit || name.size() > 0xFFFF)
        throw EStreamError(FFile->Path() + ": архив больше 4 ГБ.");
    TEntry entry;
    entry.Name = name;
    entry.Size = static_cast<std::uint32_t>(bytes.size());
    entry.Crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
    entry.Offset = static_cast<std::uint32_t>(FOffset);
    std::string packed;
    if (compress && !bytes.empty()) {
        packed = Deflated(bytes);
        if (packed.size() < bytes.size())
            entry.Method = 8;
    }
    const std::string_view data = entry.Method == 8 ? std::string_view(packed) : bytes;
    entry.Packed = static_cast<std::uint32_t>(data.size());

    std::string header;
    Put32(header, 0x04034B50);
    Put16(header, 20);
    Put16(header, Utf8Names);
    Put16(header, entry.Method);
    Put16(header, DosTime);
    Put16(header, DosDate);
    Put32(header, entry.Crc);
    Put32(header, entry.Packed);
    Put32(header, entry.Size);
    Put16(header, static_cast<std::uint32_t>(name.size()));
    Put16(header, 0);
    header += name;
    Write(header);
    Write(data);
    FEntries.push_back(std::move(entry));
}

void TZipWriter::Close() {
    if (FEntries.size() > 0xFFFF || FOffset >= std::numeric_limits<std::uint32_t>::max())
        throw EStreamError(FFile->Path() + ": в архиве слишком много файлов.");
    const auto start = static_cast<std::uint32_t>(FOffset);
    std::string directory;
    for (const TEntry& e : FEntries) {
        Put32(directory, 0x02014B50);
        Put16(directory, 20);
        Put16(directory, 20);
        Put16(directory, Utf8Names);
        Put16(directory, e.Method);
        Put16(directory, DosTime);
        Put16(directory, DosDate);
        Put32(directory, e.Crc);
        Put32(directory, e.Packed);
        Put32(directory, e.Size);
        Put16(directory, static_cast<std::uint32_t>(e.Name.size()));
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put16(directory, 0);
        Put32(directory, 0);
        Put32(directory, e.Offset);
        directory += e.Name;
    }
    Write(directory);
    std::string end;
    Put32(end, 0x06054B50);
    Put16(end, 0);
    Put16(end, 0);
    Put16(end, static_cast<std::uint32_t>(FEntries.size()));
    Put16(end, static_cast<std::uint32_t>(FEntries.size()));
    Put32(end, static_cast<std::uint32_t>(directory.size()));
    Put32(end, start);
    Put16(end, 0);
    Write(end);
    FFile->Close();
}

} // namespace quarto
