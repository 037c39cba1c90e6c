#include "command_line/driver.h"
#include "console/console_window.h"
#include "runtime/run_time.h"

int main(int argc, char** argv) {
  StartRunTime(argc, argv);
  AnswerVersionQuery();
  StartConsole();
  RunDriver();
  EndProgram(0);
}
