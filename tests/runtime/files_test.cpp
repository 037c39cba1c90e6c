// File operations on a scratch directory, with the system calls replaced
// where a test needs short counts, interruptions or failures.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "runtime/files.h"
#include "runtime/io_error.h"
#include "runtime/system_calls_posix.h"

namespace {

struct Injection {
  int chunk = 0;          // at most this many bytes per read or write (0: all asked for)
  int interruptions = 0;  // fail this many calls with EINTR first
  int failure = 0;        // then fail every call with this errno
  bool writesNothing = false;
  std::string interrupted{};  // fstat, lseek, ftruncate or flock: interrupt it this often
  int calls = 0;
  std::string opened{}, written{};
};
Injection injection;

// True when the call is to fail; otherwise count is cut to the chunk.
bool Fails(size_t& count) {
  ++injection.calls;
  if (injection.interruptions > 0 || injection.failure != 0) {
    errno = injection.interruptions-- > 0 ? EINTR : injection.failure;
    return true;
  }
  if (injection.chunk > 0) count = std::min(count, static_cast<size_t>(injection.chunk));
  return false;
}

void InjectAll() {
  systemCalls.read = [](int handle, void* buffer, size_t count) -> ssize_t {
    return Fails(count) ? -1 : kPlatformSystemCalls.read(handle, buffer, count);
  };
  systemCalls.write = [](int, const void* bytes, size_t count) -> ssize_t {
    if (Fails(count)) return -1;
    if (injection.writesNothing) return 0;
    injection.written.append(static_cast<const char*>(bytes), count);
    return static_cast<ssize_t>(count);
  };
  systemCalls.open = [](const char* path, int flags, mode_t mode) {
    size_t none = 0;
    injection.opened = path;
    return Fails(none) ? -1 : kPlatformSystemCalls.open(path, flags, mode);
  };
}

// The calls without a count: interrupted injection.interruptions times
// when named in injection.interrupted.
bool Interrupted(const char* call) {
  if (injection.interrupted != call || injection.interruptions <= 0) return false;
  --injection.interruptions;
  ++injection.calls;
  errno = EINTR;
  return true;
}

void InterruptAll() {
  systemCalls.fstat = [](int handle, struct stat* status) {
    return Interrupted("fstat") ? -1 : kPlatformSystemCalls.fstat(handle, status);
  };
  systemCalls.lseek = [](int handle, off_t offset, int whence) -> off_t {
    return Interrupted("lseek") ? -1 : kPlatformSystemCalls.lseek(handle, offset, whence);
  };
  systemCalls.ftruncate = [](int handle, off_t length) {
    return Interrupted("ftruncate") ? -1 : kPlatformSystemCalls.ftruncate(handle, length);
  };
  systemCalls.flock = [](int handle, int operation) {
    return Interrupted("flock") ? -1 : kPlatformSystemCalls.flock(handle, operation);
  };
}

const std::string kSample = "0123456789abcdefghijklmnopqrstuvwxyz";

std::string Contents(const std::string& path) {
  std::ifstream stream(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(stream), {});
}

class FileOperations : public testing::Test {
 protected:
  void SetUp() override {
    TakeIoError();
    injection = Injection();
    ASSERT_NE(mkdtemp(directory.data()), nullptr);
  }
  // Every record is closed, so that a failed check leaves no lock behind.
  void TearDown() override {
    systemCalls = kPlatformSystemCalls;
    TakeIoError();
    for (FileRecord& file : records) CloseFile(file);
    std::filesystem::remove_all(directory);
  }

  std::string MakeFile(const std::string& name) {
    std::ofstream(directory + "/" + name, std::ios::binary) << kSample;
    return directory + "/" + name;
  }
  // OpenInputFile or CreateReportFile, into a record that is closed at the end.
  FileRecord& Open(void (*open)(FileRecord&, std::string_view), const std::string& name) {
    open(records.emplace_back(), name);
    return records.back();
  }

