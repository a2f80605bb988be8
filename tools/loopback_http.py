#!/usr/bin/env python3
"""A small HTTP server on 127.0.0.1 for the redirect-resolution tests and the
benchmark. Writes "<port> <closed-port>" to --port-file once it listens; the
closed port is one on which nothing listens. Ends by itself after --lifetime
seconds so that a run that forgets to stop it leaves nothing behind.

Paths:
  /files/<name>       200 with 64 KiB of data
  /get.php?...        302 (absolute Location) to /step2.asp, which answers
                      302 (relative Location) to /files/report.pdf
  /slow.php?...       waits 4 s, then answers as /get.php (a Cancel to test)
  /close              closes the connection without sending anything
  /download?id=42     200 with Content-Disposition: attachment;
                      filename="Quarterly report.pdf"
  /cd?h=V[&h=V...]    200 with one Content-Disposition header per h, each
                      the percent-decoded V sent as its raw bytes
  /cd302?h=V...       302 to /cd?h=V... (the same query), so the header
                      comes with the redirect's target
  /log...             the paths asked for so far, one a line (then cleared);
                      any query keeps caches out of the way
"""
import argparse
import http.server
import os
import socket
import socketserver
import threading
import time
import urllib.parse

BODY = bytes(range(256)) * 256
requests = []
lock = threading.Lock()


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        with lock:
            if not self.path.startswith("/log"):
                requests.append(self.path)
        if self.path == "/close":
            self.close_connection = True
            return
        if self.path.startswith("/log"):
            with lock:
                text = "".join(p + "\n" for p in requests).encode()
                requests.clear()
            return self.reply(200, "text/plain", text)
        if self.path.startswith("/slow.php"):
            time.sleep(4)
            return self.redirect("http://127.0.0.1:%d/step2.asp" % self.server.server_address[1])
        if self.path.startswith("/get.php"):
            return self.redirect("http://127.0.0.1:%d/step2.asp" % self.server.server_address[1])
        if self.path == "/step2.asp":
            return self.redirect("/files/report.pdf")
        if self.path.startswith("/files/"):
            return self.reply(200, "application/octet-stream", BODY)
        if self.path.startswith("/download?id=42"):
            return self.reply(200, "application/octet-stream", BODY,
                              [b'attachment; filename="Quarterly report.pdf"'])
        url = urllib.parse.urlsplit(self.path)
        if url.path == "/cd302":
            return self.redirect("/cd?" + url.query)
        if url.path == "/cd":
            # Bytes as they are: a test may send what no sane server would.
            values = [urllib.parse.unquote_to_bytes(part[2:])
                      for part in url.query.split("&") if part.startswith("h=")]
            return self.reply(200, "application/octet-stream", BODY, values)
        self.reply(404, "text/plain", b"not found\n")

    def redirect(self, location):
        self.send_response(302)
        self.send_header("Location", location)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def reply(self, code, kind, body, dispositions=()):
        self.send_response(code)
        self.send_header("Content-Type", kind)
        for value in dispositions:
            # Latin-1 maps every byte to itself.
            self.send_header("Content-Disposition", value.decode("latin-1"))
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-store")
        self.end_headers()
        self.wfile.write(body)


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port-file", required=True)
    ap.add_argument("--lifetime", type=float, default=900)
    args = ap.parse_args()
    server = Server(("127.0.0.1", 0), Handler)
    closed = free_port()
    while closed == server.server_address[1]:
        closed = free_port()
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write("%d %d\n" % (server.server_address[1], closed))
    os.replace(tmp, args.port_file)
    threading.Timer(args.lifetime, lambda: os._exit(0)).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
