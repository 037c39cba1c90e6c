#include "runtime/probe_run.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

std::string ReadAll(int handle) {
  std::string text;
  char buffer[4096];
  for (;;) {
    ssize_t count = read(handle, buffer, sizeof buffer);
    if (count > 0) {
      text.append(buffer, static_cast<size_t>(count));
    } else if (count < 0 && errno == EINTR) {
      continue;
    } else {
      return text;  // end of file, or EIO once a terminal's last user left
    }
  }
}

int ScratchFile() {
  char pattern[] = "/tmp/zev-probe-XXXXXX";
  int handle = mkstemp(pattern);
  unlink(pattern);
  return handle;
}

std::string Rewound(int handle) {
  lseek(handle, 0, SEEK_SET);
  std::string text = ReadAll(handle);
  close(handle);
  return text;
}

bool IsHexDigit(char character) {
  return (character >= '0' && character <= '9') || (character >= 'A' && character <= 'F');
}

// Eight uppercase hexadecimal digits after "0x", ending the line.
bool ReadPlace(const std::string& line, size_t at, uint64_t& place) {
  if (line.compare(at, 2, "0x") != 0 || line.size() != at + 10) return false;
  for (size_t i = at + 2; i < line.size(); ++i) {
    if (!IsHexDigit(line[i])) return false;
  }
  place = std::stoull(line.substr(at + 2), nullptr, 16);
  return true;
}

// "Runtime error N at 0xPPPPPPPP", N in decimal without leading zeros.
bool ReadHeadLine(const std::string& line, unsigned& number, uint64_t& place) {
  const std::string lead = "Runtime error ";
  if (line.compare(0, lead.size(), lead) != 0) return false;
  size_t at = lead.size();
  size_t digits = at;
  while (digits < line.size() && line[digits] >= '0' && line[digits] <= '9') ++digits;
  if (digits == at || line[at] == '0' || digits - at > 5) return false;
  number = static_cast<unsigned>(std::stoul(line.substr(at, digits - at)));
  if (line.compare(digits, 4, " at ") != 0) return false;
  return ReadPlace(line, digits + 4, place);
}

}  // namespace

ProbeRun RunProbe(const std::vector<std::string>& arguments, OutputKind kind) {
  ProbeRun run;
  int errorsFile = ScratchFile();
  int outputFile = kind == OutputKind::kFile ? ScratchFile() : -1;
  int pipeEnds[2] = {-1, -1};
  int terminal = -1;
  int terminalSide = -1;
  if (kind == OutputKind::kPipe || kind == OutputKind::kClosedPipe) {
    if (pipe(pipeEnds) != 0) return run;
    if (kind == OutputKind::kClosedPipe) {
      close(pipeEnds[0]);
      pipeEnds[0] = -1;
    }
  }
  if (kind == OutputKind::kTerminal) {
    terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) return run;
    // Held open here as well, so that what the child wrote is still there
    // to be read after it has ended.
    terminalSide = open(ptsname(terminal), O_RDWR | O_NOCTTY);
    if (terminalSide < 0) return run;
    termios settings;
    tcgetattr(terminalSide, &settings);
    cfmakeraw(&settings);  // the bytes as written, no CR added before LF
    tcsetattr(terminalSide, TCSANOW, &settings);
  }

  std::vector<char*> argv;
  std::string program = RUNTIME_PROBE;
  argv.push_back(program.data());
  std::vector<std::string> copies = arguments;
  for (std::string& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);

  pid_t child = fork();
  if (child == 0) {
    int output = -1;
    if (kind == OutputKind::kFile) output = outputFile;
    if (kind == OutputKind::kPipe || kind == OutputKind::kClosedPipe) output = pipeEnds[1];
    if (kind == OutputKind::kTerminal) output = terminalSide;
    if (kind == OutputKind::kClosed) {
      close(1);
    } else {
      dup2(output, 1);
    }
    dup2(errorsFile, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }

  if (pipeEnds[1] >= 0) close(pipeEnds[1]);
  if (pipeEnds[0] >= 0) {
    run.output = ReadAll(pipeEnds[0]);
    close(pipeEnds[0]);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (terminal >= 0) {
    fcntl(terminal, F_SETFL, fcntl(terminal, F_GETFL) | O_NONBLOCK);
    run.output = ReadAll(terminal);
    close(terminalSide);
    close(terminal);
  }
  if (outputFile >= 0) run.output = Rewound(outputFile);
  run.errors = Rewound(errorsFile);
  run.exited = WIFEXITED(status);
  run.exitCode = run.exited ? WEXITSTATUS(status) : -1;
  run.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return run;
}

StopMessage ParseStopMessage(const std::string& output) {
  StopMessage message;
  size_t start = output.find("Runtime error ");
  if (start == std::string::npos) return message;
  message.before = output.substr(0, start);

  std::vector<std::string> lines;
  std::string rest = output.substr(start);
  size_t at = 0;
  while (at < rest.size()) {
    size_t end = rest.find("\r\n", at);
    if (end == std::string::npos) return message;  // a line without CR LF
    lines.push_back(rest.substr(at, end - at));
    at = end + 2;
  }
  if (lines.size() < 3 || !lines.back().empty()) return message;
  if (!ReadHeadLine(lines[0], message.number, message.place)) return message;
  for (size_t i = 1; i + 1 < lines.size(); ++i) {
    uint64_t value = 0;
    if (lines[i].compare(0, 2, "  ") != 0 || !ReadPlace(lines[i], 2, value)) return message;
    if (i == 1) {
      if (value != message.place) return message;
    } else {
      message.levels.push_back(value);
    }
  }
  message.wellFormed = true;
  return message;
}

std::map<std::string, uint64_t> AnnouncedOffsets(const std::string& errors) {
  std::map<std::string, uint64_t> offsets;
  std::istringstream lines(errors);
  std::string name, value;
  while (lines >> name >> value) {
    if (value.rfind("0x", 0) == 0) offsets[name] = std::stoull(value.substr(2), nullptr, 16);
  }
  return offsets;
}
