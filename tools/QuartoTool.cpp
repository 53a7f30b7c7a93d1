// quarto-tool: reads editions without a window and authors them; its commands are one table
// (ToolCommands) from which it dispatches and prints its usage.
#include "DiscWriter.h"
#include "EditionExport.h"
#include "EditionWriter.h"
#include "MusicWriter.h"

#include "common/CommandLine.h"
#include "common/Cp1251.h"
#include "common/DiscImage.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/IniFile.h"
#include "common/RecordFile.h"
#include "platform/DiscDrives.h"
#include "platform/DiscLookup.h"
#include "reader/core/ArticlePage.h"
#include "reader/core/BookCatalogue.h"
#include "reader/core/ContentsTree.h"
#include "reader/media/Illustrations.h"
#include "reader/media/MediaFormat.h"
#include "reader/media/MusicList.h"
#include "reader/media/SupplementLists.h"
#include "reader/search/SearchQuery.h"

#include "EditionCheck.h"
#include "QuartoTool.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

using namespace quarto;

namespace {

// The usage's words before each section's commands.
constexpr std::string_view ReadingIntro =
    R"(Reading (the edition is the first whose RegKey is KEY, else the first found under
DIR/Books, or with --disc under DISC/Books of each disc in turn; DIR defaults to the folder
of quarto-tool; DISC is a disc folder or an ISO 9660 image file, read in place, and is also
a disc root for the lookups after those of QUARTO_DISCS):)";
constexpr std::string_view AuthoringIntro = "Authoring:";

// The column of the usage where the commands' help begins.
constexpr std::size_t HelpColumn = 26;

bool StandardErrorIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

bool UtcTime(std::time_t t, std::tm& utc) {
#ifdef _WIN32
    return gmtime_s(&utc, &t) == 0;
#else
    return gmtime_r(&t, &utc) != nullptr;
#endif
}

// Errors of the command line itself.
struct EUsage : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct TOptions {
    std::string App;
    std::optional<std::string> Book;
    std::vector<std::string> Discs; // the roots of the --disc folders and images
    std::vector<std::string> Args;  // the command and its arguments
};

// The system's disc roots with the --disc roots after them.
class TToolDiscDrives final : public TDiscDrives {
public:
    explicit TToolDiscDrives(std::vector<std::string> discs)
        : FSystem(MakeDiscDrives()), FDiscs(std::move(discs)) {}
    std::vector<std::string> CdDriveLetters() override { return FSystem->CdDriveLetters(); }
    bool IsTrayOpen(const std::string& root) override { return FSystem->IsTrayOpen(root); }
    std::vector<std::string> DiscFolders() override {
        std::vector<std::string> folders = FSystem->DiscFolders();
        folders.insert(folders.end(), FDiscs.begin(), FDiscs.end());
        return folders;
    }

private:
    std::unique_ptr<TDiscDrives> FSystem;
    std::vector<std::string> FDiscs;
};

std::string DefaultAppFolder(const char* argv0) {
    return ParentOf(RunningProgramPath(argv0));
}

std::string AppFolderOf(const std::string& dir) {
    return JoinPath(FileSystem().AbsolutePath(dir), "");
}

} // namespace

namespace quarto {

class TTool {
public:
    explicit TTool(TOptions options) : FOptions(std::move(options)) {}

    int Run() {
        const std::string& command = FOptions.Args[0];
        for (const TToolCommand& c : ToolCommands())
            if (c.Name == command)
                return (this->*c.Handler)();
        throw EUsage("unknown command \"" + command + "\".");
    }

private:
    friend std::span<const TToolCommand> quarto::ToolCommands();

