// Media files written by the tests and benchmarks themselves: a PCM WAV tone, a silent MP3 and
// a Motion-JPEG AVI clip, the smallest files the media framework plays.
#pragma once

#include "common/BmpFile.h"
#include "common/JpegCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace quarto::test {

namespace media_detail {

inline void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
inline void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
// A RIFF chunk: its code, its size and its bytes, padded to an even size.
inline std::string Chunk(const char* code, const std::string& bytes) {
    std::string out(code, 4);
    Put32(out, static_cast<std::uint32_t>(bytes.size()));
    out += bytes;
    if (bytes.size() % 2)
        out += '\0';
    return out;
}
// A LIST (or RIFF) chunk of the given kind holding body.
inline std::string List(const char* code, const char* kind, const std::string& body) {
    return Chunk(code, std::string(kind, 4) + body);
}

} // namespace media_detail

// A mono 16-bit PCM WAV file: ms milliseconds of a 440 Hz tone at half loudness.
inline std::string ToneWav(int ms, int rate = 22050) {
    using namespace media_detail;
    const std::uint32_t samples = static_cast<std::uint32_t>(std::int64_t{rate} * ms / 1000);
    std::string format;
    Put16(format, 1); // PCM
    Put16(format, 1); // channels
    Put32(format, static_cast<std::uint32_t>(rate));
    Put32(format, static_cast<std::uint32_t>(rate) * 2); // bytes per second
    Put16(format, 2);                                    // bytes per sample
    Put16(format, 16);                                   // bits per sample
    std::string data;
    data.reserve(samples * 2);
    for (std::uint32_t i = 0; i < samples; ++i)
        Put16(data, static_cast<std::uint16_t>(static_cast<std::int16_t>(
                        16000 * std::sin(2 * 3.14159265358979 * 440 * i / rate))));
    return List("RIFF", "WAVE", Chunk("fmt ", format) + Chunk("data", data));
}

// An MP3 file of frames silent MPEG-1 Layer III frames (128 kbit/s, 44.1 kHz, mono: 417 bytes,
// 1152 samples each, about 26 ms): a frame header and side information and data all zero.
inline std::string SilentMp3(int frames) {
    std::string frame = "\xFF\xFB\x90\xC4";
    frame.resize(417, '\0');
    std::string out;
    for (int f = 0; f < frames; ++f)
        out += frame;
    return out;
}

// A Motion-JPEG AVI clip of frames pictures of width × height at fps frames a second, each
// picture a different colour, with its index (idx1).
inline std::string MjpegAvi(int width, int height, int frames, int fps = 10) {
    using namespace media_detail;
    std::vector<std::string> pictures;
    std::uint32_t largest = 0;
    for (int f = 0; f < frames; ++f) {
        TDibPicture picture = BlankPicture(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                std::uint8_t* p = &picture.Pixels[(static_cast<std::size_t>(y) * width + x) * 3];
                p[0] = static_cast<std::uint8_t>(60 * f);
                p[1] = static_cast<std::uint8_t>(x * 255 / width);
                p[2] = static_cast<std::uint8_t>(y * 255 / height);
            }
        pictures.push_back(EncodeJpeg(picture));
        largest = std::max(largest, static_cast<std::uint32_t>(pictures.back().size()));
    }
    const auto w = static_cast<std::uint32_t>(width);
    const auto h = static_cast<std::uint32_t>(height);
    const auto n = static_cast<std::uint32_t>(frames);

    std::string avih;
    Put32(avih, 1000000 / static_cast<std::uint32_t>(fps)); // microseconds per frame
    Put32(avih, largest * static_cast<std::uint32_t>(fps)); // bytes per second at most
    Put32(avih, 0);                                         // padding granularity
    Put32(avih, 0x10);                                      // AVIF_HASINDEX
    Put32(avih, n);
    Put32(avih, 0); // initial frames
    Put32(avih, 1); // streams
    Put32(avih, largest);
    Put32(avih, w);
    Put32(avih, h);
    avih += std::string(16, '\0');

    std::string strh = "vidsMJPG";
    Put32(strh, 0); // flags
    Put32(strh, 0); // priority, language
    Put32(strh, 0); // initial frames
    Put32(strh, 1); // scale
    Put32(strh, static_cast<std::uint32_t>(fps));
    Put32(strh, 0); // start
    Put32(strh, n);
    Put32(strh, largest);
    Put32(strh, 0xFFFFFFFF); // quality: the default
    Put32(strh, 0);          // sample size: varies
    Put16(strh, 0);
    Put16(strh, 0);
    Put16(strh, w);
    Put16(strh, h);

    std::string strf; // BITMAPINFOHEADER
    Put32(strf, 40);
    Put32(strf, w);
    Put32(strf, h);
    Put16(strf, 1);
    Put16(strf, 24);
    strf += "MJPG";
    Put32(strf, w * h * 3);
    strf += std::string(16, '\0');

    std::string movi;
    std::string index;
    for (const std::string& picture : pictures) {
        Put32(index, 0x63643030); // "00dc"
        Put32(index, 0x10);       // key frame
        Put32(index, static_cast<std::uint32_t>(4 + movi.size()));
        Put32(index, static_cast<std::uint32_t>(picture.size()));
        movi += Chunk("00dc", picture);
    }
    const std::string header =
        List("LIST", "hdrl",
             Chunk("avih", avih) + List("LIST", "strl", Chunk("strh", strh) + Chunk("strf", strf)));
    return List("RIFF", "AVI ", header + List("LIST", "movi", movi) + Chunk("idx1", index));
}

} // namespace quarto::test
