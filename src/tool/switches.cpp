#include "tool/switches.h"

#include <string>

#include "runtime/integer_text.h"
#include "tool/fatal_error.h"

namespace {

// The character after the letter is a separator that is never checked,
// so "-fout.txt" names "ut.txt".
std::string_view SwitchValue(std::string_view parameter) {
  return parameter.size() > 3 ? parameter.substr(3) : std::string_view();
}

}  // namespace

bool ApplySwitch(std::string_view parameter, RunSettings& settings) {
  if (parameter.size() < 2) return false;
  switch (parameter[1]) {
    case 'A':
    case 'a':
      settings.selection.ascending = true;
      return true;
    case 'D':
    case 'd':
      settings.selection.descending = true;
      return true;
    case 'F':
    case 'f':
      settings.reportName = std::string(SwitchValue(parameter));
      return true;
    case 'O':
    case 'o':
      // An invalid offset text is 0 on purpose: the value is taken
      // whether or not the conversion succeeded.
      settings.startOffset = ParseIntegerText(SwitchValue(parameter)).value;
      return true;
    case 'S':
    case 's': {
      // No value means any constant step; a value must be a valid integer.
      std::string_view value = SwitchValue(parameter);
      IntegerTextResult size = ParseIntegerText(value);
      if (!value.empty() && size.errorPosition != 0) return false;
      Selection& selection = settings.selection;
      selection.step = true;
      selection.anyStep = value.empty();
      selection.stepSize = size.value;
      return true;
    }
    default:
      return false;
  }
}

void ParseSwitch(std::string_view parameter) {
  if (!ApplySwitch(parameter, runSettings)) {
    FatalError("Unknown Parameter: " + std::string(parameter));
  }
}
