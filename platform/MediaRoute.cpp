#include "MediaRoute.h"

#include "AdpcmWave.h"
#include "common/AsciiText.h"
#include "common/DiscImage.h"
#include "common/FileSystem.h"
#include "common/RecordFile.h"

#include <algorithm>
#include <map>
#include <utility>

namespace quarto {

namespace {

bool CodeAt(std::string_view bytes, std::size_t at, std::string_view code) {
    return at + 4 <= bytes.size() && bytes.substr(at, 4) == code;
}

// One chunk of a RIFF file: its code's offset and its payload's place and stated size (which
// may run past what was read, or past the file).
struct TChunk {
    std::size_t At = 0;
    std::size_t Payload = 0;
    std::uint64_t Size = 0;
    std::string_view Code;
};

// The chunks in [from, to) of head, as far as their headers lie in head; f returns false to
// stop.
template <typename F>
void ForEachChunk(std::string_view head, std::uint64_t from, std::uint64_t to, F f) {
    std::uint64_t at = from;
    while (at + 8 <= std::min<std::uint64_t>(to, head.size())) {
        const auto offset = static_cast<std::size_t>(at);
        TChunk chunk{offset, offset + 8, GetLE32uAt(head, offset + 4), head.substr(offset, 4)};
        if (!f(chunk))
            return;
        at += 8 + chunk.Size + (chunk.Size & 1);
    }
}

TMediaRoute WaveRoute(std::string_view head, std::uint64_t fileSize) {
    TMediaRoute route;
    std::uint16_t format = 0;
    std::uint16_t bits = 0;
    bool haveFormat = false;
    ForEachChunk(head, 12, fileSize, [&](const TChunk& chunk) {
        if (chunk.Code == "fmt " && chunk.Size >= 2) {
            format = GetLE16At(head, chunk.Payload);
            bits = GetLE16At(head, chunk.Payload + 14);
            haveFormat = true;
        } else if (chunk.Code == "data") {
            if (!haveFormat)
                return false;
            const std::uint64_t begin = chunk.Payload;
            const std::uint64_t end = std::min(fileSize, begin + chunk.Size);
            // MPEG audio (0x50: layers 1 and 2, 0x55: layer 3): the stream of its frames.
            if (format == MsAdpcmFormat || format == ImaAdpcmFormat) {
                route.Repair = true;
                route.End = fileSize;
                route.DecodeAdpcm = true;
            } else if ((format == 0x50 || format == 0x55) && end > begin) {
                route.Repair = true;
                route.Begin = begin;
                route.End = end;
                route.Extension = format == 0x55 ? ".mp3" : ".mp2";
            } else if ((chunk.Size & 1) && begin + chunk.Size < fileSize) {
                // The pad byte joins the data: silence in 8-bit PCM, whose zero is 128.
                std::string size;
                AppendLE32(size, static_cast<std::uint32_t>(chunk.Size + 1));
                route.Repair = true;
                route.End = fileSize;
                route.Patches.push_back({chunk.At + 4, size});
                if (format == 1 && bits == 8)
                    route.Patches.push_back({begin + chunk.Size, "\x80"});
            }
            return false;
        }
        return true;
    });
    return route;
}

// A stream list (LIST strl) of an AVI: a top-down uncompressed picture with a "vprp" header
// gives the patch that hides the header.
void ScanStreamList(std::string_view head, const TChunk& list, TMediaRoute& route) {
    bool video = false;
    bool topDown = false;
    std::size_t vprp = 0;
    ForEachChunk(head, list.Payload + 4, list.Payload + list.Size, [&](const TChunk& chunk) {
        if (chunk.Code == "strh")
            video = CodeAt(head, chunk.Payload, "vids");
        else if (chunk.Code == "strf" && chunk.Size >= 16)
            topDown = static_cast<std::int32_t>(GetLE32uAt(head, chunk.Payload + 8)) < 0 &&
                      GetLE32uAt(head, chunk.Payload + 16) == 0; // BI_RGB
        else if (chunk.Code == "vprp")
            vprp = chunk.At;
        return true;
    });
    if (video && topDown && vprp != 0)
        route.Patches.push_back({vprp, "JUNK"});
}

TMediaRoute AviRoute(std::string_view head, std::uint64_t fileSize) {
    TMediaRoute route;
    ForEachChunk(head, 12, fileSize, [&](const TChunk& chunk) {
        if (chunk.Code != "LIST" || !CodeAt(head, chunk.Payload, "hdrl"))
            return !CodeAt(head, chunk.Payload, "movi");
        ForEachChunk(head, chunk.Payload + 4, chunk.Payload + chunk.Size, [&](const TChunk& inner) {
            if (inner.Code == "LIST" && CodeAt(head, inner.Payload, "strl"))
                ScanStreamList(head, inner, route);
            return true;
        });
        return false;
    });
    if (!route.Patches.empty()) {
        route.Repair = true;
        route.End = fileSize;
    }
    return route;
}

// The largest ADPCM file decoded (an hour of 22 kHz stereo); a larger one is given as it is.
constexpr std::int64_t MaxDecodedWave = 256LL << 20;

// The repaired copies made in this run, in a temporary folder removed when the program ends.
class TRepairs {
public:
    std::string CopyOf(const std::string& path, const TMediaRoute& route) {
        const TFileStamp stamp = StampOf(path);
        const auto known = FCopies.find(path);
        if (known != FCopies.end() && known->second.first == stamp)
            return known->second.second;
        if (route.DecodeAdpcm && stamp.Size > MaxDecodedWave)
            return path;
        std::string name(FileNameIn(path));
        if (!route.Extension.empty())
            name = name.substr(0, name.size() - ExtensionOf(name).size()) + route.Extension;
        std::optional<std::string> pcm;
        if (route.DecodeAdpcm && !(pcm = DecodeAdpcmWave(ReadWholeFile(path))))
            return path; // the framework says what it makes of it
        // A folder per copy keeps the file's own name.
        const std::string copy = JoinPath(FFolder.NewFolder(), name);
        if (pcm) {
            WriteWholeFile(copy, *pcm);
            FCopies[path] = {stamp, copy};
            return copy;
        }
        const std::unique_ptr<TReadableFile> in = SystemFileSystem().OpenForReading(path);
        const std::unique_ptr<TWritableFile> out = SystemFileSystem().OpenForWriting(copy);
        std::string buffer(1 << 20, '\0');
        for (std::uint64_t at = route.Begin; at < route.End;) {
            const std::size_t n = in->ReadAt(
                static_cast<std::int64_t>(at), buffer.data(),
                static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), route.End - at)));
            if (n == 0)
                break;
            for (const TMediaPatch& patch : route.Patches)
                for (std::size_t k = 0; k < patch.Bytes.size(); ++k) {
                    const std::uint64_t where = patch.Offset + k;
                    if (where >= at && where < at + n)
                        buffer[static_cast<std::size_t>(where - at)] = patch.Bytes[k];
                }
            out->Append(std::string_view(buffer.data(), n));
            at += n;
        }
        out->Close();
        FCopies[path] = {stamp, copy};
        return copy;
    }

