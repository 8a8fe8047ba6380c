#!/usr/bin/env python3
"""Captures replies of the reference service as fuzz seeds.

Starts tools/service/service.py with the demo account on free ports, talks to
it as the program does (tools/service/tests/support.py) and writes each reply,
in the code-page bytes the service sends, to tests/fuzz/seeds/replies/.

    python3 tests/fuzz/capture_replies.py [output folder]
"""
import json
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SERVICE_DIR = os.path.join(ROOT, "tools", "service")
sys.path.insert(0, SERVICE_DIR)
sys.path.insert(0, os.path.join(SERVICE_DIR, "tests"))

from support import Client, add_fields, fetch  # noqa: E402
from wire import CHARSET  # noqa: E402


def start_service(data_dir):
    process = subprocess.Popen(
        [sys.executable, os.path.join(SERVICE_DIR, "service.py"), "--data", data_dir, "--seed-demo",
         "--primary-port", "0", "--backup-port", "0", "--quiet"],
        stdout=subprocess.PIPE, text=True)
    for line in process.stdout:
        found = re.search(r"service ready primary=(\S+) backup=(\S+)", line)
        if found:
            return process, found.group(1)
    process.kill()
    raise SystemExit("the service did not start")


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "tests", "fuzz", "seeds", "replies")
    os.makedirs(out_dir, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="quill-seeds-") as data_dir:
        process, primary = start_service(data_dir)
        try:
            capture(primary, out_dir)
        finally:
            process.terminate()
            process.wait()


def capture(primary, out_dir):
    client = Client(primary)
    control_url = primary.replace("/do/", "/_control")

    def control(*ops):
        fetch(control_url, json.dumps(list(ops)).encode("utf-8"))

    def save(name, text):
        with open(os.path.join(out_dir, name), "wb") as f:
            f.write(text.encode(CHARSET, errors="replace"))

    def with_fault(kind, on=None, **params):
        fault = dict(op="fault", kind=kind, times=1, **params)
        if on:
            fault["on"] = on
        control(fault)

    save("login.txt", client.action("login"))
    save("relogin.txt", client.request(client.auth()))
    current = client.action("list")
    save("list.txt", current)
    save("overlist.txt", client.action("overlist"))
    ids = [row.split(",")[0] for row in current.split("|")[:-1]]
    for n, project_id in enumerate(ids[:3]):
        save("showinfo-%d.txt" % n, client.action("showinfo", project_id))
    save("showinfo-unknown.txt", client.action("showinfo", 999999))
    save("add.txt", client.action("add", extra=add_fields(), timeout=15))
    save("add-days.txt", client.action("add", extra=add_fields(v4="90", v15="0", v7="1", v12="x:y"), timeout=15))
    if len(ids) > 2:
        save("overinfo.txt", client.action("overinfo", ids[0]))
        save("bad.txt", client.action("bad", ids[1]))
        save("del.txt", client.action("del", ids[2]))

    for code in ("-2", "-7"):
        with_fault("refusal", code=code)
        save("login-refusal%s.txt" % code, client.action("login"))
    with_fault("fail_message", message="项目名称含有不被接受的字符")
    save("add-fail-message.txt", client.action("add", extra=add_fields(), timeout=15))
    for form in ("no_comma", "bare", "empty_id"):
        with_fault("save_without_id", form=form)
        save("add-without-id-%s.txt" % form, client.action("add", extra=add_fields(), timeout=15))
    for sections, items in ((6, 9), (6, 12), (6, 19), (6, 25), (3, None), (1, None)):
        with_fault("short_snapshot", on=["login"], sections=sections, userinfo_items=items)
        save("login-short-%d-%s.txt" % (sections, items), client.action("login"))
    with_fault("long_username", on=["login"])
    save("login-long-username.txt", client.action("login"))
    with_fault("record_without_pipe")
    save("showinfo-without-pipe.txt", client.action("showinfo", ids[3] if len(ids) > 3 else 1))
    control(dict(op="fault", kind="odd_names", times=3))
    save("login-odd-names.txt", client.action("login"))
    save("list-odd-names.txt", client.action("list"))
    save("showinfo-odd-names.txt", client.action("showinfo", ids[3] if len(ids) > 3 else 1))
    for pipe in (True, False):
        with_fault("http500", pipe=pipe)
        save("http500-%s.txt" % ("pipe" if pipe else "plain"), client.action("list"))
    control(dict(op="set", notice=dict(type="1", showtime="10", title="系统维护通知",
                                         url="http://127.0.0.1/notice.html", width="400", height="300")))
    save("notice.txt", fetch(primary + "status.shtml?ver=1.3")[1].decode(CHARSET))
    control(dict(op="set", notice='TYPE="2" dataname="x" title="unterminated'))
    save("notice-odd.txt", fetch(primary + "status.shtml?ver=1.3")[1].decode(CHARSET))
    control(dict(op="set", notice=None, latest_version="1.10"))
    save("login-version-1.10.txt", client.action("login"))


if __name__ == "__main__":
    main()
