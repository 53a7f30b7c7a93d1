// The reader window: opening an article from the double-click to the page laid out in the
// view (a 200 KB article, a 5 MB section), to its first screen shown (the 5 MB section, a 2 MB
// plain-text article at the top level), a search hit in a 3 MB article with about 5,000 marks
// (time and memory), start-up to the first shown window with ten editions, and the thumbnail
// grid: a frame of 5 x 4 cells with the thumbnails decoded or cached, and a reload of a grid
// over a 50 MB "Data2.dat" when nothing changed; start-up with an edition that has all four
// media options (illustrations, music, audio, video), and a double-click on a music track to the
// player playing it. Runs on the offscreen platform unless another is chosen.
#include "common/BmpFile.h"
#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/JpegCodec.h"
#include "common/RecordFile.h"
#include "platform/MediaPlayer.h"
#include "reader/core/qt/ErrorReport.h"
#include "reader/core/qt/HtmlView.h"
#include "reader/core/qt/ReaderWindows.h"
#include "reader/core/qt/mainform.h"
#include "reader/media/SupplementLists.h"
#include "reader/media/qt/ThumbGrid.h"
#include "tools/EditionWriter.h"
#include "tools/MusicWriter.h"
#include "tools/PictureWriter.h"
#include "tools/SupplementWriter.h"

#include "MediaFiles.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextLayout>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <benchmark/benchmark.h>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace quarto;

namespace {

// The temporary folder: TMPDIR, else /tmp, made absolute.
std::string TempFolder() {
    const char* value = std::getenv("TMPDIR");
    return SystemFileSystem().AbsolutePath(value && *value ? value : "/tmp");
}

// An HTML article (UTF-8) that is about size bytes once stored in code page 1251: paragraphs
// of Russian text with some markup; with markEvery, every markEvery-th sentence is followed by
// the word MarkedWord.
constexpr const char* MarkedWord = "Альбирео";
std::string MakeArticle(std::size_t size, int seed, int markEvery = 0) {
    const char* const sentences[] = {
        "Полярная звезда почти неподвижна: вокруг неё за ночь проходят все созвездия севера. ",
        "В бинокль видны <B>кольца</B> Сатурна и четыре спутника Юпитера. ",
        "Туманность Ориона лучше всего наблюдать зимой, вдали от городских огней. ",
        "Метеорный поток Персеиды достигает максимума в середине августа. ",
        "Луна в первой четверти освещена справа, и терминатор показывает горы и кратеры. ",
    };
    std::string text;
    std::size_t stored = 0;
    int n = seed;
    while (stored < size) {
        text += "<P>";
        stored += 3;
        for (int i = 0; i < 6; ++i) {
            const char* sentence = sentences[(n++ * 7) % 5];
            text += sentence;
            stored += Utf8ToCp1251(sentence).size();
            if (markEvery > 0 && n % markEvery == 0) {
                text += std::string(MarkedWord) + ". ";
                stored += 10;
            }
        }
        text += "\n";
        ++stored;
    }
    return text;
}

// A reader folder with the page templates and editions, removed at the end.
class TBenchFolder {
public:
    explicit TBenchFolder(const std::string& name) {
        FRoot = JoinPath(TempFolder(), "quarto-bench-" + name);
        FileSystem().RemoveTree(FRoot);
        CreateFolders(LayoutPath(FRoot, Layout::ReaderBaseFolder));
        WriteWholeFile(PageTemplatePath(Folder(), false),
                       "<HTML><HEAD><META http-equiv=\"Content-Type\" content=\"text/html; "
                       "charset=windows-1251\">\r\n");
    }
    ~TBenchFolder() {
        try {
            FileSystem().RemoveTree(FRoot);
        } catch (const EStreamError&) {
        }
    }
    TBenchFolder(const TBenchFolder&) = delete;
    TBenchFolder& operator=(const TBenchFolder&) = delete;
    std::string Folder() const { return JoinPath(FRoot, ""); }

