#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "runtime/io_error.h"
#include "runtime/system_calls_posix.h"

namespace {

// What the injected calls do; reset for every test.
struct Injection {
  int readChunk = 0;          // deliver at most this many bytes per read (0: all)
  int interruptedReads = 0;   // fail this many reads with EINTR first
  int readFailure = 0;        // fail every read with this errno
  int writeChunk = 0;
  int interruptedWrites = 0;
  int writeFailure = 0;
  bool writeAcceptsNothing = false;
  int openFailure = 0;
  int calls = 0;              // every injected call counts here
  std::vector<std::string> openedPaths;
  std::string written;
};
Injection injection;

ssize_t InjectedRead(int handle, void* buffer, size_t count) {
  ++injection.calls;
  if (injection.interruptedReads > 0) {
    --injection.interruptedReads;
    errno = EINTR;
    return -1;
  }
  if (injection.readFailure != 0) {
    errno = injection.readFailure;
    return -1;
  }
  if (injection.readChunk > 0 && count > static_cast<size_t>(injection.readChunk))
    count = static_cast<size_t>(injection.readChunk);
  return kPlatformSystemCalls.read(handle, buffer, count);
}

ssize_t InjectedWrite(int, const void* bytes, size_t count) {
  ++injection.calls;
  if (injection.interruptedWrites > 0) {
    --injection.interruptedWrites;
    errno = EINTR;
    return -1;
  }
  if (injection.writeFailure != 0) {
    errno = injection.writeFailure;
    return -1;
  }
  if (injection.writeAcceptsNothing) return 0;
  if (injection.writeChunk > 0 && count > static_cast<size_t>(injection.writeChunk))
    count = static_cast<size_t>(injection.writeChunk);
  injection.written.append(static_cast<const char*>(bytes), count);
  return static_cast<ssize_t>(count);
}

int InjectedOpen(const char* path, int flags, mode_t mode) {
  ++injection.calls;
  injection.openedPaths.push_back(path);
  if (injection.openFailure != 0) {
    errno = injection.openFailure;
    return -1;
  }
  return kPlatformSystemCalls.open(path, flags, mode);
}

int CountedFstat(int handle, struct stat* status) {
  ++injection.calls;
  return kPlatformSystemCalls.fstat(handle, status);
}

off_t CountedLseek(int handle, off_t offset, int whence) {
  ++injection.calls;
  return kPlatformSystemCalls.lseek(handle, offset, whence);
}

class FileOperations : public testing::Test {
 protected:
  void SetUp() override {
    TakeIoError();
    injection = Injection();
    systemCalls = kPlatformSystemCalls;
    char pattern[] = "/tmp/zev-files-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    directory = pattern;
  }

  void TearDown() override {
    TakeIoError();
    for (FileRecord& file : records) CloseFile(file);
    systemCalls = kPlatformSystemCalls;
    TakeIoError();
    std::filesystem::remove_all(directory);
  }

  std::string MakeFile(const std::string& name, const std::string& contents) {
    std::string path = directory + "/" + name;
    std::ofstream(path, std::ios::binary) << contents;
    return path;
  }

  static std::string Contents(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), {});
  }

  // Records are closed at the end of each test, so that a failed check
  // does not leave a lock behind for the next one.
  FileRecord& NewRecord() { return records.emplace_back(); }

  void InjectAll() {
    systemCalls.open = InjectedOpen;
    systemCalls.read = InjectedRead;
    systemCalls.write = InjectedWrite;
    systemCalls.fstat = CountedFstat;
    systemCalls.lseek = CountedLseek;
  }

  std::string directory;
  std::deque<FileRecord> records;
};

const std::string kSample = "0123456789abcdefghijklmnopqrstuvwxyz";

TEST_F(FileOperations, AnInputOpensMeasuresPositionsAndReads) {
  std::string path = MakeFile("a.bin", kSample);
  FileRecord& input = NewRecord();
  OpenInputFile(input, path);
  ASSERT_EQ(TakeIoError(), 0);
  EXPECT_TRUE(input.open);
  EXPECT_TRUE(input.ownsHandle);
  EXPECT_FALSE(input.characterDevice);
  EXPECT_FALSE(input.terminal);
  EXPECT_EQ(FileLength(input), static_cast<int64_t>(kSample.size()));
  SeekFile(input, 10);
  uint8_t block[6] = {};
  ReadFileBlock(input, block, sizeof block);
  EXPECT_EQ(TakeIoError(), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block), sizeof block), "abcdef");
}

