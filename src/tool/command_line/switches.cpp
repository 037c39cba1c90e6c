#include "command_line/switches.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

#include "comparison/selection.h"
#include "runtime/integer_text.h"
#include "shared/fatal_error.h"
#include "shared/values.h"

namespace {

// Texts longer than this are refused, never cut to another meaning.
constexpr size_t kLongestSwitchValue = 255;

// The character after the letter is a separator that is never checked,
// so "-fout.txt" names "ut.txt".
std::string_view SwitchValue(std::string_view parameter) {
  return parameter.size() > 3 ? parameter.substr(3) : std::string_view();
}

// The switches that only turn a choice on, whatever follows the letter.
bool* ChoiceOf(char letter, Selection& selection) {
  switch (letter) {
    case 'a':
      return &selection.ascending;
    case 'd':
      return &selection.descending;
    case 'b':
      return &selection.bigEndian;
    case 'r':
      return &selection.real;
    default:
      return nullptr;
  }
}

// False, changing nothing, for an unknown switch.
bool ApplySwitch(std::string_view parameter, RunSettings& settings) {
  if (parameter.size() < 2) return false;
  // Switch letters are taken in either case.
  const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(parameter[1])));
  if (bool* choice = ChoiceOf(letter, settings.selection)) {
    *choice = true;
    return true;
  }
  switch (letter) {
    case 'f':
      settings.reportName = std::string(SwitchValue(parameter));
      return true;
    case 'o':
      // An invalid offset text is 0 on purpose: the value is taken
      // whether or not the conversion succeeded.
      settings.startOffset = ParseIntegerText(SwitchValue(parameter)).value;
      return true;
    case 's': {
      // No value means any constant step; a value must be a valid integer.
      // A text that fits 32 bits means what it always has ($FFFFFFFF is
      // -1); a longer one is a step of up to 64 bits either way.
      std::string_view value = SwitchValue(parameter);
      const IntegerTextResult size = ParseIntegerText(value);
      const WideIntegerText wide = ParseWideIntegerText(value);
      if (!value.empty() && size.errorPosition != 0 && (!wide.valid || value.size() > kLongestSwitchValue)) {
        return false;
      }
      Selection& selection = settings.selection;
      selection.step = true;
      selection.anyStep = value.empty();
      selection.stepDown = size.errorPosition == 0 ? size.value < 0 : wide.negative && wide.magnitude != 0;
      selection.stepSize = size.errorPosition == 0 ? (size.value < 0 ? 0 - static_cast<uint64_t>(size.value)
                                                                     : static_cast<uint64_t>(size.value))
                                                   : wide.magnitude;
      return true;
    }
    case 'w': {
      // Values of 1, 2, 4 or 8 bytes; any other width is unknown.
      const IntegerTextResult width = ParseIntegerText(SwitchValue(parameter));
      if (width.errorPosition != 0 || (width.value != 1 && width.value != 2 && width.value != 4 && width.value != 8)) {
        return false;
      }
      settings.selection.width = width.value;
      return true;
    }
    case 'v':
      // Read once every switch is known: the width decides what fits.
      settings.selection.knownValues = true;
      settings.valueTexts = std::string(SwitchValue(parameter));
      return true;
    case 'm': {
      // Like the switch letters, the form's name is taken in either case.
      std::string value(SwitchValue(parameter));
      for (char& character : value) character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
      if (value != "csv" && value != "jsonl") return false;
      settings.form = value == "csv" ? ReportForm::kCsv : ReportForm::kJsonLines;
      return true;
    }
    case 'p':
      // Read once the count of files is known: a step between each two.
      settings.selection.pattern = true;
      settings.patternText = std::string(SwitchValue(parameter));
      return true;
    default:
      return false;
  }
}

// A real value's text: a decimal number with an optional fraction and
// exponent, the point '.' whatever the locale, or inf and -inf; rounded to
// the width's precision, its bits. A NaN cannot be asked for.
// Read as the width's own type, so that a value is rounded once.
template <class Real>
std::string ReadRealText(std::string_view text, uint64_t& bits) {
  const std::string_view digits = text.size() > 1 && text[0] == '+' && text[1] != '-' ? text.substr(1) : text;
  const char* end = digits.data() + digits.size();
  Real value = 0;
  const auto [stop, error] = std::from_chars(digits.data(), end, value, std::chars_format::general);
  if (error == std::errc::result_out_of_range && stop == end) return "Value out of range: " + std::string(text);
  if (error != std::errc() || stop != end || std::isnan(value)) return "Invalid value: " + std::string(text);
  bits = RealBits(value, sizeof(Real));
  return {};
}

}  // namespace

