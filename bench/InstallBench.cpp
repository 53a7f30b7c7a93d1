// The installer's copy: a 500 MB installation in 2,000 files, copied by the installer's folder
// copy and, in the same run, by "cp -r" of the same tree.
#include "common/FileSystem.h"
#include "setup/CopyMachinery.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <random>
#include <string>
#include <string_view>

using namespace quarto;

namespace {

// Scale from the environment (QUARTO_INSTALL_BENCH_MB), 500 MB by default.
std::int64_t TotalMegabytes() {
    const char* value = std::getenv("QUARTO_INSTALL_BENCH_MB");
    return value ? std::max(1, std::atoi(value)) : 500;
}

// The temporary folder: TMPDIR, else /tmp, made absolute.
std::string TempFolder() {
    const char* value = std::getenv("TMPDIR");
    return SystemFileSystem().AbsolutePath(value && *value ? value : "/tmp");
}

// The source tree: 2,000 files in folders three levels deep, sizes varying around the mean;
// made once and kept while it has the right size.
const std::string& SourceTree() {
    static const std::string root = [] {
        TFileSystem& fileSystem = FileSystem();
        const std::int64_t megabytes = TotalMegabytes();
        const std::string path =
            JoinPath(TempFolder(), "quarto-install-bench-" + std::to_string(megabytes));
        const std::string stamp = JoinPath(path, ".complete");
        if (fileSystem.Stat(stamp).Kind != TEntryKind::None)
            return path;
        fileSystem.RemoveTree(path);
        const int files = 2000;
        const std::int64_t mean = megabytes * 1024 * 1024 / files;
        std::mt19937_64 random(7);
        std::string block(static_cast<std::size_t>(mean * 2), '\0');
        for (char& c : block)
            c = static_cast<char>(random());
        for (int i = 0; i < files; ++i) {
            const std::string folder = JoinPath(
                JoinPath(JoinPath(path, "d" + std::to_string(i % 10)), "e" + std::to_string(i % 7)),
                "f" + std::to_string(i % 3));
            CreateFolders(folder);
            const std::int64_t size =
                mean / 2 + static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(mean));
            fileSystem.WriteWholeFile(
                JoinPath(folder, "file" + std::to_string(i) + ".dat"),
                std::string_view(block.data(), static_cast<std::size_t>(size)));
        }
        fileSystem.WriteWholeFile(stamp, "1");
        return path;
    }();
    return root;
}

std::string Target(const char* name) {
    return JoinPath(TempFolder(), "quarto-install-bench-" + std::string(name));
}

void BM_InstallerCopy(benchmark::State& state) {
    const std::string source = SourceTree();
    const std::string target = Target("ours");
    for (auto _ : state) {
        state.PauseTiming();
        FileSystem().RemoveTree(target);
        state.ResumeTiming();
        TCopyRun run(JoinPath(source, ""), JoinPath(target, ""), false);
        run.CopyFolder(source, target);
        if (!run.Failures.empty())
            state.SkipWithError("a file was not copied");
    }
    FileSystem().RemoveTree(target);
    state.SetBytesProcessed(state.iterations() * TotalMegabytes() * 1024 * 1024);
}
BENCHMARK(BM_InstallerCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CpRecursive(benchmark::State& state) {
    const std::string source = SourceTree();
    const std::string target = Target("cp");
    const std::string command = "cp -r '" + source + "' '" + target + "'";
    for (auto _ : state) {
        state.PauseTiming();
        FileSystem().RemoveTree(target);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cp failed");
    }
    FileSystem().RemoveTree(target);
    state.SetBytesProcessed(state.iterations() * TotalMegabytes() * 1024 * 1024);
}
BENCHMARK(BM_CpRecursive)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
