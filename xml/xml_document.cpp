#include "xml/xml_document.h"

#include <fcntl.h>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlerror.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "control/error_register.h"
#include "xml/dom_node.h"

namespace quillora {
namespace {

// Codes recorded in the error register.
constexpr int32_t kSearchFailed = -3;
constexpr int32_t kNoDocument = -4;
constexpr int32_t kNoAttributeMap = -6;
constexpr int32_t kChangeFailed = -8;
constexpr int32_t kDomCallFailed = -9;
constexpr int32_t kNotWellFormed = -10;
constexpr int32_t kCannotOpen = -21;
constexpr int32_t kCannotCreate = -22;
constexpr int32_t kCannotWrite = -24;

constexpr char kEncoding[] = "windows-1251";
// What a saved document starts with: it names the encoding its bytes are really in, so
// any XML reader decodes the file right.
constexpr char kSavedDeclaration[] = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n";
// The value of the declaration node a parsed document gets.
constexpr char kParsedDeclarationData[] = "version='1.0' encoding='windows-1251'";
constexpr char kSkeletonDeclarationData[] = "version='1.0'";
constexpr char kFirstComment[] = "Velt.Quillora data file";
constexpr char kSecondComment[] =
    "NOTE - Velt.Quillora will add and remove data here. \n\tDO NOT EDIT what you see in "
    "these blocks of generated code!";
constexpr std::size_t kReadPiece = 1024;

// Huge mode lifts libxml2's 10 MB limit on one text node, which a store with a large
// offer needs. Entities stay references, and the network is never asked.
// NOBLANKS lets the parser skip most blank text between elements as it goes; the pass
// after the parse removes the blank text it keeps (the content of an element holding
// nothing but blanks, for one).
constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_IGNORE_ENC | XML_PARSE_HUGE | XML_PARSE_NOBLANKS;

bool Fail(int32_t code) {
  RecordError(code);
  return false;
}

const xmlChar* Xml(const std::string& utf8) {
  return reinterpret_cast<const xmlChar*>(utf8.c_str());
}

Text FromUtf8(const xmlChar* utf8) {
  return utf8 == nullptr ? Text() : Utf8ToAnsi(reinterpret_cast<const char*>(utf8));
}

// libxml2 lays out a document like a node up to the links, and links the top-level nodes
// to it as their parent.
xmlNode* AsNode(xmlDoc* doc) {
  return reinterpret_cast<xmlNode*>(doc);
}

struct ParserContextDeleter {
  void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
struct XmlStringDeleter {
  void operator()(xmlChar* text) const { xmlFree(text); }
};
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// ---- Parsing -----------------------------------------------------------------------

struct ParseState {
  bool failed = false;
  // Entity look-ups left. Entities stay references in the tree, but libxml2 still expands
  // an attribute value to check it, and in huge mode it sets no bound on that: a few
  // nested declarations could then make it run for ever.
  long lookupsLeft = 0;
};

ParseState& StateOf(void* context) {
  return *static_cast<ParseState*>(static_cast<xmlParserCtxt*>(context)->_private);
}

// Nothing reaches stderr. Any error fails the parse, also those after which libxml2
// still calls the text well-formed (an undeclared entity behind an external subset,
// which it reports under a warning's code). A prefix without a namespace declaration is
// still well-formed XML 1.0 and passes.
void OnParseError(void* context, xmlError* error) {
  if (error->domain == XML_FROM_NAMESPACE) return;
  if (error->level >= XML_ERR_ERROR || error->code == XML_WAR_UNDECLARED_ENTITY) {
    StateOf(context).failed = true;
  }
}

xmlEntity* LookUpEntity(void* context, const xmlChar* name) {
  ParseState& state = StateOf(context);
  if (--state.lookupsLeft < 0) {
    if (!state.failed) xmlStopParser(static_cast<xmlParserCtxt*>(context));
    state.failed = true;
    return nullptr;
  }
  return xmlSAX2GetEntity(context, name);
}

bool IsBlank(const xmlChar* text) {
  if (text == nullptr) return true;
  for (; *text != 0; ++text) {
    if (*text != ' ' && *text != '\t' && *text != '\r' && *text != '\n') return false;
  }
  return true;
}

// The node after `node` in document order below `top`. Only elements are entered: what
// hangs below an entity reference or a document type belongs to the declarations.
xmlNode* NextInDocumentOrder(xmlNode* node, const xmlNode* top) {
  if (node->type == XML_ELEMENT_NODE && node->children != nullptr) return node->children;
  while (node != top) {
    if (node->next != nullptr) return node->next;
    node = node->parent;
  }
  return nullptr;
}

// Text nodes of white space only are not kept: indentation must never reach the
// pre-sign sequence or a node count.
void DropBlankText(xmlDoc* doc) {
  xmlNode* const top = AsNode(doc);
  xmlNode* node = doc->children;
  while (node != nullptr) {
    xmlNode* const next = NextInDocumentOrder(node, top);
    if (node->type == XML_TEXT_NODE && IsBlank(node->content)) {
      xmlUnlinkNode(node);
      xmlFreeNode(node);
    }
    node = next;
  }
}

// Links without merging: xmlAddChild would fold a new text node into a text node before
// it and hand back the old one.
void LinkLast(xmlNode* parent, xmlNode* child) {
  child->parent = parent;
  child->prev = parent->last;
  child->next = nullptr;
  if (parent->last != nullptr) {
    parent->last->next = child;
  } else {
    parent->children = child;
  }
  parent->last = child;
}

void LinkFirst(xmlNode* parent, xmlNode* child) {
  child->parent = parent;
  child->prev = nullptr;
  child->next = parent->children;
  if (parent->children != nullptr) {
    parent->children->prev = child;
  } else {
    parent->last = child;
  }
  parent->children = child;
}

bool IsDeclaration(const xmlNode* node) {
  return node->type == XML_PI_NODE && xmlStrEqual(node->name, BAD_CAST "xml");
}

bool HasDeclaration(xmlDoc* doc) {
  for (const xmlNode* child = doc->children; child != nullptr; child = child->next) {
    if (IsDeclaration(child)) return true;
  }
  return false;
}

// The declaration leads the document as its first child, so that walks and counts see
// it and the climb of RemoveNode stops at a document that still holds it.
bool PrependDeclaration(xmlDoc* doc, const char* data) {
  xmlNode* declaration = xmlNewDocPI(doc, BAD_CAST "xml", BAD_CAST data);
  if (declaration == nullptr) return false;
  LinkFirst(AsNode(doc), declaration);
  return true;
}

// Attribute values are written as their characters rather than as references only when
// the document names an encoding.
void NameEncoding(xmlDoc* doc) {
  if (doc->encoding != nullptr) xmlFree(const_cast<xmlChar*>(doc->encoding));
  doc->encoding = xmlStrdup(BAD_CAST kEncoding);
}

// Hands the parser the fixed declaration and then the text, converted to UTF-8 piece by
// piece as the parser asks for more. No converted copy of a whole store is ever made,
// which costs more than the parse itself on a 20 MB store.
class Utf8Feed {
 public:
  Utf8Feed(std::string_view declaration, std::string_view content)
      : piece_(declaration), content_(content) {}

