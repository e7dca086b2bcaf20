// The portable rules of the Tools list (separators, icon program, registry form,
// the three popups) and of the guarded open's file types.
#include <gtest/gtest.h>

#include "extension/menus/file_types.h"
#include "extension/menus/tool_list.h"

namespace va {
namespace {

ToolRecord Tool(const char* title, const char* cmd, uint8_t preview = 0) {
  ToolRecord tool;
  tool.Title = title;
  tool.Cmd = cmd;
  tool.Preview = preview;
  return tool;
}

TEST(MenuRules, ToolTextsAndValueNames) {
  for (const auto& [title, separator] : std::vector<std::pair<const char*, bool>>{
           {"-", true}, {" - ", true}, {"--", false}, {"", false}, {"-a", false}})
    EXPECT_EQ(IsToolSeparator(Tool(title, "x")), separator) << "'" << title << "'";
  const std::pair<const char*, const char*> icons[] = {
      {"\"C:\\Program Files\\Ed\\ed.exe\" -n file", "C:\\Program Files\\Ed\\ed.exe"},
      {"notepad.exe readme.txt", "notepad.exe"},
      {"calc.exe", "calc.exe"},
      {"\"C:\\a b\\x.exe", "C:\\a b\\x.exe"},  // a quote never closed
      {"  %VAPATH%\\t.exe /x", "%VAPATH%\\t.exe"},
      {"\"\"", ""},
      {"", ""}};
  for (const auto& [cmd, program] : icons) EXPECT_EQ(ToolIconProgram(cmd), program) << cmd;
  EXPECT_EQ(TrimSpacesAndQuotes("  \"C:\\icons\\a.ico\" "), "C:\\icons\\a.ico");
  EXPECT_EQ(TrimSpacesAndQuotes(" \" \" "), "");
  int32_t n = -7;
  EXPECT_TRUE(ParseToolTitleName("Title12", n));
  EXPECT_EQ(n, 12);
  for (const char* name : {"title1", "Cmd1", "Titl"}) EXPECT_FALSE(ParseToolTitleName(name, n)) << name;
}

TEST(MenuRules, SeparatorsAreStoredWithTheirTitleOnlyAndBlanksAreLeftOut) {
  ToolRecord editor = Tool("Editor", "ed.exe", 1);
  editor.Workdir = "C:\\work";
  editor.Icon = "   ";
  ToolRecord separator = Tool(" - ", "ignored.exe", 1);
  separator.Workdir = "C:\\x";
  ToolRecord player = Tool("Player", "play.exe");
  player.Workdir = "  ";
  player.Icon = "C:\\p.ico";
  std::string stored;
  for (const auto& value : ToolRegistryValues({editor, separator, player}))
    stored += value.name + "=" + (value.isDword ? "#" + std::to_string(value.dword) : value.text) + ";";
  EXPECT_EQ(stored, "Title1=Editor;Cmd1=ed.exe;Workdir1=C:\\work;Preview1=#1;Title2= - ;Title3=Player;Cmd3=play.exe;"
                    "Icon3=C:\\p.ico;");
}

std::string Describe(const std::vector<ToolMenuItem>& items) {
  std::string text;
  for (const auto& item : items) {
    const std::string id = std::to_string(item.id) + " " + item.text;
    switch (item.kind) {
      case ToolMenuItem::Heading: text += "[heading]"; break;
      case ToolMenuItem::Separator: text += "[-]"; break;
      case ToolMenuItem::OwnerDrawn: text += "[drawn " + id + "]"; break;
      case ToolMenuItem::Plain: text += "[" + id + "]"; break;
      case ToolMenuItem::Grayed: text += "[gray " + id + "]"; break;
    }
  }
  return text;
}

TEST(MenuRules, WhatEachToolPopupHolds) {
  const std::vector<ToolRecord> none, tools = {Tool("Editor", "ed.exe", 1), Tool("-", "", 1), Tool("Viewer", "v.exe")};
  const std::vector<ToolRecord> noPreview = {Tool("Editor", "ed.exe")};
  const struct {
    const char* name;
    ToolPopup popup;
    const std::vector<ToolRecord>& list;
    bool noIcons;
    const char* expected;
  } rows[] = {
      {"main, none", ToolPopup::Main, none, false, "[heading][gray 9999 (No Tools)]"},
      {"tray, none", ToolPopup::Tray, none, false, "[gray 9999 (No Tools)]"},
      {"preview, none", ToolPopup::Preview, none, false, "[61241 Theater][-][gray 9999 (No Tools)]"},
      {"main", ToolPopup::Main, tools, false, "[heading][drawn 10000 Editor][-][drawn 10002 Viewer]"},
      {"tray", ToolPopup::Tray, tools, false, "[drawn 10000 Editor][-][drawn 10002 Viewer]"},
      {"preview", ToolPopup::Preview, tools, false, "[61241 Theater][-][drawn 10500 Editor]"},
      {"main, no icons", ToolPopup::Main, tools, true, "[heading][10000 Editor][-][10002 Viewer]"},
      {"preview, no icons", ToolPopup::Preview, tools, true, "[61241 Theater][-][10500 Editor]"},
      {"preview, none marked", ToolPopup::Preview, noPreview, false, "[61241 Theater][-][gray 9999 (No Tools)]"},
      {"tray, none marked", ToolPopup::Tray, noPreview, false, "[drawn 10000 Editor]"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Describe(PlanToolPopup(row.popup, row.list, row.noIcons, "(No Tools)", "Theater")), row.expected)
        << row.name;
  const auto many = PlanToolPopup(ToolPopup::Tray, std::vector<ToolRecord>(40, Tool("T", "t.exe", 1)), true, "", "");
  ASSERT_EQ(many.size(), 32u);
  EXPECT_EQ(many.back().id, 10031u);
}

TEST(MenuRules, FileTypesTheGuardedOpenAsksAbout) {
  const std::pair<const char*, const char*> types[] = {
      {"song.mp3", "MP3"}, {"archive.tar.Gz", "GZ"}, {"readme", "README"}, {"trailing.", ""}, {"caf\xE9.\xE0vi", "\xC0VI"}};
  for (const auto& [name, type] : types) EXPECT_EQ(FileTypeOfName(name), type) << name;
  for (const char* type : {"EXE", "PIF", "SHS", "SHB", "WSH", "VBE", "JS", "JSE", "BAT", "CMD", "COM", "SCR", "CPL", "MSI",
                           "MSP", "HTA", "VBS", "WSF", "PS1", "REG", "LNK", "JAR"})
    EXPECT_TRUE(IsRiskyFileType(type)) << type;
  for (const char* type : {"", "MP3", "README", "BA", "BATS", "exe", "AVI"}) EXPECT_FALSE(IsRiskyFileType(type)) << type;
  EXPECT_TRUE(IsRiskyFileType(FileTypeOfName("com")));  // a name without a dot counts whole
  EXPECT_TRUE(IsRiskyFileType(FileTypeOfName("Setup.Exe")));
}

}  // namespace
}  // namespace va
