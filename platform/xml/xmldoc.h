#pragma once
// TXMLDocument: an XML document component with the node interface of the
// desktop class library, over libxml2.
//
// Loading never touches the network, never expands entities into the tree
// (a reference stays an entity-reference node, an external entity is never
// read) and never loads an external DTD. Whitespace-only text between
// elements (indentation) is dropped on load, so an indented file reads back
// as the tree that was written; an element whose only content is blanks
// keeps it, and xml:space="preserve" keeps everything. A file that says
// "GB2312" is read with that encoding's common extension too, since such
// files often hold its characters; Encoding() still answers what the file
// says.
//
// Saving writes a temporary file beside the target and renames it over the
// target, so a failed save leaves the old file as it was. The chosen
// encoding is used for the file; characters it cannot hold are written as
// character references, never lost.
//
// Nodes belong to their document: the pointers handed out stay valid until
// the node is deleted from its list or the document is deactivated or
// destroyed. A node made by CreateNode and never inserted is freed with the
// document.
#include <memory>
#include <set>
#include <unordered_map>

#include "platform/rtl/component.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variant.h"

struct _xmlNode;
struct _xmlDoc;

// The largest XML file read (by LoadFromFile, and for the files a style
// sheet reads). The program's records and style sheets are at most a few
// hundred kilobytes; a file past this is not one of them, and reading it
// would only exhaust memory.
inline constexpr Int64 MaxXMLFileSize = 16 * 1024 * 1024;
// The most text (UTF-8 bytes, plus one for each node visited) that reading
// a node's text may gather. Entity references are expanded on reading, so a
// small file can stand for an enormous text; past this the reading is
// refused. As large as the largest file, so the text of any document
// without entities can be read.
inline constexpr Int64 MaxXMLTextSize = MaxXMLFileSize;

class TXMLDocument;
class TXMLNodeList;

// Errors of the XML layer: a file that cannot be read, parsed or written,
// an operation on an inactive document, a name or character XML cannot hold.
// FileName and Line are set when the error belongs to a place in a file
// (Line is 0 when unknown).
class EXMLDocError : public Exception {
public:
  using Exception::Exception;
  String FileName;
  Integer Line = 0;
};

// The node kinds, numbered as the DOM numbers them.
enum TNodeType {
  ntReserved,
  ntElement,
  ntAttribute,
  ntText,
  ntCData,
  ntEntityRef,
  ntEntity,
  ntProcessingInstr,
  ntComment,
  ntDocument,
  ntDocType,
  ntDocFragment,
  ntNotation
};

enum TXMLDocOption {
  doNodeAutoCreate,  // ChildNodes->Nodes(name) adds a missing element
  doNodeAutoIndent,  // XML() and SaveToFile indent the elements
  doAttrNull,        // Attributes(name) of an absent attribute is Null (else "")
  doAutoPrefix,      // accepted for compatibility; prefixes are always resolved
  doNamespaceDecl,   // SetAttributeNS / AddChild declare a namespace not in scope
  doAutoSave         // accepted for compatibility; saving is always explicit
};
using TXMLDocOptions = std::set<TXMLDocOption>;

class TXMLNode {
public:
  TXMLNode(const TXMLNode&) = delete;
  TXMLNode& operator=(const TXMLNode&) = delete;
  ~TXMLNode();

  TNodeType NodeType() const;
  // Qualified name of an element or attribute ("xsi:type"), the target of a
  // processing instruction, "#text", "#cdata-section", "#comment",
  // "#document" for the others.
  String NodeName() const;
  String LocalName() const;
  String Prefix() const;
  String NamespaceURI() const;

  // The text of the node: for an element or the document the text of all
  // its descendants in document order (entity references read as their
  // text); for the other kinds their content. Raises EXMLDocError past
  // MaxXMLTextSize.
  String Text() const;
  // For an element: replaces all its children by one text node (none for an
  // empty text). For a text, CDATA, comment, attribute or processing
  // instruction: sets its content. Raises EXMLDocError for a character XML
  // cannot hold (control characters other than tab, line feed and carriage
  // return) and for the other kinds.
  void SetText(const String& Value);
  // Text() for a node that has content; Null for an element without
  // children and for the document.
  Variant NodeValue() const;
  // SetText of the value as text; Null empties the node.
  void SetNodeValue(const Variant& Value);

