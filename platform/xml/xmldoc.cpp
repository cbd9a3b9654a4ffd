#include "platform/xml/xmldoc.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

#include <libxml/entities.h>
#include <libxml/parser.h>
#include <libxml/SAX2.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

#include "platform/rtl/encoding.h"
#include "platform/xml/xmlinternal.h"

using xmlimpl::FromUTF8;
using xmlimpl::ToUTF8;

namespace {

const xmlChar* X(const std::string& Text) { return reinterpret_cast<const xmlChar*>(Text.c_str()); }

[[noreturn]] void Fail(const String& Message) { throw EXMLDocError(Message); }

// Splits "p:local" into its prefix and local name ("" and the name when
// there is no prefix).
void SplitName(const String& Name, String& Prefix, String& Local) {
  size_t colon = Name.find(u':');
  if (colon == String::npos) {
    Prefix.clear();
    Local = Name;
  } else {
    Prefix = Name.substr(0, colon);
    Local = Name.substr(colon + 1);
  }
}

void CheckName(const String& Name) {
  String prefix, local;
  SplitName(Name, prefix, local);
  bool valid = xmlValidateNCName(X(ToUTF8(local)), 0) == 0 &&
               (prefix.empty() || xmlValidateNCName(X(ToUTF8(prefix)), 0) == 0);
  if (!valid) Fail(u"\"" + Name + u"\" is not a valid XML name");
}

// Text that XML 1.0 can hold: no control characters other than tab, line
// feed and carriage return, and no U+FFFE or U+FFFF.
void CheckText(const String& Text) {
  for (Char c : Text) {
    bool bad = (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0xFFFE || c == 0xFFFF;
    if (bad) {
      char code[8];
      std::snprintf(code, sizeof code, "%04X", unsigned(c));
      Fail(u"The text holds the character U+" + UTF8ToString(code) + u", which XML cannot store");
    }
  }
}

String QualifiedName(const xmlNode* Node, const xmlNs* Ns) {
  String name = FromUTF8(Node->name);
  if (Ns != nullptr && Ns->prefix != nullptr) name = FromUTF8(Ns->prefix) + u":" + name;
  return name;
}

bool IsElement(const xmlNode* Node) { return Node->type == XML_ELEMENT_NODE; }

bool IsDocument(const xmlNode* Node) {
  return Node->type == XML_DOCUMENT_NODE || Node->type == XML_HTML_DOCUMENT_NODE;
}

bool IsBlank(const xmlChar* Text) {
  for (; Text != nullptr && *Text; ++Text)
    if (*Text != ' ' && *Text != '\t' && *Text != '\n' && *Text != '\r') return false;
  return true;
}

// Drops the whitespace-only text nodes of an element whose other children
// are not text: that whitespace is indentation. Text that stands with
// other text (mixed content) and the blanks that are an element's only
// content stay.
void StripIndentation(xmlNode* Element) {
  bool structure = false, text = false;
  for (xmlNode* child = Element->children; child; child = child->next) {
    if (child->type != XML_TEXT_NODE)
      structure = true;
    else if (!IsBlank(child->content))
      text = true;
  }
  bool strip = structure && !text && xmlNodeGetSpacePreserve(Element) != 1;
  for (xmlNode* child = Element->children; child;) {
    xmlNode* next = child->next;
    if (child->type == XML_ELEMENT_NODE) {
      StripIndentation(child);
    } else if (strip && child->type == XML_TEXT_NODE) {
      xmlUnlinkNode(child);
      xmlFreeNode(child);
    }
    child = next;
  }
}

[[noreturn]] void FailFile(const String& FileName, const String& Reason) {
  EXMLDocError error(u"Cannot open the XML file \"" + FileName + u"\": " + Reason);
  error.FileName = FileName;
  throw error;
}

String SystemReason(int Code) { return UTF8ToString(std::strerror(Code ? Code : ENOENT)); }

// The whole of a regular file of at most MaxXMLFileSize bytes. Opening does
// not wait (a pipe would block until someone writes to it), and reading
// stops past the limit even when the file grows meanwhile.
std::string ReadFileBytes(const String& FileName) {
  int fd;
  do fd = ::open(ToUTF8(FileName).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  while (fd < 0 && errno == EINTR);
  if (fd < 0) FailFile(FileName, SystemReason(errno));
  struct stat info {};
  String refusal = ::fstat(fd, &info) != 0 ? SystemReason(errno) : xmlimpl::FileRefusal(info);
  std::string bytes;
  char buffer[64 * 1024];
  while (refusal.empty()) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) refusal = SystemReason(errno);
    if (n <= 0) break;
    if (Int64(bytes.size()) + n > MaxXMLFileSize) refusal = xmlimpl::TooLargeReason();
    else bytes.append(buffer, size_t(n));
  }
  ::close(fd);
  if (!refusal.empty()) FailFile(FileName, refusal);
  return bytes;
}

bool IsBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A letter, then letters, digits, ".", "_" or "-".
bool IsEncodingName(const std::string& Name) {
  auto nameChar = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '_' || c == '-'; };
  return !Name.empty() && std::isalpha(static_cast<unsigned char>(Name[0])) &&
         std::all_of(Name.begin(), Name.end(), nameChar);
}

