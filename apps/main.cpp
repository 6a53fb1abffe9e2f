// quillora: the command line over the component's code, for site developers and scripts.
#include <cstdio>
#include <string>
#include <vector>

#include "apps/commands.h"

namespace {

constexpr const char* kUsage =
    "usage: quillora [--utf8] COMMAND [ARGS]\n"
    "  presign [--start NAME] [FILE]      the pre-sign sequence of an element\n"
    "  compose [--date DD/MM/YYYY] [FILE]  the proposal document of an input document\n"
    "  base64 encode|decode [FILE]         the Base64 library's encoder and decoder\n"
    "  sandbox DIR [--dest NAME] [--user NAME]\n"
    "                                      a self-contained security client in DIR\n"
    "  sign|encrypt|decrypt --dest NAME [FILE]\n"
    "                                      a crypto operation as the control runs it\n"
    "  verify --key KEY --cert CERT --ca CA [FILE]\n"
    "                                      the site's check of a returned proposal (JSON)\n"
    "  register|unregister [LIBRARY]       the control library's registration\n"
    "  propose --dest NAME [--yes] [FILE]  MakeEncProposal through the registered control\n"
    "  call [--progid ID] STEP...          automation steps: Name=value, Name, Name(args)\n"
    "Input is Windows-1251 text as it stands (UTF-8 with --utf8); output is written\n"
    "as it is, with no added newline.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace quillora::cli;
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    Io io;
    std::size_t at = 0;
    for (; at < args.size() && args[at].rfind("--", 0) == 0; ++at) {
      if (args[at] == "--utf8") {
        io.utf8 = true;
      } else if (args[at] == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
      } else {
        std::fprintf(stderr, "quillora: unknown option '%s'\n%s", args[at].c_str(), kUsage);
        return 2;
      }
    }
    if (at == args.size()) {
      std::fputs(kUsage, stderr);
      return 2;
    }
    const std::string word = args[at];
    Arguments command(
        std::vector<std::string>(args.begin() + static_cast<std::ptrdiff_t>(at) + 1, args.end()));
    if (command.TakeFlag("--utf8")) io.utf8 = true;
    if (word == "presign") return RunPresign(command, io);
    if (word == "compose") return RunCompose(command, io);
    if (word == "base64") return RunBase64(command, io);
    if (word == "sandbox") return RunSandbox(command, io);
    if (word == "sign") return RunSign(command, io);
    if (word == "encrypt") return RunEncrypt(command, io);
    if (word == "decrypt") return RunDecrypt(command, io);
    if (word == "verify") return RunVerify(command, io);
    if (word == "register") return RunRegister(command, io);
    if (word == "unregister") return RunUnregister(command, io);
    if (word == "propose") return RunPropose(command, io);
    if (word == "call") return RunCall(command, io);
    if (word == "help") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    std::fprintf(stderr, "quillora: unknown command '%s'\n%s", word.c_str(), kUsage);
    return 2;
  } catch (const CommandFailure& failure) {
    std::fprintf(stderr, "error %d: %s\n", failure.code, failure.message.c_str());
    return 1;
  }
}
