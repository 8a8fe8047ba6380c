"""The two HTTP instances (primary and backup) over one store, and the
control request through which tests drive them."""
import datetime
import json
import os
import re
import socket
import struct
import sys
import threading
import time
import traceback
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, unquote_to_bytes

import pages
from control import DOWN_MODES, TRANSFER_FAULTS, ControlError, FaultBook, RequestLog, Settings, make_fault
from demo import seed_demo, seed_many
from exchange import Exchange, Refusal, refusal_text
from store import Store, password_digest
from wire import REPLY_CONTENT_TYPE, decode_body, encode_reply, service_time_text

BASE_PATH = "/do/"
MAX_BODY = 1 << 20
HANG_LIMIT = 600
LOGGED_REPLY = 4000


class Reply:
    def __init__(self, status, text=None, data=None, content_type=REPLY_CONTENT_TYPE, note="", pace=None):
        self.status = status
        self.text = text
        self.data = encode_reply(text) if data is None else data
        self.content_type = content_type
        self.note = note
        # (bytes sent at once, seconds of silence, "finish" or "close"): a
        # body that stalls after its headers, then comes or is cut off.
        self.pace = pace
        # A transfer fault (reset_in_body, long_length, chunked,
        # close_delimited, trickle_body, huge_reply): how the bytes travel.
        self.transfer = None


def _json_reply(status, value):
    return Reply(status, data=json.dumps(value, ensure_ascii=False).encode("utf-8"),
                 content_type="application/json; charset=utf-8")


# Instead of a reply: close the connection at once, without a word.
DROP = Reply(0, "", note="connection dropped")


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, fmt, *args):
        pass  # the service writes its own log

    def do_GET(self):
        self._serve("GET")

    def do_POST(self):
        self._serve("POST")

    def _serve(self, method):
        try:
            length = int(self.headers.get("Content-Length") or 0)
        except ValueError:
            length = -1
        if not 0 <= length <= MAX_BODY:
            self._send(Reply(413, "bad body length"))
            return
        body = self.rfile.read(length) if length > 0 else b""
        reply = self.server.instance.service.dispatch(self.server.instance, method, self.path, body)
        if reply is DROP:
            # RST rather than FIN, so that the client sees a failed transfer.
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.close_connection = True
            return
        self._send(reply)

    def _send(self, reply):
        self.close_connection = True
        transfer = reply.transfer or {}
        kind = transfer.get("kind")
        framing = transfer["framing"] if kind == "huge_reply" else None
        size = int(transfer["megabytes"] * (1 << 20)) if kind == "huge_reply" else len(reply.data)
        try:
            self.send_response(reply.status)
            self.send_header("Content-Type", reply.content_type)
            if kind == "chunked" or framing == "chunked":
                self.send_header("Transfer-Encoding", "chunked")
            elif framing != "close" and kind != "close_delimited":
                self.send_header("Content-Length", str(size + (transfer["extra"] if kind == "long_length" else 0)))
            self.send_header("Cache-Control", "no-cache")
            self.send_header("Pragma", "no-cache")
            self.send_header("Connection", "close")
            self.end_headers()
            if kind == "reset_in_body":
                self.wfile.write(reply.data[:transfer["bytes"]])
                self._reset()
            elif kind == "chunked":
                self._send_chunks(reply.data, transfer)
            elif kind == "trickle_body":
                step = transfer["bytes"]
                for at in range(0, len(reply.data), step):
                    if at:
                        time.sleep(transfer["interval"])
                    self.wfile.write(reply.data[at:at + step])
            elif kind == "huge_reply":
                self._send_huge(reply.data, size, framing == "chunked", transfer)
            elif reply.pace is None:
                self.wfile.write(reply.data)
            else:
                after, seconds, then = reply.pace
                self.wfile.write(reply.data[:after])
                self.wfile.flush()
                time.sleep(seconds)
                if then == "close":
                    self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                    return
                self.wfile.write(reply.data[after:])
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client gave up waiting, as it does after a delay

    def _reset(self):
        """Ends the connection at once with RST, after what was written. (The
        server's own ending would send FIN first, which reads as a whole reply.)"""
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        os.close(self.connection.detach())

    def _send_chunks(self, data, transfer):
        broken = transfer["broken"]
        after = len(data) // 2 if transfer["after"] is None else min(transfer["after"], len(data))
        end = after if broken else len(data)
        for at in range(0, end, transfer["chunk"]):
            piece = data[at:min(at + transfer["chunk"], end)]
            self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
        rest = data[end:]
        if broken is None:
            self.wfile.write(b"0\r\n\r\n")
        elif broken == "bad_size":
            self.wfile.write(b"zz\r\n%s\r\n0\r\n\r\n" % rest)
        elif broken == "short_chunk":
            self.wfile.write(b"%x\r\n%s" % (len(rest) + 100, rest))
        # "cut": no last chunk; the connection simply closes.

    def _send_huge(self, data, size, chunked, transfer):
        data = data or b" "
        block = data * max(1, (1 << 16) // len(data))
        sent = 0
        while sent < size:
            if sent and transfer["interval"]:
                time.sleep(transfer["interval"])
            piece = block[:size - sent]
            if transfer["held"] and sent + len(piece) >= size:
                self.wfile.flush()
                self.server.instance.faults.wait_released(transfer, HANG_LIMIT)
            self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece) if chunked else piece)
            sent += len(piece)
        if chunked:
            self.wfile.write(b"0\r\n\r\n")