// The encoding named by the declaration at the start of Bytes ("" when
// there is none). Only "<?xml" followed by a blank starts the declaration
// ("<?xml-x ...?>" is a processing instruction), and only a well-formed
// encoding name counts.
std::string DeclaredEncoding(const std::string& Bytes) {
  auto blank = IsBlankChar;
  if (Bytes.size() < 6 || Bytes.rfind("<?xml", 0) != 0 || !blank(Bytes[5])) return std::string();
  std::string decl = Bytes.substr(0, Bytes.find("?>"));
  size_t at = decl.find("encoding");
  if (at == std::string::npos || !blank(decl[at - 1])) return std::string();
  size_t pos = at + 8;
  while (pos < decl.size() && blank(decl[pos])) ++pos;
  if (pos >= decl.size() || decl[pos] != '=') return std::string();
  ++pos;
  while (pos < decl.size() && blank(decl[pos])) ++pos;
  if (pos >= decl.size() || (decl[pos] != '"' && decl[pos] != '\'')) return std::string();
  size_t close = decl.find(decl[pos], pos + 1);
  if (close == std::string::npos) return std::string();
  std::string name = decl.substr(pos + 1, close - pos - 1);
  return IsEncodingName(name) ? name : std::string();
}

bool SameName(std::string A, std::string B) {
  auto lower = [](std::string& Text) {
    for (char& c : Text) c = char(std::tolower(static_cast<unsigned char>(c)));
  };
  lower(A);
  lower(B);
  return A == B;
}

// The encoding to read a file in. Files that say "GB2312" are often written
// in its common extension (GBK); reading them as GB18030, which holds both,
// keeps every character such a file has.
const char* ReadingEncoding(const std::string& Declared) {
  if (SameName(Declared, "GB2312") || SameName(Declared, "GBK") || SameName(Declared, "EUC-CN") ||
      SameName(Declared, "CP936"))
    return "GB18030";
  return nullptr;
}

void SetDocEncoding(xmlDocPtr Doc, const std::string& Encoding) {
  if (Doc->encoding) xmlFree(const_cast<xmlChar*>(Doc->encoding));
  Doc->encoding = Encoding.empty() ? nullptr : xmlStrdup(X(Encoding));
}

// How deep elements may nest: the parser's own default limit.
constexpr int MaxXMLDepth = 256;

// Stops the parse of a document nested deeper than MaxXMLDepth, counting
// the elements the parser starts and ends (it keeps the context's other
// handlers).
struct TDepthGuard {
  int Depth = 0;
  bool Exceeded = false;
  int Line = 0;
  startElementNsSAX2Func Start = nullptr;
  endElementNsSAX2Func End = nullptr;

  void Attach(xmlParserCtxtPtr Ctxt) {
    Start = Ctxt->sax->startElementNs;
    End = Ctxt->sax->endElementNs;
    Ctxt->_private = this;
    Ctxt->sax->startElementNs = OnStart;
    Ctxt->sax->endElementNs = OnEnd;
  }
  static void OnStart(void* Context, const xmlChar* LocalName, const xmlChar* Prefix, const xmlChar* URI,
                      int NbNamespaces, const xmlChar** Namespaces, int NbAttributes, int NbDefaulted,
                      const xmlChar** Attributes) {
    auto ctxt = static_cast<xmlParserCtxtPtr>(Context);
    auto* guard = static_cast<TDepthGuard*>(ctxt->_private);
    if (++guard->Depth > MaxXMLDepth) {
      if (!guard->Exceeded) guard->Line = xmlSAX2GetLineNumber(ctxt);
      guard->Exceeded = true;
      xmlStopParser(ctxt);
      return;
    }
    guard->Start(Context, LocalName, Prefix, URI, NbNamespaces, Namespaces, NbAttributes, NbDefaulted, Attributes);
  }
  static void OnEnd(void* Context, const xmlChar* LocalName, const xmlChar* Prefix, const xmlChar* URI) {
    auto ctxt = static_cast<xmlParserCtxtPtr>(Context);
    auto* guard = static_cast<TDepthGuard*>(ctxt->_private);
    if (guard->Depth-- > MaxXMLDepth) return;
    guard->End(Context, LocalName, Prefix, URI);
  }
};

// Parses Bytes without network access, entity expansion or DTD loading.
// Source names the file in messages ("" for text given in memory).
// Encoding, when given, overrides the declaration (which still names the
// document's encoding).
xmlDocPtr Parse(const std::string& Bytes, const String& Source, const char* Encoding) {
  xmlimpl::EnsureLibraries();
  if (Bytes.size() > size_t(INT_MAX)) Fail(u"The XML document \"" + Source + u"\" is too large");
  std::string declared = DeclaredEncoding(Bytes);
  if (Encoding == nullptr) Encoding = ReadingEncoding(declared);
  int options = XML_PARSE_NONET | (Encoding ? XML_PARSE_IGNORE_ENC : 0);
  // The parser's own limit on one text node (ten million bytes) lies below
  // the largest file read: a document within MaxXMLFileSize is read whole.
  // Lifting it lifts the parser's nesting limit too, which the depth guard
  // keeps, and its guard against entities that multiply: a document with a
  // document type declaration keeps every limit.
  const bool huge = Int64(Bytes.size()) <= MaxXMLFileSize && Bytes.find("<!DOCTYPE") == std::string::npos;
  if (huge) options |= XML_PARSE_HUGE;
  xmlimpl::TErrorCapture errors;
  xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
  if (ctxt == nullptr) Fail(u"Out of memory while reading XML");
  TDepthGuard depth;
  if (huge) depth.Attach(ctxt);
  std::string url = ToUTF8(Source);
  xmlDocPtr doc = xmlCtxtReadMemory(ctxt, Bytes.data(), int(Bytes.size()), url.empty() ? nullptr : url.c_str(),
                                    Encoding, options);
  bool wellFormed = doc != nullptr && ctxt->wellFormed && !depth.Exceeded;
  xmlFreeParserCtxt(ctxt);
  if (depth.Exceeded) errors.Add("Excessive depth in document: more than " + std::to_string(MaxXMLDepth) + " levels",
                                 depth.Line, true);
  if (!wellFormed || errors.HasError()) {
    if (doc) xmlFreeDoc(doc);
    String place = Source.empty() ? String(u"Cannot load the XML text")
                                  : u"Cannot load the XML file \"" + Source + u"\"";
    String reason = errors.Message().empty() ? String(u"not a well-formed document")
                                             : UTF8ToString(errors.Message());
    EXMLDocError error(place + u": line " + UTF8ToString(std::to_string(errors.Line())) + u": " + reason);
    error.FileName = Source;
    error.Line = errors.Line();
    throw error;
  }
  if (Encoding) SetDocEncoding(doc, declared);
  for (xmlNode* child = doc->children; child; child = child->next)
    if (IsElement(child)) StripIndentation(child);
  return doc;
}

