// The program itself, started as the user starts it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

// A copy of the built program in a folder of its own.
struct TProgramCopy {
  TProgramCopy() {
    std::string pattern = (fs::temp_directory_path() / "korvane-run-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    Folder = pattern;
    fs::copy_file(fs::path(KORVANE_BINARY_DIR) / "app" / "korvane", Folder / "korvane");
  }
  ~TProgramCopy() { fs::remove_all(Folder); }
  // Runs the program with the environment settings given before it;
  // answers its exit code, its error output in Errors.
  int Run(const std::string& Environment, std::string& Errors) const {
    const fs::path errors = Folder / "errors.txt";
    const std::string command = "cd '" + Folder.string() + "' && env " + Environment + " timeout 60 ./korvane 2> '" +
                                errors.string() + "' > /dev/null";
    int status = std::system(command.c_str());
    std::ifstream in(errors);
    Errors.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  fs::path Folder;
};

TEST(Program, WithoutADisplayItSaysSoAndStops) {
  TProgramCopy program;
  struct {
    const char* Environment;
    const char* Said;
  } cases[] = {
      {"-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM", "no display is set"},
      {"-u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:93", "the display \":93\" does not answer"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Environment);
    std::string errors;
    EXPECT_EQ(program.Run(c.Environment, errors), 2);
    EXPECT_NE(errors.find(c.Said), std::string::npos) << errors;
  }
  EXPECT_FALSE(fs::exists(program.Folder / "DataIdentification.mdb"));
}

TEST(Program, WithoutItsDatabaseItNamesTheFileAndStopsWithoutMakingOne) {
  TProgramCopy program;
  std::string errors;
  EXPECT_EQ(program.Run("QT_QPA_PLATFORM=offscreen", errors), 1);
  const std::string file = (program.Folder / "DataIdentification.mdb").string();
  EXPECT_NE(errors.find(file), std::string::npos) << errors;
  EXPECT_NE(errors.find("文件不存在"), std::string::npos) << errors;
  EXPECT_FALSE(fs::exists(file));
}

}  // namespace
