# Sourced by the screen-reader tests, in a D-Bus session of their own: starts the accessibility
# bus and turns it on, as a desktop with a screen reader does; Qt programs started after this
# join it. Its log goes to $work/bus.log; the bus launcher's process is $bus.
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>"$work/bus.log" &
bus=$!
for _ in $(seq 100); do
  gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
    --method org.freedesktop.DBus.Properties.Set org.a11y.Status IsEnabled '<true>' \
    >/dev/null 2>&1 && break
  sleep 0.05
done
