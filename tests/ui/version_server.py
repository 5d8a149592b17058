#!/usr/bin/env python3
"""A maker's web server for the update check's tests, on 127.0.0.1 at a free port (printed first).

Paths: /newer /same /older /empty /dotted /markup and the long pages answer version pages; a page longer than the
check reads pauses one byte into the last character the check wants, so that character arrives in two parts.
/error and /error-long answer a newer version with status 500, /choices with status 300; /loop redirects to itself,
/redirect?to=ADDRESS to ADDRESS; /short promises more than it sends and closes, /garbled sends broken chunks;
/stall accepts and never answers; /big sends a 10 MB page slowly and notes in LOG how many bytes went out before the
client closed.
With CERT and KEY after LOG it speaks HTTPS. A request with an absolute address (as through a proxy) is noted as "proxy <address>" and answered
like its path; one for a host named login.* is refused with 407 unless it carries a proxy login, which is noted. Every request is noted in LOG.
"""
import base64
import http.server
import ssl
import sys
import threading
import time
import urllib.parse

log_path = sys.argv[1]
read_chars = 12 + 5000  # what the check reads of a page at most
pages = {
    "/newer": "003000000001Neue Version 3.0.0.1#mit Zeile zwei",
    "/same": "003000000000Nichts Neues",
    "/older": "002009009009Alt",
    "/empty": "",
    "/dotted": "3.0.0.1 Neue Version",
    "/markup": "003000000001<b>Neu</b><img src='http://127.0.0.1:1/bild.png'>#<a href='file:///etc'>hier</a>",
    "/umlauts-5000": "003000000001" + "ä" * 5000,
    "/umlauts-5001": "003000000001" + "ä" * 5001,
    "/emoji-5000": "003000000001" + "😀" * 5000,
    "/emoji-5001": "003000000001" + "😀" * 5001,
    "/bytes": b"003000000001Neu\x00da\xff#",
}
# Answers that are no plain page: status, extra headers, body.
answers = {
    "/error": (500, {}, "003000000001Neu"),
    "/error-long": (500, {}, "003000000001" + "Neu " * 2000),
    "/choices": (300, {}, "003000000001Neu"),
    "/loop": (302, {"Location": "/loop"}, ""),
}
# Answers broken on the way: a header and what is sent before the connection closes.
broken = {
    "/short": ("Content-Length", "20000", b"003000000001Neu"),
    "/garbled": ("Transfer-Encoding", "chunked", b"zz\r\n003000000001Neu\r\n0\r\n\r\n"),
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
            login = self.headers.get("Proxy-Authorization", "")
            if login.startswith("Basic "):
                note("proxy login " + base64.b64decode(login[6:]).decode())
            elif "//login." in path:
                self.send_response(407)
                self.send_header("Proxy-Authenticate", 'Basic realm="proxy"')
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
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
        if path in broken:
            header, value, raw = broken[path]
            self.send_response(200)
            self.send_header(header, value)
            self.end_headers()
            self.wfile.write(raw)
            self.close_connection = True
            return
        headers = {}
        if path.startswith("/redirect?"):
            status, body = 302, ""
            headers["Location"] = urllib.parse.parse_qs(path.split("?", 1)[1])["to"][0]
        elif path in answers:
            status, headers, body = answers[path]
        else:
            status, body = (200, pages[path]) if path in pages else (404, "")
        if isinstance(body, str):
            first = len(body[: read_chars - 1].encode()) + 1
            body = body.encode()
        else:
            first = len(body)
        self.send_response(status)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(body)))
        for name, value in headers.items():
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body[:first])
        self.wfile.flush()
        if first < len(body):
            time.sleep(0.3)
            self.wfile.write(body[first:])

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
