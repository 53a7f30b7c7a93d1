// What the players say to the user about a file they cannot play, in Russian: the decoder the
// media framework lacks and the Debian package that brings it (from GStreamer's missing-plugin
// details), and the framework's usual error texts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quarto {

// What the file is to the user: a clip or a sound.
enum class TMediaUse { Clip, Sound };

// One element the framework lacks, from a missing-plugin installer detail
// ("gstreamer|1.0|<program>|<description>|decoder-<caps>"): the codec's name for the user and
// the package that brings an element for it ("" when the detail is not one).
struct TMissingElement {
    std::string Description;
    std::string Package;
    bool operator==(const TMissingElement&) const = default;
};
// codecName turns the caps after "decoder-" into the codec's name (GStreamer's own codec
// descriptions, "Cinepak Video"); when it gives "", the detail's description is used.
TMissingElement MissingElementOf(std::string_view detail,
                                 std::string (*codecName)(const std::string& caps) = nullptr);

// The Debian package that brings a decoder or demuxer for caps (a media type with fields,
// "video/x-cinepak, ..."); gstreamer1.0-libav, FFmpeg's decoders, for what the table lacks.
std::string PackageForCaps(std::string_view caps);

// "Для этого ролика нужен декодер «Cinepak Video»: установите пакет gstreamer1.0-libav." (several
// decoders and packages are named together); "" when missing is empty.
std::string MissingDecoderText(TMediaUse use, const std::vector<TMissingElement>& missing);

// The framework's error text in Russian: its usual texts from a table; anything else as
// "Ошибка воспроизведения: " followed by the text itself. "" stays "".
std::string MediaErrorText(std::string_view frameworkText);

} // namespace quarto
