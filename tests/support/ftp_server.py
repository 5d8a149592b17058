#!/usr/bin/python3
"""A real FTP server on 127.0.0.1 for the tests: one user, a root folder, and a log of every
command it receives (one line each, in COMMANDS_LOG). Prints its port on the first line of
standard output, then serves until it is terminated.

    ftp_server.py ROOT USER PASSWORD COMMANDS_LOG [BEHAVIOUR...]

Each BEHAVIOUR makes the server misbehave in one way, as real servers and links do:
    cut=BYTES               an upload's data connection is cut after BYTES, answered by 426
    stall=BYTES             an upload's data is no longer read after BYTES, as behind a broken link
    late=SECONDS:CMD,CMD    the replies to these commands come SECONDS late
    refuse=CMD:REPLY        the command is answered with REPLY and not carried out
    no-replace-on-rename    RNTO onto an existing file is refused (as IIS does by default)
"""
import socket
import sys
import time

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import DTPHandler, FTPHandler
from pyftpdlib.servers import FTPServer

root, user, password, log_path = sys.argv[1:5]
log = open(log_path, "a", buffering=1)
cut_after = None
stall_after = None
late = {}
refused = {}
replace_on_rename = True
for behaviour in sys.argv[5:]:
    name, _, value = behaviour.partition("=")
    if name == "cut":
        cut_after = int(value)
    elif name == "stall":
        stall_after = int(value)
    elif name == "late":
        seconds, _, commands = value.partition(":")
        for command in commands.split(","):
            late[command.upper()] = float(seconds)
    elif name == "refuse":
        command, _, reply = value.partition(":")
        refused[command.upper()] = reply
    elif name == "no-replace-on-rename":
        replace_on_rename = False
    else:
        sys.exit("unknown behaviour " + behaviour)


class MisbehavingDTPHandler(DTPHandler):
    """Cuts or stalls an upload after so many bytes."""

    def __init__(self, sock, cmd_channel):
        super().__init__(sock, cmd_channel)
        if stall_after is not None:
            # Little room in the buffers: the sender notices the stall soon.
            self.socket.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)

    def handle_read(self):
        super().handle_read()
        if not self.receive or self._closed:
            return
        if cut_after is not None and self.tot_bytes_received >= cut_after:
            self._resp = ("426 Verbindung unterbrochen; Übertragung abgebrochen.", lambda message: None)
            self.close()
        elif stall_after is not None and self.tot_bytes_received >= stall_after:
            self.del_channel()  # never read again, closed with the control connection

    handle_read_event = handle_read


class LoggingHandler(FTPHandler):
    dtp_handler = MisbehavingDTPHandler
    auth_failed_timeout = 0  # a wrong password is answered at once
    _pending = None

    def pre_process_command(self, line, cmd, arg):
        log.write((cmd + (" " + arg if arg and cmd != "PASS" else "")).strip() + "\n")
        self._pending = cmd
        if cmd in refused:
            self.respond(refused[cmd])
            return
        return super().pre_process_command(line, cmd, arg)

    def respond(self, resp, **logging):
        # Blocks the whole server for a moment: fine for the one client of a test.
        if self._pending in late:
            time.sleep(late[self._pending])
            self._pending = None
        super().respond(resp, **logging)

    def ftp_RNTO(self, path):
        if not replace_on_rename and self.fs.lexists(path):
            self._rnfr = None
            self.respond("550 Cannot create a file when that file already exists.")
            return
        return super().ftp_RNTO(path)

    def on_connect(self):
        log.write("CONNECT\n")


authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")
LoggingHandler.authorizer = authorizer
LoggingHandler.permit_foreign_addresses = True
server = FTPServer(("127.0.0.1", 0), LoggingHandler)
print(server.address[1], flush=True)
server.serve_forever()
