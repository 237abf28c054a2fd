#!/bin/bash
# Kromva32 end to end under wine64 on the demo machine (machines/demo) with
# an 800x600 virtual desktop: the list shows the prefix's drives and the
# status bar "Ready"; a letter typed on the selected row appears in its
# New column and the letter bar follows; Ctrl+Z restores the Old letters;
# a letter dragged from the letter bar onto a row gives it that letter;
# a toolbar button's prompt shows in the status bar while the mouse is on
# it; Help > About opens the About box and a click closes it; View >
# Options opens the Options dialog and Cancel closes it; the letter bar
# dragged by its gripper docks on the left in columns and then floats in
# its own frame, whose close box hides it; File > Exit ends the program and
# the saved layout keeps the hidden floating bar. Windows are read with boxreader.exe; keys and the mouse
# come from xdotool.
#
#   kromva32.sh BUILD_DIR PREFIX_TEMPLATE
#
# Leaves screenshots of the main window, a toolbar button's tooltip, the
# About box, the Options dialog and the letter bar docked on the left and
# floating in BUILD_DIR/kromva32-main.png, kromva32-tooltip.png,
# kromva32-about.png, kromva32-options.png, kromva32-docked.png and
# kromva32-floating.png.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

if [[ "${1:-}" != --run ]]; then
  source "$repo/scripts/wine-stage.sh"
  wine_stage_prefix kromva32 "$1" "$2" shell/Kromva32.exe \
    tests/wine/boxreader/boxreader.exe || exit 1
  "$repo/scripts/wine-machine.sh" "$repo/machines/demo" "$prefix" \
    "$build/kromva32-drives" || exit 1
  wine_stage_display "$0" kromva32 800x600
fi

# Second stage, on the virtual display.
c="$WINEPREFIX/drive_c"
mkdir -p "$c/Pelmora"
cp "$BUILD/shell/Kromva32.exe" "$c/Pelmora/"
reader() { "$WINE" "$BUILD/tests/wine/boxreader/boxreader.exe" "$@" | tr -d '\r'; }
failures=0
fail() { echo "kromva32: FAILED: $*"; failures=$((failures + 1)); }
check() { if [[ "$2" != "$3" ]]; then fail "$1: got [$2], expected [$3]"; fi; }
shot() { import -window root -crop 800x600+0+0 +repage "$1" || fail "no screenshot $1"; }

"$WINE" 'C:\Pelmora\Kromva32.exe' &
pid=$!
# Wine has no 16-bit services: the DOS link's box comes first and OK lets
# the program go on.
dos_memory="Error allocating MS-DOS memory. The program may function incorrectly."
shown=no
for _ in $(seq 1 30); do
  if reader wait Pelmora 1 && reader dump Pelmora | grep -q 'ListView'; then
    shown=yes
    break
  fi
  if controls=$(reader dump Pelmora 2>/dev/null); then
    box=$(awk -F'|' '$1 == "Static" && $3 != "" { print $3 }' <<<"$controls")
    if [[ -n "$box" ]]; then
      [[ "$box" == "$dos_memory" ]] || fail "box: $box"
      reader command Pelmora 1
      sleep 0.5
    fi
  fi
done
[[ $shown == yes ]] || { fail "no main window"; kill $pid; exit 1; }
sleep 1
# Fields of the list's lines: 1 "row", 2 selected, 3 New, 4 Old, 5 Label.
rows() { reader list Pelmora | awk -F'|' '$1 == "row"'; }
new_of() { rows | awk -F'|' -v old="($1:)" '$4 == old { print $3 }'; }

echo "-- the drives"
check "headings" "$(reader list Pelmora | head -1)" \
  "columns|New|Old|Label|Type|File System|Total Size|Free Space|Serial"
check "drives" "$(rows | awk -F'|' '{ printf "%s %s %s;", $3, $4, $5 }')" \
  "A: (A:) ;C: (C:) WIN98;D: (D:) DATA;E: (E:) WIN98SE;F: (F:) MS-RAMDRIVE;G: (G:) PUBLIC;"
