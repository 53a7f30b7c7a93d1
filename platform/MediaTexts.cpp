#include "MediaTexts.h"

#include "common/AsciiText.h"

#include <algorithm>
#include <utility>

namespace quarto {

namespace {

// Media types, by their start, and the package with an element for each (Debian 12). The
// decoders of FFmpeg (gstreamer1.0-libav) cover most of the period's codecs; the demuxers of
// ASF and MPEG program streams, MIDI and GSM come with the other sets.
constexpr std::pair<std::string_view, std::string_view> PackageTable[] = {
    {"video/x-ms-asf", "gstreamer1.0-plugins-ugly"},
    {"application/vnd.ms-sstr", "gstreamer1.0-plugins-bad"},
    {"audio/midi", "gstreamer1.0-plugins-bad"},
    {"audio/x-midi-event", "gstreamer1.0-plugins-bad"},
    {"audio/riff-midi", "gstreamer1.0-plugins-bad"},
    {"audio/x-gsm", "gstreamer1.0-plugins-bad"},
    {"audio/ms-gsm", "gstreamer1.0-plugins-bad"},
    {"video/mpeg, systemstream=(boolean)true", "gstreamer1.0-plugins-bad"},
    {"audio/mpeg", "gstreamer1.0-plugins-good"},
    {"video/x-msvideo", "gstreamer1.0-plugins-good"},
    {"audio/x-wav", "gstreamer1.0-plugins-good"},
    {"image/jpeg", "gstreamer1.0-plugins-good"},
    {"audio/x-raw", "gstreamer1.0-plugins-base"},
    {"video/x-raw", "gstreamer1.0-plugins-base"},
    {"application/ogg", "gstreamer1.0-plugins-base"},
    {"audio/x-vorbis", "gstreamer1.0-plugins-base"},
};

struct TText {
    std::string_view Original;
    std::string_view Russian;
};
// GStreamer's and Qt Multimedia's usual texts.
constexpr TText ErrorTable[] = {
    {"Could not determine type of stream.", "Не удаётся определить, что это за звук или видео."},
    {"Your GStreamer installation is missing a plug-in.",
     "Для этого файла не установлен нужный модуль GStreamer."},
    {"Internal data stream error.", "Файл не удаётся прочитать: ошибка в потоке данных."},
    {"Could not decode stream.", "Не удаётся декодировать файл."},
    {"Could not demultiplex stream.", "Не удаётся разобрать дорожки файла."},
    {"Stream contains no data.", "В файле нет данных."},
    {"This appears to be a text file.", "Это текстовый файл, а не звук или видео."},
    {"Resource not found.", "Файл не найден."},
    {"Could not open resource for reading.", "Файл не удаётся открыть для чтения."},
    {"Could not read from resource.", "Файл не удаётся прочитать."},
    {"No file name specified for reading.", "Не задан файл для воспроизведения."},
    {"The stream is of a different type than handled by this element.",
     "Формат файла не тот, что указан в нём."},
    {"Stream doesn't contain enough data.", "В файле слишком мало данных."},
    {"Could not open audio device for playback.", "Не удаётся открыть звуковое устройство."},
    {"Could not open audio device for playback. Device is being used by another application.",
     "Звуковое устройство занято другой программой."},
    {"Cannot play stream of type: <unknown>", "Не удаётся определить, что это за звук или видео."},
    {"Failed to allocate a buffer", "Недостаточно памяти для воспроизведения."},
};

} // namespace

std::string PackageForCaps(std::string_view caps) {
    for (const auto& [type, package] : PackageTable)
        if (caps.substr(0, type.size()) == type &&
            (caps.size() == type.size() || caps[type.size()] == ',' || caps[type.size()] == ' ' ||
             type.back() == ')'))
            return std::string(package);
    return "gstreamer1.0-libav";
}

TMissingElement MissingElementOf(std::string_view detail,
                                 std::string (*codecName)(const std::string& caps)) {
    std::vector<std::string_view> fields;
    for (std::size_t from = 0;;) {
        const std::size_t bar = detail.find('|', from);
        fields.push_back(detail.substr(from, bar == std::string_view::npos ? bar : bar - from));
        if (bar == std::string_view::npos)
            break;
        from = bar + 1;
    }
    if (fields.size() < 5 || fields[0] != "gstreamer")
        return {};
    TMissingElement element;
    element.Description = std::string(fields[3]);
    std::string_view what = fields[4];
    constexpr std::string_view kinds[] = {"decoder-", "encoder-", "element-", "urisource-"};
    for (std::string_view kind : kinds)
        if (what.substr(0, kind.size()) == kind) {
            what.remove_prefix(kind.size());
            if (kind == "decoder-" && codecName) {
                const std::string name = codecName(std::string(what));
                if (!name.empty())
                    element.Description = name;
            }
            // GStreamer names MIDI's synthesiser by its media type only.
            if (what.substr(0, 18) == "audio/x-midi-event")
                element.Description = "синтезатор MIDI (fluidsynth)";
            break;
        }
    element.Package = PackageForCaps(what);
    return element;
}

std::string MissingDecoderText(TMediaUse use, const std::vector<TMissingElement>& missing) {
    std::vector<std::string> names;
    std::vector<std::string> packages;
    for (const TMissingElement& element : missing) {
        if (!element.Description.empty() &&
            std::find(names.begin(), names.end(), element.Description) == names.end())
            names.push_back(element.Description);
        if (!element.Package.empty() &&
            std::find(packages.begin(), packages.end(), element.Package) == packages.end())
            packages.push_back(element.Package);
    }
    if (names.empty())
        return {};
    const auto joined = [](const std::vector<std::string>& items, std::string_view open,
                           std::string_view close) {
        std::string out;
        for (std::size_t k = 0; k < items.size(); ++k) {
            if (k > 0)
                out += k + 1 == items.size() ? " и " : ", ";
            out += std::string(open) + items[k] + std::string(close);
        }
        return out;
    };
    std::string text = use == TMediaUse::Clip ? "Для этого ролика " : "Для этого звука ";
    text += names.size() == 1 ? "нужен декодер " : "нужны декодеры ";
    text += joined(names, "«", "»");
    if (!packages.empty()) {
        text += packages.size() == 1 ? ": установите пакет " : ": установите пакеты ";
        text += joined(packages, "", "");
    }
    return text + ".";
}

std::string MediaErrorText(std::string_view frameworkText) {
    const std::string_view text = TrimmedBy(frameworkText, IsBlankOrControl);
    if (text.empty())
        return {};
    for (const TText& entry : ErrorTable)
        if (text == entry.Original)
            return std::string(entry.Russian);
    return "Ошибка воспроизведения: " + std::string(text);
}

} // namespace quarto
