#include "e2e_support.h"

#include <iconv.h>
#include <sys/stat.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <tuple>

namespace e2e {
namespace {

// The number a real value's bits stand for.
double RealOf(uint64_t bits, int width) {
  if (width == 8) return std::bit_cast<double>(bits);
  return std::bit_cast<float>(static_cast<uint32_t>(bits));
}

// A value as a number: x87's long double holds every 64-bit integer, every difference of two, and every real value
// exactly, and its NaNs fail every comparison, so that a step from or to one is a change.
long double NumberOf(uint64_t bits, const Selection& s) {
  return s.real ? RealOf(bits, s.width) : static_cast<long double>(bits);
}

// -a, -d, -s and -p choose by the changes, any of them; -v narrows, and without -p and -v a value must differ.
bool IsSelected(const std::vector<uint64_t>& bits, const Selection& s) {
  std::vector<long double> x;
  for (uint64_t each : bits) x.push_back(NumberOf(each, s));
  bool different = false, rises = true, falls = true, constant = true, stepIsN = true, follows = true, known = true;
  for (size_t k = 1; k < x.size(); ++k) {
    const long double step = x[k] - x[k - 1];
    different |= bits[k] != bits[0];
    rises &= x[k] > x[k - 1];
    falls &= x[k] < x[k - 1];
    constant &= step == x[1] - x[0];
    stepIsN &= step == static_cast<long double>(s.step);
    const char wanted = k - 1 < s.pattern.size() ? s.pattern[k - 1] : '*';
    follows &= wanted == '*' || (wanted == '+' && x[k] > x[k - 1]) || (wanted == '-' && x[k] < x[k - 1]) ||
               (wanted == '=' && x[k] == x[k - 1]) || (wanted == '!' && !(x[k] == x[k - 1]));
  }
  for (size_t k = 0; k < s.known.size(); ++k)
    known &= NumberOf(s.known[k].first, s) <= x[k] && x[k] <= NumberOf(s.known[k].second, s);
  if (!s.ascending && !s.descending && !s.anyStep && !s.fixedStep && s.pattern.empty())
    return known && (different || !s.known.empty());
  return known && ((s.ascending && rises) || (s.descending && falls) || (s.anyStep && constant && different) ||
                   (s.fixedStep && stepIsN && different) || (!s.pattern.empty() && follows));
}

// Decimal places: as many as the largest value has, or the longest shortest text of a real value.
size_t Places(int width, bool real) {
  return real ? (width == 4 ? 15 : 24) : width == 1 ? 3 : width == 2 ? 5 : width == 4 ? 10 : 20;
}

// A value's column: the separator, decimal, '$' and its digits most significant first, its bytes as in the file.
std::string ValueColumn(const std::string& bytes, bool bigEndian, bool real) {
  uint64_t value = 0;
  std::string digits, shown;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint8_t b = static_cast<uint8_t>(bytes[bigEndian ? i : bytes.size() - 1 - i]);
    value = value << 8 | b;
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", b);
    digits += hex;
    shown += static_cast<uint8_t>(bytes[i]) < 0x20 ? '.' : bytes[i];
  }
  const std::string decimal =
      real ? ShortestReal(RealOf(value, static_cast<int>(bytes.size())), bytes.size() == 4) : std::to_string(value);
  const size_t places = Places(static_cast<int>(bytes.size()), real);
  return " \xB3" + std::string(places - decimal.size(), ' ') + decimal + "  $" + digits + " '" + shown + "'";
}

// An input's identity, length, times and (up to 64 MiB, not the sparse giants) bytes.
auto InputState(const std::string& path) {
  struct stat info {};
  const bool exists = lstat(path.c_str(), &info) == 0;
  return std::make_tuple(exists, info.st_ino, info.st_size, info.st_mtim.tv_sec, info.st_mtim.tv_nsec,
                         info.st_ctim.tv_sec, info.st_ctim.tv_nsec,
                         info.st_size <= (64 << 20) ? harness::ReadFile(path) : "");
}

// The banner and then the lines, by the window's rules: each text written cell by cell from the cursor, wrapping at
// the window's right edge; a line end goes to the next row; a row past the bottom scrolls the window.
void ExpectInWindow(const RunResult& result, std::vector<std::pair<std::string, int>> lines) {
  const auto right = [](const std::string& text) { return std::pair(std::string(72 - text.size(), ' ') + text, 10); };
  lines.insert(lines.begin(), {right("Brimlo comaparator"),
                               right("Byte-by-byte comparison of two to ten files"),
                               right("ZEV v1.0 build 050107"),
                               {"", 10}});
  const bool fits = result.columns >= 79 && result.rows >= 24;
  const int origin = fits, width = fits ? 78 : result.columns, height = fits ? 23 : result.rows;
  std::vector<std::pair<std::string, std::vector<int>>> rows(1);  // text and colours
  for (const auto& [text, colour] : lines) {
    for (char c : text) {
      rows.back().first += c;
      rows.back().second.push_back(colour);
      if (static_cast<int>(rows.back().first.size()) == width) rows.emplace_back();
    }
    rows.emplace_back();
  }
  const int first = std::max(0, static_cast<int>(rows.size()) - height);
  for (int row = 0; row < result.rows; ++row) {
    const int line = row - origin + first;
    const bool shown = row >= origin && row < origin + height && line < static_cast<int>(rows.size());
    std::string expected = shown ? std::string(origin, ' ') + TerminalText(rows[line].first) : "";
    EXPECT_EQ(result.RowText(row), expected.erase(expected.find_last_not_of(' ') + 1)) << "row " << row + 1;
    for (size_t at = 0; shown && at < rows[line].second.size(); ++at) {
      const Shown colour = ShownColours(rows[line].second[at]);
      harness::ExpectColours(result, row, origin + static_cast<int>(at), 1, colour.foreground, colour.background);
    }
    for (int column = 0; fits && column < result.columns; ++column) {  // the margins keep the terminal's background
      EXPECT_TRUE((row >= 1 && row <= height && column >= 1 && column <= width) ||
                  result.At(row, column).background == -1)
          << "margin at " << row + 1 << "," << column + 1;
    }
  }
  EXPECT_TRUE(result.cursorRow == origin + static_cast<int>(rows.size()) - 1 - first && result.cursorColumn == origin)
      << "cursor at row " << result.cursorRow + 1 << ", column " << result.cursorColumn + 1;
}

}  // namespace