std::string CheckRealValues(const RunSettings& settings) {
  const Selection& selection = settings.selection;
  if (!selection.real) return {};
  if (selection.width != 4 && selection.width != 8) return "Real values are 4 or 8 bytes wide";
  if (selection.step) return "Real values take no steps";
  return {};
}

std::string ReadPattern(RunSettings& settings) {
  Selection& selection = settings.selection;
  if (!selection.pattern) return {};
  const std::string& text = settings.patternText;
  if (text.size() > kLongestSwitchValue) return "Pattern too long: " + text;
  for (size_t k = 0; k < text.size(); ++k) {
    const char character = text[k];
    const uint8_t steps = character == '+'   ? kStepRises
                          : character == '-' ? kStepFalls
                          : character == '=' ? kStepStays
                          : character == '!' ? kStepRises | kStepFalls | kStepUnordered
                          : character == '*' ? kStepRises | kStepStays | kStepFalls | kStepUnordered
                                             : 0;
    if (steps == 0) return "Invalid pattern: " + text;
    if (k < kMostFiles - 1) selection.steps[k] = steps;
  }
  if (static_cast<int64_t>(text.size()) != int64_t{settings.fileCount} - 1) {
    return "Count of steps must be the count of files less one";
  }
  return {};
}

std::string ReadKnownValues(RunSettings& settings) {
  Selection& selection = settings.selection;
  if (!selection.knownValues) return {};
  if (settings.valueTexts.size() > kLongestSwitchValue) return "Values too long: " + settings.valueTexts;
  const uint64_t widthMask = LargestValue(selection.width);
  // A value: unsigned within the width, or negative down to its lowest
  // signed value, taken in two's complement. A range's bound left out is
  // the width's lowest or highest value.
  std::string refusal;
  const auto value = [&](std::string_view text) -> uint64_t {
    if (selection.real) {
      uint64_t bits = 0;
      const std::string failed =
          selection.width == 4 ? ReadRealText<float>(text, bits) : ReadRealText<double>(text, bits);
      if (refusal.empty()) refusal = failed;
      return bits;
    }
    const WideIntegerText read = ParseWideIntegerText(text);
    if (!read.valid) {
      if (refusal.empty()) refusal = "Invalid value: " + std::string(text);
      return 0;
    }
    const bool fits = read.negative ? read.magnitude <= (widthMask >> 1) + 1 : read.magnitude <= widthMask;
    if (!fits && refusal.empty()) refusal = "Value out of range: " + std::string(text);
    return (read.negative ? 0 - read.magnitude : read.magnitude) & widthMask;
  };
  const auto bound = [&](std::string_view text, uint64_t none) { return text.empty() ? none : value(text); };
  std::string_view rest = settings.valueTexts;
  int count = 0;
  for (;;) {
    const size_t comma = rest.find(',');
    const std::string_view text = rest.substr(0, comma);
    // A value, or a range lo..hi of them, inclusive, either bound left out.
    const size_t dots = text.find("..");
    const uint64_t none[2] = {selection.real ? RealBits(-INFINITY, selection.width) : 0,
                              selection.real ? RealBits(INFINITY, selection.width) : widthMask};
    const uint64_t lowest = dots == std::string_view::npos ? value(text) : bound(text.substr(0, dots), none[0]);
    const uint64_t highest = dots == std::string_view::npos ? lowest : bound(text.substr(dots + 2), none[1]);
    if (!refusal.empty()) return refusal;
    const bool ordered =
        selection.real ? RealValue(lowest, selection.width) <= RealValue(highest, selection.width) : lowest <= highest;
    if (!ordered) return "Invalid range: " + std::string(text);
    if (count < kMostFiles) {
      selection.lowest[count] = lowest;
      selection.highest[count] = highest;
    }
    ++count;
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  if (count != settings.fileCount) return "Count of values must be the count of files";
  return {};
}

void ParseSwitch(std::string_view parameter) {
  if (!ApplySwitch(parameter, runSettings)) {
    FatalError("Unknown Parameter: " + std::string(parameter));
  }
}