  static int Read(void* context, char* buffer, int length) {
    return static_cast<Utf8Feed*>(context)->Fill(buffer, static_cast<std::size_t>(length));
  }

 private:
  static constexpr std::size_t kPieceBytes = 16 * 1024;

  int Fill(char* buffer, std::size_t length) {
    std::size_t written = 0;
    while (written < length) {
      if (used_ == piece_.size()) {
        if (content_.empty()) break;
        const std::size_t take = std::min(content_.size(), kPieceBytes);
        piece_ = AnsiToUtf8(content_.substr(0, take));
        content_.remove_prefix(take);
        used_ = 0;
      }
      const std::size_t copy = std::min(length - written, piece_.size() - used_);
      std::memcpy(buffer + written, piece_.data() + used_, copy);
      used_ += copy;
      written += copy;
    }
    return static_cast<int>(written);  // 0 once everything went
  }

  std::string piece_;
  std::size_t used_ = 0;
  std::string_view content_;
};

// Parses the fixed declaration followed by `content` (Windows-1251); nullptr unless the
// whole is well-formed.
xmlDoc* Parse(std::string_view declaration, std::string_view content) {
  std::unique_ptr<xmlParserCtxt, ParserContextDeleter> context(xmlNewParserCtxt());
  if (!context) return nullptr;
  ParseState state;
  // A reference takes at least three bytes of the text, so legitimate look-ups stay far
  // below this; a chain of nested declarations runs out of it within milliseconds.
  state.lookupsLeft =
      static_cast<long>(std::min<std::size_t>(content.size(), LONG_MAX / 32)) * 16 + 4096;
  context->_private = &state;
  context->sax->serror = &OnParseError;
  context->sax->getEntity = &LookUpEntity;
  Utf8Feed feed(declaration, content);
  xmlDoc* doc = xmlCtxtReadIO(context.get(), &Utf8Feed::Read, nullptr, &feed, nullptr, nullptr,
                              kParseOptions);
  if (doc != nullptr && (state.failed || !context->wellFormed)) {
    xmlFreeDoc(doc);
    doc = nullptr;
  }
  return doc;
}

// ---- Reading the tree --------------------------------------------------------------

// Whether the node's qualified name ("prefix:local" or "local") is `name`.
bool HasQualifiedName(const xmlNode* node, std::string_view name) {
  const auto* local = reinterpret_cast<const char*>(node->name);
  if (local == nullptr) return false;
  if (node->ns != nullptr && node->ns->prefix != nullptr) {
    const std::string_view prefix = reinterpret_cast<const char*>(node->ns->prefix);
    if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix ||
        name[prefix.size()] != ':') {
      return false;
    }
    name.remove_prefix(prefix.size() + 1);
  }
  return name == local;
}

// Every element of that name in document order; with `firstOnly` the walk ends at the
// first one.
std::vector<XmlNode> ElementsNamed(xmlDoc* doc, std::string_view name, bool firstOnly) {
  std::vector<XmlNode> found;
  xmlNode* const top = AsNode(doc);
  for (xmlNode* node = doc->children; node != nullptr; node = NextInDocumentOrder(node, top)) {
    if (node->type == XML_ELEMENT_NODE && HasQualifiedName(node, name)) {
      found.push_back(node);
      if (firstOnly) break;
    }
  }
  return found;
}

xmlAttr* FindAttribute(xmlNode* element, std::string_view name) {
  for (xmlAttr* attribute = element->properties; attribute != nullptr;
       attribute = attribute->next) {
    if (HasQualifiedName(reinterpret_cast<const xmlNode*>(attribute), name)) return attribute;
  }
  return nullptr;
}

// Namespace declarations are attributes to the DOM; libxml2 keeps them apart.
const xmlNs* FindNamespaceDeclaration(const xmlNode* element, std::string_view name) {
  constexpr std::string_view kXmlns = "xmlns";
  if (name.substr(0, kXmlns.size()) != kXmlns) return nullptr;
  name.remove_prefix(kXmlns.size());
  const bool isDefault = name.empty();
  if (!isDefault && name.front() != ':') return nullptr;
  if (!isDefault) name.remove_prefix(1);
  for (const xmlNs* ns = element->nsDef; ns != nullptr; ns = ns->next) {
    if (isDefault ? ns->prefix == nullptr
                  : ns->prefix != nullptr && name == reinterpret_cast<const char*>(ns->prefix)) {
      return ns;
    }
  }
  return nullptr;
}

// ---- Building ----------------------------------------------------------------------

bool IsName(const std::string& utf8) {
  return !utf8.empty() && xmlValidateName(Xml(utf8), 0) == 0;
}

// Control characters cannot be written into XML 1.0 at all, not even as references: a
// value holding one would make the saved file unreadable as a whole.
bool CanBeWritten(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') return false;
  }
  return true;
}

// Markup that would end the node early, written into its value.
bool FitsInto(const xmlNode* node, std::string_view value) {
  switch (node->type) {
    case XML_COMMENT_NODE:
      return value.find("--") == std::string_view::npos && (value.empty() || value.back() != '-');
    case XML_PI_NODE:
      return value.find("?>") == std::string_view::npos;
    case XML_CDATA_SECTION_NODE:
      return value.find("]]>") == std::string_view::npos;
    default:
      return true;
  }
}

// ---- Serialising -------------------------------------------------------------------

int AppendOutput(void* context, const char* bytes, int length) {
  static_cast<std::string*>(context)->append(bytes, static_cast<std::size_t>(length));
  return length;
}

std::size_t LengthOf(const xmlChar* text) {
  return text == nullptr ? 0 : static_cast<std::size_t>(xmlStrlen(text));
}

// About the size of the markup from `first` on, up to the end of `top`: reserved up front,
// the output is not copied again and again while it grows to a store's 20 MB.
std::size_t MarkupSizeHint(xmlNode* first, const xmlNode* top) {
  std::size_t size = 64;
  for (xmlNode* node = first; node != nullptr; node = NextInDocumentOrder(node, top)) {
    size += 16 + LengthOf(node->content) + 2 * LengthOf(node->name);
    if (node->type != XML_ELEMENT_NODE) continue;
    for (const xmlAttr* attribute = node->properties; attribute != nullptr;
         attribute = attribute->next) {
      size += 4 + LengthOf(attribute->name);
      for (const xmlNode* text = attribute->children; text != nullptr; text = text->next) {
        size += LengthOf(text->content);
      }
    }
  }
  return size + size / 8;
}

// The markup of one node, or with node == nullptr of the whole document behind a
// declaration naming windows-1251, in Windows-1251 bytes. libxml2 writes a character the
// code page lacks as a character reference, so nothing is lost.
bool Serialise(xmlDoc* doc, xmlNode* node, Text& markup) {
  xmlCharEncodingHandler* encoder = xmlFindCharEncodingHandler(kEncoding);
  if (encoder == nullptr) return false;
  std::string out;
  out.reserve(node == nullptr ? MarkupSizeHint(doc->children, AsNode(doc))
                              : MarkupSizeHint(node, node));
  xmlOutputBuffer* buffer = xmlOutputBufferCreateIO(&AppendOutput, nullptr, &out, encoder);
  if (buffer == nullptr) {
    xmlCharEncCloseFunc(encoder);
    return false;
  }
  if (node == nullptr) {
    xmlOutputBufferWriteString(buffer, kSavedDeclaration);
    for (xmlNode* child = doc->children; child != nullptr; child = child->next) {
      if (IsDeclaration(child)) continue;  // the one written above takes its place
      xmlNodeDumpOutput(buffer, doc, child, 0, 0, kEncoding);
      xmlOutputBufferWriteString(buffer, "\n");
    }
  } else {
    xmlNodeDumpOutput(buffer, doc, node, 0, 0, kEncoding);
  }
  if (xmlOutputBufferClose(buffer) < 0) return false;
  // libxml2 writes an attribute with the blank that separates it from its element.
  if (node != nullptr && node->type == XML_ATTRIBUTE_NODE && !out.empty() && out.front() == ' ') {
    out.erase(0, 1);
  }
  markup = std::move(out);
  return true;
}

// ---- Files -------------------------------------------------------------------------

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and reports whether the close went through (it can carry a late write error).
  bool Close() {
    const int fd = std::exchange(fd_, -1);
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// A new file next to `target` that nobody else has, with permissions from the umask.
int CreateTemporaryBeside(const std::string& target, std::string& name) {
  static unsigned counter = 0;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::size_t slash = target.rfind('/');
  const std::string directory = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  // Cut short, so a long file name still leaves room for the suffix within NAME_MAX.
  const std::string base =
      (slash == std::string::npos ? target : target.substr(slash + 1)).substr(0, 128);
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = directory + "." + base + "." + std::to_string(::getpid()) + "." + std::to_string(stamp) +
           "." + std::to_string(++counter) + ".tmp";
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Replaces the file's content as a whole: the text goes to a temporary file beside it,
// reaches the disk, and is renamed over the file. Whatever fails, the old file stays as
// it was. Returns 0 or the code to record.
int32_t ReplaceFile(const std::string& path, std::string_view bytes) {
  // Through a symbolic link the file it points to is replaced; the link stays.
  std::string target = path;
  struct stat link {};
  if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    if (char* resolved = ::realpath(path.c_str(), nullptr)) {
      target = resolved;
      std::free(resolved);
    }
  }
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  // A directory, a device or a pipe is not a file whose content can be replaced.
  if (exists && !S_ISREG(existing.st_mode)) return kCannotOpen;
  // Nor is a file this process may not write to, though the directory would let the
  // rename replace it.
  if (exists && ::access(target.c_str(), W_OK) != 0) return kCannotOpen;

  std::string temporaryName;
  Descriptor temporary(CreateTemporaryBeside(target, temporaryName));
  if (temporary.get() < 0) return kCannotOpen;
  auto discard = [&](int32_t code) {
    ::unlink(temporaryName.c_str());
    return code;
  };
  if (exists) {
    // The new file takes the old one's place with its permissions and, where allowed, its
    // owner.
    if (::fchmod(temporary.get(), existing.st_mode & 07777) != 0) return discard(kCannotOpen);
    if (existing.st_uid != ::geteuid() || existing.st_gid != ::getegid()) {
      if (::fchown(temporary.get(), existing.st_uid, existing.st_gid) != 0) {
        // Only the owner differs: the content still goes where it belongs.
      }
    }
  }
  if (!WriteAll(temporary.get(), bytes) || ::fsync(temporary.get()) != 0 || !temporary.Close()) {
    return discard(kCannotWrite);
  }
  if (::rename(temporaryName.c_str(), target.c_str()) != 0) return discard(kCannotOpen);
  // The rename itself reaches the disk with the directory.
  Descriptor directory(::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() >= 0) ::fsync(directory.get());
  return 0;
}

}  // namespace

// ---- The document ------------------------------------------------------------------

void CXmlDocument::DocDeleter::operator()(_xmlDoc* doc) const {
  xmlFreeDoc(doc);
}

void CXmlDocument::NodeDeleter::operator()(_xmlNode* node) const {
  xmlFreeNode(node);
}

CXmlDocument::CXmlDocument() : doc_(xmlNewDoc(BAD_CAST "1.0")) {
  if (!doc_) {
    RecordError(kNoDocument);
    return;
  }
  NameEncoding(doc_.get());
}

CXmlDocument::~CXmlDocument() = default;

bool CXmlDocument::LoadFileText(const Text& fileName, Text& text) {
  if (ErrorRecorded()) return false;
  const Text name = fileName.empty() ? Text(kDefaultFileName) : fileName;
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name.c_str(), "rbe"));
  if (!file) return Fail(kCannotOpen);
  struct stat status {};
  if (::fstat(::fileno(file.get()), &status) != 0 || S_ISDIR(status.st_mode)) {
    return Fail(kCannotOpen);
  }
  Text content;
  if (S_ISREG(status.st_mode)) content.reserve(static_cast<std::size_t>(status.st_size));
  char piece[kReadPiece];
  for (;;) {
    const std::size_t read = std::fread(piece, 1, sizeof piece, file.get());
    // Each piece counts up to its first zero byte, as a text ended there would.
    if (read > 0) content.append(piece, ::strnlen(piece, read));
    if (read < sizeof piece) {
      if (std::ferror(file.get())) return false;  // a failed read records no code
      break;
    }
  }
  if (content.empty()) return false;
  text = std::move(content);
  return true;
}