std::string HeaderLine(const std::vector<std::string>& names, int digits, int field) {
  std::string line = "Files:" + std::string(digits - 4, ' ');
  for (const std::string& name : names)
    line += " \xB3" + std::string(name.size() < size_t(field) ? field - name.size() : 0, ' ') + name;
  return line + "\r\n";
}

std::string DifferenceLine(uint64_t position, const std::vector<int>& bytes, int digits) {
  char text[24];
  std::snprintf(text, sizeof text, "%0*llX  ", digits, static_cast<unsigned long long>(position));
  std::string line = text;
  for (int b : bytes) line += ValueColumn(std::string(1, static_cast<char>(b)), false, false);
  return line + "\r\n";
}

namespace {

std::string Joined(const std::vector<std::string>& names, const std::string& between, const std::string& quote) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : between) + quote + name + quote;
  return text;
}

// A report for other programs: positions and values in decimal, real values as their shortest texts.
std::string ExpectedFormLine(Form form, size_t position, const std::vector<uint64_t>& values,
                             const Selection& selection) {
  std::string line =
      form == Form::Csv ? std::to_string(position) : "{\"offset\":" + std::to_string(position) + ",\"values\":[";
  for (size_t k = 0; k < values.size(); ++k) {
    const double number = RealOf(values[k], selection.width);
    std::string text = selection.real ? ShortestReal(number, selection.width == 4) : std::to_string(values[k]);
    if (form == Form::JsonLines && selection.real && !std::isfinite(number)) text = '"' + text + '"';
    line += (form == Form::Csv || k > 0 ? "," : "") + text;
  }
  return line + (form == Form::Csv ? "\r\n" : "]}\n");
}

}  // namespace

