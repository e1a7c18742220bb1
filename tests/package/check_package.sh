#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks it as an installer
# would see it: its exact file list, its control fields, a device rule that
# tags only what the probe recognises, valid desktop and AppStream files,
# programs that run from the unpacked tree, manual pages that render without
# warnings, the command-line tool's completion, and nothing lintian warns about.
# The command-line tool itself is checked when the build has it.
# Usage: check_package.sh <cpack> <build folder> [1 when the build has the command-line tool]
set -euo pipefail
cpack="$1"
build="$2"
has_cli="${3:-0}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack did not build the package"
fi
debs=("$work"/out/*.deb)
[ "${#debs[@]}" -eq 1 ] || fail "expected one package, got: ${debs[*]}"
deb="${debs[0]}"

id=org.resistancetester.ResistanceTester
cli=resistance-tester-cli
expected="./usr/bin/resistance-tester
./usr/bin/resistance-tester-sim
./usr/lib/udev/resistance-tester-usbprobe
./usr/lib/udev/rules.d/60-resistance-tester.rules
./usr/share/applications/$id.desktop
./usr/share/doc/resistance-tester/changelog.gz
./usr/share/doc/resistance-tester/copyright
./usr/share/icons/hicolor/256x256/apps/$id.png
./usr/share/icons/hicolor/scalable/apps/$id.svg
./usr/share/man/man1/resistance-tester-sim.1.gz
./usr/share/man/man1/resistance-tester.1.gz
./usr/share/man/man1/$cli.1.gz
./usr/share/bash-completion/completions/$cli
./usr/share/metainfo/$id.metainfo.xml"
if [ "$has_cli" = 1 ]; then
  expected+=$'\n'"./usr/bin/$cli"
fi
expected="$(LC_ALL=C sort <<<"$expected")"
dpkg-deb -c "$deb" >"$work/contents"
actual="$(awk '$1 ~ /^-/ {print $6}' "$work/contents" | LC_ALL=C sort)"
if [ "$actual" != "$expected" ]; then
  diff <(echo "$expected") <(echo "$actual") >&2 || true
  fail "file list differs (< expected, > in the package)"
fi
wrong="$(awk '$2 != "root/root" || substr($1, 6, 1) == "w" || substr($1, 9, 1) == "w"' "$work/contents")"
[ -z "$wrong" ] || fail "not owned by root, or writable by others: $wrong"
awk '$6 == "./usr/lib/udev/resistance-tester-usbprobe" {print $1}' "$work/contents" | grep -qx -- '-rwxr-xr-x' ||
  fail "the probe is not an executable of mode 755"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = resistance-tester ] || fail "package name: $(field Package)"
[[ "$(field Maintainer)" == *"Resistance Tester developers"* ]] || fail "maintainer: $(field Maintainer)"
for library in libqt5widgets5 libusb-1.0-0 libc6; do
  [[ "$(field Depends)" == *"$library"* ]] || fail "Depends lacks $library: $(field Depends)"
done
dpkg-deb -e "$deb" "$work/control"
[ -x "$work/control/postinst" ] && [ -x "$work/control/postrm" ] || fail "no executable postinst and postrm"
grep -q 'udevadm control --reload-rules' "$work/control/postinst" || fail "postinst does not reload the udev rules"

root="$work/root"
dpkg-deb -x "$deb" "$root"
rule="$root/usr/lib/udev/rules.d/60-resistance-tester.rules"
grep -q '^IMPORT{program}="/usr/lib/udev/resistance-tester-usbprobe \$devnode"$' "$rule" ||
  fail "the rule does not run the installed probe: $(grep IMPORT "$rule")"
grep 'uaccess' "$rule" | grep -v '^#' | grep -qv 'ENV{RESISTANCE_TESTER_INSTRUMENT}=="1"' &&
  fail "the rule grants access to devices the probe did not recognise"

version="$("$root/usr/bin/resistance-tester" --version)"
[ "$version" = "resistance-tester $(field Version)" ] || fail "--version says: $version"
"$root/usr/bin/resistance-tester-sim" --help | grep -q 'battery low' || fail "the simulator's --help lacks its keys"
status=0
"$root/usr/lib/udev/resistance-tester-usbprobe" >"$work/probe.out" 2>/dev/null || status=$?
[ "$status" -eq 2 ] && [ ! -s "$work/probe.out" ] || fail "the probe without a device: exit $status"

for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings="$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "$(basename "$page") renders with warnings: $warnings"
done
completion="$root/usr/share/bash-completion/completions/$cli"
bash "$(dirname "$0")/check_completion.sh" "$completion" >/dev/null || fail "the installed completion"

if [ "$has_cli" = 1 ]; then
  tool="$root/usr/bin/$cli"
  field Description | grep -q "$cli" || fail "the package's description does not name $cli"
  objdump -p "$tool" | grep -q 'NEEDED.*libQt5Widgets' && fail "$cli links Qt Widgets"
  # No simulator in an empty runtime folder; a USB instrument may be attached.
  mkdir -m 700 "$work/runtime"
  status=0
  XDG_RUNTIME_DIR="$work/runtime" "$tool" list >"$work/list.out" 2>"$work/list.err" || status=$?
  [ "$status" -eq 0 ] || fail "$cli list without instruments: exit $status: $(cat "$work/list.err")"
  bad_line="$(grep -Pv '^[^\t]+\t(usb|simulator)$' "$work/list.out" || true)"
  [ -z "$bad_line" ] || fail "$cli list printed: $bad_line"
  # A wrong key is refused before any instrument is looked for, naming every key the completion offers.
  status=0
  XDG_RUNTIME_DIR="$work/runtime" "$tool" settings set no-such-key=1 >/dev/null 2>"$work/refusal" || status=$?
  [ "$status" -eq 64 ] || fail "$cli settings set no-such-key=1: exit $status"
  keys="$(bash -c 'source "$1"; echo $_resistance_tester_cli_settings_keys' _ "$completion")"
  for key in $keys; do
    grep -qE -- "(^|[^[:alnum:]-])$key([^[:alnum:]-]|\$)" "$work/refusal" || fail "$cli's refusal does not name $key: $(cat "$work/refusal")"
  done
fi

desktop-file-validate "$root/usr/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net --explain "$root/usr/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" 2>&1 || {
  cat "$work/appstream.log" >&2
  fail "appstreamcli validate"
}
# Errors and warnings fail; the remaining notes are informational.
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || {
  cat "$work/lintian.log" >&2
  fail "lintian"
}
echo "package $(basename "$deb") checked"
