// The installer's copy beside "cp -r" of the same tree, in the same run, for two discs: large
// files (500 MB in 2,000 files) and many small ones (20,000 files of 4 to 64 KB). The files lie
// in an edition's "Pictures" folder of a disc, and the installer plans and copies them as it
// does an installation: through its copy run, with the window's callbacks in place (counting
// here), each file to a temporary name renamed over its place.
#include "common/EditionLayout.h"
#include "common/FileSystem.h"
#include "setup/CopyMachinery.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <string_view>

using namespace quarto;

namespace {

// Scale of the large-file disc from the environment (QUARTO_INSTALL_BENCH_MB), 500 MB by default.
std::int64_t TotalMegabytes() {
    const char* value = std::getenv("QUARTO_INSTALL_BENCH_MB");
    return value ? std::max(1, std::atoi(value)) : 500;
}

// Number of files of the small-file disc (QUARTO_INSTALL_BENCH_FILES), 20,000 by default.
int SmallFiles() {
    const char* value = std::getenv("QUARTO_INSTALL_BENCH_FILES");
    return value ? std::max(1, std::atoi(value)) : 20000;
}

// The temporary folder: TMPDIR, else /tmp, made absolute.
std::string TempFolder() {
    const char* value = std::getenv("TMPDIR");
    return SystemFileSystem().AbsolutePath(value && *value ? value : "/tmp");
}

const char* const Key = "Bench";

// A disc root holding files in Books/Bench/Pictures, in folders three levels deep, sizes from
// minSize to maxSize; made once and kept while it has the right shape.
std::string MakeDisc(const std::string& name, int files, std::int64_t minSize,
                     std::int64_t maxSize) {
    TFileSystem& fileSystem = FileSystem();
    const std::string root = JoinPath(TempFolder(), "quarto-install-bench-" + name);
    const std::string stamp = JoinPath(root, ".complete");
    if (fileSystem.Stat(stamp).Kind != TEntryKind::None)
        return root;
    fileSystem.RemoveTree(root);
    const std::string pictures = LayoutPath(EditionFolderOf(root, Key), Layout::PicturesFolder);
    std::mt19937_64 random(7);
    std::string block(static_cast<std::size_t>(maxSize), '\0');
    for (char& c : block)
        c = static_cast<char>(random());
    const auto spread = static_cast<std::uint64_t>(maxSize - minSize + 1);
    for (int i = 0; i < files; ++i) {
        const std::string folder = JoinPath(
            JoinPath(JoinPath(pictures, "d" + std::to_string(i % 10)), "e" + std::to_string(i % 7)),
            "f" + std::to_string(i % 3));
        CreateFolders(folder);
        const std::int64_t size = minSize + static_cast<std::int64_t>(random() % spread);
        fileSystem.WriteWholeFile(JoinPath(folder, "file" + std::to_string(i) + ".dat"),
                                  std::string_view(block.data(), static_cast<std::size_t>(size)));
    }
    fileSystem.WriteWholeFile(stamp, "1");
    return root;
}

const std::string& LargeDisc() {
    static const std::string root = [] {
        const std::int64_t mean = TotalMegabytes() * 1024 * 1024 / 2000;
        return MakeDisc("large-" + std::to_string(TotalMegabytes()), 2000, mean / 2,
                        mean / 2 + mean - 1);
    }();
    return root;
}

const std::string& SmallDisc() {
    static const std::string root =
        MakeDisc("small-" + std::to_string(SmallFiles()), SmallFiles(), 4 * 1024, 64 * 1024);
    return root;
}

std::string Target(const std::string& name) {
    return JoinPath(TempFolder(), "quarto-install-bench-" + name);
}

void InstallerCopy(benchmark::State& state, const std::string& disc, const std::string& name) {
    const std::string target = Target(name);
    std::int64_t bytes = 0, pumps = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FileSystem().RemoveTree(target);
        CreateFolders(target);
        state.ResumeTiming();
        TCopyRun run(JoinPath(disc, ""), JoinPath(target, ""), false);
        run.OnGroup = [&](const std::string&) { ++pumps; };
        run.OnFileCopied = [&](const std::string&) { ++pumps; };
        run.OnProgress = [&](double) { ++pumps; };
        run.OnPump = [&] { ++pumps; };
        run.Cancelled = [] { return false; };
        TCopyPlan plan = run.PlanOf({Key}, false);
        std::erase_if(plan.Entries,
                      [](const TCopyEntry& entry) { return entry.Group != TCopyGroup::Pictures; });
        bytes = run.Count(plan);
        run.Copy(plan);
        if (!run.Failures.empty() || run.DoneFiles != run.TotalFiles)
            state.SkipWithError("a file was not copied");
    }
    FileSystem().RemoveTree(target);
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["pumps"] = static_cast<double>(pumps) / static_cast<double>(state.iterations());
}

void CpRecursive(benchmark::State& state, const std::string& disc, const std::string& name) {
    const std::string target = Target(name);
    const std::string command = "cp -r '" + disc + "' '" + target + "'";
    for (auto _ : state) {
        state.PauseTiming();
        FileSystem().RemoveTree(target);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cp failed");
    }
    FileSystem().RemoveTree(target);
    state.SetBytesProcessed(state.iterations() * TreeBytes(disc));
}

void BM_InstallerCopy(benchmark::State& state) {
    InstallerCopy(state, LargeDisc(), "ours");
}
BENCHMARK(BM_InstallerCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CpRecursive(benchmark::State& state) {
    CpRecursive(state, LargeDisc(), "cp");
}
BENCHMARK(BM_CpRecursive)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_InstallerCopySmallFiles(benchmark::State& state) {
    InstallerCopy(state, SmallDisc(), "ours-small");
}
BENCHMARK(BM_InstallerCopySmallFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CpRecursiveSmallFiles(benchmark::State& state) {
    CpRecursive(state, SmallDisc(), "cp-small");
}
BENCHMARK(BM_CpRecursiveSmallFiles)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
