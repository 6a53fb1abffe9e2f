#include "control/registration.h"

#include <sys/stat.h>

#include <cstdio>
#include <initializer_list>
#include <utility>

#include "control/error_register.h"
#include "control/type_library.h"
#include "offers/store_names.h"
#include "platform/guid.h"
#include "platform/registry.h"
#include "xml/xml_document.h"

namespace quillora {
namespace {

using platform::GuidToString;
using platform::RegHive;
using platform::RegistryKey;
using platform::RegStatus;

struct Value {
  const char* name;  // "" for the key's default value
  std::string text;
};

// Creates the key and sets its string values; false at the first failure.
bool WriteKey(const std::string& path, std::initializer_list<Value> values) {
  RegistryKey key;
  if (platform::CreateRegistryKey(RegHive::kClassesRoot, path, key) != platform::kRegSuccess) {
    return false;
  }
  for (const Value& value : values) {
    if (platform::SetRegistryString(key, value.name, value.text) != platform::kRegSuccess) {
      return false;
    }
  }
  return true;
}

bool Delete(const std::string& path) {
  const RegStatus status = platform::DeleteRegistryTree(RegHive::kClassesRoot, path);
  return status == platform::kRegSuccess || status == platform::kRegNotFound;
}

std::string Directory(const std::string& path) {
  return path.substr(0, path.rfind('/') + 1);
}

std::string TypeLibKey() {
  return "TypeLib\\" + GuidToString(typelib::LIBID_QUILLORALib);
}
std::string ClassKey(const platform::GUID& clsid) {
  return "CLSID\\" + GuidToString(clsid);
}

bool RegisterTypeLibrary(const std::string& libraryPath) {
  const std::string version = TypeLibKey() + "\\" + typelib::kLibraryVersion;
  return WriteKey(version, {{"", typelib::kLibraryHelpString}}) &&
         WriteKey(version + "\\0\\linux", {{"", libraryPath}}) &&
         WriteKey(version + "\\FLAGS", {{"", "0"}}) &&
         WriteKey(version + "\\HELPDIR", {{"", Directory(libraryPath)}});
}

bool RegisterControlClass(const std::string& libraryPath) {
  const std::string clsid = GuidToString(typelib::CLSID_Quillora);
  const std::string key = ClassKey(typelib::CLSID_Quillora);
  char status[16];
  std::snprintf(status, sizeof status, "%u", typelib::kMiscStatus);
  return WriteKey(typelib::kControlProgId, {{"", typelib::kTypeNameControl}}) &&
         WriteKey(std::string(typelib::kControlProgId) + "\\CLSID", {{"", clsid}}) &&
         WriteKey(key, {{"", typelib::kTypeNameControl}}) &&
         WriteKey(key + "\\InprocServer32",
                  {{"", libraryPath}, {"ThreadingModel", typelib::kThreadingModel}}) &&
         WriteKey(key + "\\ProgID", {{"", typelib::kControlProgId}}) &&
         WriteKey(key + "\\Control", {}) && WriteKey(key + "\\MiscStatus", {{"", "0"}}) &&
         WriteKey(key + "\\MiscStatus\\1", {{"", status}}) &&
         WriteKey(key + "\\TypeLib", {{"", GuidToString(typelib::LIBID_QUILLORALib)}}) &&
         WriteKey(key + "\\Version", {{"", typelib::kLibraryVersion}});
}

bool RegisterPropPageClass(const std::string& libraryPath) {
  const std::string key = ClassKey(typelib::CLSID_QuilloraPropPage);
  return WriteKey(key, {{"", typelib::kTypeNamePropPage}}) &&
         WriteKey(key + "\\InprocServer32",
                  {{"", libraryPath}, {"ThreadingModel", typelib::kThreadingModel}});
}

}  // namespace

platform::HRESULT RegisterServer(const std::string& libraryPath) {
  if (!RegisterTypeLibrary(libraryPath)) return platform::SELFREG_E_TYPELIB;
  if (!RegisterControlClass(libraryPath) || !RegisterPropPageClass(libraryPath)) {
    return platform::SELFREG_E_CLASS;
  }
  if (!ProvideOfferStore(Directory(libraryPath))) return platform::SELFREG_E_CLASS;
  return platform::S_OK;
}

platform::HRESULT UnregisterServer() {
  if (!Delete(TypeLibKey())) return platform::SELFREG_E_TYPELIB;
  if (!Delete(typelib::kControlProgId) || !Delete(ClassKey(typelib::CLSID_Quillora)) ||
      !Delete(ClassKey(typelib::CLSID_QuilloraPropPage))) {
    return platform::SELFREG_E_CLASS;
  }
  return platform::S_OK;
}

bool ProvideOfferStore(const std::string& moduleDir) {
  const std::string path = moduleDir + store::kFileName;
  struct stat existing {};
  if (stat(path.c_str(), &existing) == 0) return true;  // an existing store is never touched

  // Registration runs apart from the controls' work: its own register keeps a failure
  // here from blocking the controls of this process.
  ScopedErrorRegister registrationOnly;
  CXmlDocument document;
  XmlNode root = nullptr;
  XmlNode unused = nullptr;
  return document.CreateNew(store::kRoot, "", root) &&
         document.AddElement(store::kClassifier, unused, root) &&
         document.AddElement(store::kOffers, unused, root) && document.SaveFile(path);
}

}  // namespace quillora
