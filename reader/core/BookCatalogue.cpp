#include "BookCatalogue.h"

#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/IniFile.h"

namespace quarto {

const std::string& TitleNotSpecified() {
    static const std::string text = Utf8ToCp1251("!!!Не указано!!!");
    return text;
}

Tbook ReadBookDescriptor(const std::string& bookFolder) {
    const TIniFile ini = TIniFile::Load(ResolvePath(DescriptorPath(bookFolder)));
    Tbook book;
    const std::string t1 = ini.ReadString("Main", "Title", TitleNotSpecified());
    const std::string t2 = ini.ReadString("Main", "Title2", TitleNotSpecified());
    book.DisplayName = t1 + " - " + t2;
    book.RegKey = ini.ReadString("Main", "RegKey", DefaultRegKey);
    // An option is on only when its value is exactly the integer 1.
    book.Audio = ini.ReadInteger("Options", "Audio", 0) == 1;
    book.Pictures = ini.ReadInteger("Options", "Pictures", 0) == 1;
    book.Music = ini.ReadInteger("Options", "Music", 0) == 1;
    book.Video = ini.ReadInteger("Options", "Video", 0) == 1;
    book.UTF = ini.ReadInteger("Options", "UTF", 0) == 1;
    book.BR = ini.ReadInteger("Options", "BR", 0) == 1;
    book.BookFolder = bookFolder;
    return book;
}

std::vector<Tbook> FindBooks(const std::string& appFolder) {
    std::vector<Tbook> books;
    const std::string resolvedBase = ResolvePath(BooksFolderOf(appFolder));
    if (resolvedBase.empty())
        return books;
    for (const std::string& name : ListFolder(resolvedBase)) {
        const std::string folder = JoinPath(resolvedBase, name);
        if (!FileExists(DescriptorPath(folder)) || !FileExists(ContentsPath(folder)))
            continue;
        books.push_back(ReadBookDescriptor(folder));
    }
    return books;
}

int FindBookByKey(const std::vector<Tbook>& books, std::string_view key) {
    for (std::size_t i = 0; i < books.size(); ++i)
        if (books[i].RegKey == key)
            return static_cast<int>(i);
    return -1;
}

std::string BookOptionNames(const Tbook& book) {
    std::string names;
    const auto add = [&names](bool on, const char* name) {
        if (!on)
            return;
        if (!names.empty())
            names += ',';
        names += name;
    };
    add(book.Audio, "Audio");
    add(book.Pictures, "Pictures");
    add(book.Music, "Music");
    add(book.Video, "Video");
    add(book.UTF, "UTF");
    add(book.BR, "BR");
    return names.empty() ? "-" : names;
}

} // namespace quarto
