#include "e2e_support.h"

std::vector<std::string> e2e::ZevCommand() { return {ZEV_BINARY}; }

std::string e2e::SymbolLookup() { return "addr2line -f -e '" ZEV_BINARY "'"; }

int e2e::ShownBlack() { return TerminalColour(0); }
