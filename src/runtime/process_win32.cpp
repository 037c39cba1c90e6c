#include <windows.h>

#include <string>
#include <utility>

#include "runtime/parameters.h"
#include "runtime/process.h"
#include "runtime/write_all.h"

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

bool WriteStandardStream(StandardStream stream, const char* bytes, size_t count) {
  const DWORD which = stream == StandardStream::kError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
  return WriteAll(reinterpret_cast<intptr_t>(GetStdHandle(which)), bytes, count);
}

void EndProcess(int exitCode) { ExitProcess(static_cast<UINT>(exitCode) & 0xFFFF); }
