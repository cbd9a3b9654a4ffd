// Fuzz target for the XML loader: a document read from a file or from text,
// walked node by node (names, texts, attributes), written as text and read
// back from it.
//
// Input: byte 0 bit 0 chooses the way in (0: the bytes as a file, 1: the
// bytes as UTF-8 text); the rest is the document.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/rtl/encoding.h"
#include "platform/xml/xmldoc.h"

namespace {

// Every node once (within a bound), as a reader of a record would.
void Walk(TXMLDocument& Doc) {
  std::vector<TXMLNode*> Pending{Doc.Node()};
  for (int Visited = 0; !Pending.empty() && Visited < 2000; ++Visited) {
    TXMLNode* Node = Pending.back();
    Pending.pop_back();
    (void)Node->NodeName();
    (void)Node->NamespaceURI();
    (void)Node->NodeValue();
    (void)Node->IsTextElement();
    TXMLNodeList* Attributes = Node->AttributeNodes();
    for (Integer I = 0; I < Attributes->Count(); ++I) {
      TXMLNode* Attribute = Attributes->Nodes(I);
      (void)Node->Attributes(Attribute->NodeName());
    }
    TXMLNodeList* Children = Node->ChildNodes();
    for (Integer I = 0; I < Children->Count(); ++I) Pending.push_back(Children->Nodes(I));
  }
}

const std::string& FileName() {
  static const std::string Name = "/tmp/xmldoc_fuzz." + std::to_string(::getpid()) + ".xml";
  return Name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0) return 0;
  std::string Bytes(reinterpret_cast<const char*>(Data) + 1, Size - 1);
  TXMLDocument Doc(nullptr);
  try {
    if (Data[0] & 1) {
      Doc.LoadFromXML(UTF8ToString(Bytes));
    } else {
      std::FILE* F = std::fopen(FileName().c_str(), "wb");
      if (F == nullptr) return 0;
      std::fwrite(Bytes.data(), 1, Bytes.size(), F);
      std::fclose(F);
      Doc.LoadFromFile(UTF8ToString(FileName()));
    }
  } catch (const EXMLDocError&) {
    return 0;
  }
  try {
    Walk(Doc);
    (void)Doc.Node()->Text();
  } catch (const EXMLDocError&) {
    // the text budget
  }
  // What the document writes as text is read back.
  String Text = Doc.XML();
  TXMLDocument Again(nullptr);
  try {
    Again.LoadFromXML(Text);
  } catch (const EXMLDocError& E) {
    std::fprintf(stderr, "written text does not load again: %s\n", E.what());
    __builtin_trap();
  }
  return 0;
}
