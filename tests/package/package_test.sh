#!/usr/bin/env bash
# The Debian package as a user gets it (scripts/package.sh makes it): unpacked into a scratch root, its control data
# checked, the installed program run on a terminal, its manual page rendered, lintian asked for errors.
# package_test.sh PACKAGE.deb
set -euo pipefail
deb="$(realpath "$1")"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }
field() { dpkg-deb -f "$deb" "$1"; }

version="$(field Version)"
[ "$(basename "$deb")" = "zev_${version}_$(dpkg --print-architecture).deb" ] || fail "package named $(basename "$deb")"
[ "$(field Package) $(field Section)" = "zev utils" ] || fail "package name or section"
grep -q libc6 <<< "$(field Depends)" || fail "dependencies"
grep -q 'byte by byte' <<< "$(field Description)" || fail "description"
root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for file in bin/zev bin/ZEV share/man/man1/zev.1.gz share/doc/zev/README.md share/doc/zev/copyright \
            share/doc/zev/changelog.gz; do
  [ -e "$root/usr/$file" ] || fail "$file is not in the package"
done

# The installed program on a terminal of its own: the usage screen, then a comparison.
usage="$(TERM=xterm script -qec "$root/usr/bin/ZEV" /dev/null)" || fail "the usage screen ended with $?"
grep -q 'Usage:' <<< "$usage" || fail "no usage screen"
printf abc > "$scratch/a"
printf abd > "$scratch/b"
TERM=xterm script -qec "$root/usr/bin/zev $scratch/a $scratch/b -f:$scratch/report" /dev/null >/dev/null || fail "run"
[ "$(tail -1 "$scratch/report")" = "$(printf "00000002   \263 99  \$63 'c' \263100  \$64 'd'\r")" ] || fail "report"

# The manual page: no warnings from the formatters, and as man shows it.
gzip -dc "$root/usr/share/man/man1/zev.1.gz" > "$scratch/zev.1"
head -1 "$scratch/zev.1" | grep -q "\"zev $version\"" || fail "the manual page is not for version $version"
[ -z "$(groff -ww -z -man "$scratch/zev.1" 2>&1)" ] || fail "groff warns"
! command -v mandoc >/dev/null || mandoc -T lint "$scratch/zev.1" || fail "mandoc warns"
manual="$(MANWIDTH=80 man -l "$scratch/zev.1")" || fail "man -l"
grep -q 'zev - compare two to ten files byte by byte' <<< "$manual" || fail "manual page: $manual"
! command -v lintian >/dev/null || lintian --fail-on error "$deb" || fail "lintian reports errors"
echo "package $(basename "$deb") is sound"
