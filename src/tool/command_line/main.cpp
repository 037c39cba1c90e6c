#include "command_line/driver.h"
#include "runtime/run_time.h"

int main(int argc, char** argv) {
  StartRunTime(argc, argv);
  AnswerLongOptions();
  RunDriver();
  EndProgram(0);
}
