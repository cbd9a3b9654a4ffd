// The XML output of the editing window: the elements the structure check
// marked as present, in tree order, as a GB2312 record file.
#include <unordered_map>

#include "app/meta_edit.h"
#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/rtl/sysutils.h"
#include "platform/xml/xmldoc.h"
#include "store/dmunit.h"

namespace {

constexpr const char16_t* XmlSchemaInstanceNamespace = u"http://www.w3.org/2001/XMLSchema-instance";
constexpr const char16_t* SchemaLocation = u"mgsd.xsd";
// The branch that holds the record's own information: its children stand
// directly in the document element.
constexpr const char16_t* RecordInfoCode = u"06";
// Tags of the elements whose content is a code of a code list.
constexpr Integer FirstCodeListTag = 10;
constexpr Integer LastCodeListTag = 30;

bool IsWritten(Integer State) { return State >= 1 && State <= 3; }

// The template's name of the inner element of each code-list element, by
// lower-case code.
std::unordered_map<String, String> CodeElementNames() {
  String error;
  if (!dm->OpenSql(error, u"select code, chb_name from templet where tag between 10 and 30", dm->aq_public))
    throw Exception(u"读取模板数据失败,错误信息：" + error);
  std::unordered_map<String, String> names;
  for (dm->aq_public->First(); !dm->aq_public->Eof(); dm->aq_public->Next())
    names[LowerCase(dm->aq_public->FieldByName(u"code")->AsString())] =
        Trim(dm->aq_public->FieldByName(u"chb_name")->AsString());
  dm->aq_public->Close();
  return names;
}

}  // namespace

bool Tfrm_meta_edit::SkipToExportable(TRecordNode*& Node) {
  while (Node) {
    if (IsCore()) Node->State = 3;
    if (IsWritten(Node->State)) return true;
    // Only this element's own subtree is passed over: a later sibling of
    // the same code is examined on its own.
    Node = Node->NextOutside();
  }
  return false;
}

bool Tfrm_meta_edit::WriteXml(const String& AFileName) {
  String text;
  if (!CheckStructure(text) &&
      Application->MessageBox(u"异常信息：" + text + u"，是否继续?", u"确认", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return false;
  ExpandAll();
  std::unique_ptr<TRecordNode> root;
  if (!ReadRecordTree(text, root)) throw Exception(text);
  const auto codeElementNames = CodeElementNames();

  TXMLDocument document(nullptr);
  document.SetOptions({doNodeAutoIndent, doAttrNull, doNamespaceDecl});
  document.SetActive(true);
  document.SetVersion(u"1.0");
  document.SetEncoding(u"GB2312");
  TXMLNode* top = document.AddChild(u"metadata");
  top->SetAttributeNS(u"xsi:noNamespaceSchemaLocation", XmlSchemaInstanceNamespace, Variant(String(SchemaLocation)));

  // Each written element's XML element; the record-information branch
  // stands for the element that encloses it.
  std::unordered_map<const TRecordNode*, TXMLNode*> elementOf{{root.get(), top}};
  for (TRecordNode* node = root->Next(); SkipToExportable(node); node = node->Next()) {
    TXMLNode* enclosing = elementOf.at(node->Parent);
    if (!node->Children.empty()) {
      elementOf[node] = node->Code == RecordInfoCode ? enclosing : enclosing->AddChild(node->Ename);
      continue;
    }
    TXMLNode* element = enclosing->AddChild(node->Ename);
    elementOf[node] = element;
    auto inner = codeElementNames.find(LowerCase(node->Code));
    const bool codeList = node->Tag >= FirstCodeListTag && node->Tag <= LastCodeListTag &&
                          inner != codeElementNames.end() && !inner->second.empty();
    if (codeList) element->AddChild(inner->second)->SetAttributes(u"value", Variant(node->Content));
    else element->SetText(node->Content);
  }
  document.SaveToFile(AFileName);
  SetFileName(AFileName);
  return true;
}