bool CXmlDocument::LoadXml(const Text& text, Text* /*errorText*/) {
  if (ErrorRecorded()) return false;
  // Whatever declaration the text has is replaced: its content is always Windows-1251.
  std::string_view content = text;
  if (const std::size_t end = content.find("?>"); end != std::string_view::npos) {
    content.remove_prefix(end + 2);
  }
  // libxml2 gives no source line for a failed parse: the error text stays as it was.
  xmlDoc* parsed = Parse(kDeclaration, content);
  if (parsed == nullptr) return Fail(kNotWellFormed);
  std::unique_ptr<_xmlDoc, DocDeleter> loaded(parsed);
  DropBlankText(parsed);
  if (!PrependDeclaration(parsed, kParsedDeclarationData)) return Fail(kNotWellFormed);
  NameEncoding(parsed);
  detached_.clear();
  doc_ = std::move(loaded);
  return true;
}

bool CXmlDocument::WriteFileText(const Text& fileName, const Text& text) {
  if (fileName.empty() || text.empty()) return false;
  if (ErrorRecorded()) return false;
  const int32_t code = ReplaceFile(fileName, text);
  return code == 0 || Fail(code);
}

bool CXmlDocument::CreateNew(const Text& rootName, const Text& encoding, XmlNode& root) {
  if (ErrorRecorded()) return false;
  xmlDoc* const doc = doc_.get();
  // A document holds one root element; the check comes first so a refused call adds no
  // comments either.
  if (doc == nullptr || xmlDocGetRootElement(doc) != nullptr) return Fail(kCannotCreate);
  const std::string name = AnsiToUtf8(rootName);
  if (!IsName(name)) return Fail(kCannotCreate);
  std::unique_ptr<_xmlNode, NodeDeleter> element(xmlNewDocNode(doc, nullptr, Xml(name), nullptr));
  if (!element) return Fail(kCannotCreate);

  // A document keeps one declaration: a loaded store whose root went still has its own.
  if (!HasDeclaration(doc)) PrependDeclaration(doc, kSkeletonDeclarationData);
  if (!encoding.empty()) {
    const std::string data = AnsiToUtf8(encoding);
    if (CanBeWritten(data) && data.find("?>") == std::string::npos) {
      if (xmlNode* pi = xmlNewDocPI(doc, BAD_CAST "encoding", Xml(data))) LinkLast(AsNode(doc), pi);
    }
  }
  for (const char* comment : {kFirstComment, kSecondComment}) {
    xmlNode* node = xmlNewDocComment(doc, BAD_CAST comment);
    if (node == nullptr) return Fail(kCannotCreate);
    LinkLast(AsNode(doc), node);
  }
  xmlNode* const appended = element.release();
  LinkLast(AsNode(doc), appended);
  if (!SetAttribute("Gen", "Velt.Quillora", appended) || !SetAttribute("Ver", "1.0", appended)) {
    return false;
  }
  root = appended;
  return true;
}

