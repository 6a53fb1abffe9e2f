#include <cstdio>

#include "apps/commands.h"
#include "apps/proposal_check.h"

namespace quillora::cli {

// quillora verify --key SITE_KEY --cert SITE_CERT --ca CA_CERT [FILE]
int RunVerify(Arguments& args, const Io& io) {
  SiteKeys keys;
  const auto key = args.TakeOption("--key");
  const auto cert = args.TakeOption("--cert");
  const auto ca = args.TakeOption("--ca");
  if (!key || !cert || !ca) throw CommandFailure{0, "--key, --cert and --ca are required"};
  keys.key = *key;
  keys.certificate = *cert;
  keys.authority = *ca;
  const auto operands = args.Operands(1);
  const Text text = ReadAllBytes(operands.empty() ? "" : operands[0]);
  (void)io;  // the result is JSON, which is UTF-8 whatever the mode
  const std::string json = ProposalJson(CheckProposal(text, keys)) + "\n";
  std::fwrite(json.data(), 1, json.size(), stdout);
  return 0;
}

}  // namespace quillora::cli