    // An edition whose contents are: a section heading, an article of articleSize bytes, and
    // a chapter made of parts sub-entries of partSize bytes each.
    // options: the descriptor's [Options] lines.
    void AddEdition(const std::string& key, std::size_t articleSize, int parts,
                    std::size_t partSize, int markEvery = 0, std::size_t plainSize = 0,
                    const std::string& options = "") {
        const std::string src = JoinPath(JoinPath(FRoot, "src"), key);
        const std::string texts = JoinPath(src, "texts");
        CreateFolders(texts);
        WriteWholeFile(JoinPath(src, "edition.ini"), "[Main]\nTitle=Книга " + key +
                                                         "\nTitle2=Часть\nRegKey=" + key +
                                                         "\n[Options]\n" + options);
        std::string contents = "0 - Раздел\n1 article.htm Статья\n1 - Глава\n";
        WriteWholeFile(JoinPath(texts, "article.htm"), MakeArticle(articleSize, 1, markEvery));
        for (int i = 0; i < parts; ++i) {
            const std::string name = "part" + std::to_string(i) + ".htm";
            WriteWholeFile(JoinPath(texts, name), MakeArticle(partSize, i));
            contents += "2 " + name + " Часть " + std::to_string(i) + "\n";
        }
        if (plainSize > 0) {
            // Plain text at the top level is shown as it is, without a preformatted block.
            std::string plain;
            std::size_t stored = 0;
            for (int n = 0; stored < plainSize; ++n) {
                const std::string line =
                    "Строка " + std::to_string(n) +
                    ": Полярная звезда почти неподвижна, вокруг неё идут созвездия.\n";
                plain += line;
                stored += Utf8ToCp1251(line).size();
            }
            WriteWholeFile(JoinPath(texts, "plain.txt"), plain);
            contents += "0 plain.txt Текст\n";
        }
        WriteWholeFile(JoinPath(src, "contents.txt"), contents);
        MakeEdition(src, EditionFolderOf(FRoot, key));
    }

private:
    std::string FRoot;
};

// Double-clicks the contents node of an article and waits for the page to be laid out.
void OpenAndLayOut(benchmark::State& state, std::size_t articleSize, int parts,
                   std::size_t partSize, const char* node) {
    TBenchFolder folder("open");
    folder.AddEdition("Bench", articleSize, parts, partSize);
    CreateReaderWindows(folder.Folder(), {});
    Form1->show();
    QCoreApplication::processEvents();
    auto* tree = Form1->findChild<QTreeWidget*>("TreeView");
    QTreeWidgetItem* item = nullptr;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->text(0) == QString::fromUtf8(node))
            item = *it;
    THtmlView* view = Form1->findChild<THtmlView*>("HTMLViewer1");
    std::size_t bytes = 0;
    for (auto _ : state) {
        emit tree->itemDoubleClicked(item, 0);
        view->FinishLoading(); // the whole page, not only its first part
        benchmark::DoNotOptimize(view->document()->documentLayout()->documentSize());
        view->viewport()->repaint();
        bytes = view->DocumentSource().size();
    }
    if (view->document()->lastBlock().layout()->lineCount() == 0)
        state.SkipWithError("the page was not laid out to its end");
    state.counters["page_bytes"] = static_cast<double>(bytes);
    DestroyReaderWindows();
}

// Peak and current resident memory of this process, in bytes (Linux; 0 elsewhere).
struct TMemory {
    double Peak = 0;
    double Now = 0;
};
TMemory ProcessMemory() {
    TMemory memory;
    std::string status;
    try {
        status = ReadWholeFile("/proc/self/status");
    } catch (const EStreamError&) {
        return memory;
    }
    const auto field = [&](const char* name) {
        const std::size_t at = status.find(name);
        return at == std::string::npos ? 0.0
                                       : std::atof(status.c_str() + at + std::strlen(name)) * 1024;
    };
    memory.Peak = field("VmHWM:");
    memory.Now = field("VmRSS:");
    return memory;
}
// Gives the memory freed so far back to the system and starts a new peak of resident memory
// from the current one (Linux), so that what an opening allocates shows in ProcessMemory.
void ResetPeakMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    try {
        WriteWholeFile("/proc/self/clear_refs", "5");
    } catch (const EStreamError&) {
    }
}

// Finds the contents node of an article in the main window.
QTreeWidgetItem* FindNode(const char* node) {
    auto* tree = Form1->findChild<QTreeWidget*>("TreeView");
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->text(0) == QString::fromUtf8(node))
            return *it;
    return nullptr;
}

