#include "PictureWriter.h"

#include "EditionWriter.h"
#include "SourceLines.h"

#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/JpegCodec.h"
#include "common/MediaKinds.h"
#include "common/RecordFile.h"
#include "reader/media/PicDataFormat.h"

#include <png.h>

#include <algorithm>
#include <sstream>

namespace quarto {

namespace {

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

bool IsJpegName(const std::string& name) {
    const TMediaType& type = MediaTypeOfName(name);
    return type.SourcePicture && type.SourceStoredAsIs;
}

// A source's pictures.txt, parsed.
struct TSourceCatalogue {
    TPictureSet Set;                      // without files, cells and thumbnails yet
    std::vector<std::string> SourceFiles; // per entry, as written (UTF-8)
    std::vector<int> SourceLines;         // per entry, the line of pictures.txt
};

TSourceCatalogue ParsePictureList(const std::string& text, const std::string& fileName) {
    TSourceCatalogue catalogue;
    ForEachSourceLine(text, fileName, [&](const TSourceLine& source) {
        const std::string& line = source.Text;
        const std::size_t first = source.First;
        const auto fail = [&](const std::string& what) { source.Fail(what); };
        const auto to1251 = [&](const std::string& utf8) { return source.To1251(utf8); };
        if (line[first] == '=') {
            catalogue.Set.Headings.push_back(to1251(TSourceFields(line, first + 1).Rest()));
            return;
        }
        TSourceFields fields(line, first);
        const std::string heading = fields.Next();
        const std::string file = fields.Next();
        if (file.empty())
            fail("the picture file is missing (HEADING FILE TITLE[@DESCRIPTION]).");
        if (file.find_first_of("/\\") != std::string::npos || file == "." || file == "..")
            fail("\"" + file + "\" is not a plain file name of the pictures folder.");
        const std::string title = fields.Rest();
        catalogue.Set.Entries.push_back({to1251(heading), to1251(title), {}});
        catalogue.SourceFiles.push_back(file);
        catalogue.SourceLines.push_back(source.Number);
    });
    return catalogue;
}

} // namespace

void WritePictureSet(const TPictureSet& set, const std::string& bookFolder) {
    std::vector<std::string> titles = set.Headings;
    if (set.WriteSeparator)
        titles.emplace_back(PicDataFormat::Separator);
    for (const TPictureEntry& entry : set.Entries) {
        titles.push_back(entry.Heading);
        titles.push_back(entry.TitleLine);
        titles.push_back(entry.FileLine);
    }
    titles.insert(titles.end(), set.ExtraTitleLines.begin(), set.ExtraTitleLines.end());

    std::string cells;
    for (std::size_t c = 0; c < set.CellLines.size(); ++c) {
        AppendLE32(cells, static_cast<std::uint32_t>(set.CellLines[c]));
        AppendLE32(cells, static_cast<std::uint32_t>(c));
        AppendLE32(cells, 0);
    }
    cells += set.CellTail;

    std::string data, offsets;
    for (std::size_t c = 0; c < set.Thumbnails.size(); ++c) {
        const int cell = static_cast<int>(c);
        const auto length = static_cast<std::int32_t>(set.Thumbnails[c].size());
        auto offset = static_cast<std::int32_t>(data.size());
        const auto lengthOverride = set.LengthOverrides.find(cell);
        AppendLE32(data, static_cast<std::uint32_t>(lengthOverride == set.LengthOverrides.end()
                                                        ? length
                                                        : lengthOverride->second));
        data += set.Thumbnails[c];
        if (const auto o = set.OffsetOverrides.find(cell); o != set.OffsetOverrides.end())
            offset = o->second;
        AppendLE32(offsets, static_cast<std::uint32_t>(offset));
        AppendLE32(offsets, static_cast<std::uint32_t>(length));
    }
    offsets += set.OffsetTail;

    CreateFolders(PicDataPath(bookFolder, ""));
    WriteWholeFile(PicDataPath(bookFolder, Layout::PicTitlesFile), Lines(titles));
    WriteWholeFile(PicDataPath(bookFolder, Layout::PicFilesFile), Lines(set.FileLines));
    WriteWholeFile(PicDataPath(bookFolder, Layout::CellFilesFile), cells);
    WriteWholeFile(PicDataPath(bookFolder, Layout::ThumbOffsetsFile), offsets);
    WriteWholeFile(PicDataPath(bookFolder, Layout::ThumbDataFile), data);
}

std::string MakeThumbnail(const TDibPicture& picture) {
    int width = 0, height = 0;
    FitInto(picture.Width, picture.Height, PicDataFormat::CellSize, width, height);
    if (width == picture.Width && height == picture.Height)
        return EncodeJpeg(picture);
    return EncodeJpeg(ScaleBilinear(picture, width, height));
}

TDibPicture ReadPng(std::string_view bytes) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        throw EPictureError(std::string("Рисунок PNG повреждён: ") + image.message + ".");
    if (image.width == 0 || image.height == 0 ||
        static_cast<std::int64_t>(image.width) * image.height > MaxPicturePixels) {
        png_image_free(&image);
        throw EPictureError("Рисунок PNG слишком велик: " + std::to_string(image.width) + " × " +
                            std::to_string(image.height) + " точек.");
    }
    image.format = PNG_FORMAT_RGB;
    TDibPicture picture =
        BlankPicture(static_cast<int>(image.width), static_cast<int>(image.height));
    png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, picture.Pixels.data(), 0, nullptr)) {
        const std::string message = image.message;
        png_image_free(&image);
        throw EPictureError("Рисунок PNG повреждён: " + message + ".");
    }
    return picture;
}