// Raises when a name, comment or processing instruction of the tree holds a
// character the encoding lacks: unlike text and attribute values, those
// cannot be written as character references.
void CheckWritable(xmlDocPtr Doc, const std::string& Encoding) {
  iconv_t cd = iconv_open(Encoding.c_str(), "UTF-8");
  if (cd == iconv_t(-1)) return;  // an encoding only libxml2 knows: its own rules apply
  auto fits = [&](const xmlChar* Text) {
    if (Text == nullptr) return true;
    std::string in(reinterpret_cast<const char*>(Text));
    std::string out(in.size() * 4 + 8, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    size_t inLeft = in.size(), outLeft = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    return iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1);
  };
  std::string bad;
  std::vector<xmlNode*> pending{reinterpret_cast<xmlNode*>(Doc)};
  while (!pending.empty() && bad.empty()) {
    xmlNode* node = pending.back();
    pending.pop_back();
    if (node->type == XML_COMMENT_NODE || node->type == XML_PI_NODE) {
      // A processing instruction's target may be what does not fit, and its
      // data may be absent.
      if (!fits(node->name)) bad = reinterpret_cast<const char*>(node->name);
      else if (!fits(node->content)) bad = reinterpret_cast<const char*>(node->content);
    } else if (node->type == XML_ELEMENT_NODE) {
      if (!fits(node->name) || (node->ns && !fits(node->ns->prefix))) bad = reinterpret_cast<const char*>(node->name);
      for (xmlAttr* attr = node->properties; attr && bad.empty(); attr = attr->next)
        if (!fits(attr->name)) bad = reinterpret_cast<const char*>(attr->name);
    }
    if (node->type == XML_ELEMENT_NODE || IsDocument(node))
      for (xmlNode* child = node->children; child; child = child->next) pending.push_back(child);
  }
  iconv_close(cd);
  if (!bad.empty())
    Fail(u"\"" + UTF8ToString(bad) + u"\" holds characters the encoding " + UTF8ToString(Encoding) +
         u" cannot write in a name, comment or processing instruction");
}

std::string Serialize(xmlDocPtr Doc, const std::string& Encoding, bool Indent) {
  if (xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(Encoding.c_str()))
    xmlCharEncCloseFunc(handler);
  else
    Fail(u"Unknown encoding \"" + UTF8ToString(Encoding) + u"\"");
  CheckWritable(Doc, Encoding);
  xmlimpl::TErrorCapture errors;
  xmlChar* bytes = nullptr;
  int size = 0;
  xmlDocDumpFormatMemoryEnc(Doc, &bytes, &size, Encoding.c_str(), Indent ? 1 : 0);
  if (bytes == nullptr) Fail(u"Cannot write the XML document: " + UTF8ToString(errors.Message()));
  std::string result(reinterpret_cast<char*>(bytes), size_t(size));
  xmlFree(bytes);
  return result;
}

// Links Node (unlinked) into Parent before Before (at the end when nullptr),
// without the merging of adjacent text nodes that libxml2's own calls do.
void LinkChild(xmlNode* Parent, xmlNode* Node, xmlNode* Before) {
  Node->parent = Parent;
  Node->next = Before;
  Node->prev = Before ? Before->prev : Parent->last;
  if (Node->prev)
    Node->prev->next = Node;
  else
    Parent->children = Node;
  if (Before)
    Before->prev = Node;
  else
    Parent->last = Node;
}

// Namespace bound to Prefix ("" = default) on this very element.
xmlNs* OwnDeclaration(xmlNode* Element, const std::string& Prefix) {
  for (xmlNs* ns = Element->nsDef; ns; ns = ns->next) {
    std::string own = ns->prefix ? reinterpret_cast<const char*>(ns->prefix) : "";
    if (own == Prefix) return ns;
  }
  return nullptr;
}

xmlNs* SearchNs(xmlNode* Scope, const std::string& Prefix) {
  if (Scope == nullptr || !IsElement(Scope)) return nullptr;
  return xmlSearchNs(Scope->doc, Scope, Prefix.empty() ? nullptr : X(Prefix));
}

// The first node of Node's attributes or children. The children of an
// entity reference are the entity's own (shared) and a DTD's are its
// declarations: neither is part of the tree to edit.
xmlNode* FirstOf(xmlNode* Node, bool Attributes) {
  if (Attributes) return IsElement(Node) ? reinterpret_cast<xmlNode*>(Node->properties) : nullptr;
  if (Node->type == XML_ENTITY_REF_NODE || Node->type == XML_DTD_NODE) return nullptr;
  return Node->children;
}

}  // namespace

// ---- TXMLNode ---------------------------------------------------------------------

TXMLNode::TXMLNode(TXMLDocument* ADocument, _xmlNode* ANode) : FDocument(ADocument), FNode(ANode) {}

TXMLNode::~TXMLNode() = default;

