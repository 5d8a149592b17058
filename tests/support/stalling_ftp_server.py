#!/usr/bin/python3
"""An FTP server on 127.0.0.1 that takes the first 64 KiB of an upload and then stops reading,
as a server behind a broken link does. Passive mode only. Prints its port on the first line of
standard output, then serves one client until it is terminated.

    stalling_ftp_server.py
"""
import socket
import time

control = socket.socket()
control.bind(("127.0.0.1", 0))
control.listen()
print(control.getsockname()[1], flush=True)
client, _ = control.accept()
client.sendall(b"220 bereit\r\n")
data_listener = None
held = []
buffer = b""
while True:
    chunk = client.recv(4096)
    if not chunk:
        break
    buffer += chunk
    while b"\r\n" in buffer:
        line, buffer = buffer.split(b"\r\n", 1)
        command = line.split(b" ", 1)[0].upper()
        if command == b"USER":
            client.sendall(b"331 Kennwort\r\n")
        elif command == b"PASS":
            client.sendall(b"230 angemeldet\r\n")
        elif command == b"PWD":
            client.sendall(b'257 "/"\r\n')
        elif command in (b"TYPE", b"CWD", b"MKD", b"CDUP"):
            client.sendall(b"250 ok\r\n")
        elif command == b"SYST":
            client.sendall(b"215 UNIX\r\n")
        elif command == b"PASV":
            data_listener = socket.socket()
            data_listener.bind(("127.0.0.1", 0))
            data_listener.listen()
            port = data_listener.getsockname()[1]
            client.sendall(b"227 passiv (127,0,0,1,%d,%d)\r\n" % (port // 256, port % 256))
        elif command == b"STOR":
            client.sendall(b"150 los\r\n")
            data, _ = data_listener.accept()
            data.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
            received = 0
            while received < 65536:
                part = data.recv(4096)
                if not part:
                    break
                received += len(part)
            held.append(data)  # never read again, never closed
            while True:
                time.sleep(60)
        else:
            client.sendall(b"502 nein\r\n")
