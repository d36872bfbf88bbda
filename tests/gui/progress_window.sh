#!/usr/bin/env bash
# Drives the progress window of orvantis.exe on an X display and reads it back
# with orvwinspy (another process): layout, folding, position, topmost, list
# lines with their icons, the details button's tooltip, the title-bar icon,
# colours sampled in screenshots, hide, show, delete.
# Screenshots of each state go to SHOTS.
# Usage: progress_window.sh EMULATOR EXE SPY HELPER WORKDIR SHOTS
set -u
emulator=$1 exe=$2 spy=$3 helper=$4 work=$5 shots=$6
[ -n "${DISPLAY:-}" ] || { echo "no DISPLAY: skipped"; exit 77; }
command -v xdotool >/dev/null || { echo "no xdotool: skipped"; exit 77; }
rm -rf "$work" && mkdir -p "$work" "$shots" && cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pids=()
trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done' EXIT

# The spy's report of the window captioned $1 (waits up to 20 s for it).
report() { "$emulator" "$spy" "$1" "${2:-20}" 2>/dev/null | tr -d '\r'; }
# One line of a report: field() REPORT KEY [NAME]
line() { grep -m1 "^$2 ${3:-}" <<<"$1"; }
# Fields of a control's line: x y w h.
rect() { line "$1" control "$2 " | awk '{print $4, $5, $6, $7}'; }
expect() { [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"; }
shot() { import -window root "$shots/$1.png" 2>/dev/null; }
# The colour (r,g,b) of the screenshot $1 at x y.
pixel() { /usr/bin/python3 -c "from PIL import Image; print(','.join(map(str, Image.open('$1').convert('RGB').getpixel(($2, $3)))))"; }
# The icons Wine gives the X window captioned $1 (_NET_WM_ICON, read through
# libX11): one line per picture, "WxH AARRGGBB" with its most frequent pixel.
x_icons() {
  local id
  id=$(xdotool search --name "^$1\$" 2>/dev/null | head -n 1)
  [ -n "$id" ] || return 0
  /usr/bin/python3 - "$id" <<'PY'
import collections, ctypes, sys
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XInternAtom.restype = ctypes.c_ulong
x.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
                                 ctypes.c_int, ctypes.c_ulong] + [ctypes.c_void_p] * 5
display = x.XOpenDisplay(None)
kind, size, items, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
data = ctypes.POINTER(ctypes.c_ulong)()
x.XGetWindowProperty(display, int(sys.argv[1]), x.XInternAtom(display, b"_NET_WM_ICON", 0), 0, 1 << 22, 0, 0,
                     ctypes.byref(kind), ctypes.byref(size), ctypes.byref(items), ctypes.byref(after),
                     ctypes.byref(data))
values = [data[i] & 0xFFFFFFFF for i in range(items.value)]
i = 0
while i + 2 <= len(values):
    w, h = values[i], values[i + 1]
    pixels = values[i + 2:i + 2 + w * h]
    i += 2 + w * h
    print("%dx%d %08x" % (w, h, collections.Counter(pixels).most_common(1)[0][0] if pixels else 0))
PY
}
# Waits up to 20 s for a file the run writes.
wait_for() { for _ in $(seq 100); do [ -e "$1" ] && return 0; sleep 0.2; done; return 1; }
# Waits until the report satisfies a grep pattern (window updates are asynchronous).
# Then reads it once more half a second later, once the window has been placed.
settle() {
  for _ in $(seq 50); do r=$(report "$1" 5); grep -q -- "$2" <<<"$r" && break; sleep 0.2; done
  sleep 0.5
  report "$1" 5
}

start_run() {  # start_run XML: the program runs in the background on it
  printf '%s\n' "$1" >directive.xml
  "$emulator" "$exe" /f directive.xml /s /j journal.log & pids+=($!)
}
finish_run() {  # finish_run STOPFILE: lets the run end and waits for it
  touch "$1"
  wait "${pids[-1]}" || true
}

time_re='[0-9][0-9]:[0-9][0-9]:[0-9][0-9]'

# 1. An unfolded, topmost window at x = 40, centred vertically, whose list
#    shows actions ignored, disabled, finished, ended with an ignored error
#    and running; the details button folds and unfolds it.
printf '[Action]\r\nDeja = 1\r\n' >actions.ini
start_run '<?xml version="1.0" encoding="UTF-8"?>
<ORVANTIS log="run.log" actionsfile="actions.ini" description="Racine de test">
  <ACTION name="Ouverture" version="1">
    <WINDOW type="create" titlewindow="orv-gui-list" openlistaction="TRUE" foregroundwindow="TRUE" windowx="40" windowy="centred"/>
  </ACTION>
  <ACTION name="Deja" version="1" descriptionaction="déjà faite"><LOG text="x"/></ACTION>
  <ACTION name="Eteinte" version="disabled" descriptionaction="désactivée"><LOG text="x"/></ACTION>
  <ACTION name="Travail" version="1" descriptionaction="copie des fichiers"><LOG text="travail"/></ACTION>
  <ACTION name="Tolere" version="1" descriptionaction="erreur ignorée" blocktagerror="ignore"><LOG/></ACTION>
  <ACTION name="Attente" version="1" descriptionaction="attend la fin du test">
    <WAIT type="file" location="stop1.txt" timeout="120"><LOG text="fin"/></WAIT>
  </ACTION>
</ORVANTIS>'
r=$(settle orv-gui-list '^row 4 ')
shot list-unfolded
read -r sw sh <<<"$(line "$r" screen | awk '{print $2, $3}')"
read -r cw ch left top ow oh <<<"$(line "$r" window | awk '{print $2, $3, $4, $5, $6, $7}')"
expect "client size" "$cw $ch" "705 385"
expect "left edge" "$left" 40
expect "centred top" "$top" $(((sh - oh) / 2))
grep -q '^window .* visible=1 topmost=1' <<<"$r" || fail "window not visible and topmost: $(line "$r" window)"
expect CONTENU_DEFAUT "$(rect "$r" CONTENU_DEFAUT)" "0 0 700 341"
expect DESCRIPTION_ACTION "$(rect "$r" DESCRIPTION_ACTION)" "90 15 515 25"
expect TITRE_ACTION "$(rect "$r" TITRE_ACTION)" "75 45 560 20"
expect LISTE_ACTIONS "$(rect "$r" LISTE_ACTIONS)" "5 116 695 225"
expect BT_DETAILS_ACTIONS "$(rect "$r" BT_DETAILS_ACTIONS)" "660 45 30 30"
expect DESCRIPTION_RACINE_ACTION "$(rect "$r" DESCRIPTION_RACINE_ACTION)" "30 80 650 30"
expect GRP_PROGRESS_BAR "$(rect "$r" GRP_PROGRESS_BAR)" "235 343 235 40"
expect PROGRESS_BAR "$(rect "$r" PROGRESS_BAR_GRP_PROGRESS_BAR)" "4 21 220 15"
expect TXT_GRP_PROGRESS_BAR "$(rect "$r" TXT_GRP_PROGRESS_BAR)" "5 5 220 15"
expect GRP_ETAT "$(rect "$r" GRP_ETAT_DELENCHEMENT_ACTION)" "5 346 95 40"
expect IMG_DATE_VERSION_ACTION "$(rect "$r" IMG_DATE_VERSION_ACTION)" "50 10 24 24"
expect IMG_VERSION_ACTION "$(rect "$r" IMG_VERSION_ACTION)" "18 12 20 20"
expect GRP_COMMANDE "$(rect "$r" GRP_COMMANDE)" "505 345 195 40"
expect TEXTE_COMMANDE "$(rect "$r" TEXTE_COMMANDE)" "49 9 145 20"
line "$r" control "IMG_LOGO " && fail "IMG_LOGO exists without a logo"
for hidden in GRP_PROGRESS_BAR IMG_DATE_VERSION_ACTION IMG_VERSION_ACTION; do
  line "$r" control "$hidden " | grep -q 'visible=0' || fail "$hidden is visible"
done
line "$r" control "LISTE_ACTIONS " | grep -qi ' SysListView32 ' || fail "list class: $(line "$r" control LISTE_ACTIONS)"
line "$r" control "PROGRESS_BAR_GRP_PROGRESS_BAR " | grep -qi ' msctls_progress32 ' || fail "progress bar class"
line "$r" control "TEXTE_COMMANDE " | grep -q 'text=$' || fail "command box not emptied"
line "$r" control "BT_DETAILS_ACTIONS " | grep -q 'checked=1' || fail "details button released"
expect root-description "$(line "$r" control "DESCRIPTION_RACINE_ACTION " | sed 's/.*text=//')" "Racine de test"
expect title "$(line "$r" control "TITRE_ACTION " | sed 's/.*text=//')" "Attente"
expect description "$(line "$r" control "DESCRIPTION_ACTION " | sed 's/.*text=//')" "attend la fin du test"
rows=$(grep '^row ' <<<"$r" | sed -E "s/$time_re/T/")
expect rows "$rows" "row 0 icon=4 |T|Attente : attend la fin du test
row 1 icon=1 |T|Tolere : erreur ignorée
row 2 icon=1 |T|Travail : copie des fichiers
row 3 icon=2 |T|Eteinte : désactivée
row 4 icon=3 |T|Deja : déjà faite"
expect tooltip "$(line "$r" tooltip)" \
  "tooltip BT_DETAILS_ACTIONS balloon=1 width=180 text=Détail de l'execution du fichier de directive"
read -r ox oy <<<"$(line "$r" client-origin | awk '{print $2, $3}')"
xdotool mousemove --sync $((ox + 675)) $((oy + 60)) click 1
r=$(settle orv-gui-list '^window 705 115 ')
shot list-folded
expect "folded client size" "$(line "$r" window | awk '{print $2, $3}')" "705 115"
line "$r" control "BT_DETAILS_ACTIONS " | grep -q 'checked=0' || fail "details button still pressed"
xdotool mousemove --sync $((ox + 675)) $((oy + 60)) click 1
r=$(settle orv-gui-list '^window 705 385 ')
expect "unfolded again" "$(line "$r" window | awk '{print $2, $3}')" "705 385"
finish_run stop1.txt

# 2. The default window: caption "-", folded, centred on both axes, standard colours.
start_run '<ORVANTIS log="run2.log">
  <ACTION name="Defaut" version="1">
    <WINDOW type="create"/>
    <WAIT type="file" location="stop2.txt" timeout="120"><LOG text="fin"/></WAIT>
  </ACTION>
</ORVANTIS>'
r=$(settle - '^window .* visible=1')
shot default-folded
read -r sw sh <<<"$(line "$r" screen | awk '{print $2, $3}')"
read -r cw ch left top ow oh <<<"$(line "$r" window | awk '{print $2, $3, $4, $5, $6, $7}')"
expect "default client size" "$cw $ch" "705 115"
expect "centred left" "$left" $(((sw - ow) / 2))
expect "centred top" "$top" $(((sh - oh) / 2))
grep -q '^window .* topmost=0' <<<"$r" || fail "default window is topmost"
line "$r" control "BT_DETAILS_ACTIONS " | grep -q 'checked=0' || fail "default details button pressed"
read -r ox oy <<<"$(line "$r" client-origin | awk '{print $2, $3}')"
[ "$(pixel "$shots/default-folded.png" $((ox + 300)) $((oy + 113)))" != "255,0,0" ] || fail "default background is red"
finish_run stop2.txt

# 3. Colours and a position of six digits on each axis (the last digit is
#    dropped), then hide, show and delete; the run goes on after delete.
start_run '<ORVANTIS log="run3.log">
  <ACTION name="Couleurs" version="1" blocktagerror="ignore">
    <WINDOW type="create" titlewindow="orv-gui-colours" openlistaction="true" displaylevel="none"
      windowx="000300" windowy="000200"
      backgroundcolor="#FF0000" textbackgroundlistaction="0000FF" textcolorlistaction="$00FF00"/>
    <WAIT type="file" location="go-hide.txt" timeout="120"><LOG text="cache"/></WAIT>
    <WINDOW type="hide"/>
    <WAIT type="file" location="go-show.txt" timeout="120"><LOG text="montre"/></WAIT>
    <WINDOW type="show"/>
    <WAIT type="file" location="go-delete.txt" timeout="120"><LOG text="fin"/></WAIT>
    <WINDOW type="delete"/>
    <WINDOW type="create"/>
    <LOG text="after the window"/>
    <WAIT type="file" location="stop3.txt" timeout="120"><LOG text="fin"/></WAIT>
  </ACTION>
</ORVANTIS>'
r=$(settle orv-gui-colours '^window 705 385 ')
sleep 0.5
shot colours
expect "six-digit position" "$(line "$r" window | awk '{print $4, $5}')" "30 20"
read -r ox oy <<<"$(line "$r" client-origin | awk '{print $2, $3}')"
expect "window background" "$(pixel "$shots/colours.png" $((ox + 300)) $((oy + 113)))" "255,0,0"
expect "group background" "$(pixel "$shots/colours.png" $((ox + 300)) $((oy + 380)))" "255,0,0"
expect "list background" "$(pixel "$shots/colours.png" $((ox + 300)) $((oy + 250)))" "0,0,255"
grep -q '^row ' <<<"$r" && fail "display level none shows lines"
touch go-hide.txt
r=$(settle orv-gui-colours '^window .* visible=0')
grep -q '^window .* visible=0' <<<"$r" || fail "hide left the window visible"
touch go-show.txt
r=$(settle orv-gui-colours '^window .* visible=1')
grep -q '^window .* visible=1' <<<"$r" || fail "show left the window hidden"
touch go-delete.txt
for _ in $(seq 50); do grep -q "after the window" run3.log 2>/dev/null && break; sleep 0.2; done
grep -q "after the window" run3.log || fail "the run did not go on after delete"
r=$(report orv-gui-colours 1)
expect "after delete" "$r" "no window"
finish_run stop3.txt

# 4. A 200 x 100 logo moves everything down; the command box starts a
#    command declared by COMOGUI when its name is typed and Return pressed.
/usr/bin/python3 -c "from PIL import Image; Image.new('RGB', (200, 100), (20, 120, 40)).save('logo.bmp')"
winhelper="Z:$(tr / '\\' <<<"$helper")"
start_run '<ORVANTIS log="run4.log">
  <ACTION name="Logo" version="1" blocktagerror="ignore">
    <WINDOW type="create" titlewindow="orv-gui-logo" logoimage="logo.bmp" icon="logo.bmp" openlistaction="true"/>
    <COMOGUI name="notes" programlocation="'"$winhelper"'" parameters="create typed.txt"/>
    <WAIT type="file" location="stop4.txt" timeout="120"><LOG text="fin"/></WAIT>
  </ACTION>
</ORVANTIS>'
r=$(settle orv-gui-logo '^window 705 485 ')
shot logo-unfolded
expect "logo client size" "$(line "$r" window | awk '{print $2, $3}')" "705 485"
expect IMG_LOGO "$(rect "$r" IMG_LOGO)" "253 0 200 100"
expect "container below the logo" "$(rect "$r" CONTENU_DEFAUT)" "0 101 700 341"
expect "progress group below" "$(rect "$r" GRP_PROGRESS_BAR)" "235 442 235 40"
expect "command group below" "$(rect "$r" GRP_COMMANDE)" "505 442 195 40"
expect "state group below" "$(rect "$r" GRP_ETAT_DELENCHEMENT_ACTION)" "5 442 95 40"
read -r ox oy <<<"$(line "$r" client-origin | awk '{print $2, $3}')"
expect "logo pixel" "$(pixel "$shots/logo-unfolded.png" $((ox + 300)) $((oy + 50)))" "20,120,40"
# The small icon reaches the X window beside Wine's default one.
grep -qx '200x100 ff147828' <<<"$(x_icons orv-gui-logo)" || fail "icon from a picture file: $(x_icons orv-gui-logo)"
xdotool mousemove --sync $((ox + 675)) $((oy + 101 + 60)) click 1
r=$(settle orv-gui-logo '^window 705 215 ')
expect "logo folded size" "$(line "$r" window | awk '{print $2, $3}')" "705 215"
xdotool mousemove --sync $((ox + 675)) $((oy + 101 + 60)) click 1
settle orv-gui-logo '^window 705 485 ' >/dev/null
if grep -q "Balise non reconnu ! : COMOGUI" run4.log; then
  echo "COMOGUI is not built: command box not driven"
else
  xdotool mousemove --sync $((ox + 505 + 49 + 70)) $((oy + 442 + 9 + 10)) click 1
  sleep 0.3
  xdotool type --delay 50 inconnu && xdotool key Return
  r=$(settle orv-gui-logo 'TEXTE_COMMANDE .* text=$')
  line "$r" control "TEXTE_COMMANDE " | grep -q 'text=$' || fail "unknown command not emptied"
  xdotool type --delay 50 notes && xdotool key Return
  wait_for typed.txt || fail "the typed command did not start its program"
  r=$(settle orv-gui-logo 'TEXTE_COMMANDE .* text=$')
  line "$r" control "TEXTE_COMMANDE " | grep -q 'text=$' || fail "command box not emptied"
fi
shot logo-command
finish_run stop4.txt

# 5. Log lines listed newest first (here the LOG attribute lines); a selected line stays selected
#    while new lines arrive on top of it.
logs=$(for i in $(seq 1 60); do printf '<LOG text="ligne %d"/>' "$i"; done)
start_run '<ORVANTIS log="run5.log">
  <ACTION name="Lignes" version="1">
    <WINDOW type="create" titlewindow="orv-gui-lines" openlistaction="true" displaylevel="all"/>
    '"$logs"'
    <WAIT type="file" location="go5.txt" timeout="120"><LOG text="suite"/></WAIT>
    <LOG text="encore 1"/><LOG text="encore 2"/>
    <WAIT type="file" location="stop5.txt" timeout="120"><LOG text="fin"/></WAIT>
  </ACTION>
</ORVANTIS>'
r=$(settle orv-gui-lines '|text => ligne 60$')
listed=$(grep -oE '\|text => ligne [0-9]+$' <<<"$r" | tr -d '|' | tr '\n' ',')
expect "log lines, newest first" "$listed" "$(seq -f 'text => ligne %g' 60 -1 1 | tr '\n' ',')"
read -r ox oy <<<"$(line "$r" client-origin | awk '{print $2, $3}')"
xdotool mousemove --sync $((ox + 300)) $((oy + 160)) click 1
r=$(settle orv-gui-lines '^selected ')
picked=$(line "$r" selected | awk '{print $2}')
chosen=$(line "$r" row "$picked " | cut -d' ' -f3-)
[ -n "$picked" ] && [ -n "$chosen" ] || fail "no line selected by the click"
touch go5.txt
r=$(settle orv-gui-lines '|text => encore 2$')
now=$(line "$r" selected | awk '{print $2}')
[ "${now:--1}" -gt "${picked:-0}" ] || fail "the selection did not follow its line: row $picked, then ${now:-none}"
expect "selected line" "$(line "$r" row "${now:-x} " | cut -d' ' -f3-)" "$chosen"
finish_run stop5.txt

if ((failures)); then echo "$failures failure(s); screenshots in $shots"; exit 1; fi
echo "progress window checked: screenshots in $shots"
