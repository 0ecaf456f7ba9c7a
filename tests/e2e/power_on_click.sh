# A real click on the panel's On button turns the V7 Station on (what else the
# registry and the drivers show then: tests/gui/power_test.cpp). Ctrl+X ends the
# program.
source "$(dirname "$0")/lib.sh"
open_main_window

# The panel fills the client area below the menu bar: 450 x 330 pixels.
eval "$(xdotool getwindowgeometry --shell "$wid")"
[ "$WIDTH" -eq 450 ] || fail "client width $WIDTH, expected 450"
top=$((HEIGHT - 330))
[ "$top" -gt 0 ] || fail "no menu bar above the panel (height $HEIGHT)"

station_on() {
  "$tool" reg export 'HKLM\Software\Halvorn\Orvane\Setup\Station1' | grep -q '^"Launched"=hex:01'
}
station_on && fail "station already on before the click"

# The On button: 48 x 20 at (202, 296) in the panel.
xdotool mousemove --window "$wid" $((202 + 24)) $((top + 296 + 10)) click 1
eventually station_on || fail "station not recorded as on after clicking On"

exit_with_ctrl_x
echo "PASS"