TEST_F(FileOperations, AnInputIsHeldAgainstASecondOpenByAnyPath) {
  std::string path = MakeFile("a.bin", kSample);
  ASSERT_EQ(link(path.c_str(), (directory + "/hard.bin").c_str()), 0);
  ASSERT_EQ(symlink(path.c_str(), (directory + "/soft.bin").c_str()), 0);
  FileRecord& first = NewRecord();
  FileRecord& again = NewRecord();
  FileRecord& hard = NewRecord();
  FileRecord& soft = NewRecord();
  FileRecord& dotted = NewRecord();
  OpenInputFile(first, path);
  ASSERT_EQ(TakeIoError(), 0);
  OpenInputFile(again, path);
  EXPECT_EQ(TakeIoError(), 5);
  OpenInputFile(hard, directory + "/hard.bin");
  EXPECT_EQ(TakeIoError(), 5);
  OpenInputFile(soft, directory + "/soft.bin");
  EXPECT_EQ(TakeIoError(), 5);
  OpenInputFile(dotted, directory + "/./a.bin");
  EXPECT_EQ(TakeIoError(), 5);
  EXPECT_FALSE(again.open || hard.open || soft.open || dotted.open);

  // Closing gives the file back to other openers.
  CloseFile(first);
  OpenInputFile(again, path);
  EXPECT_EQ(TakeIoError(), 0);
  EXPECT_EQ(Contents(path), kSample);
}

TEST_F(FileOperations, InputNamesTakeBackslashesAsSeparatorsAndOnly255Characters) {
  std::string path = MakeFile("b.bin", kSample);
  std::string backslashed = path;
  backslashed[directory.size()] = '\\';
  FileRecord& input = NewRecord();
  OpenInputFile(input, backslashed);
  EXPECT_EQ(TakeIoError(), 0);
  CloseFile(input);

  std::string longName = directory + "/" + std::string(255 - directory.size() - 1, 'n');
  ASSERT_EQ(longName.size(), 255u);
  MakeFile(longName.substr(directory.size() + 1), kSample);
  FileRecord& cut = NewRecord();
  OpenInputFile(cut, longName + "ignored-tail");
  EXPECT_EQ(TakeIoError(), 0);
  EXPECT_TRUE(cut.open);
}

TEST_F(FileOperations, RefusedInputsCarryTheirNumbers) {
  struct Case {
    std::string name;
    uint16_t number;
  };
  ASSERT_EQ(mkdir((directory + "/sub").c_str(), 0700), 0);
  std::string plain = MakeFile("plain.bin", kSample);
  const Case cases[] = {
      {directory + "/absent.bin", 2},
      {directory + "/no-such-dir/absent.bin", 3},
      {plain + "/inside", 3},
      {directory + "/sub", 5},
      {plain + std::string("\0tail", 5), 123},
      {"", 2},
  };
  for (const Case& row : cases) {
    FileRecord& input = NewRecord();
    OpenInputFile(input, row.name);
    EXPECT_EQ(TakeIoError(), row.number) << row.name;
    EXPECT_FALSE(input.open) << row.name;
  }
}

TEST_F(FileOperations, DevicesAndPipesAreNotLockedAndMeasureZero) {
  FileRecord& nullDevice = NewRecord();
  FileRecord& again = NewRecord();
  OpenInputFile(nullDevice, "/dev/null");
  OpenInputFile(again, "/dev/null");
  ASSERT_EQ(TakeIoError(), 0);
  EXPECT_TRUE(nullDevice.characterDevice);
  EXPECT_FALSE(nullDevice.terminal);
  EXPECT_EQ(FileLength(nullDevice), 0);

  std::string fifo = directory + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  FileRecord& pipe = NewRecord();
  OpenInputFile(pipe, fifo);
  ASSERT_EQ(TakeIoError(), 0);
  EXPECT_FALSE(pipe.characterDevice);
  EXPECT_EQ(FileLength(pipe), 0);
  SeekFile(pipe, 0);
  EXPECT_EQ(TakeIoError(), 0);
}

TEST_F(FileOperations, LengthsBeyondFourGibibytesAreMeasuredInFull) {
  std::string path = MakeFile("sparse.bin", "");
  constexpr int64_t kLength = (int64_t{5} << 30) + 7;
  ASSERT_EQ(truncate(path.c_str(), kLength), 0);
  FileRecord& input = NewRecord();
  OpenInputFile(input, path);
  EXPECT_EQ(FileLength(input), kLength);
  SeekFile(input, kLength - 1);
  uint8_t byte = 0xFF;
  ReadFileBlock(input, &byte, 1);
  EXPECT_EQ(TakeIoError(), 0);
  EXPECT_EQ(byte, 0);
}

