#include "e2e_support.h"

namespace e2e {

std::vector<std::string> TestCommand(const std::string& name) { return {name == "zev" ? ZEV_BINARY : RUNTIME_PROBE}; }
std::vector<std::string> ZevCommand() { return {ZEV_BINARY}; }
std::string SymbolLookup() { return "addr2line -f -e '" ZEV_BINARY "'"; }
bool OnWindows() { return false; }
bool Is32BitX86() { return false; }
Shown ShownColours(int toolColour) { return {harness::PaletteIndex(toolColour), 0}; }

}  // namespace e2e
