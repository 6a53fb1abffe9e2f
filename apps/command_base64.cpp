#include <vector>

#include "apps/commands.h"
#include "base64/sorlit_api.h"
#include "platform/automation_string.h"
#include "platform/dynamic_library.h"

namespace quillora::cli {

namespace {

platform::DynamicLibrary LoadSorlit() {
  // Beside the program first, then through the library search path, as the control
  // looks for it beside its own module.
  static const int anchor = 0;
  platform::DynamicLibrary library =
      platform::LoadBesideOrOnSearchPath(platform::ModuleDirectoryOf(&anchor), "libsorlit.so");
  if (!library.IsLoaded()) {
    throw CommandFailure{-20, "the Base64 library cannot be loaded: " + library.LoadError()};
  }
  return library;
}

}  // namespace

// quillora base64 encode|decode [FILE]
int RunBase64(Arguments& args, const Io& io) {
  const auto operands = args.Operands(2);
  if (operands.empty() || (operands[0] != "encode" && operands[0] != "decode")) {
    throw CommandFailure{0, "usage: quillora base64 encode|decode [FILE]"};
  }
  const Text input = io.ReadInput(operands.size() > 1 ? operands[1] : "");
  platform::DynamicLibrary sorlit = LoadSorlit();

  if (operands[0] == "encode") {
    const auto encode = sorlit.Bind<Base64EncodeFn>("BASE64Encode");
    if (encode == nullptr) throw CommandFailure{-17, "BASE64Encode is missing"};
    if (input.empty()) return 0;  // nothing to encode gives nothing
    platform::AutomationString text(encode(reinterpret_cast<const unsigned char*>(input.data()),
                                           static_cast<int32_t>(input.size())));
    if (!text) throw CommandFailure{-18, "BASE64Encode failed"};
    io.WriteOutput(WideToAnsi(platform::StringView(text.get())));
    return 0;
  }

  const auto decode = sorlit.Bind<Base64DecodeFn>("BASE64Decode");
  if (decode == nullptr) throw CommandFailure{-17, "BASE64Decode is missing"};
  platform::AutomationString wide(platform::AllocString(AnsiToWide(input)));
  if (!wide) throw CommandFailure{-19, "out of memory"};
  std::vector<unsigned char> bytes(input.size() + 1);
  int32_t length = 0;
  if (decode(wide.get(), bytes.data(), &length) == 0) {
    throw CommandFailure{-18, "the text is not valid Base64"};
  }
  io.WriteOutput(Text(reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(length)));
  return 0;
}

}  // namespace quillora::cli