std::string ExpectedReport(const std::vector<std::string>& names, const std::vector<std::string>& contents,
                           int64_t offset, const Selection& selection, Form form) {
  size_t shortest = SIZE_MAX;
  for (const std::string& content : contents) shortest = std::min(shortest, content.size());
  // Values start at the offset and every width-th byte after it, while a whole one fits.
  const size_t w = static_cast<size_t>(selection.width), start = static_cast<size_t>(offset);
  const int64_t last = shortest >= start + w ? int64_t(start + (shortest - start) / w * w - w) : int64_t(shortest) - 1;
  int digits = 8;
  while (digits < 16 && last >= (int64_t{1} << (4 * digits))) ++digits;
  // The names stand right-aligned over their columns.
  std::string report = HeaderLine(names, digits, static_cast<int>(Places(selection.width, selection.real) + 3 * w + 6));
  if (form == Form::Csv) report = "offset," + Joined(names, ",", "") + "\r\n";
  if (form == Form::JsonLines) {
    report = "{\"files\":[" + Joined(names, ",", "\"") + "],\"width\":" + std::to_string(w) + ",\"byte_order\":\"" +
             (selection.bigEndian ? "big" : "little") + "\",\"real\":" + (selection.real ? "true" : "false") +
             ",\"offset\":" + std::to_string(offset) + "}\n";
  }
  for (size_t p = start; p + w <= shortest; p += w) {
    std::vector<uint64_t> values;
    std::string line = DifferenceLine(p, {}, digits).substr(0, digits + 2);
    for (const std::string& content : contents) {
      uint64_t value = 0;
      for (size_t i = 0; i < w; ++i)
        value = value << 8 | static_cast<uint8_t>(content[p + (selection.bigEndian ? i : w - 1 - i)]);
      values.push_back(value);
      line += ValueColumn(content.substr(p, w), selection.bigEndian, selection.real);
    }
    if (!IsSelected(values, selection)) continue;
    if (form != Form::Table) {
      report += ExpectedFormLine(form, p, values, selection);
      continue;
    }
    report += line + "\r\n";
  }
  return report;
}

// The fewest significant digits that read back to the number, from printf's correctly rounded %e; then written
// plainly or with an exponent, whichever is shorter, plainly when they tie.
std::string ShortestReal(double number, bool single) {
  if (std::isnan(number)) return "nan";
  if (std::isinf(number)) return number < 0 ? "-inf" : "inf";
  std::string sign = std::signbit(number) ? "-" : "", digits;
  int exponent = 0;
  for (int precision = 1; precision <= 17; ++precision) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*e", precision - 1, std::fabs(number));
    const bool back = single ? std::strtof(text, nullptr) == static_cast<float>(std::fabs(number))
                             : std::strtod(text, nullptr) == std::fabs(number);
    if (!back) continue;
    const std::string all = text;
    digits = all.substr(0, 1) + (precision > 1 ? all.substr(2, static_cast<size_t>(precision - 1)) : "");
    exponent = std::atoi(all.c_str() + all.find('e') + 1);
    break;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  const int n = static_cast<int>(digits.size());
  const std::string scientific =
      digits.substr(0, 1) + (n > 1 ? "." + digits.substr(1) : "") + "E" + std::to_string(exponent);
  std::string plain;
  if (exponent >= n - 1)
    plain = digits + std::string(static_cast<size_t>(exponent - n + 1), '0');
  else if (exponent >= 0)
    plain =
        digits.substr(0, static_cast<size_t>(exponent + 1)) + "." + digits.substr(static_cast<size_t>(exponent + 1));
  else
    plain = "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  return sign + (scientific.size() < plain.size() ? scientific : plain);
}

