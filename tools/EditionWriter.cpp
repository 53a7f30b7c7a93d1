#include "EditionWriter.h"

#include "IndexWriter.h"
#include "PictureWriter.h"
#include "SourceLines.h"
#include "SupplementWriter.h"

#include "common/AsciiText.h"
#include "common/Cp1251.h"
#include "common/FileSystem.h"
#include "common/IniFile.h"
#include "common/RecordFile.h"
#include "reader/core/BookCatalogue.h"
#include "reader/core/ContentsFile.h"
#include "reader/core/TextStore.h"

#include <algorithm>
#include <sstream>

namespace quarto {
namespace {

std::string StripBom(std::string text) {
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    return text;
}

bool IsFile(const std::string& path) {
    return FileSystem().Stat(path).Kind == TEntryKind::File;
}

bool IsFolder(const std::string& path) {
    return FileSystem().Stat(path).Kind == TEntryKind::Folder;
}

std::string ReadSource(const std::string& path) {
    return StripBom(ReadSourceFile(path));
}

// 1251 bytes of UTF-8 source text; the message says where the text cannot be converted.
std::string ToCp1251(const std::string& utf8, const std::string& where) {
    std::string out;
    if (TryUtf8ToCp1251(utf8, out))
        return out;
    // Find the line for the message.
    std::istringstream lines(utf8);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::string ignored;
        if (!TryUtf8ToCp1251(line, ignored))
            throw EEditionSourceError(where + ", line " + std::to_string(number) +
                                      ": not UTF-8, or a character code page 1251 lacks.");
    }
    throw EEditionSourceError(where + ": not UTF-8, or a character code page 1251 lacks.");
}

bool IsTextFile(const std::string& path) {
    const std::string ext = ExtensionOf(path);
    return ext == ".htm" || ext == ".html" || ext == ".txt" || ext == ".css" || ext == ".inf";
}

bool IsHtmlFile(const std::string& file) {
    const std::string ext = ExtensionOf(file);
    return ext == ".htm" || ext == ".html";
}

void CopyTree(const std::string& from, const std::string& to, bool utf) {
    CreateFolders(to);
    auto names = FileSystem().List(from);
    if (!names)
        throw EEditionSourceError(from + ": the folder cannot be read.");
    std::sort(names->begin(), names->end());
    for (const std::string& name : *names) {
        const std::string path = JoinPath(from, name);
        const std::string target = JoinPath(to, name);
        if (IsFolder(path)) {
            CopyTree(path, target, utf);
        } else if (IsTextFile(path) && !utf) {
            WriteWholeFile(target, ToCp1251(ReadSource(path), path));
        } else {
            FileSystem().CopyFile(path, target);
        }
    }
}

// The three files of skin folder from (names matched ignoring case); the message names the
// first that is missing.
std::vector<std::string> FindSkinFiles(const std::string& from) {
    std::vector<std::string> found;
    for (const char* name : SkinFileNames) {
        const std::string path = ResolvePath(JoinPath(from, name));
        if (path.empty() || !IsFile(path))
            throw EEditionSourceError(JoinPath(from, name) + ": the skin file is missing.");
        found.push_back(path);
    }
    return found;
}

} // namespace

std::vector<TOutlineEntry> ParseOutline(const std::string& text, const std::string& fileName) {
    std::vector<TOutlineEntry> entries;
    ForEachSourceLine(text, fileName, [&](const TSourceLine& source) {
        const std::string& line = source.Text;
        const std::size_t first = source.First;
        const auto fail = [&](const std::string& what) { source.Fail(what); };
        // Tokens up to the file name; the rest of the line is the title.
        TSourceFields fields(line, first);
        TOutlineEntry entry;
        entry.Line = source.Number;
        const std::string levelToken = fields.Next();
        const auto level = ParseIniInteger(levelToken);
        if (!level || *level < 0 || *level > 255 ||
            levelToken.find_first_not_of("0123456789") != std::string::npos)
            fail("the level \"" + levelToken + "\" is not a number from 0 to 255.");
        entry.Level = *level;
        bool kindGiven = false;
        std::string token;
        while (true) {
            token = fields.Next();
            if (token.rfind("kind=", 0) == 0) {
                const auto kind = ParseIniInteger(token.substr(5));
                if (!kind)
                    fail("\"" + token + "\" does not give a whole number.");
                entry.Kind = *kind;
                kindGiven = true;
            } else if (token == "bare") {
                entry.Bare = true;
            } else {
                break;
            }
        }
        if (token.empty())
            fail("the file name is missing (write - for an entry without text).");
        if (token != "-")
            entry.File = token;
        if (!kindGiven)
            entry.Kind = entry.File.empty() || IsHtmlFile(entry.File) ? KindHtml : KindPlainText;
        entry.Title = fields.Rest();
        entries.push_back(std::move(entry));
    });
    return entries;
}

void MakeEdition(const std::string& src, const std::string& out, const std::string& skin) {
    TEditionOptions options;
    options.Skin = skin;
    MakeEdition(src, out, options);
}

