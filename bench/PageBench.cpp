// Composing an article page and marking five search words on it, for pages up to 5 MB.
#include "common/Cp1251.h"
#include "reader/core/PageComposer.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

using namespace quarto;

namespace {

// An HTML body of about size bytes in code page 1251: paragraphs of Russian words with some
// markup, references and the words the benchmark marks.
std::string MakeBody(std::size_t size) {
    // Each marked word is about one word in sixty, and occurs inside longer words too.
    const std::vector<std::string> words = {"звезда",
                                            "созвездие",
                                            "телескоп",
                                            "Луна",
                                            "планета",
                                            "наблюдатель",
                                            "небо",
                                            "ночь",
                                            "Юпитер",
                                            "спутник",
                                            "бинокль",
                                            "туманность",
                                            "и",
                                            "в",
                                            "на",
                                            "яркая",
                                            "далёкая",
                                            "Полярная",
                                            "метеоры",
                                            "орбита",
                                            "&nbsp;",
                                            "<B>кольца</B>",
                                            "<I>Сатурн</I>",
                                            "свет",
                                            "горизонт",
                                            "восток",
                                            "запад",
                                            "север",
                                            "юг",
                                            "зенит",
                                            "Марс",
                                            "Венера",
                                            "Меркурий",
                                            "комета",
                                            "астероид",
                                            "затмение",
                                            "фаза",
                                            "полнолуние",
                                            "новолуние",
                                            "серп",
                                            "окуляр",
                                            "линза",
                                            "зеркало",
                                            "монтировка",
                                            "штатив",
                                            "карта",
                                            "атлас",
                                            "каталог",
                                            "величина",
                                            "блеск",
                                            "цвет",
                                            "температура",
                                            "расстояние",
                                            "год",
                                            "парсек",
                                            "галактика",
                                            "скопление",
                                            "Плеяды",
                                            "Орион",
                                            "Кассиопея",
                                            "Лебедь",
                                            "Вега",
                                            "Денеб",
                                            "Альтаир"};
    std::vector<std::string> encoded;
    for (const std::string& w : words)
        encoded.push_back(Utf8ToCp1251(w));
    std::mt19937 random(42);
    std::string body;
    body.reserve(size + 256);
    while (body.size() < size) {
        body += "<P CLASS=\"text\">";
        for (int i = 0; i < 60; ++i) {
            body += encoded[random() % encoded.size()];
            body += ' ';
        }
        body += "</P>\r\n";
    }
    body += "    ";
    return body;
}

void BM_ComposeAndMark(benchmark::State& state) {
    const std::string body = MakeBody(static_cast<std::size_t>(state.range(0)));
    const std::string templateBytes = "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" "
                                      "CONTENT=\"text/html; charset=windows-1251\">";
    const std::string words = Utf8ToCp1251("звезда телескоп юпитер туманность метеор");
    for (auto _ : state) {
        std::string page = ComposePage(templateBytes, "/app/Books/Demo/Base/", body,
                                       "/app/Skins/text.bmp", ArticleTextColour);
        bool highlightOn = true;
        RewritePageSource(page, true, words, highlightOn);
        benchmark::DoNotOptimize(page.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ComposeAndMark)
    ->Arg(1 << 20)
    ->Arg(5 << 19)
    ->Arg(5 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
