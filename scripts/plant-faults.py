#!/usr/bin/env python3
"""Plants small plausible faults in the source, one at a time, in a scratch copy of the tree, and runs the suite
against each: every fault must fail a test. Usage: scripts/plant-faults.py [NAME ...] (all when none is named).
The copy lives in build/faults (its release build is reused between runs); the tree itself is never changed."""
import os
import shutil
import subprocess
import sys

# name: (file, text, text with the fault)
FAULTS = {
    # run-time layer
    "write-eintr": ("src/runtime/write_all_posix.cpp", "if (written < 0 && errno == EINTR) continue;", ""),
    "repeat-eintr": ("src/runtime/interrupted_posix.h", "if (result >= 0 || errno != EINTR) return result;",
                     "return result;"),
    "short-read": ("src/runtime/files_posix.cpp", "      StoreIoError(kErrorShortRead);\n", ""),
    "lock-shared": ("src/runtime/files_posix.cpp", "LOCK_EX | LOCK_NB", "LOCK_SH | LOCK_NB"),
    "first-error": ("src/runtime/run_time.cpp", "if (pendingIoError == 0) pendingIoError = number;",
                    "pendingIoError = number;"),
    "exit-code": ("src/runtime/run_time.cpp", "  exitCode = number;\n", "  exitCode = static_cast<uint16_t>(number + 1);\n"),
    "levels-terminal": ("src/runtime/run_time.cpp", "kMostLevelsOnCharacterDevice = 9;",
                        "kMostLevelsOnCharacterDevice = 10;"),
    "levels-file": ("src/runtime/run_time.cpp", "kMostLevelsRedirected = 257;", "kMostLevelsRedirected = 256;"),
    "name-256": ("src/runtime/file_checks.cpp", "kLongestName = 255;", "kLongestName = 256;"),
    "stdout-guard": ("src/runtime/files_posix.cpp", "if (!looked) StorePlatformError(errno);", "if (!looked) return;"),
    "stderr-guard": ("src/runtime/files_posix.cpp", "void KeepStandardErrorOffInputs() { guardedStreams = 2; }",
                     "void KeepStandardErrorOffInputs() {}"),
    "truncate": ("src/runtime/files_posix.cpp", "return ftruncate(handle, 0);", "return ftruncate(handle, 1);"),
    "stop-place": ("src/runtime/stop_message.cpp", "int digitCount = 8;", "int digitCount = 7;"),
    # console
    "window-right": ("src/tool/command_line/banner.cpp", "kWindowRight = 79;", "kWindowRight = 78;"),
    "banner-field": ("src/tool/command_line/banner.cpp", "kBannerField = 72;", "kBannerField = 71;"),
    "c1-controls": ("src/console/utf8_characters.cpp", "if (code >= 0x80 && code <= 0x9F) return 0;",
                    "if (code >= 0x81 && code <= 0x9F) return 0;"),
    "overlong": ("src/console/utf8_characters.cpp", "(length == 3 && code < 0x800)", "(length == 3 && code < 0x700)"),
    # command line
    "width-8": ("src/tool/command_line/switches.cpp", "width.value != 4 && width.value != 8", "width.value != 4"),
    "pattern-256": ("src/tool/command_line/switches.cpp", "kLongestSwitchValue = 255;", "kLongestSwitchValue = 256;"),
    "value-cut": ("src/tool/command_line/switches.cpp", "? parameter.substr(3) :", "? parameter.substr(3, 255) :"),
    "range-order": ("src/tool/command_line/switches.cpp", ": lowest <= highest;", ": lowest < highest;"),
    "m-letter": ("src/tool/command_line/driver.cpp", "(parameter[1] == 'm' || parameter[1] == 'M')",
                 "parameter[1] == 'm'"),
    "answer-exit": ("src/tool/command_line/driver.cpp", "  CheckIo();\n  EndProgram(0);\n}\n\n}  // namespace",
                    "  TakeIoError();\n  EndProgram(0);\n}\n\n}  // namespace"),
    "stops-stderr": ("src/tool/command_line/driver.cpp", "    SendStopsToStandardError();\n", ""),
    # comparison
    "last-block": ("src/tool/comparison/engine.cpp", "block <= fullBlocks; ++block", "block < fullBlocks; ++block"),
    "block-start": ("src/tool/comparison/engine.cpp", "block * static_cast<int64_t>(kBlockSize) + runSettings.startOffset",
                    "block * static_cast<int64_t>(kBlockSize)"),
    "whole-values": ("src/tool/comparison/engine.cpp", "    length -= length % width;\n", ""),
    "rises-model": ("src/tool/comparison/selection.cpp", "if (!(values[k] > values[k - 1])) return false;",
                    "if (!(values[k] >= values[k - 1])) return false;"),
    "known-bound": ("src/tool/comparison/selection.cpp", "values[k] <= highest[k]", "values[k] < highest[k]"),
    "falls-lanes": ("src/tool/comparison/kernels/selection_vector.h", "down = Ops::Greater(previous, next);",
                    "down = Ops::Greater(next, previous);"),
    "swap-64": ("src/tool/comparison/kernels/selection_vector.h", "    if constexpr (kWidth == 8) v = (v << 32) | (v >> 32);\n",
                ""),
    "lane-bits": ("src/tool/comparison/kernels/selection_vector.h", "bits |= uint64_t{bytes[i] < 0} << i;",
                  "bits |= uint64_t{bytes[i] > 0} << i;"),
    "nan-step": ("src/tool/comparison/kernels/selection_vector.h", "Ops::AndNot(step.unordered, Ops::Or(Ops::Or(up, down), same))",
                 "Ops::AndNot(step.unordered, Ops::Or(up, down))"),
    # report
    "device-write": ("src/tool/report/report_stream.cpp", "kDeviceWrite = 256;", "kDeviceWrite = 255;"),
    "buffer-edge": ("src/tool/report/report_stream.cpp", "if (kFileBuffer - held < most) HandOverBuffer();",
                    "if (kFileBuffer - held < most / 2) HandOverBuffer();"),
    "hand-over-check": ("src/tool/report/report_stream.cpp", "  WriteFileBytes(destination, buffer, count);\n  CheckIo();",
                        "  WriteFileBytes(destination, buffer, count);"),
    "byte-column": ("src/tool/report/report_format.cpp", "kByteColumnLength = 14;", "kByteColumnLength = 15;"),
    "line-end": ("src/tool/report/report_format.cpp", "ends[count + 1] = used + kLineEnd.size();",
                 "ends[count + 1] = used + kLineEnd.size() - 1;"),
    "position-digits": ("src/tool/report/report_format.cpp", "    rest >>= 4;\n", "    rest >>= 5;\n"),
    "name-field": ("src/tool/report/report.cpp", "ValueColumnWidth(format.width, format.real) - 2;",
                   "ValueColumnWidth(format.width, format.real) - 3;"),
    "value-utf8": ("src/tool/report/report_format.cpp", "format.real, format.utf8, out + used);",
                   "format.real, false, out + used);"),
    "real-plain": ("src/tool/report/report_format.cpp", "plainLength <= scientificLength", "plainLength < scientificLength"),
    "csv-quote": ("src/tool/report/report_forms.cpp", "find_first_of(\",\\\"\\r\\n\")", "find_first_of(\",\\\"\\r\")"),
    "json-control": ("src/tool/report/report_forms.cpp", "} else if (code < 0x20) {", "} else if (code < 0x1F) {"),
    "json-nonfinite": ("src/tool/report/report_forms.cpp", "text[length - 1] != 'n' && text[length - 1] != 'f'",
                       "text[length - 1] != 'n'"),
    "four-digits": ("src/tool/report/report_forms.cpp", "kFourDigits.text[position % 10000]",
                    "kFourDigits.text[position % 1000]"),
}


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    names = sys.argv[1:] or list(FAULTS)
    scratch = os.path.join(root, "build", "faults")
    os.makedirs(scratch, exist_ok=True)
    for entry in os.listdir(root):
        if entry in ("build", ".git"):
            continue
        source, copy = os.path.join(root, entry), os.path.join(scratch, entry)
        if os.path.isdir(source):
            shutil.copytree(source, copy, symlinks=True, dirs_exist_ok=True)
        else:
            shutil.copy2(source, copy)
    subprocess.run(["cmake", "--preset", "release", "-DZEV_BENCHMARKS=OFF", "-DZEV_WINDOWS_BUILD="], cwd=scratch,
                   check=True, stdout=subprocess.DEVNULL)
    missed = []
    for name in names:
        path, text, faulty = FAULTS[name]
        file = os.path.join(scratch, path)
        original = open(file).read()
        if original.count(text) != 1:
            print(f"{name}: the text to change is not found once in {path}")
            missed.append(name)
            continue
        open(file, "w").write(original.replace(text, faulty))
        try:
            built = subprocess.run(["cmake", "--build", "--preset", "release"], cwd=scratch, capture_output=True)
            if built.returncode != 0:
                print(f"{name}: does not build")
                missed.append(name)
                continue
            run = subprocess.run(["ctest", "--preset", "release", "-j", str(os.cpu_count()), "-LE", "bench",
                                  "--stop-on-failure"],
                                 cwd=scratch, capture_output=True, text=True, errors="replace")
            failed = [line.split(" - ")[1].split()[0] for line in run.stdout.splitlines() if " - " in line and
                      ("Failed" in line or "Timeout" in line or "Exception" in line)]
            print(f"{name}: {'caught by ' + ', '.join(failed[:3]) if run.returncode != 0 else 'NOT CAUGHT'}", flush=True)
            if run.returncode == 0:
                missed.append(name)
        finally:
            open(file, "w").write(original)
    print(f"{len(names) - len(missed)} of {len(names)} faults caught" + (f"; missed: {' '.join(missed)}" if missed else ""))
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
