#include "runtime/probe_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

std::string ReadAll(int handle) {
  std::string text;
  char buffer[4096];
  ssize_t count;
  while ((count = read(handle, buffer, sizeof buffer)) > 0 || (count < 0 && errno == EINTR)) {
    if (count > 0) text.append(buffer, static_cast<size_t>(count));
  }
  return text;  // at the end, or at EIO once a terminal's last user left
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

// "0x", 8 uppercase hexadecimal digits, CR LF; at moves past them.
bool ReadPlaceLine(const std::string& text, size_t& at, uint64_t& place) {
  if (text.size() < at + 12 || text.compare(at, 2, "0x") != 0 || text.compare(at + 10, 2, "\r\n") != 0) return false;
  for (size_t i = at + 2; i < at + 10; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i])) && (text[i] < 'A' || text[i] > 'F')) return false;
  }
  place = std::stoull(text.substr(at + 2, 8), nullptr, 16);
  at += 12;
  return true;
}

}  // namespace

ProbeRun RunProbe(const std::vector<std::string>& arguments, OutputKind kind) {
  ProbeRun run;
  int errors = ScratchFile(), output = -1, reader = -1;
  if (kind == OutputKind::kFile) output = ScratchFile();
  if (kind == OutputKind::kPipe || kind == OutputKind::kClosedPipe) {
    int ends[2];
    if (pipe(ends) != 0) return run;
    reader = ends[0];
    output = ends[1];
    if (kind == OutputKind::kClosedPipe) {
      close(reader);
      reader = -1;
    }
  }
  if (kind == OutputKind::kTerminal) {
    reader = posix_openpt(O_RDWR | O_NOCTTY);
    if (reader < 0 || grantpt(reader) != 0 || unlockpt(reader) != 0) return run;
    // Held open here too, so that what the child wrote is still there after it ended.
    output = open(ptsname(reader), O_RDWR | O_NOCTTY);
    termios settings;
    tcgetattr(output, &settings);
    cfmakeraw(&settings);  // the bytes as written, no CR added before LF
    tcsetattr(output, TCSANOW, &settings);
  }

  std::vector<std::string> copies = arguments;
  copies.insert(copies.begin(), RUNTIME_PROBE);
  std::vector<char*> argv;
  for (std::string& argument : copies) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t child = fork();
  if (child == 0) {
    if (output >= 0) dup2(output, 1);
    else close(1);
    dup2(errors, 2);
    execv(argv[0], argv.data());
    _exit(127);
  }

  if (kind == OutputKind::kPipe || kind == OutputKind::kClosedPipe) close(output);
  if (kind == OutputKind::kPipe) run.output = ReadAll(reader);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (kind == OutputKind::kTerminal) {
    fcntl(reader, F_SETFL, fcntl(reader, F_GETFL) | O_NONBLOCK);
    run.output = ReadAll(reader);
    close(output);
  }
  if (kind == OutputKind::kFile) run.output = Rewound(output);
  if (reader >= 0) close(reader);
  run.errors = Rewound(errors);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

StopMessage ParseStopMessage(const std::string& output) {
  StopMessage message;
  size_t start = output.find("Runtime error ");
  if (start == std::string::npos) return message;
  size_t at = start + 14, digits = at;
  while (digits < output.size() && std::isdigit(static_cast<unsigned char>(output[digits]))) ++digits;
  if (digits == at || digits - at > 5 || output[at] == '0' || output.compare(digits, 4, " at ") != 0) return message;
  message.number = static_cast<unsigned>(std::stoul(output.substr(at, digits - at)));
  at = digits + 4;
  uint64_t again = 0, level = 0;
  if (!ReadPlaceLine(output, at, message.place) || output.compare(at, 2, "  ") != 0 ||
      !ReadPlaceLine(output, at += 2, again) || again != message.place) {
    return message;
  }
  while (output.compare(at, 2, "  ") == 0 && ReadPlaceLine(output, at += 2, level)) message.levels.push_back(level);
  message.before = output.substr(0, start);
  message.wellFormed = output.compare(at, std::string::npos, "\r\n") == 0;
  return message;
}

std::map<std::string, uint64_t> AnnouncedOffsets(const std::string& errors) {
  std::map<std::string, uint64_t> offsets;
  std::istringstream lines(errors);
  std::string name, value;
  while (lines >> name >> value) offsets[name] = std::stoull(value, nullptr, 16);
  return offsets;
}