// Double-clicks the contents node of an article and measures until its first screen is
// painted; what lies below may be laid out afterwards.
void OpenFirstScreen(benchmark::State& state, std::size_t articleSize, int parts,
                     std::size_t partSize, std::size_t plainSize, const char* node) {
    TBenchFolder folder("first");
    folder.AddEdition("Bench", articleSize, parts, partSize, 0, plainSize);
    CreateReaderWindows(folder.Folder(), {});
    Form1->show();
    QCoreApplication::processEvents();
    auto* tree = Form1->findChild<QTreeWidget*>("TreeView");
    QTreeWidgetItem* item = FindNode(node);
    THtmlView* view = Form1->findChild<THtmlView*>("HTMLViewer1");
    for (auto _ : state) {
        emit tree->itemDoubleClicked(item, 0);
        view->viewport()->repaint();
        state.PauseTiming();
        // The rest of the page, laid out after the first screen.
        view->FinishLoading();
        benchmark::DoNotOptimize(view->document()->documentLayout()->documentSize());
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["page_bytes"] = static_cast<double>(view->DocumentSource().size());
    DestroyReaderWindows();
}

void BM_OpenSection5MBFirstScreen(benchmark::State& state) {
    OpenFirstScreen(state, 1024, 25, 200 * 1024, 0, "ГЛАВА");
}
BENCHMARK(BM_OpenSection5MBFirstScreen)->Unit(benchmark::kMillisecond);

void BM_OpenPlainText2MBFirstScreen(benchmark::State& state) {
    OpenFirstScreen(state, 1024, 0, 0, 2 * 1024 * 1024, "ТЕКСТ");
}
BENCHMARK(BM_OpenPlainText2MBFirstScreen)->Unit(benchmark::kMillisecond);

// A search hit: a 3 MB article opened with about 5,000 occurrences of the searched word marked,
// until the whole page is in the view and its first screen painted (laid_out=0: the view lays
// out the rest while the reader is already usable) or laid out to its end (laid_out=1). The
// memory counters are what the opening adds to the resident memory at its peak, and what it
// keeps once freed memory has gone back to the system.
void BM_OpenSearchHit3MB(benchmark::State& state) {
    const bool laidOut = state.range(0) != 0;
    TBenchFolder folder("hit");
    folder.AddEdition("Bench", 3 * 1024 * 1024, 0, 0, 8);
    CreateReaderWindows(folder.Folder(), {});
    Form1->show();
    QCoreApplication::processEvents();
    THtmlView* view = Form1->findChild<THtmlView*>("HTMLViewer1");
    double peak = 0;
    double kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        view->LoadFromText("<P>");
        QCoreApplication::processEvents();
        ResetPeakMemory();
        const TMemory before = ProcessMemory();
        state.ResumeTiming();
        Form1->HighlightWords = Utf8ToCp1251(MarkedWord);
        Form1->HighlightOn = true;
        Form1->OpenArticle(1); // the article, after the section heading
        view->viewport()->repaint();
        view->FinishLoading();
        if (laidOut)
            benchmark::DoNotOptimize(view->document()->documentLayout()->documentSize());
        view->viewport()->repaint();
        state.PauseTiming();
        const double peakNow = ProcessMemory().Peak;
        ResetPeakMemory();
        peak = std::max(peak, peakNow - before.Now);
        kept = ProcessMemory().Now - before.Now;
        state.ResumeTiming();
    }
    std::size_t marks = 0;
    const std::string& source = view->DocumentSource();
    for (std::size_t at = source.find("<U>"); at != std::string::npos;
         at = source.find("<U>", at + 1))
        ++marks;
    state.counters["marks"] = static_cast<double>(marks);
    state.counters["page_bytes"] = static_cast<double>(source.size());
    state.counters["peak_added_MB"] = peak / (1024 * 1024);
    state.counters["kept_MB"] = kept / (1024 * 1024);
    DestroyReaderWindows();
}
BENCHMARK(BM_OpenSearchHit3MB)->ArgName("laid_out")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_OpenArticle200KB(benchmark::State& state) {
    OpenAndLayOut(state, 200 * 1024, 1, 1024, "СТАТЬЯ");
}
BENCHMARK(BM_OpenArticle200KB)->Unit(benchmark::kMillisecond);

void BM_OpenSection5MB(benchmark::State& state) {
    OpenAndLayOut(state, 1024, 25, 200 * 1024, "ГЛАВА");
}
BENCHMARK(BM_OpenSection5MB)->Unit(benchmark::kMillisecond);

