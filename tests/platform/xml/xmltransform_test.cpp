#include <gtest/gtest.h>

#include "platform/xml/xmldoc.h"

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <thread>
#include "tests/platform/xml/xmltestutil.h"

namespace {

const char* const Record =
    "<?xml version=\"1.0\" encoding=\"GB2312\"?>\n"
    "<metadata>\n  <dataIdInfo>\n    <resTitle>地质图</resTitle><rpIndName>朱&#38229;基</rpIndName>\n"
    "    <dataLang><LanguageCd value=\"zh\"/></dataLang>\n  </dataIdInfo>\n</metadata>\n";

std::string Sheet(const std::string& Output, const std::string& Body, const std::string& Extra = "") {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + Extra +
         "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\""
         " xmlns:exsl=\"http://exslt.org/common\" extension-element-prefixes=\"exsl\">\n" +
         Output + "<xsl:template match=\"/\">" + Body + "</xsl:template>\n</xsl:stylesheet>\n";
}

// A source record and a style sheet, loaded from files as the preview loads them.
struct TTransformFixture {
  TTempFolder Folder;
  TXMLDocument Source{nullptr};
  TXMLDocument StyleSheet{nullptr};

  void Load(const std::string& SheetText) {
    WriteBytes(Folder("temp.xml"), StringToGB2312(UTF8ToString(Record)));
    WriteBytes(Folder("sheet.xsl"), SheetText);
    Source.LoadFromFile(Folder("temp.xml"));
    StyleSheet.LoadFromFile(Folder("sheet.xsl"));
  }
};

TEST(XSLTransform, HtmlPageFromARecord) {
  TTransformFixture f;
  f.Load(Sheet("<xsl:output method=\"html\" encoding=\"GB2312\"/>",
               "<html><head><title>预览</title></head><body><h1>标题：<xsl:value-of select=\"//resTitle\"/></h1>"
               "<p><xsl:value-of select=\"//LanguageCd/@value\"/>&nbsp;&sig;</p>"
               "<address><xsl:value-of select=\"//rpIndName\"/></address></body></html>",
               "<!DOCTYPE xsl:stylesheet [<!ENTITY nbsp \"&#160;\"><!ENTITY copy \"(c)\">"
               "<!ENTITY sig \"&copy;<b>Korvane</b>\">]>\n"));

  String text = f.Source.Node()->TransformNode(f.StyleSheet.Node());
  EXPECT_NE(text.find(u"<h1>标题：地质图</h1>"), String::npos) << StringToUTF8(text);
  EXPECT_NE(text.find(u"zh\u00A0(c)<b>Korvane</b>"), String::npos) << "entities of the sheet's own DTD are its text";

  String page = f.Folder("qv1.htm");
  f.Source.Node()->TransformNodeToFile(f.StyleSheet.Node(), page);
  std::string bytes = ReadBytes(page);
  EXPECT_NE(bytes.find(StringToGB2312(u"标题：地质图")), std::string::npos) << "written in the sheet's encoding";
  EXPECT_NE(bytes.find("charset=GB2312"), std::string::npos);
  EXPECT_NE(bytes.find(StringToGB2312(u"朱") + "&#38229;" + StringToGB2312(u"基")), std::string::npos)
      << "a character the page's encoding lacks is a reference";
  EXPECT_NE(text.find(u"<address>朱镕基</address>"), String::npos);

  // An element as the source: the transformation sees a copy of it alone.
  String part = f.Source.DocumentElement()->ChildNodes()->Nodes(0)->TransformNode(f.StyleSheet.DocumentElement());
  EXPECT_NE(part.find(u"地质图"), String::npos);
}

TEST(XSLTransform, XmlOutputAndTextOutput) {
  TTransformFixture f;
  f.Load(Sheet("<xsl:output method=\"text\"/>", "<xsl:for-each select=\"//*\"><xsl:value-of select=\"name()\"/>;</xsl:for-each>"));
  EXPECT_EQ(f.Source.Node()->TransformNode(f.StyleSheet.Node()), u"metadata;dataIdInfo;resTitle;rpIndName;dataLang;LanguageCd;");

  f.Load(Sheet("<xsl:output method=\"xml\" indent=\"no\"/>", "<out><xsl:copy-of select=\"//resTitle\"/></out>"));
  String text = f.Source.Node()->TransformNode(f.StyleSheet.Node());
  EXPECT_NE(text.find(u"<out><resTitle>地质图</resTitle></out>"), String::npos) << StringToUTF8(text);
}

TEST(XSLTransform, SheetsThatWriteOrReachTheNetworkAreStopped) {
  TLocalListener listener;
  TTempFolder outside;
  std::string written = StringToUTF8(outside("written.txt"));
  std::string importFile = StringToUTF8(outside("imported.xsl"));
  WriteBytes(outside("imported.xsl"),
             "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\"/>");

  struct Case {
    const char* Name;
    std::string Sheet;
  } cases[] = {
      {"exsl document", Sheet("", "<exsl:document href=\"" + written + "\" method=\"text\">x</exsl:document>")},
      {"xsl document",
       "<xsl:stylesheet version=\"1.1\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
       "<xsl:template match=\"/\"><xsl:document href=\"" + written + "\" method=\"text\">x</xsl:document>"
       "</xsl:template></xsl:stylesheet>"},
      {"document() over the network", Sheet("", "<x><xsl:copy-of select=\"document('" + listener.URL("d.xml") + "')\"/></x>")},
      {"import over the network", Sheet("<xsl:import href=\"" + listener.URL("i.xsl") + "\"/>", "<x/>")},
      {"network DTD of an import",
       Sheet("<xsl:import href=\"" + importFile + "\"/>", "<x/>")},
  };
  // The imported sheet names a DTD on the network.
  WriteBytes(outside("imported.xsl"),
             "<!DOCTYPE xsl:stylesheet SYSTEM \"" + listener.URL("s.dtd") +
                 "\"><xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\"/>");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TTransformFixture f;
    f.Load(c.Sheet);
    try {
      String text = f.Source.Node()->TransformNode(f.StyleSheet.Node());
      EXPECT_EQ(text.find(u"<d"), String::npos);
    } catch (const EXMLDocError& e) {
      EXPECT_FALSE(e.Message.empty());
    }
    EXPECT_FALSE(std::filesystem::exists(written)) << "no file written";
    EXPECT_FALSE(listener.Connected()) << "no connection made";
  }
}

