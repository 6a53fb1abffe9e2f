// The subcommands of the quillora program. Each takes its arguments (after the command
// word) and returns the exit status; failures are thrown as CommandFailure.
#pragma once

#include <string>
#include <vector>

#include "apps/cli_io.h"

namespace quillora::cli {

int RunPresign(Arguments& args, const Io& io);
int RunCompose(Arguments& args, const Io& io);
int RunBase64(Arguments& args, const Io& io);
int RunSandbox(Arguments& args, const Io& io);
int RunSign(Arguments& args, const Io& io);
int RunEncrypt(Arguments& args, const Io& io);
int RunDecrypt(Arguments& args, const Io& io);
int RunVerify(Arguments& args, const Io& io);
int RunRegister(Arguments& args, const Io& io);
int RunUnregister(Arguments& args, const Io& io);
int RunPropose(Arguments& args, const Io& io);
int RunCall(Arguments& args, const Io& io);

}  // namespace quillora::cli