check "types" "$(rows | awk -F'|' '{ printf "%s;", $6 }')" \
  "Removable;Fixed;Fixed;CD-ROM;RAM;Network;"
check "selected row" "$(rows | awk -F'|' '$2 == 1 { print $4 }')" "(A:)"
status_text() { reader dump Pelmora | awk -F'|' '$2 == 59393 { print $3 }'; }
check "status bar" "$(status_text)" Ready
# Letters the drives hold are greyed on the letter bar; the others not.
letter_button() { reader button Pelmora 130 $((32771 + $(printf '%d' "'$1") - 65)); }
check "letter bar C" "$(letter_button C)" "0|0"
check "letter bar R" "$(letter_button R)" "1|0"
shot "$BUILD/kromva32-main.png"

echo "-- a letter typed on the selected row"
xdotool search --name '^Pelmora$' windowactivate --sync >/dev/null 2>&1
# From A: down to the CD-ROM E:, then R.
xdotool key Down Down Down
sleep 0.5
check "selected row" "$(rows | awk -F'|' '$2 == 1 { print $4 }')" "(E:)"
xdotool type r
sleep 1
check "New of E:" "$(new_of E)" "R:"
check "New of D:" "$(new_of D)" "D:"
# The idle update took R off the letter bar and gave E back.
check "letter bar R after" "$(letter_button R)" "0|0"
check "letter bar E after" "$(letter_button E)" "1|0"
# Ctrl+Z, the accelerator of Restore Original, puts the Old letters back,
# as bare letters.
xdotool key ctrl+z
sleep 1
check "New of E: after Ctrl+Z" "$(new_of E)" "E"
check "letter bar R after Ctrl+Z" "$(letter_button R)" "1|0"

echo "-- a letter dragged from the letter bar onto a row"
# Pressed on R, moved past the fifth mouse move onto D:'s row, released:
# the drag is the view's, and the drop gives D: the letter.
if read -r rleft rtop rright rbottom < <(reader button-rect Pelmora 130 32788) &&
  read -r dleft dtop dright dbottom < <(reader row-rect Pelmora 2); then
  xdotool mousemove $(((rleft + rright) / 2)) $(((rtop + rbottom) / 2))
  sleep 0.3
  xdotool mousedown 1
  sleep 0.3
  to_x=$(((dleft + dright) / 2)) to_y=$(((dtop + dbottom) / 2))
  for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $((rleft + (to_x - rleft) * step / 8)) \
      $((rbottom + (to_y - rbottom) * step / 8))
    sleep 0.1
  done
  sleep 0.3
  xdotool mouseup 1
  sleep 1
  check "New of D: after the drop" "$(new_of D)" "R:"
  check "letter bar R after the drop" "$(letter_button R)" "0|0"
  xdotool key ctrl+z
  sleep 1
else
  fail "no button R on the letter bar or no row 2 in the list"
fi

echo "-- the fly-by prompt of a toolbar button"
# Over Refresh its prompt is in the status bar; off the bar, Ready again.
if read -r bleft btop bright bbottom < <(reader button-rect Pelmora 59392 32797); then
  xdotool mousemove $(((bleft + bright) / 2)) $(((btop + bbottom) / 2))
  sleep 0.3
  xdotool mousemove_relative 1 1
  sleep 1.5
  check "fly-by prompt" "$(status_text)" "Refresh drive information"
  shot "$BUILD/kromva32-tooltip.png"
  xdotool mousemove $(((bleft + bright) / 2)) $((bbottom + 150))
  sleep 0.3
  xdotool mousemove_relative 1 1
  sleep 0.5
  check "status bar off the toolbar" "$(status_text)" Ready
else
  fail "no Refresh button on the main toolbar"
fi

