// Where everything lies: the files and folders of an edition, of the reader's folder and of a
// disc, spelled as the data spells them ("\" between the parts of a relative name), and the
// functions that build their paths. Nothing else in the programs spells these names: the
// readers, the checker, make-edition, make-disc and the installer all take them from here.
//
// Paths are built with the platform's separator: a "\" of a name below becomes the platform's
// separator, and the result is then looked up ignoring letter case where it is opened.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarto::Layout {

// An edition's folder ("Books\" + key below the reader's folder or a disc's root).
inline constexpr const char* Descriptor = "setup.inf";
inline constexpr const char* ContentsFile = "cContents.dat";
inline constexpr const char* TextStoreFile = "cData.dat";
inline constexpr const char* EditionBaseFolder = "Base";
inline constexpr const char* AboutPage = "base\\about.htm";
inline constexpr const char* EditionSkinFolder = "Skins\\1\\";
// The word index.
inline constexpr const char* VocabularyFile = "Voc.txt";
inline constexpr const char* StartsFile = "Pos.rec";
inline constexpr const char* PostingsFile = "FileIndex.rec";
inline constexpr const char* PositionsFile = "InnerBase.dat";
// The illustration catalogue.
inline constexpr const char* PicDataFolder = "PicData\\";
inline constexpr const char* PicTitlesFile = "Titles1.txt";
inline constexpr const char* PicFilesFile = "files.txt";
inline constexpr const char* CellFilesFile = "PosID3.dat";
inline constexpr const char* ThumbOffsetsFile = "PosID2.dat";
inline constexpr const char* ThumbDataFile = "Data2.dat";
inline constexpr const char* PicturesFolder = "Pictures";
// The supplements.
inline constexpr const char* AudioFolder = "Audio";
inline constexpr const char* AudioList = "Audio\\files.txt";
inline constexpr const char* VideoFolder = "Video";
inline constexpr const char* VideoList = "Video\\files.txt";
inline constexpr const char* VideoClipsFolder = "video_1";
inline constexpr const char* ImagesFolder = "Images";

// A skin's folder.
inline constexpr const char* SkinData = "data.inf";
inline constexpr const char* SkinFace = "main.bmp";
inline constexpr const char* SkinMask = "mask.bmp";

// The reader's folder.
inline constexpr const char* BooksFolder = "Books";
inline constexpr const char* ReaderBaseFolder = "Base";
inline constexpr const char* ReaderSkinsFolder = "Skins";
inline constexpr const char* PageTemplate = "Base\\Back.htm";
inline constexpr const char* PageTemplateUtf = "Base\\Back_UTF.htm";
inline constexpr const char* ArticlePicture = "Skins\\text.bmp";
// Music, beside the reader or at a disc's root.
inline constexpr const char* MusicList = "AudioData\\All.dat";
inline constexpr const char* MusicTracksFolder = "mp3";

// A disc's root.
inline constexpr const char* DiscDescriptor = "setup.inf";
inline constexpr const char* InstallerProgram = "setup";

// What the installer copies of each edition, as its copy lists spell the names: the folders,
// then the files.
const std::vector<std::string_view>& EditionCopyFolders(); // "PicData", "Base", "Skins"
const std::vector<std::string_view>& EditionCopyFiles();   // "cContents.dat" ... "Voc.txt"

// The programs of this platform, as a disc and an installation name them.
const std::string& ReaderProgram();    // "Quarto" ("Quarto.exe" on Windows)
const std::string& UninstallProgram(); // "uninstall" ("uninstall.exe" on Windows)
// The program group: the reader, the JPEG library on Windows, the uninstaller.
const std::vector<std::string>& ProgramGroupFiles();

} // namespace quarto::Layout

namespace quarto {

// folder + name, with the "\" of name turned into the platform's separator and no doubled
// separator between them; folder may end with a separator or not.
std::string LayoutPath(std::string_view folder, std::string_view name);

// root (a reader's folder or a disc's root) + "Books".
std::string BooksFolderOf(std::string_view root);
// root + "Books" + key: an edition's folder.
std::string EditionFolderOf(std::string_view root, std::string_view key);
// "Books\" + key + "\Pictures": where an edition's full pictures lie below the reader's folder
// and a disc's root (with "\" as the data spells it; LayoutPath makes it a path).
std::string EditionPicturesName(std::string_view key);

// Files of an edition's folder (bookFolder, without a trailing separator).
std::string DescriptorPath(std::string_view bookFolder);
std::string ContentsPath(std::string_view bookFolder);
std::string TextStorePath(std::string_view bookFolder);
std::string AboutPagePath(std::string_view bookFolder);
// bookFolder + "/Base/": the base of the edition's relative references.
std::string PageBaseFolder(std::string_view bookFolder);
// bookFolder + "/Skins/1/".
std::string EditionSkinFolderOf(std::string_view bookFolder);
// bookFolder + "/PicData/" + name.
std::string PicDataPath(std::string_view bookFolder, std::string_view name);

// Files of the reader's folder (appFolder ends with a separator).
// appFolder + "Base/Back_UTF.htm" for UTF editions, else "Base/Back.htm".
std::string PageTemplatePath(std::string_view appFolder, bool utf);
// appFolder + "Skins/text.bmp".
std::string ArticlePicturePath(std::string_view appFolder);

} // namespace quarto