RandomCase MakeRandomCase(std::mt19937& engine) {
  constexpr int64_t kBlock = 65536;
  const auto between = [&](int64_t low, int64_t high) {
    return std::uniform_int_distribution<int64_t>(low, high)(engine);
  };
  const auto chance = [&](int percent) { return between(1, 100) <= percent; };
  // A switch in one of its forms, on Windows with either prefix, and a number in decimal or $ hexadecimal.
  const auto form = [&](std::vector<std::string> forms, int64_t value = INT64_MIN) {
    std::string text = forms[between(0, static_cast<int64_t>(forms.size()) - 1)];
    char hex[24];
    std::snprintf(hex, sizeof hex, chance(50) ? "$%llX" : "$%llx", static_cast<unsigned long long>(value));
    text += value == INT64_MIN ? "" : value >= 0 && chance(40) ? hex : std::to_string(value);
    return (OnWindows() && chance(50) ? "/" : "-") + text.substr(1);
  };
  RandomCase c;
  Selection& s = c.selection;
  std::vector<std::string> switches = {form({"-f:report.txt"})};
  if ((s.ascending = chance(35))) switches.push_back(form({"-a", "-A", "-ascending"}));
  if ((s.descending = chance(35))) switches.push_back(form({"-d", "-D", "-Delta"}));
  if ((s.anyStep = chance(15))) switches.push_back(form({"-s", "-s:", "-S"}));
  if ((s.fixedStep = !s.anyStep && chance(30))) {
    s.step = chance(75)   ? between(-3, 3)
             : chance(70) ? between(-255, 255)
                          : between(-(int64_t{1} << 40), int64_t{1} << 40);
    switches.push_back(form({"-s:"}, s.step));
  }
  const int count = static_cast<int>(between(2, 10));
  const int64_t lengths[] = {between(0, 400), kBlock * between(1, 3) + between(-3, 3), between(0, 200000)};
  std::vector<int64_t> length(count, lengths[between(0, 2)]);
  for (int64_t& each : length) each += chance(30) ? between(1, 3000) : 0;
  if (chance(3)) length[between(0, count - 1)] = 0;
  c.shortest = *std::min_element(length.begin(), length.end());
  const int64_t longest = *std::max_element(length.begin(), length.end());
  // At and around the edges; past the shortest length there is nothing to compare.
  const int64_t offsets[] = {0, between(0, c.shortest), c.shortest, c.shortest + between(1, 3),
                             c.shortest - kBlock * between(0, 2) - between(-1, 1)};
  c.offset = std::clamp<int64_t>(offsets[between(0, 4)], 0, c.shortest + 3);
  if (c.offset != 0 || chance(50)) switches.push_back(form({"-o:", "-O:"}, c.offset));
  std::string common(static_cast<size_t>(longest), '\0');
  for (char& b : common) b = static_cast<char>(between(0, 255));
  for (int k = 0; k < count; ++k) {
    const char* tails[] = {"", ".sav", "_input1.bin",
                           "-rather-long-input.dat"};  // names shorter than the field, as long, longer
    c.names.push_back(std::to_string(k) + tails[between(0, 3)]);
    c.contents.push_back(common.substr(0, static_cast<size_t>(length[k])));
  }
  // Changes at block edges, the offset, the shortest length, anywhere: random, rising or falling, by a constant step.
  for (int64_t i = between(0, 30); i > 0 && longest > 0; --i) {
    const int64_t places[] = {between(0, longest - 1), c.offset + kBlock * between(0, 3) + between(-2, 2),
                              c.shortest + between(-3, 1), c.offset + between(-2, 3)};
    const int64_t position = places[between(0, 3)], shape = between(0, 2);
    if (position < 0 || position >= longest) continue;
    const bool asked = s.fixedStep && s.step >= -255 && s.step <= 255 && chance(60);
    const int step = asked ? static_cast<int>(s.step) : static_cast<int>(between(-28, 28)), span = step * (count - 1);
    int value = static_cast<int>(
        shape == 2 && std::abs(span) <= 255 ? between(std::max(0, -span), std::min(255, 255 - span)) : between(0, 255));
    for (int k = 0; k < count;
         ++k, value += shape == 1 ? (step < 0 ? -1 : 1) * static_cast<int>(between(1, 30)) : step) {
      const int byte = shape == 0
                           ? (chance(50) ? static_cast<int>(between(0, 255)) : static_cast<uint8_t>(common[position]))
                       : shape == 1 ? std::clamp(value, 0, 255)
                                    : value & 0xFF;
      if (position < length[k]) c.contents[k][position] = static_cast<char>(byte);
    }
    const int64_t spoilt = between(0, count - 1);  // nearly a constant step
    if (shape == 2 && chance(30) && position < length[spoilt]) c.contents[spoilt][position] ^= 1;
  }
  // Values of 2, 4 or 8 bytes in either order; real values of 4 or 8 bytes, which take no steps.
  if (chance(40)) {
    s.width = 2 << between(0, 2);
    switches.push_back(form({"-w:", "-W:"}, s.width));
  }
  if ((s.bigEndian = chance(25))) switches.push_back(form({"-b", "-B", "-big"}));
  if ((s.width == 4 || s.width == 8) && (s.real = chance(40))) {
    std::erase_if(switches, [](const std::string& each) { return each[1] == 's' || each[1] == 'S'; });
    s.anyStep = s.fixedStep = false;
    switches.push_back(form({"-r", "-R", "-real"}));
  }
  // Known values read off the contents at a value's position, or ranges around them, a bound left out at times (a
  // NaN is known as any number at all); an integer with its top bit set written as a negative number at times.
  const int64_t w = s.width, at = c.offset + w * between(0, 3);
  const uint64_t top = ~uint64_t{0} >> (64 - 8 * w);
  const long double floor = s.real ? -INFINITY : 0, ceiling = s.real ? INFINITY : NumberOf(top, s);
  const auto bits = [&](long double n) {  // a real number rounded to the width, an integer held to its range
    if (!s.real) return static_cast<uint64_t>(std::clamp(n, floor, ceiling));
    return w == 4 ? uint64_t{std::bit_cast<uint32_t>(static_cast<float>(n))}
                  : std::bit_cast<uint64_t>(static_cast<double>(n));
  };
  const auto written = [&](uint64_t b) {
    if (s.real) return ShortestReal(RealOf(b, static_cast<int>(w)), w == 4);
    return b >> (8 * w - 1) && chance(50) ? "-" + std::to_string(top - b + 1) : std::to_string(b);
  };
  if (chance(25) && at + w <= c.shortest) {
    std::string text = "-v:";
    for (int k = 0; k < count; ++k) {
      uint64_t value = 0;
      for (int64_t i = 0; i < w; ++i)
        value = value << 8 | static_cast<uint8_t>(c.contents[k][at + (s.bigEndian ? i : w - 1 - i)]);
      const long double x = NumberOf(value, s);
      const long double near = s.real ? std::fabs(x) / 2 + 1 : between(0, chance(50) ? 3 : 300);
      const bool range = std::isnan(x) || chance(50);
      const uint64_t lowest = !range ? value : bits(std::isnan(x) || chance(20) ? floor : x - near),
                     highest = !range ? value : bits(std::isnan(x) || chance(20) ? ceiling : x + near);
      s.known.emplace_back(lowest, highest);
      text += k ? "," : "";
      text += !range ? written(value)
                     : (lowest == bits(floor) && chance(50) ? "" : written(lowest)) + ".." +
                           (highest == bits(ceiling) && chance(50) ? "" : written(highest));
    }
    if (text.size() - 3 <= 255) switches.push_back(form({text}));  // a longer text is refused
    if (text.size() - 3 > 255) s.known.clear();
  }
  if (chance(20)) {  // a pattern: mostly "anything" and "stays", so that unchanged and random places can follow it
    for (int k = 1; k < count; ++k) s.pattern += "**==!+-"[between(0, 6)];
    switches.push_back(form({"-p:", "-P:"}) + s.pattern);
  }
  std::shuffle(switches.begin(), switches.end(), engine);
  for (size_t name = 0, next = 0; name < c.names.size() || next < switches.size();) {
    c.args.push_back(next == switches.size() || (name < c.names.size() && chance(60)) ? c.names[name++]
                                                                                      : switches[next++]);
  }
  return c;
}