void MakeEdition(const std::string& src, const std::string& out, const TEditionOptions& options) {
    const std::string& skin = options.Skin;
    if (!IsFolder(src))
        throw EEditionSourceError(src + ": no such source folder.");

    // Skin, checked before anything is written.
    if (!skin.empty() && !IsFolder(skin))
        throw EEditionSourceError(skin + ": no such skin folder.");
    const std::string skinFolder =
        skin.empty() ? ResolvePath(LayoutPath(src, Layout::EditionSkinFolder)) : skin;
    std::vector<std::string> skinFiles;
    if (!skinFolder.empty() && IsFolder(skinFolder))
        skinFiles = FindSkinFiles(skinFolder);

    // Descriptor.
    const std::string iniPath = JoinPath(src, "edition.ini");
    if (!IsFile(iniPath))
        throw EEditionSourceError(iniPath + ": the descriptor is missing.");
    const std::string descriptor = ToCp1251(ReadSource(iniPath), iniPath);
    const bool utf = TIniFile(descriptor).ReadInteger("Options", "UTF", 0) == 1;
    const std::string regKey =
        Cp1251ToUtf8(TIniFile(descriptor).ReadString("Main", "RegKey", std::string(DefaultRegKey)));

    // Contents and texts.
    const std::string outlinePath = JoinPath(src, "contents.txt");
    if (!IsFile(outlinePath))
        throw EEditionSourceError(outlinePath + ": the contents outline is missing.");
    const std::vector<TOutlineEntry> outline = ParseOutline(ReadSource(outlinePath), outlinePath);
    std::string contents;
    std::string store;
    TSearchIndexWriter index;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const TOutlineEntry& entry = outline[i];
        const std::string where = outlinePath + ", line " + std::to_string(entry.Line);
        std::string text;
        if (!entry.File.empty()) {
            const std::string textPath = JoinPath(JoinPath(src, "texts"), entry.File);
            if (!IsFile(textPath))
                throw EEditionSourceError(where + ": " + textPath + " does not exist.");
            text = ReadSource(textPath);
            if (!utf)
                text = ToCp1251(text, textPath);
        }
        try {
            index.AddArticle(utf ? Utf8ToCp1251(text) : text);
        } catch (const std::runtime_error& e) {
            throw EEditionSourceError(where + ": " + e.what());
        }
        if (!entry.Bare)
            text += TextStoreFormat::Trailer;
        TContentsRec rec;
        rec.ArticleNo = static_cast<std::int32_t>(i);
        rec.Level = static_cast<std::uint8_t>(entry.Level);
        rec.Kind = entry.Kind;
        if (!TryUtf8ToCp1251(entry.Title, rec.Title))
            throw EEditionSourceError(where + ": not UTF-8, or a character code page 1251 lacks.");
        if (rec.Title.size() > ContentsFormat::TitleMaxLength)
            throw EEditionSourceError(where + ": the title is longer than 255 characters.");
        if (store.size() > 0x7FFFFFFFu)
            throw EEditionSourceError(where + ": the text store would pass 2 GB.");
        rec.DataOffset = static_cast<std::int32_t>(store.size());
        store += EncodeTextRecord(text);
        contents += EncodeContentsRecord(rec);
    }

    const TEditionPictures pictures = ReadEditionPictures(src, options.PictureSource);
    const TEditionSupplements supplements = ReadEditionSupplements(
        src, {options.AudioSource, options.VideoSource, options.ClipsSource});

    CreateFolders(out);
    WriteWholeFile(DescriptorPath(out), descriptor);
    WriteWholeFile(ContentsPath(out), contents);
    WriteWholeFile(TextStorePath(out), store);
    index.Write(out);
    const std::string sourceBase = LayoutPath(src, Layout::EditionBaseFolder);
    if (IsFolder(sourceBase))
        CopyTree(sourceBase, LayoutPath(out, Layout::EditionBaseFolder), utf);
    if (!skinFiles.empty()) {
        // Under the names the reader opens; data.inf is ini text like the descriptor.
        const std::string skinTarget = EditionSkinFolderOf(out);
        CreateFolders(ParentOf(skinTarget));
        for (std::size_t i = 0; i < skinFiles.size(); ++i) {
            const std::string to = JoinPath(skinTarget, SkinFileNames[i]);
            if (IsTextFile(to))
                WriteWholeFile(to, ToCp1251(ReadSource(skinFiles[i]), skinFiles[i]));
            else
                FileSystem().CopyFile(skinFiles[i], to);
        }
    }
    // Beside the edition's own files ("Books\<key>\Pictures" when OUT is Books/<key>), or on
    // the disc folder given.
    const std::string picturesFolder =
        options.PicturesDisc.empty()
            ? LayoutPath(out, Layout::PicturesFolder)
            : LayoutPath(options.PicturesDisc, EditionPicturesName(regKey));
    WriteEditionPictures(pictures, out, picturesFolder);
    WriteEditionSupplements(supplements, out);
}

} // namespace quarto
