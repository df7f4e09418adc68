#!/usr/bin/env python3
"""An HTTP proxy in front of a CardDAV server that cuts connections and
answers with errors, as a network and a server in trouble do:
    fault_proxy.py TARGET_URL [--tls] [RULE ...]
It prints the port it listens on (127.0.0.1) and forwards each request to
the target; with --tls it speaks HTTPS with a self-signed certificate.
The requests of each method are counted from 1 once a POST to
/__fault_proxy__/arm arms the rules (/__fault_proxy__/disarm: at rest):
    cut:METHOD:N:WHEN     from the Nth on (a network gone down) the
                          connection is lost: "before" the server sees the
                          request, "after" it did the work, or "midbody"
    status:METHOD:N:CODE  from the Nth on, answered CODE
    body:METHOD:TEXT:CODE armed or not, those whose body holds TEXT are
                          answered CODE (a server without that request)
"""
import contextlib
import http.client
import http.server
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import urllib.parse

CONTROL = {"/__fault_proxy__/arm": True, "/__fault_proxy__/disarm": False}
HOP_HEADERS = ("host", "connection", "keep-alive", "transfer-encoding", "content-length")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    target = None
    rules = []  # [kind, METHOD, N or TEXT, WHEN or CODE]
    armed = False
    counts = {}
    lock = threading.Lock()

    def log_message(self, format, *args):
        pass

    def action(self, body):
        """None, ("cut", WHEN) or ("status", CODE) for this request."""
        with Handler.lock:
            if self.path in CONTROL:
                Handler.armed, Handler.counts = CONTROL[self.path], {}
                return ("status", 204)
            if Handler.armed:
                Handler.counts[self.command] = Handler.counts.get(self.command, 0) + 1
            seen = Handler.counts.get(self.command, 0)
            for kind, method, what, then in Handler.rules:
                if method == self.command and (what.encode() in body if kind == "body"
                                               else Handler.armed and seen >= int(what)):
                    return ("cut", then) if kind == "cut" else ("status", int(then))
            return None

    def cut(self):
        self.close_connection = True
        with contextlib.suppress(OSError):
            self.connection.shutdown(socket.SHUT_RDWR)

    def answer(self, status, reason, headers, body, half=False):
        """Sends the answer; with `half` only half of its body."""
        self.send_response(status, reason)
        for key, value in headers:
            if key.lower() not in HOP_HEADERS + ("server", "date"):
                self.send_header(key, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body[: len(body) // 2] if half else body)
        self.wfile.flush()

    def handle_any(self):
        body = self.rfile.read(int(self.headers.get("Content-Length") or 0))
        action = self.action(body)
        if action == ("cut", "before"):
            return self.cut()
        if action and action[0] == "status":
            return self.answer(action[1], None, [], b"")
        target = Handler.target
        connection = http.client.HTTPConnection(target.hostname, target.port, timeout=120)
        headers = {k: v for k, v in self.headers.items() if k.lower() not in HOP_HEADERS}
        headers["Host"] = target.netloc
        connection.request(self.command, self.path, body=body, headers=headers)
        response = connection.getresponse()
        data = response.read()
        connection.close()
        if action == ("cut", "after"):
            return self.cut()
        midbody = action == ("cut", "midbody")
        self.answer(response.status, response.reason, response.getheaders(), data, midbody)
        if midbody:
            self.cut()

    do_GET = do_PUT = do_POST = do_DELETE = do_PROPFIND = do_REPORT = do_MKCOL = handle_any


def main():
    arguments = sys.argv[2:]
    Handler.target = urllib.parse.urlsplit(sys.argv[1])
    Handler.rules = [rule.split(":", 3) for rule in arguments if not rule.startswith("--")]
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if "--tls" in arguments:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        with tempfile.TemporaryDirectory() as folder:
            cert, key = folder + "/cert.pem", folder + "/key.pem"
            subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                            "-subj", "/CN=Quillbox Test Server", "-keyout", key, "-out", cert],
                           check=True, capture_output=True)
            context.load_cert_chain(cert, key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
