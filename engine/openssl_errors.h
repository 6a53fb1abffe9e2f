// The OpenSSL error queue, turned into text for the messages of the site's checks and
// kept from leaking into the callers of the engine.
#pragma once

#include <string>
#include <vector>

namespace quillora::engine {

struct OpenSslErrors {
  std::vector<unsigned long> codes;
  // The reasons, with any detail OpenSSL attached, joined into one line.
  std::string text;

  bool Has(int library, int reason) const;
};

// Takes every queued error of this thread.
OpenSslErrors TakeOpenSslErrors();

// Restores the thread's error queue to what it was on construction, so that the errors
// an operation raises do not reach the program that called it.
class OpenSslErrorScope {
 public:
  OpenSslErrorScope();
  ~OpenSslErrorScope();
  OpenSslErrorScope(const OpenSslErrorScope&) = delete;
  OpenSslErrorScope& operator=(const OpenSslErrorScope&) = delete;
};

}  // namespace quillora::engine
