// Searching a large generated edition as the reader does it (a new index, the vocabulary read
// again, the query evaluated), beside SQLite FTS5 over the same article texts, and the parts
// of a search timed on their own.
//
// The edition: 30,000 articles (every contents entry has a text), about 300,000 distinct
// words and 20 million words of pseudo-Russian text drawn with a Zipf-like distribution, with
// some markup, character references, Latin words, numbers and hyphenated words. Set
// QUARTO_SEARCH_BENCH_ARTICLES to another number of articles for a smaller edition (the
// vocabulary and the words scale with it). The edition and the FTS5 database are built once
// into a folder under the temporary folder, quarto-search-bench-<articles>, and reused while
// its stamp says they are complete; remove the folder to build them again.
#include "common/Cp1251.h"
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "common/RecordFile.h"
#include "reader/search/SearchIndex.h"
#include "reader/search/SearchQuery.h"
#include "reader/core/BookCatalogue.h"
#include "tools/EditionExport.h"
#include "tools/EditionWriter.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <unordered_set>
#include <vector>

using namespace quarto;

namespace {

constexpr int FullArticles = 30000;
// Per article: the distinct words generated and the words written.
constexpr int VocabularyPerArticle = 10;
constexpr int WordsPerArticle = 667;
// Written last into the cache folder; another text means the folder is rebuilt.
constexpr const char* StampText = "quarto search bench corpus 2";
constexpr const char* EditionKey = "SearchBench";

// ---------------------------------------------------------------------------------------------
// SQLite

struct TDatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using TDatabase = std::unique_ptr<sqlite3, TDatabaseCloser>;

struct TStatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using TStatement = std::unique_ptr<sqlite3_stmt, TStatementFinalizer>;

void CheckSqlite(sqlite3* db, int code, const char* what) {
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW)
        throw std::runtime_error(std::string("SQLite, ") + what + ": " + sqlite3_errmsg(db));
}

TDatabase OpenDatabase(const std::string& path, int flags) {
    sqlite3* raw = nullptr;
    const int code = sqlite3_open_v2(path.c_str(), &raw, flags, nullptr);
    TDatabase db(raw);
    CheckSqlite(db.get(), code, path.c_str());
    return db;
}

void Execute(sqlite3* db, const char* sql) {
    CheckSqlite(db, sqlite3_exec(db, sql, nullptr, nullptr, nullptr), sql);
}

TStatement Prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* raw = nullptr;
    CheckSqlite(db, sqlite3_prepare_v2(db, sql, -1, &raw, nullptr), sql);
    return TStatement(raw);
}

// ---------------------------------------------------------------------------------------------
// The generated text

// Words the generator makes; only plain Cyrillic words are chosen as query words.
enum class EWordKind { Cyrillic, Latin, Number, Hyphenated, Head };

struct TWordTable {
    std::vector<std::string> Words;    // UTF-8, lower case, by frequency rank
    std::vector<std::string> Capitals; // the form that starts a sentence
    std::vector<EWordKind> Kinds;
};

std::uint32_t Pick(std::mt19937& random, std::uint32_t n) {
    return static_cast<std::uint32_t>(random() % n);
}

// A pseudo-Russian word of one to four syllables and an ending.
std::string MakeCyrillicWord(std::mt19937& random) {
    static const char* const onsets[] = {"",   "б",  "в",  "г",  "д",  "ж",  "з",  "к",  "л",
                                         "м",  "н",  "п",  "р",  "с",  "т",  "ф",  "х",  "ц",
                                         "ч",  "ш",  "щ",  "бр", "вл", "гр", "др", "зв", "кр",
                                         "пл", "пр", "ст", "тр", "сл", "см", "сн", "ск"};
    static const char* const vowels[] = {"а", "а", "а", "о", "о", "о", "е", "е",
                                         "и", "и", "у", "ы", "я", "ю", "э"};
    static const char* const codas[] = {"", "", "", "", "н", "р", "с", "л", "т", "й", "м", "к"};
    static const char* const endings[] = {"",   "",    "а",     "ы",    "ой",   "ый", "ая",
                                          "ое", "ов",  "ами",   "ость", "ение", "ий", "ник",
                                          "ка", "ему", "ского", "ные",  "ть",   "ла"};
    const std::uint32_t roll = Pick(random, 100);
    const int syllables = roll < 15 ? 1 : roll < 50 ? 2 : roll < 85 ? 3 : 4;
    std::string word;
    for (int i = 0; i < syllables; ++i) {
        word += onsets[Pick(random, std::size(onsets))];
        word += vowels[Pick(random, std::size(vowels))];
        if (i + 1 < syllables)
            word += codas[Pick(random, std::size(codas))];
    }
    word += endings[Pick(random, std::size(endings))];
    return word;
}