class Server(ThreadingHTTPServer):
    daemon_threads = True
    block_on_close = False
    allow_reuse_address = True


class Instance:
    """One of the two addresses; it can stop answering on its own."""

    def __init__(self, service, name, host, port):
        self.service = service
        self.name = name
        self.host = host
        self.port = port
        self.faults = FaultBook()
        # Paths a hostile descriptor listed (path -> size), served until the
        # faults are cleared.
        self.unsafe_served = {}
        self.log = RequestLog()
        self.down = None
        self._up = threading.Event()
        self._up.set()
        self._server = None
        self._lock = threading.Lock()
        # Connections of "another program" to this address: opened and never used.
        self._idle = []

    @property
    def base_url(self):
        return "http://%s:%d%s" % (self.host, self.port, BASE_PATH)

    @property
    def site(self):
        """The web site's root at this address."""
        return "http://%s:%d/" % (self.host, self.port)

    def listen(self):
        with self._lock:
            if self._server is not None:
                return
            self._server = Server((self.host, self.port), Handler)
            self._server.instance = self
            self.port = self._server.server_address[1]
            threading.Thread(target=self._server.serve_forever, args=(0.05,),
                             name="service-" + self.name, daemon=True).start()

    def close(self):
        with self._lock:
            server, self._server = self._server, None
        if server is not None:
            server.shutdown()
            server.server_close()

    def set_down(self, mode):
        if mode not in DOWN_MODES:
            raise ControlError("mode must be one of %s" % ", ".join(DOWN_MODES))
        self.down = mode
        self._up.clear()
        if mode == "refuse":
            self.close()

    def set_up(self):
        self.down = None
        self._up.set()
        self.listen()

    def stop(self):
        self._up.set()  # lets hanging requests go
        self.faults.release()
        self.hold_idle(0)
        self.close()

    def hold_idle(self, count):
        """Holds `count` connections to this address open without a word, as a
        browser open on the site keeps idle connections (0 closes them)."""
        if not isinstance(count, int) or not 0 <= count <= 64:
            raise ControlError("count must be a whole number from 0 to 64")
        for conn in self._idle:
            conn.close()
        self._idle = []
        try:
            for _ in range(count):
                self._idle.append(socket.create_connection((self.host, self.port), timeout=5))
        except OSError as e:
            raise ControlError("cannot connect to %s:%d: %s" % (self.host, self.port, e))

    def wait_until_up(self):
        self._up.wait(HANG_LIMIT)

    def state(self, log_count):
        return {"name": self.name, "port": self.port, "base_url": self.base_url, "down": self.down,
                "faults": self.faults.listing(), "requests": self.log.latest(log_count)}


