#!/usr/bin/env bash
# The Debian package as a user gets it (scripts/package.sh makes it):
# unpacked into a scratch root, its control data checked, the installed
# program run on a terminal, its manual page rendered, and lintian asked
# for errors.  package_test.sh PACKAGE.deb
set -euo pipefail
deb="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

[ -f "$deb" ] || fail "no package $1"
# The version is the package's own; its name and its manual page must agree.
version="$(dpkg-deb -f "$deb" Version)"
architecture="$(dpkg --print-architecture)"
[ "$(basename "$deb")" = "zev_${version}_${architecture}.deb" ] || fail "package named $(basename "$deb"), not zev_${version}_${architecture}.deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package) $(field Section)" = "zev utils" ] || fail "package name or section: $(field Package) $(field Section)"
grep -q 'libc6' <<< "$(field Depends)" && grep -q 'byte by byte' <<< "$(field Description)" || fail "dependencies or description"

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for file in usr/bin/zev usr/bin/ZEV usr/share/man/man1/zev.1.gz usr/share/doc/zev/README.md \
            usr/share/doc/zev/copyright usr/share/doc/zev/changelog.gz; do
  [ -e "$root/$file" ] || fail "$file is not in the package"
done

# The installed program on a terminal of its own: the usage screen, then a comparison.
screen="$(TERM=xterm script -qec "$root/usr/bin/ZEV" /dev/null)" || fail "the usage screen ended with $?"
grep -q 'Usage:' <<< "$screen" || fail "no usage screen"
printf 'abc' > "$scratch/a"
printf 'abd' > "$scratch/b"
TERM=xterm script -qec "$root/usr/bin/zev $scratch/a $scratch/b -f:$scratch/report" /dev/null >/dev/null \
  || fail "the comparison ended with $?"
[ "$(tr -d '\r' < "$scratch/report" | tail -1)" = "$(printf '00000002   \263 99  $63 '"'"'c'"'"' \263100  $64 '"'"'d'"'"'')" ] \
  || fail "report: $(od -c "$scratch/report" | head -5)"

# The manual page: no warnings from the formatters, and as man shows it.
source="$scratch/zev.1"
gzip -dc "$root/usr/share/man/man1/zev.1.gz" > "$source"
head -1 "$source" | grep -q "\"zev $version\"" || fail "the manual page is not for version $version: $(head -1 "$source")"
warnings="$(groff -ww -z -man "$source" 2>&1)"
[ -z "$warnings" ] || fail "groff: $warnings"
if command -v mandoc >/dev/null; then
  warnings="$(mandoc -T lint "$source" 2>&1)" || fail "mandoc: $warnings"
fi
manual="$(MANWIDTH=80 man -l "$root/usr/share/man/man1/zev.1.gz" 2>&1)" || fail "man -l: $manual"
grep -q 'zev - compare two to ten files byte by byte' <<< "$manual" || fail "manual page: $manual"

if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" || fail "lintian reports errors"
fi
echo "package $(basename "$deb") is sound"
