#include "common/RecordFile.h"

#include "EditionFixture.h"
#include "common/BmpFile.h"

#include <gtest/gtest.h>

using namespace quarto;

TEST(RecordFile, LittleEndianIntegers) {
    std::string bytes;
    AppendLE32(bytes, 0x12345678u);
    AppendLE32(bytes, static_cast<std::uint32_t>(-2));
    AppendLE16(bytes, 0xBEEF);
    EXPECT_EQ(bytes.substr(0, 4), "\x78\x56\x34\x12");
    EXPECT_EQ(GetLE32(bytes.data() + 4), -2);
    EXPECT_EQ(GetLE16(bytes.data() + 8), 0xBEEF);
}

TEST(RecordFile, CountIsSizeDivRecordSizeAndPartialRecordIsNotRead) {
    const TRecordFile file(std::string(4 * 3 + 2, 'x'), 4);
    EXPECT_EQ(file.Count(), 3u);
    EXPECT_EQ(file.Record(2).size(), 4u);
    EXPECT_THROW(file.Record(3), std::out_of_range);
}

TEST(RecordFile, FilesRoundTripAndMissingFilesAreNamed) {
    const std::string path = test::ScratchPath("record-test.bin");
    WriteWholeFile(path, std::string("a\0b", 3));
    EXPECT_EQ(ReadWholeFile(path), std::string("a\0b", 3));
    FileSystem().Remove(path);
    try {
        ReadWholeFile(path);
        FAIL() << "no error for a missing file";
    } catch (const std::exception& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
}

TEST(BmpFile, HeaderAndPaddedBottomUpRows) {
    TRgbPicture picture(3, 2);
    picture.Set(0, 0, 255, 0, 0); // top left red
    picture.Set(2, 1, 0, 0, 255); // bottom right blue
    const std::string bmp = EncodeBmp24(picture);
    const std::size_t row = 12; // 9 bytes padded to 12
    ASSERT_EQ(bmp.size(), 54 + 2 * row);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(GetLE32(bmp.data() + 2), static_cast<std::int32_t>(bmp.size()));
    EXPECT_EQ(GetLE32(bmp.data() + 18), 3);
    EXPECT_EQ(GetLE32(bmp.data() + 22), 2);
    EXPECT_EQ(GetLE16(bmp.data() + 28), 24);
    // First stored row is the bottom one: its last pixel is blue (B, G, R order).
    EXPECT_EQ(bmp.substr(54 + 6, 3), std::string("\xFF\x00\x00", 3));
    // Second stored row is the top one: its first pixel is red.
    EXPECT_EQ(bmp.substr(54 + row, 3), std::string("\x00\x00\xFF", 3));
}
