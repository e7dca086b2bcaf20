// metadata_win: loads the wizard's metadata trailer from its own program file and
// the install signatures; reads the registry script back when it is applied.
#pragma once
#include <string>

#include "wizard/metadata.h"

namespace va {

// Reads the trailer into Wizard(); on failure shows "Can't find meta data!" and
// returns false. On success also reads sigUser and sigMachine.
bool LoadMetadata();

// The registry script's records, read afresh from the program file.
std::vector<ScriptRecord> ReadRegistryScript();

// The whole file at `path`, or false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);

}  // namespace va
