#!/usr/bin/env python3
"""A Debian mirror out of step, for tools/fresh_machine.sh: passes every GET on
to the real mirror, except the indexes under one suite's i386 folder, which it
serves cut short, as a mirror in the middle of a sync does.

usage: out_of_step_mirror.py UPSTREAM PORT CUT
  UPSTREAM  scheme and host of the real mirror (http://host)
  PORT      the port on 127.0.0.1 to listen on
  CUT       the path part to cut short, e.g. dists/bookworm-security/main/binary-i386/
"""
import shutil
import sys
import urllib.error
import urllib.request
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer

UPSTREAM, PORT, CUT = sys.argv[1].rstrip("/"), int(sys.argv[2]), sys.argv[3]


class PassThrough(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def do_GET(self):
        try:
            upstream = urllib.request.urlopen(UPSTREAM + self.path, timeout=60)
        except urllib.error.HTTPError as error:
            self.send_response(error.code)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        with upstream:
            length = upstream.headers["Content-Length"]
            if CUT in self.path or length is None:
                body = upstream.read()
                if CUT in self.path:
                    body = body[: len(body) * 3 // 4]
                    self.log_message("cut short: %s", self.path)
                self.send_response(200)
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)
                return
            self.send_response(200)
            self.send_header("Content-Length", length)
            self.end_headers()
            shutil.copyfileobj(upstream, self.wfile, 1 << 20)


ThreadingHTTPServer(("127.0.0.1", PORT), PassThrough).serve_forever()
