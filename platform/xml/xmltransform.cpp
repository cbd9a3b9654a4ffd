// XSL transformation of a document node over libxslt (TXMLNode::TransformNode).
#include <memory>
#include <string>

#include <libxml/tree.h>
#include <libxslt/security.h>
#include <libxslt/transform.h>
#include <libxslt/xslt.h>
#include <libxslt/xsltInternals.h>
#include <libxslt/xsltutils.h>

#include "platform/rtl/encoding.h"
#include "platform/xml/xmldoc.h"
#include "platform/xml/xmlinternal.h"

namespace {

struct TDocFree {
  void operator()(xmlDoc* Doc) const { xmlFreeDoc(Doc); }
};
struct TStyleFree {
  void operator()(xsltStylesheet* Style) const { xsltFreeStylesheet(Style); }
};
struct TContextFree {
  void operator()(xsltTransformContext* Context) const { xsltFreeTransformContext(Context); }
};
using TDocPtr = std::unique_ptr<xmlDoc, TDocFree>;
using TStylePtr = std::unique_ptr<xsltStylesheet, TStyleFree>;
using TContextPtr = std::unique_ptr<xsltTransformContext, TContextFree>;

[[noreturn]] void Fail(const String& What, const xmlimpl::TErrorCapture& Errors) {
  std::string detail = Errors.All();
  while (!detail.empty() && detail.back() == '\n') detail.pop_back();
  throw EXMLDocError(What + (detail.empty() ? String() : u": " + UTF8ToString(detail)));
}

// The style sheet compiled from a copy of the document StyleSheet belongs to.
TStylePtr Compile(const TXMLNode* StyleSheet, xmlimpl::TErrorCapture& Errors) {
  if (StyleSheet == nullptr) throw EXMLDocError(u"No style sheet given for the transformation");
  xmlDoc* source = StyleSheet->Handle()->doc;
  xmlDoc* copy = xmlCopyDoc(source, 1);
  if (copy == nullptr) throw EXMLDocError(u"Out of memory while copying the style sheet");
  int budget = xmlimpl::StyleSheetEntityBudget;
  try {
    xmlimpl::ResolveEntityReferences(reinterpret_cast<xmlNode*>(copy), source, budget);
  } catch (...) {
    xmlFreeDoc(copy);
    throw;
  }
  xsltStylesheet* style = xsltParseStylesheetDoc(copy);
  if (style == nullptr) {
    xmlFreeDoc(copy);  // a sheet that does not compile leaves its document to the caller
    Fail(u"The style sheet is not valid", Errors);
  }
  if (style->errors > 0) {
    TStylePtr owner(style);
    Fail(u"The style sheet is not valid", Errors);
  }
  return TStylePtr(style);
}

// The source document: the node's own document for the document node, else
// a new document holding a copy of the element.
xmlDoc* SourceOf(const TXMLNode* Node, TDocPtr& Holder) {
  xmlNode* node = Node->Handle();
  if (node->type == XML_DOCUMENT_NODE) return reinterpret_cast<xmlDoc*>(node);
  if (node->type != XML_ELEMENT_NODE) throw EXMLDocError(u"Only the document or an element can be transformed");
  Holder.reset(xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0")));
  xmlDocSetRootElement(Holder.get(), xmlDocCopyNode(node, Holder.get(), 1));
  return Holder.get();
}

struct TResult {
  TStylePtr Style;
  TDocPtr Document;
};

TResult Transform(const TXMLNode* Source, const TXMLNode* StyleSheet, xmlimpl::TErrorCapture& Errors) {
  xmlimpl::EnsureLibraries();
  TResult result;
  result.Style = Compile(StyleSheet, Errors);
  TDocPtr holder;
  xmlDoc* source = SourceOf(Source, holder);
  TContextPtr context(xsltNewTransformContext(result.Style.get(), source));
  if (!context) Fail(u"The transformation cannot start", Errors);
  xsltSetCtxtSecurityPrefs(xsltGetDefaultSecurityPrefs(), context.get());
  xsltSetTransformErrorFunc(context.get(), &Errors, &xmlimpl::TErrorCapture::Generic);
  result.Document.reset(
      xsltApplyStylesheetUser(result.Style.get(), source, nullptr, nullptr, nullptr, context.get()));
  if (!result.Document || context->state == XSLT_STATE_ERROR || context->state == XSLT_STATE_STOPPED)
    Fail(u"The transformation failed", Errors);
  return result;
}

}  // namespace

String TXMLNode::TransformNode(const TXMLNode* StyleSheet) const {
  xmlimpl::TErrorCapture errors;
  TResult result = Transform(this, StyleSheet, errors);
  // The result is serialised as the sheet says (method, declaration,
  // character set named in a page), but its bytes are taken in UTF-8 so
  // that every character arrives as itself.
  std::string bytes;
  auto collect = [](void* Context, const char* Buffer, int Length) -> int {
    static_cast<std::string*>(Context)->append(Buffer, size_t(Length));
    return Length;
  };
  xmlOutputBuffer* out = xmlOutputBufferCreateIO(collect, nullptr, &bytes, xmlFindCharEncodingHandler("UTF-8"));
  if (out == nullptr) throw EXMLDocError(u"Out of memory while writing the transformation's result");
  xsltSaveResultTo(out, result.Document.get(), result.Style.get());
  xmlOutputBufferClose(out);
  return UTF8ToString(bytes);
}

void TXMLNode::TransformNodeToFile(const TXMLNode* StyleSheet, const String& FileName) const {
  xmlimpl::TErrorCapture errors;
  TResult result = Transform(this, StyleSheet, errors);
  xmlChar* bytes = nullptr;
  int size = 0;
  if (xsltSaveResultToString(&bytes, &size, result.Document.get(), result.Style.get()) != 0)
    Fail(u"Cannot write the transformation's result", errors);
  std::string content(bytes ? reinterpret_cast<const char*>(bytes) : "", bytes ? size_t(size) : 0);
  xmlFree(bytes);
  xmlimpl::WriteFileAtomically(FileName, content);
}
