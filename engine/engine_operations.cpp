#include "engine/engine_operations.h"

#include <vector>

#include "engine/cms_envelope.h"
#include "engine/cms_signing.h"
#include "engine/subject_names.h"

namespace quillora::engine {
namespace {

std::vector<X509*> Borrowed(const std::vector<X509Ptr>& certificates) {
  std::vector<X509*> pointers;
  for (const auto& certificate : certificates) pointers.push_back(certificate.get());
  return pointers;
}

}  // namespace

Outcome<std::string> SignAsUser(const EngineSettings& settings, std::string_view data) {
  auto keys = LoadUserKeys(settings);
  if (!keys) return Outcome<std::string>::Fail(keys.error());
  return SignDetached(data, keys->certificate.get(), keys->key.get());
}

size_t MaxSignatureLength(const EngineSettings& settings) {
  auto certificate = LoadUserCertificate(settings);
  return certificate ? MaxSignatureSize(certificate->get()) : 0;
}

Outcome<SealedEnvelope> SealForRecipients(const EngineSettings& settings, std::string_view data) {
  auto recipients = LoadRecipients(settings);
  if (!recipients) return Outcome<SealedEnvelope>::Fail(recipients.error());
  const std::vector<X509*> certificates = Borrowed(*recipients);
  auto der = SealEnvelope(data, certificates);
  if (!der) return Outcome<SealedEnvelope>::Fail(der.error());
  return SealedEnvelope{std::move(*der), MaxEnvelopeAddition(certificates)};
}

size_t MaxEncodeAddition(const EngineSettings& settings) {
  auto recipients = LoadRecipients(settings);
  return recipients ? MaxEnvelopeAddition(Borrowed(*recipients)) : 0;
}

Outcome<OpenedEnvelope> OpenAsUser(const EngineSettings& settings, std::string_view der) {
  auto keys = LoadUserKeys(settings);
  if (!keys) return Outcome<OpenedEnvelope>::Fail(keys.error());
  auto content = OpenEnvelope(der, keys->key.get(), keys->certificate.get());
  if (!content) return Outcome<OpenedEnvelope>::Fail(content.error());
  return OpenedEnvelope{std::move(*content),
                        CutUtf8(CommonName(keys->certificate.get()), kMaxUidLength)};
}

}  // namespace quillora::engine
