#!/usr/bin/env python3
"""An RFC 3161 time-stamp authority on the loopback address: each query POSTed over HTTP is answered by
`openssl ts -reply` with the given configuration.
   timestamp_server.py TS_CONFIG PORT_FILE    serves until ended; writes the port it took into PORT_FILE"""
import http.server
import os
import subprocess
import sys

config, port_file = sys.argv[1], sys.argv[2]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
        reply = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile", "/dev/stdin"],
                               input=query, capture_output=True)
        if reply.returncode != 0 or not reply.stdout:
            sys.stderr.write(reply.stderr.decode(errors="replace"))
            self.send_error(500)
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply.stdout)))
        self.end_headers()
        self.wfile.write(reply.stdout)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
with open(port_file + ".new", "w") as f:
    f.write(str(server.server_address[1]))
os.rename(port_file + ".new", port_file)
server.serve_forever()
