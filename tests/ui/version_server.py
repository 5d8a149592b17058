#!/usr/bin/env python3
"""A maker's web server for the update check's tests, on 127.0.0.1 at a free port (printed first).

Paths: /newer /same /older /empty /dotted /markup answer version pages; /stall accepts and never answers;
/big sends a 10 MB page slowly and notes in LOG how many bytes went out before the client closed.
With CERT and KEY after LOG it speaks HTTPS. A request with an absolute address (as through a proxy) is noted as "proxy <address>" and answered
like its path. Every request is noted in LOG.
"""
import http.server
import ssl
import sys
import threading
import time

log_path = sys.argv[1]
pages = {
    "/newer": "003000000001Neue Version 3.0.0.1#mit Zeile zwei",
    "/same": "003000000000Nichts Neues",
    "/older": "002009009009Alt",
    "/empty": "",
    "/dotted": "3.0.0.1 Neue Version",
    "/markup": "003000000001<b>Neu</b><img src='http://127.0.0.1:1/bild.png'>#<a href='file:///etc'>hier</a>",
}
lock = threading.Lock()


def note(line):
    with lock, open(log_path, "a") as log:
        log.write(line + "\n")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        path = self.path
        if path.startswith("http://"):
            note("proxy " + path)
            path = "/" + path.split("/", 3)[3]
        note("GET " + path + " " + self.headers.get("Accept", ""))
        if path == "/stall":
            time.sleep(30)
            return
        if path == "/big":
            total = 10 * 1024 * 1024
            self.send_response(200)
            self.send_header("Content-Type", "text/html")
            self.send_header("Content-Length", str(total))
            self.end_headers()
            chunk = ("003000000001" + "x" * (64 * 1024 - 12)).encode()
            sent = 0
            try:
                while sent < total:
                    self.wfile.write(chunk[: total - sent])
                    self.wfile.flush()
                    sent += len(chunk[: total - sent])
                    chunk = b"y" * len(chunk)
                    time.sleep(0.05)
            except OSError:
                pass
            note(f"big sent {sent}")
            return
        body = pages.get(path, "").encode()
        self.send_response(200 if path in pages else 404)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
server.daemon_threads = True
if len(sys.argv) > 3:  # CERT KEY: HTTPS
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(sys.argv[2], sys.argv[3])
    server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
