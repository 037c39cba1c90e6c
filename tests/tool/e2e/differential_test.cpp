// Random runs checked against the model: 2 to 10 inputs with lengths
// around the block size and its multiples, offsets at and around the
// interesting places, every selection switch in random forms and places.
#include <unistd.h>

#include <algorithm>
#include <random>

#include "e2e_support.h"

namespace e2e {
namespace {

constexpr int64_t kBlock = 65536;

struct Dice {
  std::mt19937 engine;
  int64_t Between(int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(engine);
  }
  bool Chance(int percent) { return Between(1, 100) <= percent; }
  template <typename T>
  T Pick(std::initializer_list<T> choices) { return choices.begin()[Between(0, choices.size() - 1)]; }
};

std::string Number(Dice& dice, int64_t value) {
  char hex[24];
  std::snprintf(hex, sizeof hex, dice.Chance(50) ? "$%llX" : "$%llx", static_cast<unsigned long long>(value));
  return value >= 0 && dice.Chance(40) ? hex : std::to_string(value);
}

// Bytes for one position, one per input, in a shape that the selections
// look for, or nearly.
std::vector<int> PatternBytes(Dice& dice, int count, const Selection& s, int base) {
  const int64_t shape = dice.Between(0, 2);
  const int step = s.fixedStep && dice.Chance(60) ? s.step : static_cast<int>(dice.Between(-28, 28));
  const int span = step * (count - 1), low = std::max(0, -span), high = std::min(255, 255 - span);
  int value = static_cast<int>(shape == 2 && low <= high ? dice.Between(low, high) : dice.Between(0, 255));
  std::vector<int> bytes(count, base);
  for (int& b : bytes) {
    if (shape == 0) {  // random changes
      if (dice.Chance(50)) b = static_cast<int>(dice.Between(0, 255));
    } else if (shape == 1) {  // rising or falling by uneven steps, clipped
      b = std::clamp(value, 0, 255);
      value += (step < 0 ? -1 : 1) * static_cast<int>(dice.Between(1, 30));
    } else {  // a constant step, wrapping round or spoilt at times
      b = value & 0xFF;
      value += step;
    }
  }
  if (shape == 2 && dice.Chance(30)) bytes[dice.Between(0, count - 1)] ^= 1;
  return bytes;
}

struct RandomCase {
  std::vector<std::string> names, contents, args;
  int64_t offset = 0, shortest = 0;
  Selection selection;
};

RandomCase MakeCase(Dice& dice) {
  RandomCase c;
  Selection& s = c.selection;
  std::vector<std::string> switches = {"-f:report.txt"};
  if ((s.ascending = dice.Chance(35))) switches.push_back(dice.Pick({"-a", "-A", "-ascending"}));
  if ((s.descending = dice.Chance(35))) switches.push_back(dice.Pick({"-d", "-D", "-Delta"}));
  if ((s.anyStep = dice.Chance(15))) switches.push_back(dice.Pick({"-s", "-s:", "-S"}));
  if ((s.fixedStep = !s.anyStep && dice.Chance(30))) {
    s.step = dice.Chance(75) ? dice.Pick({1, -1, 2, -2, 3, 0}) : static_cast<int>(dice.Between(-255, 255));
    switches.push_back("-s:" + Number(dice, s.step));
  }

  const int count = static_cast<int>(dice.Between(2, 10));
  const int64_t base = dice.Pick(
      {dice.Between(0, 400), kBlock * dice.Between(1, 3) + dice.Between(-3, 3), dice.Between(0, 200000)});
  std::vector<int64_t> lengths(count, base);
  for (int64_t& length : lengths)
    if (dice.Chance(30)) length += dice.Between(1, 3000);
  if (dice.Chance(3)) lengths[dice.Between(0, count - 1)] = 0;
  c.shortest = *std::min_element(lengths.begin(), lengths.end());
  const int64_t longest = *std::max_element(lengths.begin(), lengths.end());
  // Past the shortest length there is nothing to compare.
  c.offset = std::clamp<int64_t>(
      dice.Pick<int64_t>({0, 0, dice.Between(0, c.shortest), c.shortest, c.shortest + dice.Between(1, 3),
                          c.shortest - kBlock * dice.Between(0, 2) - dice.Between(-1, 1)}),
      0, c.shortest + 3);
  if (c.offset != 0 || dice.Chance(50))
    switches.push_back(dice.Pick({"-o:", "-O:"}) + Number(dice, c.offset));

  std::string common(static_cast<size_t>(longest), '\0');
  for (char& b : common) b = static_cast<char>(dice.Between(0, 255));
  for (int k = 0; k < count; ++k) {
    // Names shorter than the name field, exactly as long, and longer.
    c.names.push_back(std::to_string(k) + dice.Pick({"", ".sav", "_input1.bin", "-rather-long-input.dat"}));
    c.contents.push_back(common.substr(0, static_cast<size_t>(lengths[k])));
  }
  for (int64_t i = dice.Between(0, 30); i > 0 && longest > 0; --i) {
    const int64_t position = dice.Pick({dice.Between(0, longest - 1),
                                        c.offset + kBlock * dice.Between(0, 3) + dice.Between(-2, 2),
                                        c.shortest + dice.Between(-3, 1), c.offset + dice.Between(-2, 3)});
    if (position < 0 || position >= longest) continue;
    const std::vector<int> bytes = PatternBytes(dice, count, s, static_cast<uint8_t>(common[position]));
    for (int k = 0; k < count; ++k)
      if (position < lengths[k]) c.contents[k][position] = static_cast<char>(bytes[k]);
  }

  std::shuffle(switches.begin(), switches.end(), dice.engine);
  for (size_t name = 0, next = 0; name < c.names.size() || next < switches.size();) {
    const bool takeName = next == switches.size() || (name < c.names.size() && dice.Chance(60));
    c.args.push_back(takeName ? c.names[name++] : switches[next++]);
  }
  return c;
}

class Differential : public ZevTest, public testing::WithParamInterface<int> {};

TEST_P(Differential, ReportMatchesTheModel) {
  Dice dice{std::mt19937(20250107u + static_cast<uint32_t>(GetParam()))};
  for (int i = 0; i < 25 && !HasFailure(); ++i) {
    const RandomCase c = MakeCase(dice);
    std::string line = "case " + std::to_string(i) + ": zev";
    for (const std::string& arg : c.args) line += " " + arg;
    SCOPED_TRACE(line + "  (shortest " + std::to_string(c.shortest) + ")");
    watched.clear();
    for (size_t k = 0; k < c.names.size(); ++k) MakeInput(c.names[k], c.contents[k]);
    harness::WriteFile(Path("report.txt"), "stale report text\r\n");

    RunResult result = Run(c.args);
    const std::string report = harness::ReadFile(Path("report.txt"));
    if (c.offset > c.shortest) {
      ExpectFatal(result, "Nothing to compare");
      EXPECT_EQ(report, "");
    } else {
      EXPECT_EQ(result.exitCode, 0);
      ExpectSameReport(report, ExpectedReport(c.names, c.contents, c.offset, c.selection));
      ExpectScreenBannerOnly(result);
    }
    for (const std::string& name : c.names) unlink(Path(name).c_str());
  }
}

INSTANTIATE_TEST_SUITE_P(Batches, Differential, testing::Range(0, 12));

}  // namespace
}  // namespace e2e
