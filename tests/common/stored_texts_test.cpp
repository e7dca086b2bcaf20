// The stored short texts of both deliverables and their decoder.
#include "common/stored_texts.h"

#include <gtest/gtest.h>

#include <cstring>

namespace va {
namespace {

std::string Decode(StoredTextTable table, int number) {
  char buffer[128];
  EXPECT_TRUE(DecodeStoredText(table, number, buffer, sizeof buffer)) << "text " << number;
  return buffer;
}

TEST(StoredTexts, ExtensionCaptionAndProductLine) {
  EXPECT_EQ(Decode(ExtensionStoredTexts(), 2), "VA Extensions");
  EXPECT_EQ(Decode(ExtensionStoredTexts(), 1), "for Vexlo Aero V++");
}

TEST(StoredTexts, EveryPlaceShowsAShortText) {
  for (int n = 1; n <= 4; ++n) {
    std::string text = Decode(ExtensionStoredTexts(), n);
    EXPECT_FALSE(text.empty());
    EXPECT_LT(text.size(), 64u);
  }
  for (int n = 1; n <= 2; ++n) {
    char buffer[64];  // the wizard reads through 64-byte buffers
    EXPECT_TRUE(DecodeStoredText(WizardStoredTexts(), n, buffer, sizeof buffer));
    EXPECT_GT(std::strlen(buffer), 0u);
  }
}

TEST(StoredTexts, AreKeptScrambledInTheImage) {
  std::span<const unsigned char> caption = ExtensionStoredTexts()[1];
  std::string raw(caption.begin(), caption.end());
  EXPECT_EQ(raw.find("VA Extensions"), std::string::npos);
  EXPECT_EQ(caption.back(), kStoredTextKey);  // the end mark decodes to 0
}

TEST(StoredTexts, NumbersOutsideTheTableLeaveTheBufferAlone) {
  char buffer[16];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_FALSE(DecodeStoredText(ExtensionStoredTexts(), 0, buffer, sizeof buffer));
  EXPECT_FALSE(DecodeStoredText(ExtensionStoredTexts(), 5, buffer, sizeof buffer));
  EXPECT_FALSE(DecodeStoredText(WizardStoredTexts(), 3, buffer, sizeof buffer));
  EXPECT_FALSE(DecodeStoredText(WizardStoredTexts(), -1, buffer, sizeof buffer));
  EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, 'x'));
}

TEST(StoredTexts, ShortBufferFailsAndHoldsDecodedBytesWithoutEndMark) {
  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_FALSE(DecodeStoredText(ExtensionStoredTexts(), 2, buffer, 4));
  EXPECT_EQ(std::string(buffer, 4), "VA E");
  EXPECT_EQ(buffer[4], 'x');
}

TEST(StoredTexts, BufferOfExactlyTextPlusEndMarkSucceeds) {
  char buffer[14];  // "VA Extensions" is 13 characters
  EXPECT_TRUE(DecodeStoredText(ExtensionStoredTexts(), 2, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "VA Extensions");
  EXPECT_FALSE(DecodeStoredText(ExtensionStoredTexts(), 2, buffer, 13));
}

}  // namespace
}  // namespace va
