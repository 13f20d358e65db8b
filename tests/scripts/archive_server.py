#!/usr/bin/python3
"""Serves a folder over HTTP on the loopback interface, as a mirror serves a Debian archive, for
the tests of the set-up scripts: archive_server.py FOLDER PORT_FILE [PATH=COUNT...].

The port it listens on is written to PORT_FILE once it listens. Each PATH=COUNT makes the first
COUNT requests for that path answer 503 Service Unavailable, as a busy mirror's do. Every
request is logged on standard error, one line each ("GET PATH STATUS")."""

import functools
import http.server
import os
import sys


def main():
    folder, port_file = sys.argv[1], sys.argv[2]
    busy = {}
    for arg in sys.argv[3:]:
        path, count = arg.rsplit("=", 1)
        busy[path] = int(count)

    class Handler(http.server.SimpleHTTPRequestHandler):
        def do_GET(self):
            left = busy.get(self.path, 0)
            if left > 0:
                busy[self.path] = left - 1
                self.send_error(503, "Busy")
                return
            super().do_GET()

        def log_request(self, code="-", size="-"):
            sys.stderr.write(f"GET {self.path} {getattr(code, 'value', code)}\n")
            sys.stderr.flush()

        def log_message(self, format, *args):
            pass

    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(Handler, directory=folder))
    with open(port_file + ".new", "w") as f:
        f.write(f"{server.server_address[1]}\n")
    os.rename(port_file + ".new", port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
