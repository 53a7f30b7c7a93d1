// Makes the seed corpora of the fuzz targets with the system's own writers: a small edition
// written by make-edition, its index, an illustration set, a music list and supplement lists,
// descriptors, pictures and ciphertexts, each packed the way its target cuts its input.
//
//   fuzz-seeds OUT     writes OUT/<target>/<seed> for every target
#include "fuzzer_common.h"

#include "common/BmpFile.h"
#include "common/Cp1251.h"
#include "common/JpegCodec.h"
#include "reader/cipher/BlockCiphers.h"
#include "reader/core/ArticleStore.h"
#include "reader/core/PageComposer.h"
#include "reader/media/SupplementLists.h"
#include "reader/skin/SkinData.h"
#include "setup/DiscDescriptor.h"
#include "tools/EditionWriter.h"
#include "tools/MusicWriter.h"
#include "tools/PictureWriter.h"
#include "tools/SupplementWriter.h"

#include <cstdio>
#include <map>

#include <jpeglib.h>

using namespace quarto;
using namespace quarto::fuzz;

namespace {

using TSeeds = std::map<std::string, std::map<std::string, std::string>>; // target -> name -> bytes

const char* const Outline = "# Проба\n"
                            "0 intro.htm Введение\n"
                            "1 sky/stars.txt &nbsp;&nbsp;Звёзды и созвездия\n"
                            "2 kind=1 sky/moon.htm Луна\n"
                            "2 bare short.txt Коротко\n"
                            "1 - Без текста\n"
                            "0 kind=7 intro.htm Иной вид !@#$%\n"
                            "3 sky/stars.txt Скачок уровня\n";

const std::vector<std::pair<std::string, std::string>> Texts = {
    {"intro.htm", "<HTML><BODY><P>Полярная звезда видна <B>всю ночь</B>.<BR>Небо ясное."
                  "</P></BODY></HTML>"},
    {"sky/stars.txt", "Звезда за звездой: небо\r\nполно звёзд, Вега и Денеб.\r\n"},
    {"sky/moon.htm", "<P>Луна &amp; звёзды: <A HREF=\"moon.jpg\">снимок</A>, "
                     "<A HREF=\"#top\">наверх</A>, <A HREF=\"comet.avi\">комета</A>.</P>"},
    {"short.txt", "ab"},
};

// An edition written by make-edition in memory: its files by name, and the outline's texts.
std::map<std::string, std::string> MakeSampleEdition(bool utf) {
    TMemoryScope memory;
    const std::string src = "/src";
    memory.Files.Put(src + "/edition.ini", std::string("[Main]\r\nTitle=Ночное небо\r\n"
                                                       "Title2=Путеводитель\r\nRegKey=Key\r\n"
                                                       "[Options]\r\nBR=1\r\nUTF=") +
                                               (utf ? "1" : "0") + "\r\n");
    memory.Files.Put(src + "/contents.txt", Outline);
    for (const auto& [name, text] : Texts)
        memory.Files.Put(src + "/texts/" + name, text);
    MakeEdition(src, BookFolder);
    std::map<std::string, std::string> files;
    for (const char* name :
         {Layout::Descriptor, Layout::ContentsFile, Layout::TextStoreFile, Layout::VocabularyFile,
          Layout::StartsFile, Layout::PostingsFile, Layout::PositionsFile})
        files[name] = memory.Files.Get(LayoutPath(BookFolder, name));
    std::vector<TContentsRec> list;
    LoadContents(BookFolder, list);
    files["body"] = ReadArticle(BookFolder, list, 0);
    files["body2"] = ReadArticle(BookFolder, list, 2);
    return files;
}

TDibPicture SamplePicture(int width, int height, bool grey) {
    TDibPicture picture = BlankPicture(width, height);
    if (grey) {
        picture.BitsPerPixel = 8;
        picture.Palette = GreyPalette();
        picture.Pixels.assign(static_cast<std::size_t>(width) * height, 0);
    }
    for (std::size_t i = 0; i < picture.Pixels.size(); ++i)
        picture.Pixels[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return picture;
}

void AddEditionSeeds(TSeeds& seeds) {
    for (const bool utf : {false, true}) {
        const auto files = MakeSampleEdition(utf);
        const std::string tag = utf ? "-utf" : "";
        seeds["contents"]["edition" + tag] = files.at(Layout::ContentsFile);
        seeds["text_store"]["edition" + tag] =
            JoinInput({files.at(Layout::ContentsFile), files.at(Layout::TextStoreFile)});
        std::vector<std::string> edition = {std::string(utf ? "#utf\n" : "") + Outline};
        for (const auto& text : Texts)
            edition.push_back(text.second);
        seeds["edition"]["outline" + tag] = JoinInput(edition);
        seeds["ini"]["descriptor" + tag] = files.at(Layout::Descriptor);
        const std::string index =
            JoinInput({files.at(Layout::VocabularyFile), files.at(Layout::StartsFile),
                       files.at(Layout::PostingsFile), files.at(Layout::PositionsFile)});
        const std::vector<std::pair<std::string, std::string>> queries = {
            {"word", "звезда"},   {"and", "небо И звёзд"},         {"or", "луна ИЛИ вега"},
            {"prefix", "звезд*"}, {"adjacent", "полярная звезда"}, {"stop", "the и"}};
        for (const auto& [name, query] : queries)
            seeds["search"][name + tag] = index + std::string(FileSeparator) + Utf8ToCp1251(query) +
                                          std::string(FileSeparator) + "8";
        const std::string words = Utf8ToCp1251("звезда небо");
        const std::string templateBytes =
            utf ? "<HTML><HEAD><META http-equiv=\"Content-Type\" content=\"text/html; "
                  "charset=utf-8\"><TITLE></TITLE>"
                : "<HTML><HEAD><META http-equiv=\"Content-Type\" content=\"text/html; "
                  "charset=windows-1251\"><TITLE></TITLE>";
        seeds["page"]["intro" + tag] =
            JoinInput({files.at("body"), words, templateBytes, "moon.jpg"});
        seeds["page"]["moon" + tag] =
            JoinInput({files.at("body2"), words, templateBytes, "../Pictures/a%20b.htm#x"});
        // The markup: whole pages around the bodies, with the search words.
        seeds["markup"]["intro" + tag] =
            JoinInput({ComposePage(templateBytes, "/seeds/Books/Key", files.at("body"), "text.bmp",
                                   ArticleTextColour),
                       words});
        seeds["markup"]["moon" + tag] =
            JoinInput({ComposePage(templateBytes, "/seeds/Books/Key", files.at("body2"), "text.bmp",
                                   ArticleTextColour),
                       words});
        // The export's XHTML: the article bodies as make-edition stored them.
        seeds["xhtml"]["intro" + tag] = files.at("body");
        seeds["xhtml"]["moon" + tag] = files.at("body2");
        seeds["descriptors"]["edition" + tag] =
            JoinInput({SkinDataText(BuiltinSkinData), "", files.at(Layout::Descriptor)});
    }
}

void AddSmallSeeds(TSeeds& seeds) {
    // Ini rules and integers.
    seeds["ini"]["integers"] = "[Main]\r\nX1=0x1F\r\nY1=$ff\r\nW1=-123\r\nH1=\"  77 \"\r\n"
                               "Tree_Color=9999999999\r\n[main]\r\nx1=5\r\n";
    seeds["ini"]["number"] = "0X7FFFFFFF";

    // Text lists and 1251 text.
    seeds["text"]["lines-1251"] = Utf8ToCp1251("Первая строка\r\nвторая\rтретья\nЁлка\r\n");
    seeds["text"]["utf8"] = "Ёж и ёлка\r\nUTF-8: \xC2\xA0\xE2\x80\x94 end\n";
    seeds["text"]["nul"] = std::string("line\0after", 10);

    // Descriptors.
    TDiscDescriptor disc;
    disc.SubVersion = 3;
    disc.RequiredMB = 120;
    disc.Editions = {{Utf8ToCp1251("Ночное небо"), Utf8ToCp1251("Путеводитель"), "NightSky"},
                     {"Second", "", "Key2"}};
    seeds["descriptors"]["disc"] =
        JoinInput({SkinDataText(BuiltinSkinData), DiscDescriptorText(disc), ""});

    // Illustrations.
    TPictureSet set;
    set.Headings = {Utf8ToCp1251("Звёзды"), Utf8ToCp1251("Планеты")};
    set.Entries = {{"1", Utf8ToCp1251("Вега@Яркая звезда"), "Vega.jpg"},
                   {"2", Utf8ToCp1251("Марс"), "mars.JPG"},
                   {"x", Utf8ToCp1251("Без раздела"), "none.jpg"}};
    set.FileLines = {"Vega.jpg", " mars.JPG ", "sub/none.jpg"};
    set.CellLines = {0, 1, 2, 7};
    set.Thumbnails = {EncodeJpeg(SamplePicture(8, 6, false), 50),
                      EncodeJpeg(SamplePicture(4, 4, true), 50), "short", ""};
    {
        TMemoryScope memory;
        WritePictureSet(set, BookFolder);
        std::vector<std::string> parts;
        for (const char* name : {Layout::PicTitlesFile, Layout::PicFilesFile, Layout::CellFilesFile,
                                 Layout::ThumbOffsetsFile, Layout::ThumbDataFile})
            parts.push_back(memory.Files.Get(PicDataPath(BookFolder, name)));
        seeds["pictures"]["catalogue"] = JoinInput(parts);
        parts.erase(parts.begin());
        seeds["pictures"]["empty-titles"] = JoinInput({"", parts[0], parts[1], parts[2], parts[3]});
    }

    // Music and supplements.
    TMusicSet music;
    const auto track = [&](std::uint8_t album, const std::string& albumTitle,
                           const std::string& title, const std::string& file) {
        TMusicEntry entry;
        entry.AlbumNumber = album;
        entry.AlbumTitle = albumTitle;
        entry.TrackTitle = title;
        entry.TrackFile = file;
        music.Records.push_back(entry);
    };
    track(1, Utf8ToCp1251("Времена года"), Utf8ToCp1251("Весна"), "spring");
    track(1, Utf8ToCp1251("Времена года"), Utf8ToCp1251("Лето"), "summer");
    track(2, "Nocturnes", "No. 1", "../escape");
    music.Records[2].TrackTitleLength = 250;
    music.Tail = "tail";
    {
        TMemoryScope memory;
        WriteSupplementList({Utf8ToCp1251("Вступление"), "intro.wav", Utf8ToCp1251("Глава"),
                             "sub\\ch1.mp3", "Lost"},
                            BookFolder, TSupplementKind::Audio);
        WriteSupplementList({Utf8ToCp1251("Комета"), "comet.avi", "Up", "../../x.avi"}, BookFolder,
                            TSupplementKind::Video);
        seeds["media"]["lists"] =
            JoinInput({EncodeMusicList(music),
                       memory.Files.Get(SupplementListPath(BookFolder, TSupplementKind::Audio)),
                       memory.Files.Get(SupplementListPath(BookFolder, TSupplementKind::Video))});
    }

    // Pictures.
    seeds["bmp"]["colour"] = EncodeBmp(SamplePicture(5, 3, false));
    seeds["bmp"]["grey"] = EncodeBmp(SamplePicture(3, 4, true));
    seeds["jpeg"]["colour"] = EncodeJpeg(SamplePicture(16, 9, false), 75);
    seeds["jpeg"]["grey"] = EncodeJpeg(SamplePicture(9, 16, true), 75);

    // Old pages for the XHTML conversion: implied ends, formatting across blocks, tables,
    // lists, references.
    seeds["xhtml"]["old-page"] =
        "<HTML><HEAD><TITLE>t</TITLE><SCRIPT>x<y</SCRIPT></HEAD><BODY BGCOLOR=#fff>"
        "<CENTER><FONT COLOR=red SIZE=+1><P>a<P>b</FONT></CENTER><UL><LI>one<LI>two<UL><LI>in"
        "</UL></UL><TABLE BORDER=1><TD WIDTH=50%>c<TR><TD COLSPAN=2>d</TABLE><DL><DT>t<DD>d"
        "</DL><A NAME=1>x</A><A HREF=\"#1\">&laquo;to&raquo;</A>&#150;&nbsp;&bogus; <IMG "
        "SRC=x.bmp ALT=\"A & B\"><PRE>a\r\n  b</PRE><!-- c --></BODY></HTML>";

    // A disc image's first blocks: the volume descriptor's signature only.
    seeds["disc_image"]["descriptor-only"] = std::string(16 * 2048, '\0') +
                                             "\x01"
                                             "CD001"
                                             "\x01" +
                                             std::string(2041, '\0');

    // Ciphertexts.
    const TBlowfishCipher store("Lanthorne", 9);
    seeds["cipher"]["text"] = Utf8ToCp1251("Полярная звезда\r\n\r\n");
    seeds["cipher"]["ciphertext"] = store.EncipherText("Twelve bytes");
    seeds["cipher"]["key"] = JoinInput({"0123456789abcdef", "some text of 8"});
}

// A JPEG file of the picture made with libjpeg's choices the reader's encoder does not make:
// progressive or not, restart markers every so many rows of blocks, and the chroma sampling
// (1: 4:4:4, 2: 4:2:0, and 4:2:2 with a horizontal factor only). Grey pictures have one
// component.
std::string LibJpeg(const TDibPicture& picture, bool progressive, int restartRows, int h, int v,
                    bool arithmetic = false) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    const bool grey = picture.BitsPerPixel == 8;
    info.image_width = static_cast<JDIMENSION>(picture.Width);
    info.image_height = static_cast<JDIMENSION>(picture.Height);
    info.input_components = grey ? 1 : 3;
    info.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 60, TRUE);
    if (!grey) {
        info.comp_info[0].h_samp_factor = h;
        info.comp_info[0].v_samp_factor = v;
    }
    info.restart_in_rows = restartRows;
    info.arith_code = arithmetic ? TRUE : FALSE;
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(picture.Width) * (grey ? 1 : 3));
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < picture.Width; ++x) {
            std::uint8_t rgb[3];
            picture.ColourAt(x, y, rgb);
            if (grey)
                row[static_cast<std::size_t>(x)] = rgb[0];
            else
                std::copy(rgb, rgb + 3, row.begin() + x * 3);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return bytes;
}

