// Starts a program with a limit on the size of the files it writes, so
// that its writes past the limit fail (EFBIG) like writes to a full disk.
//
//   zev_e2e_size_limit BYTES PROGRAM [ARGUMENT...]
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: zev_e2e_size_limit BYTES PROGRAM [ARGUMENT...]\n", stderr);
    return 2;
  }
  const rlim_t bytes = std::strtoull(argv[1], nullptr, 10);
  const rlimit limit{bytes, bytes};
  if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return 2;
  // Without this the kernel ends the program at the limit instead of
  // failing the write.
  signal(SIGXFSZ, SIG_IGN);
  execv(argv[2], argv + 2);
  return 127;
}
