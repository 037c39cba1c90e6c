// Random runs checked against the plain model: inputs around the block
// size and its multiples, start offsets at and around the interesting
// places, and every selection switch in random forms and positions.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "report_model.h"

namespace e2e {
namespace {

constexpr int kBlock = 65536;

struct RandomCase {
  std::vector<std::string> names;
  std::vector<std::string> contents;
  int64_t offset = 0;
  int64_t shortest = 0;
  Selection selection;
  std::vector<std::string> args;
  bool decoyReport = false;
};

class Dice {
 public:
  explicit Dice(uint32_t seed) : engine(seed) {}
  int64_t Between(int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(engine);
  }
  bool Chance(int percent) { return Between(1, 100) <= percent; }
  uint8_t Byte() { return static_cast<uint8_t>(Between(0, 255)); }
  std::mt19937& Engine() { return engine; }

 private:
  std::mt19937 engine;
};

int64_t PickBaseLength(Dice& dice) {
  const int64_t kind = dice.Between(0, 9);
  if (kind < 4) return dice.Between(0, 400);
  if (kind < 8) return kBlock * dice.Between(1, 3) + dice.Between(-3, 3);
  return dice.Between(0, 200000);
}

int64_t PickOffset(Dice& dice, int64_t shortest) {
  const int64_t kind = dice.Between(0, 19);
  int64_t offset = 0;
  if (kind < 8) offset = 0;
  else if (kind < 11) offset = dice.Between(0, shortest);
  else if (kind < 13) offset = shortest;
  else if (kind < 15) offset = shortest + dice.Between(1, 3);  // nothing to compare
  else if (kind < 18) offset = shortest - kBlock * dice.Between(0, 2) - dice.Between(-1, 1);
  else offset = dice.Between(1, 70000);
  return std::clamp<int64_t>(offset, 0, shortest + 3);
}

std::string OffsetSwitch(Dice& dice, int64_t offset) {
  std::string prefix = dice.Chance(20) ? "-O:" : "-o:";
  if (dice.Chance(30)) {
    char text[32];
    snprintf(text, sizeof text, dice.Chance(50) ? "$%llX" : "$%llx", static_cast<unsigned long long>(offset));
    return prefix + text;
  }
  return prefix + std::to_string(offset);
}

// Bytes for one position, one per input, in one of the shapes that the
// selections look for (or nearly do).
std::vector<int> PatternBytes(Dice& dice, int count, const Selection& selection, uint8_t base) {
  std::vector<int> bytes(count, base);
  switch (dice.Between(0, 5)) {
    case 0:  // random changes
      for (int& b : bytes)
        if (dice.Chance(50)) b = dice.Byte();
      break;
    case 1:
    case 2: {  // strictly rising or falling
      std::vector<int> values(256);
      for (int v = 0; v < 256; ++v) values[v] = v;
      std::shuffle(values.begin(), values.end(), dice.Engine());
      values.resize(count);
      std::sort(values.begin(), values.end());
      if (dice.Chance(50)) std::reverse(values.begin(), values.end());
      bytes = values;
      break;
    }
    case 3:
    case 4: {  // a constant step, often the one asked for, sometimes spoilt
      int step = static_cast<int>(dice.Between(-28, 28));
      if (selection.fixedStep && dice.Chance(60)) step = selection.step;
      const int span = step * (count - 1);
      const int low = std::max(0, -span), high = std::min(255, 255 - span);
      const int start = low <= high ? static_cast<int>(dice.Between(low, high)) : 0;
      for (int k = 0; k < count; ++k) bytes[k] = std::clamp(start + k * step, 0, 255);
      if (dice.Chance(20)) bytes[dice.Between(0, count - 1)] ^= 1;
      break;
    }
    default: {  // constant only modulo 256: no step without wrap-around
      const int step = static_cast<int>(dice.Between(1, 120));
      const int start = dice.Byte();
      for (int k = 0; k < count; ++k) bytes[k] = (start + k * step) & 0xFF;
      break;
    }
  }
  return bytes;
}

std::string PickName(Dice& dice, int k) {
  switch (dice.Between(0, 3)) {
    case 0: return "f" + std::to_string(k);
    case 1: return "input_" + std::to_string(10 + k) + ".bin";  // exactly 12 characters
    case 2: return "rather-long-input-" + std::to_string(k) + ".dat";
    default: return "file" + std::to_string(k) + ".sav";
  }
}

std::vector<std::string> SelectionSwitches(Dice& dice, Selection& selection) {
  std::vector<std::string> switches;
  if (dice.Chance(35)) {
    selection.ascending = true;
    const char* forms[] = {"-a", "-A", "-ascending"};
    switches.push_back(forms[dice.Between(0, 2)]);
    if (dice.Chance(15)) switches.push_back("-a");
  }
  if (dice.Chance(35)) {
    selection.descending = true;
    const char* forms[] = {"-d", "-D", "-Delta"};
    switches.push_back(forms[dice.Between(0, 2)]);
  }
  const int64_t step = dice.Between(0, 99);
  if (step < 15) {
    selection.anyStep = true;
    const char* forms[] = {"-s", "-s:", "-S"};
    switches.push_back(forms[dice.Between(0, 2)]);
  } else if (step < 40) {
    const int common[] = {1, -1, 2, -2, 3, 0};
    selection.fixedStep = true;
    selection.step = dice.Chance(75) ? common[dice.Between(0, 5)] : static_cast<int>(dice.Between(-255, 255));
    std::string value = std::to_string(selection.step);
    if (selection.step > 0 && dice.Chance(30)) {
      char text[16];
      snprintf(text, sizeof text, "$%X", selection.step);
      value = text;
    }
    switches.push_back("-s:" + value);
  }
  return switches;
}

RandomCase MakeCase(Dice& dice) {
  RandomCase c;
  const int count = static_cast<int>(dice.Between(2, 10));
  const int64_t base = PickBaseLength(dice);
  std::vector<int64_t> lengths(count, base);
  if (dice.Chance(50)) {
    for (int64_t& length : lengths) length = base + dice.Between(0, 3000);
    lengths[dice.Between(0, count - 1)] = base;
  }
  if (dice.Chance(3)) lengths[dice.Between(0, count - 1)] = 0;
  c.shortest = *std::min_element(lengths.begin(), lengths.end());
  const int64_t longest = *std::max_element(lengths.begin(), lengths.end());
  c.offset = PickOffset(dice, c.shortest);

  std::vector<std::string> switches = SelectionSwitches(dice, c.selection);

  std::string common(static_cast<size_t>(longest), '\0');
  for (char& b : common) b = static_cast<char>(dice.Byte());
  for (int k = 0; k < count; ++k) {
    c.names.push_back(PickName(dice, k));
    c.contents.push_back(common.substr(0, static_cast<size_t>(lengths[k])));
  }
  const int64_t changes = dice.Between(0, 30);
  for (int64_t i = 0; i < changes && longest > 0; ++i) {
    int64_t position = 0;
    switch (dice.Between(0, 3)) {
      case 0: position = dice.Between(0, longest - 1); break;
      case 1: position = c.offset + kBlock * dice.Between(0, 3) + dice.Between(-2, 2); break;
      case 2: position = c.shortest + dice.Between(-3, 1); break;
      default: position = c.offset + dice.Between(-2, 3); break;
    }
    if (position < 0 || position >= longest) continue;
    const std::vector<int> bytes =
        PatternBytes(dice, count, c.selection, static_cast<uint8_t>(common[position]));
    for (int k = 0; k < count; ++k)
      if (position < lengths[k]) c.contents[k][position] = static_cast<char>(bytes[k]);
  }

  const bool decoyOffset = dice.Chance(10);
  if (c.offset != 0 || decoyOffset || dice.Chance(50)) switches.push_back(OffsetSwitch(dice, c.offset));
  switches.push_back("-f:report.txt");
  std::shuffle(switches.begin(), switches.end(), dice.Engine());
  // Earlier values of -o: and -f: are overridden by the last ones.
  if (decoyOffset) switches.insert(switches.begin(), OffsetSwitch(dice, dice.Between(0, 1000000)));
  if (dice.Chance(10)) {
    c.decoyReport = true;
    switches.insert(switches.begin(), "-f:decoy.txt");
  }
  size_t nextName = 0, nextSwitch = 0;
  while (nextName < c.names.size() || nextSwitch < switches.size()) {
    const bool takeName = nextSwitch == switches.size() ||
                          (nextName < c.names.size() && dice.Chance(60));
    c.args.push_back(takeName ? c.names[nextName++] : switches[nextSwitch++]);
  }
  return c;
}

std::string Describe(const RandomCase& c) {
  std::string text = "zev";
  for (const std::string& arg : c.args) text += " " + arg;
  text += "  (lengths";
  for (const std::string& content : c.contents) text += " " + std::to_string(content.size());
  return text + ")";
}

class Differential : public ZevTest, public testing::WithParamInterface<int> {};

TEST_P(Differential, ReportMatchesTheModel) {
  Dice dice(20250107u + static_cast<uint32_t>(GetParam()));
  for (int i = 0; i < 25; ++i) {
    const RandomCase c = MakeCase(dice);
    SCOPED_TRACE("case " + std::to_string(i) + ": " + Describe(c));
    for (size_t k = 0; k < c.names.size(); ++k) MakeInput(c.names[k], c.contents[k]);
    unlink(Path("decoy.txt").c_str());
    if (dice.Chance(50)) harness::WriteFile(Path("report.txt"), "stale report text\r\n");
    else unlink(Path("report.txt").c_str());

    harness::RunResult result = Run(c.args);
    if (c.offset > c.shortest) {
      ExpectFatal(result, "Nothing to compare");
      EXPECT_EQ(harness::ReadFile(Path("report.txt")), "");
    } else {
      EXPECT_EQ(result.exitCode, 0);
      ExpectSameReport(harness::ReadFile(Path("report.txt")),
                       ExpectedReport(c.names, c.contents, c.offset, c.selection));
      ExpectScreenBannerOnly(result);
    }
    struct stat info{};
    EXPECT_NE(stat(Path("decoy.txt").c_str(), &info), 0) << "an overridden report name was created";
    for (const std::string& name : c.names) unlink(Path(name).c_str());
    watched.clear();
    if (HasFailure()) break;
  }
}

INSTANTIATE_TEST_SUITE_P(Batches, Differential, testing::Range(0, 12));

}  // namespace
}  // namespace e2e
