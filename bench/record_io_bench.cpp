// The structure check, the XML output and the import, over a fresh copy of
// the shipped database on a disk file system (a folder under /var/tmp, or
// KORVANE_BENCH_DIR): a full record of the template (every leaf filled),
// a record of some 50,000 elements (the full record's identification
// section repeated) imported from a file, checked and written, and a real
// file of another program of about 1,200 elements (the shared sample beside
// the source tree, when it is there) imported. Prints each figure against
// its target.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "app/main.h"
#include "app/meta_edit.h"
#include "platform/gui/application.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/forms.h"
#include "platform/rtl/encoding.h"
#include "store/dmlist.h"
#include "store/dmunit.h"
#include "store/pubfunc.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int Runs = 7;
constexpr double FullRecordTargetMs = 100;
constexpr double LargeRecordTargetMs = 3000;
constexpr double RealFileTargetMs = 50;
constexpr size_t LargeRecordElements = 50000;
constexpr const char* RealFileName = "16-large-esri-data-and-maps-states.xml";

double Ms(Clock::time_point From, Clock::time_point To) {
  return std::chrono::duration<double, std::milli>(To - From).count();
}

double Median(std::vector<double> Values) {
  std::sort(Values.begin(), Values.end());
  return Values[Values.size() / 2];
}

double Time(const std::function<void()>& Work) {
  const Clock::time_point start = Clock::now();
  Work();
  return Ms(start, Clock::now());
}

// Any message box is counted and answered Yes (the failed check's question
// would wait for a user); a measurement with boxes is reported as such.
class TCountingDialogs : public TDialogService {
public:
  int Shown = 0;
  Integer MessageBox(HWND, const String& Text, const String&, Cardinal) override {
    ++Shown;
    std::fprintf(stderr, "message: %s\n", StringToUTF8(Text).c_str());
    return IDYES;
  }
  TFileDialogResult OpenFile(HWND, const TFileDialogRequest&) override { return {}; }
  TFileDialogResult SaveFile(HWND, const TFileDialogRequest&) override { return {}; }
};

