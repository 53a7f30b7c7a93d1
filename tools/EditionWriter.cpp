#include "EditionWriter.h"

#include "IndexWriter.h"

#include "common/Cp1251.h"
#include "common/IniFile.h"
#include "common/PathLookup.h"
#include "common/RecordFile.h"
#include "reader/core/ContentsFile.h"
#include "reader/core/TextStore.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace quarto {
namespace {

const char* const Blanks = " \t\r";

std::string StripBom(std::string text) {
    if (text.rfind("\xEF\xBB\xBF", 0) == 0)
        text.erase(0, 3);
    return text;
}

std::string ReadSource(const fs::path& path) {
    try {
        return StripBom(ReadWholeFile(path.string()));
    } catch (const std::exception& e) {
        throw EEditionSourceError(e.what());
    }
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

bool IsTextFile(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".htm" || ext == ".html" || ext == ".txt" || ext == ".css" || ext == ".inf";
}

bool IsHtmlFile(const std::string& file) {
    const fs::path p(file);
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".htm" || ext == ".html";
}

void CopyTree(const fs::path& from, const fs::path& to, bool utf) {
    fs::create_directories(to);
    std::vector<fs::path> entries;
    for (const auto& entry : fs::directory_iterator(from))
        entries.push_back(entry.path());
    std::sort(entries.begin(), entries.end());
    for (const fs::path& path : entries) {
        const fs::path target = to / path.filename();
        if (fs::is_directory(path)) {
            CopyTree(path, target, utf);
        } else if (IsTextFile(path) && !utf) {
            WriteWholeFile(target.string(), ToCp1251(ReadSource(path), path.string()));
        } else {
            fs::copy_file(path, target, fs::copy_options::overwrite_existing);
        }
    }
}

// The three files of skin folder from (names matched ignoring case); the message names the
// first that is missing.
std::vector<std::string> FindSkinFiles(const std::string& from) {
    std::vector<std::string> found;
    for (const char* name : SkinFileNames) {
        const std::string path = ResolvePath(JoinPath(from, name));
        if (path.empty() || !fs::is_regular_file(path))
            throw EEditionSourceError(JoinPath(from, name) + ": the skin file is missing.");
        found.push_back(path);
    }
    return found;
}

} // namespace

std::vector<TOutlineEntry> ParseOutline(const std::string& text, const std::string& fileName) {
    std::vector<TOutlineEntry> entries;
    std::istringstream lines(StripBom(text));
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        const auto fail = [&](const std::string& what) {
            throw EEditionSourceError(fileName + ", line " + std::to_string(number) + ": " + what);
        };
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t first = line.find_first_not_of(Blanks);
        if (first == std::string::npos || line[first] == '#')
            continue;
        // Tokens up to the file name; the rest of the line is the title.
        std::size_t pos = first;
        const auto nextToken = [&]() {
            const std::size_t start = line.find_first_not_of(Blanks, pos);
            if (start == std::string::npos) {
                pos = line.size();
                return std::string();
            }
            const std::size_t end = std::min(line.find_first_of(Blanks, start), line.size());
            pos = end;
            return line.substr(start, end - start);
        };
        TOutlineEntry entry;
        entry.Line = number;
        const std::string levelToken = nextToken();
        const auto level = ParseIniInteger(levelToken);
        if (!level || *level < 0 || *level > 255 ||
            levelToken.find_first_not_of("0123456789") != std::string::npos)
            fail("the level \"" + levelToken + "\" is not a number from 0 to 255.");
        entry.Level = *level;
        bool kindGiven = false;
        std::string token;
        while (true) {
            token = nextToken();
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
        const std::size_t titleStart = line.find_first_not_of(Blanks, pos);
        if (titleStart != std::string::npos) {
            entry.Title = line.substr(titleStart);
            entry.Title.erase(entry.Title.find_last_not_of(Blanks) + 1);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

void MakeEdition(const std::string& src, const std::string& out, const std::string& skin) {
    const fs::path source(src);
    const fs::path target(out);
    if (!fs::is_directory(source))
        throw EEditionSourceError(src + ": no such source folder.");

    // Skin, checked before anything is written.
    if (!skin.empty() && !fs::is_directory(skin))
        throw EEditionSourceError(skin + ": no such skin folder.");
    const std::string skinFolder = skin.empty() ? ResolvePath(JoinPath(src, "Skins/1")) : skin;
    std::vector<std::string> skinFiles;
    if (!skinFolder.empty() && fs::is_directory(skinFolder))
        skinFiles = FindSkinFiles(skinFolder);

    // Descriptor.
    const fs::path iniPath = source / "edition.ini";
    if (!fs::is_regular_file(iniPath))
        throw EEditionSourceError(iniPath.string() + ": the descriptor is missing.");
    const std::string descriptor = ToCp1251(ReadSource(iniPath), iniPath.string());
    const bool utf = TIniFile(descriptor).ReadInteger("Options", "UTF", 0) == 1;

    // Contents and texts.
    const fs::path outlinePath = source / "contents.txt";
    if (!fs::is_regular_file(outlinePath))
        throw EEditionSourceError(outlinePath.string() + ": the contents outline is missing.");
    const std::vector<TOutlineEntry> outline =
        ParseOutline(ReadSource(outlinePath), outlinePath.string());
    std::string contents;
    std::string store;
    TSearchIndexWriter index;
    for (std::size_t i = 0; i < outline.size(); ++i) {
        const TOutlineEntry& entry = outline[i];
        const std::string where = outlinePath.string() + ", line " + std::to_string(entry.Line);
        std::string text;
        if (!entry.File.empty()) {
            const fs::path textPath = source / "texts" / entry.File;
            if (!fs::is_regular_file(textPath))
                throw EEditionSourceError(where + ": " + textPath.string() + " does not exist.");
            text = ReadSource(textPath);
            if (!utf)
                text = ToCp1251(text, textPath.string());
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

    try {
        fs::create_directories(target);
        WriteWholeFile((target / "setup.inf").string(), descriptor);
        WriteWholeFile((target / ContentsFormat::FileName).string(), contents);
        WriteWholeFile((target / TextStoreFormat::FileName).string(), store);
        index.Write(target.string());
        if (fs::is_directory(source / "Base"))
            CopyTree(source / "Base", target / "Base", utf);
        if (!skinFiles.empty()) {
            // Under the names the reader opens; data.inf is ini text like the descriptor.
            const fs::path skinTarget = target / "Skins" / "1";
            fs::create_directories(skinTarget);
            for (std::size_t i = 0; i < skinFiles.size(); ++i) {
                const fs::path to = skinTarget / SkinFileNames[i];
                if (IsTextFile(to))
                    WriteWholeFile(to.string(), ToCp1251(ReadSource(skinFiles[i]), skinFiles[i]));
                else
                    fs::copy_file(skinFiles[i], to, fs::copy_options::overwrite_existing);
            }
        }
    } catch (const fs::filesystem_error& e) {
        throw EEditionSourceError(e.what());
    }
}

} // namespace quarto
