#!/usr/bin/env python3
"""Plants small plausible faults in the source, one at a time, in a scratch copy of the tree, and runs the suite
against each: every fault must fail a test. Usage: scripts/plant-faults.py [--matrix FILE] [NAME ...] (all when none
is named); --matrix runs the whole suite for each fault and writes a line a fault, its name and every test it fails,
so that a test no fault needs alone can be told. scripts/plant-faults.py --random COUNT SEED plants COUNT faults drawn
from the Linux program's code instead: a comparison, a logical operator, a number or a truth value changed, or a
check of the last failure left out, in a line of its own; those that do not build are passed over.
The copy lives in build/faults (its release build is reused between runs); the tree itself is never changed."""
import os
import shutil
import subprocess
import sys

# name: (file, text, text with the fault). Faults that change nothing a user can see are left out: a character
# device's write steps of 255 bytes instead of 256, an earlier hand-over of the report's buffer, a failed hand-over
# stopped at the next check instead of at once (the same number, another place).
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
    "colours-bold": ("src/console/console_terminal_posix.cpp", 'gathered += "\\x1b[0;";', 'gathered += "\\x1b[1;";'),
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
    "answer-exit": ("src/runtime/run_time.cpp", "StoreIoError(kErrorDiskWrite);\n  CheckIo();\n}",
                    "StoreIoError(kErrorDiskWrite);\n  TakeIoError();\n}"),
    "stops-stderr": ("src/tool/command_line/driver.cpp", "    SendStopsToStandardError();\n", ""),
    # comparison
    "last-block": ("src/tool/comparison/engine.cpp", "block <= fullBlocks; ++block", "block < fullBlocks; ++block"),
    "block-start": ("src/tool/comparison/engine.cpp", "block * static_cast<int64_t>(kBlockSize) + runSettings.startOffset",
                    "block * static_cast<int64_t>(kBlockSize)"),
    "largest-position": ("src/tool/comparison/engine.cpp", "runSettings.startOffset + (values - 1) * width",
                         "runSettings.startOffset + values * width"),
    "rises-model": ("src/tool/comparison/selection.cpp", "if (!(values[k] > values[k - 1])) return false;",
                    "if (!(values[k] >= values[k - 1])) return false;"),
    "known-bound": ("src/tool/comparison/selection.cpp", "values[k] <= highest[k]", "values[k] < highest[k]"),
    "kernel-name-first": ("src/tool/comparison/selection.cpp", "return kernel >= 0 && kernel < kernelCount", "return kernel > 0 && kernel < kernelCount"),
    "falls-lanes": ("src/tool/comparison/kernels/selection_vector.h", "down = Ops::Greater(previous, next);",
                    "down = Ops::Greater(next, previous);"),
    "swap-64": ("src/tool/comparison/kernels/selection_vector.h", "    if constexpr (kWidth == 8) v = (v << 32) | (v >> 32);\n",
                ""),
    "lane-bits": ("src/tool/comparison/kernels/selection_vector.h", "bits |= uint64_t{bytes[i] < 0} << i;",
                  "bits |= uint64_t{bytes[i] > 0} << i;"),
    "nan-step": ("src/tool/comparison/kernels/selection_vector.h", "Ops::AndNot(step.unordered, Ops::Or(Ops::Or(up, down), same))",
                 "Ops::AndNot(step.unordered, Ops::Or(up, down))"),
    # report
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
    # the unit, fuzz and fault tests
    'sel-tail-drops-last-value': ('src/tool/comparison/selection.cpp', 'at + width <= length; at += width', 'at + width < length; at += width'),
    'sel-rises-when-equal': ('src/tool/comparison/selection.cpp', 'if (!(values[k] > values[k - 1])) return false;', 'if (!(values[k] >= values[k - 1])) return false;'),
    'sel-step-direction-inverted': ('src/tool/comparison/selection.cpp', 'return up != selection.stepDown && size', 'return up == selection.stepDown && size'),
    'sel-known-highest-excluded': ('src/tool/comparison/selection.cpp', 'values[k] <= highest[k]', 'values[k] < highest[k]'),
    'sel-known-alone-selects-nothing': ('src/tool/comparison/selection.cpp', 'if (selection.knownValues) return true;', 'if (selection.knownValues) return false;'),
    'sel-step-of-largest-value-dropped': ('src/tool/comparison/selection.cpp', 'size == 0 || size > largest', 'size == 0 || size >= largest'),
    'vec-round-tests-first-part-only': ('src/tool/comparison/kernels/selection_vector.h', 'for (size_t part = 1; part < kRound; ++part) any = Ops::Or(any, parts[part] = ', 'for (size_t part = 1; part < kRound; ++part) (parts[part] = '),
    'vec-big-endian-fours-mask': ('src/tool/comparison/kernels/selection_vector.h', 'kFours = static_cast<std::make_unsigned_t<Element>>(0x0000FFFF0000FFFFull)', 'kFours = static_cast<std::make_unsigned_t<Element>>(0x00FF00FF00FF00FFull)'),
    'vec-any-step-target-late': ('src/tool/comparison/kernels/selection_vector.h', 'Ops::LoadOrdered(blocks[1] + at), previous)', 'Ops::LoadOrdered(blocks[count - 1] + at), previous)'),
    'vec-pattern-unmasked': ('src/tool/comparison/kernels/selection_vector.h', 'pattern != nullptr ? Ops::All() : Ops::None()', 'Ops::All()'),
    'vec-unchosen-inverted': ('src/tool/comparison/kernels/selection_vector.h', '.unchosen = every(!rule.byChange)', '.unchosen = every(rule.byChange)'),
    'vec-real-unordered-step-lost': ('src/tool/comparison/kernels/selection_vector.h', 'if constexpr (Ops::kReal) {\n        allowed', 'if constexpr (false) {\n        allowed'),
    'vec-known-range-top-excluded': ('src/tool/comparison/kernels/selection_vector.h', 'TopBits()) > span)', 'TopBits()) >= span)'),
    'vec-pattern-stays-falls-swapped': ('src/tool/comparison/kernels/selection_vector.h', 'every(steps & kStepStays), every(steps & kStepFalls)', 'every(steps & kStepFalls), every(steps & kStepStays)'),
    'vec-last-lane-lost': ('src/tool/comparison/kernels/selection_vector.h', 'for (size_t i = 0; i < kBytes; i += kWidth) bits', 'for (size_t i = 0; i + kWidth < kBytes; i += kWidth) bits'),
    'vec-real-big-endian-unswapped': ('src/tool/comparison/kernels/selection_vector.h', 'if constexpr (kBigEndian) values = Integers::SwapBytes(values);', ''),
    'sw-step-text-of-32-bits-read-wide': ('src/tool/command_line/switches.cpp', 'selection.stepSize = size.errorPosition == 0 ?', 'selection.stepSize = false ?'),
    'sw-invalid-offset-refused': ('src/tool/command_line/switches.cpp', '      settings.startOffset = ParseIntegerText', '      if (ParseIntegerText(SwitchValue(parameter)).errorPosition) return false;\n      settings.startOffset = ParseIntegerText'),
    'sw-value-from-fourth-char': ('src/tool/command_line/switches.cpp', 'parameter.size() > 3 ? parameter.substr(3)', 'parameter.size() > 4 ? parameter.substr(3)'),
    'sw-longest-value-256': ('src/tool/command_line/switches.cpp', 'kLongestSwitchValue = 255;', 'kLongestSwitchValue = 256;'),
    'sw-repeated-step-keeps-any': ('src/tool/command_line/switches.cpp', 'selection.anyStep = value.empty();', 'selection.anyStep |= value.empty();'),
    'int-decimal-limit-minus-one': ('src/runtime/integer_text.cpp', 'kDecimalLimit = 2147483647u', 'kDecimalLimit = 2147483646u'),
    'int-negative-limit-minus-one': ('src/runtime/integer_text.cpp', 'kNegativeDecimalLimit = 2147483648u', 'kNegativeDecimalLimit = 2147483647u'),
    'int-overflow-check-or-equal': ('src/runtime/integer_text.cpp', 'magnitude > (limit - digit) / base', 'magnitude >= (limit - digit) / base'),
    'int-256-significant': ('src/runtime/integer_text.cpp', 'kSignificantLength = 255;', 'kSignificantLength = 256;'),
    'int-tab-not-skipped': ('src/runtime/integer_text.cpp', "(text[at] == ' ' || text[at] == '\\t')", "(text[at] == ' ')"),
    'int-error-position-off-by-one': ('src/runtime/integer_text.cpp', 'static_cast<int32_t>(index + 1)', 'static_cast<int32_t>(index)'),
    'int-hex-f-lower-refused': ('src/runtime/integer_text.cpp', "character <= 'f'", "character < 'f'"),
    'int-unsigned-limit-minus-one': ('src/runtime/integer_text.cpp', 'kUnsignedLimit = 4294967295u', 'kUnsignedLimit = 4294967294u'),
    'cl-blank-not-separator': ('src/runtime/parameters.cpp', 'byte >= 1 && byte <= 32', 'byte >= 1 && byte < 32'),
    'cl-quote-inside-other-dropped': ('src/runtime/parameters.cpp', '    token += quote;\n', '    (void)token;\n'),
    'cl-nul-not-end': ('src/runtime/parameters.cpp', 'if (end != std::string_view::npos) commandLine', 'if (false) commandLine'),
    'cl-empty-line-count-zero': ('src/runtime/parameters.cpp', 'count = static_cast<int32_t>(tokens.size()) - 1;', 'count = tokens.empty() ? 0 : static_cast<int32_t>(tokens.size()) - 1;'),
    'con-backspace-to-screen-edge': ('src/console/console_window.cpp', 'if (console.cursorColumn > console.left) --', 'if (console.cursorColumn > 1) --'),
    'con-line-feed-returns': ('src/console/console_window.cpp', 'case 10:\n      ++console.cursorRow;', 'case 10:\n      ++console.cursorRow;\n      console.cursorColumn = console.left;'),
    'con-scroll-fills-grey': ('src/console/console_window.cpp', 'FillWindowRow(console.bottom, console.textAttribute);', 'FillWindowRow(console.bottom, 7);'),
    'con-clear-cursor-row': ('src/console/console_window.cpp', 'console.cursorColumn = console.left;\n  console.cursorRow = console.top;', 'console.cursorColumn = console.left;\n  console.cursorRow = console.top + 1;'),
    'con-scroll-moves-margin': ('src/console/console_window.cpp', 'column <= console.right; ++column) {\n      CellAt(column, row) = CellAt(column, row + 1);', 'column <= console.right + 1; ++column) {\n      CellAt(column, row) = CellAt(column, row + 1);'),
    'con-wrap-one-early': ('src/console/console_window.cpp', 'if (console.cursorColumn > console.right) {', 'if (console.cursorColumn >= console.right) {'),
    'fi-eintr-not-repeated': ('src/runtime/interrupted_posix.h', 'if (result >= 0 || errno != EINTR) return result;', 'return result;'),
    'fi-write-eintr-fails': ('src/runtime/write_all_posix.cpp', 'if (written < 0 && errno == EINTR) continue;', ''),
    'fi-short-write-loses-rest': ('src/runtime/write_all_posix.cpp', 'count -= static_cast<size_t>(written);', 'count = 0;'),
    'fi-full-nonblocking-fails': ('src/runtime/write_all_posix.cpp', 'if (RepeatInterrupted([&] { return poll(&ready, 1, -1); }) >= 0) continue;', 'if (RepeatInterrupted([&] { return poll(&ready, 1, -1); }) > 99) continue;'),
    'fi-read-nothing-is-end': ('src/runtime/files_posix.cpp', 'StoreIoError(kErrorShortRead);\n', ''),
    'fi-disk-full-untranslated': ('src/runtime/error_numbers_posix.cpp', '    {ENOSPC, kErrorDiskFull},\n', ''),
    'fi-stdout-guard-unchecked': ('src/runtime/files_posix.cpp', 'if (!looked) StorePlatformError(errno);', ''),
    'fi-read-unchecked': ('src/tool/comparison/engine.cpp', 'ReadFileBlock(fileSlots[k].file, fileSlots[k].buffer, length);\n      CheckIo();', 'ReadFileBlock(fileSlots[k].file, fileSlots[k].buffer, length);'),
    'fi-console-size-failure-ignored': ('src/console/console_terminal_posix.cpp', 'if (RepeatInterrupted([&] { return ioctl(handle, TIOCGWINSZ, &size); }) != 0) return false;', 'RepeatInterrupted([&] { return ioctl(handle, TIOCGWINSZ, &size); });'),
    'fi-fatal-exit-code-zero': ('src/tool/shared/fatal_error.cpp', '  SetTextAttribute(kLightGrey);\n  EndLine();\n  EndProgram(1);', '  SetTextAttribute(kLightGrey);\n  EndLine();\n  EndProgram(0);'),
    # limits on both sides, and paths only one test reaches
    "lowest-value": ("src/tool/command_line/switches.cpp", "(widthMask >> 1) + 1", "(widthMask >> 1)"),
    "width-1": ("src/tool/command_line/switches.cpp", "(width.value != 1 && width.value != 2",
                "(width.value != 0 && width.value != 2"),
    "screen-right": ("src/console/console_window.cpp", "right > console.screenWidth", "right >= console.screenWidth"),
    "report-open-check": ("src/tool/report/report_stream.cpp", "    CreateReportFile(destination, name);\n  }\n  CheckIo();\n",
                          "    CreateReportFile(destination, name);\n  }\n"),
    "m-bare": ("src/tool/command_line/driver.cpp", "parameter.size() >= 2 && IsSwitchPrefix(parameter[0]) && (parameter[1] == 'm'",
               "parameter.size() > 2 && IsSwitchPrefix(parameter[0]) && (parameter[1] == 'm'"),
    "message-grey": ("src/tool/shared/fatal_error.cpp", "kLightGrey = 7;", "kLightGrey = 8;"),
    "stderr-closed": ("src/runtime/process_posix.cpp", "stream <= 2; ++stream", "stream <= 1; ++stream"),
    "invalid-name": ("src/runtime/error_numbers.h", "kErrorInvalidName = 123,", "kErrorInvalidName = 124,"),
    "step-text-255": ("src/tool/command_line/switches.cpp", "value.size() > kLongestSwitchValue)) {",
                      "value.size() >= kLongestSwitchValue)) {"),
    "c1-top": ("src/console/utf8_characters.cpp", "code >= 0x80 && code <= 0x9F", "code >= 0x80 && code < 0x9F"),
    "noncharacter-low": ("src/console/utf8_characters.cpp", "(code >= 0xFDD0 && code <= 0xFDEF)",
                         "(code >= 0xFDD1 && code <= 0xFDEF)"),
    "lead-c2": ("src/console/utf8_characters.cpp", "lead >= 0xC2 && lead <= 0xDF", "lead >= 0xC0 && lead <= 0xDF"),
    "surrogate-top": ("src/console/utf8_characters.cpp", "(code >= 0xD800 && code <= 0xDFFF)",
                      "(code >= 0xD800 && code < 0xDFFF)"),
    "csv-cr": ("src/tool/report/report_forms.cpp", '",\\"\\r\\n"', '",\\"\\n"'),
    "json-backslash": ("src/tool/report/report_forms.cpp", "code == '\"' || code == '\\\\'", "code == '\"' || code == '/'"),
    "wide-edge": ("src/console/console_window.cpp", "width == 2 && console.cursorColumn == console.right",
                  "width == 2 && console.cursorColumn > console.right"),
    "real-one-digit": ("src/tool/report/report_format.cpp", "if (count > 1) *at++ = '.';", "if (count > 0) *at++ = '.';"),
    "real-whole-point": ("src/tool/report/report_format.cpp", "if (exponent >= count - 1) {", "if (exponent > count - 1) {"),
    "real-plus": ("src/tool/command_line/switches.cpp", "text.size() > 1 && text[0] == '+'", "text.size() > 2 && text[0] == '+'"),
    "float-overflow": ("src/runtime/fault_handler_posix.cpp", "case FPE_FLTOVF:\n      return kErrorFloatOverflow;",
                       "case FPE_FLTOVF:\n      return kErrorInvalidFloat;"),
    "utf8-four": ("src/console/utf8_characters.cpp", "    length = 4;\n", "    length = 5;\n"),
    "largest-position-low": ("src/tool/comparison/engine.cpp", "runSettings.startOffset + (values - 1) * width",
                             "runSettings.startOffset + (values - 2) * width"),
    "help-default-width": ("src/tool/command_line/driver.cpp", "values of n bytes: 1 (the default)",
                           "values of n bytes: 2 (the default)"),
    "wide-range-end": ("src/console/utf8_characters.cpp", "code <= std::prev(found)->last", "code < std::prev(found)->last"),
    "wide-partner": ("src/console/console_window.cpp", "ScreenCell& partner = CellAt(column - 1, row);",
                     "ScreenCell& partner = CellAt(column - 2, row);"),
    "breakpoint": ("src/runtime/fault_handler_posix.cpp", "    case SIGILL:\n    case SIGTRAP:\n", "    case SIGILL:\n"),
    "wide-left-half-kept": ("src/console/console_window.cpp", "column == console.screenWidth || CellAt(column + 1",
                            "column == console.screenWidth && CellAt(column + 1"),
    "wide-right-half-kept": ("src/console/console_window.cpp", "column == 1 || CellAt(column - 1",
                             "column == 1 && CellAt(column - 1"),
    "wide-second-column-broken": ("src/console/console_window.cpp", "column == 1 || CellAt(column - 1",
                                  "column == 2 || CellAt(column - 1"),
    "wide-over-left-half": ("src/console/console_window.cpp", "  if (width == 2) DetachCell(column + 1, row);", "  if (width == 2) DetachCell(column, row);"),
    "wide-partner-two-right": ("src/console/console_window.cpp", "CellAt(column + 1, row).width != 0",
                               "CellAt(column + 2, row).width != 0"),
}