TNodeType TXMLNode::NodeType() const {
  switch (FNode->type) {
    case XML_ELEMENT_NODE: return ntElement;
    case XML_ATTRIBUTE_NODE: return ntAttribute;
    case XML_TEXT_NODE: return ntText;
    case XML_CDATA_SECTION_NODE: return ntCData;
    case XML_ENTITY_REF_NODE: return ntEntityRef;
    case XML_ENTITY_NODE:
    case XML_ENTITY_DECL: return ntEntity;
    case XML_PI_NODE: return ntProcessingInstr;
    case XML_COMMENT_NODE: return ntComment;
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE: return ntDocument;
    case XML_DOCUMENT_TYPE_NODE:
    case XML_DTD_NODE: return ntDocType;
    case XML_DOCUMENT_FRAG_NODE: return ntDocFragment;
    case XML_NOTATION_NODE: return ntNotation;
    default: return ntReserved;
  }
}

String TXMLNode::NodeName() const {
  switch (FNode->type) {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE: return QualifiedName(FNode, FNode->ns);
    case XML_TEXT_NODE: return u"#text";
    case XML_CDATA_SECTION_NODE: return u"#cdata-section";
    case XML_COMMENT_NODE: return u"#comment";
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE: return u"#document";
    case XML_DOCUMENT_FRAG_NODE: return u"#document-fragment";
    default: return FromUTF8(FNode->name);
  }
}

String TXMLNode::LocalName() const {
  return IsElement(FNode) || FNode->type == XML_ATTRIBUTE_NODE ? FromUTF8(FNode->name) : NodeName();
}

String TXMLNode::Prefix() const {
  bool named = IsElement(FNode) || FNode->type == XML_ATTRIBUTE_NODE;
  return named && FNode->ns ? FromUTF8(FNode->ns->prefix) : String();
}

String TXMLNode::NamespaceURI() const {
  bool named = IsElement(FNode) || FNode->type == XML_ATTRIBUTE_NODE;
  return named && FNode->ns ? FromUTF8(FNode->ns->href) : String();
}

namespace {

// The text of a node as Text() reads it, gathered without recursion and
// within MaxXMLTextSize: text and CDATA in document order, an entity
// reference read as its entity's text; comments and processing
// instructions inside an element are not part of its text. Every node
// visited costs one unit too, so references to empty entities cannot keep
// it busy either.
class TTextGatherer {
public:
  std::string Of(xmlNode* Node) {
    switch (Node->type) {
      case XML_TEXT_NODE:
      case XML_CDATA_SECTION_NODE:
      case XML_COMMENT_NODE:
      case XML_PI_NODE: Take(Node->content); break;
      case XML_ELEMENT_NODE:
      case XML_ATTRIBUTE_NODE:
      case XML_DOCUMENT_NODE:
      case XML_HTML_DOCUMENT_NODE:
      case XML_DOCUMENT_FRAG_NODE:
      case XML_ENTITY_REF_NODE: Walk(Node); break;
      default: {  // declarations: their own content, which holds no references
        xmlChar* content = xmlNodeGetContent(Node);
        Take(content);
        xmlFree(content);
      }
    }
    return std::move(FText);
  }

private:
  static xmlNode* FirstInside(xmlNode* Node) {
    if (Node->type != XML_ENTITY_REF_NODE) return Node->children;
    xmlEntity* entity = xmlGetDocEntity(Node->doc, Node->name);
    return entity ? entity->children : nullptr;
  }

  void Walk(xmlNode* Node) {
    std::vector<xmlNode*> pending{FirstInside(Node)};
    while (!pending.empty()) {
      xmlNode* node = pending.back();
      if (node == nullptr) {
        pending.pop_back();
        continue;
      }
      pending.back() = node->next;
      Spend(0);
      if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE)
        Take(node->content);
      else if (node->type == XML_ELEMENT_NODE || node->type == XML_ENTITY_REF_NODE)
        pending.push_back(FirstInside(node));
    }
  }

  void Take(const xmlChar* Text) {
    if (Text == nullptr) return;
    size_t size = std::strlen(reinterpret_cast<const char*>(Text));
    Spend(size);
    FText.append(reinterpret_cast<const char*>(Text), size);
  }

  void Spend(size_t Size) {
    if (Int64(Size) + 1 > FBudget)
      Fail(u"The text is too long to read (more than " + UTF8ToString(std::to_string(MaxXMLTextSize)) +
           u" bytes)");
    FBudget -= Int64(Size) + 1;
  }

  std::string FText;
  Int64 FBudget = MaxXMLTextSize;
};

}  // namespace

String TXMLNode::Text() const { return UTF8ToString(TTextGatherer().Of(FNode)); }

void TXMLNode::SetText(const String& Value) {
  CheckText(Value);
  std::string text = ToUTF8(Value);
  switch (FNode->type) {
    case XML_ELEMENT_NODE:
      ChildNodes()->Clear();
      if (!text.empty()) LinkChild(FNode, xmlNewDocText(FNode->doc, X(text)), nullptr);
      break;
    case XML_ATTRIBUTE_NODE: {
      xmlNode* old = FNode->children;
      for (xmlNode* child = old; child; child = child->next) FDocument->ForgetNodes(child);
      xmlFreeNodeList(old);
      FNode->children = FNode->last = nullptr;
      LinkChild(FNode, xmlNewDocText(FNode->doc, X(text)), nullptr);
      break;
    }
    case XML_COMMENT_NODE:
      if (text.find("--") != std::string::npos || (!text.empty() && text.back() == '-'))
        Fail(u"A comment cannot hold \"--\" or end in \"-\"");
      xmlNodeSetContent(FNode, X(text));
      break;
    case XML_PI_NODE:
      if (text.find("?>") != std::string::npos) Fail(u"A processing instruction cannot hold \"?>\"");
      xmlNodeSetContent(FNode, X(text));
      break;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE: xmlNodeSetContent(FNode, X(text)); break;
    default: Fail(u"The text of a node of kind \"" + NodeName() + u"\" cannot be set");
  }
}