// BMP files in the layouts the reader reads: 24- and 8-bit, rows bottom-up (as we write them)
// and top-down (a negative height), widths whose rows need 1, 2 or 3 bytes of padding, an
// 8-bit palette shorter than 256 entries, and a larger information header.
void AddPictureSeeds(TSeeds& seeds) {
    for (const int width : {1, 2, 3, 6}) {
        seeds["bmp"]["colour-" + std::to_string(width)] = EncodeBmp(SamplePicture(width, 2, false));
        seeds["bmp"]["grey-" + std::to_string(width)] = EncodeBmp(SamplePicture(width, 3, true));
    }
    // Top-down: the height negated, the rows reversed.
    for (const bool grey : {false, true}) {
        const TDibPicture picture = SamplePicture(5, 3, grey);
        std::string bmp = EncodeBmp(picture);
        const std::size_t dataAt = GetLE32u(reinterpret_cast<const std::uint8_t*>(bmp.data()) + 10);
        const std::size_t row = (bmp.size() - dataAt) / 3;
        std::string rows;
        for (int r = 2; r >= 0; --r)
            rows += bmp.substr(dataAt + static_cast<std::size_t>(r) * row, row);
        bmp.replace(dataAt, rows.size(), rows);
        std::string height;
        AppendLE32(height, static_cast<std::uint32_t>(-3));
        bmp.replace(22, 4, height);
        seeds["bmp"][grey ? "top-down-grey" : "top-down-colour"] = bmp;
    }
    // An 8-bit picture whose palette has 4 entries (biClrUsed), the pixels naming them and
    // entries past them.
    {
        TDibPicture picture = SamplePicture(4, 2, true);
        for (std::size_t i = 0; i < picture.Pixels.size(); ++i)
            picture.Pixels[i] = static_cast<std::uint8_t>(i % 6);
        std::string bmp = EncodeBmp(picture);
        const std::size_t dataAt = GetLE32u(reinterpret_cast<const std::uint8_t*>(bmp.data()) + 10);
        const std::string pixels = bmp.substr(dataAt);
        std::string out = bmp.substr(0, 54) + bmp.substr(54, 16) + pixels;
        std::string word;
        AppendLE32(word, 4);
        out.replace(46, 4, word);
        word.clear();
        AppendLE32(word, static_cast<std::uint32_t>(54 + 16));
        out.replace(10, 4, word);
        word.clear();
        AppendLE32(word, static_cast<std::uint32_t>(out.size()));
        out.replace(2, 4, word);
        seeds["bmp"]["short-palette"] = out;
    }
    // A version 5 information header (124 bytes) in front of 24-bit pixels.
    {
        const std::string bmp = EncodeBmp(SamplePicture(3, 2, false));
        std::string out = bmp.substr(0, 54) + std::string(124 - 40, '\0') + bmp.substr(54);
        std::string word;
        AppendLE32(word, 124);
        out.replace(14, 4, word);
        word.clear();
        AppendLE32(word, static_cast<std::uint32_t>(14 + 124));
        out.replace(10, 4, word);
        word.clear();
        AppendLE32(word, static_cast<std::uint32_t>(out.size()));
        out.replace(2, 4, word);
        seeds["bmp"]["v5-header"] = out;
    }

    // JPEG: grey and colour, baseline and progressive, restart markers, 4:4:4, 4:2:2, 4:2:0,
    // arithmetic coding, sizes that are not whole blocks.
    const TDibPicture colour = SamplePicture(19, 13, false);
    const TDibPicture grey = SamplePicture(17, 9, true);
    seeds["jpeg"]["grey-progressive"] = LibJpeg(grey, true, 0, 1, 1);
    seeds["jpeg"]["grey-restart"] = LibJpeg(grey, false, 1, 1, 1);
    seeds["jpeg"]["444"] = LibJpeg(colour, false, 0, 1, 1);
    seeds["jpeg"]["422-restart"] = LibJpeg(colour, false, 1, 2, 1);
    seeds["jpeg"]["420-progressive"] = LibJpeg(colour, true, 0, 2, 2);
    seeds["jpeg"]["444-progressive-restart"] = LibJpeg(colour, true, 1, 1, 1);
    seeds["jpeg"]["420-arithmetic"] = LibJpeg(colour, false, 0, 2, 2, true);
    seeds["jpeg"]["tiny"] = EncodeJpeg(SamplePicture(1, 1, false), 90);
}