    int MakeEditionCommand() {
        std::vector<std::string> folders;
        TEditionOptions options;
        const std::vector<std::string>& a = FOptions.Args;
        for (std::size_t i = 1; i < a.size(); ++i) {
            const std::pair<const char*, std::string*> folderOptions[] = {
                {"--skin", &options.Skin},
                {"--picture-source", &options.PictureSource},
                {"--pictures-disc", &options.PicturesDisc},
                {"--audio-source", &options.AudioSource},
                {"--video-source", &options.VideoSource},
                {"--clips-source", &options.ClipsSource}};
            const auto option = std::find_if(std::begin(folderOptions), std::end(folderOptions),
                                             [&](const auto& o) { return a[i] == o.first; });
            if (option != std::end(folderOptions)) {
                if (i + 1 >= a.size())
                    throw EUsage(a[i] + " needs a folder.");
                *option->second = a[++i];
            } else {
                folders.push_back(a[i]);
            }
        }
        if (folders.size() != 2)
            throw EUsage("make-edition needs SRC and OUT.");
        MakeEdition(folders[0], folders[1], options);
        return 0;
    }

    int Export() {
        const std::vector<std::string>& a = FOptions.Args;
        if (a.size() != 3 || (a[1] != "--epub" && a[1] != "--html"))
            throw EUsage("export needs --epub OUT.epub or --html DIR.");
        const Tbook book = CurrentBook();
        TExportOptions options;
        options.AppFolder = AppFolderOf(FOptions.App);
        options.FindOnDisc = DiscFinder();
        if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
            const std::time_t t = static_cast<std::time_t>(std::strtoll(epoch, nullptr, 10));
            std::tm utc{};
            if (UtcTime(t, utc)) {
                char text[32];
                std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
                options.Modified = text;
            }
        }
        // The count of pages done, on a terminal only.
        const bool terminal = StandardErrorIsTerminal();
        if (terminal)
            options.Progress = [](std::size_t done, std::size_t total) {
                if (done == total || done % 64 == 0)
                    std::cerr << "\rСтатьи: " << done << " из " << total << std::flush;
            };
        const TExportReport report =
            a[1] == "--epub" ? ExportEpub(book, a[2], options) : ExportHtml(book, a[2], options);
        if (terminal)
            std::cerr << '\n';
        for (const std::string& problem : report.Problems)
            std::cerr << "quarto-tool: " << problem << '\n';
        return report.Problems.empty() ? 0 : 1;
    }

    int MakeMusicCommand() {
        const std::vector<std::string>& a = FOptions.Args;
        if (a.size() != 3)
            throw EUsage("make-music needs SRC and OUT.");
        MakeMusic(a[1], a[2]);
        return 0;
    }

    // FindOnDisc with the reader's folder and this system's drives.
    TDiscFinder DiscFinder() {
        std::shared_ptr<TDiscDrives> drives = std::make_shared<TToolDiscDrives>(FOptions.Discs);
        const std::string app = AppFolderOf(FOptions.App);
        return [drives, app](std::string_view folder, std::string_view name) {
            return FindOnDisc(app, folder, name, *drives);
        };
    }

    int Music() {
        if (FOptions.Args.size() != 1)
            throw EUsage("music takes no arguments.");
        const std::string path = DiscFinder()(MusicListFolder(), MusicListName());
        if (path.empty()) {
            std::cerr << "quarto-tool: no music list " << Layout::MusicList
                      << " beside the reader or on a disc.\n";
            return 1;
        }
        const TMusicList list = ReadMusicList(path);
        for (const TMusicAlbumNode& album : BuildMusicTree(list)) {
            std::cout << static_cast<int>(album.Number) << '\t' << Cp1251ToUtf8(album.Title)
                      << '\n';
            for (const TMusicTrackNode& track : album.Tracks)
                std::cout << "  " << track.Record << '\t' << Cp1251ToUtf8(track.Title) << '\t'
                          << Cp1251ToUtf8(
                                 list.Records[static_cast<std::size_t>(track.Record)].TrackFile)
                          << MusicFormat::TrackExtension << '\n';
        }
        return 0;
    }

    int Audio() { return Supplements(TSupplementKind::Audio); }
    int Video() { return Supplements(TSupplementKind::Video); }