  // ---- Attributes (elements only) ----
  // The attribute by qualified name ("value", "xsi:type"); a namespace
  // declaration is found as "xmlns" or "xmlns:prefix". An absent attribute
  // gives Null with doAttrNull and "" without.
  Variant Attributes(const String& AttrName) const;
  // Sets the attribute (a prefixed name must use a prefix in scope); Null
  // removes it.
  void SetAttributes(const String& AttrName, const Variant& Value);
  bool HasAttribute(const String& AttrName) const;
  Variant GetAttributeNS(const String& LocalName, const String& NamespaceURI) const;
  // Sets the attribute of that namespace; the prefix of QualifiedName is
  // declared on this element when the namespace is not in scope with it
  // (doNamespaceDecl). Null removes the attribute.
  void SetAttributeNS(const String& QualifiedName, const String& NamespaceURI, const Variant& Value);
  // Declares Prefix ("" for the default namespace) for URI on this element.
  void DeclareNamespace(const String& Prefix, const String& URI);
  // The attribute nodes of an element (namespace declarations are not
  // among them); an empty list for other nodes.
  TXMLNodeList* AttributeNodes();

  // ---- Tree ----
  TXMLNodeList* ChildNodes();
  bool HasChildNodes() const;
  // An element whose children are all text or CDATA (at least one).
  bool IsTextElement() const;
  // The parent (the document node for the document element); nullptr for
  // the document node and for a node not in the tree.
  TXMLNode* ParentNode() const;
  // The node after this one in its parent's list (children or attributes);
  // nullptr for the last. Walking a long list this way takes one step per
  // node, where ChildNodes()->Nodes(Index) counts from the start each time.
  TXMLNode* NextSibling() const;
  TXMLDocument* OwnerDocument() const { return FDocument; }
  // Adds a new element as the last child (or at Index). A prefixed name uses
  // the namespace of its prefix (NamespaceURI, declared here when needed, or
  // the one in scope); a name without prefix takes NamespaceURI or else the
  // default namespace in scope. Raises EXMLDocError for a name that is not
  // an XML name. On the document node it makes the document element (an
  // error when there is one).
  TXMLNode* AddChild(const String& TagName, const String& NamespaceURI = String(), Integer Index = -1);

  // ---- XSL transformation ----
  // Applies the style sheet (the document node or the document element of a
  // loaded style sheet) to this node and returns the result as text (the
  // node is the source document when it is the document node, else a copy
  // of it is). The style sheet may read local files but not the network and
  // may not write files or create folders. Raises EXMLDocError with the
  // processor's message when the sheet is not valid or the transformation
  // fails.
  String TransformNode(const TXMLNode* StyleSheet) const;
  // The same, writing the result to FileName as the style sheet's output
  // settings make it (encoding and all), atomically like SaveToFile.
  void TransformNodeToFile(const TXMLNode* StyleSheet, const String& FileName) const;

  // The libxml2 node (for the layer's own code).
  _xmlNode* Handle() const { return FNode; }

private:
  friend class TXMLDocument;
  friend class TXMLNodeList;
  TXMLNode(TXMLDocument* ADocument, _xmlNode* ANode);

  TXMLDocument* FDocument;
  _xmlNode* FNode;
  std::unique_ptr<TXMLNodeList> FChildNodes;
  std::unique_ptr<TXMLNodeList> FAttributeNodes;
};

// A live view of the children (or the attributes) of a node.
class TXMLNodeList {
public:
  TXMLNodeList(const TXMLNodeList&) = delete;
  TXMLNodeList& operator=(const TXMLNodeList&) = delete;

  Integer Count() const;
  // Raises EXMLDocError when Index is out of range.
  TXMLNode* Nodes(Integer Index) const;
  // The first node of that name; when absent, with doNodeAutoCreate a new
  // element of that name is added (children only), else EXMLDocError.
  TXMLNode* Nodes(const String& Name) const;
  TXMLNode* First() const;  // nullptr when empty
  TXMLNode* Last() const;   // nullptr when empty
  // The first node with that qualified name (or local name and namespace);
  // nullptr when absent.
  TXMLNode* FindNode(const String& NodeName) const;
  TXMLNode* FindNode(const String& LocalName, const String& NamespaceURI) const;
  Integer IndexOf(const TXMLNode* Node) const;  // -1 when absent
  // Child lists only: inserts a node of this document (a new one from
  // CreateNode, or one moved from elsewhere in the tree) at the end or at
  // Index; returns its index. A node cannot go inside itself.
  Integer Add(TXMLNode* Node);
  void Insert(Integer Index, TXMLNode* Node);
  // Removes and frees the node (and everything under it); its pointer, and
  // those of its descendants, become invalid.
  void Delete(Integer Index);
  Integer Remove(TXMLNode* Node);  // index it had, -1 when not in the list
  void Clear();

private:
  friend class TXMLNode;
  TXMLNodeList(TXMLNode* AOwner, bool AAttributes) : FOwner(AOwner), FAttributes(AAttributes) {}
  _xmlNode* FirstRaw() const;

