// The XML output of the editing window: the elements the structure check
// marked as present, in tree order, as a GB2312 record file; after a failed
// check that the user chose to pass, every filled element.
#include <unordered_map>
#include <unordered_set>

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

// The template's names of an element: its XML name as the template spells
// it and, for a code-list element, the name of the inner element.
struct TTemplateNames {
  String Ename;
  String CodeElement;
};

// The template's names by lower-case code.
std::unordered_map<String, TTemplateNames> TemplateNames() {
  String error;
  if (!dm->OpenSql(error, u"select code, ename, tag, chb_name from templet", dm->aq_public))
    throw Exception(u"读取模板数据失败,错误信息：" + error);
  std::unordered_map<String, TTemplateNames> names;
  for (TDataSet* rows = dm->aq_public; !rows->Eof(); rows->Next()) {
    const Integer tag = rows->FieldByName(u"tag")->AsInteger();
    TTemplateNames& entry = names[LowerCase(rows->FieldByName(u"code")->AsString())];
    entry.Ename = Trim(rows->FieldByName(u"ename")->AsString());
    if (tag >= FirstCodeListTag && tag <= LastCodeListTag) entry.CodeElement = Trim(rows->FieldByName(u"chb_name")->AsString());
  }
  dm->aq_public->Close();
  return names;
}

// The first character of Text that XML 1.0 cannot carry (control characters
// but tab, line feed and carriage return, a lone surrogate, U+FFFE, U+FFFF);
// npos when there is none. Code points go to ACode.
size_t FirstNonXmlChar(const String& Text, unsigned& ACode) {
  for (size_t i = 0; i < Text.size(); ++i) {
    const char16_t c = Text[i];
    const bool high = c >= 0xD800 && c <= 0xDBFF, low = c >= 0xDC00 && c <= 0xDFFF;
    if (high && i + 1 < Text.size() && Text[i + 1] >= 0xDC00 && Text[i + 1] <= 0xDFFF) {
      ++i;
      continue;
    }
    if ((c < 0x20 && c != 0x9 && c != 0xA && c != 0xD) || high || low || c == 0xFFFE || c == 0xFFFF) {
      ACode = c;
      return i;
    }
  }
  return String::npos;
}

String Hex4(unsigned Code) {
  const char16_t* digits = u"0123456789ABCDEF";
  String text;
  for (int shift = 12; shift >= 0; shift -= 4) text += digits[(Code >> shift) & 0xF];
  return text;
}

// Refuses content that XML 1.0 cannot carry, naming the element.
void CheckXmlContent(const Tfrm_meta_edit::TRecordNode* Node) {
  unsigned code = 0;
  if (FirstNonXmlChar(Node->Content, code) == String::npos) return;
  throw Exception(u"元素“" + Node->Cname + u"”（" + Node->Code + u"）的内容含有XML文件不能保存的字符 U+" + Hex4(code) +
                  u"，请修改后再输出");
}

// The elements that have content, with their ancestors.
std::unordered_set<const Tfrm_meta_edit::TRecordNode*> FilledElements(const Tfrm_meta_edit::TRecordNode* Root) {
  std::unordered_set<const Tfrm_meta_edit::TRecordNode*> filled;
  for (const Tfrm_meta_edit::TRecordNode* node = Root->Next(); node; node = node->Next()) {
    if (!node->Children.empty() || node->Content.empty()) continue;
    for (const Tfrm_meta_edit::TRecordNode* at = node; at != Root && filled.insert(at).second; at = at->Parent) {
    }
  }
  return filled;
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
  const TXmlOutputResult result = WriteXmlFile(AFileName);
  return result == xoWritten || result == xoWrittenUnchecked;
}

Tfrm_meta_edit::TXmlOutputResult Tfrm_meta_edit::WriteXmlFile(const String& AFileName) {
  String text;
  const bool passed = CheckStructure(text);
  if (!passed &&
      Application->MessageBox(u"异常信息：" + text + u"，是否继续?", u"确认", MB_YESNO | MB_ICONQUESTION) != IDYES)
    return xoDeclined;
  ExpandAll();
  std::unique_ptr<TRecordNode> root;
  if (!ReadRecordTree(text, root)) throw Exception(text);
  // After a failed check the states say little: what the user filled in is
  // what the file must keep.
  std::unordered_set<const TRecordNode*> filled;
  if (!passed) filled = FilledElements(root.get());
  if (!passed && filled.empty()) return xoNothingToWrite;
  auto nextToWrite = [&](TRecordNode* Node) {
    if (passed) return SkipToExportable(Node) ? Node : nullptr;
    while (Node && !filled.count(Node)) Node = Node->NextOutside();
    return Node;
  };
  const auto names = TemplateNames();

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
  for (TRecordNode* node = nextToWrite(root->Next()); node; node = nextToWrite(node->Next())) {
    TXMLNode* enclosing = elementOf.at(node->Parent);
    auto named = names.find(LowerCase(node->Code));
    const String name = named != names.end() && !named->second.Ename.empty() ? named->second.Ename : node->Ename;
    if (!node->Children.empty()) {
      elementOf[node] = node->Code == RecordInfoCode ? enclosing : enclosing->AddChild(name);
      continue;
    }
    CheckXmlContent(node);
    TXMLNode* element = enclosing->AddChild(name);
    elementOf[node] = element;
    const bool codeList = node->Tag >= FirstCodeListTag && node->Tag <= LastCodeListTag && named != names.end() &&
                          !named->second.CodeElement.empty();
    if (codeList) element->AddChild(named->second.CodeElement)->SetAttributes(u"value", Variant(node->Content));
    else element->SetText(node->Content);
  }
  document.SaveToFile(AFileName);
  SetFileName(AFileName);
  return passed ? xoWritten : xoWrittenUnchecked;
}