Variant TXMLNode::NodeValue() const {
  if (IsDocument(FNode) || (IsElement(FNode) && FNode->children == nullptr)) return Null();
  return Text();
}

void TXMLNode::SetNodeValue(const Variant& Value) { SetText(VarIsNull(Value) ? String() : Value.AsString()); }

// ---- Attributes ----

namespace {

xmlAttr* FindAttribute(xmlNode* Element, const String& Name) {
  for (xmlAttr* attr = Element->properties; attr; attr = attr->next)
    if (QualifiedName(reinterpret_cast<xmlNode*>(attr), attr->ns) == Name) return attr;
  return nullptr;
}

// The URI a namespace declaration attribute ("xmlns", "xmlns:p") stands for.
bool FindDeclaration(xmlNode* Element, const String& Name, String& URI) {
  std::string prefix;
  if (Name == u"xmlns")
    prefix.clear();
  else if (Name.rfind(u"xmlns:", 0) == 0)
    prefix = ToUTF8(Name.substr(6));
  else
    return false;
  xmlNs* ns = OwnDeclaration(Element, prefix);
  if (ns == nullptr) return false;
  URI = FromUTF8(ns->href);
  return true;
}

}  // namespace

Variant TXMLNode::Attributes(const String& AttrName) const {
  if (IsElement(FNode)) {
    if (xmlAttr* attr = FindAttribute(FNode, AttrName)) return FDocument->NodeOf(reinterpret_cast<xmlNode*>(attr))->Text();
    String uri;
    if (FindDeclaration(FNode, AttrName, uri)) return uri;
  }
  return FDocument->HasOption(doAttrNull) ? Null() : Variant(String());
}

bool TXMLNode::HasAttribute(const String& AttrName) const {
  String uri;
  return IsElement(FNode) && (FindAttribute(FNode, AttrName) || FindDeclaration(FNode, AttrName, uri));
}

void TXMLNode::SetAttributes(const String& AttrName, const Variant& Value) {
  if (!IsElement(FNode)) Fail(u"Only an element has attributes");
  if (AttrName == u"xmlns" || AttrName.rfind(u"xmlns:", 0) == 0) {
    if (VarIsNull(Value)) Fail(u"A namespace declaration cannot be removed");
    DeclareNamespace(AttrName == u"xmlns" ? String() : AttrName.substr(6), Value.AsString());
    return;
  }
  xmlAttr* attr = FindAttribute(FNode, AttrName);
  if (VarIsNull(Value)) {
    if (attr) AttributeNodes()->Remove(FDocument->NodeOf(reinterpret_cast<xmlNode*>(attr)));
    return;
  }
  String text = Value.AsString();
  CheckText(text);
  if (attr == nullptr) {
    CheckName(AttrName);
    String prefix, local;
    SplitName(AttrName, prefix, local);
    xmlNs* ns = nullptr;
    if (!prefix.empty() && (ns = SearchNs(FNode, ToUTF8(prefix))) == nullptr)
      Fail(u"The namespace prefix \"" + prefix + u"\" is not declared");
    attr = xmlNewNsProp(FNode, ns, X(ToUTF8(local)), X(ToUTF8(text)));
  } else {
    FDocument->NodeOf(reinterpret_cast<xmlNode*>(attr))->SetText(text);
  }
}

Variant TXMLNode::GetAttributeNS(const String& LocalName, const String& NamespaceURI) const {
  if (IsElement(FNode)) {
    std::string uri = ToUTF8(NamespaceURI);
    if (xmlAttr* attr = xmlHasNsProp(FNode, X(ToUTF8(LocalName)), uri.empty() ? nullptr : X(uri)))
      return FDocument->NodeOf(reinterpret_cast<xmlNode*>(attr))->Text();
  }
  return FDocument->HasOption(doAttrNull) ? Null() : Variant(String());
}

namespace {

// The namespace of URI to use under Prefix on Element: the one in scope, or
// a new declaration on Element when that is allowed.
xmlNs* ResolveNamespace(TXMLDocument* Doc, xmlNode* Element, xmlNode* Scope, const String& Prefix,
                        const String& URI) {
  std::string prefix = ToUTF8(Prefix), uri = ToUTF8(URI);
  xmlNs* ns = SearchNs(Scope, prefix);
  if (ns && uri == reinterpret_cast<const char*>(ns->href)) return ns;
  if (!Doc->HasOption(doNamespaceDecl))
    Fail(u"The namespace \"" + URI + u"\" is not declared with the prefix \"" + Prefix + u"\"");
  if (xmlNs* own = OwnDeclaration(Element, prefix)) {
    if (uri == reinterpret_cast<const char*>(own->href)) return own;
    Fail(u"The prefix \"" + Prefix + u"\" is already bound to another namespace here");
  }
  return xmlNewNs(Element, X(uri), prefix.empty() ? nullptr : X(prefix));
}

}  // namespace

void TXMLNode::SetAttributeNS(const String& QualifiedName, const String& NamespaceURI, const Variant& Value) {
  if (NamespaceURI.empty()) {
    SetAttributes(QualifiedName, Value);
    return;
  }
  if (!IsElement(FNode)) Fail(u"Only an element has attributes");
  CheckName(QualifiedName);
  String prefix, local;
  SplitName(QualifiedName, prefix, local);
  std::string uri = ToUTF8(NamespaceURI);
  xmlAttr* attr = xmlHasNsProp(FNode, X(ToUTF8(local)), X(uri));
  if (VarIsNull(Value)) {
    if (attr) AttributeNodes()->Remove(FDocument->NodeOf(reinterpret_cast<xmlNode*>(attr)));
    return;
  }
  String text = Value.AsString();
  CheckText(text);
  if (attr) {
    FDocument->NodeOf(reinterpret_cast<xmlNode*>(attr))->SetText(text);
    return;
  }
  if (prefix.empty()) Fail(u"An attribute in a namespace needs a prefix: \"" + QualifiedName + u"\"");
  xmlNs* ns = ResolveNamespace(FDocument, FNode, FNode, prefix, NamespaceURI);
  xmlNewNsProp(FNode, ns, X(ToUTF8(local)), X(ToUTF8(text)));
}