// Start-up with ten editions: the seven windows created (finding the editions, the first
// one's contents, about page and skin) and the main window shown.
void BM_StartUpTenEditions(benchmark::State& state) {
    TBenchFolder folder("start");
    for (int i = 0; i < 10; ++i)
        folder.AddEdition("Book" + std::to_string(i), 20 * 1024, 200, 512);
    for (auto _ : state) {
        CreateReaderWindows(folder.Folder(), {});
        Form1->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        DestroyReaderWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpTenEditions)->Unit(benchmark::kMillisecond);

std::string PhotoThumbnail(int seed);

// An edition with illustrations (200 thumbnails), 30 audio and 10 video supplements, and the
// series' music (100 tracks) beside the reader.
void AddMediaEdition(TBenchFolder& folder, const std::string& key) {
    folder.AddEdition(key, 20 * 1024, 200, 512, 0, 0, "Audio=1\nPictures=1\nMusic=1\nVideo=1\n");
    const std::string book = EditionFolderOf(folder.Folder(), key);
    TPictureSet pictures;
    pictures.Headings = {Utf8ToCp1251("Звёзды")};
    for (int k = 0; k < 200; ++k) {
        pictures.Entries.push_back(
            {"1", Utf8ToCp1251("Снимок " + std::to_string(k)), "p" + std::to_string(k) + ".jpg"});
        pictures.FileLines.push_back("p" + std::to_string(k) + ".jpg");
        pictures.CellLines.push_back(k);
        pictures.Thumbnails.push_back(PhotoThumbnail(k % 10));
    }
    WritePictureSet(pictures, book);
    std::vector<std::string> audio, video;
    for (int j = 0; j < 30; ++j)
        audio.insert(audio.end(), {Utf8ToCp1251("Запись " + std::to_string(j)),
                                   "a" + std::to_string(j) + ".mp3"});
    for (int j = 0; j < 10; ++j)
        video.insert(video.end(), {Utf8ToCp1251("Фильм " + std::to_string(j)),
                                   "v" + std::to_string(j) + ".avi"});
    WriteSupplementList(audio, book, TSupplementKind::Audio);
    WriteSupplementList(video, book, TSupplementKind::Video);
    TMusicSet music;
    for (int t = 0; t < 100; ++t)
        music.Records.push_back({static_cast<std::uint8_t>(t / 10),
                                 Utf8ToCp1251("Альбом"),
                                 Utf8ToCp1251("Дорожка " + std::to_string(t)),
                                 "t" + std::to_string(t),
                                 {},
                                 {},
                                 {},
                                 {}});
    WriteMusicList(music, folder.Folder());
}

// Start-up as above, the first of the ten editions having all four media options: its
// illustration catalogue, thumbnail grid, audio and video lists loaded, the players not made.
void BM_StartUpAllMediaOptions(benchmark::State& state) {
    TBenchFolder folder("start-media");
    AddMediaEdition(folder, "Book0");
    for (int i = 1; i < 10; ++i)
        folder.AddEdition("Book" + std::to_string(i), 20 * 1024, 200, 512);
    for (auto _ : state) {
        CreateReaderWindows(folder.Folder(), {});
        Form1->show();
        QCoreApplication::processEvents();
        state.PauseTiming();
        if (Form1->ListBox4->count() != 10 || Form1->MediaPlayer1)
            state.SkipWithError("the media edition was not loaded as expected");
        DestroyReaderWindows();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpAllMediaOptions)->Unit(benchmark::kMillisecond);

// A double-click on a music track (a 3 s MP3 beside the reader) until the player plays it:
// the first of the process (the media framework loaded then) and the next ones.
void BM_TrackDoubleClickToPlaying(benchmark::State& state) {
    TBenchFolder folder("track");
    folder.AddEdition("Music", 1024, 0, 0, 0, 0, "Music=1\n");
    TMusicSet music;
    music.Records.push_back({1, "Album", "Track 1", "one", {}, {}, {}, {}});
    music.Records.push_back({1, "Album", "Track 2", "two", {}, {}, {}, {}});
    WriteMusicList(music, folder.Folder());
    CreateFolders(JoinPath(folder.Folder(), "mp3"));
    WriteWholeFile(JoinPath(JoinPath(folder.Folder(), "mp3"), "one.mp3"), test::SilentMp3(115));
    WriteWholeFile(JoinPath(JoinPath(folder.Folder(), "mp3"), "two.mp3"), test::SilentMp3(115));
    CreateReaderWindows(folder.Folder(), {});
    Form1->show();
    QCoreApplication::processEvents();
    Form1->PageControl1->setCurrentWidget(Form1->TabSheet3);
    QTreeWidgetItem* album = Form1->fcTreeView2->topLevelItem(0);
    if (!album || album->childCount() != 2) {
        state.SkipWithError("the music tree was not built");
        DestroyReaderWindows();
        return;
    }
    double first = -1;
    int n = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        emit Form1->fcTreeView2->itemDoubleClicked(album->child(n++ % 2), 0);
        while (!Form1->MediaPlayer1 || Form1->MediaPlayer1->Mode() != TMediaMode::Playing) {
            if (clock.elapsed() > 5000) {
                state.SkipWithError("the track did not play");
                break;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        if (first < 0)
            first = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    state.counters["first_ms"] = first;
    DestroyReaderWindows();
}
BENCHMARK(BM_TrackDoubleClickToPlaying)->Unit(benchmark::kMillisecond)->Iterations(10);

// A thumbnail as photographs make them: 150 x 112, colour gradients with fine detail.
std::string PhotoThumbnail(int seed) {
    TDibPicture picture = BlankPicture(150, 112);
    std::uint32_t noise = 2463534242u + static_cast<std::uint32_t>(seed) * 7919u;
    for (int y = 0; y < picture.Height; ++y)
        for (int x = 0; x < picture.Width; ++x) {
            noise ^= noise << 13, noise ^= noise >> 17, noise ^= noise << 5;
            std::uint8_t* p = &picture.Pixels[(static_cast<std::size_t>(y) * 150 + x) * 3];
            p[0] = static_cast<std::uint8_t>((x * 255 / 150 + seed * 40 + (noise & 31)) & 255);
            p[1] = static_cast<std::uint8_t>((y * 255 / 112 + (noise >> 8 & 31)) & 255);
            p[2] = static_cast<std::uint8_t>(((x + y) * 2 + seed * 90 + (noise >> 16 & 31)) & 255);
        }
    return EncodeJpeg(picture);
}

// A reader folder with the cell background and an edition of count thumbnails (distinct ones
// repeated; with dataBytes, as many as make "Data2.dat" that large), and a grid of
// width x height over it.
class TGridBench {
public:
    TGridBench(const std::string& name, int count, int distinct, int width, int height,
               std::size_t dataBytes = 0)
        : FFolder(name) {
        CreateFolders(LayoutPath(FFolder.Folder(), Layout::ReaderSkinsFolder));
        TDibPicture paper = BlankPicture(256, 256);
        for (std::size_t i = 0; i < paper.Pixels.size(); ++i)
            paper.Pixels[i] = static_cast<std::uint8_t>(230 + i % 7);
        WriteWholeFile(ArticlePicturePath(FFolder.Folder()), EncodeBmp(paper));
        std::vector<std::string> thumbnails;
        for (int i = 0; i < distinct; ++i)
            thumbnails.push_back(PhotoThumbnail(i));
        if (dataBytes > 0) {
            std::size_t bytes = 0;
            for (const std::string& thumbnail : thumbnails)
                bytes += thumbnail.size() + 4;
            count = static_cast<int>(dataBytes * thumbnails.size() / bytes + 1);
        }
        TPictureSet set;
        for (int k = 0; k < count; ++k) {
            set.CellLines.push_back(k);
            set.Thumbnails.push_back(thumbnails[static_cast<std::size_t>(k % distinct)]);
        }
        Book = EditionFolderOf(FFolder.Folder(), "Grid");
        WritePictureSet(set, Book);
        Panel.resize(width + 16, height);
        Grid = CreateThumbGrid(&Panel);
        Grid->Load(FFolder.Folder(), Book);
    }

private:
    TBenchFolder FFolder;

public:
    std::string Book;
    QWidget Panel;
    TThumbGrid* Grid = nullptr;
};

// A frame of a 750 x 600 grid (5 x 4 cells), its thumbnails decoded (cold) or cached (warm).
void BM_ThumbGridFrame(benchmark::State& state) {
    const bool warm = state.range(0) != 0;
    TGridBench bench("grid-frame", 40, 20, 750, 600);
    bench.Grid->DrawFrame();
    for (auto _ : state) {
        if (!warm) {
            state.PauseTiming();
            bench.Grid->ClearCache();
            state.ResumeTiming();
        }
        bench.Grid->DrawFrame();
        benchmark::DoNotOptimize(bench.Grid->Frame().constBits());
    }
}
BENCHMARK(BM_ThumbGridFrame)->ArgName("warm")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A reload of a grid over a 50 MB "Data2.dat" in which nothing changed, as on every repaint of
// the main window.
void BM_ThumbGridReloadUnchanged(benchmark::State& state) {
    TGridBench bench("grid-reload", 0, 20, 750, 600, 50 * 1024 * 1024);
    state.counters["Data2_MB"] =
        static_cast<double>(
            FileSystem().Stat(JoinPath(JoinPath(bench.Book, "PicData"), "Data2.dat")).Size) /
        (1024 * 1024);
    for (auto _ : state)
        bench.Grid->ReloadGrid();
}
BENCHMARK(BM_ThumbGridReloadUnchanged)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TQuartoApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