bool CXmlDocument::AddElement(const Text& name, XmlNode& element, XmlNode parent) {
  if (ErrorRecorded()) return false;
  xmlDoc* const doc = doc_.get();
  if (doc == nullptr) return Fail(kCannotCreate);
  xmlNode* const target = parent != nullptr ? parent : AsNode(doc);
  // Elements go below an element of this document, or make the root of a document
  // without one.
  const bool accepts =
      target->doc == doc &&
      (target->type == XML_ELEMENT_NODE || (target == AsNode(doc) && !xmlDocGetRootElement(doc)));
  const std::string utf8 = AnsiToUtf8(name);
  if (!accepts || !IsName(utf8)) return Fail(kCannotCreate);
  xmlNode* created = xmlNewDocNode(doc, nullptr, Xml(utf8), nullptr);
  if (created == nullptr) return Fail(kCannotCreate);
  LinkLast(target, created);
  element = created;
  return true;
}

bool CXmlDocument::GetAttribute(const Text& name, Text& value, XmlNode node) {
  if (ErrorRecorded()) return false;
  // Only elements have attributes; the document (no node) has none.
  if (node == nullptr || node->type != XML_ELEMENT_NODE) return Fail(kNoAttributeMap);
  const std::string utf8 = AnsiToUtf8(name);
  if (xmlAttr* attribute = FindAttribute(node, utf8)) {
    // Entity references in the value read as the text they stand for.
    std::unique_ptr<xmlChar, XmlStringDeleter> text(
        xmlNodeListGetString(attribute->doc, attribute->children, 1));
    value = FromUtf8(text.get());
    return true;
  }
  if (const xmlNs* ns = FindNamespaceDeclaration(node, utf8)) {
    value = FromUtf8(ns->href);
    return true;
  }
  value.clear();
  return true;
}