void TXMLNode::DeclareNamespace(const String& Prefix, const String& URI) {
  if (!IsElement(FNode)) Fail(u"Only an element declares namespaces");
  if (!Prefix.empty()) CheckName(Prefix);
  std::string prefix = ToUTF8(Prefix), uri = ToUTF8(URI);
  if (xmlNs* own = OwnDeclaration(FNode, prefix)) {
    if (uri == reinterpret_cast<const char*>(own->href)) return;
    Fail(u"The prefix \"" + Prefix + u"\" is already bound to another namespace here");
  }
  xmlNewNs(FNode, X(uri), prefix.empty() ? nullptr : X(prefix));
}

TXMLNodeList* TXMLNode::AttributeNodes() {
  if (!FAttributeNodes) FAttributeNodes.reset(new TXMLNodeList(this, true));
  return FAttributeNodes.get();
}

// ---- Tree ----

TXMLNodeList* TXMLNode::ChildNodes() {
  if (!FChildNodes) FChildNodes.reset(new TXMLNodeList(this, false));
  return FChildNodes.get();
}

bool TXMLNode::HasChildNodes() const { return FirstOf(FNode, false) != nullptr; }

bool TXMLNode::IsTextElement() const {
  if (!IsElement(FNode) || FNode->children == nullptr) return false;
  for (xmlNode* child = FNode->children; child; child = child->next)
    if (child->type != XML_TEXT_NODE && child->type != XML_CDATA_SECTION_NODE) return false;
  return true;
}

TXMLNode* TXMLNode::ParentNode() const {
  if (IsDocument(FNode) || FNode->parent == nullptr) return nullptr;
  return FDocument->NodeOf(FNode->parent);
}

TXMLNode* TXMLNode::NextSibling() const {
  if (IsDocument(FNode) || FNode->next == nullptr) return nullptr;
  return FDocument->NodeOf(FNode->next);
}

TXMLNode* TXMLNode::AddChild(const String& TagName, const String& NamespaceURI, Integer Index) {
  if (!IsElement(FNode) && !IsDocument(FNode)) Fail(u"Only an element or the document has child elements");
  TXMLNode* child = FDocument->CreateElementIn(TagName, NamespaceURI, IsElement(FNode) ? FNode : nullptr);
  try {
    if (Index < 0)
      ChildNodes()->Add(child);
    else
      ChildNodes()->Insert(Index, child);
  } catch (...) {
    FDocument->FreeDetached(child);
    throw;
  }
  return child;
}

// ---- TXMLNodeList -----------------------------------------------------------------

_xmlNode* TXMLNodeList::FirstRaw() const { return FirstOf(FOwner->FNode, FAttributes); }

Integer TXMLNodeList::Count() const {
  Integer count = 0;
  for (xmlNode* node = FirstRaw(); node; node = node->next) ++count;
  return count;
}

TXMLNode* TXMLNodeList::Nodes(Integer Index) const {
  xmlNode* node = FirstRaw();
  for (Integer i = 0; node && i < Index; ++i) node = node->next;
  if (Index < 0 || node == nullptr)
    Fail(u"List index out of bounds (" + UTF8ToString(std::to_string(Index)) + u")");
  return FOwner->FDocument->NodeOf(node);
}

TXMLNode* TXMLNodeList::Nodes(const String& Name) const {
  if (TXMLNode* node = FindNode(Name)) return node;
  if (FAttributes || !FOwner->FDocument->HasOption(doNodeAutoCreate))
    Fail(u"Node \"" + Name + u"\" not found");
  return FOwner->AddChild(Name);
}

TXMLNode* TXMLNodeList::First() const {
  xmlNode* node = FirstRaw();
  return node ? FOwner->FDocument->NodeOf(node) : nullptr;
}

TXMLNode* TXMLNodeList::Last() const {
  xmlNode* last = nullptr;
  for (xmlNode* node = FirstRaw(); node; node = node->next) last = node;
  return last ? FOwner->FDocument->NodeOf(last) : nullptr;
}

TXMLNode* TXMLNodeList::FindNode(const String& NodeName) const {
  for (xmlNode* node = FirstRaw(); node; node = node->next) {
    TXMLNode* wrapper = FOwner->FDocument->NodeOf(node);
    if (wrapper->NodeName() == NodeName) return wrapper;
  }
  return nullptr;
}

TXMLNode* TXMLNodeList::FindNode(const String& LocalName, const String& NamespaceURI) const {
  for (xmlNode* node = FirstRaw(); node; node = node->next) {
    TXMLNode* wrapper = FOwner->FDocument->NodeOf(node);
    if (wrapper->LocalName() == LocalName && wrapper->NamespaceURI() == NamespaceURI) return wrapper;
  }
  return nullptr;
}

Integer TXMLNodeList::IndexOf(const TXMLNode* Node) const {
  Integer index = 0;
  for (xmlNode* node = FirstRaw(); node; node = node->next, ++index)
    if (Node && node == Node->FNode) return index;
  return -1;
}

Integer TXMLNodeList::Add(TXMLNode* Node) {
  Insert(Count(), Node);
  return Count() - 1;
}

