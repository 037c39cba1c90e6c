// Starts a Windows program with a command line given byte for byte, which
// wine's own start from Linux cannot do (it quotes the arguments it is
// handed): launcher.exe PROGRAM LINE-FILE [HELD-FILE]. The child gets the
// contents of LINE-FILE as its command line, and the launcher ends with
// its exit code. With HELD-FILE, the launcher holds that file open
// without sharing while the child runs, as another program would.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc < 3) return 120;
  std::FILE* lineFile = std::fopen(argv[2], "rb");
  if (lineFile == nullptr) return 121;
  std::string line;
  for (int c; (c = std::fgetc(lineFile)) != EOF;) line += static_cast<char>(c);
  std::fclose(lineFile);

  HANDLE held = INVALID_HANDLE_VALUE;
  if (argc > 3) {
    held = CreateFileA(argv[3], GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held == INVALID_HANDLE_VALUE) return 122;
  }

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  // wine, busy with other programs, now and then refuses a start that a
  // moment later goes through.
  bool started = false;
  for (int attempt = 0; attempt < 20 && !started; ++attempt) {
    started = CreateProcessA(argv[1], line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                             &process) != FALSE;
    if (!started) Sleep(100);
  }
  if (!started) return 123;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
  return static_cast<int>(exitCode);
}
