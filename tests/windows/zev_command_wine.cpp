// The build under test: the suite runs once for each Windows build, which
// ZEV_WINDOWS_BUILD names (with ZEV_ADDR2LINE, the addr2line of its processor).
#include <cstdlib>

#include "e2e_support.h"

namespace e2e {
namespace {

std::string Program(const std::string& relative) {
  const char* build = std::getenv("ZEV_WINDOWS_BUILD");
  return std::string(build != nullptr ? build : ".") + "/" + relative;
}

}  // namespace

std::vector<std::string> ZevCommand() { return {WINE_RUN, Program("zev.exe")}; }
std::vector<std::string> TestCommand(const std::string& name) {
  return {WINE_RUN, Program(name == "zev"        ? "zev.exe"
                            : name == "launcher" ? "tests/windows/launcher.exe"
                                                 : "tests/runtime/runtime_probe.exe")};
}
std::string SymbolLookup() {
  const char* tool = std::getenv("ZEV_ADDR2LINE");
  return std::string(tool != nullptr ? tool : "addr2line") + " -f -e '" + Program("zev.exe") + "'";
}
bool OnWindows() { return true; }
// wine's console leaves its start-up colours, light grey on black, to the
// terminal's own; every other foreground is the palette's.
Shown ShownColours(int toolColour) { return {toolColour == 7 ? -1 : harness::PaletteIndex(toolColour), -1}; }

}  // namespace e2e