std::string MakeLatinWord(std::mt19937& random) {
    static const char* const syllables[] = {"ka", "lo",  "mer", "ti",  "sta", "no",  "ber",
                                            "ix", "ul",  "tra", "gen", "vo",  "pre", "dis",
                                            "qu", "zen", "ox",  "ry",  "sol", "am"};
    std::string word;
    const int count = 1 + static_cast<int>(Pick(random, 3));
    for (int i = 0; i < count; ++i)
        word += syllables[Pick(random, std::size(syllables))];
    return word;
}

// Capitalises the first letter (Latin or Cyrillic) of a UTF-8 word.
std::string Capitalise(const std::string& word) {
    std::string text = Utf8ToCp1251(word);
    text[0] = UpperCase1251(text[0]);
    return Cp1251ToUtf8(text);
}

// count distinct words: a few real function words first (the most frequent), then generated
// ones in random order.
TWordTable MakeWords(std::mt19937& random, int count) {
    static const char* const head[] = {"и",   "в",   "не", "на",  "что", "с", "по",
                                       "как", "это", "он", "к",   "из",  "у", "за",
                                       "от",  "так", "же", "для", "то",  "о"};
    TWordTable table;
    std::unordered_set<std::string> seen;
    auto add = [&](std::string word, EWordKind kind) {
        if (!seen.insert(word).second)
            return;
        table.Capitals.push_back(Capitalise(word));
        table.Words.push_back(std::move(word));
        table.Kinds.push_back(kind);
    };
    for (const char* word : head)
        add(word, EWordKind::Head);
    while (static_cast<int>(table.Words.size()) < count) {
        const std::uint32_t roll = Pick(random, 1000);
        if (roll < 10)
            add(MakeLatinWord(random), EWordKind::Latin);
        else if (roll < 17)
            add(std::to_string(Pick(random, 100000)), EWordKind::Number);
        else if (roll < 22)
            add(MakeCyrillicWord(random) + "-" + MakeCyrillicWord(random), EWordKind::Hyphenated);
        else
            add(MakeCyrillicWord(random), EWordKind::Cyrillic);
    }
    return table;
}

// Draws 0..n-1 with probability proportional to 1 / (rank + 1).
class TZipfSampler {
public:
    explicit TZipfSampler(std::size_t n) {
        FCumulative.reserve(n);
        double sum = 0;
        for (std::size_t i = 0; i < n; ++i) {
            sum += 1.0 / static_cast<double>(i + 1);
            FCumulative.push_back(sum);
        }
    }
    std::uint32_t Draw(std::mt19937& random) const {
        const double u = (static_cast<double>(random()) + 0.5) / 4294967296.0 * FCumulative.back();
        const auto it = std::upper_bound(FCumulative.begin(), FCumulative.end(), u);
        return static_cast<std::uint32_t>(std::min<std::size_t>(
            static_cast<std::size_t>(it - FCumulative.begin()), FCumulative.size() - 1));
    }

private:
    std::vector<double> FCumulative;
};

// A word that a query may use: plain Cyrillic, at least four letters, not a common word.
bool IsQueryCandidate(const TWordTable& table, std::uint32_t rank) {
    if (table.Kinds[rank] != EWordKind::Cyrillic)
        return false;
    const std::string word = Utf8ToCp1251(table.Words[rank]);
    return word.size() >= 4 && !IsStopWord(word);
}

// ---------------------------------------------------------------------------------------------
// The corpus: edition, database, query words

struct TCorpus {
    int Articles = 0;
    std::string Folder;                       // the cache folder
    std::string BookFolder;                   // the edition
    std::string DatabasePath;                 // the FTS5 database
    std::map<std::string, std::string> Facts; // written by the generator, UTF-8
    std::int64_t VocabularyLines = 0;

