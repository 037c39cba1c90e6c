#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "runtime/error_numbers.h"

namespace {

struct TranslationCase {
  int platformCode;
  uint16_t number;
};

class ErrorNumberTable : public testing::TestWithParam<TranslationCase> {};

TEST_P(ErrorNumberTable, TranslatesToTheToolsNumber) {
  EXPECT_EQ(TranslatePlatformError(GetParam().platformCode), GetParam().number)
      << "errno " << GetParam().platformCode;
}

const TranslationCase kTable[] = {
    {ENOENT, 2},   {ENOTDIR, 3},   {EMFILE, 4},      {ENFILE, 4},   {EACCES, 5},
    {EPERM, 5},    {EISDIR, 5},    {EWOULDBLOCK, 5}, {EBUSY, 5},    {ETXTBSY, 5},
    {EBADF, 6},    {ENOMEM, 8},    {EROFS, 150},     {ENXIO, 152},  {ENODEV, 152},
    {ENOMEDIUM, 152}, {EIO, 154},  {EINVAL, 87},     {EPIPE, 109},  {ENOSPC, 112},
    {EDQUOT, 112}, {EILSEQ, 123},  {ESPIPE, 132},    {ENAMETOOLONG, 206},
    {EFBIG, 223},  {ELOOP, 1921},
    // Codes with no meaning for files are a general failure, never 0.
    {ECHILD, 162}, {0, 162},
};

INSTANTIATE_TEST_SUITE_P(Rows, ErrorNumberTable, testing::ValuesIn(kTable));

class MissingPaths : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zev-errors-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory = pattern;
  }
  void TearDown() override { rmdir(directory.c_str()); }
  std::string directory;
};

TEST_F(MissingPaths, AMissingFileInAnExistingDirectoryIsFileNotFound) {
  EXPECT_EQ(TranslatePlatformError(ENOENT, (directory + "/absent.bin").c_str()), 2);
  EXPECT_EQ(TranslatePlatformError(ENOENT, (directory + "//absent.bin").c_str()), 2);
  EXPECT_EQ(TranslatePlatformError(ENOENT, "zev-surely-absent.bin"), 2);
  EXPECT_EQ(TranslatePlatformError(ENOENT, "/zev-surely-absent.bin"), 2);
}

TEST_F(MissingPaths, AMissingDirectoryIsPathNotFound) {
  EXPECT_EQ(TranslatePlatformError(ENOENT, (directory + "/no-dir/absent.bin").c_str()), 3);
  EXPECT_EQ(TranslatePlatformError(ENOENT, (directory + "/a/b/c/absent.bin").c_str()), 3);
  EXPECT_EQ(TranslatePlatformError(ENOENT, "zev-surely-absent-dir/x"), 3);
  // A file where a directory should be is no directory either.
  EXPECT_EQ(TranslatePlatformError(ENOENT, "/etc/passwd/x"), 3);
}

}  // namespace
