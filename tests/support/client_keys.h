// client_keys: clears the host client's and the suite's registry keys under both
// roots before and after a test, so tests that use the real key names (the
// wizard, the placeholders) start from nothing and leave nothing behind.
#pragma once

namespace va::test {

class ClientKeys {
 public:
  ClientKeys();
  ~ClientKeys();
  ClientKeys(const ClientKeys&) = delete;
  ClientKeys& operator=(const ClientKeys&) = delete;
  static void Clear();
};

}  // namespace va::test