echo "-- Help > About, from the menu bar"
xdotool search --name '^Pelmora$' windowactivate --sync >/dev/null 2>&1
xdotool key alt+h
sleep 0.5
xdotool key a
about="child:Pelmora v1.2.0"
if reader wait "$about" 10; then
  sleep 1
  shot "$BUILD/kromva32-about.png"
  read -r aleft atop aright abottom < <(reader rect "$about")
  xdotool mousemove $(((aleft + aright) / 2)) $(((atop + abottom) / 2)) click 1
  reader gone "$about" 10 || fail "a click did not close the About box"
else
  fail "no About box"
fi

echo "-- View > Options"
reader command Pelmora 32812
if reader wait Options 10; then
  sleep 1
  shot "$BUILD/kromva32-options.png"
  reader click Options 2
  reader gone Options 10 || fail "Cancel did not close the Options dialog"
else
  fail "no Options dialog"
fi

echo "-- the letter bar moved by its gripper"
# Pressed on the gripper, moved in steps and released at `to`.
drag() {
  xdotool mousemove "$1" "$2"
  sleep 0.3
  xdotool mousedown 1
  sleep 0.2
  for step in 1 2 3 4 5 6 7 8; do
    xdotool mousemove $(($1 + ($3 - $1) * step / 8)) $(($2 + ($4 - $2) * step / 8))
    sleep 0.1
  done
  sleep 0.2
  xdotool mouseup 1
  sleep 1
}
letter_rect() { reader button-rect "$1" 130 $((32771 + $(printf '%d' "'$2") - 65)); }
xdotool search --name '^Pelmora$' windowactivate --sync >/dev/null 2>&1
if read -r aleft atop aright abottom < <(letter_rect Pelmora A) &&
  read -r rleft rtop rright rbottom < <(reader row-rect Pelmora 3); then
  # The gripper lies left of A; the drop at the list's left edge.
  drag $((aleft - 5)) $(((atop + abottom) / 2)) $((rleft + 3)) $(((rtop + rbottom) / 2))
  read -r aleft atop aright abottom < <(letter_rect Pelmora A)
  read -r _ ctop _ _ < <(letter_rect Pelmora Z)
  read -r rleft _ _ _ < <(reader row-rect Pelmora 0)
  [[ $ctop -gt $atop ]] || fail "the letters are not in columns (A at $atop, Z at $ctop)"
  [[ $rleft -ge $aright ]] || fail "the list does not start right of the letter bar ($rleft < $aright)"
  shot "$BUILD/kromva32-docked.png"
  # From the column's gripper, above A, into the list's middle: it floats.
  read -r rleft rtop rright rbottom < <(reader row-rect Pelmora 2)
  drag $(((aleft + aright) / 2)) $((atop - 5)) $(((rleft + rright) / 2)) $((rbottom + 30))
  if reader wait "Letter Bar" 5; then
    letter_rect "Letter Bar" M >/dev/null || fail "no M on the floating letter bar"
    shot "$BUILD/kromva32-floating.png"
    # Its close box hides it; the layout saved at the exit says so.
    reader close "Letter Bar"
    sleep 0.5
  else
    fail "the letter bar did not float"
  fi
else
  fail "no button A on the letter bar or no row 3 in the list"
fi

echo "-- File > Exit"
reader command Pelmora 57665
if timeout 20 tail --pid=$pid -f /dev/null; then
  status=0
  wait $pid || status=$?
  check "exit code" "$status" 0
  # Records of the layout: id (two bytes), visible, side (4: floating).
  layout=$(reader registry HKCU 'Software\Ardentol\Pelmora\BarState' |
    awk -F'|' '$2 == "Layout" { print $4 }')
  [[ $layout == *82000004* ]] ||
    fail "the saved layout has no hidden floating letter bar: [$layout]"
else
  fail "the program did not end"
  kill $pid 2>/dev/null
fi

if [[ $failures -ne 0 ]]; then
  echo "kromva32: $failures FAILED"
  exit 1
fi
echo "kromva32: all checks passed"
