// Scratch directories and binary-exact file helpers for the tests.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "harness/terminal_harness.h"

namespace harness {

namespace fs = std::filesystem;

TempDirectory::TempDirectory() {
  char pattern[] = "/tmp/zev-test-XXXXXX";
  if (mkdtemp(pattern) == nullptr) {
    ADD_FAILURE() << "mkdtemp: " << std::strerror(errno);
    return;
  }
  path = pattern;
  // Open to every user, so that a program run as nobody can create files here.
  chmod(path.c_str(), 0777);
}

TempDirectory::~TempDirectory() {
  if (path.empty()) return;
  std::error_code ignored;
  // A test may have taken permissions away to provoke failures; give them
  // back so that the removal can descend everywhere.
  fs::permissions(path, fs::perms::all, fs::perm_options::add, ignored);
  for (fs::recursive_directory_iterator it(path, fs::directory_options::skip_permission_denied, ignored), end;
       it != end; it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      fs::permissions(it->path(), fs::perms::all, fs::perm_options::add, ignored);
    }
  }
  fs::remove_all(path, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  struct stat status;
  bool created = lstat(path.c_str(), &status) != 0;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) ADD_FAILURE() << "cannot write " << path << ": " << std::strerror(errno);
  // The program under test opens its inputs for reading and writing, also
  // when it runs as nobody; a test that wants a file out of reach says so
  // with chmod. A file that was there keeps the mode the test gave it.
  if (created) chmod(path.c_str(), 0666);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  if (file) bytes << file.rdbuf();
  return bytes.str();
}

}  // namespace harness