    int Supplements(TSupplementKind kind) {
        if (FOptions.Args.size() != 1)
            throw EUsage(FOptions.Args[0] + " takes no arguments.");
        const TSupplementList list = ReadSupplementList(CurrentBook().BookFolder, kind);
        for (const std::string& problem : list.Problems)
            std::cerr << "quarto-tool: " << problem << '\n';
        for (std::size_t j = 0; j < list.Titles.size(); ++j)
            std::cout << j << '\t' << Cp1251ToUtf8(list.Titles[j]) << '\t'
                      << Cp1251ToUtf8(list.Files[j]) << '\n';
        return 0;
    }

    int MakeDiscCommand() {
        TDiscSource source;
        source.AppFolder = AppFolderOf(FOptions.App);
        std::string out;
        const std::vector<std::string>& a = FOptions.Args;
        for (std::size_t i = 1; i < a.size(); ++i) {
            if (a[i] == "--setup" || a[i] == "--sub-version") {
                if (i + 1 >= a.size())
                    throw EUsage(a[i] + " needs a value.");
                if (a[i] == "--setup") {
                    source.SetupProgram = a[++i];
                } else {
                    const auto n = ParseIniInteger(a[++i]);
                    if (!n || *n < 0)
                        throw EUsage("--sub-version needs a whole number.");
                    source.SubVersion = *n;
                }
            } else if (out.empty()) {
                out = a[i];
            } else {
                source.Editions.push_back(a[i]);
            }
        }
        if (out.empty() || source.SetupProgram.empty())
            throw EUsage("make-disc needs OUT and --setup FILE.");
        MakeDisc(source, out);
        return 0;
    }

    // The editions of the reader's folder, or of the discs' Books folders when discs are
    // given.
    std::vector<Tbook> Books() {
        std::vector<std::string> folders;
        for (const std::string& disc : FOptions.Discs)
            folders.push_back(JoinPath(disc, ""));
        if (folders.empty())
            folders.push_back(AppFolderOf(FOptions.App));
        std::vector<Tbook> books;
        for (const std::string& folder : folders) {
            std::vector<Tbook> found = FindBooks(folder);
            books.insert(books.end(), found.begin(), found.end());
        }
        if (books.empty())
            throw std::runtime_error("No editions found in " + BooksFolderOf(folders.front()) +
                                     ".");
        return books;
    }

    Tbook CurrentBook() {
        const std::vector<Tbook> books = Books();
        if (!FOptions.Book)
            return books.front();
        const int i = FindBookByKey(books, Utf8ToCp1251(*FOptions.Book));
        if (i < 0)
            throw std::runtime_error("No edition has the key \"" + *FOptions.Book + "\".");
        return books[static_cast<std::size_t>(i)];
    }

    static std::vector<TContentsRec> Contents(const Tbook& book) {
        std::vector<TContentsRec> list;
        if (!LoadContents(book.BookFolder, list))
            throw std::runtime_error(ContentsPath(book.BookFolder) +
                                     ": the contents file is missing.");
        return list;
    }

    int Search() {
        bool adjacent = true;
        std::string query;
        const std::vector<std::string>& a = FOptions.Args;
        for (std::size_t i = 1; i < a.size(); ++i) {
            if (a[i] == "--no-adjacent")
                adjacent = false;
            else
                query += (query.empty() ? "" : " ") + a[i];
        }
        if (query.empty())
            throw EUsage("search needs a query.");
        const Tbook book = CurrentBook();
        const std::vector<TContentsRec> list = Contents(book);
        const std::vector<std::int32_t> hits =
            SearchEdition(book.BookFolder, NormalizeQuery(Utf8ToCp1251(query)), adjacent,
                          static_cast<std::int32_t>(list.size()));
        for (const std::int32_t hit : hits)
            std::cout << hit << '\t' << Cp1251ToUtf8(list[static_cast<std::size_t>(hit)].Title)
                      << '\n';
        return hits.empty() ? 1 : 0;
    }

    int List() {
        const std::vector<Tbook> books = Books();
        for (std::size_t i = 0; i < books.size(); ++i) {
            const Tbook& b = books[i];
            std::cout << i << '\t' << Cp1251ToUtf8(b.RegKey) << '\t' << Cp1251ToUtf8(b.DisplayName)
                      << '\t' << FileNameOf(b.BookFolder) << '\t' << BookOptionNames(b) << '\n';
        }
        return 0;
    }