class Service:
    def __init__(self, data_dir, update_dir=None, host="127.0.0.1", primary_port=18080,
                 backup_port=18081, echo=False, **settings):
        self.data_dir = data_dir
        self.update_dir = update_dir
        self.store = Store(data_dir)
        self.settings = Settings(**settings)
        self.echo = echo
        self._log_lock = threading.Lock()
        self._memo_lock = threading.Lock()
        self._memo = {}
        self._log_file = open(os.path.join(data_dir, "service.log"), "a", encoding="utf-8")
        self._stopping = threading.Event()
        self.instances = {"primary": Instance(self, "primary", host, primary_port),
                          "backup": Instance(self, "backup", host, backup_port)}

    # -- life

    def start(self):
        for instance in self.instances.values():
            instance.listen()

    def stop(self):
        self._stopping.set()
        for instance in self.instances.values():
            instance.stop()
        self.store.close()
        self._log_file.close()

    # A large account's lists and snapshot take seconds to compute; each is
    # kept until the projects change (the store's version moves on).
    def memo(self, key, compute):
        version = self.store.version
        with self._memo_lock:
            if key in self._memo.get(version, {}):
                return self._memo[version][key]
        value = compute()
        with self._memo_lock:
            self._memo = {version: self._memo.get(version, {})}
            self._memo[version][key] = value
        return value

    def seed_demo(self):
        return seed_demo(self.store, self.now().date())

    # -- clock

    def now(self):
        return datetime.datetime.now() + datetime.timedelta(seconds=self.settings["clock_offset"])

    # -- log

    def log_line(self, text):
        line = "%s %s" % (service_time_text(datetime.datetime.now()), text)
        with self._log_lock:
            self._log_file.write(line + "\n")
            self._log_file.flush()
            if self.echo:
                print(line, file=sys.stderr, flush=True)

    def _record(self, instance, method, path, query, body, target, reply, fields=None):
        entry = {"time": service_time_text(datetime.datetime.now()), "method": method, "path": path,
                 "query": query, "raw": body.decode("latin-1"), "fields": fields, "target": target,
                 "status": reply.status, "reply": (reply.text or "")[:LOGGED_REPLY], "note": reply.note}
        instance.log.add(entry)
        self.log_line("[%s] %s %s%s %s -> %s %dB%s | body=%r" % (
            instance.name, method, path, "?" + query if query else "", target, reply.status or "drop",
            len(reply.data), " (" + reply.note + ")" if reply.note else "", entry["raw"]))

    # -- requests

    def dispatch(self, instance, method, raw_path, body):
        path, _, query = raw_path.partition("?")
        path = re.sub("/+", "/", path)
        if path == "/_control":
            return self.control(instance, method, query, body)
        target, respond = self._route(instance, path)
        if instance.down:
            if instance.down == "hang":
                instance.wait_until_up()
            self._record(instance, method, path, query, body, target,
                         Reply(DROP.status, "", note="not answering (%s)" % instance.down))
            return DROP
        fields = None
        exchange = None
        try:
            if target == "update":
                reply = respond()
            elif respond is not None:
                reply = self._faults_before_content(instance, target) or respond()
            else:
                exchange = Exchange(self, instance, decode_body(body))
                fields = exchange.form.as_dict()
                target = exchange.action
                reply = self._softcenter(instance, exchange, method)
        except Exception:  # a bad request must never take the service down
            # A login that fails inside the service is the system error "-4".
            login = exchange is not None and exchange.action in ("login", "relogin")
            reply = Reply(500, "-4|" if login else "-9|", note="internal error: " + traceback.format_exc())
        if target != "update" and reply is not DROP:
            reply = self._transfer_faults(instance, target, reply)
        self._record(instance, method, path, query, body, target, reply, fields)
        return reply

    def _transfer_faults(self, instance, target, reply, path=None):
        """The first transfer fault that hits the reply decides how it travels."""
        for kind in TRANSFER_FAULTS:
            fault = instance.faults.take(kind, target, path)
            if fault:
                reply.transfer = fault
                reply.note = (reply.note + ", " if reply.note else "") + "fault: " + kind
                break
        return reply

    def _route(self, instance, path):
        """(log target, reply maker) of a path; softcenter.asp answers through
        `_softcenter`."""
        if path == BASE_PATH + "softcenter.asp":
            return "softcenter", None
        if path == BASE_PATH + "status.shtml":
            return "notice", lambda: Reply(200, pages.notice_page(self.settings["notice"], instance.site))
        if path.startswith(BASE_PATH + "update/"):
            return "update", lambda: self._update_reply(instance, path[len(BASE_PATH + "update/"):])
        for prefix in ("/", BASE_PATH):
            if path == prefix + pages.NEVER_PAGE:
                return "page", self._never
            if path == prefix + "notice.html":
                return "page", lambda: Reply(200, pages.recommended_page())
            if path.startswith(prefix) and path[len(prefix):] in pages.SITE_PAGES:
                return "page", lambda: Reply(200, pages.site_page(pages.SITE_PAGES[path[len(prefix):]]))
        return "missing", lambda: Reply(404, "not found", note="no such page")

    def _never(self):
        """No reply until the service stops (at the latest after HANG_LIMIT)."""
        self._stopping.wait(HANG_LIMIT)
        return DROP

    def _faults_before_content(self, instance, target, path=None):
        """Faults that replace the reply whatever it would have held."""
        fault = instance.faults.take("hold", target, path)
        if fault:
            instance.faults.wait_released(fault, HANG_LIMIT)
        fault = instance.faults.take("delay", target, path)
        if fault:
            time.sleep(fault["seconds"])
        if instance.faults.take("drop", target, path):
            return DROP
        if instance.faults.take("empty", target, path):
            return Reply(200, "", note="fault: empty")
        fault = instance.faults.take("http500", target, path)
        if fault:
            return Reply(500, pages.error_page(fault["pipe"]), note="fault: http500")
        return None

    def _softcenter(self, instance, exchange, method):
        action = exchange.action
        reply = self._faults_before_content(instance, action)
        if reply is not None:
            return reply
        if method != "POST":
            return Reply(400, "-9|", note="bad request: %s without a body" % method)
        if instance.faults.take("err", action):
            return Reply(200, "err=" + service_time_text(self.now()), note="fault: err")
        stale = exchange.token_problem()
        if stale:
            return Reply(200, "err=" + stale, note="stale or missing token %r" % exchange.form.get("session"))
        fault = instance.faults.take("refusal", action)
        if fault:
            return Reply(200, fault["code"] + "|", note="fault: refusal")
        if instance.faults.take("internal_error", action):
            raise RuntimeError("fault: internal_error")
        fault = instance.faults.take("fail_message", action)
        if fault:
            return Reply(200, "-F|" + fault["message"], note="fault: fail_message")
        try:
            text = exchange.reply()
        except Refusal as refusal:
            kind = "bad request" if refusal.bad_request else "refused"
            return Reply(400 if refusal.bad_request else 200, refusal_text(action, refusal),
                         note="%s: %s" % (kind, refusal.message))
        # What the action changed is stored by now, whatever becomes of its reply.
        fault = instance.faults.take("lost_reply", action)
        if fault and fault["then"] == "drop":
            return DROP
        if fault:
            instance.faults.wait_released(fault, HANG_LIMIT)
            return Reply(200, text, note="fault: lost_reply, held")
        return Reply(200, text)

    def _update_reply(self, instance, rel):
        if not self.update_dir:
            return Reply(404, "not found", note="no update folder")
        data = unquote_to_bytes(rel)
        try:
            rel = data.decode("utf-8")
        except UnicodeDecodeError:
            rel = data.decode("gbk", errors="replace")
        reply = self._faults_before_content(instance, "update", rel)
        if reply is not None:
            return reply
        listed = None
        if rel == "update.txt" and not os.path.isfile(os.path.join(self.update_dir, "update.txt")):
            newver = self.settings["update_newver"] or self.settings["latest_version"]
            unsafe = instance.faults.take("unsafe_paths", "update", rel)
            extra = unsafe["entries"] if unsafe else []
            instance.unsafe_served.update((p, size) for p, size in extra)
            reply = Reply(200, pages.update_descriptor(self.update_dir, newver, extra),
                          content_type="text/plain; charset=gb2312",
                          note="fault: unsafe_paths" if unsafe else "")
        else:
            path = pages.update_file_path(self.update_dir, rel)
            if path is not None:
                with open(path, "rb") as f:
                    reply = Reply(200, "", data=f.read(), content_type="application/octet-stream")
                listed = len(reply.data)
            else:
                # A hostile descriptor's entries are there for a client that asks.
                listed = instance.unsafe_served.get(rel)
                if listed is not None:
                    reply = Reply(200, "", data=b"X" * listed, content_type="application/octet-stream",
                                  note="fault: unsafe path served")
                else:
                    return Reply(404, "", data=pages.error_page_for(404), note="no such update file")
        return self._update_faults(instance, rel, reply, listed)

    def _update_faults(self, instance, rel, reply, listed):
        """Faults that change a found descriptor or file."""
        fault = instance.faults.take("wrong_length", "update", rel)
        if fault:
            delta = fault["delta"]
            data = reply.data[:max(0, len(reply.data) + delta)] if delta < 0 else reply.data + b"\0" * delta
            reply = Reply(200, "", data=data, content_type=reply.content_type,
                          note="fault: wrong_length %+d" % delta)
        fault = instance.faults.take("error_page", "update", rel)
        if fault:
            length = listed if fault["length"] == "listed" else fault["length"]
            reply = Reply(fault["status"], "", data=pages.error_page_for(fault["status"], length),
                          note="fault: error_page %d" % fault["status"])
        fault = instance.faults.take("slow_body", "update", rel)
        if fault:
            reply.pace = (fault["after"], fault["seconds"], fault["then"])
            reply.note = (reply.note + ", " if reply.note else "") + "fault: slow_body"
        return self._transfer_faults(instance, "update", reply, rel)

    # -- control

    def control(self, instance, method, query, body):
        params = parse_qs(query)
        log_count = int(params.get("n", ["20"])[0])
        try:
            result = {}
            if method == "POST" and body.strip():
                ops = json.loads(body.decode("utf-8"))
                for op in ops if isinstance(ops, list) else [ops]:
                    result.update(self._control_op(instance, op) or {})
            result.update(self.state(log_count))
            return _json_reply(200, dict(ok=True, **result))
        except (ControlError, ValueError, TypeError, KeyError) as error:
            self.log_line("[%s] control refused: %s | body=%r" % (instance.name, error, body))
            return _json_reply(400, {"ok": False, "error": str(error)})

    def state(self, log_count=20):
        return {"service_time": service_time_text(self.now()), "settings": self.settings.as_dict(),
                "instances": {name: inst.state(log_count) for name, inst in self.instances.items()}}

    def _targets(self, instance, op):
        which = op.get("instance", "self")
        if which == "self":
            return [instance]
        if which == "both":
            return list(self.instances.values())
        if which not in self.instances:
            raise ControlError("instance must be self, primary, backup or both")
        return [self.instances[which]]

    def _control_op(self, instance, op):
        if not isinstance(op, dict) or "op" not in op:
            raise ControlError("each operation is an object with an \"op\"")
        name = op["op"]
        self.log_line("[%s] control %s" % (instance.name, json.dumps(op, ensure_ascii=False)))
        if name == "state":
            return None
        if name == "reset":
            self.settings.reset()
            for inst in self.instances.values():
                inst.faults.clear()
                inst.unsafe_served.clear()
                inst.log.clear()
                inst.set_up()
                inst.hold_idle(0)
            return None
        if name == "set":
            self.settings.update({k: v for k, v in op.items() if k != "op"})
            return None
        if name == "add_user":
            digest = op.get("digest") or password_digest(op["password"])
            user = self.store.add_user(op["name"], op.get("display", op["name"]), digest)
            return {"user_id": user.id}
        if name == "seed_projects":
            count = op.get("count")
            if not isinstance(count, int) or not 0 <= count <= 1000000:
                raise ControlError("count must be a whole number from 0 to 1000000")
            distinct = op.get("distinct_names", False)
            if not isinstance(distinct, bool):
                raise ControlError("distinct_names must be true or false")
            user = seed_many(self.store, op["name"], op["password"], count, self.now().date(), distinct)
            return {"user_id": user.id}
        if name == "reset_demo":
            return {"user_id": self.seed_demo().id}
        for inst in self._targets(instance, op):
            if name == "fault":
                inst.faults.add(make_fault(op))
            elif name == "clear_faults":
                inst.faults.clear()
                inst.unsafe_served.clear()
            elif name == "release":
                inst.faults.release()
            elif name == "down":
                inst.set_down(op.get("mode", "drop"))
            elif name == "up":
                inst.set_up()
            elif name == "clear_log":
                inst.log.clear()
            elif name == "idle_connections":
                inst.hold_idle(op.get("count"))
            else:
                raise ControlError("unknown op %r" % name)
        return None
