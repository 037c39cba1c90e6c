#!/usr/bin/env bash
# Answers whether this machine runs 32-bit x86 programs, which wine's WoW64
# mode needs for the 32-bit Windows program: exit 0 for yes; exit 1 for no,
# with the reason on standard output. Some hosts' kernels run 64-bit user
# code only (IA-32 emulation off): there wineboot leaves syswow64 empty and
# every 32-bit program dies as it starts. ZEV_NO_32BIT=1 forces the answer
# to no, so that the path taken on such a host can be tried on any machine.
#
#   scripts/runs-32bit.sh          the answer
#   scripts/runs-32bit.sh --skip   for a test registered as skipped: the
#                                  reason and exit 77, or a failure when the
#                                  machine can run 32-bit code after all
set -uo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"

Answer() {
  if [ -n "${ZEV_NO_32BIT:-}" ] && [ "${ZEV_NO_32BIT}" != 0 ]; then
    echo "ZEV_NO_32BIT is set"
    return 1
  fi
  # The smallest 32-bit ELF program that means anything: one loadable
  # segment whose code is exit(42) through int 0x80.
  local elf="\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00"
  elf+="\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00"
  elf+="\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00"
  elf+="\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08"
  elf+="\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00"
  elf+="\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80"
  # In the build tree, which runs programs anyway: /tmp may be mounted noexec.
  mkdir -p "$here/build"
  local program
  program="$(mktemp "$here/build/runs-32bit.XXXXXX")" || { echo "no room for the probe in $here/build"; return 1; }
  printf "$elf" > "$program" && chmod +x "$program"
  # bash, unlike execvp, never hands a binary it cannot execute to /bin/sh.
  local said code
  said="$("$program" 2>&1)"
  code=$?
  rm -f "$program"
  [ "$code" = 42 ] && return 0
  said="${said##*: }"
  echo "this machine's kernel does not run 32-bit x86 programs (a minimal one ended with ${code}${said:+: $said})"
  return 1
}

reason="$(Answer)"
answer=$?
if [ "${1:-}" = --skip ]; then
  if [ "$answer" = 0 ]; then
    echo "this machine runs 32-bit programs, but the build was configured on the answer no: configure it again" >&2
    exit 1
  fi
  echo "skipped: the 32-bit Windows program cannot run here: $reason"
  exit 77
fi
[ -n "$reason" ] && echo "$reason"
exit "$answer"
