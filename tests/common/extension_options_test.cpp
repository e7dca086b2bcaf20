// The settings schema's portable side: the field table's two orders, field
// access by table entry, and the StatusWnd text both ways.
#include "common/extension_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace va {
namespace {

TEST(OptionFields, TableFollowsTheRecordAndSaveOrderSwapsOnlyTheFirstTwo) {
  for (int i = 0; i < kOptionFieldCount; ++i) EXPECT_EQ(kOptionFields[i].field, static_cast<OptionField>(i));
  EXPECT_STREQ(kOptionFields[kOptChangeTrayMenu].name, "ChangeTrayMenu");
  EXPECT_STREQ(kOptionFields[kOptDefaultFileManagerAction].name, "DefaultFileManagerAction");
  EXPECT_EQ(kOptionSaveOrder[0], kOptChangeSystemBtn);
  EXPECT_EQ(kOptionSaveOrder[1], kOptChangeTrayMenu);
  std::set<int> seen;
  for (int i = 0; i < kOptionFieldCount; ++i) {
    seen.insert(kOptionSaveOrder[i]);
    if (i >= 2) EXPECT_EQ(kOptionSaveOrder[i], static_cast<OptionField>(i));
  }
  EXPECT_EQ(seen.size(), static_cast<size_t>(kOptionFieldCount));
}

TEST(OptionFields, KindsMatchTheRecord) {
  int texts = 0, numbers = 0;
  for (const OptionFieldInfo& info : kOptionFields) {
    if (info.kind == OptionKind::Text) ++texts;
    if (info.kind == OptionKind::Number) ++numbers;
  }
  EXPECT_EQ(texts, 2);    // TrayIcon, ToolBarBitmap
  EXPECT_EQ(numbers, 2);  // IniTab, DefaultFileManagerAction
  EXPECT_EQ(kOptionFields[kOptIniTab].kind, OptionKind::Number);
  EXPECT_EQ(kOptionFields[kOptToolBarBitmap].kind, OptionKind::Text);
}

TEST(OptionFields, AccessByEntryReachesEachFieldAndFlagsKeepTheLowByte) {
  ExtensionOptions o;
  for (const OptionFieldInfo& info : kOptionFields) {
    if (info.kind == OptionKind::Text) *OptionText(&o, info.field) = info.name;
    else SetOptionNumber(&o, info.field, 0x12345601u + info.field);
  }
  EXPECT_EQ(o.TrayIcon, "TrayIcon");
  EXPECT_EQ(o.ToolBarBitmap, "ToolBarBitmap");
  EXPECT_EQ(o.ChangeTrayMenu, 0x01);
  EXPECT_EQ(o.ForceCreation, 0x01 + kOptForceCreation);
  EXPECT_EQ(o.IniTab, 0x12345601u + kOptIniTab);
  EXPECT_EQ(o.DefaultFileManagerAction, 0x12345601u + kOptDefaultFileManagerAction);
  EXPECT_EQ(OptionNumber(o, kOptIniTab), o.IniTab);
  EXPECT_EQ(OptionNumber(o, kOptAskExit), o.AskExit);
}

TEST(OptionFields, DiffersComparesOnlyTheOneField) {
  ExtensionOptions a, b;
  b.TrayIcon = "x.ico";
  b.IniTab = 2;
  for (const OptionFieldInfo& info : kOptionFields) {
    bool expected = info.field == kOptTrayIcon || info.field == kOptIniTab;
    EXPECT_EQ(OptionDiffers(a, b, info.field), expected) << info.name;
  }
}

TEST(StatusWndText, WritesFourDecimalNumbersWithoutBlanks) {
  StatusWindowPlace place{100, 200, 1, 0};
  EXPECT_EQ(FormatStatusWnd(place), "100,200,1,0");
  EXPECT_EQ(FormatStatusWnd({-5, 2147483647, 0, -1}), "-5,2147483647,0,-1");
}

TEST(StatusWndText, ReadsPartsAndMissingPartsGiveZero) {
  StatusWindowPlace p = ParseStatusWnd("10,20");
  EXPECT_EQ(p.left, 10);
  EXPECT_EQ(p.top, 20);
  EXPECT_EQ(p.shown, 0);
  EXPECT_EQ(p.docked, 0);
  p = ParseStatusWnd("100,200,1,1");
  EXPECT_EQ(p.shown, 1);
  EXPECT_EQ(p.docked, 1);
  p = ParseStatusWnd("");
  EXPECT_EQ(p.left, 0);
  EXPECT_EQ(p.docked, 0);
}

TEST(StatusWndText, RoundsNumbersAndTreatsJunkAsZero) {
  StatusWindowPlace p = ParseStatusWnd("10.6, -3.5,abc,7x");
  EXPECT_EQ(p.left, 11);
  EXPECT_EQ(p.top, -4);
  EXPECT_EQ(p.shown, 0);
  EXPECT_EQ(p.docked, 7);
  p = ParseStatusWnd("1e300,-1e300,257,4,99");
  EXPECT_EQ(p.left, INT32_MAX);
  EXPECT_EQ(p.top, INT32_MIN);
  EXPECT_EQ(p.shown, 1);  // one byte in memory
  EXPECT_EQ(p.docked, 4);
  EXPECT_EQ(ParseStatusWnd("nan,inf").left, 0);
}

TEST(StatusWndText, RoundTrips) {
  for (StatusWindowPlace place : {StatusWindowPlace{0, 0, 0, 0}, StatusWindowPlace{-32000, 32000, 1, 1},
                                  StatusWindowPlace{INT32_MIN, INT32_MAX, 1, 0}}) {
    StatusWindowPlace back = ParseStatusWnd(FormatStatusWnd(place));
    EXPECT_EQ(back.left, place.left);
    EXPECT_EQ(back.top, place.top);
    EXPECT_EQ(back.shown, place.shown);
    EXPECT_EQ(back.docked, place.docked);
  }
}

}  // namespace
}  // namespace va