    const std::string& Fact(const std::string& key) const {
        const auto it = Facts.find(key);
        if (it == Facts.end())
            throw std::runtime_error(Folder + ": the facts file has no " + key + ".");
        return it->second;
    }
};

int ArticlesWanted() {
    const char* value = std::getenv("QUARTO_SEARCH_BENCH_ARTICLES");
    if (value == nullptr || *value == '\0')
        return FullArticles;
    const int articles = std::atoi(value);
    if (articles < 20 || articles > SearchIndexFormat::MaxArticles)
        throw std::runtime_error("QUARTO_SEARCH_BENCH_ARTICLES must be 20..65536.");
    return articles;
}

// One article's text: HTML for the edition, the same words without markup for FTS5.
struct TArticleText {
    std::string Html;
    std::string Plain;
};

class TCorpusBuilder {
public:
    TCorpusBuilder(int articles, const std::string& folder)
        : FArticles(articles), FFolder(folder), FRandom(20240611),
          FTable(MakeWords(FRandom, articles * VocabularyPerArticle)),
          FWordSampler(FTable.Words.size()), FLastArticle(FTable.Words.size(), -1),
          FArticleCounts(FTable.Words.size(), 0) {
        MakeCollocations();
    }

    void Build() {
        const std::string src = JoinPath(FFolder, "src");
        const std::string texts = JoinPath(src, "texts");
        CreateFolders(texts);
        WriteWholeFile(JoinPath(src, "edition.ini"),
                       std::string("[Main]\nTitle=Большая поисковая энциклопедия\nTitle2=Том "
                                   "для замеров поиска\nRegKey=") +
                           EditionKey + "\n[Options]\nUTF=0\n");

        TDatabase db =
            OpenDatabase(JoinPath(FFolder, "fts5.db"), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        Execute(db.get(), "PRAGMA journal_mode=OFF");
        Execute(db.get(), "PRAGMA synchronous=OFF");
        // Diacritics kept: unicode61 would otherwise fold "ё" into "е", which the reader's
        // index does not do.
        Execute(db.get(), "CREATE VIRTUAL TABLE articles USING fts5(body, tokenize = "
                          "'unicode61 remove_diacritics 0')");
        Execute(db.get(), "BEGIN");
        TStatement insert = Prepare(db.get(), "INSERT INTO articles(rowid, body) VALUES(?, ?)");

        const int sections = std::max(3, FArticles / 1000);
        const int perSection = (FArticles + sections - 1) / sections;
        std::string contents;
        for (int article = 0; article < FArticles; ++article) {
            const int inSection = article % perSection;
            const int level = inSection == 0 ? 0 : inSection % 5 >= 3 ? 2 : 1;
            const std::string file =
                "t" + std::to_string(article / 1000) + "/a" + std::to_string(article) + ".htm";
            const std::string title = level == 0
                                          ? "Раздел " + std::to_string(article / perSection + 1)
                                          : "Статья " + std::to_string(article);
            contents += std::to_string(level) + " " + file + " " + title + "\n";

            const TArticleText text = MakeArticle(article);
            const std::string textPath = JoinPath(texts, file);
            if (article % 1000 == 0)
                CreateFolders(ParentOf(textPath));
            WriteWholeFile(textPath, text.Html);
            FHtmlBytes += static_cast<std::int64_t>(text.Html.size());

            sqlite3_reset(insert.get());
            sqlite3_bind_int64(insert.get(), 1, article);
            sqlite3_bind_text(insert.get(), 2, text.Plain.data(),
                              static_cast<int>(text.Plain.size()), SQLITE_TRANSIENT);
            CheckSqlite(db.get(), sqlite3_step(insert.get()), "INSERT");
        }
        insert.reset();
        Execute(db.get(), "COMMIT");
        // Merged into one segment, as a database shipped with the articles would be.
        Execute(db.get(), "INSERT INTO articles(articles) VALUES('optimize')");
        db.reset();

        WriteWholeFile(JoinPath(src, "contents.txt"), contents);
        MakeEdition(src, EditionFolderOf(FFolder, EditionKey));
        FileSystem().RemoveTree(src);
        WriteFacts();
    }

private:
    // Two words that often stand together, the first before the second.
    struct TCollocation {
        std::uint32_t First = 0;
        std::uint32_t Second = 0;
        int LastArticle = -1;
        int Articles = 0; // articles it was written in
    };

    void MakeCollocations() {
        const std::uint32_t low = 30;
        const std::uint32_t high = std::max<std::uint32_t>(
            low + 2,
            std::min<std::uint32_t>(1500, static_cast<std::uint32_t>(FTable.Words.size())));
        const int count = std::max(10, static_cast<int>(FTable.Words.size()) / 300);
        while (static_cast<int>(FCollocations.size()) < count) {
            TCollocation c;
            c.First = low + Pick(FRandom, high - low);
            c.Second = low + Pick(FRandom, high - low);
            if (c.First != c.Second)
                FCollocations.push_back(c);
        }
        FCollocationSampler = std::make_unique<TZipfSampler>(FCollocations.size());
    }

    void Count(std::uint32_t rank, int article) {
        if (FLastArticle[rank] != article) {
            FLastArticle[rank] = article;
            ++FArticleCounts[rank];
        }
    }

    TArticleText MakeArticle(int article) {
        TArticleText text;
        const int length = WordsPerArticle / 2 + static_cast<int>(Pick(FRandom, WordsPerArticle));
        // The words in order; a collocation adds its two words at once.
        std::vector<std::uint32_t> words;
        words.reserve(static_cast<std::size_t>(length) + 1);
        while (static_cast<int>(words.size()) < length) {
            if (Pick(FRandom, 100) == 0) {
                TCollocation& c = FCollocations[FCollocationSampler->Draw(FRandom)];
                words.push_back(c.First);
                words.push_back(c.Second);
                if (c.LastArticle != article) {
                    c.LastArticle = article;
                    ++c.Articles;
                }
            } else {
                words.push_back(FWordSampler.Draw(FRandom));
            }
        }
        FWordCount += static_cast<std::int64_t>(words.size());

        text.Html = "<P>";
        int sentenceLeft = 0;
        int sentencesInParagraph = 0;
        for (std::size_t i = 0; i < words.size(); ++i) {
            const std::uint32_t rank = words[i];
            Count(rank, article);
            const bool starts = sentenceLeft == 0;
            if (starts) {
                sentenceLeft = 5 + static_cast<int>(Pick(FRandom, 16));
                if (i > 0) {
                    text.Html += ".";
                    text.Plain += ".";
                    if (++sentencesInParagraph >= 3 + static_cast<int>(Pick(FRandom, 6))) {
                        sentencesInParagraph = 0;
                        text.Html += "</P>\r\n<P>";
                    }
                }
            } else if (Pick(FRandom, 20) == 0) {
                text.Html += ",";
                text.Plain += ",";
            }
            if (i > 0) {
                text.Html += Pick(FRandom, 100) == 0 ? "&nbsp;" : " ";
                text.Plain += " ";
            }
            const std::string& word = starts ? FTable.Capitals[rank] : FTable.Words[rank];
            if (Pick(FRandom, 200) == 0)
                text.Html += "<B>" + word + "</B>";
            else
                text.Html += word;
            text.Plain += word;
            --sentenceLeft;
        }
        text.Html += ".</P>\r\n";
        text.Plain += ".";
        return text;
    }

    // The query words, chosen from the article counts of the words written.
    void WriteFacts() {
        const int frequent = ClosestWord(FArticles / 10, {});
        const int medium = ClosestWord(FArticles / 100, {frequent});

        // The pair: a collocation written in about one article in a hundred whose words are
        // each in more articles than that (so that AND finds more than adjacency keeps).
        const TCollocation* pair = nullptr;
        for (const TCollocation& c : FCollocations) {
            if (!IsQueryCandidate(FTable, c.First) || !IsQueryCandidate(FTable, c.Second))
                continue;
            if (FArticleCounts[c.First] < 2 * c.Articles ||
                FArticleCounts[c.Second] < 2 * c.Articles)
                continue;
            const int target = std::max(2, FArticles / 100);
            if (pair == nullptr ||
                std::abs(c.Articles - target) < std::abs(pair->Articles - target))
                pair = &c;
        }
        if (pair == nullptr)
            throw std::runtime_error("no collocation fits the adjacency query");

        // The prefix: three letters that begin about one vocabulary word in three hundred.
        std::map<std::string, int> prefixes;
        for (std::uint32_t rank = 0; rank < FTable.Words.size(); ++rank) {
            if (FTable.Kinds[rank] != EWordKind::Cyrillic)
                continue;
            const std::string word = Utf8ToCp1251(FTable.Words[rank]);
            if (word.size() >= 4)
                ++prefixes[Cp1251ToUtf8(word.substr(0, 3))];
        }
        const int prefixTarget = std::max(5, static_cast<int>(FTable.Words.size()) / 300);
        auto prefix = prefixes.begin();
        for (auto it = prefixes.begin(); it != prefixes.end(); ++it)
            if (std::abs(it->second - prefixTarget) < std::abs(prefix->second - prefixTarget))
                prefix = it;

        std::string facts;
        auto fact = [&facts](const std::string& key, const std::string& value) {
            facts += key + "\t" + value + "\n";
        };
        fact("words", std::to_string(FWordCount));
        fact("generated_vocabulary", std::to_string(FTable.Words.size()));
        fact("source_html_bytes", std::to_string(FHtmlBytes));
        fact("frequent", FTable.Words[static_cast<std::size_t>(frequent)]);
        fact("frequent_articles",
             std::to_string(FArticleCounts[static_cast<std::size_t>(frequent)]));
        fact("medium", FTable.Words[static_cast<std::size_t>(medium)]);
        fact("medium_articles", std::to_string(FArticleCounts[static_cast<std::size_t>(medium)]));
        fact("pair1", FTable.Words[pair->First]);
        fact("pair1_articles", std::to_string(FArticleCounts[pair->First]));
        fact("pair2", FTable.Words[pair->Second]);
        fact("pair2_articles", std::to_string(FArticleCounts[pair->Second]));
        fact("pair_written_articles", std::to_string(pair->Articles));
        fact("prefix", prefix->first);
        fact("prefix_words", std::to_string(prefix->second));
        WriteWholeFile(JoinPath(FFolder, "facts.txt"), facts);
    }

    // The query candidate whose article count is closest to target (the most frequent of
    // equals), other than those in except.
    int ClosestWord(int target, const std::vector<int>& except) const {
        int best = -1;
        for (std::uint32_t rank = 0; rank < FTable.Words.size(); ++rank) {
            if (!IsQueryCandidate(FTable, rank) ||
                std::find(except.begin(), except.end(), static_cast<int>(rank)) != except.end())
                continue;
            if (best < 0 || std::abs(FArticleCounts[rank] - target) <
                                std::abs(FArticleCounts[static_cast<std::size_t>(best)] - target))
                best = static_cast<int>(rank);
        }
        if (best < 0)
            throw std::runtime_error("no word fits the queries");
        return best;
    }

    int FArticles;
    std::string FFolder;
    std::mt19937 FRandom;
    TWordTable FTable;
    TZipfSampler FWordSampler;
    std::vector<int> FLastArticle;
    std::vector<int> FArticleCounts;
    std::vector<TCollocation> FCollocations;
    std::unique_ptr<TZipfSampler> FCollocationSampler;
    std::int64_t FWordCount = 0;
    std::int64_t FHtmlBytes = 0;
};

// The temporary folder: TMPDIR, else /tmp, made absolute.
std::string TempFolder() {
    const char* value = std::getenv("TMPDIR");
    return SystemFileSystem().AbsolutePath(value && *value ? value : "/tmp");
}

// Removes path with everything below it, passing over what cannot be removed.
void RemoveTreeQuietly(const std::string& path) {
    try {
        FileSystem().RemoveTree(path);
    } catch (const EStreamError&) {
    }
}

std::string FileSize(const std::string& path) {
    const TFileInfo info = FileSystem().Stat(path);
    return info.Kind != TEntryKind::File ? std::string("missing") : std::to_string(info.Size);
}

// Builds the corpus unless the cache folder already holds a complete one. Built in a private
// folder first and renamed into place, so that runs side by side do not see half of one.
TCorpus LoadCorpus() {
    TCorpus corpus;
    corpus.Articles = ArticlesWanted();
    TFileSystem& files = FileSystem();
    const std::string folder =
        JoinPath(TempFolder(), "quarto-search-bench-" + std::to_string(corpus.Articles));
    const std::string stamp = JoinPath(folder, "stamp");
    if (files.Stat(stamp).Kind == TEntryKind::None || ReadWholeFile(stamp) != StampText) {
        std::fprintf(stderr, "search_bench: building the corpus of %d articles in %s\n",
                     corpus.Articles, folder.c_str());
        RemoveTreeQuietly(folder);
        const std::string work = folder + ".building-" + std::to_string(getpid());
        RemoveTreeQuietly(work);
        CreateFolders(work);
        TCorpusBuilder(corpus.Articles, work).Build();
        WriteWholeFile(JoinPath(work, "stamp"), StampText);
        try {
            files.Rename(work, folder);
        } catch (const EStreamError&) {
            RemoveTreeQuietly(work); // another run put its corpus there first
        }
    }
    corpus.Folder = folder;
    corpus.BookFolder = EditionFolderOf(folder, EditionKey);
    corpus.DatabasePath = JoinPath(folder, "fts5.db");
    const std::string facts = ReadWholeFile(JoinPath(folder, "facts.txt"));
    std::size_t start = 0;
    while (start < facts.size()) {
        std::size_t end = facts.find('\n', start);
        if (end == std::string::npos)
            end = facts.size();
        const std::string line = facts.substr(start, end - start);
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos)
            corpus.Facts[line.substr(0, tab)] = line.substr(tab + 1);
        start = end + 1;
    }

