#include "platform/folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/bytes.h"

namespace {

namespace fs = std::filesystem;

TEST(Folders, FileNameAndFolderPartsSplitOnBothSeparators) {
  struct Row {
    const char* path;
    const char* name;
    const char* folder;
  };
  const Row rows[] = {
      {"C:\\Pics\\a.jpg", "a.jpg", "C:\\Pics\\"},
      {"/home/u/b.bmp", "b.bmp", "/home/u/"},
      {"Buttons\\x/y.bmp", "y.bmp", "Buttons\\x/"},
      {"plain.wav", "plain.wav", ""},
      {"../../x", "x", "../../"},
      {"dir/", "", "dir/"},
      {"", "", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.path);
    EXPECT_EQ(platform::FileNamePart(r.path), r.name);
    EXPECT_EQ(platform::FolderPart(r.path), r.folder);
  }
}

TEST(Folders, TempDirIsPrivateAndRemovedAtExit) {
  const std::string& dir = platform::TempDir();
  ASSERT_EQ(dir.back(), '/');
  EXPECT_EQ(&dir, &platform::TempDir());
  struct stat st;
  ASSERT_EQ(stat(dir.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(platform::GetDir("temp"), dir);

  // A child process makes its own folder, fills it and exits normally.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  pid_t child = fork();
  if (child == 0) {
    close(fds[0]);
    std::string own = platform::TempDir();
    std::ofstream(own + "media.jpg") << "x";
    bool distinct = own != dir;
    if (write(fds[1], own.data(), own.size()) < 0) distinct = false;
    close(fds[1]);
    std::exit(distinct ? 0 : 1);
  }
  close(fds[1]);
  char buffer[4096];
  ssize_t n = read(fds[0], buffer, sizeof buffer);
  close(fds[0]);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_GT(n, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child shared the parent's folder";
  EXPECT_FALSE(fs::exists(std::string(buffer, size_t(n))));
}

TEST(Folders, CacheDirFollowsXdgAndIgnoresRelativeValues) {
  std::string root = vtest::TestTempDir();
  const char* oldXdg = std::getenv("XDG_CACHE_HOME");
  const char* oldHome = std::getenv("HOME");
  std::string savedXdg = oldXdg ? oldXdg : "", savedHome = oldHome ? oldHome : "";

  setenv("XDG_CACHE_HOME", (root + "/xdg").c_str(), 1);
  EXPECT_EQ(platform::CacheDir(), root + "/xdg/vellumet/");
  EXPECT_TRUE(fs::is_directory(root + "/xdg/vellumet"));

  setenv("XDG_CACHE_HOME", "relative/cache", 1);
  setenv("HOME", (root + "/home").c_str(), 1);
  EXPECT_EQ(platform::GetDir("cache"), root + "/home/.cache/vellumet/");

  if (oldXdg)
    setenv("XDG_CACHE_HOME", savedXdg.c_str(), 1);
  else
    unsetenv("XDG_CACHE_HOME");
  if (oldHome)
    setenv("HOME", savedHome.c_str(), 1);
  else
    unsetenv("HOME");
}

TEST(Folders, ProgramDirIsTheExecutablesFolder) {
  std::string dir = platform::ProgramDir();
  ASSERT_EQ(dir.back(), '/');
  EXPECT_TRUE(fs::exists(dir + "folders_test"));
  EXPECT_EQ(platform::GetDir("win"), "");
}

}  // namespace
