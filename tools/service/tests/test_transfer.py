"""Replies that do not travel whole: cut by a reset, announced longer than
they are, in broken chunks, trickling, or far too large. Read off the raw
connection, so that what goes over the wire is seen as it is."""
import datetime
import http.client
import socket
import threading
import time
import urllib.parse

from tests.support import Client, ServiceCase, fetch
from wire import encode_body, session_token


class RawReply:
    def __init__(self, data, reset):
        head, _, self.body = data.partition(b"\r\n\r\n")
        lines = head.decode("latin-1").split("\r\n")
        self.status = int(lines[0].split()[1])
        self.headers = {k.lower(): v.strip() for k, _, v in (line.partition(":") for line in lines[1:])}
        self.reset = reset  # the connection ended with a reset, not a close


def dechunk(body):
    """(bytes, whether the last chunk came); ValueError on a bad size line."""
    out = b""
    while True:
        line, sep, body = body.partition(b"\r\n")
        if not sep:
            return out, False
        size = int(line, 16)
        if size == 0:
            return out, True
        if len(body) < size + 2:
            return out + body[:size], False
        out, body = out + body[:size], body[size + 2:]


class TransferFaults(ServiceCase):
    seed_demo = True

    def raw_post(self, action, limit=None):
        """The reply to `action` as it came; with `limit`, stops reading after
        that many bytes."""
        fields = [("do", action), ("username", "demo"), ("password", self.client.digest), ("v", "1.3"),
                  ("session", str(session_token(datetime.datetime.now())))]
        body = encode_body(fields)
        port = urllib.parse.urlsplit(self.primary).port
        with socket.create_connection(("127.0.0.1", port), timeout=30) as conn:
            conn.sendall(b"POST /do/softcenter.asp HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                         b"Content-Type: application/x-www-form-urlencoded\r\n"
                         b"Content-Length: %d\r\n\r\n%s" % (len(body), body))
            data, reset = b"", False
            while limit is None or len(data) < limit:
                try:
                    piece = conn.recv(1 << 16)
                except ConnectionResetError:
                    reset = True
                    break
                if not piece:
                    break
                data += piece
        return RawReply(data, reset)

    def whole(self, action="login"):
        return self.raw_post(action).body

    def test_a_reset_after_some_bytes_of_the_body(self):
        whole = self.whole()
        self.fault("reset_in_body", bytes=500, on=["login"], times=1)
        reply = self.raw_post("login")
        self.assertEqual(reply.headers["content-length"], str(len(whole)))
        self.assertTrue(reply.reset)
        self.assertEqual(reply.body, whole[:500])
        self.assertEqual(self.whole(), whole)  # used up

    def test_a_length_longer_than_the_body(self):
        whole = self.whole("list")
        self.fault("long_length", extra=30, on=["list"], times=1)
        reply = self.raw_post("list")
        self.assertEqual(reply.headers["content-length"], str(len(whole) + 30))
        self.assertEqual((reply.body, reply.reset), (whole, False))

    def test_chunked_framing_whole_and_broken(self):
        whole = self.whole()
        self.fault("chunked", chunk=700, times=1)
        reply = self.raw_post("login")
        self.assertEqual(reply.headers["transfer-encoding"], "chunked")
        self.assertNotIn("content-length", reply.headers)
        self.assertEqual(dechunk(reply.body), (whole, True))

        self.fault("chunked", broken="cut", after=1400, chunk=700, times=1)
        self.assertEqual(dechunk(self.raw_post("login").body), (whole[:1400], False))

        self.fault("chunked", broken="short_chunk", after=700, chunk=700, times=1)
        self.assertEqual(dechunk(self.raw_post("login").body), (whole, False))

        self.fault("chunked", broken="bad_size", chunk=700, times=1)
        with self.assertRaises(ValueError):
            dechunk(self.raw_post("login").body)

    def test_a_whole_body_ended_by_the_close(self):
        whole = self.whole("list")
        self.fault("close_delimited", on=["list"], times=1)
        reply = self.raw_post("list")
        self.assertNotIn("content-length", reply.headers)
        self.assertNotIn("transfer-encoding", reply.headers)
        self.assertEqual((reply.body, reply.reset), (whole, False))
        self.assertEqual(self.raw_post("list").headers["content-length"], str(len(whole)))  # used up

    def test_a_body_that_trickles(self):
        whole = self.whole()
        self.fault("trickle_body", bytes=1000, interval=0.2, times=1)
        start = time.monotonic()
        reply = self.raw_post("login")
        self.assertEqual(reply.body, whole)
        self.assertGreaterEqual(time.monotonic() - start, 0.2 * ((len(whole) - 1) // 1000))

    def test_a_reply_of_many_megabytes(self):
        whole = self.whole("list")
        for framing in ("length", "chunked", "close"):
            with self.subTest(framing=framing):
                self.fault("huge_reply", megabytes=2, framing=framing, on=["list"], times=1)
                reply = self.raw_post("list")
                body = dechunk(reply.body)[0] if framing == "chunked" else reply.body
                self.assertEqual(len(body), 2 << 20)
                self.assertEqual(body[:len(whole) * 2], whole * 2)
                self.assertEqual(reply.headers.get("content-length"),
                                 str(2 << 20) if framing == "length" else None)
        # Held, the body stops before its last block until the holds are released.
        self.fault("huge_reply", megabytes=1, held=True, on=["list"], times=1)
        replies = []
        reader = threading.Thread(target=lambda: replies.append(self.raw_post("list")))
        reader.start()
        reader.join(1.0)
        self.assertTrue(reader.is_alive())
        self.control({"op": "release", "instance": "both"})
        reader.join()
        self.assertEqual(len(replies[0].body), 1 << 20)
        # A client that stops reading is no trouble to the service.
        self.fault("huge_reply", megabytes=50, interval=0.01, on=["list"], times=1)
        reply = self.raw_post("list", limit=100000)
        self.assertEqual((reply.status, reply.headers["content-length"]), (200, str(50 << 20)))
        self.assertEqual(self.whole("list"), whole)

    def test_the_notice_page_only_when_named(self):
        site = self.primary + "status.shtml?ver=1.3"
        page = fetch(site)[1]
        self.fault("reset_in_body", bytes=10, on=["*"])
        self.assertEqual(fetch(site), (200, page))
        self.control({"op": "clear_faults"})
        self.fault("long_length", on=["notice"], times=1)
        with self.assertRaises(http.client.IncompleteRead):
            fetch(site)

    def test_control_refuses_broken_transfer_faults(self):
        for op in ({"op": "fault", "kind": "reset_in_body", "bytes": -1},
                   {"op": "fault", "kind": "long_length", "extra": 0},
                   {"op": "fault", "kind": "chunked", "broken": "torn"},
                   {"op": "fault", "kind": "chunked", "chunk": 0},
                   {"op": "fault", "kind": "trickle_body", "interval": "slow"},
                   {"op": "fault", "kind": "huge_reply", "megabytes": 0},
                   {"op": "fault", "kind": "huge_reply", "framing": "zip"},
                   {"op": "fault", "kind": "huge_reply", "interval": -1},
                   {"op": "fault", "kind": "huge_reply", "held": 1}):
            with self.subTest(op=op):
                self.assertFalse(self.control(op, expect_ok=False)["ok"])


class IdleConnections(ServiceCase):
    """Not a transfer fault: connections of another program that stay open."""
    seed_demo = True

    def test_held_open_while_requests_are_answered_and_closed_on_reset(self):
        self.control({"op": "idle_connections", "count": 6, "instance": "both"})
        self.assertTrue(self.client.action("login").count("[]"))
        self.assertFalse(self.control({"op": "idle_connections", "count": -1}, expect_ok=False)["ok"])
        self.control({"op": "reset"})
        self.assertTrue(self.client.action("login").count("[]"))


class ManyNames(ServiceCase):
    """Not a transfer fault: the large snapshot that the client's name boxes
    are tried with."""

    def test_seeded_projects_each_on_a_platform_and_an_account_of_its_own(self):
        self.control({"op": "seed_projects", "name": "many", "password": "many12", "count": 300,
                      "distinct_names": True})
        platforms, accounts = Client(self.primary, "many", "many12").action("login").split("[]")[4].split("|")[:2]
        self.assertEqual(sorted(platforms.split(",")[:-1]), sorted("平台%d" % n for n in range(1, 301)))
        self.assertEqual(sorted(accounts.split(",")[:-1]), sorted("账户%d" % n for n in range(1, 301)))
        self.assertFalse(self.control({"op": "seed_projects", "name": "x", "password": "y", "count": 1,
                                       "distinct_names": "yes"}, expect_ok=False)["ok"])
