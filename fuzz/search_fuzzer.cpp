// The four index files and the evaluation of queries over them. The files are read into
// exact-size blocks (TMemoryFileSystem::Map), so that a read past the end is seen.
#include "fuzzer_common.h"

#include "common/IniFile.h"
#include "reader/search/SearchQuery.h"

#include <algorithm>

using namespace quarto;
using namespace quarto::fuzz;

namespace {

void CheckHits(const std::vector<std::int32_t>& hits, std::int32_t articleCount) {
    // A subset of the articles, ascending, without repeats.
    for (std::size_t i = 0; i < hits.size(); ++i) {
        FUZZ_CHECK(hits[i] >= 0 && hits[i] < articleCount);
        if (i > 0)
            FUZZ_CHECK(hits[i - 1] < hits[i]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Parts: "Voc.txt", "Pos.rec", "FileIndex.rec", "InnerBase.dat", the query (1251), the
    // number of articles (decimal; 100 when not given).
    const std::vector<std::string_view> parts = SplitInput(data, size, 6);
    TMemoryScope memory;
    const char* const files[] = {SearchIndexFormat::VocabularyFile, SearchIndexFormat::StartsFile,
                                 SearchIndexFormat::PostingsFile, SearchIndexFormat::PositionsFile};
    for (std::size_t i = 0; i < 4 && i < parts.size(); ++i)
        memory.Files.Put(LayoutPath(BookFolder, files[i]), parts[i]);
    const std::string query = NormalizeQuery(parts.size() > 4 ? parts[4] : "звезда И небо");
    std::int32_t articleCount = 100;
    if (parts.size() > 5)
        articleCount =
            std::clamp(ParseIniInteger(parts[5]).value_or(100), 0, SearchIndexFormat::MaxArticles);

    TSearchIndex index(BookFolder);
    try {
        index.LoadVocabulary();
    } catch (const ESearchIndexError&) {
        return 0;
    }
    (void)QueryWords(query);
    std::vector<std::int32_t> all;
    try {
        all = EvaluateQuery(index, query, false, articleCount);
        CheckHits(all, articleCount);
    } catch (const ESearchIndexError&) {
    }
    try {
        const std::vector<std::int32_t> adjacent = EvaluateQuery(index, query, true, articleCount);
        CheckHits(adjacent, articleCount);
        // The filter only narrows.
        if (!all.empty() || adjacent.empty())
            FUZZ_CHECK(std::includes(all.begin(), all.end(), adjacent.begin(), adjacent.end()));
    } catch (const ESearchIndexError&) {
    }

    // The lookups under the query: the vocabulary, the postings and the article records.
    std::vector<std::int32_t> matches;
    index.MatchVocabulary(query, matches);
    for (std::size_t i = 0; i < matches.size(); ++i) {
        FUZZ_CHECK(matches[i] >= 0 && matches[i] < index.VocabularySize());
        if (i > 0)
            FUZZ_CHECK(matches[i - 1] < matches[i]);
    }
    try {
        index.OpenPostings();
        std::vector<std::int32_t> postings;
        for (std::int32_t i = 0; i < index.VocabularySize() && i < 64; ++i)
            index.ReadPostings(i, articleCount, postings);
        for (const std::int32_t a : postings)
            FUZZ_CHECK(a >= 0 && a < articleCount);
    } catch (const ESearchIndexError&) {
    }
    try {
        index.OpenPositions();
        for (std::int32_t a = 0; a < articleCount && a < 32; ++a) {
            try {
                (void)index.ReadArticlePositions(a);
            } catch (const ESearchIndexError&) {
            }
        }
    } catch (const ESearchIndexError&) {
    }
    return 0;
}
