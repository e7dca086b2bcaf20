// Tests of the embedded images, the icon-file directory reader and the status
// icon's pixel rules.
#include "extension/hostui/icon_images.h"

#include <gtest/gtest.h>

#include <vector>

namespace va {
namespace {

TEST(EmbeddedImages, StatusIconIsA256ColourIconOf2216Bytes) {
  IconFileImage image;
  ASSERT_TRUE(ReadFirstIconImage(StatusIconFile(), &image));
  EXPECT_EQ(image.width, 32);
  EXPECT_EQ(image.height, 32);
  EXPECT_EQ(image.size, 2216u);
  const uint8_t* header = StatusIconFile().data() + image.offset;
  EXPECT_EQ(header[0], 40);   // BITMAPINFOHEADER
  EXPECT_EQ(header[14], 8);   // bits per pixel
}

TEST(EmbeddedImages, DragCursorIsMonochromeWithHotSpotAtItsCentre) {
  IconFileImage image;
  ASSERT_TRUE(ReadFirstIconImage(DragCursorFile(), &image));
  EXPECT_EQ(image.size, 304u);
  EXPECT_EQ(image.hotspotX, 15);
  EXPECT_EQ(image.hotspotY, 15);
  EXPECT_EQ(DragCursorFile()[image.offset + 14], 1);
}

TEST(IconFileReader, RefusesTruncatedAndForeignFiles) {
  std::span<const uint8_t> good = StatusIconFile();
  IconFileImage image;
  EXPECT_FALSE(ReadFirstIconImage(good.first(21), &image));
  EXPECT_FALSE(ReadFirstIconImage(good.first(good.size() - 1), &image));  // data runs past the end
  std::vector<uint8_t> bytes(good.begin(), good.end());
  bytes[2] = 3;  // neither icon nor cursor
  EXPECT_FALSE(ReadFirstIconImage(bytes, &image));
  bytes[2] = 1;
  bytes[4] = 0;  // no entry
  EXPECT_FALSE(ReadFirstIconImage(bytes, &image));
  bytes[4] = 1;
  bytes[6 + 12] = 0xFF;  // offset far beyond the file
  bytes[6 + 15] = 0x7F;
  EXPECT_FALSE(ReadFirstIconImage(bytes, &image));
}

TEST(StatusIconPixels, AlphaChannelIsDetectedByAnyNonZeroAlphaByte) {
  std::vector<uint32_t> plain(64, 0x00FFFFFFu);
  EXPECT_FALSE(PixelsHaveAlpha(plain));
  plain[63] = 0x01000000u;
  EXPECT_TRUE(PixelsHaveAlpha(plain));
}

TEST(StatusIconPixels, OpaqueMaskPixelsGetFullAlphaAndOthersKeepTheirs) {
  std::vector<uint32_t> colour = {0x00102030u, 0x80102030u, 0x00000000u, 0x40AABBCCu};
  std::vector<uint32_t> mask = {0x00000000u, 0x00FFFFFFu, 0xFF000000u, 0x00FFFFFFu};
  MakeMaskedPixelsOpaque(colour, mask);
  EXPECT_EQ(colour[0], 0xFF102030u);
  EXPECT_EQ(colour[1], 0x80102030u);
  EXPECT_EQ(colour[2], 0xFF000000u);  // only the low 24 bits of the mask count
  EXPECT_EQ(colour[3], 0x40AABBCCu);
}

}  // namespace
}  // namespace va