TEST_F(FileOperations, ANegativePositionIsError131) {
  FileRecord& input = NewRecord();
  OpenInputFile(input, MakeFile("a.bin", kSample));
  SeekFile(input, -1);
  EXPECT_EQ(TakeIoError(), 131);
  SeekFile(input, INT64_MIN);
  EXPECT_EQ(TakeIoError(), 131);
}

TEST_F(FileOperations, ShortReadsAreContinuedAndInterruptionsRepeated) {
  FileRecord& input = NewRecord();
  OpenInputFile(input, MakeFile("a.bin", kSample));
  InjectAll();
  injection.readChunk = 3;
  injection.interruptedReads = 2;
  uint8_t block[36] = {};
  ReadFileBlock(input, block, sizeof block);
  EXPECT_EQ(TakeIoError(), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block), sizeof block), kSample);
  EXPECT_EQ(injection.calls, 2 + 12);
}

TEST_F(FileOperations, AFileEndingBeforeTheBlockIsError100) {
  FileRecord& input = NewRecord();
  OpenInputFile(input, MakeFile("a.bin", kSample));
  uint8_t block[64];
  ReadFileBlock(input, block, sizeof block);
  EXPECT_EQ(TakeIoError(), 100);
}

TEST_F(FileOperations, AFailingReadCarriesTheMediumsNumber) {
  FileRecord& input = NewRecord();
  OpenInputFile(input, MakeFile("a.bin", kSample));
  InjectAll();
  injection.readFailure = EIO;
  uint8_t block[4];
  ReadFileBlock(input, block, sizeof block);
  EXPECT_EQ(TakeIoError(), 154);
}

TEST_F(FileOperations, WritesHandOverEverythingOrFailWith101) {
  struct Case {
    const char* what;
    int writeChunk;
    int interruptedWrites;
    int writeFailure;
    bool acceptsNothing;
    uint16_t number;
  };
  const Case cases[] = {
      {"partial writes", 5, 0, 0, false, 0},
      {"interrupted", 0, 3, 0, false, 0},
      {"disk full", 0, 0, ENOSPC, false, 101},
      {"medium failure", 0, 0, EIO, false, 101},
      {"closed pipe", 0, 0, EPIPE, false, 101},
      {"no progress", 0, 0, 0, true, 101},
  };
  for (const Case& row : cases) {
    FileRecord& report = NewRecord();
    CreateReportFile(report, directory + "/report.txt");
    ASSERT_EQ(TakeIoError(), 0);
    InjectAll();
    injection = Injection();
    injection.writeChunk = row.writeChunk;
    injection.interruptedWrites = row.interruptedWrites;
    injection.writeFailure = row.writeFailure;
    injection.writeAcceptsNothing = row.acceptsNothing;
    WriteFileBytes(report, kSample.data(), kSample.size());
    EXPECT_EQ(TakeIoError(), row.number) << row.what;
    if (row.number == 0) {
      EXPECT_EQ(injection.written, kSample) << row.what;
    }
    systemCalls = kPlatformSystemCalls;
    CloseFile(report);
  }
}

TEST_F(FileOperations, WritingIntoAClosedPipeIs101NotTheEndOfTheProcess) {
  signal(SIGPIPE, SIG_IGN);  // as start-up arranges
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  close(ends[0]);
  FileRecord& report = NewRecord();
  report.handle = ends[1];
  report.open = true;
  report.ownsHandle = true;
  WriteFileBytes(report, "x", 1);
  EXPECT_EQ(TakeIoError(), 101);
}

TEST_F(FileOperations, TheReportIsCreatedOrEmptied) {
  FileRecord& fresh = NewRecord();
  CreateReportFile(fresh, directory + "/new.txt");
  ASSERT_EQ(TakeIoError(), 0);
  WriteFileBytes(fresh, "line\r\n", 6);
  CloseFile(fresh);
  EXPECT_EQ(Contents(directory + "/new.txt"), "line\r\n");

  std::string old = MakeFile("old.txt", kSample);
  FileRecord& emptied = NewRecord();
  CreateReportFile(emptied, old);
  ASSERT_EQ(TakeIoError(), 0);
  EXPECT_FALSE(emptied.characterDevice);
  EXPECT_EQ(Contents(old), "");
}

