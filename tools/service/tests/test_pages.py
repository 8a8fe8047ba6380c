import os
import subprocess
import sys
import tempfile
import unittest

from tests.support import Client, ServiceCase, fetch, sections

SERVICE = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "service.py")


def notice_block(page):
    """What the notice window takes from the page: from "[set]" to two
    characters before "[/set]"."""
    if "[set]" not in page:
        return ""
    rest = page[page.index("[set]"):]
    return rest[:rest.index("[/set]") - 1] if "[/set]" in rest else ""


class NoticePage(ServiceCase):
    def test_no_block_until_one_is_set(self):
        status, data = fetch(self.primary + "/status.shtml?ver=1.3")  # the client writes two slashes
        self.assertEqual((status, notice_block(data.decode("gbk"))), (200, ""))

    def test_configured_block(self):
        self.control({"op": "set", "notice": {"type": 1, "showtime": 8, "title": "新版本", "url": "http://x/a",
                                              "width": 300, "height": 200}})
        block = notice_block(fetch(self.primary + "status.shtml?ver=1.3")[1].decode("gbk"))
        self.assertEqual(block, '[set]type="1" showtime="8" title="新版本" url="http://x/a" width="300" height="200"')
        self.control({"op": "set", "notice": 'type="2" title="问题"'})
        block = notice_block(fetch(self.backup + "/status.shtml?ver=1.3")[1].decode("gbk"))
        self.assertEqual(block, '[set]type="2" title="问题"')
        self.assertEqual(self.requests("backup")[-1]["query"], "ver=1.3")

    def test_examples_of_both_types_recommend_a_page_of_the_service(self):
        site = self.primary.replace("/do/", "/")
        self.control({"op": "set", "notice": "popup"})
        block = notice_block(fetch(self.primary + "/status.shtml?ver=1.3")[1].decode("gbk"))
        self.assertEqual(block, '[set]type="1" showtime="8" url="%snotice.html" width="300" height="200"' % site)
        self.control({"op": "set", "notice": "question"})
        block = notice_block(fetch(self.primary + "/status.shtml?ver=1.3")[1].decode("gbk"))
        self.assertTrue(block.startswith('[set]type="2" title="Quillmoor'), block)
        self.assertTrue(block.endswith('url="%snotice.html"' % site), block)
        status, page = fetch(site + "notice.html")
        self.assertEqual(status, 200)
        for part in ("<h1>", "<p>", "<a href=", "<img "):
            self.assertIn(part, page.decode("gbk"))

    def test_a_page_that_never_completes(self):
        status, data = fetch(self.primary + "never.shtml", timeout=0.5)
        self.assertEqual((status, data), (0, b""))  # still nothing when the client gives up

    def test_faults_reach_the_page_when_named(self):
        self.fault("empty", on=["notice"], times=1)
        self.assertEqual(fetch(self.primary + "status.shtml?ver=1.3"), (200, b""))


class UpdateFiles(ServiceCase):
    def make_update_dir(self):
        folder = os.path.join(self.data_dir, "update")
        os.makedirs(os.path.join(folder, "sub", "dir"))
        for rel, size in (("tallivo.exe", 1536), ("sub/dir/a.dll", 2048)):
            with open(os.path.join(folder, *rel.split("/")), "wb") as f:
                f.write(bytes(range(256)) * (size // 256))
        return folder

    def test_generated_descriptor_and_files(self):
        self.control({"op": "set", "update_newver": "1.4"})
        status, data = fetch(self.primary + "update/update.txt")
        self.assertEqual(status, 200)
        self.assertEqual(data.decode("gbk").split("\r\n"), [
            "[Update]", "newver=1.4", "checkfile=2", "file1=tallivo.exe|1536", "file2=sub/dir/a.dll|2048",
            "[/Update]", ""])
        self.assertEqual(fetch(self.primary + "update/sub/dir/a.dll"), (200, bytes(range(256)) * 8))
        for bad in ("update/../service.db", "update/sub/../../service.db", "update/nothing.bin",
                    "update/sub", "update/%2E%2E/service.db"):
            with self.subTest(path=bad):
                self.assertEqual(fetch(self.primary + bad)[0], 404)

    def test_a_descriptor_in_the_folder_is_served_as_it_is(self):
        text = "[Update]\r\nnewver=1.10\r\ncheckfile=0\r\n[/Update]\r\n"
        with open(os.path.join(self.update_dir, "update.txt"), "w", newline="") as f:
            f.write(text)
        self.assertEqual(fetch(self.primary + "update/update.txt"), (200, text.encode()))


class SitePages(ServiceCase):
    def test_pages_the_login_window_opens(self):
        for path in ("/", "/do/", "/do/getpassword.shtml", "/register.shtml"):
            with self.subTest(path=path):
                self.assertEqual(fetch(self.primary.replace("/do/", path))[0], 200)
        self.assertEqual(fetch(self.primary + "nothing.asp")[0], 404)
        self.assertEqual(fetch(self.primary + "update/update.txt")[0], 404)  # no update folder given


class CommandLine(unittest.TestCase):
    def test_runs_with_the_demo_account_and_command_line_faults(self):
        with tempfile.TemporaryDirectory() as data:
            proc = subprocess.Popen(
                [sys.executable, SERVICE, "--primary-port", "0", "--backup-port", "0", "--data", data,
                 "--seed-demo", "--quiet", "--latest-version", "1.4",
                 "--fault", '{"kind": "empty", "instance": "backup"}', "--down", "primary:drop"],
                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
            try:
                line = proc.stdout.readline()
                self.assertTrue(line.startswith("service ready"), line)
                primary, backup = (part.split("=", 1)[1] for part in line.split()[2:4])
                self.assertEqual(Client(primary).action("login"), "")
                self.assertEqual(Client(backup).action("login"), "")
                fetch(primary.replace("/do/", "/_control"), b'[{"op":"reset"}]')
                self.assertEqual(sections(Client(backup).action("login"))[0].split("|")[12], "1.4")
            finally:
                proc.terminate()
                self.assertEqual(proc.wait(10), 0)
                proc.stdout.close()
            self.assertTrue(os.path.exists(os.path.join(data, "service.db")))


if __name__ == "__main__":
    unittest.main()
