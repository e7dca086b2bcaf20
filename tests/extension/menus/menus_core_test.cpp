// The portable rules of the Tools list (separators, trimming, the icon's program,
// the registry form and the three popups; icons and drawing are shown in-process)
// and of the guarded open's file types.
#include <gtest/gtest.h>

#include "extension/menus/file_types.h"
#include "extension/menus/tool_list.h"

namespace va {
namespace {

ToolRecord Tool(const char* title, uint8_t preview = 0) { return {title, "x", "", "", nullptr, preview}; }

TEST(MenuRules, SeparatorsTrimmingAndTheStoredForm) {
  for (const auto& [title, separator] : std::vector<std::pair<const char*, bool>>{
           {"-", true}, {" - ", true}, {"--", false}, {"", false}, {"-a", false}, {"\"-\"", false}, {"\t-", false}})
    EXPECT_EQ(IsToolSeparator(Tool(title)), separator) << "'" << title << "'";
  // Work folders and icon files lose blanks and quotes at both ends; the icon comes from the program of the command.
  for (const auto& [text, trimmed, program] : std::vector<std::tuple<const char*, const char*, const char*>>{
           {" \"C:\\My Tools\\a.exe\" /x \"b\" ", "C:\\My Tools\\a.exe\" /x \"b", "C:\\My Tools\\a.exe"},
           {"C:\\bin\\tool.exe -q file", "C:\\bin\\tool.exe -q file", "C:\\bin\\tool.exe"}, {"  ed.exe", "ed.exe", "ed.exe"},
           {"\"\"C:\\a b\\x.exe", "C:\\a b\\x.exe", ""}, {"\"C:\\a b\\x.exe", "C:\\a b\\x.exe", "C:\\a b\\x.exe"},
           {"\"C:\\a b\\x.exe\"\"", "C:\\a b\\x.exe", "C:\\a b\\x.exe"}, {" \" \" ", "", " "}, {"", "", ""}, {"\"\"\"", "", ""}})
    EXPECT_EQ(TrimSpacesAndQuotes(text) + "|" + ToolIconProgram(text), std::string(trimmed) + "|" + program) << text;
  std::string titles;  // "Title"N names a tool (letter case counts); N is the number after it
  for (const char* name : {"Title1", "Title32", "Title007", "Title", "Titles", "title1", "TITLE1", "Titl", "Cmd1", ""})
    if (int32_t n = -1; ParseToolTitleName(name, n)) titles += std::string(name) + "=" + std::to_string(n) + ";";
  EXPECT_EQ(titles, "Title1=1;Title32=32;Title007=7;Title=0;Titles=0;");
  // A separator keeps its title only; blank texts are left out.
  std::string stored;
  for (const auto& value : ToolRegistryValues({{"Editor", "ed.exe", "C:\\work", "   ", nullptr, 1}, {" - ", "ignored.exe", "C:\\x", "", nullptr, 1},
                                               {"Player", "play.exe", "  ", "C:\\p.ico", nullptr, 2}, {" x ", " ", " a", "\"\"", nullptr, 0}}))
    stored += value.name + "=" + (value.isDword ? "#" + std::to_string(value.dword) : value.text) + ";";
  EXPECT_EQ(stored, "Title1=Editor;Cmd1=ed.exe;Workdir1=C:\\work;Preview1=#1;Title2= - ;Title3=Player;Cmd3=play.exe;"
                    "Icon3=C:\\p.ico;Title4= x ;Cmd4= ;Workdir4= a;Icon4=\"\";");
}

// Every item of the three popups: kind, id and text.
TEST(MenuRules, ThePopupsListUpTo32ToolsAndOtherwiseSayNoTools) {
  std::vector<ToolRecord> many(33, Tool("-"));
  many[0] = Tool("T0", 1), many[31] = Tool("T31", 1), many[32] = Tool("T32", 1);
  const std::vector<ToolRecord> mixed = {Tool("Ed"), Tool(" - ", 1), Tool("Play", 1), Tool("View", 2)};
  std::string no = "G9999(No Tools);", dashes;
  for (int i = 1; i <= 30; ++i) dashes += "-;";
  const struct { ToolPopup popup; std::vector<ToolRecord> tools; bool plain; std::string items; } rows[] = {
      {ToolPopup::Main, {}, false, "H;" + no}, {ToolPopup::Tray, {}, true, no}, {ToolPopup::Preview, {}, false, "P61241Theater;-;" + no},
      {ToolPopup::Main, mixed, false, "H;O10000Ed;-;O10002Play;O10003View;"},
      {ToolPopup::Tray, mixed, true, "P10000Ed;-;P10002Play;P10003View;"},
      {ToolPopup::Preview, mixed, false, "P61241Theater;-;O10502Play;"},
      {ToolPopup::Preview, {Tool("Ed"), Tool("-", 1)}, true, "P61241Theater;-;" + no},
      {ToolPopup::Tray, {Tool("-")}, false, "-;"},
      {ToolPopup::Tray, many, false, "O10000T0;" + dashes + "O10031T31;"},
      {ToolPopup::Preview, many, true, "P61241Theater;-;P10500T0;P10531T31;"}};
  for (const auto& row : rows) {
    std::string items;
    for (const ToolMenuItem& item : PlanToolPopup(row.popup, row.tools, row.plain, "(No Tools)", "Theater"))
      items += std::string(1, "H-OPG"[item.kind]) + (item.id ? std::to_string(item.id) : "") + item.text + ";";
    EXPECT_EQ(items, row.items) << int(row.popup) << " " << row.tools.size();
  }
}

TEST(MenuRules, FileTypesTheGuardedOpenAsksAbout) {
  const std::pair<const char*, const char*> types[] = {{"song.mp3", "MP3"}, {"archive.tar.Gz", "GZ"}, {"readme", "README"},
      {"trailing.", ""}, {"caf\xE9.\xE0vi", "\xC0VI"}, {".hidden", "HIDDEN"}, {"a b.E xe", "E XE"}, {"", ""}};
  for (const auto& [name, type] : types) EXPECT_EQ(FileTypeOfName(name), type) << name;
  // Whole upper-case types only: a program is asked about, a near name is not.
  EXPECT_TRUE(IsRiskyFileType("EXE") && IsRiskyFileType("CHM"));  // a program; help that runs scripts
  for (const char* type : {"", "MP3", "README", "BA", "BATS", "exe", " EXE", "EXE "}) EXPECT_FALSE(IsRiskyFileType(type)) << type;
}

}  // namespace
}  // namespace va