    int Toc() {
        const std::vector<TContentsRec> list = Contents(CurrentBook());
        for (std::size_t i = 0; i < list.size(); ++i) {
            const TContentsRec& r = list[i];
            std::cout << i << '\t' << static_cast<int>(r.Level) << '\t' << r.Kind << '\t'
                      << r.DataOffset << '\t' << Cp1251ToUtf8(r.Title) << '\n';
        }
        return 0;
    }

    int Tree() {
        const TContentsTree tree = BuildContentsTree(Contents(CurrentBook()));
        for (const TContentsNode& node : tree.Nodes)
            std::cout << std::string(static_cast<std::size_t>(node.Depth) * 2, ' ')
                      << node.ArticleNo << ' ' << Cp1251ToUtf8(node.Text) << '\n';
        return 0;
    }

    int Page() {
        std::string highlightWords;
        bool highlightOn = false;
        std::optional<long> article;
        const std::vector<std::string>& a = FOptions.Args;
        for (std::size_t i = 1; i < a.size(); ++i) {
            if (a[i] == "--mark") {
                if (i + 1 >= a.size())
                    throw EUsage("--mark needs the words to mark.");
                highlightWords = Utf8ToCp1251(a[++i]);
                highlightOn = true;
            } else if (!article) {
                const auto n = ParseIniInteger(a[i]);
                if (!n || a[i].find_first_not_of("0123456789") != std::string::npos)
                    throw EUsage("\"" + a[i] + "\" is not an article number.");
                article = *n;
            } else {
                throw EUsage("page takes one article number.");
            }
        }
        if (!article)
            throw EUsage("page needs an article number.");
        const Tbook book = CurrentBook();
        const std::vector<TContentsRec> list = Contents(book);
        const std::string page =
            ArticlePage(AppFolderOf(FOptions.App), book, list, static_cast<int>(*article),
                        highlightWords, highlightOn);
        std::cout.write(page.data(), static_cast<std::streamsize>(page.size()));
        return 0;
    }

    int Pictures() {
        const TIllustrations catalogue = ReadIllustrations(CurrentBook().BookFolder);
        for (const std::string& problem : catalogue.Problems)
            std::cerr << "quarto-tool: " << problem << '\n';
        for (std::size_t i = 0; i < catalogue.PicInfo.size(); ++i) {
            const TPicTextInf& info = catalogue.PicInfo[i];
            std::cout << info.PicIndex << '\t' << catalogue.HeadingOf[i] << '\t'
                      << Cp1251ToUtf8(info.PicTitle) << '\t' << Cp1251ToUtf8(info.PicText) << '\t'
                      << Cp1251ToUtf8(info.PicFile) << '\n';
        }
        return 0;
    }

    int Cells() {
        const std::string folder = CurrentBook().BookFolder;
        const TIllustrations catalogue = ReadIllustrations(folder);
        TThumbnailData thumbnails;
        thumbnails.Reload(folder);
        for (int cell = 0; cell < thumbnails.Count(); ++cell) {
            const int line = PictureLineOfCell(catalogue, cell);
            const int entry = EntryOfCell(catalogue, cell);
            std::cout << cell << '\t';
            if (static_cast<std::size_t>(cell) < catalogue.CellFiles.size())
                std::cout << catalogue.CellFiles[static_cast<std::size_t>(cell)].Line;
            else
                std::cout << '-';
            std::cout << '\t'
                      << (line < 0 ? std::string("-")
                                   : Cp1251ToUtf8(PictureNameOfLine(
                                         catalogue.PictureFiles[static_cast<std::size_t>(line)])))
                      << '\t' << (entry < 0 ? std::string("-") : std::to_string(entry)) << '\n';
        }
        return 0;
    }

    int Check() {
        const Tbook book = CurrentBook();
        const std::vector<std::string> problems = CheckEdition(book, DiscFinder());
        for (const std::string& p : problems)
            std::cout << p << '\n';
        if (problems.empty())
            std::cout << "OK: " << Cp1251ToUtf8(book.RegKey) << " has no problems.\n";
        return problems.empty() ? 0 : 1;
    }

