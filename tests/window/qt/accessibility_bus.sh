# Sourced by the screen-reader tests, in a D-Bus session of their own: starts the accessibility
# bus and turns it on, as a desktop with a screen reader does; Qt programs started after this
# join it. Its log goes to $work/bus.log; the bus launcher's process is $bus.
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>"$work/bus.log" &
bus=$!
# Up once it takes the switch; waited for until then, or until the launcher has ended, or (only
# against a hang) three minutes.
bus_deadline=$((SECONDS + 180))
until gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
        --method org.freedesktop.DBus.Properties.Set org.a11y.Status IsEnabled '<true>' >/dev/null 2>&1; do
  if ! kill -0 "$bus" 2>/dev/null || [ "$SECONDS" -ge "$bus_deadline" ]; then
    echo "the accessibility bus did not come up: $(cat "$work/bus.log")" >&2
    break
  fi
  sleep 0.05
done
