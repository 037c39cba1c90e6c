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
#include "harness/screen_capture.h"

namespace {

// The window's colours are numbered as on a PC text screen (bit 0 blue,
// bit 2 red), the terminal's with red and blue the other way round.
int TerminalColour(int colour) { return (colour & 0b1010) | ((colour & 1) << 2) | ((colour >> 2) & 1); }

// A packet socket keeps the boundaries of writes, so every write the
// window makes arrives as one message.
class TerminalOutputTest : public testing::Test {
 protected:
  void Start(int columns, int rows) {
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, sockets_), 0);
    int size = 1 << 20;
    setsockopt(sockets_[0], SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
    setsockopt(sockets_[1], SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    harness::OpenScreen(&capture_, columns, rows);
    opened_ = true;
    StartConsoleOnHandle(sockets_[0], columns, rows);
  }

  void TearDown() override {
    StartConsoleOnHandle(-1, 1, 1);
    if (opened_) harness::CloseScreen(&capture_);
    for (int s : sockets_) {
      if (s >= 0) close(s);
    }
  }

  // Feeds every write made since the last call to the terminal; returns
  // how many writes there were.
  int TakeWrites() {
    int writes = 0;
    std::vector<char> message(1 << 20);
    for (;;) {
      const ssize_t got = recv(sockets_[1], message.data(), message.size(), MSG_DONTWAIT);
      if (got < 0) break;
      ++writes;
      received_.append(message.data(), static_cast<size_t>(got));
      harness::FeedScreen(&capture_, message.data(), static_cast<size_t>(got));
    }
    return writes;
  }

  void ExpectTerminalShowsModel(const std::string& step) {
    harness::RunResult shown;
    harness::ReadScreen(capture_, &shown);
    const ConsoleView view = InspectConsole();
    ASSERT_EQ(shown.cursorColumn + 1, view.cursorColumn) << step;
    ASSERT_EQ(shown.cursorRow + 1, view.cursorRow) << step;
    for (int row = 1; row <= view.screenHeight; ++row) {
      for (int column = 1; column <= view.screenWidth; ++column) {
        const ScreenCell cell = InspectCell(column, row);
        const harness::Cell& seen = shown.At(row - 1, column - 1);
        const std::string where = step + " at column " + std::to_string(column) + ", row " +
                                  std::to_string(row);
        ASSERT_EQ(seen.width, cell.width) << where;
        if (cell.width == 0) continue;
        std::string expected(CellGlyph(cell));
        std::string text = seen.text.empty() ? " " : seen.text;
        ASSERT_EQ(text, expected) << where;
        const int foreground = cell.attribute == kTerminalDefaultAttribute ? -1 : TerminalColour(cell.attribute & 15);
        const int background = cell.attribute == kTerminalDefaultAttribute ? -1 : TerminalColour(cell.attribute >> 4);
        ASSERT_EQ(seen.foreground, foreground) << where;
        ASSERT_EQ(seen.background, background) << where;
        ASSERT_FALSE(seen.bold || seen.reverse) << where;
      }
    }
  }

  int sockets_[2] = {-1, -1};
  harness::ScreenCapture capture_;
  bool opened_ = false;
  std::string received_;
};

TEST_F(TerminalOutputTest, EveryPieceIsOneWriteAndTheTerminalNeverDrifts) {
  Start(80, 25);
  const std::vector<std::string> texts = {
      "plain",
      std::string(78, 'w'),
      std::string(150, 'L'),
      "Grüße, 日本語 und 😀",
      "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE6\x97\xA5\xE6\x9C\xAC",
      "raw \x80\x9b\xff\xc3( bytes",
      "tab\there esc\x1b[31mred\x1b[2J cleared?",
      std::string("nul\0del\x7f", 8),
      "back\b\bspace\a",
      "halves 日本\bx\b\b\by",
      "lone\nfeed\rreturn",
      "combining e\xCC\x81 and zero\xE2\x80\x8Bwidth",
      "\xC2\x9B" "6n query?",
  };
  std::mt19937 random(20050107);
  auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

  ClearWindow();
  ASSERT_EQ(TakeWrites(), 1);
  ExpectTerminalShowsModel("first clear");

  for (int step = 0; step < 400; ++step) {
    const int choice = pick(0, 9);
    std::string name = "step " + std::to_string(step) + ": ";
    int expectedWrites = 1;
    if (choice == 0) {
      const int left = pick(0, 82), top = pick(0, 27);
      SetWindow(static_cast<uint8_t>(left), static_cast<uint8_t>(top),
                static_cast<uint8_t>(left + pick(0, 40)), static_cast<uint8_t>(top + pick(0, 12)));
      const ConsoleView view = InspectConsole();
      expectedWrites = -1;  // one when accepted, none when refused
      name += "window " + std::to_string(view.left) + "," + std::to_string(view.top);
    } else if (choice == 1) {
      SetTextAttribute(static_cast<uint8_t>(pick(0, 255)));
      expectedWrites = 0;
      name += "attribute";
    } else if (choice == 2) {
      ClearWindow();
      name += "clear";
    } else if (choice <= 4) {
      EndLine();
      name += "end line";
    } else {
      const std::string& text = texts[pick(0, static_cast<int>(texts.size()) - 1)];
      WriteText(text, pick(0, 20));
      name += "text " + text;
    }
    const int writes = TakeWrites();
    if (expectedWrites >= 0) {
      ASSERT_EQ(writes, expectedWrites) << name;
    } else {
      ASSERT_LE(writes, 1) << name;
    }
    ExpectTerminalShowsModel(name);
  }
  // Whatever the texts held, only the window's own sequences reached the
  // terminal: no clear-screen, no query.
  EXPECT_EQ(received_.find("\x1b[2J"), std::string::npos);
  EXPECT_EQ(received_.find("\x1b[6n"), std::string::npos);
  EXPECT_EQ(received_.find("\x9b"), std::string::npos);
}

TEST_F(TerminalOutputTest, EachPieceEndsInTheTerminalsOwnColours) {
  Start(80, 25);
  ClearWindow();
  SetTextAttribute(0x4E);
  WriteText("colour", 0);
  EndLine();
  TakeWrites();
  ExpectTerminalShowsModel("colour");
  // What the terminal gets next from anyone else shows in its defaults.
  harness::FeedScreen(&capture_, "Q", 1);
  harness::RunResult shown;
  harness::ReadScreen(capture_, &shown);
  EXPECT_EQ(shown.At(1, 0).text, "Q");
  EXPECT_EQ(shown.At(1, 0).foreground, -1);
  EXPECT_EQ(shown.At(1, 0).background, -1);
}

}  // namespace
