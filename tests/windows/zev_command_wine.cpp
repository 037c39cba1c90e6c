// The Windows build that ZEV_WINDOWS_BUILD names.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "e2e_support.h"

namespace e2e {

std::vector<std::string> TestCommand(const std::string& name) {
  const char* build = std::getenv("ZEV_WINDOWS_BUILD");
  return {WINE_RUN, std::string(build != nullptr ? build : ".") +
                        (name == "zev" ? "/zev.exe" : "/tests/runtime/runtime_probe.exe")};
}
std::vector<std::string> ZevCommand() { return TestCommand("zev"); }
// The machine field of the program's PE header: 014C for i386. Read here, since CTest hands a discovered test
// only the first of several variables in its environment.
bool Is32BitX86() {
  static const bool i386 = [] {
    const std::string program = harness::ReadFile(ZevCommand()[1]);
    uint32_t header = 0;
    if (program.size() >= 64) std::memcpy(&header, program.data() + 60, sizeof header);
    return program.size() >= size_t{header} + 6 && program.compare(header + 4, 2, "\x4C\x01") == 0;
  }();
  return i386;
}
std::string SymbolLookup() {
  return std::string(Is32BitX86() ? "i686" : "x86_64") + "-w64-mingw32-addr2line -f -e '" + ZevCommand()[1] + "'";
}
bool OnWindows() { return true; }
// wine's console leaves its start-up light grey on black to the terminal's own colours.
Shown ShownColours(int toolColour) { return {toolColour == 7 ? -1 : harness::PaletteIndex(toolColour), -1}; }

}  // namespace e2e