  std::string directory = "/tmp/zev-files-XXXXXX";
  std::deque<FileRecord> records;
};

TEST_F(FileOperations, RefusedNamesCarryTheirNumbersAndAReportReachingAnInputLeavesItUnchanged) {
  ASSERT_EQ(mkdir((directory + "/sub").c_str(), 0700), 0);
  std::string held = MakeFile("held.bin");
  ASSERT_EQ(link(held.c_str(), (directory + "/hard.bin").c_str()), 0);
  FileRecord& input = Open(OpenInputFile, held);
  ASSERT_EQ(TakeIoError(), 0);
  const struct {
    std::string name;
    uint16_t input, report;  // the number opening it as each gives
  } cases[] = {
      {directory + "/absent.bin", 2, 0}, {"zev-absent.bin", 2, 0}, {"", 2, 0},
      {directory + "/no-such-dir/absent.bin", 3, 3}, {"zev-absent-dir/absent.bin", 3, 3}, {held + "/inside", 3, 3},
      {directory + "/sub", 5, 5}, {held, 5, 5}, {directory + "/hard.bin", 5, 5}, {directory + "//./held.bin", 5, 5},
      {held + std::string("\0tail", 5), 123, 123},
  };
  for (const auto& row : cases) {
    EXPECT_FALSE(Open(OpenInputFile, row.name).open) << row.name;
    EXPECT_EQ(TakeIoError(), row.input) << row.name;
    if (row.report != 0) {
      EXPECT_FALSE(Open(CreateReportFile, row.name).open) << row.name;
      EXPECT_EQ(TakeIoError(), row.report) << row.name;
      EXPECT_EQ(Contents(held), kSample) << row.name;
    }
  }
  uint8_t block[36];
  ReadFileBlock(input, block, sizeof block);
  EXPECT_EQ(TakeIoError(), 0);
}

// A name of 255 characters is opened as it stands; a longer one is never
// cut down to one that reaches another file.
TEST_F(FileOperations, NamesOfMoreThan255CharactersAreTooLong) {
  std::string name = MakeFile(std::string(255 - directory.size() - 1, 'n'));
  EXPECT_TRUE(Open(OpenInputFile, name).open);
  for (auto open : {OpenInputFile, CreateReportFile}) {
    EXPECT_FALSE(Open(open, name + "x").open);
    EXPECT_EQ(TakeIoError(), 206);
  }
  EXPECT_EQ(Contents(name), kSample);
}

TEST_F(FileOperations, ReadsContinueShortCountsAndInterruptionsAndEndsAndFailuresAreNumbered) {
  FileRecord& input = Open(OpenInputFile, MakeFile("a.bin"));
  InjectAll();
  injection.chunk = 3;
  injection.interruptions = 2;
  uint8_t block[64] = {};
  ReadFileBlock(input, block, kSample.size());
  EXPECT_EQ(TakeIoError(), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block), kSample.size()), kSample);
  EXPECT_EQ(injection.calls, 2 + 12);

  SeekFile(input, 30);
  ReadFileBlock(input, block, 7);
  EXPECT_EQ(TakeIoError(), 100);
  for (int64_t position : {int64_t{-1}, INT64_MIN}) {
    SeekFile(input, position);
    EXPECT_EQ(TakeIoError(), 131);
  }
  injection.failure = EIO;
  ReadFileBlock(input, block, 4);
  EXPECT_EQ(TakeIoError(), 154);
}

