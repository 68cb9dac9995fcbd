#!/usr/bin/env python3
"""The update server's answers on loopback, for the Windows tests under Wine.

httpserver.py start PORTFILE PIDFILE: listens, writes its port, then serves in the background
(for five minutes at most) while the command returns; httpserver.py stop PIDFILE ends it.
"""
import http.server
import os
import signal
import sys
import time

ROUTES = {
    "/version.txt": (200, None, b"1.2.3\r\n"),
    "/missing": (404, None, b"not here"),
    "/hop": (302, "/version.txt", b""),
    "/ftp": (302, "ftp://127.0.0.1/version.txt", b""),
    "/loop": (302, "/loop", b""),
}


class Answers(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        code, location, body = ROUTES.get(self.path, (404, None, b""))
        self.send_response(code)
        if location:
            self.send_header("Location", location)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def start(port_file, pid_file):
    server = http.server.HTTPServer(("127.0.0.1", 0), Answers)
    pid = os.fork()
    if pid:
        with open(pid_file, "w") as f:
            f.write(str(pid))
        # Written last: the port says the server is listening.
        with open(port_file, "w") as f:
            f.write(str(server.server_address[1]))
        return
    os.setsid()
    # ctest waits for the pipes it gave the command: the server holds none of them.
    devnull = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(devnull, fd)
    server.timeout = 1
    deadline = time.monotonic() + 300
    while time.monotonic() < deadline:
        server.handle_request()
    os._exit(0)


def stop(pid_file):
    with open(pid_file) as f:
        os.kill(int(f.read()), signal.SIGTERM)


if __name__ == "__main__":
    start(*sys.argv[2:4]) if sys.argv[1] == "start" else stop(sys.argv[2])
