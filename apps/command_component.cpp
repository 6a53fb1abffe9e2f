#include <cstdio>

#include "apps/commands.h"
#include "apps/json.h"
#include "platform/component_host.h"
#include "platform/dynamic_library.h"

namespace quillora::cli {

using platform::DispParams;
using platform::HRESULT;
using platform::Variant;

namespace {

constexpr char kControlProgId[] = "Velt.Quillora.1";

std::string Hex(HRESULT value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

std::string InstalledLibrary() {
  return ProgramDirectory() + "libquillora.so";
}

platform::ComponentObject Create(const std::string& progId) {
  platform::CreationResult created = platform::CreateComponent(progId);
  if (platform::Failed(created.status) || !created.object) {
    throw CommandFailure{
        0, "cannot create " + progId + " (" + Hex(created.status) + "): " + created.error};
  }
  return std::move(created.object);
}

int32_t DispIdOf(platform::IDispatch& object, const std::string& name) {
  const std::u16string wide = AnsiToWide(name);
  const platform::OLECHAR* names[] = {wide.c_str()};
  int32_t id = -1;
  if (platform::Failed(object.GetIDsOfNames(names, 1, &id))) {
    throw CommandFailure{0, "the object has no member " + name};
  }
  return id;
}

Variant Invoke(platform::IDispatch& object, const std::string& name, uint16_t flags,
               std::vector<Text> args) {
  DispParams params;
  for (const Text& arg : args) params.args.push_back(Variant::String(AnsiToWide(arg)));
  Variant result;
  platform::ExcepInfo exception;
  const HRESULT status = object.Invoke(DispIdOf(object, name), flags, params, &result, &exception);
  if (platform::Failed(status)) {
    std::string why = Hex(status);
    if (status == platform::DISP_E_EXCEPTION) why += " " + Hex(exception.scode);
    throw CommandFailure{0, name + " failed with " + why};
  }
  return result;
}

std::string ToJson(const Variant& value) {
  switch (value.type()) {
    case platform::VT_BSTR:
      return value.IsNullString() ? "null" : JsonString(WideToAnsi(value.AsString()));
    case platform::VT_BOOL:
      return value.AsBool() ? "true" : "false";
    case platform::VT_I2:
    case platform::VT_I4:
      return std::to_string(value.AsInt());
    default:
      return "null";
  }
}

// A step's argument: "@file" is the file's content, a double-quoted text is taken with
// \" and \\ escapes, anything else as it stands (without surrounding blanks).
Text ArgumentValue(std::string text, const Io& io) {
  const auto first = text.find_first_not_of(' ');
  const auto last = text.find_last_not_of(' ');
  text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
  if (!text.empty() && text[0] == '@') return io.ReadInput(text.substr(1));
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
    std::string out;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
      if (text[i] == '\\' && i + 2 < text.size()) ++i;
      out += text[i];
    }
    return io.Argument(out);
  }
  return io.Argument(text);
}

std::vector<Text> SplitArguments(const std::string& list, const Io& io) {
  std::vector<Text> args;
  if (list.find_first_not_of(' ') == std::string::npos) return args;
  std::string current;
  bool quoted = false;
  for (std::size_t i = 0; i < list.size(); ++i) {
    const char c = list[i];
    if (quoted && c == '\\' && i + 1 < list.size()) {
      current += c;
      current += list[++i];
      continue;
    }
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      args.push_back(ArgumentValue(current, io));
      current.clear();
      continue;
    }
    current += c;
  }
  args.push_back(ArgumentValue(current, io));
  return args;
}

void RunStep(platform::IDispatch& object, const std::string& step, const Io& io) {
  const auto open = step.find('(');
  const auto equals = step.find('=');
  if (open != std::string::npos && step.back() == ')' &&
      (equals == std::string::npos || open < equals)) {
    const std::string name = step.substr(0, open);
    const std::string list = step.substr(open + 1, step.size() - open - 2);
    const Variant result =
        Invoke(object, name, platform::DISPATCH_METHOD | platform::DISPATCH_PROPERTYGET,
               SplitArguments(list, io));
    std::printf("%s\n", ToJson(result).c_str());
  } else if (equals != std::string::npos) {
    const std::string name = step.substr(0, equals);
    const std::string value = step.substr(equals + 1);
    const Text text =
        !value.empty() && value[0] == '@' ? io.ReadInput(value.substr(1)) : io.Argument(value);
    Invoke(object, name, platform::DISPATCH_PROPERTYPUT, {text});
  } else {
    const Variant result = Invoke(object, step, platform::DISPATCH_PROPERTYGET, {});
    std::printf("%s\n", ToJson(result).c_str());
  }
  std::fflush(stdout);
}

using ServerEntry = HRESULT (*)();

int CallServerEntry(Arguments& args, const char* entry) {
  const auto operands = args.Operands(1);
  const std::string path = operands.empty() ? InstalledLibrary() : operands[0];
  platform::DynamicLibrary library(path);
  if (!library.IsLoaded())
    throw CommandFailure{0, "cannot load " + path + ": " + library.LoadError()};
  const auto function = library.Bind<ServerEntry>(entry);
  if (function == nullptr) throw CommandFailure{0, path + " has no " + entry};
  const HRESULT result = function();
  std::printf("%s %s\n", entry, Hex(result).c_str());
  return platform::Succeeded(result) ? 0 : 1;
}

}  // namespace

int RunRegister(Arguments& args, const Io&) {
  return CallServerEntry(args, "DllRegisterServer");
}

int RunUnregister(Arguments& args, const Io&) {
  return CallServerEntry(args, "DllUnregisterServer");
}

// quillora propose --dest NAME [--yes] [FILE]
int RunPropose(Arguments& args, const Io& io) {
  const auto dest = args.TakeOption("--dest");
  if (!dest) throw CommandFailure{0, "--dest NAME is required"};
  // Without a window system the offer is confirmed as given either way.
  args.TakeFlag("--yes");
  const auto operands = args.Operands(1);
  const Text xml = io.ReadInput(operands.empty() ? "" : operands[0]);

  platform::ComponentObject control = Create(kControlProgId);
  platform::IDispatch& object = *control.dispatch();
  Invoke(object, "DestLocation", platform::DISPATCH_PROPERTYPUT, {io.Argument(*dest)});
  const Variant result = Invoke(object, "MakeEncProposal", platform::DISPATCH_METHOD, {xml});
  const Text text = WideToAnsi(result.AsString());
  if (text.empty()) {
    const Variant code = Invoke(object, "LastError", platform::DISPATCH_METHOD, {});
    throw CommandFailure{code.AsInt(), result.IsNullString() ? "MakeEncProposal returned null"
                                                             : "MakeEncProposal returned nothing"};
  }
  io.WriteOutput(text);
  return 0;
}

// quillora call [--progid ID] STEP...
int RunCall(Arguments& args, const Io& io) {
  const std::string progId = args.TakeOption("--progid").value_or(kControlProgId);
  const auto steps = args.Operands(SIZE_MAX);
  platform::ComponentObject control = Create(progId);
  for (const std::string& step : steps) RunStep(*control.dispatch(), step, io);
  return 0;
}

}  // namespace quillora::cli