# The random faults: each a pattern and what one match of it becomes.
MUTATIONS = [
    (r"(?<=[\w)\]]) < (?=[\w(])", " <= "), (r" <= ", " < "), (r"(?<=[\w)\]]) > (?=[\w(])", " >= "), (r" >= ", " > "),
    (r" == ", " != "), (r" != ", " == "), (r" && ", " || "), (r" \|\| ", " && "), (r"\btrue\b", "false"),
    (r"\bfalse\b", "true"), (r"(?<![\w.$])(\d+)(?![\w.])", lambda m: str(int(m.group(1)) + 1)),
    (r"^\s*CheckIo\(\);$", ""),
]


def RandomFaults(root, count, seed):
    import random
    import re
    engine = random.Random(seed)
    sites = []
    for folder, _, files in os.walk(os.path.join(root, "src")):
        for name in sorted(files):
            if "_win32" in name or not name.endswith((".cpp", ".h")):
                continue
            path = os.path.relpath(os.path.join(folder, name), root)
            lines = open(os.path.join(root, path)).read().split("\n")
            for number, line in enumerate(lines):
                code = line.split("//")[0]
                if lines.count(line) != 1 or code.lstrip().startswith(("#", "*")) or not code.strip():
                    continue
                for pattern, replacement in MUTATIONS:
                    for match in re.finditer(pattern, code):
                        faulty = code[:match.start()] + match.expand(replacement) if isinstance(replacement, str) \
                            else code[:match.start()] + replacement(match)
                        sites.append((f"{path}:{number + 1}:{match.start()}", path, line,
                                      faulty + code[match.end():] + line[len(code):]))
    faults = {}
    for name, path, line, faulty in engine.sample(sites, min(count, len(sites))):
        faults[name] = (path, line, faulty)
    return faults


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    arguments = sys.argv[1:]
    matrix = arguments[1] if arguments[:1] == ["--matrix"] else None
    # Drawn faults get a scratch copy of their own; one that does not build is passed over, not missed.
    drawn = arguments[:1] == ["--random"]
    faults = RandomFaults(root, int(arguments[1]), int(arguments[2])) if drawn else FAULTS
    names = list(faults) if drawn else arguments[2 if matrix else 0:] or list(faults)
    scratch = os.path.join(root, "build", "mutants" if drawn else "faults")
    os.makedirs(scratch, exist_ok=True)
    # Only files that differ are copied, taking the time of the copy, so that the build sees every change; the
    # files that faults change are touched besides, since one may still be compiled with the fault of a run that
    # was cut short.
    for folder, folders, files in os.walk(root):
        folders[:] = [f for f in folders if os.path.join(folder, f) not in (os.path.join(root, "build"),
                                                                          os.path.join(root, ".git"))]
        for name in files:
            source = os.path.join(folder, name)
            copy = os.path.join(scratch, os.path.relpath(source, root))
            if os.path.islink(source):
                continue
            with open(source, "rb") as original:
                content = original.read()
            if not os.path.exists(copy) or open(copy, "rb").read() != content:
                os.makedirs(os.path.dirname(copy), exist_ok=True)
                shutil.copy(source, copy)
    for path in {path for path, _, _ in faults.values()}:
        os.utime(os.path.join(scratch, path))
    subprocess.run(["cmake", "--preset", "release", "-DZEV_BENCHMARKS=OFF", "-DZEV_WINDOWS_BUILD="], cwd=scratch,
                   check=True, stdout=subprocess.DEVNULL)
    missed, unbuilt = [], []
    for name in names:
        path, text, faulty = faults[name]
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
                (unbuilt if drawn else missed).append(name)
                continue
            run = subprocess.run(["ctest", "--preset", "release", "-j", str(os.cpu_count()), "-LE", "bench"] +
                                 ([] if matrix else ["--stop-on-failure"]),
                                 cwd=scratch, capture_output=True, text=True, errors="replace")
            # The tests ctest lists as failed, whatever their ending (a failure, a time-out, a trap).
            listed = run.stdout.split("The following tests FAILED:")[-1] if run.returncode != 0 else ""
            failed = [line.split(" - ")[1].split()[0] for line in listed.splitlines() if " - " in line]
            print(f"{name}: {'caught by ' + ', '.join(failed[:3]) if run.returncode != 0 else 'NOT CAUGHT'}" +
                  (f"\n  {text.strip()}\n  {faulty.strip()}" if drawn and run.returncode == 0 else ""),
                  flush=True)
            if matrix:
                with open(matrix, "a") as out:
                    out.write(" ".join([name] + failed) + "\n")
            if run.returncode == 0:
                missed.append(name)
        finally:
            open(file, "w").write(original)
    planted = len(names) - len(unbuilt)
    print(f"{planted - len(missed)} of {planted} faults caught" + (f"; missed: {' '.join(missed)}" if missed else ""))
    return 1 if missed else 0


if __name__ == "__main__":
    sys.exit(main())