bool CXmlDocument::SetAttribute(const Text& name, const Text& value, XmlNode node) {
  if (ErrorRecorded()) return false;
  xmlDoc* const doc = doc_.get();
  if (doc == nullptr) return Fail(kDomCallFailed);
  xmlNode* element = node != nullptr ? node : xmlDocGetRootElement(doc);
  if (element == nullptr || element->type != XML_ELEMENT_NODE) return Fail(kDomCallFailed);
  const std::string utf8Name = AnsiToUtf8(name);
  if (element->doc != doc || !IsName(utf8Name) || !CanBeWritten(value)) {
    return Fail(kChangeFailed);
  }
  const std::string utf8Value = AnsiToUtf8(value);
  // An attribute of that name keeps its place (and namespace) and takes the new value.
  xmlAttr* existing = FindAttribute(element, utf8Name);
  xmlAttr* set = existing != nullptr
                     ? xmlSetNsProp(element, existing->ns, existing->name, Xml(utf8Value))
                     : xmlSetNsProp(element, nullptr, Xml(utf8Name), Xml(utf8Value));
  return set != nullptr || Fail(kChangeFailed);
}

Text CXmlDocument::GetXml() {
  Text markup;
  GetNodeXml(markup);
  return markup;
}

bool CXmlDocument::FindElements(const Text& tagName, XmlNodeList& list, int32_t& count) {
  if (ErrorRecorded()) return false;
  if (tagName.empty()) return false;
  if (!doc_) return Fail(kSearchFailed);
  list = XmlNodeList(ElementsNamed(doc_.get(), AnsiToUtf8(tagName), false));
  count = list.Length();
  return true;
}