    TSearchIndex index(corpus.BookFolder);
    index.LoadVocabulary();
    corpus.VocabularyLines = index.VocabularySize();

    const std::string& book = corpus.BookFolder;
    std::fprintf(stderr,
                 "search_bench: %d articles, %lld vocabulary lines (%s words generated), %s "
                 "words, %s bytes of article HTML\n"
                 "search_bench: bytes: %s %s, %s %s, %s %s, %s %s, %s %s, FTS5 database %s\n"
                 "search_bench: frequent \"%s\" (%s articles), medium \"%s\" (%s articles), "
                 "pair \"%s %s\" (%s and %s articles, written together in %s), prefix \"%s*\" "
                 "(%s generated words)\n",
                 corpus.Articles, static_cast<long long>(corpus.VocabularyLines),
                 corpus.Fact("generated_vocabulary").c_str(), corpus.Fact("words").c_str(),
                 corpus.Fact("source_html_bytes").c_str(), Layout::VocabularyFile,
                 FileSize(LayoutPath(book, Layout::VocabularyFile)).c_str(), Layout::StartsFile,
                 FileSize(LayoutPath(book, Layout::StartsFile)).c_str(), Layout::PostingsFile,
                 FileSize(LayoutPath(book, Layout::PostingsFile)).c_str(), Layout::PositionsFile,
                 FileSize(LayoutPath(book, Layout::PositionsFile)).c_str(), Layout::TextStoreFile,
                 FileSize(TextStorePath(book)).c_str(), FileSize(corpus.DatabasePath).c_str(),
                 corpus.Fact("frequent").c_str(), corpus.Fact("frequent_articles").c_str(),
                 corpus.Fact("medium").c_str(), corpus.Fact("medium_articles").c_str(),
                 corpus.Fact("pair1").c_str(), corpus.Fact("pair2").c_str(),
                 corpus.Fact("pair1_articles").c_str(), corpus.Fact("pair2_articles").c_str(),
                 corpus.Fact("pair_written_articles").c_str(), corpus.Fact("prefix").c_str(),
                 corpus.Fact("prefix_words").c_str());
    return corpus;
}