fs::path MakeProgramFolder() {
  const fs::path built = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "app";
  const char* base = getenv("KORVANE_BENCH_DIR");
  std::string pattern = (fs::path(base && *base ? base : "/var/tmp") / "korvane-io-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) return {};
  const fs::path folder = pattern;
  for (const char* file : {"DataIdentification.mdb", "core.xsl", "chinese.xsl"}) fs::copy_file(built / file, folder / file);
  return folder;
}

fs::path SamplesFolder() {
  if (const char* other = getenv("KORVANE_SAMPLES_DIR"); other && *other) return other;
  return fs::path(KORVANE_SOURCE_DIR) / ".." / "shared" / "samples" / "xml";
}

void Fail(const String& Why) {
  std::fprintf(stderr, "%s\n", StringToUTF8(Why).c_str());
  std::exit(1);
}

// Shows the record Key in the editing window, its states cleared, so that
// the check writes every state as after a user's edits.
void ShowRecord(const String& Key) {
  String error;
  if (!dm->ExecSql(error, u"update t_metadata set choice_state = null where meta_id = :key", dm->aq_exec,
                   {{u"key", Variant(Key)}}))
    Fail(error);
  frm_meta_edit->SetTreeDataSource(nullptr);
  if (!dm->LoadRecord(error, Key)) Fail(error);
  frm_meta_edit->SetTreeDataSource(dm->ds_metadata);
  frm_meta_edit->ExpandAll();
  Application->ProcessMessages();
}

std::string ReadAll(const fs::path& Path) {
  std::ifstream in(Path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Elements (start tags) in a piece of XML.
size_t ElementCount(const std::string& Text) {
  size_t n = 0;
  for (size_t at = Text.find('<'); at != std::string::npos; at = Text.find('<', at + 1))
    n += at + 1 < Text.size() && std::isalpha(static_cast<unsigned char>(Text[at + 1]));
  return n;
}

// The written full record with its identification section repeated until
// the file holds at least Elements elements; answers the count.
size_t WriteLargeFile(const fs::path& Full, const fs::path& Large, size_t Elements) {
  const std::string text = ReadAll(Full);
  const size_t begin = text.find("<dataIdInfo>"), end = text.find("</dataIdInfo>");
  if (begin == std::string::npos || end == std::string::npos) Fail(u"no identification section in the full record");
  const std::string section = text.substr(begin, end + 13 - begin);
  const size_t perSection = ElementCount(section);
  size_t total = ElementCount(text);
  std::string repeated;
  for (; total < Elements; total += perSection) repeated += section;
  std::ofstream(Large, std::ios::binary) << text.substr(0, begin) << repeated << text.substr(begin);
  return total;
}

void Report(const char* What, double ValueMs, double TargetMs) {
  std::printf("%-72s %9.1f ms (target under %.0f ms)%s\n", What, ValueMs, TargetMs, ValueMs < TargetMs ? "" : "  MISSED");
}

}  // namespace

int main() {
  EnsureGuiRuntime();
  RegisterLibraryUnits();
  TCountingDialogs dialogs;
  TDialogService* oldDialogs = SetDialogService(&dialogs);
  const fs::path folder = MakeProgramFolder();
  if (folder.empty()) return 1;
  SetProgramFolder(UTF8ToString(folder.string()));
  std::printf("database folder: %s\n", folder.string().c_str());

  dm = new Tdm(nullptr);
  dm_list = new Tdm_list(nullptr);
  frm_main = new Tfrm_main(nullptr);
  Application->SetMainForm(frm_main);
  frm_main->Show();
  new Tfrm_meta_edit(Application);
  if (!frm_meta_edit) Fail(u"the editing window did not start");

  // ---- A full record ----
  String error;
  if (!dm->CreateRecord(error, false)) Fail(error);
  const String fullKey = dm->CurrentMetaId;
  if (!dm->ExecSql(error,
                   u"update t_metadata set content = case when tag = 8 then '2024-03-05' else cname || '：示例' end"
                   u" where meta_id = :key and not exists (select 1 from t_metadata c where c.meta_id = t_metadata.meta_id"
                   u" and c.parent_id = t_metadata.id)",
                   dm->aq_exec, {{u"key", Variant(fullKey)}}))
    Fail(error);
  const fs::path fullFile = folder / "full.xml";
  std::vector<double> check, output;
  int elements = 0;
  for (int run = 0; run < Runs; ++run) {
    ShowRecord(fullKey);
    elements = frm_meta_edit->cxDBTreeList1->AbsoluteNodeCount();
    String text;
    check.push_back(Time([&] {
      if (!frm_meta_edit->CheckStructure(text)) Fail(u"the full record fails the check: " + text);
    }));
    ShowRecord(fullKey);
    output.push_back(Time([&] {
      if (frm_meta_edit->WriteXmlFile(UTF8ToString(fullFile.string())) != Tfrm_meta_edit::xoWritten)
        Fail(u"the full record was not written");
    }));
  }
  char what[160];
  std::snprintf(what, sizeof what, "full record (%d elements): check", elements);
  Report(what, Median(check), FullRecordTargetMs);
  std::snprintf(what, sizeof what, "full record (%d elements): check and output", elements);
  Report(what, Median(output), FullRecordTargetMs);

  // ---- A record of 50,000 elements ----
  const fs::path largeFile = folder / "large.xml";
  const size_t largeElements = WriteLargeFile(fullFile, largeFile, LargeRecordElements);
  Integer leftOut = 0;
  const double importMs = Time([&] {
    if (!frm_main->ImportRecord(error, UTF8ToString(largeFile.string()), false, leftOut)) Fail(error);
  });
  const String largeKey = frm_main->ImportMetaId;
  const double showMs = Time([&] { ShowRecord(largeKey); });
  String text;
  bool passed = false;
  const double largeCheckMs = Time([&] { passed = frm_meta_edit->CheckStructure(text); });
  ShowRecord(largeKey);
  const double largeOutputMs = Time([&] {
    if (!frm_meta_edit->WriteXml(UTF8ToString((folder / "large-out.xml").string()))) Fail(u"the large record was not written");
  });
  std::snprintf(what, sizeof what, "record of %zu elements: import", largeElements);
  Report(what, importMs, LargeRecordTargetMs);
  std::snprintf(what, sizeof what, "record of %zu elements: check%s", largeElements, passed ? "" : " (failed)");
  Report(what, largeCheckMs, LargeRecordTargetMs);
  std::snprintf(what, sizeof what, "record of %zu elements: check and output", largeElements);
  Report(what, largeOutputMs, LargeRecordTargetMs);
  std::printf("  (loading it into the editing window: %.1f ms; %d elements left out)\n", showMs, int(leftOut));

  // ---- A real file of another program ----
  const fs::path sample = SamplesFolder() / RealFileName;
  if (fs::exists(sample)) {
    const fs::path copy = folder / RealFileName;
    fs::copy_file(sample, copy);
    std::vector<double> imports;
    for (int run = 0; run < Runs; ++run)
      imports.push_back(Time([&] {
        if (!frm_main->ImportRecord(error, UTF8ToString(copy.string()), false, leftOut)) Fail(error);
      }));
    std::snprintf(what, sizeof what, "real file (%zu elements, %d left out): import", ElementCount(ReadAll(copy)),
                  int(leftOut));
    Report(what, Median(imports), RealFileTargetMs);
  } else {
    std::printf("real file: %s not found, not measured\n", sample.string().c_str());
  }
  std::printf("medians of %d runs for the full record and the real file; one run for the large record\n", Runs);

  frm_meta_edit->Free();
  Application->ProcessMessages();
  Application->SetMainForm(nullptr);
  delete frm_main;
  frm_main = nullptr;
  delete dm_list;
  dm_list = nullptr;
  delete dm;
  dm = nullptr;
  SetProgramFolder(u"");
  SetDialogService(oldDialogs);
  std::error_code ec;
  fs::remove_all(folder, ec);
  return dialogs.Shown == 0 ? 0 : 1;
}