void TXMLNodeList::Insert(Integer Index, TXMLNode* Node) {
  if (Node == nullptr || Node->FDocument != FOwner->FDocument) Fail(u"The node belongs to another document");
  if (Index < 0 || Index > Count())
    Fail(u"List index out of bounds (" + UTF8ToString(std::to_string(Index)) + u")");
  xmlNode* parent = FOwner->FNode;
  xmlNode* node = Node->FNode;
  if (FAttributes) {
    if (!IsElement(parent) || node->type != XML_ATTRIBUTE_NODE) Fail(u"Only an attribute goes into an attribute list");
    if (node->parent == parent) return;
    String name = Node->NodeName();
    if (node->parent) xmlUnlinkNode(node);
    if (xmlAttr* old = FindAttribute(parent, name)) Remove(FOwner->FDocument->NodeOf(reinterpret_cast<xmlNode*>(old)));
    xmlAddChild(parent, node);  // an attribute goes to the end of the element's attributes
    return;
  }
  bool fits = (IsElement(parent) && node->type != XML_ATTRIBUTE_NODE && !IsDocument(node) &&
               node->type != XML_DTD_NODE) ||
              (IsDocument(parent) && (IsElement(node) || node->type == XML_COMMENT_NODE || node->type == XML_PI_NODE));
  if (!fits) Fail(u"A node of kind \"" + Node->NodeName() + u"\" cannot go here");
  for (xmlNode* up = parent; up; up = up->parent)
    if (up == node) Fail(u"A node cannot go inside itself");
  if (IsDocument(parent) && IsElement(node)) {
    xmlNode* root = xmlDocGetRootElement(reinterpret_cast<xmlDoc*>(parent));
    if (root && root != node) Fail(u"The document already has a document element");
  }
  xmlNode* before = FirstRaw();
  for (Integer i = 0; i < Index; ++i) before = before->next;
  if (before == node) return;  // already there
  if (node->parent) xmlUnlinkNode(node);
  LinkChild(parent, node, before);
}

void TXMLNodeList::Delete(Integer Index) {
  xmlNode* node = Nodes(Index)->FNode;
  FOwner->FDocument->ForgetNodes(node);
  xmlUnlinkNode(node);
  xmlFreeNode(node);
}

Integer TXMLNodeList::Remove(TXMLNode* Node) {
  Integer index = IndexOf(Node);
  if (index >= 0) Delete(index);
  return index;
}

void TXMLNodeList::Clear() {
  while (FirstRaw()) Delete(0);
}

// ---- TXMLDocument -----------------------------------------------------------------

TXMLDocument::TXMLDocument(TComponent* AOwner) : TComponent(AOwner) {}

TXMLDocument::~TXMLDocument() { Release(); }

void TXMLDocument::CheckActive() const {
  if (FDoc == nullptr) Fail(u"The XML document is not active");
}

void TXMLDocument::Adopt(_xmlDoc* Doc) {
  Release();
  FDoc = Doc;
}

void TXMLDocument::Release() {
  if (FDoc == nullptr) return;
  // Nodes made and never put into the tree are freed here.
  std::vector<xmlNode*> detached;
  for (auto& [key, wrapper] : FNodes) {
    xmlNode* node = wrapper->FNode;
    if (node->parent == nullptr && !IsDocument(node)) detached.push_back(node);
  }
  FNodes.clear();
  for (xmlNode* node : detached) xmlFreeNode(node);
  xmlFreeDoc(FDoc);
  FDoc = nullptr;
}

void TXMLDocument::SetActive(bool Value) {
  if (Value == Active()) return;
  if (!Value) {
    Release();
  } else if (!FFileName.empty()) {
    LoadFromFile(FFileName);
  } else if (!FXMLText.empty()) {
    LoadFromXML(FXMLText);
  } else {
    xmlimpl::EnsureLibraries();
    Adopt(xmlNewDoc(X(std::string("1.0"))));
  }
}

void TXMLDocument::SetFileName(const String& Value) {
  FFileName = Value;
  if (!Value.empty()) FXMLText.clear();
}

void TXMLDocument::LoadFromFile(const String& AFileName) {
  Release();
  FFileName = AFileName;
  FXMLText.clear();
  Adopt(Parse(ReadFileBytes(AFileName), AFileName, nullptr));
}

void TXMLDocument::LoadFromXML(const String& XMLText) {
  Release();
  FFileName.clear();
  FXMLText = XMLText;
  // The text is characters already: its declaration's encoding only names
  // the document's.
  Adopt(Parse(ToUTF8(XMLText), String(), "UTF-8"));
}

void TXMLDocument::SaveToFile(const String& AFileName) {
  CheckActive();
  String target = AFileName.empty() ? FFileName : AFileName;
  if (target.empty()) Fail(u"No file name to save the XML document to");
  String encoding = Encoding().empty() ? String(u"UTF-8") : Encoding();
  xmlimpl::WriteFileAtomically(target, Serialize(FDoc, ToUTF8(encoding), HasOption(doNodeAutoIndent)));
}

String TXMLDocument::XML() const {
  CheckActive();
  std::string body = Serialize(FDoc, "UTF-8", HasOption(doNodeAutoIndent));
  // The declaration names the document's encoding, though the text itself
  // is characters.
  size_t end = body.find("?>");
  if (body.rfind("<?xml", 0) == 0 && end != std::string::npos) {
    body.erase(0, end + 2);
    if (!body.empty() && body[0] == '\n') body.erase(0, 1);
  }
  String version = Version().empty() ? String(u"1.0") : Version();
  String decl = u"<?xml version=\"" + version + u"\"";
  if (!Encoding().empty()) decl += u" encoding=\"" + Encoding() + u"\"";
  return decl + u"?>\n" + UTF8ToString(body);
}

String TXMLDocument::Encoding() const {
  CheckActive();
  return FromUTF8(FDoc->encoding);
}

