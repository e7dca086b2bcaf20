// The host window integration's pure rules: where the title-bar button sits and
// how its glyph grows, and what each tray update mode does.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "extension/hostui/title_button.h"
#include "extension/hostui/tray_rules.h"

namespace va {
namespace {

TitleFrameInfo Frame(int caption, bool themed, bool tool, bool boxes) {
  TitleFrameInfo frame;
  frame.windowWidth = 800;
  frame.captionHeight = caption;
  frame.frameX = 4;
  frame.frameY = 4;
  frame.themed = themed;
  frame.toolWindow = tool;
  frame.hasMinOrMaxBox = boxes;
  return frame;
}

TEST(TitleButtonRules, BoxGlyphHitTestAndThemeState) {
  struct Row {
    const char* name;
    TitleFrameInfo frame;
    TitleButtonBox want;
  } rows[] = {
      {"classic, left of the min/max pair", Frame(19, false, false, true), {800 - 32 - 4 - 32, 6, 14, 14}},
      {"themed: wider, packed tighter", Frame(19, true, false, true), {800 - 36 - 4 - 34, 6, 16, 14}},
      {"tool window: next to close", Frame(19, false, true, true), {800 - 32 - 4, 6, 14, 14}},
      {"no min/max box: next to close", Frame(19, false, false, false), {800 - 32 - 4, 6, 14, 14}},
      {"tiny caption: four pixels", Frame(3, false, false, false), {800 - 12 - 4, 6, 4, 4}},
  };
  for (const Row& row : rows) {
    TitleButtonBox box = ComputeTitleButtonBox(row.frame);
    EXPECT_EQ(std::make_pair(box.x, box.y), std::make_pair(row.want.x, row.want.y)) << row.name;
    EXPECT_EQ(std::make_pair(box.width, box.height), std::make_pair(row.want.width, row.want.height)) << row.name;
  }
  // Glyph bar for growing buttons (rounding half to even), and one pixel further when pushed.
  struct Glyph {
    int height;
    PixelRect bar;
  } glyphs[] = {{6, {3, 4, 5, 5}}, {14, {7, 9, 10, 11}}, {20, {11, 14, 14, 16}}, {28, {16, 20, 22, 24}}};
  auto text = [](const PixelRect& r, int d) {
    return std::to_string(r.left + d) + "," + std::to_string(r.top + d) + "," + std::to_string(r.right + d) + "," +
           std::to_string(r.bottom + d);
  };
  for (const Glyph& g : glyphs)
    for (bool pushed : {false, true})
      EXPECT_EQ(text(ClassicGlyphBar({0, 0, g.height, g.height}, pushed), 0), text(g.bar, pushed ? 1 : 0))
          << "height " << g.height << (pushed ? " pushed" : "");
  // Hit test: inclusive bounds, one pixel of slack above and below.
  const TitleButtonBox box{100, 6, 14, 14};
  const struct {
    int x, y;
    bool inside;
  } hits[] = {{100, 5, true}, {114, 21, true}, {99, 10, false}, {115, 10, false}, {107, 4, false}, {107, 22, false}};
  for (const auto& h : hits) EXPECT_EQ(TitleButtonContains(box, h.x, h.y), h.inside) << h.x << "," << h.y;
}

// A plan as letters: D destroy composed, L reload base, S select icon, A add,
// M modify, R remove; then the TrayIconShown value afterwards.
std::string Plan(int mode, int shown, bool changeSystemBtn, bool visible, bool showState) {
  TrayContext context;
  context.shown = shown;
  context.changeSystemButton = changeSystemBtn;
  context.mainWindowVisible = visible;
  context.showAcceleratorState = showState;
  TrayPlan p = PlanTrayUpdate(mode, context);
  std::string out;
  for (auto [flag, letter] : {std::pair{p.destroyComposed, 'D'}, {p.reloadBase, 'L'}, {p.selectIcon, 'S'},
                              {p.add, 'A'}, {p.modify, 'M'}, {p.remove, 'R'}})
    if (flag) out += letter;
  return out + " " + std::to_string(p.shownAfter);
}

TEST(TrayRules, EachModeFollowsTheVisibilityRule) {
  struct Row {
    const char* name;
    int mode, shown;
    bool csb, visible, showState;
    const char* want;
  } rows[] = {
      {"add once", kTrayAdd, 0, true, false, false, "A 1"},
      {"add when unknown", kTrayAdd, kTrayShownUnknown, true, false, false, "A 1"},
      {"no second add", kTrayAdd, 1, true, false, false, " 1"},
      {"remove once", kTrayRemove, 1, true, true, false, "R 0"},
      {"no second remove", kTrayRemove, 0, true, true, false, " 0"},
      {"recreate hides from a visible changed window", kTrayRecreate, 1, true, true, false, "R 0"},
      {"recreate with hidden window", kTrayRecreate, 0, true, false, false, "AM 1"},
      {"recreate without ChangeSystemBtn", kTrayRecreate, 1, false, true, false, "AM 1"},
      {"exit", kTrayExit, 1, false, true, false, "DR 0"},
      {"icon changed reloads", kTrayIconChanged, 1, false, true, false, "DLSM 1"},
      {"icon changed, held back while visible", kTrayIconChanged, 0, true, true, false, "DLS 0"},
      {"state changed without ShowAccelSttInTray", kTrayStateChanged, 1, false, true, false, " 1"},
      {"state changed", kTrayStateChanged, 1, false, true, true, "SM 1"},
      {"state changed, held back while visible", kTrayStateChanged, 0, true, true, true, "S 0"},
      {"state changed, hidden window", kTrayStateChanged, 1, true, false, true, "SM 1"},
      {"show-state switch", kTrayShowStateChanged, 1, false, true, false, "SM 1"},
      {"show-state switch, held back while visible", kTrayShowStateChanged, 0, true, true, true, "S 0"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(Plan(row.mode, row.shown, row.csb, row.visible, row.showState), row.want) << row.name;
  // The icon shows the accelerator's state only with ShowAccelSttInTray.
  EXPECT_EQ(SelectTrayIcon(false, kAcceleratorRunning), TrayIconKind::Base);
  EXPECT_EQ(SelectTrayIcon(true, kAcceleratorRunning), TrayIconKind::Running);
  EXPECT_EQ(SelectTrayIcon(true, kAcceleratorIdle), TrayIconKind::Idle);
  EXPECT_EQ(SelectTrayIcon(true, 0), TrayIconKind::Disabled);
  EXPECT_EQ(StatusSquareColour(TrayIconKind::Running), 0x0032E632u);   // green
  EXPECT_EQ(StatusSquareColour(TrayIconKind::Disabled), 0x003232E6u);  // red
  EXPECT_EQ(StatusSquareColour(TrayIconKind::Idle), 0x0000E6E6u);      // yellow
}

}  // namespace
}  // namespace va
