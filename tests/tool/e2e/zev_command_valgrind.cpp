#include "e2e_support.h"

// zev under valgrind's memcheck: any error it finds changes the exit code
// to 99, which no run of zev gives on its own account.
std::vector<std::string> e2e::ZevCommand() {
  return {"/usr/bin/valgrind", "-q", "--error-exitcode=99", "--log-file=/dev/null", ZEV_BINARY};
}

std::string e2e::SymbolLookup() { return "addr2line -f -e '" ZEV_BINARY "'"; }

int e2e::ShownBlack() { return TerminalColour(0); }
