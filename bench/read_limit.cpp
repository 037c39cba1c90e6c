// The read limit: the least a comparison of these files can cost. Reads
// every file in lock-step in 64 KiB blocks, as zev does, and compares each
// block with the first file's with memcmp; prints how many blocks differ.
// read_limit FILE1 FILE2 [... FILE10]
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
  constexpr size_t kBlock = 65536;
  const int count = argc - 1;
  if (count < 2) {
    std::fprintf(stderr, "usage: read_limit FILE1 FILE2 [...]\n");
    return 2;
  }
  std::vector<int> files;
  for (int k = 0; k < count; ++k) {
    files.push_back(open(argv[1 + k], O_RDONLY));
    if (files.back() < 0) {
      std::perror(argv[1 + k]);
      return 2;
    }
  }
  std::vector<std::vector<char>> blocks(count, std::vector<char>(kBlock));
  long long differing = 0;
  for (;;) {
    ssize_t shortest = static_cast<ssize_t>(kBlock);
    for (int k = 0; k < count; ++k) {
      ssize_t got = 0;
      while (got < static_cast<ssize_t>(kBlock)) {
        const ssize_t more = read(files[k], blocks[k].data() + got, kBlock - got);
        if (more <= 0) break;
        got += more;
      }
      if (got < shortest) shortest = got;
    }
    if (shortest <= 0) break;
    for (int k = 1; k < count; ++k) {
      if (std::memcmp(blocks[0].data(), blocks[k].data(), static_cast<size_t>(shortest)) != 0) ++differing;
    }
    if (shortest < static_cast<ssize_t>(kBlock)) break;
  }
  std::printf("%lld differing blocks\n", differing);
  return 0;
}
