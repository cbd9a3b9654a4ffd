// The files shipped beside the program: present in the program's folder of
// the build as they are in the source, help pages whose links all lead
// somewhere, images that are pictures of the size the windows use.

#include <gtest/gtest.h>
#include <libxml/HTMLparser.h>

#include <filesystem>
#include <memory>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path Source = fs::path(KORVANE_SOURCE_DIR) / "assets";
const fs::path ProgramDir = fs::path(KORVANE_BINARY_DIR) / "app";

std::string ReadFile(const fs::path& File) {
  std::ifstream in(File, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<fs::path> FilesUnder(const fs::path& Folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(Folder))
    if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), Folder));
  return files;
}

TEST(ProgramFiles, StyleSheetsHelpAndImagesLieBesideTheProgram) {
  // The preview looks for the sheets directly in the program's folder.
  for (const char* sheet : {"core.xsl", "chinese.xsl"}) {
    SCOPED_TRACE(sheet);
    ASSERT_TRUE(fs::exists(ProgramDir / sheet));
    EXPECT_EQ(ReadFile(ProgramDir / sheet), ReadFile(Source / "xsl" / sheet));
  }
  for (const char* folder : {"help", "images"}) {
    std::vector<fs::path> files = FilesUnder(Source / folder);
    EXPECT_FALSE(files.empty()) << folder;
    for (const fs::path& file : files) {
      SCOPED_TRACE(file.string());
      ASSERT_TRUE(fs::exists(ProgramDir / folder / file));
      EXPECT_EQ(ReadFile(ProgramDir / folder / file), ReadFile(Source / folder / file));
    }
  }
}

// Pixel width and height of a PNG file from its header; {0, 0} when the file
// is no PNG.
std::pair<unsigned, unsigned> PngSize(const fs::path& File) {
  std::string bytes = ReadFile(File);
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
    return {0, 0};
  auto big_endian = [&](size_t at) {
    unsigned value = 0;
    for (size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
  };
  return {big_endian(16), big_endian(20)};
}

TEST(ProgramFiles, EveryImageTheWindowsUseIsAPictureOfItsSize) {
  struct TCase {
    const char* Name;
    unsigned Size;
  } cases[] = {
      // toolbar and menu glyphs, with their double-size copies
      {"new", 16}, {"open", 16}, {"import", 16}, {"save", 16}, {"saveas", 16}, {"check", 16},
      {"preview", 16}, {"help", 16}, {"exit", 16}, {"log", 16}, {"insert", 16}, {"delete", 16},
      {"moveup", 16}, {"movedown", 16}, {"expand", 16}, {"collapse", 16},
      // the tree's node images
      {"node_branch", 16}, {"node_leaf", 16}, {"node_codelist", 16},
      {"new@2x", 32}, {"node_leaf@2x", 32}, {"moveup@2x", 32},
      // window icon and About picture
      {"korvane", 32}, {"korvane48", 48}, {"about", 128},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(PngSize(Source / "images" / (std::string(c.Name) + ".png")), std::make_pair(c.Size, c.Size));
  }
}

struct TDocFree {
  void operator()(xmlDoc* Doc) const { xmlFreeDoc(Doc); }
};

// The local targets of a page's links, style sheets and images.
void CollectLinks(xmlNode* Node, std::vector<std::string>& Links) {
  for (xmlNode* at = Node; at; at = at->next) {
    if (at->type != XML_ELEMENT_NODE) continue;
    for (const char* attribute : {"href", "src"}) {
      xmlChar* value = xmlGetProp(at, reinterpret_cast<const xmlChar*>(attribute));
      if (value) Links.push_back(reinterpret_cast<const char*>(value));
      xmlFree(value);
    }
    CollectLinks(at->children, Links);
  }
}

TEST(ProgramFiles, HelpPagesParseCleanlyAndEveryLinkLeadsToAFile) {
  const fs::path help = Source / "help";
  std::set<std::string> reached{"index.html"};
  for (const fs::path& file : FilesUnder(help)) {
    if (file.extension() != ".html") continue;
    SCOPED_TRACE(file.string());
    htmlParserCtxtPtr context = htmlNewParserCtxt();
    std::unique_ptr<xmlDoc, TDocFree> page(htmlCtxtReadFile(context, (help / file).c_str(), "UTF-8",
                                                            HTML_PARSE_NONET | HTML_PARSE_NOERROR |
                                                                HTML_PARSE_NOWARNING));
    bool well_formed = context->wellFormed != 0;
    htmlFreeParserCtxt(context);
    ASSERT_TRUE(page);
    EXPECT_TRUE(well_formed);
    std::vector<std::string> links;
    CollectLinks(xmlDocGetRootElement(page.get()), links);
    for (const std::string& link : links) {
      EXPECT_EQ(link.find(':'), std::string::npos) << link << ": the manual works without a network";
      fs::path target = (help / link).lexically_normal();
      EXPECT_TRUE(fs::is_regular_file(target)) << link;
      reached.insert(fs::relative(target, help).string());
    }
  }
  for (const fs::path& file : FilesUnder(help))
    EXPECT_TRUE(reached.count(file.string())) << file << " is linked from no page";
}

}  // namespace
