// Reading the demo edition in place from the disc image beside reading the same files from the
// disc folder: every article's page composed (each opening reads the contents and the text
// store), and a search over the edition's index. The image's figure should stay within 1.2
// times the folder's.
//
// The disc folder and its image are the build's (build/disc, build/disc.iso); the reader folder
// gives the page template.
#include "common/Cp1251.h"
#include "common/DiscImage.h"
#include "common/FileSystem.h"
#include "reader/core/ArticlePage.h"
#include "reader/core/BookCatalogue.h"
#include "reader/core/ContentsFile.h"
#include "reader/search/SearchQuery.h"

#include <benchmark/benchmark.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace quarto;

namespace {

// The demo edition of the disc at root.
Tbook DemoEdition(const std::string& root) {
    const std::vector<Tbook> books = FindBooks(JoinPath(root, ""));
    if (books.empty())
        throw std::runtime_error("no edition on " + root);
    return books.front();
}

std::string DiscRoot(bool image) {
    return image ? MountDiscImage(QUARTO_DISC_IMAGE) : std::string(QUARTO_DISC_DIR);
}

void BM_OpenEveryArticle(benchmark::State& state) {
    const Tbook book = DemoEdition(DiscRoot(state.range(0) != 0));
    const std::string app = JoinPath(QUARTO_APP_DIR, "");
    for (auto _ : state) {
        std::vector<TContentsRec> list;
        if (!LoadContents(book.BookFolder, list))
            throw std::runtime_error("no contents");
        std::size_t bytes = 0;
        for (int article = 0; article < static_cast<int>(list.size()); ++article)
            bytes += ArticlePage(app, book, list, article).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.SetLabel(state.range(0) ? "image" : "folder");
}
BENCHMARK(BM_OpenEveryArticle)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_Search(benchmark::State& state) {
    const Tbook book = DemoEdition(DiscRoot(state.range(0) != 0));
    std::vector<TContentsRec> list;
    LoadContents(book.BookFolder, list);
    const std::string query = NormalizeQuery(Utf8ToCp1251("звезд* ИЛИ Луна"));
    for (auto _ : state)
        benchmark::DoNotOptimize(
            SearchEdition(book.BookFolder, query, false, static_cast<std::int32_t>(list.size())));
    state.SetLabel(state.range(0) ? "image" : "folder");
}
BENCHMARK(BM_Search)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