// Seeds of the new writers' inputs, the pictures of the BMP and JPEG targets in their several
// layouts, and the skin's background.
void AddSourceSeeds(TSeeds& seeds) {
    const TDibPicture colour = SamplePicture(7, 5, false); // odd width: padded BMP rows
    const TDibPicture grey = SamplePicture(3, 4, true);
    const std::string png = EncodePng(colour);
    seeds["png"]["colour"] = png;
    seeds["png"]["grey"] = EncodePng(grey);
    seeds["png"]["wide"] = EncodePng(SamplePicture(300, 2, false));

    seeds["picture_source"]["catalogue"] =
        JoinInput({"# Иллюстрации\n= Звёзды\n= Планеты\n1 vega.jpg Вега@Яркая звезда\n"
                   "2\tmars.png\tМарс\n9 big.png Без раздела\n1 VEGA.jpg Снова Вега\n",
                   EncodeJpeg(colour, 60), png, EncodePng(SamplePicture(200, 160, false))});
    seeds["picture_source"]["grey-jpeg"] =
        JoinInput({"= Один\n1 grey.jpeg Серая\n", EncodeJpeg(grey, 60)});

    seeds["supplement_source"]["both"] =
        JoinInput({"# FILE TITLE\nhymn.wav Гимн\nречь.mp3 Речь о звёздах\n",
                   "comet.avi Комета\nempty.avi\n", "RIFF....WAVE", "ID3", "RIFF....AVI ", ""});

    seeds["music_source"]["two-albums"] =
        JoinInput({"= 1 Вальсы\nWalz.mp3 Вальс цветов\n= 2 Марши\nmarch.mp3 Марш\n= 1 Снова\n"
                   "Walz.mp3 Ещё раз\n",
                   "ID3", "\xFF\xFB"});

    seeds["skin"]["builtin"] = JoinInput({SkinDataText(BuiltinSkinData), EncodeBmp(colour)});
    // A mask's colours: every command colour and one inert.
    TDibPicture mask = BlankPicture(4, 3);
    const std::uint8_t colours[][3] = {{255, 255, 0},   {0, 128, 128}, {128, 0, 0}, {255, 0, 255},
                                       {0, 0, 255},     {0, 255, 0},   {255, 0, 0}, {0, 128, 0},
                                       {255, 255, 255}, {1, 2, 3}};
    for (std::size_t i = 0; i < std::size(colours); ++i)
        std::copy(colours[i], colours[i] + 3, mask.Pixels.begin() + static_cast<long>(i * 3));
    seeds["skin"]["mask"] =
        JoinInput({"[Main]\r\nX1=1\r\n", EncodeBmp(mask), "Data.Inf\nskins/Text.bmp"});
    // A mount table as the system writes it, and QUARTO_DISCS values.
    seeds["mount_table"]["proc-mounts"] = "proc /proc proc rw,nosuid 0 0\n/dev/sr0 "
                                          "/media/user/\\320\\235\\320\\265\\320\\261\\320\\276"
                                          "\\040disc iso9660 ro,nosuid,nodev,relatime,uid=1000 0 "
                                          "0\n/dev/sdb1 /media/stick vfat rw 0 0\n"
                                          "/dev/sr1 /media/user/UDF udf ro 0 0\n";
    seeds["disc_list"]["folders"] = "/media/user/Диск 1:/home/user/Диски/небо.iso";
    seeds["skin"]["grey"] = JoinInput({"", EncodeBmp(grey)});
    // A PCM WAV file as a sound editor writes it, which goes to the players as it is.
    seeds["media_route"]["pcm16"] = std::string("RIFF\x28\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0"
                                                "\x22\x56\0\0\x44\xac\0\0\x02\0\x10\0"
                                                "data\x04\0\0\0\x10\0\xf0\xff",
                                                48);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT\n", argv[0]);
        return 2;
    }
    try {
        TSeeds seeds;
        AddEditionSeeds(seeds);
        AddSmallSeeds(seeds);
        AddSourceSeeds(seeds);
        AddPictureSeeds(seeds);
        for (const auto& [target, files] : seeds) {
            const std::string folder = JoinPath(argv[1], target);
            CreateFolders(folder);
            for (const auto& [name, bytes] : files)
                WriteWholeFile(JoinPath(folder, name), bytes);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", argv[0], e.what());
        return 2;
    }
    return 0;
}
