#include "e2e_support.h"

std::vector<std::string> e2e::ZevCommand() { return {WINE_RUN, ZEV_EXE}; }

int e2e::ShownBlack() { return -1; }
