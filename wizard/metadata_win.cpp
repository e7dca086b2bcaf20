// metadata_win: see metadata_win.h.
#include "wizard/metadata_win.h"

#include <windows.h>

#include "common/placeholders.h"
#include "common/registry_store.h"
#include "wizard/resources/resource.h"
#include "wizard/wizard_messages_win.h"
#include "wizard/wizard_state.h"

namespace va {
namespace {

constexpr DWORD kMaxProgramPath = 512;
// A wizard file larger than this is not a wizard: refuse rather than allocate.
constexpr DWORD kMaxProgramFileSize = 256u * 1024 * 1024;
constexpr const char* kInstallKey = "Software\\Vexlo\\v-aero";

std::string ProgramPath() {
  char path[kMaxProgramPath + 1] = {};
  DWORD length = GetModuleFileNameA(nullptr, path, kMaxProgramPath);
  if (length == 0 || length >= kMaxProgramPath) return std::string();
  return std::string(path, length);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = false;
  DWORD high = 0;
  DWORD size = GetFileSize(file, &high);
  if (size != INVALID_FILE_SIZE && high == 0 && size <= kMaxProgramFileSize) {
    bytes.resize(size);
    DWORD read = 0;
    ok = size == 0 || (ReadFile(file, bytes.data(), size, &read, nullptr) && read == size);
  }
  CloseHandle(file);
  return ok;
}

bool LoadMetadata() {
  WizardState& state = Wizard();
  state.programPath = ProgramPath();
  std::vector<uint8_t> file;
  MetadataTrailer trailer;
  if (state.programPath.empty() || !ReadWholeFile(state.programPath, file) ||
      ParseMetadataTrailer(file, trailer) != TrailerStatus::Ok) {
    ShowWizardMessage(nullptr, IDS_NO_METADATA, MB_OK);
    return false;
  }
  state.rawTexts = trailer.texts;
  state.texts = trailer.texts;
  ExpandWizardPlaceholders(state.texts[0]);
  state.texts[1] = "%VAPATH%\\" + trailer.texts[1];
  ExpandWizardPlaceholders(state.texts[1]);
  ExpandWizardPlaceholders(state.texts[2]);
  ExpandWizardPlaceholders(state.texts[3]);
  state.profiles = std::move(trailer.profiles);
  state.scriptOffset = trailer.scriptOffset;
  state.scriptEnd = trailer.scriptEnd;
  state.sigUser = ReadRegDword(HKEY_CURRENT_USER, kInstallKey, "InstallSig");
  state.sigMachine = ReadRegDword(HKEY_LOCAL_MACHINE, kInstallKey, "InstallSig");
  return true;
}

std::vector<ScriptRecord> ReadRegistryScript() {
  const WizardState& state = Wizard();
  std::vector<uint8_t> file;
  if (!ReadWholeFile(state.programPath, file)) return {};
  // The file may have changed since it was loaded: never read past its end.
  const size_t end = std::min(state.scriptEnd, file.size());
  if (state.scriptOffset >= end) return {};
  return ParseRegistryScript(std::span<const uint8_t>(file).subspan(state.scriptOffset, end - state.scriptOffset));
}

}  // namespace va