void TXMLDocument::SetEncoding(const String& Value) {
  CheckActive();
  if (FDoc->encoding) xmlFree(const_cast<xmlChar*>(FDoc->encoding));
  FDoc->encoding = Value.empty() ? nullptr : xmlStrdup(X(ToUTF8(Value)));
}

String TXMLDocument::Version() const {
  CheckActive();
  return FromUTF8(FDoc->version);
}

void TXMLDocument::SetVersion(const String& Value) {
  CheckActive();
  if (Value != u"1.0" && Value != u"1.1") Fail(u"Unsupported XML version \"" + Value + u"\"");
  if (FDoc->version) xmlFree(const_cast<xmlChar*>(FDoc->version));
  FDoc->version = xmlStrdup(X(ToUTF8(Value)));
}

TXMLNode* TXMLDocument::Node() {
  CheckActive();
  return NodeOf(reinterpret_cast<xmlNode*>(FDoc));
}

TXMLNodeList* TXMLDocument::ChildNodes() { return Node()->ChildNodes(); }

TXMLNode* TXMLDocument::DocumentElement() {
  CheckActive();
  xmlNode* root = xmlDocGetRootElement(FDoc);
  return root ? NodeOf(root) : nullptr;
}

void TXMLDocument::SetDocumentElement(TXMLNode* Value) {
  CheckActive();
  if (Value == nullptr || Value->FDocument != this || !IsElement(Value->FNode))
    Fail(u"The document element must be an element of this document");
  xmlNode* old = xmlDocGetRootElement(FDoc);
  if (old == Value->FNode) return;
  if (Value->FNode->parent) xmlUnlinkNode(Value->FNode);
  LinkChild(reinterpret_cast<xmlNode*>(FDoc), Value->FNode, old);
  if (old) {
    ForgetNodes(old);
    xmlUnlinkNode(old);
    xmlFreeNode(old);
  }
}

TXMLNode* TXMLDocument::CreateNode(const String& NameOrData, TNodeType NodeType, const String& AddlData) {
  CheckActive();
  std::string data = ToUTF8(NameOrData);
  xmlNode* node = nullptr;
  switch (NodeType) {
    case ntElement: return CreateElement(NameOrData, String());
    case ntAttribute: {
      CheckName(NameOrData);
      if (NameOrData.find(u':') != String::npos) Fail(u"Create an attribute with a prefix through SetAttributeNS");
      node = reinterpret_cast<xmlNode*>(xmlNewDocProp(FDoc, X(data), nullptr));
      break;
    }
    case ntText:
      CheckText(NameOrData);
      node = xmlNewDocText(FDoc, X(data));
      break;
    case ntCData:
      CheckText(NameOrData);
      node = xmlNewCDataBlock(FDoc, X(data), int(data.size()));
      break;
    case ntComment:
      node = xmlNewDocComment(FDoc, X(std::string()));
      break;
    case ntProcessingInstr:
      CheckName(NameOrData);
      node = xmlNewDocPI(FDoc, X(data), nullptr);
      break;
    default: Fail(u"Nodes of this kind cannot be created");
  }
  TXMLNode* wrapper = NodeOf(node);
  try {
    if (NodeType == ntComment) wrapper->SetText(NameOrData);
    if (NodeType == ntProcessingInstr) wrapper->SetText(AddlData);
  } catch (...) {
    FreeDetached(wrapper);
    throw;
  }
  return wrapper;
}

TXMLNode* TXMLDocument::CreateElement(const String& TagName, const String& NamespaceURI) {
  CheckActive();
  return CreateElementIn(TagName, NamespaceURI, nullptr);
}

TXMLNode* TXMLDocument::CreateElementIn(const String& TagName, const String& NamespaceURI, _xmlNode* Scope) {
  CheckName(TagName);
  String prefix, local;
  SplitName(TagName, prefix, local);
  xmlNode* node = xmlNewDocNode(FDoc, nullptr, X(ToUTF8(local)), nullptr);
  TXMLNode* wrapper = NodeOf(node);
  try {
    xmlNs* ns = nullptr;
    if (!NamespaceURI.empty()) {
      ns = ResolveNamespace(this, node, Scope, prefix, NamespaceURI);
    } else if (!prefix.empty()) {
      ns = SearchNs(Scope, ToUTF8(prefix));
      if (ns == nullptr) Fail(u"The namespace prefix \"" + prefix + u"\" is not declared");
    } else {
      ns = SearchNs(Scope, std::string());  // the default namespace in scope
    }
    xmlSetNs(node, ns);
  } catch (...) {
    FreeDetached(wrapper);
    throw;
  }
  return wrapper;
}

TXMLNode* TXMLDocument::AddChild(const String& TagName, const String& NamespaceURI) {
  return Node()->AddChild(TagName, NamespaceURI);
}

void TXMLDocument::FreeDetached(TXMLNode* Node) {
  xmlNode* node = Node->FNode;
  if (node->parent != nullptr) return;
  ForgetNodes(node);
  xmlFreeNode(node);
}

TXMLNode* TXMLDocument::NodeOf(_xmlNode* Node) {
  auto& slot = FNodes[Node];
  if (!slot) slot.reset(new TXMLNode(this, Node));
  return slot.get();
}

void TXMLDocument::ForgetNodes(_xmlNode* Node) {
  if (FNodes.empty()) return;
  FNodes.erase(Node);
  if (Node->type == XML_ELEMENT_NODE)
    for (xmlAttr* attr = Node->properties; attr; attr = attr->next) ForgetNodes(reinterpret_cast<xmlNode*>(attr));
  if (Node->type == XML_ENTITY_REF_NODE) return;  // its children are the entity's
  for (xmlNode* child = Node->children; child; child = child->next) ForgetNodes(child);
}
