"""The updater's descriptor and files, published and broken in the ways the
updater must survive."""
import http.client
import os
import socket
import time
import urllib.parse

from control import UNSAFE_ENTRIES
from tests.support import ServiceCase, fetch

# A new version as the updater's tests publish it: the main program, the
# updater's own replacement and a library two folders down.
RELEASE = {"tallivo.exe": b"MZ" + bytes(range(256)) * 6, "update.ocx": b"MZ" + b"\x90" * 1000,
           "sub/dir/a.dll": bytes(range(256)) * 8}


def descriptor_lines(data):
    return data.decode("gbk").split("\r\n")


class Published(ServiceCase):
    def make_update_dir(self):
        folder = os.path.join(self.data_dir, "update")
        for rel, data in RELEASE.items():
            path = os.path.join(folder, *rel.split("/"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
        return folder

    def setUp(self):
        super().setUp()
        self.control({"op": "set", "update_newver": "1.4"})

    def fetch_update(self, rel, **kw):
        return fetch(self.primary + "update/" + rel, **kw)

    def test_a_new_version_with_three_files(self):
        status, data = self.fetch_update("update.txt")
        self.assertEqual(status, 200)
        self.assertEqual(descriptor_lines(data), [
            "[Update]", "newver=1.4", "checkfile=3", "file1=tallivo.exe|1538", "file2=update.ocx|1002",
            "file3=sub/dir/a.dll|2048", "[/Update]", ""])
        for rel, content in RELEASE.items():
            with self.subTest(rel=rel):
                self.assertEqual(self.fetch_update(rel), (200, content))

    def test_names_escaped_in_utf8_or_in_the_code_page(self):
        path = os.path.join(self.update_dir, "说明 1.txt")
        with open(path, "wb") as f:
            f.write(b"readme")
        self.assertIn("file3=说明 1.txt|6", descriptor_lines(self.fetch_update("update.txt")[1]))
        for encoding in ("utf-8", "gbk"):
            with self.subTest(encoding=encoding):
                self.assertEqual(self.fetch_update(urllib.parse.quote("说明 1.txt", encoding=encoding)),
                                 (200, b"readme"))

    def test_wrong_length_only_for_the_named_file(self):
        self.fault("wrong_length", path="sub/dir/a.dll", times=1)
        self.assertEqual(self.fetch_update("tallivo.exe"), (200, RELEASE["tallivo.exe"]))
        status, data = self.fetch_update("sub/dir/a.dll")
        self.assertEqual((status, data), (200, RELEASE["sub/dir/a.dll"][:-1]))
        self.assertEqual(self.requests()[-1]["note"], "fault: wrong_length -1")
        self.assertEqual(self.fetch_update("sub/dir/a.dll"), (200, RELEASE["sub/dir/a.dll"]))  # used up

    def test_longer_bodies_and_a_cut_descriptor(self):
        self.fault("wrong_length", delta=3, times=1)
        self.assertEqual(self.fetch_update("update.ocx"), (200, RELEASE["update.ocx"] + b"\0\0\0"))
        self.fault("wrong_length", delta=-12, path="update.txt", times=1)
        status, data = self.fetch_update("update.txt")
        self.assertEqual(status, 200)
        self.assertNotIn("[/Update]", data.decode("gbk"))

    def test_error_pages_as_long_as_the_listed_file(self):
        self.fault("error_page", status=404, length="listed", path="tallivo.exe", times=1)
        status, data = self.fetch_update("tallivo.exe")
        self.assertEqual((status, len(data)), (404, len(RELEASE["tallivo.exe"])))
        self.assertIn("404 - 找不到文件或目录。", data.decode("gbk"))
        self.fault("error_page", status=500, times=1)
        status, data = self.fetch_update("update.txt")
        self.assertEqual(status, 500)
        self.assertNotIn("[Update]", data.decode("gbk"))
        self.assertEqual(self.fetch_update("update.txt")[0], 200)
        self.assertEqual(self.fetch_update("missing.dll")[0], 404)

    def test_unsafe_paths_listed_after_the_files_and_served(self):
        self.fault("unsafe_paths", times=1)
        lines = descriptor_lines(self.fetch_update("update.txt")[1])
        self.assertEqual(lines[2], "checkfile=%d" % (3 + len(UNSAFE_ENTRIES)))
        self.assertEqual(lines[6], "file4=../escape.dll|16")
        self.assertIn("file%d=tab\there.dll|16" % (4 + UNSAFE_ENTRIES.index(["tab\there.dll", 16])), lines)
        self.assertEqual(self.fetch_update("update.txt")[1].count(b"|"), 3)  # only once
        # A careless client that asked would get them.
        for rel in ("con.dll", "../escape.dll", "stream.dll:evil"):
            with self.subTest(rel=rel):
                self.assertEqual(self.fetch_update(urllib.parse.quote(rel, safe="/:")), (200, b"X" * 16))

    def test_entries_of_our_own_choice(self):
        self.fault("unsafe_paths", entries=[["TALLIVO.EXE", 1538], ["sub\\dir\\A.dll", 2048]], times=1)
        lines = descriptor_lines(self.fetch_update("update.txt")[1])
        self.assertEqual(lines[2:8], ["checkfile=5", "file1=tallivo.exe|1538", "file2=update.ocx|1002",
                                      "file3=sub/dir/a.dll|2048", "file4=TALLIVO.EXE|1538",
                                      "file5=sub\\dir\\A.dll|2048"])

    def raw_get(self, rel):
        port = urllib.parse.urlsplit(self.primary).port
        conn = http.client.HTTPConnection("127.0.0.1", port, timeout=30)
        self.addCleanup(conn.close)
        conn.request("GET", "/do/update/" + rel)
        return conn.getresponse()

    def test_a_body_that_stalls_and_then_comes(self):
        self.fault("slow_body", after=4, seconds=1.0, path="sub/dir/a.dll", times=1)
        start = time.monotonic()
        reply = self.raw_get("sub/dir/a.dll")
        self.assertEqual((reply.status, reply.getheader("Content-Length")), (200, "2048"))
        self.assertEqual(reply.read(4), RELEASE["sub/dir/a.dll"][:4])
        rest = reply.read()
        self.assertGreaterEqual(time.monotonic() - start, 1.0)
        self.assertEqual(rest, RELEASE["sub/dir/a.dll"][4:])

    def test_a_body_that_stalls_and_is_cut_off(self):
        self.fault("slow_body", after=100, seconds=0.2, then="close", times=1)
        reply = self.raw_get("tallivo.exe")
        self.assertEqual(reply.getheader("Content-Length"), str(len(RELEASE["tallivo.exe"])))
        self.assertEqual(reply.read(100), RELEASE["tallivo.exe"][:100])
        with self.assertRaises((http.client.IncompleteRead, ConnectionResetError, socket.timeout)):
            reply.read()

    def test_a_path_narrows_the_ordinary_faults_too(self):
        self.fault("empty", on=["update"], path="update.ocx", times=1)
        self.assertEqual(self.fetch_update("tallivo.exe"), (200, RELEASE["tallivo.exe"]))
        self.assertEqual(self.fetch_update("update.ocx"), (200, b""))
        self.fault("drop", on=["update"], path="update.txt", times=1)
        self.assertEqual(self.fetch_update("update.txt"), (0, b""))
        self.assertEqual(self.fetch_update("update.txt")[0], 200)

    def test_control_refuses_broken_update_faults(self):
        for op in ({"op": "fault", "kind": "wrong_length", "delta": 0},
                   {"op": "fault", "kind": "error_page", "status": 200},
                   {"op": "fault", "kind": "error_page", "length": "long"},
                   {"op": "fault", "kind": "unsafe_paths", "entries": [["a.dll"]]},
                   {"op": "fault", "kind": "slow_body", "then": "later"},
                   {"op": "fault", "kind": "slow_body", "after": -1},
                   {"op": "fault", "kind": "empty", "path": 3}):
            with self.subTest(op=op):
                self.assertFalse(self.control(op, expect_ok=False)["ok"])