    int FindOnDiscCommand() {
        const std::vector<std::string>& a = FOptions.Args;
        if (a.size() != 3)
            throw EUsage("find-on-disc needs FOLDER and NAME.");
        TToolDiscDrives drives(FOptions.Discs);
        const std::string path = FindOnDisc(AppFolderOf(FOptions.App), a[1], a[2], drives);
        if (path.empty())
            return 1;
        std::cout << path << '\n';
        return 0;
    }

    TOptions FOptions;
};

std::span<const TToolOption> ToolOptions() {
    static constexpr TToolOption options[] = {
        {"--app", "DIR", false}, {"--disc", "DISC", true}, {"--book", "KEY", false}};
    return options;
}

std::span<const TToolCommand> ToolCommands() {
    using S = TToolSection;
    static constexpr TToolCommand commands[] = {
        {"list", "", "the editions: index, RegKey, display name, folder, options", S::Reading,
         &TTool::List},
        {"toc", "", "the contents entries: article, level, kind, data offset, title", S::Reading,
         &TTool::Toc},
        {"tree", "", "the contents tree in pre-order", S::Reading, &TTool::Tree},
        {"page", "[--mark WORDS] N",
         "the page composed for article N, exactly as the reader parses it", S::Reading,
         &TTool::Page},
        {"search", "[--no-adjacent] QUERY",
         "the articles the query finds, ascending: article, title; the\n"
         "words must stand side by side unless --no-adjacent; no hit: exit 1",
         S::Reading, &TTool::Search},
        {"check", "", "every problem of the edition's files, one per line", S::Reading,
         &TTool::Check},
        {"pictures", "",
         "the illustration entries: index, heading number (0: in no\n"
         "heading), title, description, file line (A-Z lowered)",
         S::Reading, &TTool::Pictures},
        {"cells", "",
         "the thumbnail grid's cells: cell, line number of files.txt, that\n"
         "line trimmed (- when there is no such line), the entry the\n"
         "mouse-over finds (- for none)",
         S::Reading, &TTool::Cells},
        {"find-on-disc", "FOLDER NAME",
         "the path of the file FOLDER\\NAME (FOLDER as the data spells it,\n"
         "\"Books\\KEY\\Pictures\") beside the reader in DIR, else on the\n"
         "CD-ROM drives, else in the folders of QUARTO_DISCS; none: exit 1",
         S::Reading, &TTool::FindOnDiscCommand},
        {"music", "",
         "the music tree of AudioData\\All.dat (found as find-on-disc finds\n"
         "it): album lines \"number, title\", track lines two spaces deep\n"
         "\"record index, title, file name.mp3\"; no music list: exit 1",
         S::Reading, &TTool::Music},
        {"audio", "",
         "the edition's audio or video list: number, title, file; list\n"
         "problems go to stderr",
         S::Reading, &TTool::Audio},
        {"video", "", "", S::Reading, &TTool::Video},
        {"export", "--epub OUT.epub | --html DIR",
         "writes the edition as an EPUB 3 book or as a folder of HTML pages;\n"
         "what cannot be read goes to stderr, one line each, and is left\n"
         "out (exit 1)",
         S::Reading, &TTool::Export},
        {"make-edition",
         "SRC OUT [--skin DIR] [--picture-source DIR] [--pictures-disc DIR]\n"
         "[--audio-source DIR] [--video-source DIR] [--clips-source DIR]",
         "writes the edition of source folder SRC into folder OUT, with the\n"
         "skin (main.bmp, mask.bmp, data.inf) of SRC/Skins/1, or of DIR;\n"
         "with SRC/pictures.txt also the illustrations, their pictures taken\n"
         "from SRC/pictures or the --picture-source folder, the full pictures\n"
         "written to OUT/Pictures or to DIR/Books/<RegKey>/Pictures; with\n"
         "SRC/audio.txt and SRC/video.txt the lists Audio/files.txt and\n"
         "Video/files.txt with their files (from SRC/audio, SRC/video or the\n"
         "folders given); the clips of SRC/video_1 or --clips-source as\n"
         "video_1",
         S::Authoring, &TTool::MakeEditionCommand},
        {"make-music", "SRC OUT",
         "writes OUT/AudioData/All.dat from the outline SRC/music.txt and\n"
         "copies its tracks (.mp3 files in SRC) into OUT/mp3",
         S::Authoring, &TTool::MakeMusicCommand},
        {"make-disc", "OUT --setup FILE [--sub-version N] EDITION...",
         "writes a disc folder for the installer: setup.inf, the installer\n"
         "FILE, the reader's programs, Base, Skins and the music (AudioData,\n"
         "mp3) from DIR, and Books/<RegKey> of each edition folder (with its\n"
         "Pictures, Audio, Video and video_1)",
         S::Authoring, &TTool::MakeDiscCommand},
    };
    return commands;
}

