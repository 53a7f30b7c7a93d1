#include "SupplementWriter.h"

#include "EditionWriter.h"
#include "SourceLines.h"

#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"

#include <algorithm>
#include <map>
#include <sstream>

namespace quarto {

namespace {

TEditionSupplements::TList ReadList(const std::string& src, const char* listName,
                                    const std::string& folder) {
    TEditionSupplements::TList list;
    const std::string listPath = JoinPath(src, listName);
    if (FileSystem().Stat(listPath).Kind != TEntryKind::File)
        return list;
    list.Present = true;
    const std::string text = ReadSourceFile(listPath);
    std::map<std::string, std::string> storedFrom; // stored name -> source path
    bool folderChecked = false;
    ForEachSourceLine(text, listPath, [&](const TSourceLine& source) {
        const std::string& line = source.Text;
        const std::size_t first = source.First;
        const auto fail = [&](const std::string& what) { source.Fail(what); };
        const auto to1251 = [&](const std::string& utf8) { return source.To1251(utf8); };
        TSourceFields fields(line, first);
        const std::string file = fields.Next();
        const std::string title = fields.Rest();
        if (file.find_first_of("/\\:") != std::string::npos || file == "." || file == "..")
            fail("\"" + file + "\" is not a plain file name of the folder " + folder + ".");
        if (!folderChecked) {
            if (FileSystem().Stat(folder).Kind != TEntryKind::Folder)
                fail(folder + ": no such folder.");
            folderChecked = true;
        }
        const std::string path = ResolvePath(JoinPath(folder, file));
        if (path.empty() || FileSystem().Stat(path).Kind != TEntryKind::File)
            fail(JoinPath(folder, file) + " does not exist.");
        const auto [known, added] = storedFrom.emplace(file, path);
        if (!added && known->second != path)
            fail(path + " and " + known->second + " are both stored as " + file + ".");
        if (added)
            list.Copies.emplace_back(path, file);
        list.Lines.push_back(to1251(title));
        list.Lines.push_back(to1251(file));
    });
    return list;
}

void WriteList(const TEditionSupplements::TList& list, const std::string& out,
               TSupplementKind kind) {
    if (!list.Present)
        return;
    WriteSupplementList(list.Lines, out, kind);
    const std::string folder = SupplementFolder(out, kind);
    for (const auto& [from, stored] : list.Copies)
        FileSystem().CopyFile(from, JoinPath(folder, stored));
}

void CopyFolder(const std::string& from, const std::string& to) {
    CreateFolders(to);
    auto names = FileSystem().List(from);
    if (!names)
        throw EStreamError("Cannot list folder " + from + ".");
    std::sort(names->begin(), names->end());
    for (const std::string& name : *names) {
        const std::string path = JoinPath(from, name);
        if (FileSystem().Stat(path).Kind == TEntryKind::Folder)
            CopyFolder(path, JoinPath(to, name));
        else
            FileSystem().CopyFile(path, JoinPath(to, name));
    }
}

} // namespace

void WriteSupplementList(const std::vector<std::string>& lines, const std::string& bookFolder,
                         TSupplementKind kind) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    CreateFolders(SupplementFolder(bookFolder, kind));
    WriteWholeFile(SupplementListPath(bookFolder, kind), text);
}

TEditionSupplements ReadEditionSupplements(const std::string& src,
                                           const TSupplementSources& sources) {
    TEditionSupplements result;
    result.Audio =
        ReadList(src, "audio.txt", sources.Audio.empty() ? JoinPath(src, "audio") : sources.Audio);
    result.Video =
        ReadList(src, "video.txt", sources.Video.empty() ? JoinPath(src, "video") : sources.Video);
    if (!sources.Clips.empty()) {
        if (FileSystem().Stat(sources.Clips).Kind != TEntryKind::Folder)
            throw EEditionSourceError(sources.Clips + ": no such clips folder.");
        result.ClipsFolder = sources.Clips;
    } else if (const std::string clips = JoinPath(src, Layout::VideoClipsFolder);
               FileSystem().Stat(clips).Kind == TEntryKind::Folder) {
        result.ClipsFolder = clips;
    }
    return result;
}

void WriteEditionSupplements(const TEditionSupplements& supplements, const std::string& out) {
    WriteList(supplements.Audio, out, TSupplementKind::Audio);
    WriteList(supplements.Video, out, TSupplementKind::Video);
    if (!supplements.ClipsFolder.empty())
        CopyFolder(supplements.ClipsFolder, LayoutPath(out, Layout::VideoClipsFolder));
}

} // namespace quarto
