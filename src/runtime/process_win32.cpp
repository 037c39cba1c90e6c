#include "runtime/process.h"

#include <windows.h>

#include <string>
#include <utility>

#include "runtime/parameters.h"

namespace {

std::string ProgramPath() {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // cut short: try again with more room
  }
}

}  // namespace

void PrepareStandardStreams() {
  // A fault is the tool's to report, on standard output: never a dialog
  // box that waits for someone to click it.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
}

void LoadParameters(int, char**) {
  // Windows hands the command line over as one string; the C run-time's
  // own splitting follows other rules, so argc and argv are not used.
  SetParametersFromCommandLine(ProgramPath(), GetCommandLineA());
}

bool WriteStandardOutput(const char* bytes, size_t count) {
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  while (count > 0) {
    DWORD written = 0;
    const DWORD asked = count > 0x10000000 ? 0x10000000 : static_cast<DWORD>(count);
    if (!WriteFile(output, bytes, asked, &written, nullptr) || written == 0) return false;
    bytes += written;
    count -= written;
  }
  return true;
}

void EndProcess(int exitCode) { ExitProcess(static_cast<UINT>(exitCode) & 0xFFFF); }