const TCorpus& Corpus() {
    static const TCorpus corpus = LoadCorpus();
    return corpus;
}

// ---------------------------------------------------------------------------------------------
// The queries

enum class EQuery { OneWord, TwoWordsAnd, TwoWordsAdjacent, Or, Prefix };

struct TQuery {
    std::string Reader; // code page 1251, as typed
    bool Adjacent = true;
    std::string Fts5; // UTF-8 MATCH expression
};

TQuery MakeQuery(EQuery which) {
    const TCorpus& corpus = Corpus();
    const std::string frequent = corpus.Fact("frequent");
    const std::string medium = corpus.Fact("medium");
    const std::string pair = corpus.Fact("pair1") + " " + corpus.Fact("pair2");
    const std::string prefix = corpus.Fact("prefix") + "*";
    switch (which) {
    case EQuery::OneWord:
        return {Utf8ToCp1251(frequent), true, frequent};
    case EQuery::TwoWordsAnd:
        return {Utf8ToCp1251(pair), false, pair};
    case EQuery::TwoWordsAdjacent:
        return {Utf8ToCp1251(pair), true, "\"" + pair + "\""};
    case EQuery::Or:
        // Adjacency off: with it on the reader would filter an OR of two words as well.
        return {Utf8ToCp1251(frequent + " ИЛИ " + medium), false, frequent + " OR " + medium};
    case EQuery::Prefix:
        return {Utf8ToCp1251(prefix), true, prefix};
    }
    return {};
}

