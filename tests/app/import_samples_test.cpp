// Real record files written by other programs, read from the shared samples
// beside the source tree when they are there: each is imported from a copy,
// written out and read back, and keeps every element that has content.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <map>

#include "app/main.h"
#include "tests/app/recordtestutil.h"

namespace {

using namespace app_test;

// Beside the clone, as CI has them; KORVANE_SAMPLES_DIR names another place.
fs::path SamplesFolder() {
  if (const char* other = getenv("KORVANE_SAMPLES_DIR"); other && *other) return other;
  return fs::path(KORVANE_SOURCE_DIR) / ".." / "shared" / "samples" / "xml";
}

std::string ReadAll(const fs::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The filled elements of a record as "code|parent's code|content", sorted:
// equal for records that hold the same texts in the same places.
std::vector<std::string> FilledElements(const TMainFixture& F, const std::string& Key) {
  std::vector<std::string> rows = SelectAll(
      F.DbPath, "select a.code || '|' || ifnull(p.code, '') || '|' || a.content from t_metadata a"
                " left join t_metadata p on p.meta_id = a.meta_id and p.id = a.parent_id"
                " where a.meta_id = '" + Key + "' and a.content <> '' order by 1");
  return rows;
}

size_t Occurrences(const std::string& Text, const std::string& Part) {
  size_t n = 0;
  for (size_t at = Text.find(Part); at != std::string::npos; at = Text.find(Part, at + 1)) ++n;
  return n;
}

// Imports the file as a full record through the menu; answers the boxes shown.
std::vector<TBox> Import(TMainFixture& F, const fs::path& File) {
  F.Script.Boxes.clear();
  TUserScript user;
  user.Kind(false);
  F.Script.OpenNames = {U16(File.string())};
  F.Run([&] { F.Main->N21->Click(); });
  return F.Script.Boxes;
}

TEST(ImportSamples, EachSampleRoundTripsWithEveryFilledElementAndItsExactText) {
  const fs::path folder = SamplesFolder();
  if (!fs::is_directory(folder)) GTEST_SKIP() << "no shared samples at " << folder;
  std::vector<fs::path> samples;
  for (auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".xml") samples.push_back(entry.path());
  std::sort(samples.begin(), samples.end());
  ASSERT_EQ(samples.size(), 6u);
  for (const fs::path& sample : samples) {
    SCOPED_TRACE(sample.filename().string());
    TMainFixture f;
    // A copy: the output must never touch the shared file, nor the copy
    // unless the user chooses it.
    const fs::path source = f.Folder / sample.filename();
    fs::copy_file(sample, source);
    const std::string original = ReadAll(source);

    const std::vector<TBox> imported = Import(f, source);
    ASSERT_LE(imported.size(), 1u);
    const std::string key = f.Key();
    ASSERT_NE(frm_meta_edit, nullptr);
    const std::vector<std::string> filled = FilledElements(f, key);

    // What was left out is told: the message's count, and in the record's
    // log one line per element by its path.
    const std::string log = ReadAll(U8(LogFileName()));
    if (!imported.empty()) {
      const std::string text = U8(imported[0].Text);
      EXPECT_EQ(imported[0].Flags, Cardinal(MB_OK | MB_ICONINFORMATION));
      const size_t count = text.rfind("XML文件中有", 0) == 0 ? std::stoul(text.substr(strlen("XML文件中有"))) : 0;
      EXPECT_EQ(Occurrences(log, "未导入的元素："), count) << log;
    }
    if (original.find("<Esri>") != std::string::npos) {
      EXPECT_NE(log.find("未导入的元素：/metadata/Esri\n"), std::string::npos) << log;
    }

    // The first output asks where to write, proposing the imported file;
    // another name leaves the source as it was.
    const fs::path written = f.Folder / "written.xml";
    f.Script.Boxes.clear();
    f.Script.SaveNames = {U16(written.string())};
    f.Script.Answers = {IDYES, IDYES};  // the failed check's question, if any
    f.Run([&] { f.Main->N3->Click(); });
    EXPECT_EQ(f.Script.SaveAsked, 1);
    EXPECT_EQ(f.Script.SaveProposed, U16(source.string()));
    EXPECT_EQ(ReadAll(source), original);
    ASSERT_FALSE(f.Script.Boxes.empty());
    if (filled.empty()) {
      // Nothing the template holds has content (an older file of another
      // standard): nothing is written, and the user is told so.
      EXPECT_EQ(U8(f.Script.Boxes.back().Text), "元数据中没有已填写内容的元素，XML文件没有输出");
      EXPECT_FALSE(fs::exists(written));
      continue;
    }
    ASSERT_TRUE(fs::exists(written));
    EXPECT_EQ(U8(f.Script.Boxes.back().Text).rfind("XML文件输出完毕!", 0), 0u) << U8(f.Script.Boxes.back().Text);
    EXPECT_EQ(frm_meta_edit->FileName(), U16(written.string()));

    // Read back, every filled element is there with its exact text.
    const std::vector<TBox> again = Import(f, written);
    EXPECT_TRUE(again.empty()) << U8(again.front().Text);
    ASSERT_NE(f.Key(), key);
    EXPECT_EQ(FilledElements(f, f.Key()), filled);
  }
}

}  // namespace
