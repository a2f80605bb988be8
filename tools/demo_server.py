#!/usr/bin/env python3
"""A loopback HTTP server for the demo and the tests.

/get.php?... answers with a redirect to /files/report.pdf (a script URL whose
file name only the final address shows); every other path gets a few bytes.

    demo_server.py [PORT]    serve until killed; prints the port first
"""
import http.server
import sys
import threading

REDIRECT_TARGET = "/files/report.pdf"


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        if self.path.startswith("/get.php"):
            self.send_response(302)
            self.send_header("Location", REDIRECT_TARGET)
            self.send_header("Content-Length", "0")
            self.end_headers()
            return
        body = b"Folderwise demo download\n" * 64
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def start(port=0):
    """Starts the server on 127.0.0.1 in a daemon thread; returns (server, port)."""
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), Handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, server.server_address[1]


if __name__ == "__main__":
    server = http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1]) if len(sys.argv) > 1 else 0), Handler)
    print(server.server_address[1], flush=True)
    server.serve_forever()
