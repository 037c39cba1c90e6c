#include <cstdlib>

#include "e2e_support.h"
#include "windows_programs.h"

std::string WindowsProgram(const std::string& relative) {
  const char* build = std::getenv("ZEV_WINDOWS_BUILD");
  return std::string(build != nullptr ? build : ".") + "/" + relative;
}

std::vector<std::string> e2e::ZevCommand() { return {WINE_RUN, WindowsProgram("zev.exe")}; }

std::string e2e::SymbolLookup() {
  const char* tool = std::getenv("ZEV_ADDR2LINE");
  return std::string(tool != nullptr ? tool : "addr2line") + " -f -e '" + WindowsProgram("zev.exe") + "'";
}

int e2e::ShownBlack() { return -1; }
