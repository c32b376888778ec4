#!/usr/bin/env python3
"""A real SMTP server on loopback for the reporter's mail tests.

    smtp_server.py PORT OUTDIR [USER PASSWORD]

Stores every message it accepts as OUTDIR/<n>.eml; with USER and PASSWORD it
requires AUTH LOGIN with them. Prints "ready" once it listens and runs until
terminated."""
import os
import signal
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword


class Store:
    def __init__(self, outdir):
        self.outdir = outdir
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        name = os.path.join(self.outdir, "%d.eml" % self.count)
        with open(name + ".part", "wb") as f:
            f.write(envelope.original_content)
        with open(os.path.join(self.outdir, "%d.envelope" % self.count), "w") as f:
            f.write("%s\n%s\n" % (envelope.mail_from, ",".join(envelope.rcpt_tos)))
        os.rename(name + ".part", name)
        return "250 Message accepted for delivery"


def main():
    port, outdir = int(sys.argv[1]), sys.argv[2]
    kwargs = {}
    if len(sys.argv) > 4:
        user, password = sys.argv[3].encode(), sys.argv[4].encode()

        def authenticator(server, session, envelope, mechanism, auth_data):
            ok = isinstance(auth_data, LoginPassword) and auth_data.login == user and auth_data.password == password
            return AuthResult(success=ok, handled=False)

        kwargs = dict(authenticator=authenticator, auth_required=True, auth_require_tls=False)
    controller = Controller(Store(outdir), hostname="127.0.0.1", port=port, **kwargs)
    controller.start()
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    print("ready", flush=True)
    stop.wait()
    controller.stop()


if __name__ == "__main__":
    main()
