# Sourced: start_display gives Windows programs an X display, a virtual one
# (Xvfb, 1280x1024, 24-bit) unless use_user_display is asked for and DISPLAY is set.
QUILL_XVFB_PID=""
start_virtual_display() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
    QUILL_XVFB_PID=$!
    for _ in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    export DISPLAY=":$n"
    return 0
  done
  echo "No free X display number" >&2
  return 1
}
stop_virtual_display() {
  [ -n "$QUILL_XVFB_PID" ] && kill "$QUILL_XVFB_PID" 2>/dev/null || true
  QUILL_XVFB_PID=""
}