// The C library's code page table, but for 0x7F and the escape: the tool draws the house and the arrow.
std::string TerminalText(const std::string& bytes) {
  static const iconv_t fromCp437 = iconv_open("UTF-8", "IBM437");
  std::string in = bytes, out(bytes.size() * 3, '\0');
  char *from = in.data(), *to = out.data();
  size_t left = in.size(), room = out.size();
  EXPECT_NE(iconv(fromCp437, &from, &left, &to, &room), static_cast<size_t>(-1));
  out.resize(out.size() - room);
  for (size_t at; (at = out.find_first_of("\x7F\x1B")) != std::string::npos;)
    out.replace(at, 1, out[at] == 0x7F ? "\u2302" : "\u2190");
  return out;
}

std::vector<std::string> SplitReportLines(const std::string& report) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = report.find("\r\n", start)) != std::string::npos; start = end + 2)
    lines.push_back(report.substr(start, end - start));
  EXPECT_EQ(start, report.size()) << "does not end with CR LF: " << report.substr(start, 80);
  return lines;
}

void ExpectSameReport(const std::string& actual, const std::string& expected) {
  const size_t at =
      std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first - actual.begin();
  const size_t from = at == 0 ? 0 : expected.rfind('\n', at - 1) + 1;  // npos + 1 is 0
  EXPECT_TRUE(actual == expected) << "reports part at byte " << at << " (lengths " << actual.size() << " and "
                                  << expected.size() << ")\n  actual:   " << actual.substr(from, 160)
                                  << "\n  expected: " << expected.substr(from, 160);
}

