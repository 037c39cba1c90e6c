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
  std::error_code ignored;
  if (!path.empty()) std::filesystem::remove_all(path, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  struct stat status;
  bool created = lstat(path.c_str(), &status) != 0;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) ADD_FAILURE() << "cannot write " << path << ": " << std::strerror(errno);
  // The program opens its inputs for reading and writing, also as nobody; a
  // file that was there keeps the mode the test gave it.
  if (created) chmod(path.c_str(), 0666);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  if (file) bytes << file.rdbuf();
  return bytes.str();
}

}  // namespace harness
