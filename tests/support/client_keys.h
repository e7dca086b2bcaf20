// client_keys: clears the host client's and the suite's registry keys under both
// roots before and after a test, so tests that use the real key names (the
// wizard, the placeholders) start from nothing and leave nothing behind.
#pragma once
#include "support/scratch_registry.h"

namespace va::test {

struct ClientKeys {
  ClientKeys() { Clear(); }
  ~ClientKeys() { Clear(); }
  static void Clear() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
      for (const char* key : {"SOFTWARE\\Vexlo", "SOFTWARE\\V++", "SOFTWARE\\VAExtensions"}) DeleteTree(root, key);
  }
};

}  // namespace va::test
