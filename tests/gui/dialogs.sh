#!/usr/bin/env bash
# Drives the dialog directives of orvantis.exe on an X display as a person
# would: message boxes answered No, Cancel and OK (the icon checked on a
# screenshot), a text typed with accents then expanded, a folder (the root
# of drive C, kept without its backslash) and a file
# taken or cancelled, a CHECK reading an answer, the working directory left
# where it was, and the clipboard read by MEMO. Screenshots of every dialog go
# to WORKDIR/screenshots.
# Usage: dialogs.sh EMULATOR EXE HELPER WORKDIR
set -u
emulator=$1 exe=$2 helper=$3 work=$4
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
rm -rf "$work" && mkdir -p "$work/sub" "$work/screenshots" && cd "$work" || exit 1
fail() { echo "FAIL: $*"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; exit 1; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Waits up to 30 s for a visible window whose name matches $1; prints its id.
wait_window() {
  for _ in $(seq 1 150); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}

# Waits for the dialog named $1, saves its screenshot as $2, then focuses it.
dialog() {
  id=$(wait_window "$1") || fail "no dialog '$1'"
  sleep 0.6
  import -window root "screenshots/$2.png" 2>/dev/null || true
  import -window "$id" "screenshots/$2-window.png" 2>/dev/null || true
  xdotool windowfocus --sync "$id" 2>/dev/null
  sleep 0.2
}
keys() { xdotool key --clearmodifiers "$@"; sleep 0.3; }

# Share of a window's pixels in a colour family: the message box icons are
# yellow (warning) and red (stop); a box without an icon has neither.
# Debian's own Python, which has Pillow (python3-pil).
py=/usr/bin/python3; [ -x "$py" ] || py=python3
colour_share() {
  "$py" - "$1" "$2" <<'PY'
import sys
from PIL import Image
im = Image.open(sys.argv[1]).convert("RGB")
want = {"yellow": lambda r, g, b: r > 200 and g > 160 and b < 90,
        "red": lambda r, g, b: r > 170 and g < 80 and b < 80}[sys.argv[2]]
px = list(im.getdata())
print(sum(1 for p in px if want(*p)) * 10000 // max(len(px), 1))
PY
}

: >sub/seed.txt
: >sub/chosen.txt
cat >dialogs.xml <<XML
<?xml version="1.0" encoding="UTF-8"?>
<ORVANTIS log="run.log">
  <ACTION name="Dialogues" version="1">
    <MSGBOX title="Question oui-non" name="yn" text="Continuer ?" type="yesno" icontype="question"/>
    <CHECK type="msgbox" name="yn" value="no"><LOG text="la réponse est non"/></CHECK>
    <MSGBOX title="Trois choix" name="ync" text="Choisir" type="YesNoCancel" icontype="Warn"/>
    <MSGBOX title="Arret" name="ok" text="Terminé" icontype="stop"/>
    <MSGBOX title="Sans icone" name="plain" text="Rien"/>
    <INPUTBOX name="nom" title="Saisie du nom" message="Votre nom ?" defaultvalue="défaut"/>
    <LOG text="nom=[#nom#]"/>
    <INPUTBOX name="nom2" title="Saisie annulee" message="?" defaultvalue="x"/>
    <PATHBOX name="dossier" title="Choix du dossier" defaultpath="C:\"/>
    <PATHBOX name="dossier2" title="Dossier annule" defaultpath="C:\windows\system32"/>
    <FILEBOX name="fichier" title="Choix du fichier" defaultfile="sub\seed.txt" filefilter="Textes|*.txt|Tous|*.*"/>
    <FILEBOX name="fichier2" title="Fichier annule"/>
    <CREATE type="file" location="after.txt" value="ici"/>
    <EXEC programlocation="$(winpath "$helper")" parameters="clip &quot;Collé été&quot;" mode="wait"/>
    <MEMO type="clipboard" name="clip"/>
    <LOG text="yn=#yn# ync=#ync# ok=#ok# plain=#plain# nom2=[#nom2#] dossier2=[#dossier2#] fichier2=[#fichier2#] clip=[#clip#]"/>
    <LOG text="dossier=#dossier#"/>
    <LOG text="fichier=#fichier#"/>
  </ACTION>
</ORVANTIS>
XML

"$emulator" "$exe" /f dialogs.xml /s /j journal.log & pid=$!
dialog '^Question oui-non$' msgbox-yesno;    keys n
dialog '^Trois choix$' msgbox-yesnocancel;   keys Escape
dialog '^Arret$' msgbox-ok-stop;             keys Return
dialog '^Sans icone$' msgbox-plain;          keys Return
dialog '^Saisie du nom$' inputbox;           xdotool type --delay 60 'Noël Hélène'; sleep 0.3; keys Return
dialog '^Saisie annulee$' inputbox-cancel;   keys Escape
dialog '^Choix du dossier$' pathbox;         keys Return
dialog '^Dossier annule$' pathbox-cancel;    keys Escape
dialog '^Choix du fichier$' filebox;         keys End shift+Home; xdotool type --delay 40 'chosen.txt'; keys Return
dialog '^Fichier annule$' filebox-cancel;    keys Escape
wait $pid; rc=$?; pid=
[ "$rc" -eq 0 ] || fail "exit status $rc"

log=$(tr -d '\r' <run.log)
has() { grep -qF -- "$1" <<<"$log" || fail "run.log lacks: $1"; }
has "Réponse : No"
has "Réponse : Cancel"
has "Réponse : OK"
has "la réponse est non"
has "nom=[Noël Hélène]"
has "yn=7 ync=2 ok=1 plain=1 nom2=[] dossier2=[] fichier2=[] clip=[Collé été]"
has "dossier=C:"
has "fichier=$(winpath "$work")\\sub\\chosen.txt"
[ -f after.txt ] || fail "a relative path after the dialogs no longer lands in the run's folder"
[ ! -e sub/after.txt ] || fail "the file dialog moved the working directory"

warn=$(colour_share screenshots/msgbox-yesnocancel-window.png yellow)
stop=$(colour_share screenshots/msgbox-ok-stop-window.png red)
plain_y=$(colour_share screenshots/msgbox-plain-window.png yellow)
plain_r=$(colour_share screenshots/msgbox-plain-window.png red)
echo "icon pixels per 10000: warn=$warn stop=$stop plain=$plain_y/$plain_r"
[ "$warn" -gt 20 ] || fail "no warning icon on the yes/no/cancel box"
[ "$stop" -gt 20 ] || fail "no stop icon on the OK box"
[ "$plain_y" -lt 5 ] && [ "$plain_r" -lt 5 ] || fail "an icon on the box without one"
echo "dialogs driven: screenshots in $work/screenshots"