TEST(XSLTransform, WriteRefusalIsAnError) {
  TTransformFixture f;
  std::string target = StringToUTF8(f.Folder("escaped.txt"));
  f.Load(Sheet("", "<exsl:document href=\"" + target + "\" method=\"text\">x</exsl:document>"));
  try {
    f.Source.Node()->TransformNode(f.StyleSheet.Node());
    ADD_FAILURE() << "no error";
  } catch (const EXMLDocError& e) {
    EXPECT_NE(StringToUTF8(e.Message).find(target), std::string::npos) << e.what();
  }
}

// Style sheets a sheet includes and documents it reads with document() are
// read as the main documents are: no external entity or DTD is read, a pipe
// or a device is refused, and the sheet's own internal entities still work.
TEST(XSLTransform, FilesTheSheetReadsAreReadLikeTheMainDocuments) {
  TTempFolder outside;
  WriteBytes(outside("secret.txt"), "TOP-SECRET");
  WriteBytes(outside("secret.dtd"), "<!ENTITY leak \"TOP-SECRET\">");
  const std::string secret = "file://" + StringToUTF8(outside("secret.txt"));
  const std::string dtd = "file://" + StringToUTF8(outside("secret.dtd"));
  WriteBytes(outside("included.xsl"),
             "<!DOCTYPE xsl:stylesheet [<!ENTITY leak SYSTEM \"" + secret + "\"><!ENTITY word \"included\">]>"
             "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
             "<xsl:template name=\"t\"><i>(&word;&leak;)</i></xsl:template></xsl:stylesheet>");
  WriteBytes(outside("entity.xml"), "<!DOCTYPE d [<!ENTITY leak SYSTEM \"" + secret + "\">]><d>&leak;</d>");
  WriteBytes(outside("dtd.xml"), "<!DOCTYPE d SYSTEM \"" + dtd + "\"><d>&leak;</d>");
  const std::string pipe = StringToUTF8(outside("pipe.xml"));
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  // Should the pipe be opened for reading, a writer comes along after a
  // while so that the test ends (late, and failing).
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (auto start = std::chrono::steady_clock::now(); !done && std::chrono::steady_clock::now() - start < std::chrono::seconds(10);) {
      int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
      if (fd >= 0) {
        std::this_thread::sleep_for(std::chrono::seconds(6));
        ::close(fd);
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  });
  auto path = [&](const char* Name) { return StringToUTF8(outside(Name)); };
  struct Case {
    const char* Name;
    std::string Sheet;
    const char16_t* Expected;
  } cases[] = {
      {"included sheet", Sheet("<xsl:include href=\"" + path("included.xsl") + "\"/>", "<x><xsl:call-template name=\"t\"/></x>"),
       u"<i>(included)</i>"},
      {"document() with an external entity", Sheet("", "<x><xsl:copy-of select=\"document('" + path("entity.xml") + "')\"/></x>"), u"<d"},
      {"document() with an external DTD", Sheet("", "<x><xsl:value-of select=\"document('" + path("dtd.xml") + "')\"/></x>"), u"<x"},
      {"document() of a pipe", Sheet("", "<x><xsl:copy-of select=\"document('" + pipe + "')\"/></x>"), nullptr},
      {"document() of a device", Sheet("", "<x><xsl:copy-of select=\"document('/dev/zero')\"/></x>"), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TTransformFixture f;
    f.Load(c.Sheet);
    auto start = std::chrono::steady_clock::now();
    try {
      String text = f.Source.Node()->TransformNode(f.StyleSheet.Node());
      EXPECT_EQ(text.find(u"TOP-SECRET"), String::npos);
      if (c.Expected) {
        EXPECT_NE(text.find(c.Expected), String::npos) << StringToUTF8(text);
      }
    } catch (const EXMLDocError& e) {
      EXPECT_EQ(c.Expected, nullptr) << e.what();
      EXPECT_EQ(e.Message.find(u"TOP-SECRET"), String::npos);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  }
  done = true;
  writer.join();
}

TEST(XSLTransform, BrokenSheetsAndStoppedTransformationsRaise) {
  struct Case {
    const char* Name;
    std::string Sheet;
    const char16_t* Expected;
  } cases[] = {
      {"not a style sheet", "<html><body/></html>", u""},
      {"unknown function", Sheet("", "<xsl:value-of select=\"frobnicate(1)\"/>"), u"frobnicate"},
      {"bad expression", Sheet("", "<xsl:value-of select=\"//[\"/>"), u""},
      {"terminating message", Sheet("", "<xsl:message terminate=\"yes\">记录不完整</xsl:message>"), u"记录不完整"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TTransformFixture f;
    f.Load(c.Sheet);
    try {
      f.Source.Node()->TransformNode(f.StyleSheet.Node());
      ADD_FAILURE() << "no error";
    } catch (const EXMLDocError& e) {
      EXPECT_NE(e.Message.find(c.Expected), String::npos) << e.what();
    }
    EXPECT_FALSE(std::filesystem::exists(f.Folder.Path / "out.htm"));
    EXPECT_THROW(f.Source.Node()->TransformNodeToFile(f.StyleSheet.Node(), f.Folder("out.htm")), EXMLDocError);
    EXPECT_FALSE(std::filesystem::exists(f.Folder.Path / "out.htm")) << "no page for a failed transformation";
  }
  TTransformFixture f;
  f.Load(Sheet("", "<x/>"));
  EXPECT_THROW(f.Source.Node()->TransformNode(nullptr), EXMLDocError);
}

}  // namespace
