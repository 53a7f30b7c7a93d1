// Article deciphering and key set-up, beside OpenSSL's Blowfish (ECB) on the same bytes and key.
#include "reader/cipher/BlockCiphers.h"

#include <benchmark/benchmark.h>
#include <openssl/blowfish.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using quarto::TBlowfishCipher;
using quarto::TMemoryStream;

// The key the article store uses.
const std::string ArticleKey = "Lanthorne";

TBlowfishCipher MakeCipher() {
    return TBlowfishCipher(ArticleKey.data(), static_cast<int>(ArticleKey.size()));
}

// Ciphertext of exactly length bytes (length - 1 random plaintext bytes and one pad byte).
std::string MakeCiphertext(std::size_t length) {
    std::mt19937 random(1);
    std::string plain(length - 1, '\0');
    for (char& c : plain)
        c = static_cast<char>(random() & 0xFF);
    TMemoryStream source(plain);
    TMemoryStream destination;
    MakeCipher().EncipherStream(source, destination);
    return destination.Data();
}

void BM_DecipherStream(benchmark::State& state) {
    const auto length = static_cast<std::size_t>(state.range(0));
    const TBlowfishCipher cipher = MakeCipher();
    TMemoryStream source(MakeCiphertext(length));
    TMemoryStream destination;
    for (auto _ : state) {
        source.Seek(0);
        destination.Clear();
        cipher.DecipherStream(source, destination);
        benchmark::DoNotOptimize(destination.Data().data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(length));
}
BENCHMARK(BM_DecipherStream)->Arg(64 << 10)->Arg(1 << 20);

// OpenSSL takes a block's halves most significant byte first, so its plaintext differs from
// ours; the work per block is the same.
void BM_OpenSSL_BF_ECB_Decrypt(benchmark::State& state) {
    const auto length = static_cast<std::size_t>(state.range(0));
    const std::string ciphertext = MakeCiphertext(length);
    BF_KEY key;
    BF_set_key(&key, static_cast<int>(ArticleKey.size()),
               reinterpret_cast<const unsigned char*>(ArticleKey.data()));
    std::vector<unsigned char> plain(length);
    const auto* in = reinterpret_cast<const unsigned char*>(ciphertext.data());
    for (auto _ : state) {
        for (std::size_t i = 0; i < length; i += 8)
            BF_ecb_encrypt(in + i, plain.data() + i, &key, BF_DECRYPT);
        benchmark::DoNotOptimize(plain.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(length));
}
BENCHMARK(BM_OpenSSL_BF_ECB_Decrypt)->Arg(64 << 10)->Arg(1 << 20);

// The article store's case: a fresh cipher with the same key for every article.
void BM_KeySetup(benchmark::State& state) {
    for (auto _ : state) {
        TBlowfishCipher cipher(ArticleKey.data(), static_cast<int>(ArticleKey.size()));
        benchmark::DoNotOptimize(&cipher);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_KeySetup);

// Two keys in turn, so that every construction runs the whole schedule (521 encipherments).
void BM_KeySetupNewKey(benchmark::State& state) {
    const std::string keys[2] = {ArticleKey, ArticleKey + "!"};
    std::size_t turn = 0;
    for (auto _ : state) {
        const std::string& key = keys[turn ^= 1];
        TBlowfishCipher cipher(key.data(), static_cast<int>(key.size()));
        benchmark::DoNotOptimize(&cipher);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_KeySetupNewKey);

void BM_OpenSSL_BF_set_key(benchmark::State& state) {
    for (auto _ : state) {
        BF_KEY key;
        BF_set_key(&key, static_cast<int>(ArticleKey.size()),
                   reinterpret_cast<const unsigned char*>(ArticleKey.data()));
        benchmark::DoNotOptimize(&key);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_OpenSSL_BF_set_key);

} // namespace

BENCHMARK_MAIN();
