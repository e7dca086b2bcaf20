// client_keys_win: see client_keys.h.
#include "support/client_keys.h"

#include <windows.h>

#include "support/scratch_registry.h"

namespace va::test {

void ClientKeys::Clear() {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    for (const char* key : {"SOFTWARE\\Vexlo", "SOFTWARE\\V++", "SOFTWARE\\VAExtensions"}) DeleteTree(root, key);
  }
}

ClientKeys::ClientKeys() { Clear(); }
ClientKeys::~ClientKeys() { Clear(); }

}  // namespace va::test
