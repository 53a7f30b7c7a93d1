// quarto-tool's reading commands on the demo edition, compared byte for byte with the outputs
// kept under golden/. The reader folder's absolute path is written "@APP@" there, so that the
// outputs do not depend on where the tree is built (on Windows, "@APP@" stands for the folder's
// Windows spelling and the separators after it are written "/"), and a Windows build of the
// tool must print what the tool printed here. QUARTO_UPDATE_GOLDEN=1 writes the files anew
// instead of comparing (after a change meant to alter the output).
#include "ToolRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using namespace quarto::test;

namespace {

struct TGolden {
    const char* File;              // under golden/
    std::vector<std::string> Args; // after --app
    int Status;
};

// Output and exit status of quarto-tool with args, reading the reader folder of the build, or
// with the editions of the disc image given.
std::pair<std::string, int> RunTool(const std::vector<std::string>& args,
                                    const std::string& disc = "") {
    std::vector<std::string> words = {"--app", QUARTO_APP_DIR};
    if (!disc.empty())
        words.insert(words.end(), {"--disc", disc});
    words.insert(words.end(), args.begin(), args.end());
    static const TTempFolder scratch;
    const TResult r = RunProgram(QUARTO_TOOL, words, scratch.Path());
    return {r.Out, r.Status};
}

// text with the folder root (the reader folder, or the disc whose editions were read) written
// "@APP@".
std::string WithAppPlaceholder(std::string text, std::string app = QUARTO_APP_DIR) {
    while (!app.empty() && app.back() == '/')
        app.pop_back();
    if (quarto::PathSeparator == '\\') {
        // "file:///Z:\app\Books\..." is "file://@APP@/Books/...".
        app = quarto::SystemFileSystem().AbsolutePath(app);
        for (std::size_t at = text.find(app); at != std::string::npos; at = text.find(app, at)) {
            if (at >= 8 && text.compare(at - 8, 8, "file:///") == 0) {
                text.erase(at - 1, 1);
                --at;
            }
            text.replace(at, app.size(), "@APP@");
            for (at += 5; at < text.size() && text[at] != '"' && text[at] != '\n'; ++at)
                if (text[at] == '\\')
                    text[at] = '/';
        }
        return text;
    }
    for (const std::string& form : {app, app.substr(app.find_first_not_of('/'))}) {
        for (std::size_t at = text.find(form); at != std::string::npos;
             at = text.find(form, at + 5))
            text.replace(at, form.size(), "@APP@");
    }
    return text;
}

std::vector<TGolden> Commands() {
    std::vector<TGolden> list = {
        {"list.txt", {"list"}, 0},
        {"toc.txt", {"toc"}, 0},
        {"tree.txt", {"tree"}, 0},
        {"check.txt", {"check"}, 0},
        {"search-polar.txt", {"search", "Полярная звезда"}, 0},
        {"search-or.txt", {"search", "--no-adjacent", "Юпитер ИЛИ Сатурн"}, 0},
        {"search-prefix.txt", {"search", "--no-adjacent", "звезд* И Луна"}, 0},
        {"search-none.txt", {"search", "звезд* И Луна"}, 1},
        {"page-3-marked.htm", {"page", "--mark", "Полярная звезда", "3"}, 0},
        {"page-4-marked-prefix.htm", {"page", "--mark", "звезд* Алькор", "4"}, 0},
        {"pictures.txt", {"pictures"}, 0},
        {"cells.txt", {"cells"}, 0},
        {"music.txt", {"music"}, 0},
        {"audio.txt", {"audio"}, 0},
        {"video.txt", {"video"}, 0},
    };
    return list;
}

// Every reading command, and the page of every article, against the golden outputs; with
// disc, the editions are read from that disc.
void CompareWithGolden(const std::string& disc) {
    const bool update = disc.empty() && std::getenv("QUARTO_UPDATE_GOLDEN") != nullptr;
    std::vector<TGolden> commands = Commands();
    // Every article's page: as many as toc has lines.
    const std::string toc = RunTool({"toc"}, disc).first;
    const auto articles = std::count(toc.begin(), toc.end(), '\n');
    EXPECT_GT(articles, 30);
    for (long n = 0; n < articles; ++n)
        commands.push_back({nullptr, {"page", std::to_string(n)}, 0});
    const auto placeheld = [&](const std::string& out) {
        return WithAppPlaceholder(disc.empty() ? out : WithAppPlaceholder(out, disc));
    };
    std::string pages;
    for (const TGolden& g : commands) {
        const auto [out, status] = RunTool(g.Args, disc);
        EXPECT_EQ(status, g.Status) << g.Args.front();
        if (!g.File) {
            pages += "=== " + g.Args.back() + "\n" + placeheld(out) + "\n";
            continue;
        }
        const std::string path = std::string(QUARTO_GOLDEN_DIR) + "/" + g.File;
        if (update)
            quarto::WriteWholeFile(path, placeheld(out));
        else
            EXPECT_EQ(placeheld(out), quarto::ReadWholeFile(path)) << g.File;
    }
    const std::string path = std::string(QUARTO_GOLDEN_DIR) + "/pages.htm";
    if (update)
        quarto::WriteWholeFile(path, pages);
    else
        EXPECT_EQ(pages, quarto::ReadWholeFile(path));
}

TEST(Golden, ReadingCommandsPrintWhatTheyPrinted) {
    CompareWithGolden("");
}

// The demo disc as an ISO 9660 image (made in builds with the installer): its edition read in
// place prints what the reader folder's does.
TEST(Golden, ReadingCommandsPrintTheSameFromTheDiscImage) {
#ifdef QUARTO_DISC_IMAGE
    CompareWithGolden(QUARTO_DISC_IMAGE);
#else
    GTEST_SKIP() << "no disc image in a build without the installer";
#endif
}

} // namespace
