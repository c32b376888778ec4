#!/usr/bin/env python3
"""Takes a received message apart with Python's standard MIME parser.

    read_mail.py MESSAGE OUTDIR

Writes OUTDIR/headers (one "Name: value" line each), OUTDIR/parts (one line
per part: content type, transfer encoding, file name or "-"), OUTDIR/body
(the decoded text part) and each attachment decoded under its file name.
Exits non-zero when the message is not a well-formed multipart message."""
import email
import email.policy
import os
import sys


def main():
    with open(sys.argv[1], "rb") as f:
        message = email.message_from_binary_file(f, policy=email.policy.default)
    outdir = sys.argv[2]
    if not message.is_multipart() or message.defects:
        print("malformed:", message.defects, file=sys.stderr)
        sys.exit(1)
    with open(os.path.join(outdir, "headers"), "w") as f:
        for name in ("Date", "From", "To", "Subject", "MIME-Version", "X-Priority", "X-Library"):
            f.write("%s: %s\n" % (name, message[name]))
        f.write("boundary: %s\n" % message.get_boundary())
    with open(os.path.join(outdir, "parts"), "w") as f:
        for part in message.iter_parts():
            if part.defects:
                print("malformed part:", part.defects, file=sys.stderr)
                sys.exit(1)
            name = part.get_filename()
            f.write("%s %s %s\n" % (part.get_content_type(), part["Content-Transfer-Encoding"], name or "-"))
            data = part.get_payload(decode=True)
            with open(os.path.join(outdir, name if name else "body"), "wb") as out:
                out.write(data)


if __name__ == "__main__":
    main()