// An interruption is no failure, whichever call it meets.
TEST_F(FileOperations, EveryInterruptedCallIsRepeated) {
  const std::string input = MakeFile("a.bin");
  for (const char* call : {"flock", "fstat", "lseek", "ftruncate"}) {
    SCOPED_TRACE(call);
    InterruptAll();
    injection = Injection();
    injection.interrupted = call;
    injection.interruptions = 3;
    FileRecord& file = Open(OpenInputFile, input);
    EXPECT_EQ(FileLength(file), static_cast<int64_t>(kSample.size()));
    SeekFile(file, 10);
    uint8_t block[4] = {};
    ReadFileBlock(file, block, 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 4), kSample.substr(10, 4));
    CloseFile(file);
    FileRecord& report = Open(CreateReportFile, directory + "/report.txt");
    EXPECT_EQ(TakeIoError(), 0);
    EXPECT_EQ(injection.calls, 3) << "each interruption met once";
    CloseFile(report);
    systemCalls = kPlatformSystemCalls;
  }
}

TEST_F(FileOperations, WritesHandOverEverythingOrFailWith101) {
  const struct {
    const char* what;
    Injection fault;
    uint16_t number;
  } cases[] = {
      {"short writes", {.chunk = 5}, 0},         {"interrupted", {.interruptions = 3}, 0},
      {"disk full", {.failure = ENOSPC}, 101},   {"medium failure", {.failure = EIO}, 101},
      {"closed pipe", {.failure = EPIPE}, 101},  {"no progress", {.writesNothing = true}, 101},
  };
  for (const auto& row : cases) {
    FileRecord& report = Open(CreateReportFile, directory + "/report.txt");
    ASSERT_EQ(TakeIoError(), 0);
    InjectAll();
    injection = row.fault;
    WriteFileBytes(report, kSample.data(), kSample.size());
    EXPECT_EQ(TakeIoError(), row.number) << row.what;
    if (row.number == 0) {
      EXPECT_EQ(injection.written, kSample) << row.what;
    }
    systemCalls = kPlatformSystemCalls;
    CloseFile(report);
  }
}

TEST_F(FileOperations, TheNameConInAnyCaseAndOnlyItIsTheControllingTerminal) {
  InjectAll();
  injection.failure = ENXIO;  // no terminal needed to see where it goes
  for (std::string name : {"con", "CON", "con.txt"}) {
    Open(CreateReportFile, name);
    EXPECT_EQ(TakeIoError(), 152) << name;
    EXPECT_EQ(injection.opened, name == "con.txt" ? name : "/dev/tty");
  }
}

TEST_F(FileOperations, NothingHappensWhileAnErrorIsPending) {
  std::string path = MakeFile("a.bin");
  FileRecord& input = Open(OpenInputFile, path);
  ASSERT_EQ(TakeIoError(), 0);
  InjectAll();
  StoreIoError(154);
  FileRecord& output = records.emplace_back();
  AttachStandardOutput(output);
  EXPECT_FALSE(Open(OpenInputFile, MakeFile("b.bin")).open || Open(CreateReportFile, directory + "/report.txt").open ||
               output.open);
  EXPECT_EQ(FileLength(input), 0);
  SeekFile(input, -5);
  uint8_t block[4] = {7, 7, 7, 7};
  ReadFileBlock(input, block, sizeof block);
  WriteFileBytes(input, "zz", 2);
  CloseFile(input);
  EXPECT_EQ(injection.calls, 0);
  EXPECT_EQ(PendingIoError(), 154);
  EXPECT_FALSE(std::filesystem::exists(directory + "/report.txt"));
  EXPECT_EQ(block[0], 7);
  EXPECT_EQ(Contents(path), kSample);
}

TEST_F(FileOperations, OperationsOnAFileThatIsNotOpenAre103ButClosingItIsNot) {
  FileRecord& never = records.emplace_back();
  uint8_t byte;
  EXPECT_EQ(FileLength(never), 0);
  EXPECT_EQ(TakeIoError(), 103);
  SeekFile(never, 0);
  EXPECT_EQ(TakeIoError(), 103);
  ReadFileBlock(never, &byte, 1);
  EXPECT_EQ(TakeIoError(), 103);
  WriteFileBytes(never, "x", 1);
  EXPECT_EQ(TakeIoError(), 103);
  CloseFile(never);
  EXPECT_EQ(TakeIoError(), 0);
}

}  // namespace
