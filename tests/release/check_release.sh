#!/usr/bin/env bash
# The release, built twice and checked as its users get it (the test command's release leg; it
# needs the Linux and Windows builds of the earlier legs for taverin-host, taverin-host.exe and
# the geometry digests):
# 1. scripts/release.sh here, then on a copy of the same files in another folder, later, in
#    another time zone and under another umask: the module and every archive must be the same
#    bytes (their SHA-256 sums are printed).
# 2. tests/release/check_package.py on the first build's folder.
set -euo pipefail
cd "$(dirname "$0")/../.."
here="$PWD"
work="$here/build/release-check"
rm -rf "$work"
mkdir -p "$work"
SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"
export SOURCE_DATE_EPOCH

echo "release check: first build, in $here"
bash scripts/release.sh "$work/dist-a" >"$work/build-a.log" 2>&1 || { cat "$work/build-a.log"; exit 1; }

copy="$(mktemp -d /tmp/taverin-release-copy.XXXXXX)"
trap 'rm -rf "$copy"' EXIT
other="$copy/another folder/orvik-taverin"
mkdir -p "$other"
git ls-files -z --cached --others --exclude-standard |
  tar --null -T - --ignore-failed-read -cf - 2>/dev/null | tar -xf - -C "$other"
echo "release check: second build, in $other"
(cd "$other" && umask 077 && TZ=Asia/Kathmandu bash scripts/release.sh "$work/dist-b") >"$work/build-b.log" 2>&1 ||
  { cat "$work/build-b.log"; exit 1; }

status=0
pairs=("build/release/orvik_taverin_64.p" "$other/build/release/orvik_taverin_64.p")
for f in "$work"/dist-a/*; do pairs+=("$f" "$work/dist-b/$(basename "$f")"); done
for ((i = 0; i < ${#pairs[@]}; i += 2)); do
  a="${pairs[i]}" b="${pairs[i + 1]}"
  sha256sum "$a" "$b" | sed "s|$here/||; s|$copy/||"
  if ! cmp -s "$a" "$b"; then
    echo "FAIL reproducible: $(basename "$a") differs between the two builds"
    status=1
  fi
done
[ $status -eq 0 ] && echo "release check: the two builds are the same bytes"

/usr/bin/python3 tests/release/check_package.py --repo "$here" --dist "$work/dist-a" --work "$work/package" \
  --forbidden "$here" --forbidden "$other" \
  --windows-host build/windows/taverin-host.exe --linux-host build/default/taverin-host \
  --windows-digest build/windows/geometry/tests/geometry_digest.exe --linux-digest build/default/geometry/tests/geometry_digest \
  --emulator "$here/scripts/wine-run.sh" || status=1
exit $status