// One search on index as the reader runs it: the vocabulary checked against the file (read
// again only when it changed), the query normalised and evaluated; the number of hits.
std::size_t Search(TSearchIndex& index, const TCorpus& corpus, const TQuery& query) {
    index.LoadVocabulary();
    const std::vector<std::int32_t> found =
        EvaluateQuery(index, NormalizeQuery(query.Reader), query.Adjacent, corpus.Articles);
    benchmark::DoNotOptimize(found.data());
    return found.size();
}

// The reader's search, end to end as the reader runs it: the edition's index kept between
// searches.
void BM_Reader(benchmark::State& state, EQuery which) {
    const TCorpus& corpus = Corpus();
    const TQuery query = MakeQuery(which);
    TSearchIndex index(corpus.BookFolder);
    index.LoadVocabulary(); // the edition's first search, measured by BM_ReaderFirstSearch
    std::size_t hits = 0;
    for (auto _ : state)
        hits = Search(index, corpus, query);
    state.counters["hits"] = static_cast<double>(hits);
}

// The first search of an edition: a new index, the vocabulary read and its lookup built, the
// index files mapped.
void BM_ReaderFirstSearch(benchmark::State& state, EQuery which) {
    const TCorpus& corpus = Corpus();
    const TQuery query = MakeQuery(which);
    std::size_t hits = 0;
    for (auto _ : state) {
        TSearchIndex index(corpus.BookFolder);
        hits = Search(index, corpus, query);
    }
    state.counters["hits"] = static_cast<double>(hits);
}
BENCHMARK_CAPTURE(BM_ReaderFirstSearch, TwoWordsAdjacent, EQuery::TwoWordsAdjacent)
    ->Unit(benchmark::kMillisecond);

