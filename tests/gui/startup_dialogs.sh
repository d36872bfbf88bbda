#!/usr/bin/env bash
# Drives the start-up dialogs of orvantis.exe for real on an X display:
# the XML error box must appear, block until closed and carry the program's
# title; the open-file dialog must appear without /f and, cancelled, end the
# run with -998 and no message box. Screenshots go to the work folder.
# Usage: startup_dialogs.sh EMULATOR EXE WORKDIR
set -u
emulator=$1 exe=$2 work=$3
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
rm -rf "$work" && mkdir -p "$work" && cd "$work" || exit 1
fail() { echo "FAIL: $*"; exit 1; }

# Waits up to 30 s for a visible window whose name matches $1; prints its id.
wait_window() {
  for _ in $(seq 1 150); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

# Sends a key to a window; without a window manager the focus is set directly.
press() { xdotool windowfocus --sync "$1" 2>/dev/null; sleep 0.2; xdotool key --clearmodifiers "$2"; }

shot() { import -window root "$1" 2>/dev/null || xwd -root -silent >"${1%.png}.xwd"; }

printf '<ORVANTIS>\n<ACTION>\n</ACTIONS>\n' > bad.xml
"$emulator" "$exe" /f bad.xml /j journal.log & pid=$!
id=$(wait_window '^Quillmarsh Orvantis$') || { kill $pid; fail "no error box"; }
sleep 0.5
shot error-box.png
kill -0 $pid 2>/dev/null || fail "the program did not wait for the box"
press "$id" Return
wait $pid; rc=$?
[ $((rc & 255)) -eq $((-996 & 255)) ] || fail "exit status $rc after the error box"
grep -q "Caractère n° : " journal.log || fail "journal lacks the error position"

"$emulator" "$exe" /j journal2.log & pid=$!
id=$(wait_window 'Ouvrir un fichier de directive') || { kill $pid; fail "no file dialog"; }
sleep 0.5
shot file-dialog.png
press "$id" Escape
wait $pid; rc=$?
[ $((rc & 255)) -eq $((-998 & 255)) ] || fail "exit status $rc after cancelling"
grep -q "Sélection du fichier à démarrer par l'utilisateur." journal2.log || fail "journal lacks the selection line"
tr -d '\r' <journal2.log | grep -q "Impossible de localiser le fichier $" || fail "journal lacks the empty-path line"
echo "dialogs driven: screenshots in $work"
