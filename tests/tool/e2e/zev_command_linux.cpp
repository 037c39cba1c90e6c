#include "e2e_support.h"

namespace e2e {

std::vector<std::string> ZevCommand() { return {ZEV_BINARY}; }
std::vector<std::string> TestCommand(const std::string&) { return {RUNTIME_PROBE}; }
std::string SymbolLookup() { return "addr2line -f -e '" ZEV_BINARY "'"; }
bool OnWindows() { return false; }
Shown ShownColours(int toolColour) { return {harness::PaletteIndex(toolColour), 0}; }

}  // namespace e2e