// FTS5: every matching rowid, ascending, on a connection opened beforehand.
void BM_Fts5(benchmark::State& state, EQuery which) {
    const TCorpus& corpus = Corpus();
    const TQuery query = MakeQuery(which);
    TDatabase db = OpenDatabase(corpus.DatabasePath, SQLITE_OPEN_READONLY);
    std::size_t hits = 0;
    for (auto _ : state) {
        TStatement select =
            Prepare(db.get(), "SELECT rowid FROM articles WHERE articles MATCH ? ORDER BY rowid");
        sqlite3_bind_text(select.get(), 1, query.Fts5.data(), static_cast<int>(query.Fts5.size()),
                          SQLITE_STATIC);
        std::vector<std::int64_t> found;
        int code;
        while ((code = sqlite3_step(select.get())) == SQLITE_ROW)
            found.push_back(sqlite3_column_int64(select.get(), 0));
        CheckSqlite(db.get(), code, "SELECT");
        hits = found.size();
        benchmark::DoNotOptimize(found.data());
    }
    state.counters["hits"] = static_cast<double>(hits);
}

BENCHMARK_CAPTURE(BM_Reader, OneWord, EQuery::OneWord)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Fts5, OneWord, EQuery::OneWord)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Reader, TwoWordsAnd, EQuery::TwoWordsAnd)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Fts5, TwoWordsAnd, EQuery::TwoWordsAnd)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Reader, TwoWordsAdjacent, EQuery::TwoWordsAdjacent)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Fts5, TwoWordsPhrase, EQuery::TwoWordsAdjacent)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Reader, Or, EQuery::Or)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Fts5, Or, EQuery::Or)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Reader, Prefix, EQuery::Prefix)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Fts5, Prefix, EQuery::Prefix)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------------------------
// The parts of a reader search

// Reading the bytes of "Voc.txt", the first half of loading the vocabulary (the other is
// cutting them into lines).
void BM_PartReadVocabularyFile(benchmark::State& state) {
    const std::string path = LayoutPath(Corpus().BookFolder, Layout::VocabularyFile);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = ReadWholeFile(path);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_PartReadVocabularyFile)->Unit(benchmark::kMillisecond);