bool CXmlDocument::FindFirstElement(const Text& tagName, XmlNode& node) {
  if (ErrorRecorded()) return false;
  if (tagName.empty()) return false;
  if (!doc_) return Fail(kSearchFailed);
  const std::vector<XmlNode> found = ElementsNamed(doc_.get(), AnsiToUtf8(tagName), true);
  if (found.empty()) return false;  // not finding an element is no error
  node = found.front();
  return true;
}

bool CXmlDocument::GetNodeText(Text& text, XmlNode node) {
  if (ErrorRecorded()) return false;
  Text result;
  if (node != nullptr && dom::HasChildNodes(node)) {
    // The first text child only: CDATA, comments, references and the text inside child
    // elements are passed over.
    for (xmlNode* child = node->children; child != nullptr; child = child->next) {
      if (child->type == XML_TEXT_NODE) {
        result = FromUtf8(child->content);
        break;
      }
    }
  }
  text = std::move(result);
  return true;
}

bool CXmlDocument::GetListItem(const XmlNodeList& list, int32_t index, XmlNode& node) {
  if (ErrorRecorded()) return false;
  XmlNode item = list.Item(index);
  if (item == nullptr) return Fail(kDomCallFailed);
  node = item;
  return true;
}

bool CXmlDocument::GetDocumentElement(XmlNode& element) {
  if (ErrorRecorded()) return false;
  xmlNode* root = doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr;
  if (root == nullptr) return Fail(kDomCallFailed);
  element = root;
  return true;
}

