#include "platform/shell/shell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "platform/rtl/encoding.h"
#include "platform/rtl/exceptions.h"

namespace {

namespace fs = std::filesystem;

// Records what would have been opened, and answers as told.
class TRecordingShell : public TShellService {
public:
  bool OpenDocument(const String& Path) override {
    Documents.push_back(Path);
    return Answer;
  }
  bool OpenURL(const String& URL) override {
    URLs.push_back(URL);
    return Answer;
  }
  std::vector<String> Documents, URLs;
  bool Answer = true;
};

// Puts a recording service in place for one test.
class ShellTest : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/korvane-shell-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    Folder = pattern;
    Previous = SetShellService(&Recorder);
  }
  void TearDown() override {
    SetShellService(Previous);
    std::error_code ec;
    fs::remove_all(Folder, ec);
  }
  String Touch(const std::string& Name) {
    std::ofstream(Folder / Name) << "x";
    return UTF8ToString((Folder / Name).string());
  }
  String FolderText() const { return UTF8ToString(Folder.string()) + u"/"; }

  fs::path Folder;
  TRecordingShell Recorder;
  TShellService* Previous = nullptr;
};

TEST_F(ShellTest, OpeningADocumentHandsTheAbsolutePathToTheService) {
  String log = Touch("Korvane 日志 $(x) 'q'.log");
  EXPECT_TRUE(ShellOpenDocument(log));
  Recorder.Answer = false;
  EXPECT_FALSE(ShellOpenDocument(log)) << "the service's answer is passed on";

  Recorder.Answer = true;
  fs::path previous = fs::current_path();
  fs::current_path(Folder);
  EXPECT_TRUE(ShellOpenDocument(u"./Korvane 日志 $(x) 'q'.log")) << "a relative path is made absolute";
  fs::current_path(previous);

  ASSERT_EQ(Recorder.Documents.size(), 3u);
  for (const String& path : Recorder.Documents) EXPECT_EQ(path, log);

  EXPECT_FALSE(ShellOpenDocument(FolderText() + u"absent.log"));
  EXPECT_FALSE(ShellOpenDocument(u""));
  EXPECT_EQ(Recorder.Documents.size(), 3u) << "a missing file is not handed on";
}

TEST_F(ShellTest, HelpAndAddresses) {
  String help = Touch("QVHelp.htm");
  EXPECT_TRUE(ShowHelpFile(help));
  ASSERT_EQ(Recorder.Documents.size(), 1u);
  EXPECT_EQ(Recorder.Documents[0], help);
  EXPECT_FALSE(ShowHelpFile(FolderText() + u"QVHELP.chm"));
  EXPECT_EQ(Recorder.Documents.size(), 1u);

  EXPECT_TRUE(ShellOpenURL(u"https://example.org/a?b=c"));
  EXPECT_FALSE(ShellOpenURL(u""));
  ASSERT_EQ(Recorder.URLs.size(), 1u);
  EXPECT_EQ(Recorder.URLs[0], u"https://example.org/a?b=c");
}

TEST_F(ShellTest, ServiceReplacementReturnsThePreviousOne) {
  TRecordingShell other;
  EXPECT_EQ(SetShellService(&other), &Recorder);
  EXPECT_EQ(&ShellService(), &other);
  EXPECT_EQ(SetShellService(nullptr), &other);
  EXPECT_NE(&ShellService(), &other);
  // The desktop's own service with no application running: nobody to ask.
  EXPECT_FALSE(ShellService().OpenURL(u"https://example.org/"));
  EXPECT_FALSE(ShellService().OpenURL(u"not a url"));
  SetShellService(&Recorder);
}

TEST_F(ShellTest, NumberedTempFilesTakeTheFirstFreeNumber) {
  Touch("qv1.htm");
  Touch("qv2.htm");
  Touch("qv4.htm");
  EXPECT_EQ(CreateNumberedTempFile(u"qv", u".htm", FolderText()), FolderText() + u"qv3.htm");
  EXPECT_TRUE(fs::exists(Folder / "qv3.htm")) << "the name is taken at once";
  EXPECT_EQ(CreateNumberedTempFile(u"qv", u".htm", UTF8ToString(Folder.string())), FolderText() + u"qv5.htm");
  EXPECT_EQ(CreateNumberedTempFile(u"other", u".xml", FolderText()), FolderText() + u"other1.xml");
  EXPECT_THROW(CreateNumberedTempFile(u"qv", u".htm", FolderText() + u"absent/"), EInOutError);
}

TEST_F(ShellTest, NumberedTempFilesAreUniqueAcrossThreads) {
  std::mutex lock;
  std::set<String> names;
  std::vector<std::thread> threads;
  for (int t = 0; t < 6; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 20; ++i) {
        String name = CreateNumberedTempFile(u"qv", u".htm", FolderText());
        std::lock_guard<std::mutex> guard(lock);
        names.insert(name);
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(names.size(), 120u);
  EXPECT_TRUE(names.count(FolderText() + u"qv120.htm"));
}

TEST_F(ShellTest, TempFolderFollowsTheEnvironment) {
  const char* old = std::getenv("TMPDIR");
  std::string saved = old ? old : "";
  setenv("TMPDIR", Folder.c_str(), 1);
  EXPECT_EQ(GetTempFolder(), FolderText());
  EXPECT_EQ(CreateNumberedTempFile(u"qv", u".htm"), FolderText() + u"qv1.htm");
  if (old)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
  String folder = GetTempFolder();
  EXPECT_EQ(folder.back(), u'/');
}

}  // namespace