private:
    TRunFolder FFolder{"quarto-repaired"};
    std::map<std::string, std::pair<TFileStamp, std::string>> FCopies; // file -> its copy
};

} // namespace

TMediaRoute RouteOf(std::string_view head, std::uint64_t fileSize) {
    head = head.substr(0, static_cast<std::size_t>(std::min<std::uint64_t>(head.size(), fileSize)));
    if (!CodeAt(head, 0, "RIFF"))
        return {};
    if (CodeAt(head, 8, "WAVE"))
        return WaveRoute(head, fileSize);
    if (CodeAt(head, 8, "AVI "))
        return AviRoute(head, fileSize);
    return {};
}

} // namespace quarto

namespace quarto {

std::string PlayablePath(const std::string& path) {
    if (path.empty())
        return path;
    std::string real;
    try {
        // A file inside a disc image is given as a copy on disk.
        real = RealFilePath(ResolvedOrGiven(path));
        std::string head(MediaRouteHeadSize, '\0');
        const std::unique_ptr<TReadableFile> file = SystemFileSystem().OpenForReading(real);
        head.resize(file->ReadAt(0, head.data(), head.size()));
        const TMediaRoute route = RouteOf(head, static_cast<std::uint64_t>(file->Size()));
        if (!route.Repair)
            return real;
        static TRepairs repairs;
        return repairs.CopyOf(real, route);
    } catch (const EStreamError&) {
        // The framework then says what it makes of the file.
        return real.empty() ? path : real;
    }
}

} // namespace quarto
