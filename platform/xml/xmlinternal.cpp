#include "platform/xml/xmlinternal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>

#include <libexslt/exslt.h>
#include <libxml/globals.h>
#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/uri.h>
#include <libxslt/documents.h>
#include <libxslt/security.h>
#include <libxslt/xsltutils.h>

#include "platform/rtl/encoding.h"
#include "platform/xml/xmldoc.h"

namespace xmlimpl {

namespace {

xsltDocLoaderFunc GLibraryLoader = nullptr;

bool IsNetworkURI(const xmlChar* URI) {
  if (URI == nullptr) return false;
  std::string uri(reinterpret_cast<const char*>(URI));
  size_t colon = uri.find("://");
  if (colon == std::string::npos) return false;
  std::string scheme = uri.substr(0, colon);
  for (char& c : scheme) c = char(std::tolower(static_cast<unsigned char>(c)));
  return scheme != "file";
}

// The local file a URI names ("" for none or for one that cannot be told).
std::string LocalPath(const xmlChar* URI) {
  xmlURIPtr uri = xmlParseURI(reinterpret_cast<const char*>(URI));
  if (uri == nullptr) return std::string();
  std::string path;
  bool local = uri->scheme == nullptr || std::string(uri->scheme) == "file";
  if (local && uri->path != nullptr) path = uri->path;
  xmlFreeURI(uri);
  return path;
}

// Every document the transformation reads (style sheets it imports or
// includes, files named by document()) is read as the main documents are:
// never over the network (not even a DTD they name), no external entity
// or DTD read, only regular files within the size limit. Internal entities
// of a style sheet become its text, as in the main style sheet.
xmlDocPtr HardenedLoader(const xmlChar* URI, xmlDictPtr dict, int options, void* ctxt,
                         xsltLoadType type) {
  if (IsNetworkURI(URI)) {
    xsltGenericError(xsltGenericErrorContext, "Reading \"%s\" over the network is not allowed\n",
                     reinterpret_cast<const char*>(URI));
    return nullptr;
  }
  std::string path = LocalPath(URI);
  struct stat info {};
  if (!path.empty() && ::stat(path.c_str(), &info) == 0) {
    std::string refusal = StringToUTF8(FileRefusal(info));
    if (!refusal.empty()) {
      xsltGenericError(xsltGenericErrorContext, "Cannot read \"%s\": %s\n", path.c_str(), refusal.c_str());
      return nullptr;
    }
  }
  options &= ~(XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR | XML_PARSE_DTDVALID | XML_PARSE_XINCLUDE);
  xmlDocPtr doc = GLibraryLoader(URI, dict, options | XML_PARSE_NONET, ctxt, type);
  if (doc == nullptr || type == XSLT_LOAD_DOCUMENT) return doc;
  int budget = StyleSheetEntityBudget;
  try {
    ResolveEntityReferences(reinterpret_cast<xmlNode*>(doc), doc, budget);
  } catch (const EXMLDocError& error) {
    xsltGenericError(xsltGenericErrorContext, "%s\n", StringToUTF8(error.Message).c_str());
    xmlFreeDoc(doc);
    return nullptr;
  }
  return doc;
}

void SetUp() {
  xmlInitParser();
  exsltRegisterAll();
  GLibraryLoader = xsltDocDefaultLoader;
  xsltSetLoaderFunc(HardenedLoader);
  xsltSecurityPrefsPtr prefs = xsltNewSecurityPrefs();
  for (xsltSecurityOption option : {XSLT_SECPREF_WRITE_FILE, XSLT_SECPREF_CREATE_DIRECTORY,
                                    XSLT_SECPREF_READ_NETWORK, XSLT_SECPREF_WRITE_NETWORK})
    xsltSetSecurityPrefs(prefs, option, xsltSecurityForbid);
  xsltSetDefaultSecurityPrefs(prefs);  // lives as long as the process
}

void StructuredHandler(void* Context, xmlErrorPtr Error) {
  if (Error == nullptr || Error->level == XML_ERR_NONE) return;
  static_cast<TErrorCapture*>(Context)->Add(Error->message ? Error->message : "unknown error",
                                            Error->line, Error->level >= XML_ERR_ERROR);
}

std::string TrimLineEnd(std::string Text) {
  while (!Text.empty() && (Text.back() == '\n' || Text.back() == '\r' || Text.back() == ' '))
    Text.pop_back();
  return Text;
}

[[noreturn]] void RaiseFileError(const String& Action, const String& FileName, int Code) {
  EXMLDocError error(Action + u" \"" + FileName + u"\": " + UTF8ToString(std::strerror(Code)));
  error.FileName = FileName;
  throw error;
}

bool WriteAll(int Fd, std::string_view Bytes) {
  while (!Bytes.empty()) {
    ssize_t written = ::write(Fd, Bytes.data(), Bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    Bytes.remove_prefix(size_t(written));
  }
  return true;
}

}  // namespace

void EnsureLibraries() {
  static std::once_flag once;
  std::call_once(once, SetUp);
}

std::string ToUTF8(std::u16string_view Text) { return StringToUTF8(Text); }

String FromUTF8(const unsigned char* Text) {
  return Text ? UTF8ToString(reinterpret_cast<const char*>(Text)) : String();
}

// ---- TErrorCapture ----------------------------------------------------------------

TErrorCapture::TErrorCapture()
    : FOldStructured(xmlStructuredError),
      FOldStructuredContext(xmlStructuredErrorContext),
      FOldGeneric(xmlGenericError),
      FOldGenericContext(xmlGenericErrorContext),
      FOldXslt(xsltGenericError),
      FOldXsltContext(xsltGenericErrorContext) {
  xmlSetStructuredErrorFunc(this, StructuredHandler);
  xmlSetGenericErrorFunc(this, &TErrorCapture::Generic);
  xsltSetGenericErrorFunc(this, &TErrorCapture::Generic);
}

TErrorCapture::~TErrorCapture() {
  xmlSetStructuredErrorFunc(FOldStructuredContext, FOldStructured);
  xmlSetGenericErrorFunc(FOldGenericContext, FOldGeneric);
  xsltSetGenericErrorFunc(FOldXsltContext, FOldXslt);
}

void TErrorCapture::Add(const std::string& Message, int Line, bool IsError) {
  std::string text = TrimLineEnd(Message);
  if (text.empty()) return;
  FAll += text + "\n";
  if (IsError && FFirstError.empty()) {
    FFirstError = text;
    FErrorLine = Line;
  } else if (!IsError && FFirstWarning.empty()) {
    FFirstWarning = text;
    FWarningLine = Line;
  }
}

void TErrorCapture::Generic(void* Context, const char* Format, ...) {
  auto* self = static_cast<TErrorCapture*>(Context);
  if (self == nullptr) return;
  char buffer[2048];
  va_list args;
  va_start(args, Format);
  std::vsnprintf(buffer, sizeof buffer, Format, args);
  va_end(args);
  // The channel delivers a message in pieces; a line end completes it.
  self->FPending += buffer;
  size_t end;
  while ((end = self->FPending.find('\n')) != std::string::npos) {
    self->Add(self->FPending.substr(0, end), 0, true);
    self->FPending.erase(0, end + 1);
  }
}

String FileRefusal(const struct stat& Info) {
  if (!S_ISREG(Info.st_mode)) return S_ISDIR(Info.st_mode) ? UTF8ToString(std::strerror(EISDIR)) : u"not a regular file";
  if (Int64(Info.st_size) > MaxXMLFileSize) return TooLargeReason();
  return String();
}

String TooLargeReason() {
  return u"larger than " + UTF8ToString(std::to_string(MaxXMLFileSize)) + u" bytes";
}

// ---- Entity references --------------------------------------------------------------

void ResolveEntityReferences(xmlNode* Node, xmlDoc* Source, int& Budget) {
  for (xmlNode* child = Node->children; child;) {
    if (child->type == XML_ELEMENT_NODE) ResolveEntityReferences(child, Source, Budget);
    if (child->type != XML_ENTITY_REF_NODE) {
      child = child->next;
      continue;
    }
    if (--Budget < 0) throw EXMLDocError(u"The style sheet's entities expand too far");
    xmlEntity* entity = xmlGetDocEntity(Source, child->name);
    xmlNode* first = nullptr;
    if (entity && entity->etype == XML_INTERNAL_GENERAL_ENTITY) {
      xmlNode* copies = entity->children ? xmlDocCopyNodeList(child->doc, entity->children)
                                         : xmlNewDocText(child->doc, entity->content);
      first = copies;
      while (copies) {
        xmlNode* next = copies->next;
        copies->next = copies->prev = nullptr;
        copies->parent = nullptr;
        xmlAddPrevSibling(child, copies);  // may merge a text into its neighbour
        copies = next;
      }
    }
    xmlNode* next = child->next;
    xmlUnlinkNode(child);
    xmlFreeNode(child);
    // Go on from the inserted copies: they may hold references themselves.
    child = first && first->parent == Node ? first : next;
  }
}

// ---- Atomic writing -----------------------------------------------------------------

void WriteFileAtomically(const String& FileName, std::string_view Bytes) {
  namespace fs = std::filesystem;
  static std::atomic<unsigned> counter{0};
  fs::path target(ToUTF8(FileName));
  fs::path folder = target.parent_path();
  std::string base = target.filename().string();
  if (base.empty()) RaiseFileError(u"Cannot write", FileName, EISDIR);

  int fd = -1;
  fs::path temp;
  for (int attempt = 0; fd < 0; ++attempt) {
    temp = folder / ("." + base + "." + std::to_string(::getpid()) + "." +
                     std::to_string(counter++) + ".tmp");
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && (errno != EEXIST || attempt > 100)) RaiseFileError(u"Cannot write", FileName, errno);
  }
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

  bool ok = WriteAll(fd, Bytes) && ::fsync(fd) == 0;
  int code = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    code = errno;
  }
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    code = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    RaiseFileError(u"Cannot write", FileName, code);
  }
}

}  // namespace xmlimpl
