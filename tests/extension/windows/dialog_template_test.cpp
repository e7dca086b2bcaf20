// The dialog template reader on plain and extended templates, and on broken ones.
#include "extension/windows/dialog_template.h"

#include <gtest/gtest.h>

#include <vector>

namespace va {
namespace {

// Writes template bytes the way the resource compiler lays them out.
class Bytes {
 public:
  Bytes& W(uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
  }
  Bytes& D(uint32_t v) { return W(static_cast<uint16_t>(v)).W(static_cast<uint16_t>(v >> 16)); }
  Bytes& B(uint8_t v) { return b.push_back(v), *this; }
  Bytes& S(const char* text) {
    for (; *text; ++text) W(static_cast<uint8_t>(*text));
    return W(0);
  }
  Bytes& Align() {
    while (b.size() % 4) b.push_back(0);
    return *this;
  }
  std::vector<uint8_t> b;
};

constexpr uint32_t kStyle = 0x80C800C0u;  // popup, caption, system menu, set font, modal frame

std::vector<uint8_t> PlainTemplate() {
  Bytes t;
  t.D(kStyle).D(0x80).W(2).W(1).W(2).W(100).W(50);  // style, ex style, 2 items, x y cx cy
  t.W(0).W(0xFFFF).W(0x8002).S("Title").W(8).S("Tahoma");  // no menu, class ordinal, title, font
  t.Align().D(0x50000000).D(0).W(5).W(6).W(40).W(10).W(1041).W(0xFFFF).W(0x0082).S("Label").W(0);
  t.Align().D(0x50010000).D(0x200).W(5).W(20).W(40).W(12).W(1124).S("MyClass").W(0xFFFF).W(7).W(4).W(0xAAAA).W(0xBBBB);
  return t.b;
}

std::vector<uint8_t> ExtendedTemplate() {
  Bytes t;
  t.W(1).W(0xFFFF).D(0).D(0x80).D(kStyle).W(1).W(3).W(4).W(120).W(60);
  t.W(0xFFFF).W(77).W(0).S("Status window").W(9).W(700).B(1).B(0).S("Verdana");
  t.Align().D(0).D(0x4).D(0x50000000).W(1).W(2).W(3).W(4).D(70000).W(0xFFFF).W(0x0080).S("OK").W(0);
  return t.b;
}

// One template of each format, with every kind of name: what the system's dialog
// manager would read.
TEST(DialogTemplateReader, ReadsBothFormatsFieldByField) {
  const auto plainBytes = PlainTemplate();
  DialogTemplate t;
  ASSERT_TRUE(ReadDialogTemplate(plainBytes.data(), plainBytes.size(), t));
  EXPECT_FALSE(t.extended);
  EXPECT_EQ(t.style, kStyle);
  EXPECT_EQ(t.exStyle, 0x80u);
  EXPECT_EQ(t.cx, 100);
  EXPECT_EQ(t.menu.kind, TemplateName::Kind::None);
  EXPECT_EQ(t.windowClass.ordinal, 0x8002);
  EXPECT_EQ(t.title, u"Title");
  EXPECT_EQ(t.pointSize, 8);
  EXPECT_EQ(t.faceName, u"Tahoma");
  ASSERT_EQ(t.items.size(), 2u);
  EXPECT_EQ(t.items[0].id, 1041u);
  EXPECT_EQ(t.items[0].windowClass.ordinal, 0x82);
  EXPECT_EQ(t.items[0].text.text, u"Label");
  EXPECT_EQ(t.items[1].exStyle, 0x200u);
  EXPECT_EQ(t.items[1].y, 20);
  EXPECT_EQ(t.items[1].windowClass.text, u"MyClass");
  EXPECT_EQ(t.items[1].text.ordinal, 7);
  EXPECT_EQ(t.items[1].creationDataLength, 4);

  const auto extendedBytes = ExtendedTemplate();
  ASSERT_TRUE(ReadDialogTemplate(extendedBytes.data(), extendedBytes.size(), t));
  EXPECT_TRUE(t.extended);
  EXPECT_EQ(t.style, kStyle);
  EXPECT_EQ(t.menu.ordinal, 77);
  EXPECT_EQ(t.windowClass.kind, TemplateName::Kind::None);
  EXPECT_EQ(t.title, u"Status window");
  EXPECT_EQ(t.pointSize, 9);
  EXPECT_EQ(t.weight, 700);
  EXPECT_EQ(t.italic, 1);
  EXPECT_EQ(t.faceName, u"Verdana");
  ASSERT_EQ(t.items.size(), 1u);
  EXPECT_EQ(t.items[0].exStyle, 4u);
  EXPECT_EQ(t.items[0].style, 0x50000000u);
  EXPECT_EQ(t.items[0].id, 70000u) << "extended items have 32-bit ids";
  EXPECT_EQ(t.items[0].text.text, u"OK");

  Bytes fontless;  // without DS_SETFONT there are no font fields
  fontless.D(0x80C80000u).D(0).W(0).W(0).W(0).W(10).W(10).W(0).W(0).S("x");
  ASSERT_TRUE(ReadDialogTemplate(fontless.b.data(), fontless.b.size(), t));
  EXPECT_FALSE(t.hasFont);
}

// Every cut of a valid template, too many items announced, a text without its
// terminator and creation data beyond the end are refused.
TEST(DialogTemplateReader, BrokenTemplatesAreRefused) {
  DialogTemplate t;
  for (const auto& full : {PlainTemplate(), ExtendedTemplate()})
    for (size_t size = 0; size < full.size(); ++size)
      EXPECT_FALSE(ReadDialogTemplate(full.data(), size, t)) << "cut at " << size;
  EXPECT_FALSE(ReadDialogTemplate(nullptr, 100, t));
  auto bytes = PlainTemplate();
  bytes[8] = 3;  // three items announced, two present
  EXPECT_FALSE(ReadDialogTemplate(bytes.data(), bytes.size(), t));
  bytes = PlainTemplate();
  bytes[bytes.size() - 6] = 0xF0;  // creation data length 0xF0 with 4 bytes present
  EXPECT_FALSE(ReadDialogTemplate(bytes.data(), bytes.size(), t));
  Bytes unterminated;
  unterminated.D(kStyle).D(0).W(0).W(0).W(0).W(10).W(10).W(0).W(0).S("Title").W(8).W('T').W('a');
  EXPECT_FALSE(ReadDialogTemplate(unterminated.b.data(), unterminated.b.size(), t));
}

}  // namespace
}  // namespace va
