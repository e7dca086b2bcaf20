// Tools list rules: separators, the icon program, the registry form and the items
// of the three popups.
#include "extension/menus/tool_list.h"

#include <gtest/gtest.h>

namespace va {
namespace {

ToolRecord Tool(const char* title, const char* cmd, uint8_t preview = 0) {
  ToolRecord tool;
  tool.Title = title;
  tool.Cmd = cmd;
  tool.Preview = preview;
  return tool;
}

TEST(ToolRecord, SeparatorIsADashBetweenSpaces) {
  EXPECT_TRUE(IsToolSeparator(Tool("-", "")));
  EXPECT_TRUE(IsToolSeparator(Tool(" - ", "x")));
  EXPECT_FALSE(IsToolSeparator(Tool("--", "")));
  EXPECT_FALSE(IsToolSeparator(Tool("", "")));
  EXPECT_FALSE(IsToolSeparator(Tool("-a", "")));
  EXPECT_TRUE(IsBlankText("   "));
  EXPECT_FALSE(IsBlankText(" x "));
}

TEST(ToolIconProgram, QuotedPlainAndUnclosed) {
  EXPECT_EQ(ToolIconProgram("\"C:\\Program Files\\Ed\\ed.exe\" -n file"), "C:\\Program Files\\Ed\\ed.exe");
  EXPECT_EQ(ToolIconProgram("notepad.exe readme.txt"), "notepad.exe");
  EXPECT_EQ(ToolIconProgram("calc.exe"), "calc.exe");
  EXPECT_EQ(ToolIconProgram("\"C:\\a b\\x.exe"), "C:\\a b\\x.exe");
  EXPECT_EQ(ToolIconProgram("  %VAPATH%\\t.exe /x"), "%VAPATH%\\t.exe");
  EXPECT_EQ(ToolIconProgram("\"\""), "");
  EXPECT_EQ(ToolIconProgram(""), "");
  EXPECT_EQ(TrimSpacesAndQuotes("  \"C:\\icons\\a.ico\" "), "C:\\icons\\a.ico");
  EXPECT_EQ(TrimSpacesAndQuotes(" \" \" "), "");
}

TEST(ToolRegistryForm, TitleNamesAndTheirNumbers) {
  int32_t n = -7;
  EXPECT_TRUE(ParseToolTitleName("Title12", n));
  EXPECT_EQ(n, 12);
  EXPECT_FALSE(ParseToolTitleName("title1", n));
  EXPECT_FALSE(ParseToolTitleName("Cmd1", n));
  EXPECT_FALSE(ParseToolTitleName("Titl", n));
}

TEST(ToolRegistryForm, SeparatorsKeepTheirTitleOnlyAndBlanksAreLeftOut) {
  ToolRecord editor = Tool("Editor", "ed.exe", 1);
  editor.Workdir = "C:\\work";
  editor.Icon = "   ";
  ToolRecord player = Tool("Player", "play.exe");
  player.Workdir = "  ";
  player.Icon = "C:\\p.ico";
  ToolRecord separator = Tool(" - ", "ignored.exe", 1);
  separator.Workdir = "C:\\x";
  const auto values = ToolRegistryValues({editor, separator, player});
  std::vector<std::string> names;
  for (const auto& value : values) names.push_back(value.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Title1", "Cmd1", "Workdir1", "Preview1", "Title2", "Title3", "Cmd3",
                                             "Icon3"}));
  EXPECT_TRUE(values[3].isDword);
  EXPECT_EQ(values[3].dword, 1u);
  EXPECT_EQ(values[4].text, " - ");
  EXPECT_EQ(values[7].text, "C:\\p.ico");
}

std::string Describe(const std::vector<ToolMenuItem>& items) {
  std::string text;
  for (const auto& item : items) {
    switch (item.kind) {
      case ToolMenuItem::Heading: text += "[heading]"; break;
      case ToolMenuItem::Separator: text += "[-]"; break;
      case ToolMenuItem::OwnerDrawn: text += "[drawn " + std::to_string(item.id) + " " + item.text + "]"; break;
      case ToolMenuItem::Plain: text += "[" + std::to_string(item.id) + " " + item.text + "]"; break;
      case ToolMenuItem::Grayed: text += "[gray " + std::to_string(item.id) + " " + item.text + "]"; break;
    }
  }
  return text;
}

TEST(PlanToolPopup, NoToolsShowsTheGrayedPlaceholderEverywhere) {
  const std::vector<ToolRecord> none;
  EXPECT_EQ(Describe(PlanToolPopup(ToolPopup::Main, none, false, "(No Tools)", "Theater")),
            "[heading][gray 9999 (No Tools)]");
  EXPECT_EQ(Describe(PlanToolPopup(ToolPopup::Tray, none, false, "(No Tools)", "Theater")), "[gray 9999 (No Tools)]");
  EXPECT_EQ(Describe(PlanToolPopup(ToolPopup::Preview, none, false, "(No Tools)", "Theater")),
            "[61241 Theater][-][gray 9999 (No Tools)]");
}

TEST(PlanToolPopup, ToolsSeparatorsAndPreviewMarks) {
  const std::vector<ToolRecord> tools = {Tool("Editor", "ed.exe", 1), Tool("-", "", 1), Tool("Viewer", "v.exe")};
  EXPECT_EQ(Describe(PlanToolPopup(ToolPopup::Main, tools, false, "(No Tools)", "Theater")),
            "[heading][drawn 10000 Editor][-][drawn 10002 Viewer]");
  EXPECT_EQ(Describe(PlanToolPopup(ToolPopup::Tray, tools, false, "(No Tools)", "Theater")),
            "[drawn 10000 Editor][-][drawn 10002 Viewer]");
  EXPECT_EQ(Describe(PlanToolPopup(ToolPopup::Preview, tools, false, "(No Tools)", "Theater")),
            "[61241 Theater][-][drawn 10500 Editor]");
  // Without icons the same ids as plain text items.
  EXPECT_EQ(Describe(PlanToolPopup(ToolPopup::Main, tools, true, "(No Tools)", "Theater")),
            "[heading][10000 Editor][-][10002 Viewer]");
  EXPECT_EQ(Describe(PlanToolPopup(ToolPopup::Preview, tools, true, "(No Tools)", "Theater")),
            "[61241 Theater][-][10500 Editor]");
}

TEST(PlanToolPopup, NoPreviewToolsGiveThePlaceholderUnderPreviewOnly) {
  const std::vector<ToolRecord> tools = {Tool("Editor", "ed.exe")};
  EXPECT_EQ(Describe(PlanToolPopup(ToolPopup::Preview, tools, false, "(No Tools)", "Theater")),
            "[61241 Theater][-][gray 9999 (No Tools)]");
  EXPECT_EQ(Describe(PlanToolPopup(ToolPopup::Tray, tools, false, "(No Tools)", "Theater")), "[drawn 10000 Editor]");
}

TEST(PlanToolPopup, NeverMoreThanThirtyTwoTools) {
  std::vector<ToolRecord> tools(40, Tool("T", "t.exe", 1));
  const auto items = PlanToolPopup(ToolPopup::Tray, tools, true, "", "");
  ASSERT_EQ(items.size(), 32u);
  EXPECT_EQ(items.back().id, 10031u);
}

}  // namespace
}  // namespace va