StopMessage ParseStop(const std::string& output) {
  const size_t start = output.find("Runtime error ");
  const std::vector<std::string> lines =
      start == std::string::npos ? std::vector<std::string>() : SplitReportLines(output.substr(start));
  const auto place = [](const std::string& line,
                        const std::string& lead) {  // lead, "0x" and 8 uppercase hexadecimal digits
    return line.size() == lead.size() + 10 && line.compare(0, lead.size() + 2, lead + "0x") == 0 &&
           line.find_first_not_of("0123456789ABCDEF", lead.size() + 2) == std::string::npos;
  };
  const std::string number = lines.size() < 3 ? "" : lines[0].substr(14, lines[0].find(" at ") - 14);
  if (number.empty() || number.size() > 5 || number[0] == '0' ||
      number.find_first_not_of("0123456789") != std::string::npos ||
      !place(lines[0], "Runtime error " + number + " at ") || lines[1] != "  " + lines[0].substr(number.size() + 18) ||
      !lines.back().empty()) {
    return {};
  }
  StopMessage message = {true,
                         output.substr(0, start),
                         static_cast<unsigned>(std::stoul(number)),
                         std::stoull(lines[1].substr(4), nullptr, 16),
                         {}};
  for (size_t i = 2; i + 1 < lines.size(); ++i) {
    if (!place(lines[i], "  ")) return {};
    message.levels.push_back(std::stoull(lines[i].substr(4), nullptr, 16));
  }
  return message;
}

StopMessage ExpectStop(const RunResult& result, unsigned number, const std::string& before) {
  EXPECT_EQ(result.exitCode, static_cast<int>(number & 0xFF)) << result.stderrBytes;
  const StopMessage message = ParseStop(result.stdoutBytes);
  EXPECT_TRUE(message.wellFormed && message.number == number && message.before == before)
      << "not stop " << number << " after \"" << before << "\": " << result.stdoutBytes.substr(0, 400);
  return message;
}

std::string ZevTest::MakeInput(const std::string& name, const std::string& bytes) {
  harness::WriteFile(Path(name), bytes);
  watched.push_back(Path(name));
  return name;
}

harness::RunOptions ZevTest::Options(const std::vector<std::string>& args, StdoutMode mode,
                                     const std::vector<std::string>& command) const {
  harness::RunOptions options;
  options.program = command[0];
  options.stdoutMode = mode;
  options.workingDirectory = dir.path;
  options.args.assign(command.begin() + 1, command.end());
  options.args.insert(options.args.end(), args.begin(), args.end());
  return options;
}

RunResult ZevTest::Run(const harness::RunOptions& options) {
  std::vector<decltype(InputState(""))> before;
  for (const std::string& path : watched) before.push_back(InputState(path));
  RunResult result = harness::RunOnTerminal(options);
  EXPECT_FALSE(result.timedOut) << "zev did not end in time";
  for (size_t k = 0; k < watched.size(); ++k)
    EXPECT_TRUE(InputState(watched[k]) == before[k]) << "input changed: " << watched[k];
  return result;
}

RunResult ZevTest::RunInShell(const std::string& script, harness::RunOptions options) {
  options.args.insert(options.args.begin(), {"-c", script, options.program});
  options.program = "/bin/bash";
  return Run(options);
}

void ExpectBanner(const RunResult& result) { ExpectInWindow(result, {}); }

void ExpectScrolledReport(const RunResult& result, const std::vector<std::string>& lines) {
  ASSERT_TRUE(lines.size() >= 24u && result.rows == 25);
  for (int row = 0; row < 24; ++row)
    EXPECT_EQ(result.RowText(row), TerminalText(lines[lines.size() - 24 + row])) << row;
  EXPECT_TRUE(result.RowText(24).empty() && result.cursorRow == 24 && result.cursorColumn == 0);
}

void ExpectFatal(const RunResult& result, const std::string& message) {
  EXPECT_EQ(result.exitCode, 1);
  ExpectInWindow(result, {{message, 12}, {"", 7}});
}

void ExpectUsageScreen(const RunResult& result) {
  ExpectInWindow(result, {{"Usage:           ZEV file1 file2 [file3 .. fileN] [-switch1 .. -switchK]", 7},
                          {"", 7},
                          {"Switches:", 14},
                          {"   -a            Show differences if bytes in files have ascending order", 7},
                          {"   -d            Show differences if bytes in files have descending order", 7},
                          {"   -f:filename   Output file name, console by default", 7},
                          {"   -o:########   File offset [PASCAL style]", 7},
                          {"   -s[:###]      Show if bytes in files change on a step [PASCAL style]", 7},
                          {"", 7},
                          {"Notes:", 14},
                          {"   If -a, -d and -s switches aren't set, all differences are showed", 7},
                          {"", 7}});
}

}  // namespace e2e
