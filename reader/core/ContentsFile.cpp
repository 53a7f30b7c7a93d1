#include "ContentsFile.h"

#include "common/FileSystem.h"
#include "common/RecordFile.h"

#include <stdexcept>

namespace quarto {

using namespace ContentsFormat;

TContentsRec DecodeContentsRecord(std::string_view record) {
    TContentsRec rec;
    if (record.size() < RecordSize)
        throw std::invalid_argument("A contents record must be 276 bytes long.");
    const char* p = record.data();
    rec.Reserved = GetLE32(p + ReservedOffset);
    rec.ArticleNo = GetLE32(p + ArticleNoOffset);
    rec.Level = static_cast<std::uint8_t>(p[LevelOffset]);
    rec.Kind = GetLE32(p + KindOffset);
    const auto length = static_cast<unsigned char>(p[TitleOffset]);
    rec.Title.assign(p + TitleOffset + 1, length);
    rec.DataOffset = GetLE32(p + DataOffsetOffset);
    return rec;
}

std::string EncodeContentsRecord(const TContentsRec& rec) {
    if (rec.Title.size() > TitleMaxLength)
        throw std::length_error("A contents title is longer than 255 bytes.");
    std::string record(RecordSize, '\0');
    char* p = record.data();
    PutLE32(p + ReservedOffset, static_cast<std::uint32_t>(rec.Reserved));
    PutLE32(p + ArticleNoOffset, static_cast<std::uint32_t>(rec.ArticleNo));
    p[LevelOffset] = static_cast<char>(rec.Level);
    PutLE32(p + KindOffset, static_cast<std::uint32_t>(rec.Kind));
    p[TitleOffset] = static_cast<char>(rec.Title.size());
    rec.Title.copy(p + TitleOffset + 1, rec.Title.size());
    PutLE32(p + DataOffsetOffset, static_cast<std::uint32_t>(rec.DataOffset));
    return record;
}

std::string CleanTitle(std::string title) {
    while (title.find('&') != std::string::npos) {
        const std::size_t semicolon = title.find(';');
        if (semicolon == std::string::npos)
            break;
        title.erase(0, semicolon + 1);
    }
    return title;
}

std::vector<TContentsRec> ParseContents(std::string_view bytes) {
    const std::size_t n = bytes.size() / RecordSize;
    std::vector<TContentsRec> list;
    list.reserve(n);
    for (std::size_t i = 0; i < n; ++i) {
        TContentsRec rec = DecodeContentsRecord(bytes.substr(i * RecordSize, RecordSize));
        rec.Title = CleanTitle(std::move(rec.Title));
        list.push_back(std::move(rec));
    }
    return list;
}

bool LoadContents(const std::string& bookFolder, std::vector<TContentsRec>& list) {
    const std::string path = ResolvePath(ContentsPath(bookFolder));
    if (path.empty())
        return false;
    list = ParseContents(ReadWholeFile(path));
    return true;
}

} // namespace quarto
