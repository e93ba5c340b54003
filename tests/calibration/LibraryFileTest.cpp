#include "calibration/LibraryFile.h"

#include <gtest/gtest.h>

namespace zr::calibration {
namespace {

TEST(LibraryFile, FieldsSitAtTheirOffsetsLittleEndian) {
    LibraryRecord r;
    r.setIndex(0x01020304);
    r.setNameBytes("NAME");
    r.setMethod(-2);
    r.setK1(-812);
    r.setK2(0x1234);
    r.setCommentBytes("c\r\n");
    const auto& b = r.bytes();
    EXPECT_EQ(b[0], 0x04);
    EXPECT_EQ(b[3], 0x01);
    EXPECT_EQ(b[4], 4);
    EXPECT_EQ(b[5], 'N');
    EXPECT_EQ(b[15], 0xFE);
    EXPECT_EQ(b[18], 0xFF);
    EXPECT_EQ(b[19], static_cast<std::uint8_t>(-812 & 0xFF));
    EXPECT_EQ(b[20], static_cast<std::uint8_t>((-812 >> 8) & 0xFF));
    EXPECT_EQ(b[21], 0x34);
    EXPECT_EQ(b[22], 0x12);
    EXPECT_EQ(b[23], 3);
    EXPECT_EQ(b[26], '\n');
    EXPECT_EQ(b[278], 0);
}

TEST(LibraryFile, TextsAreCutToTheirFieldsAndKeepTheBytesAfterThem) {
    LibraryRecord r;
    r.setNameBytes("ABCDEFGHIJKLMN");
    EXPECT_EQ(r.nameBytes(), QByteArray("ABCDEFGHIJ"));
    r.setNameBytes("XY");
    EXPECT_EQ(r.nameBytes(), QByteArray("XY"));
    EXPECT_EQ(r.bytes()[7], 'C'); // meaningless now, but kept
    r.setCommentBytes(QByteArray(300, 'z'));
    EXPECT_EQ(r.commentBytes().size(), 255);
    EXPECT_EQ(r.bytes()[23], 255);
}

TEST(LibraryFile, ParsingAndWritingAreExactInverses) {
    QByteArray file;
    for (int i = 0; i < 3 * 279; ++i) {
        file.append(static_cast<char>(i * 7));
    }
    const auto records = parseLibrary(file + "partial");
    ASSERT_EQ(records.size(), 3U);
    EXPECT_EQ(serializeLibrary(records), file);
    EXPECT_EQ(wholeRecords(file + "partial"), file);
    EXPECT_TRUE(parseLibrary(QByteArray(278, 'x')).empty());
    EXPECT_TRUE(serializeLibrary({}).isEmpty());
}

} // namespace
} // namespace zr::calibration