bool CXmlDocument::GetNodeName(XmlNode node, Text& name) {
  if (ErrorRecorded()) return false;
  if (node == nullptr) return Fail(kDomCallFailed);
  name = dom::Name(node);
  return true;
}

bool CXmlDocument::GetChildNodes(XmlNodeList& list, XmlNode node) {
  if (ErrorRecorded()) return false;
  if (node == nullptr && !doc_) return Fail(kDomCallFailed);
  list = dom::Children(node != nullptr ? node : AsNode(doc_.get()));
  return true;
}

bool CXmlDocument::GetListLength(int32_t& count, const XmlNodeList* list) {
  if (ErrorRecorded()) return false;
  if (list == nullptr) {
    if (!doc_) return Fail(kDomCallFailed);
    count = dom::Children(AsNode(doc_.get())).Length();
    return true;
  }
  if (list->IsNull()) return Fail(kDomCallFailed);
  count = list->Length();
  return true;
}

bool CXmlDocument::GetNodeXml(Text& text, XmlNode node) {
  if (ErrorRecorded()) return false;
  if (!doc_) return Fail(kDomCallFailed);
  xmlDoc* const doc = doc_.get();
  // The document node itself, handed back as a parent, means the whole document too.
  if (node == AsNode(doc)) node = nullptr;
  return Serialise(node != nullptr ? node->doc : doc, node, text) || Fail(kDomCallFailed);
}

