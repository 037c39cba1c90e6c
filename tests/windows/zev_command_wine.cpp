// The Windows build that ZEV_WINDOWS_BUILD names, with ZEV_ADDR2LINE the addr2line of its processor.
#include <cstdlib>

#include "e2e_support.h"

namespace e2e {

std::vector<std::string> TestCommand(const std::string& name) {
  const char* build = std::getenv("ZEV_WINDOWS_BUILD");
  return {WINE_RUN, std::string(build != nullptr ? build : ".") +
                        (name == "zev" ? "/zev.exe" : "/tests/runtime/runtime_probe.exe")};
}
std::vector<std::string> ZevCommand() { return TestCommand("zev"); }
std::string SymbolLookup() {
  const char* tool = std::getenv("ZEV_ADDR2LINE");
  return std::string(tool != nullptr ? tool : "addr2line") + " -f -e '" + ZevCommand()[1] + "'";
}
bool OnWindows() { return true; }
// wine's console leaves its start-up light grey on black to the terminal's own colours.
Shown ShownColours(int toolColour) { return {toolColour == 7 ? -1 : harness::PaletteIndex(toolColour), -1}; }

}  // namespace e2e
