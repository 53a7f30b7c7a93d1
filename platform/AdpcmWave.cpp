#include "AdpcmWave.h"

#include "common/RecordFile.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace quarto {

namespace {

std::int16_t S16(std::string_view b, std::size_t at) {
    return static_cast<std::int16_t>(GetLE16At(b, at));
}
std::int16_t Clamp16(int v) {
    return static_cast<std::int16_t>(std::clamp(v, -32768, 32767));
}

struct TFormat {
    unsigned Tag = 0;
    unsigned Channels = 0;
    std::uint32_t Rate = 0;
    unsigned BlockAlign = 0;
    std::vector<std::pair<int, int>> Coefficients; // Microsoft ADPCM's predictors
};

constexpr std::array<std::pair<int, int>, 7> StandardCoefficients = {
    {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}}};
constexpr int MsAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                  768, 614, 512, 409, 307, 230, 230, 230};

// One block of Microsoft ADPCM: its samples, interleaved, appended to out.
void DecodeMsBlock(std::string_view block, const TFormat& f, std::vector<std::int16_t>& out) {
    const unsigned ch = f.Channels;
    if (block.size() < 7 * ch)
        return;
    std::vector<std::int64_t> c1(ch), c2(ch), delta(ch), s1(ch), s2(ch);
    for (unsigned c = 0; c < ch; ++c) {
        const unsigned k = static_cast<unsigned char>(block[c]);
        const auto coef = k < f.Coefficients.size() ? f.Coefficients[k] : f.Coefficients[0];
        c1[c] = coef.first;
        c2[c] = coef.second;
        delta[c] = S16(block, ch + 2 * c);
        s1[c] = S16(block, 3 * ch + 2 * c);
        s2[c] = S16(block, 5 * ch + 2 * c);
    }
    for (unsigned c = 0; c < ch; ++c)
        out.push_back(static_cast<std::int16_t>(s2[c]));
    for (unsigned c = 0; c < ch; ++c)
        out.push_back(static_cast<std::int16_t>(s1[c]));
    unsigned c = 0;
    for (std::size_t at = 7 * ch; at < block.size(); ++at)
        for (const int shift : {4, 0}) {
            const int nibble = (static_cast<unsigned char>(block[at]) >> shift) & 0x0F;
            // In 64 bits: a damaged block's predictors and steps may be anything.
            const std::int64_t predicted = (s1[c] * c1[c] + s2[c] * c2[c]) / 256;
            const std::int64_t sample = std::clamp<std::int64_t>(
                predicted + (nibble >= 8 ? nibble - 16 : nibble) * delta[c], -32768, 32767);
            out.push_back(static_cast<std::int16_t>(sample));
            s2[c] = s1[c];
            s1[c] = sample;
            delta[c] = std::clamp<std::int64_t>(MsAdaptation[nibble] * delta[c] / 256, 16,
                                                std::numeric_limits<int>::max() / 768);
            c = (c + 1) % ch;
        }
}

constexpr int ImaSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int ImaIndexStep[8] = {-1, -1, -1, -1, 2, 4, 6, 8};

// One block of IMA ADPCM: its samples, interleaved, appended to out.
void DecodeImaBlock(std::string_view block, const TFormat& f, std::vector<std::int16_t>& out) {
    const unsigned ch = f.Channels;
    if (block.size() < 4 * ch)
        return;
    std::vector<int> predicted(ch), index(ch);
    for (unsigned c = 0; c < ch; ++c) {
        predicted[c] = S16(block, 4 * c);
        index[c] =
            std::clamp(static_cast<int>(static_cast<unsigned char>(block[4 * c + 2])), 0, 88);
        out.push_back(static_cast<std::int16_t>(predicted[c]));
    }
    // Then words of 4 bytes for each channel in turn, 8 samples each, low nibble first.
    const std::size_t groups = (block.size() - 4 * ch) / (4 * ch);
    std::vector<std::int16_t> group(8 * ch);
    for (std::size_t g = 0; g < groups; ++g) {
        for (unsigned c = 0; c < ch; ++c) {
            const std::size_t at = 4 * ch + (g * ch + c) * 4;
            for (int k = 0; k < 8; ++k) {
                const int nibble =
                    (static_cast<unsigned char>(block[at + k / 2]) >> (k % 2 ? 4 : 0)) & 0x0F;
                // (2 d + 1) step / 8: the exact form of the sum of step's parts that d's bits
                // name, as FFmpeg decodes it.
                const int step = ImaSteps[index[c]];
                const int diff = ((2 * (nibble & 7) + 1) * step) >> 3;
                predicted[c] = Clamp16(nibble & 8 ? predicted[c] - diff : predicted[c] + diff);
                index[c] = std::clamp(index[c] + ImaIndexStep[nibble & 7], 0, 88);
                group[static_cast<std::size_t>(k) * ch + c] =
                    static_cast<std::int16_t>(predicted[c]);
            }
        }
        out.insert(out.end(), group.begin(), group.end());
    }
}

} // namespace