std::string EncodePng(const TDibPicture& picture) {
    if (!picture.Valid())
        throw EPictureError("Рисунок нельзя записать в PNG: неверные размеры или палитра.");
    const TDibPicture rgb = picture.BitsPerPixel == 24
                                ? picture
                                : ScaleBilinear(picture, picture.Width, picture.Height);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(rgb.Width);
    image.height = static_cast<png_uint_32>(rgb.Height);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, rgb.Pixels.data(), 0, nullptr))
        throw EPictureError(std::string("Рисунок нельзя записать в PNG: ") + image.message + ".");
    std::string out(size, '\0');
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, rgb.Pixels.data(), 0, nullptr))
        throw EPictureError(std::string("Рисунок нельзя записать в PNG: ") + image.message + ".");
    out.resize(size);
    return out;
}

TEditionPictures ReadEditionPictures(const std::string& src, const std::string& pictureSource) {
    TEditionPictures result;
    const std::string listPath = JoinPath(src, "pictures.txt");
    if (FileSystem().Stat(listPath).Kind != TEntryKind::File)
        return result;
    result.Present = true;
    const std::string text = ReadSourceFile(listPath);
    TSourceCatalogue catalogue = ParsePictureList(text, listPath);
    const std::string from = pictureSource.empty() ? JoinPath(src, "pictures") : pictureSource;
    if (FileSystem().Stat(from).Kind != TEntryKind::Folder)
        throw EEditionSourceError(from + ": no such pictures folder.");

    TPictureSet set = std::move(catalogue.Set);
    std::map<std::string, std::string> storedFrom; // stored name -> source path
    auto& copies = result.Copies;
    auto& encoded = result.Encoded;
    for (std::size_t i = 0; i < set.Entries.size(); ++i) {
        const std::string where =
            listPath + ", line " + std::to_string(catalogue.SourceLines[i]) + ": ";
        const std::string& file = catalogue.SourceFiles[i];
        const std::string path = ResolvePath(JoinPath(from, file));
        // A plain name (no separators, no "..") resolves inside the folder.
        if (path.empty() || FileSystem().Stat(path).Kind != TEntryKind::File)
            throw EEditionSourceError(where + JoinPath(from, file) + " does not exist.");
        const bool jpeg = IsJpegName(file);
        const std::string ext = ExtensionOf(file);
        if (!MediaTypeOf(ext).SourcePicture)
            throw EEditionSourceError(
                where + file + ": a picture must be a JPEG (.jpg, .jpeg) or PNG (.png) file.");
        const std::string stored = jpeg ? file : file.substr(0, file.size() - ext.size()) + ".jpg";
        const auto [known, added] = storedFrom.emplace(stored, path);
        std::string bytes;
        try {
            bytes = ReadWholeFile(path);
        } catch (const std::exception& e) {
            throw EEditionSourceError(where + e.what());
        }
        TDibPicture picture;
        try {
            picture = jpeg ? DecodeJpeg(bytes) : ReadPng(bytes);
            set.Thumbnails.push_back(MakeThumbnail(picture));
        } catch (const EPictureError& e) {
            throw EEditionSourceError(where + path + ": " + e.what());
        }
        if (!added && known->second != path)
            throw EEditionSourceError(where + path + " and " + known->second +
                                      " are both stored as " + stored + ".");
        if (added) {
            if (jpeg)
                copies.emplace_back(path, stored);
            else
                encoded.emplace_back(stored, EncodeJpeg(picture, 90));
        }
        std::string stored1251;
        if (!TryUtf8ToCp1251(stored, stored1251))
            throw EEditionSourceError(where + "the file name is not UTF-8, or has a character code "
                                              "page 1251 lacks.");
        set.Entries[i].FileLine = stored1251;
        set.FileLines.push_back(stored1251);
        set.CellLines.push_back(static_cast<std::int32_t>(i));
    }

    result.Set = std::move(set);
    return result;
}

void WriteEditionPictures(const TEditionPictures& pictures, const std::string& out,
                          const std::string& picturesFolder) {
    if (!pictures.Present)
        return;
    WritePictureSet(pictures.Set, out);
    CreateFolders(picturesFolder);
    for (const auto& [source, stored] : pictures.Copies)
        FileSystem().CopyFile(source, JoinPath(picturesFolder, stored));
    for (const auto& [stored, bytes] : pictures.Encoded)
        WriteWholeFile(JoinPath(picturesFolder, stored), bytes);
}

} // namespace quarto