// Reading "Voc.txt" into a new index.
void BM_PartLoadVocabulary(benchmark::State& state) {
    const TCorpus& corpus = Corpus();
    for (auto _ : state) {
        TSearchIndex index(corpus.BookFolder);
        index.LoadVocabulary();
        benchmark::DoNotOptimize(index.VocabularySize());
    }
    state.counters["lines"] = static_cast<double>(corpus.VocabularyLines);
}
BENCHMARK(BM_PartLoadVocabulary)->Unit(benchmark::kMillisecond);

// One scan of the vocabulary for a word (exact) or a prefix.
void BM_PartMatchVocabulary(benchmark::State& state, EQuery which) {
    const TCorpus& corpus = Corpus();
    const std::string word = MakeQuery(which).Reader;
    TSearchIndex index(corpus.BookFolder);
    index.LoadVocabulary();
    std::vector<std::int32_t> matches;
    for (auto _ : state) {
        matches.clear();
        index.MatchVocabulary(word, matches);
        benchmark::DoNotOptimize(matches.data());
    }
    state.counters["lines"] = static_cast<double>(matches.size());
}
BENCHMARK_CAPTURE(BM_PartMatchVocabulary, Exact, EQuery::OneWord)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PartMatchVocabulary, Prefix, EQuery::Prefix)->Unit(benchmark::kMillisecond);

// Opening "Pos.rec" and "FileIndex.rec" and reading the article numbers of every vocabulary
// line the word matches (without combining them).
void BM_PartReadPostings(benchmark::State& state, EQuery which) {
    const TCorpus& corpus = Corpus();
    const std::string word = MakeQuery(which).Reader;
    TSearchIndex index(corpus.BookFolder);
    index.LoadVocabulary();
    std::vector<std::int32_t> matches;
    index.MatchVocabulary(word, matches);
    std::vector<std::int32_t> postings;
    for (auto _ : state) {
        postings.clear();
        index.OpenPostings();
        for (const std::int32_t m : matches)
            index.ReadPostings(m, corpus.Articles, postings);
        benchmark::DoNotOptimize(postings.data());
    }
    state.counters["postings"] = static_cast<double>(postings.size());
}
BENCHMARK_CAPTURE(BM_PartReadPostings, Exact, EQuery::OneWord)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PartReadPostings, Prefix, EQuery::Prefix)->Unit(benchmark::kMillisecond);

// The adjacency filter over the hits of the pair's AND query.
void BM_PartFilterAdjacent(benchmark::State& state) {
    const TCorpus& corpus = Corpus();
    const std::string query = NormalizeQuery(MakeQuery(EQuery::TwoWordsAdjacent).Reader);
    TSearchIndex index(corpus.BookFolder);
    index.LoadVocabulary();
    const std::vector<std::int32_t> andHits = EvaluateQuery(index, query, false, corpus.Articles);
    std::size_t kept = 0;
    for (auto _ : state) {
        std::vector<std::int32_t> hits = andHits;
        FilterAdjacent(index, query, hits);
        kept = hits.size();
        benchmark::DoNotOptimize(hits.data());
    }
    state.counters["articles_read"] = static_cast<double>(andHits.size());
    state.counters["hits"] = static_cast<double>(kept);
}
BENCHMARK(BM_PartFilterAdjacent)->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------------------------
// Exporting the whole edition (target: 30,000 articles in under 30 s).

void BM_Export(benchmark::State& state, bool epub) {
    const TCorpus& corpus = Corpus();
    const Tbook book = ReadBookDescriptor(corpus.BookFolder);
    const std::string out = JoinPath(corpus.Folder, epub ? "export.epub" : "export-html");
    TExportOptions options;
    options.Modified = "2026-01-01T00:00:00Z";
    for (auto _ : state) {
        const TExportReport report =
            epub ? ExportEpub(book, out, options) : ExportHtml(book, out, options);
        if (!report.Problems.empty())
            state.SkipWithError(report.Problems.front().c_str());
        state.counters["pages"] = static_cast<double>(report.Pages);
    }
    if (epub)
        state.counters["MB"] = static_cast<double>(FileSystem().Stat(out).Size) / 1e6;
    if (epub)
        FileSystem().Remove(out);
    else
        FileSystem().RemoveTree(out);
}
BENCHMARK_CAPTURE(BM_Export, Epub, true)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_Export, Html, false)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
