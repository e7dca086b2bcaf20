// The portable rules of the Tools list (separators and registry form; value names
// and popups are shown in-process with the real registry) and of the guarded open's
// file types.
#include <gtest/gtest.h>

#include "extension/menus/file_types.h"
#include "extension/menus/tool_list.h"

namespace va {
namespace {

TEST(MenuRules, SeparatorsValueNamesAndTheStoredForm) {
  for (const auto& [title, separator] : std::vector<std::pair<const char*, bool>>{
           {"-", true}, {" - ", true}, {"--", false}, {"", false}, {"-a", false}})
    EXPECT_EQ(IsToolSeparator(ToolRecord{title, "x"}), separator) << "'" << title << "'";
  // A separator keeps its title only; blank texts are left out.
  std::string stored;
  for (const auto& value : ToolRegistryValues({{"Editor", "ed.exe", "C:\\work", "   ", nullptr, 1},
                                               {" - ", "ignored.exe", "C:\\x", "", nullptr, 1},
                                               {"Player", "play.exe", "  ", "C:\\p.ico"}}))
    stored += value.name + "=" + (value.isDword ? "#" + std::to_string(value.dword) : value.text) + ";";
  EXPECT_EQ(stored, "Title1=Editor;Cmd1=ed.exe;Workdir1=C:\\work;Preview1=#1;Title2= - ;Title3=Player;Cmd3=play.exe;"
                    "Icon3=C:\\p.ico;");
}

TEST(MenuRules, FileTypesTheGuardedOpenAsksAbout) {
  const std::pair<const char*, const char*> types[] = {
      {"song.mp3", "MP3"}, {"archive.tar.Gz", "GZ"}, {"readme", "README"}, {"trailing.", ""}, {"caf\xE9.\xE0vi", "\xC0VI"}};
  for (const auto& [name, type] : types) EXPECT_EQ(FileTypeOfName(name), type) << name;
  // Whole upper-case types only: a program is asked about, a near name is not.
  EXPECT_TRUE(IsRiskyFileType("EXE") && IsRiskyFileType("CHM"));  // a program; help that runs scripts
  for (const char* type : {"", "MP3", "README", "BA", "BATS", "exe"}) EXPECT_FALSE(IsRiskyFileType(type)) << type;
}

}  // namespace
}  // namespace va
