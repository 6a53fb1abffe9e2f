#include "apps/sorlit_client.h"

#include <vector>

#include "apps/cli_io.h"
#include "base64/sorlit_api.h"
#include "platform/automation_string.h"

namespace quillora::cli {

SorlitClient::SorlitClient() {
  library_ = platform::LoadBesideOrOnSearchPath(ProgramDirectory(), base64::kSorlitFileName);
  if (!library_.IsLoaded()) {
    throw CommandFailure{-20, "the Base64 library cannot be loaded: " + library_.LoadError()};
  }
}

Text SorlitClient::Encode(const std::string& bytes) const {
  const auto encode = library_.Bind<base64::Base64EncodeFn>(base64::kEncodeExport);
  if (encode == nullptr) throw CommandFailure{-17, "BASE64Encode is missing"};
  if (bytes.empty()) return Text();  // nothing to encode gives nothing
  platform::AutomationString text(encode(reinterpret_cast<const unsigned char*>(bytes.data()),
                                         static_cast<int32_t>(bytes.size())));
  if (!text) throw CommandFailure{-18, "BASE64Encode failed"};
  return WideToAnsi(platform::StringView(text.get()));
}

std::string SorlitClient::Decode(const Text& text) const {
  const auto decode = library_.Bind<base64::Base64DecodeFn>(base64::kDecodeExport);
  if (decode == nullptr) throw CommandFailure{-17, "BASE64Decode is missing"};
  platform::AutomationString wide(platform::AllocString(AnsiToWide(text)));
  if (!wide) throw CommandFailure{-19, "out of memory"};
  std::vector<unsigned char> bytes(text.size() + 1);
  int32_t length = 0;
  if (decode(wide.get(), bytes.data(), &length) == 0) {
    throw CommandFailure{-18, "the text is not valid Base64"};
  }
  return std::string(reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(length));
}

}  // namespace quillora::cli