std::optional<std::string> DecodeAdpcmWave(std::string_view wave) {
    if (wave.size() < 12 || wave.substr(0, 4) != "RIFF" || wave.substr(8, 4) != "WAVE")
        return std::nullopt;
    TFormat format;
    std::optional<std::uint32_t> factSamples;
    std::string_view data;
    for (std::uint64_t at = 12; at + 8 <= wave.size();) {
        const auto offset = static_cast<std::size_t>(at);
        const std::string_view code = wave.substr(offset, 4);
        const std::uint32_t size = GetLE32uAt(wave, offset + 4);
        const std::string_view payload = wave.substr(
            offset + 8,
            static_cast<std::size_t>(std::min<std::uint64_t>(size, wave.size() - offset - 8)));
        if (code == "fmt " && payload.size() >= 16) {
            format.Tag = GetLE16At(payload, 0);
            format.Channels = GetLE16At(payload, 2);
            format.Rate = GetLE32uAt(payload, 4);
            format.BlockAlign = GetLE16At(payload, 12);
            if (format.Tag == MsAdpcmFormat && payload.size() >= 22) {
                const unsigned count = std::min<unsigned>(GetLE16At(payload, 20), 256);
                for (unsigned k = 0; k < count && 22 + 4 * k + 4 <= payload.size(); ++k)
                    format.Coefficients.emplace_back(S16(payload, 22 + 4 * k),
                                                     S16(payload, 24 + 4 * k));
            }
        } else if (code == "fact" && payload.size() >= 4) {
            factSamples = GetLE32uAt(payload, 0);
        } else if (code == "data") {
            data = payload;
            break;
        }
        at += 8 + static_cast<std::uint64_t>(size) + (size & 1);
    }
    if ((format.Tag != MsAdpcmFormat && format.Tag != ImaAdpcmFormat) || format.Channels == 0 ||
        format.Channels > 8 || format.Rate == 0 || format.Rate > 384000 || data.empty())
        return std::nullopt;
    const unsigned header = (format.Tag == MsAdpcmFormat ? 7 : 4) * format.Channels;
    if (format.BlockAlign <= header)
        return std::nullopt;
    if (format.Coefficients.empty())
        format.Coefficients.assign(StandardCoefficients.begin(), StandardCoefficients.end());

    std::vector<std::int16_t> samples;
    for (std::size_t at = 0; at < data.size(); at += format.BlockAlign) {
        const std::string_view block = data.substr(at, format.BlockAlign);
        if (format.Tag == MsAdpcmFormat)
            DecodeMsBlock(block, format, samples);
        else
            DecodeImaBlock(block, format, samples);
    }
    std::size_t frames = samples.size() / format.Channels;
    if (factSamples && *factSamples < frames)
        frames = *factSamples;
    samples.resize(frames * format.Channels);

    const auto bytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    AppendLE32(out, 36 + bytes);
    out += "WAVEfmt ";
    AppendLE32(out, 16);
    AppendLE16(out, 1);
    AppendLE16(out, format.Channels);
    AppendLE32(out, format.Rate);
    AppendLE32(out, format.Rate * format.Channels * 2);
    AppendLE16(out, format.Channels * 2);
    AppendLE16(out, 16);
    out += "data";
    AppendLE32(out, bytes);
    out.reserve(out.size() + bytes);
    for (const std::int16_t s : samples)
        AppendLE16(out, static_cast<std::uint16_t>(s));
    return out;
}

} // namespace quarto
