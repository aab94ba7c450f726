// ProgressRecordTest.cpp: the record's 154-byte image: its exact bytes, and
// how images of other lengths fill the record.
#include "core/lang/ByteArray.h"
#include "game/progress/ProgressRecord.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <vector>

namespace {

std::vector<uint8_t> imageOf(const ProgressRecord& record)
{
    lang::ByteArray image;
    record.writeImage(image);
    return std::vector<uint8_t>(image.data(), image.data() + image.length());
}

TEST(ProgressRecordTest, AFreshRecordsImageIsTheNewGameInLittleEndianBytes)
{
    ProgressRecord record;
    record.reserved = 77; // never part of the image
    std::vector<uint8_t> expected = {0x41, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0};
    expected.insert(expected.end(), 110, 0x00);
    expected.insert(expected.end(), 28, 0xFF);
    ASSERT_EQ(154u, expected.size());
    EXPECT_EQ(expected, imageOf(record));
}

TEST(ProgressRecordTest, ItemEntriesInterleaveAnOwnedByteWithAnUnalignedValue)
{
    ProgressRecord record;
    record.currentRoom = 0x01020304;
    record.itemOwned[0] = 1;
    record.itemValue[0] = -2;
    record.itemOwned[21] = 1;
    record.itemValue[21] = 0x0A0B0C0D;
    record.hint[6] = 300;
    const std::vector<uint8_t> image = imageOf(record);
    EXPECT_EQ((std::vector<uint8_t>{4, 3, 2, 1}), std::vector<uint8_t>(image.begin(), image.begin() + 4));
    EXPECT_EQ((std::vector<uint8_t>{1, 0xFE, 0xFF, 0xFF, 0xFF}), std::vector<uint8_t>(image.begin() + 16, image.begin() + 21));
    EXPECT_EQ((std::vector<uint8_t>{1, 0x0D, 0x0C, 0x0B, 0x0A}),
              std::vector<uint8_t>(image.begin() + 121, image.begin() + 126));
    EXPECT_EQ((std::vector<uint8_t>{0x2C, 1, 0, 0}), std::vector<uint8_t>(image.begin() + 150, image.end()));

    ProgressRecord copy;
    ASSERT_TRUE(copy.readImage(image.data(), int(image.size())));
    EXPECT_EQ(imageOf(record), imageOf(copy));
}

TEST(ProgressRecordTest, ShortImagesFillTheRecordUpToTheirEnd)
{
    // Every image byte 0x11 shows which bytes an image of each length reaches.
    const std::vector<uint8_t> ones(200, 0x11);
    struct Case {
        int length;
        bool read;
    };
    for (const Case c : {Case{0, false}, Case{1, false}, Case{2, true}, Case{100, true}, Case{154, true},
                         Case{200, true}}) {
        ProgressRecord record;
        const std::vector<uint8_t> before = imageOf(record);
        EXPECT_EQ(c.read, record.readImage(ones.data(), c.length)) << c.length;
        const std::vector<uint8_t> after = imageOf(record);
        const int filled = c.read ? std::min(c.length, 154) : 0;
        for (int i = 0; i < 154; ++i)
            EXPECT_EQ(i < filled ? 0x11 : before[size_t(i)], after[size_t(i)]) << c.length << " byte " << i;
    }
    // A 100-byte image: item 16's owned byte and the three low bytes of its
    // value; the value's upper byte keeps the reset value.
    ProgressRecord record;
    record.itemValue[16] = -1;
    record.readImage(ones.data(), 100);
    EXPECT_EQ(0x11, record.itemOwned[16]);
    EXPECT_EQ(int32_t(0xFF111111u), record.itemValue[16]);
    EXPECT_EQ(0, record.itemOwned[17]);
    EXPECT_EQ(-1, record.hint[0]);
}

} // namespace
