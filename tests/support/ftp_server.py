#!/usr/bin/python3
"""A real FTP server on 127.0.0.1 for the tests: one user, a root folder, and a log of every
command it receives (one line each, in COMMANDS_LOG). Prints its port on the first line of
standard output, then serves until it is terminated.

    ftp_server.py ROOT USER PASSWORD COMMANDS_LOG
"""
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

root, user, password, log_path = sys.argv[1:5]
log = open(log_path, "a", buffering=1)


class LoggingHandler(FTPHandler):
    def pre_process_command(self, line, cmd, arg):
        log.write((cmd + (" " + arg if arg and cmd != "PASS" else "")).strip() + "\n")
        return super().pre_process_command(line, cmd, arg)

    def on_connect(self):
        log.write("CONNECT\n")


authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")
LoggingHandler.authorizer = authorizer
LoggingHandler.permit_foreign_addresses = True
server = FTPServer(("127.0.0.1", 0), LoggingHandler)
print(server.address[1], flush=True)
server.serve_forever()
