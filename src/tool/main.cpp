#include "console/console_window.h"
#include "runtime/run_time.h"
#include "tool/driver.h"

int main(int argc, char** argv) {
  StartRunTime(argc, argv);
  AnswerVersionQuery();
  StartConsole();
  RunDriver();
  EndProgram(0);
}
