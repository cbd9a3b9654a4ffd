#include "platform/xml/xmldoc.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <vector>

#include "tests/platform/xml/xmltestutil.h"

namespace {

const String XsiNamespace = u"http://www.w3.org/2001/XMLSchema-instance";

// A record file in the shape the program writes: the document element with
// its schema location, sections, a code-list element and text leaves.
void BuildRecord(TXMLDocument& Doc) {
  Doc.SetOptions({doNodeAutoCreate, doNodeAutoIndent, doAttrNull, doAutoPrefix, doNamespaceDecl});
  Doc.SetActive(true);
  Doc.SetVersion(u"1.0");
  Doc.SetEncoding(u"GB2312");
  TXMLNode* root = Doc.AddChild(u"metadata");
  root->SetAttributeNS(u"xsi:noNamespaceSchemaLocation", XsiNamespace, u"mgsd.xsd");
  TXMLNode* info = root->AddChild(u"dataIdInfo");
  info->AddChild(u"resTitle")->SetText(u"黄河流域地质图 1:20万");
  info->AddChild(u"resAbs")->SetText(u"第一行\r\n第二行\t<&>\"'");
  info->AddChild(u"spaced")->SetText(u"  两端空格  ");
  info->AddChild(u"blanks")->SetText(u"   ");
  info->AddChild(u"empty");
  TXMLNode* code = info->AddChild(u"dataLang");
  code->AddChild(u"LanguageCd")->SetAttributes(u"value", u"zh");
  root->AddChild(u"mdContact")->AddChild(u"rpOrgName")->SetText(u"中国地质调查局");
}

// The tree as text, one line per node, to compare two documents.
void Describe(TXMLNode* Node, String& Out, int Depth = 0) {
  Out += String(size_t(Depth) * 2, u' ') + Node->NodeName();
  if (Node->NodeType() == ntText) Out += u" [" + Node->Text() + u"]";
  for (Integer i = 0; i < Node->AttributeNodes()->Count(); ++i) {
    TXMLNode* attr = Node->AttributeNodes()->Nodes(i);
    Out += u" @" + attr->NodeName() + u"=" + attr->Text();
  }
  Out += u"\n";
  for (Integer i = 0; i < Node->ChildNodes()->Count(); ++i) Describe(Node->ChildNodes()->Nodes(i), Out, Depth + 1);
}

String Describe(TXMLDocument& Doc) {
  String out;
  Describe(Doc.DocumentElement(), out);
  return out;
}

TEST(XMLDocument, RecordRoundTripsInEachEncoding) {
  TTempFolder folder;
  for (const char16_t* encoding : {u"GB2312", u"UTF-8"}) {
    SCOPED_TRACE(StringToUTF8(encoding));
    TXMLDocument written(nullptr);
    BuildRecord(written);
    written.SetEncoding(encoding);
    String expected = Describe(written);
    String file = folder("record.xml");
    written.SaveToFile(file);

    std::string bytes = ReadBytes(file);
    EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"" + StringToUTF8(encoding) + "\"?>", 0), 0u);
    std::string chinese = encoding == String(u"GB2312") ? StringToGB2312(u"中国地质调查局") : StringToUTF8(u"中国地质调查局");
    EXPECT_NE(bytes.find(chinese), std::string::npos) << "the text is stored as characters of the encoding";
    EXPECT_NE(bytes.find("xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""), std::string::npos);
    EXPECT_NE(bytes.find("xsi:noNamespaceSchemaLocation=\"mgsd.xsd\""), std::string::npos);
    EXPECT_NE(bytes.find("\n  <dataIdInfo>"), std::string::npos) << "indented";

    TXMLDocument read(nullptr);
    read.LoadFromFile(file);
    EXPECT_TRUE(read.Active());
    EXPECT_EQ(read.Encoding(), encoding);
    EXPECT_EQ(read.Version(), u"1.0");
    EXPECT_EQ(Describe(read), expected) << "indentation adds no text nodes and no text is changed";
    EXPECT_EQ(VarToStr(read.DocumentElement()->GetAttributeNS(u"noNamespaceSchemaLocation", XsiNamespace)), u"mgsd.xsd");
  }
}

TEST(XMLDocument, CharactersOutsideTheEncodingBecomeReferences) {
  TTempFolder folder;
  const String text = u"欧元€ 表情😀 扩展𠀀";
  TXMLDocument written(nullptr);
  written.SetActive(true);
  written.SetEncoding(u"GB2312");
  TXMLNode* root = written.AddChild(u"metadata");
  root->AddChild(u"resTitle")->SetText(text);
  root->SetAttributes(u"note", text);
  written.SaveToFile(folder("refs.xml"));

  std::string bytes = ReadBytes(folder("refs.xml"));
  EXPECT_NE(bytes.find("&#8364;"), std::string::npos);
  EXPECT_NE(bytes.find("&#128512;"), std::string::npos);
  EXPECT_EQ(bytes.find('?', bytes.find("?>") + 2), std::string::npos) << "no character replaced by '?'";

  TXMLDocument read(nullptr);
  read.LoadFromFile(folder("refs.xml"));
  EXPECT_EQ(read.DocumentElement()->ChildNodes()->Nodes(0)->Text(), text);
  EXPECT_EQ(VarToStr(read.DocumentElement()->Attributes(u"note")), text);
}

// Files that say "GB2312" often hold characters of its common extension
// (here 镕, GBK bytes E9 46): they read as they were meant, and are written
// back as strict GB2312 with a reference.
TEST(XMLDocument, GB2312FilesWithExtendedCharactersRead) {
  TTempFolder folder;
  String file = folder("gbk.xml");
  WriteBytes(file, "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n<metadata><rpIndName>" + StringToGB2312(u"朱") +
                       "\xe9\x46" + StringToGB2312(u"基") + "</rpIndName></metadata>\n");
  TXMLDocument doc(nullptr);
  doc.LoadFromFile(file);
  EXPECT_EQ(doc.DocumentElement()->Text(), u"朱镕基");
  EXPECT_EQ(doc.Encoding(), u"gb2312");
  doc.SaveToFile(file);
  EXPECT_NE(ReadBytes(file).find(StringToGB2312(u"朱") + "&#38229;" + StringToGB2312(u"基")), std::string::npos);
  TXMLDocument again(nullptr);
  again.LoadFromFile(file);
  EXPECT_EQ(again.DocumentElement()->Text(), u"朱镕基");

  // A name cannot be a reference: a name the encoding lacks is refused
  // before anything is written.
  doc.DocumentElement()->AddChild(u"镕");
  EXPECT_THROW(doc.SaveToFile(file), EXMLDocError);
  EXPECT_NE(ReadBytes(file).find("&#38229;"), std::string::npos) << "the old file stays";
  doc.SetEncoding(u"UTF-8");
  EXPECT_NO_THROW(doc.SaveToFile(file));
}

TEST(XMLDocument, XMLTextKeepsCharactersAndNamesTheEncoding) {
  TXMLDocument doc(nullptr);
  BuildRecord(doc);
  String text = doc.XML();
  EXPECT_EQ(text.rfind(u"<?xml version=\"1.0\" encoding=\"GB2312\"?>\n<metadata", 0), 0u);
  EXPECT_NE(text.find(u"中国地质调查局"), String::npos);

  TXMLDocument copy(nullptr);
  copy.SetXML(text);
  EXPECT_EQ(copy.Encoding(), u"GB2312");
  EXPECT_EQ(Describe(copy), Describe(doc));
}

TEST(XMLDocument, MalformedInputRaisesWithFileAndLine) {
  TTempFolder folder;
  struct Case {
    const char* Name;
    std::string Bytes;
    Integer Line;
  } cases[] = {
      {"mismatch", "<?xml version=\"1.0\"?>\n<r>\n  <a>x</a>\n  <b></r>\n", 4},
      {"two roots", "<r/>\n<s/>\n", 2},
      {"bad utf8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>\xff\xfe</r>", 2},
      {"empty", "", 1},
      {"undeclared prefix", "<r>\n<x:a/>\n</r>", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    String file = folder(std::string(c.Name) + ".xml");
    WriteBytes(file, c.Bytes);
    TXMLDocument doc(nullptr);
    try {
      doc.LoadFromFile(file);
      ADD_FAILURE() << "no error";
    } catch (const EXMLDocError& e) {
      EXPECT_EQ(e.FileName, file);
      EXPECT_EQ(e.Line, c.Line) << e.what();
      EXPECT_NE(e.Message.find(file), String::npos) << e.what();
      EXPECT_NE(e.Message.find(u"line " + UTF8ToString(std::to_string(c.Line))), String::npos) << e.what();
    }
    EXPECT_FALSE(doc.Active());
  }

  for (String name : {folder("absent.xml"), folder("")}) {
    TXMLDocument doc(nullptr);
    try {
      doc.LoadFromFile(name);
      ADD_FAILURE() << "no error";
    } catch (const EXMLDocError& e) {
      EXPECT_EQ(e.FileName, name);
      EXPECT_NE(e.Message.find(name), String::npos);
    }
  }
}

TEST(XMLDocument, HostileFilesAreRefusedOrHarmless) {
  TTempFolder folder;
  WriteBytes(folder("secret.txt"), "TOP-SECRET");
  WriteBytes(folder("secret.dtd"), "<!ENTITY leak \"TOP-SECRET\">");
  std::string secretURL = "file://" + StringToUTF8(folder("secret.txt"));
  std::string dtdURL = "file://" + StringToUTF8(folder("secret.dtd"));
  TLocalListener listener;

  std::string laughs = "<!DOCTYPE r [<!ENTITY a \"aaaaaaaaaa\">";
  for (char level = 'b'; level <= 'j'; ++level) {
    std::string previous(1, char(level - 1));
    laughs += std::string("<!ENTITY ") + level + " \"";
    for (int i = 0; i < 10; ++i) laughs += "&" + previous + ";";
    laughs += "\">";
  }
  laughs += "]>\n<r>&j;</r>";

  struct Case {
    const char* Name;
    std::string Bytes;
  } cases[] = {
      {"billion laughs", laughs},
      {"external entity", "<!DOCTYPE r [<!ENTITY x SYSTEM \"" + secretURL + "\">]>\n<r>&x;</r>"},
      {"external parameter entity", "<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + dtdURL + "\"> %p;]>\n<r>&leak;</r>"},
      {"external DTD", "<!DOCTYPE r SYSTEM \"" + dtdURL + "\">\n<r>&leak;</r>"},
      {"network DTD", "<!DOCTYPE r SYSTEM \"" + listener.URL("x.dtd") + "\">\n<r>plain</r>"},
      {"network entity", "<!DOCTYPE r [<!ENTITY x SYSTEM \"" + listener.URL("x") + "\">]>\n<r>&x;</r>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    String file = folder("hostile.xml");
    WriteBytes(file, c.Bytes);
    TXMLDocument doc(nullptr);
    auto start = std::chrono::steady_clock::now();
    try {
      doc.LoadFromFile(file);
      String text = doc.DocumentElement()->Text();
      EXPECT_EQ(text.find(u"TOP-SECRET"), String::npos);
      EXPECT_LT(text.size(), 1000u);
      EXPECT_EQ(doc.XML().find(u"TOP-SECRET"), String::npos);
    } catch (const EXMLDocError&) {
      EXPECT_FALSE(doc.Active());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(listener.Connected());
  }
}

// Entity references are read as their text, within a budget: a small file
// cannot make a text of hundreds of megabytes, nor keep the reading busy
// with references to empty entities.
TEST(XMLDocument, ReadingTextHasABudget) {
  std::string big = "<!DOCTYPE r [<!ENTITY e \"" + std::string(10 * 1024, 'x') + "\">]>\n<r>";
  std::string refs;
  for (int i = 0; i < 20000; ++i) refs += "&e;";
  std::string empty = "<!DOCTYPE r [<!ENTITY a \"\">";
  for (char level = 'b'; level <= 'i'; ++level) {
    empty += std::string("<!ENTITY ") + level + " \"";
    for (int i = 0; i < 10; ++i) empty += std::string("&") + char(level - 1) + ";";
    empty += "\">";
  }
  auto rootText = [](TXMLDocument& doc) { (void)doc.DocumentElement()->Text(); };
  auto attribute = [](TXMLDocument& doc) { (void)doc.DocumentElement()->ChildNodes()->First()->Attributes(u"v"); };
  struct Case {
    const char* Name;
    std::string Text;
    std::function<void(TXMLDocument&)> Read;
  } cases[] = {
      {"one 10 KB entity 20,000 times", big + refs + "</r>", rootText},
      {"in an attribute", big + "<a v=\"" + refs + "\"/></r>", attribute},
      {"empty entities nested", empty + "]>\n<r>&i;&i;&i;&i;&i;&i;&i;&i;&i;&i;</r>", rootText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TXMLDocument doc(nullptr);
    try {
      doc.LoadFromXML(UTF8ToString(c.Text));
    } catch (const EXMLDocError&) {
      continue;  // refused by the parser already
    }
    auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(c.Read(doc), EXMLDocError);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  }

  // Within the budget the text is what it always was.
  TXMLDocument doc(nullptr);
  doc.LoadFromXML(u"<!DOCTYPE r [<!ENTITY e \"x&f;\"><!ENTITY f \"<b>y</b>\"><!ENTITY g \"z\">]>"
                  u"<r a=\"1&g;2\">a&e;b<!--c--><?p q?><![CDATA[<d>]]>e</r>");
  EXPECT_EQ(doc.DocumentElement()->Text(), u"axyb<d>e");
  EXPECT_EQ(doc.DocumentElement()->Attributes(u"a"), Variant(u"1z2"));
}

// Only regular files within the size limit are read: a device, a pipe or a
// folder is refused at once, and so is a file past the limit.
TEST(XMLDocument, OnlyRegularFilesWithinTheLimitLoad) {
  TTempFolder folder;
  String pipe = folder("pipe.xml");
  ASSERT_EQ(::mkfifo(StringToUTF8(pipe).c_str(), 0600), 0);
  String large = folder("large.xml");
  WriteBytes(large, "<r>");
  ASSERT_EQ(::truncate(StringToUTF8(large).c_str(), MaxXMLFileSize + 1), 0);  // sparse
  for (const String& name : {String(u"/dev/zero"), pipe, folder(""), large}) {
    SCOPED_TRACE(StringToUTF8(name));
    TXMLDocument doc(nullptr);
    auto start = std::chrono::steady_clock::now();
    try {
      doc.LoadFromFile(name);
      ADD_FAILURE() << "no error";
    } catch (const EXMLDocError& e) {
      EXPECT_EQ(e.FileName, name);
      EXPECT_NE(e.Message.find(name), String::npos) << e.what();
    }
    EXPECT_FALSE(doc.Active());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  }
}

// Only <?xml ...?> itself is the declaration; another processing
// instruction that starts with "xml" names no encoding.
TEST(XMLDocument, OnlyTheDeclarationNamesTheEncoding) {
  TTempFolder folder;
  const struct {
    const char* Text;
    const char16_t* Encoding;
  } cases[] = {
      {"<?xml-x encoding=\"a b\"?><r/>", u""},
      {"<?xml-stylesheet href=\"s.xsl\" encoding=\"GB2312\"?><r/>", u""},
      {"<?xml version=\"1.0\" encoding=\"GB2312\"?><r/>", u"GB2312"},
      {"<?xml version=\"1.0\" standalone=\"yes\"?><r/>", u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    TXMLDocument doc(nullptr);
    doc.LoadFromXML(UTF8ToString(c.Text));
    EXPECT_EQ(doc.Encoding(), c.Encoding);
    TXMLDocument again(nullptr);
    EXPECT_NO_THROW(again.LoadFromXML(doc.XML())) << StringToUTF8(doc.XML());
    WriteBytes(folder("d.xml"), c.Text);
    doc.LoadFromFile(folder("d.xml"));
    EXPECT_EQ(doc.Encoding(), c.Encoding);
    doc.SaveToFile(folder("saved.xml"));
    EXPECT_NO_THROW(again.LoadFromFile(folder("saved.xml")));
  }
}

// A processing instruction or comment the encoding cannot hold is refused
// on saving, also when the instruction has no data.
TEST(XMLDocument, ProcessingInstructionsTheEncodingCannotHoldAreRefused) {
  TTempFolder folder;
  const struct {
    const char16_t* Target;
    const char16_t* Data;
    TNodeType Type;
    const char16_t* Named;  // what the message names
  } cases[] = {
      {u"目标", u"", ntProcessingInstr, u"目标"},
      {u"目标", u"data", ntProcessingInstr, u"目标"},
      {u"target", u"数据", ntProcessingInstr, u"数据"},
      {u"注释", u"", ntComment, u"注释"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(StringToUTF8(c.Named));
    TXMLDocument doc(nullptr);
    doc.SetActive(true);
    doc.SetEncoding(u"ISO-8859-1");
    doc.AddChild(u"r")->ChildNodes()->Add(doc.CreateNode(c.Target, c.Type, c.Data));
    try {
      doc.SaveToFile(folder("pi.xml"));
      ADD_FAILURE() << "no error";
    } catch (const EXMLDocError& e) {
      EXPECT_NE(e.Message.find(c.Named), String::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(folder.Path / "pi.xml"));
  }
}

TEST(XMLDocument, IndentationIsDroppedButContentBlanksStay) {
  TXMLDocument doc(nullptr);
  doc.LoadFromXML(
      u"<r>\n  <a>  </a>\n  <b> x <i>y</i> </b>\n  <c xml:space=\"preserve\">\n    <d/>\n  </c>\n  <e>\n  </e>\n</r>");
  TXMLNodeList* children = doc.DocumentElement()->ChildNodes();
  ASSERT_EQ(children->Count(), 4);
  EXPECT_EQ(children->Nodes(0)->Text(), u"  ") << "blank content of its own";
  EXPECT_EQ(children->Nodes(1)->ChildNodes()->Count(), 3) << "text around an element is content";
  EXPECT_EQ(children->Nodes(1)->Text(), u" x y ");
  EXPECT_EQ(children->Nodes(2)->ChildNodes()->Count(), 3) << "xml:space keeps it";
  EXPECT_EQ(children->Nodes(3)->Text(), u"\n  ");
}

// An import walks the file as the reader of record files does: the text of
// a leaf, the value of a code-list element, and nothing for an empty one.
TEST(XMLDocument, ReadingBackWalksElementsTextsAndValues) {
  TXMLDocument doc(nullptr);
  BuildRecord(doc);
  TXMLDocument read(nullptr);
  read.LoadFromXML(doc.XML());
  TXMLNode* info = read.DocumentElement()->ChildNodes()->FindNode(u"dataIdInfo");
  ASSERT_NE(info, nullptr);

  TXMLNode* title = info->ChildNodes()->First();
  EXPECT_EQ(title->NodeName(), u"resTitle");
  EXPECT_EQ(title->ChildNodes()->First()->NodeType(), ntText);
  EXPECT_TRUE(title->IsTextElement());
  EXPECT_EQ(VarToStr(title->NodeValue()), u"黄河流域地质图 1:20万");

  TXMLNode* empty = info->ChildNodes()->FindNode(u"empty");
  EXPECT_FALSE(empty->HasChildNodes());
  EXPECT_FALSE(empty->IsTextElement());
  EXPECT_TRUE(VarIsNull(empty->NodeValue()));

  TXMLNode* code = info->ChildNodes()->FindNode(u"dataLang")->ChildNodes()->First();
  EXPECT_EQ(code->NodeName(), u"LanguageCd");
  EXPECT_TRUE(code->HasAttribute(u"value"));
  EXPECT_EQ(VarToStr(code->Attributes(u"value")), u"zh");
  EXPECT_FALSE(info->IsTextElement());

  EXPECT_EQ(info->ParentNode(), read.DocumentElement());
  EXPECT_EQ(read.DocumentElement()->ParentNode(), read.Node());
  EXPECT_EQ(read.Node()->ParentNode(), nullptr);
  EXPECT_EQ(read.Node()->NodeType(), ntDocument);
  EXPECT_EQ(info->ChildNodes()->IndexOf(code->ParentNode()), 5);
}

TEST(XMLDocument, AttributesAbsentNullOrEmptyAndNamespaces) {
  TXMLDocument doc(nullptr);
  BuildRecord(doc);
  TXMLNode* root = doc.DocumentElement();
  EXPECT_TRUE(VarIsNull(root->Attributes(u"absent")));
  doc.SetOptions({});
  EXPECT_EQ(VarToStr(root->Attributes(u"absent")), u"");
  EXPECT_FALSE(VarIsNull(root->Attributes(u"absent")));
  doc.SetOptions({doAttrNull, doNamespaceDecl});

  EXPECT_EQ(VarToStr(root->Attributes(u"xsi:noNamespaceSchemaLocation")), u"mgsd.xsd");
  EXPECT_EQ(VarToStr(root->Attributes(u"xmlns:xsi")), XsiNamespace);
  EXPECT_EQ(root->AttributeNodes()->Count(), 1) << "declarations are not attribute nodes";
  EXPECT_EQ(root->AttributeNodes()->First()->NamespaceURI(), XsiNamespace);
  EXPECT_EQ(root->AttributeNodes()->First()->LocalName(), u"noNamespaceSchemaLocation");
  EXPECT_EQ(root->AttributeNodes()->First()->Prefix(), u"xsi");

  root->SetAttributes(u"xsi:type", u"record");  // prefix in scope
  EXPECT_EQ(VarToStr(root->GetAttributeNS(u"type", XsiNamespace)), u"record");
  EXPECT_THROW(root->SetAttributes(u"nope:type", u"x"), EXMLDocError);
  EXPECT_THROW(root->SetAttributeNS(u"xsi:other", u"urn:another", u"x"), EXMLDocError)
      << "the prefix is bound to another namespace here";

  root->SetAttributes(u"xsi:type", Null());
  EXPECT_FALSE(root->HasAttribute(u"xsi:type"));

  TXMLNode* child = root->AddChild(u"xsi:child");  // prefix from the parent's scope
  EXPECT_EQ(child->NamespaceURI(), XsiNamespace);
  TXMLNode* inDefault = root->AddChild(u"item", u"urn:default");
  EXPECT_EQ(inDefault->AddChild(u"inner")->NamespaceURI(), u"urn:default") << "the default namespace is inherited";
  EXPECT_NE(doc.XML().find(u"<item xmlns=\"urn:default\">"), String::npos);
}

TEST(XMLDocument, ChildListsInsertMoveAndDelete) {
  TXMLDocument doc(nullptr);
  doc.SetActive(true);
  TXMLNode* root = doc.AddChild(u"r");
  TXMLNodeList* list = root->ChildNodes();
  TXMLNode* b = root->AddChild(u"b");
  TXMLNode* a = root->AddChild(u"a", String(), 0);
  TXMLNode* c = doc.CreateNode(u"c");
  EXPECT_EQ(c->ParentNode(), nullptr);
  EXPECT_EQ(list->Add(c), 2);
  EXPECT_EQ(list->Count(), 3);
  EXPECT_EQ(list->Nodes(0), a);
  EXPECT_EQ(list->Last(), c);

  // Two texts side by side stay two nodes (nothing is merged and freed).
  TXMLNode* t1 = doc.CreateNode(u"one", ntText);
  TXMLNode* t2 = doc.CreateNode(u"two", ntText);
  c->ChildNodes()->Add(t1);
  c->ChildNodes()->Add(t2);
  EXPECT_EQ(c->ChildNodes()->Count(), 2);
  EXPECT_EQ(t2->Text(), u"two");

  list->Insert(0, c);  // moving
  EXPECT_EQ(list->IndexOf(c), 0);
  EXPECT_EQ(list->Count(), 3);
  EXPECT_THROW(c->ChildNodes()->Add(root), EXMLDocError) << "a node cannot go inside itself";
  EXPECT_THROW(list->Insert(9, b), EXMLDocError);
  EXPECT_THROW(list->Nodes(3), EXMLDocError);
  EXPECT_THROW(list->Nodes(-1), EXMLDocError);

  EXPECT_EQ(list->Remove(a), 1);
  EXPECT_EQ(list->Remove(doc.CreateNode(u"loose")), -1);
  list->Delete(0);
  EXPECT_EQ(list->Count(), 1);
  EXPECT_EQ(list->First(), b);

  // Nodes by name: created with doNodeAutoCreate, an error without.
  EXPECT_EQ(list->Nodes(u"b"), b);
  TXMLNode* made = list->Nodes(u"made");
  EXPECT_EQ(list->Last(), made);
  doc.SetOptions({});
  EXPECT_THROW(list->Nodes(u"other"), EXMLDocError);

  list->Clear();
  EXPECT_FALSE(root->HasChildNodes());
}

// Walking by NextSibling meets every node of a list, in list order, once.
TEST(XMLDocument, NextSiblingWalksChildrenAndAttributesInOrder) {
  TXMLDocument doc(nullptr);
  doc.LoadFromXML(u"<r a=\"1\" b=\"2\"><x/>text<!--c--><y/></r>");
  TXMLNode* root = doc.DocumentElement();
  for (TXMLNodeList* list : {root->ChildNodes(), root->AttributeNodes()}) {
    std::vector<TXMLNode*> walked;
    for (TXMLNode* n = list->First(); n; n = n->NextSibling()) walked.push_back(n);
    ASSERT_EQ(Integer(walked.size()), list->Count());
    for (Integer i = 0; i < list->Count(); ++i) EXPECT_EQ(walked[size_t(i)], list->Nodes(i));
  }
  EXPECT_EQ(doc.Node()->NextSibling(), nullptr);
  EXPECT_EQ(doc.CreateNode(u"loose")->NextSibling(), nullptr);
}

TEST(XMLDocument, SettingTextReplacesChildren) {
  TXMLDocument doc(nullptr);
  doc.SetActive(true);
  TXMLNode* root = doc.AddChild(u"r");
  root->AddChild(u"x")->AddChild(u"y");
  root->SetText(u"plain");
  EXPECT_EQ(root->ChildNodes()->Count(), 1);
  EXPECT_TRUE(root->IsTextElement());
  root->SetText(u"");
  EXPECT_FALSE(root->HasChildNodes()) << "an empty text makes an empty element";
  EXPECT_NE(doc.XML().find(u"<r/>"), String::npos);
  root->SetNodeValue(42);
  EXPECT_EQ(root->Text(), u"42");
}

TEST(XMLDocument, NamesAndTextsXMLCannotHoldAreRefused) {
  TXMLDocument doc(nullptr);
  doc.SetActive(true);
  TXMLNode* root = doc.AddChild(u"r");
  for (const char16_t* name : {u"", u"two words", u"1abc", u"a:b:c", u"<x>"}) {
    SCOPED_TRACE(StringToUTF8(name));
    EXPECT_THROW(root->AddChild(name), EXMLDocError);
    EXPECT_THROW(root->SetAttributes(name, u"v"), EXMLDocError);
  }
  EXPECT_EQ(root->ChildNodes()->Count(), 0) << "a refused child leaves nothing behind";
  EXPECT_NO_THROW(root->AddChild(u"元数据"));
  for (String text : {String(u"a\x01z"), String(u"\x1b"), String(1, Char(0xFFFF))}) {
    EXPECT_THROW(root->SetText(text), EXMLDocError);
    EXPECT_THROW(root->SetAttributes(u"v", text), EXMLDocError);
  }
  EXPECT_THROW(doc.CreateNode(u"a--b", ntComment), EXMLDocError);
  EXPECT_THROW(doc.AddChild(u"second"), EXMLDocError) << "one document element";
}

TEST(XMLDocument, ActivationAndInactiveUse) {
  TTempFolder folder;
  TXMLDocument doc(nullptr);
  EXPECT_FALSE(doc.Active());
  EXPECT_THROW(doc.DocumentElement(), EXMLDocError);
  EXPECT_THROW(doc.XML(), EXMLDocError);
  EXPECT_THROW(doc.SaveToFile(folder("x.xml")), EXMLDocError);

  doc.SetActive(true);
  EXPECT_EQ(doc.Version(), u"1.0");
  EXPECT_EQ(doc.Encoding(), u"") << "a new document has no declared encoding";
  EXPECT_EQ(doc.DocumentElement(), nullptr);
  doc.AddChild(u"first")->SetText(u"内容");
  doc.SaveToFile(folder("x.xml"));
  doc.SetActive(false);

  doc.SetFileName(folder("x.xml"));
  doc.SetActive(true);
  EXPECT_EQ(doc.DocumentElement()->Text(), u"内容");
  EXPECT_EQ(doc.Encoding(), u"UTF-8") << "saved as UTF-8 when no encoding is set";
  EXPECT_NE(ReadBytes(folder("x.xml")).find(StringToUTF8(u"内容")), std::string::npos) << "saved as UTF-8";

  TXMLNode* loose = doc.CreateNode(u"loose");
  loose->AddChild(u"child");
  doc.SetActive(false);  // frees the node never inserted (checked by the sanitizers)
  EXPECT_FALSE(doc.Active());
}

TEST(XMLDocument, FailedSaveLeavesTheOldFile) {
  TTempFolder folder;
  String file = folder("record.xml");
  WriteBytes(file, "<old/>");
  TXMLDocument doc(nullptr);
  BuildRecord(doc);
  for (int i = 0; i < 2000; ++i) doc.DocumentElement()->AddChild(u"filler")->SetText(u"一些内容");

  // The disk "fills" part way through the write.
  struct sigaction ignore {}, previous {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGXFSZ, &ignore, &previous);
  rlimit oldLimit{};
  getrlimit(RLIMIT_FSIZE, &oldLimit);
  rlimit small = oldLimit;
  small.rlim_cur = 4096;
  setrlimit(RLIMIT_FSIZE, &small);
  bool raised = false;
  try {
    doc.SaveToFile(file);
  } catch (const EXMLDocError& e) {
    raised = true;
    EXPECT_NE(e.Message.find(file), String::npos) << e.what();
  }
  setrlimit(RLIMIT_FSIZE, &oldLimit);
  sigaction(SIGXFSZ, &previous, nullptr);

  EXPECT_TRUE(raised);
  EXPECT_EQ(ReadBytes(file), "<old/>");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path), {}), 1) << "no temporary file left";

  EXPECT_THROW(doc.SaveToFile(folder("no/such/folder.xml")), EXMLDocError);
  doc.SetEncoding(u"NO-SUCH-ENCODING");
  EXPECT_THROW(doc.SaveToFile(file), EXMLDocError);
  EXPECT_EQ(ReadBytes(file), "<old/>");

  doc.SetEncoding(u"GB2312");
  doc.SaveToFile(file);
  TXMLDocument read(nullptr);
  read.LoadFromFile(file);
  EXPECT_EQ(read.DocumentElement()->ChildNodes()->Count(), 2002);
}

}  // namespace