  TXMLNode* FOwner;
  bool FAttributes;
};

class TXMLDocument : public TComponent {
public:
  KORVANE_CLASS(TXMLDocument, TComponent)

  explicit TXMLDocument(TComponent* AOwner);
  ~TXMLDocument() override;

  // Activating loads FileName when set, else the text of SetXML when set,
  // else makes an empty document (version "1.0"). Deactivating frees the
  // tree and every node pointer.
  bool Active() const { return FDoc != nullptr; }
  void SetActive(bool Value);

  const String& FileName() const { return FFileName; }
  void SetFileName(const String& Value);
  // Loads the file and activates the document (FileName becomes the name).
  // Raises EXMLDocError naming the file, the line and the parser's message,
  // and for anything but a regular file or a file larger than
  // MaxXMLFileSize; the document is then inactive.
  void LoadFromFile(const String& AFileName);
  // Parses the text (its declaration's encoding is ignored: the text is
  // already characters) and activates the document.
  void LoadFromXML(const String& XMLText);
  // Writes the document to AFileName (FileName when empty) in Encoding()
  // ("UTF-8" when none), indented with doNodeAutoIndent. Raises
  // EXMLDocError when inactive, for an unknown encoding, for a name,
  // comment or processing instruction the encoding cannot hold (text and
  // attribute values become character references instead), or when the
  // file cannot be written; the old file is then untouched.
  void SaveToFile(const String& AFileName = String());

  // The document as text, with a declaration naming Encoding(). Raises when
  // inactive.
  String XML() const;
  // Same as LoadFromXML.
  void SetXML(const String& Value) { LoadFromXML(Value); }

  // The declaration's encoding and version ("" when the document has none).
  // Setting them needs an active document.
  String Encoding() const;
  void SetEncoding(const String& Value);
  String Version() const;
  void SetVersion(const String& Value);

  const TXMLDocOptions& Options() const { return FOptions; }
  void SetOptions(const TXMLDocOptions& Value) { FOptions = Value; }
  bool HasOption(TXMLDocOption Option) const { return FOptions.count(Option) != 0; }

  // ---- Nodes (all raise EXMLDocError when the document is inactive) ----
  TXMLNode* Node();                 // the document node
  TXMLNodeList* ChildNodes();       // the document node's children
  TXMLNode* DocumentElement();      // nullptr when there is none
  // Replaces the document element by Value (a node of this document).
  void SetDocumentElement(TXMLNode* Value);
  // A new node that is not yet in the tree: an element or attribute named
  // NameOrData, a text, CDATA or comment holding it, a processing
  // instruction with target NameOrData and content AddlData.
  TXMLNode* CreateNode(const String& NameOrData, TNodeType NodeType = ntElement,
                       const String& AddlData = String());
  TXMLNode* CreateElement(const String& TagName, const String& NamespaceURI);
  // Makes the document element.
  TXMLNode* AddChild(const String& TagName, const String& NamespaceURI = String());

  // The wrapper of a libxml2 node of this document (made on first use).
  TXMLNode* NodeOf(_xmlNode* Node);
  // Frees the wrappers of Node and everything under it (before it is freed).
  void ForgetNodes(_xmlNode* Node);
  _xmlDoc* Handle() const { return FDoc; }

private:
  friend class TXMLNode;
  void CheckActive() const;
  // A new element outside the tree; its prefix or default namespace is
  // looked up from Scope (an element, or nullptr for none).
  TXMLNode* CreateElementIn(const String& TagName, const String& NamespaceURI, _xmlNode* Scope);
  // Frees a node made by this document that is not in the tree.
  void FreeDetached(TXMLNode* Node);
  void Adopt(_xmlDoc* Doc);
  void Release();

  _xmlDoc* FDoc = nullptr;
  String FFileName;
  String FXMLText;
  TXMLDocOptions FOptions{doNodeAutoCreate, doAttrNull, doAutoPrefix, doNamespaceDecl};
  std::unordered_map<const void*, std::unique_ptr<TXMLNode>> FNodes;
};