bool CXmlDocument::GetChildText(XmlNode parent, const Text& childName, Text& text) {
  if (ErrorRecorded()) return false;
  if (parent == nullptr) return false;
  XmlNodeList children;
  int32_t count = 0;
  if (!GetChildNodes(children, parent) || !GetListLength(count, &children)) return false;
  for (int32_t i = 0; i < count; ++i) {
    XmlNode child = nullptr;
    Text name;
    if (!GetListItem(children, i, child) || !GetNodeName(child, name)) return false;
    if (name == childName) {
      GetNodeText(text, child);
      return true;
    }
  }
  return true;  // no such child: the destination keeps what it had
}

bool CXmlDocument::RemoveNode(XmlNode node, bool removeEmptyParents) {
  if (ErrorRecorded()) return false;
  if (node == nullptr) return false;
  // The document and an attribute have no parent in the DOM, nor has a removed node.
  const bool hasParent = node->type != XML_DOCUMENT_NODE && node->type != XML_ATTRIBUTE_NODE &&
                         node->parent != nullptr;
  if (!hasParent) return Fail(kDomCallFailed);
  xmlNode* const parent = node->parent;
  xmlUnlinkNode(node);
  detached_.emplace_back(node);
  if (removeEmptyParents) {
    bool hasChildren = false;
    if (!HasChildren(parent, &hasChildren, nullptr)) return false;
    // Climbing past an emptied document records -9; the removal itself still stands.
    if (!hasChildren) RemoveNode(parent, true);
  }
  return true;
}

bool CXmlDocument::HasChildren(XmlNode node, bool* hasChildren, int32_t* count) {
  if (ErrorRecorded()) return false;
  if (node == nullptr || hasChildren == nullptr) return false;
  *hasChildren = dom::HasChildNodes(node);
  if (count != nullptr) *count = dom::Children(node).Length();
  return true;
}

bool CXmlDocument::SaveFile(const Text& fileName) {
  Text markup;
  return GetNodeXml(markup) && WriteFileText(fileName, markup);
}

bool CXmlDocument::SetNodeValue(const Text& value, XmlNode node) {
  if (ErrorRecorded()) return false;
  // Elements, the document and entity references carry no value of their own.
  if (node == nullptr || !CanBeWritten(value)) return Fail(kDomCallFailed);
  const std::string utf8 = AnsiToUtf8(value);
  switch (node->type) {
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
      if (!FitsInto(node, utf8)) return Fail(kDomCallFailed);
      xmlNodeSetContent(node, Xml(utf8));
      return true;
    case XML_ATTRIBUTE_NODE:
      if (node->parent == nullptr) return Fail(kDomCallFailed);
      // In place, as the value is taken literally (xmlNodeSetContent would read "&" as the
      // start of a reference).
      return xmlSetNsProp(node->parent, node->ns, node->name, Xml(utf8)) != nullptr ||
             Fail(kDomCallFailed);
    default:
      return Fail(kDomCallFailed);
  }
}

bool CXmlDocument::AppendTextNode(const Text& /*name*/, XmlNode& node, XmlNode parent) {
  if (ErrorRecorded()) return false;
  xmlDoc* const doc = doc_.get();
  // Text goes below an element of this document only: the document itself takes none.
  if (doc == nullptr || parent == nullptr || parent->type != XML_ELEMENT_NODE ||
      parent->doc != doc) {
    return Fail(kChangeFailed);
  }
  xmlNode* text = xmlNewDocText(doc, BAD_CAST "");
  if (text == nullptr) return Fail(kChangeFailed);
  LinkLast(parent, text);
  node = text;
  return true;
}

}  // namespace quillora
