#include "EditionLayout.h"

#include "FileSystem.h"

namespace quarto {

namespace Layout {

const std::vector<std::string_view>& EditionCopyFolders() {
    static const std::vector<std::string_view> folders = {"PicData", "Base", "Skins"};
    return folders;
}

const std::vector<std::string_view>& EditionCopyFiles() {
    // "Setup.inf" as the copy list spells it; the lookup ignores letter case.
    static const std::vector<std::string_view> files = {
        "cContents.dat", "cData.dat", "FileIndex.rec", "InnerBase.dat",
        "Pos.rec",       "Setup.inf", "Voc.txt"};
    return files;
}

#ifdef _WIN32
const std::string& ReaderProgram() {
    static const std::string name = "Quarto.exe";
    return name;
}
const std::string& UninstallProgram() {
    static const std::string name = "uninstall.exe";
    return name;
}
const std::vector<std::string>& ProgramGroupFiles() {
    static const std::vector<std::string> files = {"Quarto.exe", "IJL15.DLL", "uninstall.exe"};
    return files;
}
#else
const std::string& ReaderProgram() {
    static const std::string name = "Quarto";
    return name;
}
const std::string& UninstallProgram() {
    static const std::string name = "uninstall";
    return name;
}
const std::vector<std::string>& ProgramGroupFiles() {
    // Pictures decode through the toolkit here: no codec library beside the reader.
    static const std::vector<std::string> files = {ReaderProgram(), UninstallProgram()};
    return files;
}
#endif

} // namespace Layout

std::string LayoutPath(std::string_view folder, std::string_view name) {
    std::string native(name);
    for (char& c : native)
        if (c == '\\')
            c = PathSeparator;
    return folder.empty() ? native : JoinPath(folder, native);
}

std::string BooksFolderOf(std::string_view root) {
    return LayoutPath(root, Layout::BooksFolder);
}

std::string EditionFolderOf(std::string_view root, std::string_view key) {
    return JoinPath(BooksFolderOf(root), key);
}

std::string EditionPicturesName(std::string_view key) {
    return std::string(Layout::BooksFolder) + "\\" + std::string(key) + "\\" +
           std::string(Layout::PicturesFolder);
}

std::string DescriptorPath(std::string_view bookFolder) {
    return LayoutPath(bookFolder, Layout::Descriptor);
}

std::string ContentsPath(std::string_view bookFolder) {
    return LayoutPath(bookFolder, Layout::ContentsFile);
}

std::string TextStorePath(std::string_view bookFolder) {
    return LayoutPath(bookFolder, Layout::TextStoreFile);
}

std::string AboutPagePath(std::string_view bookFolder) {
    return LayoutPath(bookFolder, Layout::AboutPage);
}

std::string PageBaseFolder(std::string_view bookFolder) {
    return JoinPath(LayoutPath(bookFolder, Layout::EditionBaseFolder), "");
}

std::string EditionSkinFolderOf(std::string_view bookFolder) {
    return LayoutPath(bookFolder, Layout::EditionSkinFolder);
}

std::string PicDataPath(std::string_view bookFolder, std::string_view name) {
    return JoinPath(LayoutPath(bookFolder, Layout::PicDataFolder), name);
}

std::string PageTemplatePath(std::string_view appFolder, bool utf) {
    return LayoutPath(appFolder, utf ? Layout::PageTemplateUtf : Layout::PageTemplate);
}

std::string ArticlePicturePath(std::string_view appFolder) {
    return LayoutPath(appFolder, Layout::ArticlePicture);
}

} // namespace quarto
