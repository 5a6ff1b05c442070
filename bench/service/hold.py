#!/usr/bin/env python3
# Holds connections open against the service while wrk measures it: IDLE connections that send
# nothing (each opened again when the service drops it) and SLOW clients that drip a request one
# byte every 200 ms and start over when dropped. Runs until killed; prints what it holds once all
# are open.
#   hold.py PORT IDLE SLOW
import resource
import selectors
import socket
import sys
import time

port, idle_count, slow_count = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3])
soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
resource.setrlimit(resource.RLIMIT_NOFILE, (hard, hard))

body = b"method=vymera.get"
slow_request = (b"POST / HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
                b"Content-Length: %d\r\n\r\n%s" % (len(body), body))
sel = selectors.DefaultSelector()
drops = {"idle": 0, "slow": 0}


def connect(kind):
    s = socket.create_connection(("127.0.0.1", port))
    s.setblocking(False)
    # For a slow client: how far through its request it is.
    sel.register(s, selectors.EVENT_READ, {"kind": kind, "at": 0})


for _ in range(idle_count):
    connect("idle")
for _ in range(slow_count):
    connect("slow")
print(f"holding {idle_count} idle connections and {slow_count} slow clients", flush=True)

next_drip = time.monotonic()
while True:
    for key, _ in sel.select(timeout=max(0.0, next_drip - time.monotonic())):
        try:
            data = key.fileobj.recv(65536)
        except OSError:
            data = b""
        if not data:
            kind = key.data["kind"]
            drops[kind] += 1
            sel.unregister(key.fileobj)
            key.fileobj.close()
            connect(kind)
    if time.monotonic() >= next_drip:
        next_drip += 0.2
        for key in list(sel.get_map().values()):
            if key.data["kind"] != "slow":
                continue
            at = key.data["at"] % len(slow_request)
            try:
                key.fileobj.send(slow_request[at:at + 1])
                key.data["at"] += 1
            except OSError:
                pass