std::string ToolUsage() {
    std::string usage = "usage: quarto-tool";
    for (const TToolOption& option : ToolOptions()) {
        usage += " [" + std::string(option.Name) + " " + std::string(option.Value) + "]";
        if (option.Repeatable)
            usage += "...";
    }
    usage += " COMMAND [ARGS]\n";
    const auto commands = ToolCommands();
    for (const TToolSection section : {TToolSection::Reading, TToolSection::Authoring}) {
        usage += '\n';
        usage += section == TToolSection::Reading ? ReadingIntro : AuthoringIntro;
        usage += '\n';
        for (std::size_t i = 0; i < commands.size(); ++i) {
            const TToolCommand& c = commands[i];
            if (c.Section != section || c.Help.empty())
                continue;
            // The name, with those of the commands after it that it describes too, then the
            // synopsis, its further lines under its first argument.
            std::string left = "  " + std::string(c.Name);
            for (std::size_t j = i + 1; j < commands.size() && commands[j].Help.empty(); ++j)
                left += ", " + std::string(commands[j].Name);
            if (!c.Synopsis.empty()) {
                const std::string indent(c.Name.size() + 3, ' ');
                left += ' ';
                for (const char ch : c.Synopsis)
                    left += ch == '\n' ? "\n" + indent : std::string(1, ch);
            }
            // The help beside the last line when it leaves room, else below it.
            const std::size_t lastLine = left.size() - (left.rfind('\n') + 1);
            left += lastLine < HelpColumn ? std::string(HelpColumn - lastLine, ' ')
                                          : "\n" + std::string(HelpColumn, ' ');
            for (const char ch : c.Help)
                left += ch == '\n' ? "\n" + std::string(HelpColumn, ' ') : std::string(1, ch);
            usage += left + '\n';
        }
    }
    return usage;
}

int RunQuartoTool(const std::vector<std::string>& args) {

    const int count = static_cast<int>(args.size());
    TOptions options;
    options.App = DefaultAppFolder(args.empty() ? "" : args[0].c_str());
    try {
        for (int i = 1; i < count; ++i) {
            const std::string& arg = args[static_cast<std::size_t>(i)];
            if (arg == "--disc") {
                if (i + 1 >= count)
                    throw EUsage(arg + " needs a value.");
                options.Discs.push_back(DiscRootPath(args[static_cast<std::size_t>(++i)]));
            } else if (arg == "--app" || arg == "--book") {
                if (i + 1 >= count)
                    throw EUsage(arg + " needs a value.");
                (arg == "--app" ? options.App : options.Book.emplace()) =
                    args[static_cast<std::size_t>(++i)];
            } else if (arg == "-h" || arg == "--help") {
                std::cout << ToolUsage();
                return 0;
            } else {
                options.Args.push_back(arg);
            }
        }
        if (options.Args.empty())
            throw EUsage("no command given.");
        return TTool(std::move(options)).Run();
    } catch (const EUsage& e) {
        std::cerr << "quarto-tool: " << e.what() << '\n' << ToolUsage();
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "quarto-tool: " << e.what() << '\n';
        return 2;
    }
}

} // namespace quarto
