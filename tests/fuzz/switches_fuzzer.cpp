// Parameters sorted into switches: the second character alone chooses, in
// either case; -f: and -o: take everything from the fourth character on;
// -s takes nothing or a valid integer; every other switch is refused and
// leaves the settings as they were.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/integer_text.h"
#include "tool/switches.h"

namespace {

void Check(bool holds) {
  if (!holds) __builtin_trap();
}

bool SameSettings(const RunSettings& a, const RunSettings& b) {
  return a.reportName == b.reportName && a.startOffset == b.startOffset &&
         a.selection.ascending == b.selection.ascending && a.selection.descending == b.selection.descending &&
         a.selection.step == b.selection.step && a.selection.anyStep == b.selection.anyStep &&
         a.selection.stepSize == b.selection.stepSize;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string parameter = "-" + std::string(reinterpret_cast<const char*>(data), size);
  RunSettings before;
  before.reportName = "before";
  before.startOffset = 77;
  RunSettings after = before;
  const bool known = ApplySwitch(parameter, after);
  const char letter = parameter.size() > 1 ? parameter[1] : '\0';
  const std::string_view value = parameter.size() > 3 ? std::string_view(parameter).substr(3) : "";
  switch (letter) {
    case 'a': case 'A':
      Check(known && after.selection.ascending);
      break;
    case 'd': case 'D':
      Check(known && after.selection.descending);
      break;
    case 'f': case 'F':
      Check(known && after.reportName == value);
      break;
    case 'o': case 'O':
      Check(known && after.startOffset == ParseIntegerText(value).value);
      break;
    case 's': case 'S': {
      const IntegerTextResult step = ParseIntegerText(value);
      if (!value.empty() && step.errorPosition != 0) {
        Check(!known && SameSettings(before, after));
      } else {
        Check(known && after.selection.step && after.selection.anyStep == value.empty());
        Check(value.empty() || after.selection.stepSize == step.value);
      }
      break;
    }
    default:
      Check(!known && SameSettings(before, after));
  }
  return 0;
}
