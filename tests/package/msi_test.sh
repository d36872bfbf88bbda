#!/usr/bin/env bash
# The MSI under Wine's msiexec: installs quietly under Program Files, the
# installed program runs a directive file, a higher version replaces it
# (major upgrade), and uninstalling leaves no folder behind.
# Usage: msi_test.sh BUILD_DIR WINE_RUN WORK_DIR
set -euo pipefail
build=$1 wine=$2 work=$3
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
fail() { echo "FAILED: $*" >&2; exit 1; }
win() { echo "Z:${1//\//\\}"; }

rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$work/stage/orvantis" >/dev/null
"$root/scripts/package-msi" "$work/stage/orvantis" 1.0.0 "$work/v1.msi"
echo "second version" >"$work/stage/orvantis/docs/upgraded.txt"
"$root/scripts/package-msi" "$work/stage/orvantis" 1.0.1 "$work/v2.msi"

folder=$("$wine" winepath -u 'C:\Program Files\Orvantis' 2>/dev/null | tr -d '\r')
[[ -n $folder ]] || fail "winepath gave no folder"
# A package left by an interrupted earlier run goes first.
"$wine" msiexec /x "$(win "$work/v2.msi")" /qn >/dev/null 2>&1 || true
"$wine" msiexec /x "$(win "$work/v1.msi")" /qn >/dev/null 2>&1 || true
[[ ! -e $folder ]] || rm -rf "$folder"

"$wine" msiexec /i "$(win "$work/v1.msi")" /qn || fail "msiexec /i v1: status $?"
[[ -f $folder/orvantis.exe && -f $folder/README.md && -d $folder/examples ]] || fail "v1 files missing in $folder"

# The installed program runs a directive file and writes its events.
cat >"$work/hello.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<ORVANTIS log="run.log"><ACTION name="hello" version="1"><LOG text="bonjour"/></ACTION></ORVANTIS>
XML
(cd "$work" && "$wine" "C:\\Program Files\\Orvantis\\orvantis.exe" /f hello.xml /s /events events.jsonl) ||
  fail "installed orvantis.exe: status $?"
grep -q '"completed":\["hello"\]' "$work/events.jsonl" || fail "no summary from the installed program"

"$wine" msiexec /i "$(win "$work/v2.msi")" /qn || fail "msiexec /i v2: status $?"
[[ -f $folder/docs/upgraded.txt && -f $folder/orvantis.exe ]] || fail "v2 did not replace v1"

# Uninstalling the upgrade removes every file: v1 is gone already, or its
# files would stay. Wine's msiexec sometimes keeps the emptied folder itself.
"$wine" msiexec /x "$(win "$work/v2.msi")" /qn || fail "msiexec /x v2: status $?"
[[ ! -e $folder || -z $(find "$folder" -mindepth 1 | head -1) ]] ||
  fail "$folder still holds files after uninstalling: $(find "$folder" | head)"
echo "msi: install, run, upgrade and uninstall passed"
