#!/usr/bin/env python3
"""A small HTTP proxy in front of a CardDAV server that injects faults, for
the sync tests: it cuts connections in the middle of a request and answers
with errors, as a network and a server in trouble do.

    fault_proxy.py TARGET_URL [--disarmed] [--tls CERT KEY] [RULE ...]

It listens on a free port of 127.0.0.1, prints that port on a line of its
own, and forwards every request to TARGET_URL (scheme, host and port) until
it is stopped.  Each RULE is applied to the requests it matches, counted
from 1:

    cut:METHOD:N:WHEN     the Nth METHOD request loses its connection
                          ("N+": the Nth and every later one, a network
                          gone down); WHEN is "before" (the server never
                          sees it), "after" (the server does the work, the
                          answer is lost) or "midbody" (half of the answer
                          arrives)
    status:METHOD:N:CODE  the Nth METHOD request is answered CODE without
                          reaching the server ("*" for N: every one)
    body:METHOD:TEXT:CODE every METHOD request whose body holds TEXT is
                          answered CODE (a server without that report)

METHOD "*" matches any method.  Every request is logged on standard error
as "METHOD PATH STATUS".  With --disarmed the rules wait until a POST to
/__fault_proxy__/arm (answered 204, not forwarded) arms them; the counts
start then.  A POST to /__fault_proxy__/disarm puts them to rest again.
With --tls it speaks HTTPS to its clients with the certificate CERT and its
private key KEY (PEM files): a server whose certificate nobody trusts.
"""
import http.client
import http.server
import socket
import ssl
import sys
import threading
import urllib.parse


ARM_PATH = "/__fault_proxy__/arm"
DISARM_PATH = "/__fault_proxy__/disarm"


class Rules:
    def __init__(self, texts, armed):
        self.lock = threading.Lock()
        self.counts = {}
        self.armed = armed
        self.rules = [text.split(":", 3) for text in texts]

    def arm(self, armed):
        with self.lock:
            self.armed = armed
            self.counts = {}

    def match(self, method, body):
        """The action for this request: None, ("cut", when) or ("status", code)."""
        with self.lock:
            if not self.armed:
                return None
            self.counts[method] = self.counts.get(method, 0) + 1
            seen = self.counts[method]
            for rule in self.rules:
                kind, rule_method = rule[0], rule[1]
                if rule_method not in ("*", method):
                    continue
                if kind == "cut" and rule[2].endswith("+") and seen >= int(rule[2][:-1]):
                    return ("cut", rule[3])
                if kind == "cut" and not rule[2].endswith("+") and int(rule[2]) == seen:
                    return ("cut", rule[3])
                if kind == "status" and (rule[2] == "*" or int(rule[2]) == seen):
                    return ("status", int(rule[3]))
                if kind == "body" and rule[2].encode() in body:
                    return ("status", int(rule[3]))
            return None


def make_handler(target, rules):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, format, *args):
            pass

        def log(self, status):
            sys.stderr.write("%s %s %s\n" % (self.command, self.path, status))
            sys.stderr.flush()

        def cut(self):
            self.close_connection = True
            try:
                self.connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass

        def handle_any(self):
            length = int(self.headers.get("Content-Length") or 0)
            body = self.rfile.read(length) if length else b""
            if self.path in (ARM_PATH, DISARM_PATH):
                rules.arm(self.path == ARM_PATH)
                self.send_response(204)
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            action = rules.match(self.command, body)
            if action and action[0] == "cut" and action[1] == "before":
                self.log("cut-before")
                return self.cut()
            if action and action[0] == "status":
                payload = b"injected fault\n"
                self.send_response(action[1])
                self.send_header("Content-Type", "text/plain")
                self.send_header("Content-Length", str(len(payload)))
                self.end_headers()
                self.wfile.write(payload)
                self.log("%d-injected" % action[1])
                return
            connection = http.client.HTTPConnection(target.hostname, target.port, timeout=120)
            headers = {k: v for k, v in self.headers.items()
                       if k.lower() not in ("host", "connection", "keep-alive", "content-length")}
            headers["Host"] = "%s:%d" % (target.hostname, target.port)
            connection.request(self.command, self.path, body=body, headers=headers)
            response = connection.getresponse()
            answer = response.read()
            connection.close()
            if action and action[1] == "after":
                self.log("%d-cut-after" % response.status)
                return self.cut()
            self.send_response(response.status, response.reason)
            for key, value in response.getheaders():
                if key.lower() not in ("connection", "keep-alive", "transfer-encoding",
                                       "content-length", "server", "date"):
                    self.send_header(key, value)
            self.send_header("Content-Length", str(len(answer)))
            self.end_headers()
            if action and action[1] == "midbody":
                self.wfile.write(answer[: len(answer) // 2])
                self.wfile.flush()
                self.log("%d-cut-midbody" % response.status)
                return self.cut()
            self.wfile.write(answer)
            self.log(response.status)

    for method in ("GET", "HEAD", "PUT", "POST", "DELETE", "OPTIONS", "PROPFIND",
                   "PROPPATCH", "REPORT", "MKCOL", "MOVE", "COPY"):
        setattr(Handler, "do_" + method, Handler.handle_any)
    return Handler


def main():
    if len(sys.argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    target = urllib.parse.urlsplit(sys.argv[1])
    texts = sys.argv[2:]
    tls = None
    if "--tls" in texts:
        at = texts.index("--tls")
        tls = texts[at + 1:at + 3]
        del texts[at:at + 3]
    armed = "--disarmed" not in texts
    rules = Rules([text for text in texts if text != "--disarmed"], armed)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), make_handler(target, rules))
    server.daemon_threads = True
    if tls:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(tls[0], tls[1])
        server.socket = context.wrap_socket(server.socket, server_side=True)
    sys.stdout.write("%d\n" % server.server_address[1])
    sys.stdout.flush()
    server.serve_forever()
    return 0


if __name__ == "__main__":
    sys.exit(main())