TEST_F(FileOperations, AReportReachingAnInputIsRefusedAndLeavesItUnchanged) {
  std::string path = MakeFile("input.bin", kSample);
  ASSERT_EQ(link(path.c_str(), (directory + "/hard.bin").c_str()), 0);
  FileRecord& input = NewRecord();
  OpenInputFile(input, path);
  ASSERT_EQ(TakeIoError(), 0);
  const std::string names[] = {path, directory + "/hard.bin", directory + "//./input.bin"};
  for (const std::string& name : names) {
    FileRecord& report = NewRecord();
    CreateReportFile(report, name);
    EXPECT_EQ(TakeIoError(), 5) << name;
    EXPECT_FALSE(report.open);
    EXPECT_EQ(Contents(path), kSample) << name;
  }
  uint8_t block[36];
  ReadFileBlock(input, block, sizeof block);
  EXPECT_EQ(TakeIoError(), 0);
}

TEST_F(FileOperations, RefusedReportsCarryTheirNumbers) {
  ASSERT_EQ(mkdir((directory + "/sub").c_str(), 0700), 0);
  struct Case {
    std::string name;
    uint16_t number;
  };
  const Case cases[] = {
      {directory + "/no-such-dir/report.txt", 3},
      {directory + "/sub", 5},
      {std::string("report\0.txt", 11), 123},
  };
  for (const Case& row : cases) {
    FileRecord& report = NewRecord();
    CreateReportFile(report, row.name);
    EXPECT_EQ(TakeIoError(), row.number) << row.name;
  }
  InjectAll();
  injection.openFailure = EROFS;
  FileRecord& report = NewRecord();
  CreateReportFile(report, directory + "/report.txt");
  EXPECT_EQ(TakeIoError(), 150);
}

TEST_F(FileOperations, ReportNamesAreCutTo255Characters) {
  std::string name = directory + "/" + std::string(255 - directory.size() - 1, 'r');
  FileRecord& report = NewRecord();
  CreateReportFile(report, name + "-beyond");
  ASSERT_EQ(TakeIoError(), 0);
  EXPECT_TRUE(std::filesystem::exists(name));
  EXPECT_FALSE(std::filesystem::exists(name + "-beyond"));
}

TEST_F(FileOperations, TheNameConInAnyCaseIsTheControllingTerminal) {
  InjectAll();
  injection.openFailure = ENXIO;  // no terminal needed to see where it goes
  for (const char* name : {"con", "CON", "Con", "cOn"}) {
    injection.openedPaths.clear();
    FileRecord& report = NewRecord();
    CreateReportFile(report, name);
    EXPECT_EQ(TakeIoError(), 152) << name;
    ASSERT_EQ(injection.openedPaths.size(), 1u);
    EXPECT_EQ(injection.openedPaths[0], "/dev/tty") << name;
  }
  for (const char* name : {"con.txt", "cons", "co", "./con"}) {
    injection.openedPaths.clear();
    FileRecord& report = NewRecord();
    CreateReportFile(report, name);
    TakeIoError();
    ASSERT_EQ(injection.openedPaths.size(), 1u);
    EXPECT_EQ(injection.openedPaths[0], name);
  }
}

TEST_F(FileOperations, StandardOutputIsAttachedButNeverClosed) {
  FileRecord& output = NewRecord();
  AttachStandardOutput(output);
  ASSERT_EQ(TakeIoError(), 0);
  EXPECT_TRUE(output.open);
  EXPECT_FALSE(output.ownsHandle);
  EXPECT_EQ(output.handle, 1);
  CloseFile(output);
  EXPECT_FALSE(output.open);
  EXPECT_NE(fcntl(1, F_GETFD), -1);
}

TEST_F(FileOperations, NothingHappensWhileAnErrorIsPending) {
  std::string path = MakeFile("a.bin", kSample);
  FileRecord& input = NewRecord();
  OpenInputFile(input, path);
  ASSERT_EQ(TakeIoError(), 0);
  InjectAll();
  StoreIoError(154);

  FileRecord& other = NewRecord();
  FileRecord& report = NewRecord();
  FileRecord& output = NewRecord();
  OpenInputFile(other, MakeFile("b.bin", kSample));
  CreateReportFile(report, directory + "/report.txt");
  AttachStandardOutput(output);
  EXPECT_EQ(FileLength(input), 0);
  SeekFile(input, -5);
  uint8_t block[4] = {7, 7, 7, 7};
  ReadFileBlock(input, block, sizeof block);
  WriteFileBytes(input, "zz", 2);
  CloseFile(input);

  EXPECT_EQ(injection.calls, 0);
  EXPECT_EQ(PendingIoError(), 154);
  EXPECT_FALSE(other.open || report.open || output.open);
  EXPECT_FALSE(std::filesystem::exists(directory + "/report.txt"));
  EXPECT_EQ(block[0], 7);
  EXPECT_EQ(Contents(path), kSample);
}

TEST_F(FileOperations, OperationsOnAFileThatIsNotOpenAre103) {
  FileRecord& never = NewRecord();
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
