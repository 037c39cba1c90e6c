// Prints the parameter list as the run-time layer cut it from the real
// command line: the count, then every entry from 1 on between brackets,
// one per line, and last entry 0, the program's own path.
#include <cstdio>
#include <string>

#include "runtime/parameters.h"
#include "runtime/process.h"
#include "runtime/run_time.h"

int main(int argc, char** argv) {
  StartRunTime(argc, argv);
  std::string text = std::to_string(ParameterCount()) + "\r\n";
  for (int32_t index = 1; index <= ParameterCount(); ++index) {
    text += "[" + std::string(ParameterText(index)) + "]\r\n";
  }
  text += "entry 0: " + std::string(ParameterText(0)) + "\r\n";
  WriteStandardOutput(text.data(), text.size());
  EndProgram(0);
}
