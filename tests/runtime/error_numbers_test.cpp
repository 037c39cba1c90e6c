#include <gtest/gtest.h>

#include <cerrno>

#include "runtime/error_numbers.h"

namespace {

TEST(ErrorNumbers, EachPlatformCodeHasTheToolsNumber) {
  const struct {
    int platformCode;
    uint16_t number;
  } cases[] = {
      {ENOENT, 2},    {ENOTDIR, 3},  {EMFILE, 4},    {ENFILE, 4},      {EACCES, 5},  {EPERM, 5},
      {EISDIR, 5},    {EWOULDBLOCK, 5}, {EBUSY, 5},  {ETXTBSY, 5},     {EBADF, 6},   {ENOMEM, 8},
      {EROFS, 150},   {ENXIO, 152},  {ENODEV, 152},  {ENOMEDIUM, 152}, {EIO, 154},   {EINVAL, 87},
      {EPIPE, 109},   {ENOSPC, 112}, {EDQUOT, 112},  {EILSEQ, 123},    {ESPIPE, 132}, {ENAMETOOLONG, 206},
      {EFBIG, 223},   {ELOOP, 1921},
      // Codes with no meaning for files are a general failure, never 0.
      {ECHILD, 162},  {0, 162},
  };
  for (const auto& row : cases) EXPECT_EQ(TranslatePlatformError(row.platformCode), row.number) << row.platformCode;
}

}  // namespace
