// The installer's copy: a 500 MB installation in 2,000 files, copied by the installer's folder
// copy and, in the same run, by "cp -r" of the same tree.
#include "setup/CopyMachinery.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace fs = std::filesystem;
using namespace quarto;

namespace {

// Scale from the environment (QUARTO_INSTALL_BENCH_MB), 500 MB by default.
std::int64_t TotalMegabytes() {
    const char* value = std::getenv("QUARTO_INSTALL_BENCH_MB");
    return value ? std::max(1, std::atoi(value)) : 500;
}

// The source tree: 2,000 files in folders three levels deep, sizes varying around the mean;
// made once and kept while it has the right size.
const fs::path& SourceTree() {
    static const fs::path root = [] {
        const std::int64_t megabytes = TotalMegabytes();
        const fs::path path =
            fs::temp_directory_path() / ("quarto-install-bench-" + std::to_string(megabytes));
        const fs::path stamp = path / ".complete";
        if (fs::exists(stamp))
            return path;
        fs::remove_all(path);
        const int files = 2000;
        const std::int64_t mean = megabytes * 1024 * 1024 / files;
        std::mt19937_64 random(7);
        std::string block(static_cast<std::size_t>(mean * 2), '\0');
        for (char& c : block)
            c = static_cast<char>(random());
        for (int i = 0; i < files; ++i) {
            const fs::path folder = path / ("d" + std::to_string(i % 10)) /
                                    ("e" + std::to_string(i % 7)) / ("f" + std::to_string(i % 3));
            fs::create_directories(folder);
            const std::int64_t size =
                mean / 2 + static_cast<std::int64_t>(random() % static_cast<std::uint64_t>(mean));
            std::ofstream(folder / ("file" + std::to_string(i) + ".dat"), std::ios::binary)
                .write(block.data(), static_cast<std::streamsize>(size));
        }
        std::ofstream(stamp).put('1');
        return path;
    }();
    return root;
}

fs::path Target(const char* name) {
    return fs::temp_directory_path() / ("quarto-install-bench-" + std::string(name));
}

void BM_InstallerCopy(benchmark::State& state) {
    const fs::path source = SourceTree();
    const fs::path target = Target("ours");
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(target);
        state.ResumeTiming();
        TCopyRun run(source.string() + "/", target.string() + "/", false);
        run.CopyFolder(source.string(), target.string());
        if (!run.Failures.empty())
            state.SkipWithError("a file was not copied");
    }
    fs::remove_all(target);
    state.SetBytesProcessed(state.iterations() * TotalMegabytes() * 1024 * 1024);
}
BENCHMARK(BM_InstallerCopy)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CpRecursive(benchmark::State& state) {
    const fs::path source = SourceTree();
    const fs::path target = Target("cp");
    const std::string command = "cp -r '" + source.string() + "' '" + target.string() + "'";
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(target);
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("cp failed");
    }
    fs::remove_all(target);
    state.SetBytesProcessed(state.iterations() * TotalMegabytes() * 1024 * 1024);
}
BENCHMARK(BM_CpRecursive)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
