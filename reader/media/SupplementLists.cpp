#include "SupplementLists.h"

#include "MediaFormat.h"

#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/TextList.h"
#include "reader/core/PageLinks.h"

#include <exception>

namespace quarto {

namespace {

// The page that shows the list, for messages.
std::string PageName(TSupplementKind kind) {
    return kind == TSupplementKind::Audio ? "«Аудиоприложения»" : "«Видеоприложения»";
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

} // namespace

TSupplementList SupplementListOfLines(const std::vector<std::string>& lines,
                                      const std::string& path) {
    using SupplementListFormat::LinesPerItem;
    TSupplementList list;
    const std::size_t items = lines.size() / LinesPerItem;
    for (std::size_t j = 0; j < items; ++j) {
        list.Titles.push_back(lines[LinesPerItem * j]);
        list.Files.push_back(lines[LinesPerItem * j + 1]);
    }
    if (lines.size() % LinesPerItem != 0)
        list.Problems.push_back("«" + path + "», строка " + std::to_string(lines.size()) +
                                ": у названия «" + Cp1251ToUtf8(lines.back()) +
                                "» нет строки с именем файла; оно пропущено.");
    return list;
}

std::string SupplementListPath(const std::string& bookFolder, TSupplementKind kind) {
    return LayoutPath(bookFolder,
                      kind == TSupplementKind::Audio ? Layout::AudioList : Layout::VideoList);
}

std::string SupplementFolder(const std::string& bookFolder, TSupplementKind kind) {
    return LayoutPath(bookFolder,
                      kind == TSupplementKind::Audio ? Layout::AudioFolder : Layout::VideoFolder);
}

TSupplementList ReadSupplementList(const std::string& bookFolder, TSupplementKind kind) {
    const std::string spelled = SupplementListPath(bookFolder, kind);
    const std::string path = ResolvePath(spelled);
    if (path.empty() || FileSystem().Stat(path).Kind != TEntryKind::File) {
        TSupplementList list;
        list.Problems.push_back("Нет списка «" + spelled + "»; страница " + PageName(kind) +
                                " пуста.");
        return list;
    }
    std::vector<std::string> lines;
    try {
        lines = ReadTextList(path);
    } catch (const std::exception& e) {
        TSupplementList list;
        list.Found = true;
        list.Problems.push_back(std::string(e.what()) + " Страница " + PageName(kind) + " пуста.");
        return list;
    }
    TSupplementList list = SupplementListOfLines(lines, path);
    list.Found = true;
    list.Read = true;
    if (lines.empty())
        list.Problems.push_back("Список «" + path + "» пуст; страница " + PageName(kind) +
                                " пуста.");
    return list;
}

std::string SupplementListNotice(const TSupplementList& list, TSupplementKind kind) {
    if (!list.Titles.empty())
        return {};
    const std::string what = kind == TSupplementKind::Audio ? "аудиоприложений" : "видеоприложений";
    const std::string file = kind == TSupplementKind::Audio ? Layout::AudioList : Layout::VideoList;
    if (!list.Found)
        return "Список " + what + " не найден (" + file + ").";
    if (!list.Read)
        return "Список " + what + " не удаётся прочитать (" + file + ").";
    return "В списке " + what + " нет ни одного пункта (" + file + ").";
}

std::string ConfinedPath(std::string_view folder, std::string_view name) {
    if (name.empty() || IsSeparator(name.front()) ||
        name.find_first_of(std::string_view(":\0", 2)) != std::string_view::npos)
        return {};
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    while (i <= name.size()) {
        std::size_t end = i;
        while (end < name.size() && !IsSeparator(name[end]))
            ++end;
        const std::string_view part = name.substr(i, end - i);
        if (part == "..") {
            if (parts.empty())
                return {};
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = end + 1;
    }
    if (parts.empty())
        return {}; // the folder itself
    std::string path(folder);
    for (const std::string_view part : parts)
        path = JoinPath(path, part);
    return path;
}

std::string SupplementFilePath(const std::string& bookFolder, TSupplementKind kind,
                               std::string_view fileName) {
    const std::string folder = ResolvePath(SupplementFolder(bookFolder, kind));
    if (folder.empty())
        return {};
    const std::string confined = ConfinedPath(folder, Cp1251ToUtf8(fileName));
    if (confined.empty())
        return {};
    const std::string path = ResolvePath(confined);
    if (path.empty() || FileSystem().Stat(path).Kind != TEntryKind::File)
        return {};
    // A link inside the folder may still lead out of it.
    if (!LiesInside(path, {folder}))
        return {};
    return path;
}

} // namespace quarto
