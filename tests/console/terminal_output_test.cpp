// What the window sends to a terminal: fed into an emulated terminal, it
// must show exactly the window's model after every piece of output, and
// each piece must arrive as a single write.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "console/console_inspect.h"
#include "console/console_window.h"
#include "harness/palette.h"
#include "harness/screen_capture.h"

namespace {

// The terminal's colour of a window colour; -1 for the terminal's own.
int TerminalColour(uint16_t attribute, int shift) {
  if (attribute == kTerminalDefaultAttribute) return -1;
  return harness::PaletteIndex((attribute >> shift) & 15);
}

// A packet socket keeps the boundaries of writes, so every write the
// window makes arrives as one message.
class TerminalOutput : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, sockets_), 0);
    int size = 1 << 20;
    setsockopt(sockets_[0], SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    setsockopt(sockets_[1], SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    harness::OpenScreen(&capture_, 80, 25);
    StartConsoleOnHandle(sockets_[0], 80, 25, true);
  }

  void TearDown() override {
    StartConsoleOnHandle(-1, 1, 1, true);
    harness::CloseScreen(&capture_);
    close(sockets_[0]);
    close(sockets_[1]);
  }

  // Feeds the terminal the writes made since the last call and counts them.
  int TakeWrites() {
    int writes = 0;
    std::vector<char> message(1 << 20);
    for (ssize_t got; (got = recv(sockets_[1], message.data(), message.size(), MSG_DONTWAIT)) >= 0;) {
      ++writes;
      received_.append(message.data(), static_cast<size_t>(got));
      harness::FeedScreen(&capture_, message.data(), static_cast<size_t>(got));
    }
    return writes;
  }

  harness::RunResult Shown() {
    harness::RunResult shown;
    harness::ReadScreen(capture_, &shown);
    return shown;
  }

  void ExpectTerminalShowsModel(const std::string& step) {
    const harness::RunResult shown = Shown();
    const ConsoleView view = InspectConsole();
    ASSERT_TRUE(shown.cursorColumn + 1 == view.cursorColumn && shown.cursorRow + 1 == view.cursorRow) << step;
    for (int row = 1; row <= view.screenHeight; ++row) {
      for (int column = 1; column <= view.screenWidth; ++column) {
        const ScreenCell cell = InspectCell(column, row);
        const harness::Cell& seen = shown.At(row - 1, column - 1);
        const std::string where = step + " at " + std::to_string(column) + "," + std::to_string(row);
        ASSERT_EQ(seen.width, cell.width) << where;
        if (cell.width == 0) continue;
        ASSERT_EQ(seen.text.empty() ? " " : seen.text, CellGlyph(cell)) << where;
        ASSERT_TRUE(seen.foreground == TerminalColour(cell.attribute, 0) &&
                    seen.background == TerminalColour(cell.attribute, 4) && !seen.bold && !seen.reverse)
            << where << ": " << seen.foreground << " on " << seen.background;
      }
    }
  }

  int sockets_[2] = {-1, -1};
  harness::ScreenCapture capture_;
  std::string received_;
};

TEST_F(TerminalOutput, RandomPiecesAreOneWriteEachAndTheTerminalNeverDrifts) {
  const std::vector<std::string> texts = {
      "plain", std::string(78, 'w'), std::string(150, 'L'), "Grüße, 日本語 und 😀",
      "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE6\x97\xA5\xE6\x9C\xAC",
      "raw \x80\x9b\xff\xc3( bytes", "tab\there esc\x1b[31mred\x1b[2J cleared?",
      std::string("nul\0del\x7f", 8), "back\b\bspace\a", "halves 日本\bx\b\b\by",
      "lone\nfeed\rreturn", "combining e\xCC\x81 and zero\xE2\x80\x8Bwidth", "\xC2\x9B" "6n query?",
  };
  std::mt19937 random(20050107);
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

  ClearWindow();
  ASSERT_EQ(TakeWrites(), 1);
  ExpectTerminalShowsModel("first clear");
  for (int step = 0; step < 400; ++step) {
    const int choice = pick(0, 9), left = pick(0, 82), top = pick(0, 27);
    const std::string& text = texts[pick(0, static_cast<int>(texts.size()) - 1)];
    if (choice == 0) {
      SetWindow(left, top, left + pick(0, 40), top + pick(0, 12));
    } else if (choice == 1) {
      SetTextAttribute(pick(0, 255));
    } else if (choice == 2) {
      ClearWindow();
    } else if (choice <= 4) {
      EndLine();
    } else {
      WriteText(text, pick(0, 20));
    }
    const std::string name = "step " + std::to_string(step) + ", choice " + std::to_string(choice) +
                             (choice > 4 ? ": " + text : "");
    // A refused window sends nothing; an attribute waits for what it colours.
    const int writes = TakeWrites();
    ASSERT_TRUE(choice == 0 ? writes <= 1 : writes == (choice == 1 ? 0 : 1)) << name << ": " << writes;
    ExpectTerminalShowsModel(name);
  }
  // Whatever the texts held, only the window's own sequences reached the
  // terminal: no clear-screen, no query.
  for (const char* sequence : {"\x1b[2J", "\x1b[6n", "\x9b"}) EXPECT_EQ(received_.find(sequence), std::string::npos);

  // Each piece ends in the terminal's own colours, so whatever anyone else
  // sends it next is not painted in the window's.
  SetTextAttribute(0x4E);
  WriteText("colour", 0);
  TakeWrites();
  harness::FeedScreen(&capture_, "Q", 1);
  const ConsoleView view = InspectConsole();
  const harness::Cell q = Shown().At(view.cursorRow - 1, view.cursorColumn - 1);
  EXPECT_TRUE(q.text == "Q" && q.foreground == -1 && q.background == -1)
      << q.text << " " << q.foreground << " on " << q.background;
}

}  // namespace
