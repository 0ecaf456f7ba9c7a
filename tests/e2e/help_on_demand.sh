# The help viewer (wx html) is loaded only when help is first opened: not at
# start, then Help > Contents shows the book with its pages laid out (the
# window title comes from the page's parsed <title>), and Ctrl+X still ends
# the program cleanly with the viewer open.
source "$(dirname "$0")/lib.sh"
open_main_window
viewer_mapped() { grep -qE 'help-viewer\.so|libwx_gtk3u_html' "/proc/$app_pid/maps"; }
viewer_mapped && fail "help viewer loaded at start"

press "$wid" alt+h c
wait_window "V7 Help: Welcome to the Orvane V7 Control Center" >/dev/null \
  || fail "no help window showing the welcome page (windows: $(xdotool search --onlyvisible --name 'V7' getwindowname %@ 2>/dev/null | tr '\n' '|'))"
viewer_mapped || fail "help window shown but the viewer module is not mapped"

exit_with_ctrl_x
echo "PASS"
