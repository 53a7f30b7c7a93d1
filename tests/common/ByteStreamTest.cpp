#include "common/ByteStream.h"

#include "EditionFixture.h"
#include "common/FileSystem.h"
#include <gtest/gtest.h>

using namespace quarto;

TEST(ByteStream, MemoryReadsReportWhatTheyDeliverAndWritesGrow) {
    TMemoryStream s("abcdef");
    char buffer[8];
    s.Seek(4);
    EXPECT_EQ(s.Read(buffer, 8), 2u);
    EXPECT_EQ(s.Read(buffer, 8), 0u);
    s.Seek(5);
    s.Write("XYZ", 3);
    EXPECT_EQ(s.Data(), "abcdeXYZ");
    EXPECT_EQ(s.Position(), 8);
    EXPECT_THROW(s.Seek(9), EStreamError);
    EXPECT_THROW(s.Seek(-1), EStreamError);
}

TEST(ByteStream, FileStreamWritesAndReadsBack) {
    const std::string path = test::ScratchPath("stream-test.bin");
    {
        TFileStream out(path, TFileStream::TMode::Create);
        out.Write("hello", 5);
        EXPECT_EQ(out.Size(), 5);
    }
    {
        TFileStream in(path, TFileStream::TMode::Read);
        EXPECT_EQ(in.Size(), 5);
        in.Seek(1);
        char buffer[8] = {};
        EXPECT_EQ(in.Read(buffer, 8), 4u);
        EXPECT_STREQ(buffer, "ello");
    }
    FileSystem().Remove(path);
    EXPECT_THROW(TFileStream(path, TFileStream::TMode::Read), EStreamError);
}
