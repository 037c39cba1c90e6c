// Scratch directories and binary-exact file helpers for the tests.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "harness/terminal_harness.h"

namespace harness {

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
  // back so the removal can descend everywhere.
  std::filesystem::permissions(path, std::filesystem::perms::all,
                               std::filesystem::perm_options::add, ignored);
  for (auto it = std::filesystem::recursive_directory_iterator(
           path, std::filesystem::directory_options::skip_permission_denied,
           ignored);
       it != std::filesystem::recursive_directory_iterator();
       it.increment(ignored)) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::all,
                                   std::filesystem::perm_options::add, ignored);
    }
  }
  std::filesystem::remove_all(path, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  bool created = !FileExists(path);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    ADD_FAILURE() << "cannot create " << path << ": " << std::strerror(errno);
    return;
  }
  size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
  bool closed = std::fclose(file) == 0;
  if (written != bytes.size() || !closed) {
    ADD_FAILURE() << "cannot write " << path;
  }
  // The program under test opens its inputs for reading and writing, also
  // when it runs as nobody; a test that wants a file out of reach says so
  // with chmod. A file that was there keeps the mode the test gave it.
  if (created) chmod(path.c_str(), 0666);
}

std::string ReadFile(const std::string& path) {
  std::string bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return bytes;
  char buffer[65536];
  size_t count;
  while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, count);
  }
  std::fclose(file);
  return bytes;
}

bool FileExists(const std::string& path) {
  struct stat status;
  return lstat(path.c_str(), &status) == 0;
}

bool RunningAsRoot() { return geteuid() == 0; }

}  // namespace harness
