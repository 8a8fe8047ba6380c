import time
import unittest

from tests.support import Client, ServiceCase, add_fields, fetch, rows, sections


class ReplyFaults(ServiceCase):
    seed_demo = True

    def test_delay_beyond_the_wait(self):
        self.fault("delay", seconds=1.0, on=["list"], times=2)
        self.assertEqual(self.client.action("list", timeout=0.4), "")
        start = time.monotonic()
        late = self.client.action("list", timeout=5)
        self.assertGreaterEqual(time.monotonic() - start, 1.0)
        self.assertTrue(late.endswith("|"))
        self.assertIn("[]", self.client.action("login", timeout=0.4))  # other actions are not delayed

    def test_a_held_reply_waits_for_its_release(self):
        import threading
        self.fault("hold", on=["list"])
        replies = []
        waiting = threading.Thread(target=lambda: replies.append(self.client.action("list", timeout=30)))
        waiting.start()
        self.assertIn("[]", self.client.action("login"))  # other requests go on meanwhile
        self.assertTrue(waiting.is_alive())  # held
        self.assertNotIn("list", [r["target"] for r in self.requests()])
        self.control({"op": "release"})
        waiting.join(30)
        self.assertTrue(replies and replies[0].endswith("|"))
        # A release that comes before the request lets it through at once.
        self.fault("hold", on=["list"])
        self.control({"op": "release"})
        self.assertTrue(self.client.action("list").endswith("|"))

    def test_empty_reply_and_error_pages(self):
        self.fault("empty", times=1)
        self.assertEqual(self.client.post([("do", "login")] + self.client.auth()), (200, ""))
        for pipe in (True, False):
            with self.subTest(pipe=pipe):
                self.fault("http500", pipe=pipe, times=1)
                status, page = self.client.post([("do", "login")] + self.client.auth())
                self.assertEqual(status, 500)
                self.assertEqual("|" in page, pipe)
                self.assertGreater(len(page.split("|")[0]), 50)  # read as a user name, too long
                self.assertNotIn("[]", page)

    def test_refusal_codes(self):
        for code in ("-1", "-2", "-3", "-4", "-5", "-7"):
            with self.subTest(code=code):
                self.fault("refusal", code=code, times=1)
                self.assertEqual(self.client.action("login"), code + "|")
        self.assertIn("[]", self.client.action("login"))

    def test_save_refused_with_a_message(self):
        self.fault("fail_message", message="平台维护中", times=1)
        self.assertEqual(self.client.action("add", extra=add_fields()), "-F|平台维护中")
        self.assertEqual(len(rows(self.client.action("list"), ",")), 26)  # nothing was saved

    def test_err_once_is_repeated_and_twice_is_returned(self):
        self.fault("err", on=["list"])
        sent = self.client.sent
        self.assertTrue(self.client.action("list").endswith("|"))
        self.assertEqual(self.client.sent - sent, 2)
        self.fault("err", on=["list"], times=2)
        self.assertTrue(self.client.action("list").startswith("err="))
        self.assertTrue(self.client.action("list").endswith("|"))

    def test_short_snapshots(self):
        self.fault("short_snapshot", sections=5, times=1)
        self.assertEqual(len(sections(self.client.action("login"))), 5)
        for items in (9, 12, 19, 25):
            with self.subTest(items=items):
                self.fault("short_snapshot", userinfo_items=items, times=1)
                snapshot = sections(self.client.action("login"))
                self.assertEqual(len(snapshot), 6)
                self.assertEqual(len(snapshot[0].split("|")), items)

    def test_long_user_name(self):
        self.fault("long_username", times=1)
        self.assertEqual(len(sections(self.client.action("login"))[0].split("|")[0]), 51)

    def test_latest_version_setting(self):
        for version in ("0", "-1", "", "abc", "1.4", "1.10"):
            with self.subTest(version=version):
                self.control({"op": "set", "latest_version": version})
                self.assertEqual(sections(self.client.action("login"))[0].split("|")[12], version)

    def test_save_reply_without_an_id(self):
        for form in ("no_comma", "bare", "empty_id", "zero_id", "text_id"):
            with self.subTest(form=form):
                self.fault("save_without_id", form=form, times=1)
                reply = self.client.action("add", extra=add_fields())
                self.assertIn("[]", reply)
                self.assertIn("|", reply)
                self.assertEqual("," in reply, form != "no_comma")
                head = reply.split(",")[0]
                self.assertFalse(head.isdigit() and int(head) > 0)
        self.assertTrue(self.client.action("add", extra=add_fields()).split(",")[0].isdigit())

    def test_a_saved_project_whose_reply_is_lost(self):
        import threading
        # Reset after the project was stored: no reply, one project more.
        self.fault("lost_reply", times=1)
        self.assertEqual(self.client.action("add", extra=add_fields(v2="丢失一")), "")
        listed = self.client.action("list")
        self.assertEqual(len(rows(listed, ",")), 27)
        self.assertIn("丢失一", listed)
        # Held after the project was stored: stored before the reply goes.
        self.fault("lost_reply", then="hold", times=1)
        replies = []
        waiting = threading.Thread(
            target=lambda: replies.append(self.client.action("add", extra=add_fields(v2="丢失二"), timeout=30)))
        waiting.start()
        deadline = time.monotonic() + 10
        while self.control({"op": "state"})["instances"]["primary"]["faults"] and time.monotonic() < deadline:
            time.sleep(0.05)
        self.assertIn("丢失二", self.client.action("list"))
        self.assertTrue(waiting.is_alive())
        self.control({"op": "release"})
        waiting.join(30)
        self.assertTrue(replies and replies[0].split(",")[0].isdigit())
        self.assertEqual(len(rows(self.client.action("list"), ",")), 28)
        # Other actions, and a refused save, are not touched.
        self.fault("lost_reply", on=["add"], times=1)
        self.fault("fail_message", message="平台维护中", times=1)
        self.assertEqual(self.client.action("add", extra=add_fields()), "-F|平台维护中")
        self.assertEqual(len(self.control({"op": "state"})["instances"]["primary"]["faults"]), 1)
        refused = self.control({"op": "fault", "kind": "lost_reply", "then": "close"}, expect_ok=False)
        self.assertFalse(refused["ok"])

    def test_record_cut_short_or_with_a_bad_item(self):
        project_id = rows(self.client.action("list"), ",")[0][0]
        whole = self.client.action("showinfo", project_id).split(",")
        self.fault("short_record", items=3, times=1)
        self.assertEqual(self.client.action("showinfo", project_id), ",".join(whole[:3]) + "|")
        self.fault("record_bad_item", item=13, text="x", times=1)
        damaged = self.client.action("showinfo", project_id).split(",")
        self.assertEqual(damaged, whole[:13] + ["x"] + whole[14:])
        self.assertEqual(self.client.action("showinfo", project_id).split(","), whole)
        for bad in ({"kind": "short_record", "items": 0}, {"kind": "record_bad_item", "item": 22}):
            with self.subTest(bad=bad):
                self.assertFalse(self.control(dict(bad, op="fault"), expect_ok=False)["ok"])

    def test_record_without_pipe(self):
        project_id = rows(self.client.action("list"), ",")[0][0]
        self.fault("record_without_pipe", times=1)
        record = self.client.action("showinfo", project_id)
        self.assertNotIn("|", record)
        self.assertEqual(len(record.split(",")), 22)
        self.assertIn("|", self.client.action("showinfo", project_id))

    def test_rows_cut_short_or_with_a_text_for_a_number(self):
        whole = rows(self.client.action("list"), ",")
        self.fault("short_rows", times=1)
        self.assertEqual([len(r) for r in rows(self.client.action("list"), ",")], [6] * len(whole))
        self.fault("short_rows", items=13, row=2, on=["overlist"], times=1)
        finished = rows(self.client.action("overlist"), ",")
        self.assertEqual([len(r) for r in finished[:4]], [14, 14, 13, 14])
        self.fault("bad_number", times=1)
        damaged = rows(self.client.action("list"), ",")
        self.assertEqual(damaged[0][5], "12a")
        self.assertEqual(damaged[1:], whole[1:])
        self.assertEqual(rows(self.client.action("list"), ","), whole)  # used up

    def test_snapshot_sections_with_broken_rows(self):
        self.fault("bad_number", section=2, item=1, text="many", on=["login"], times=1)
        platforms = rows(sections(self.client.action("login"))[2], ",")
        self.assertEqual(platforms[0][1], "many")
        self.fault("short_rows", section=1, items=3, on=["login"], times=1)
        months = rows(sections(self.client.action("login"))[1], ":")
        self.assertTrue(months and all(len(m) == 3 for m in months))
        self.fault("bad_number", on=["login"], times=1)  # without a section: the snapshot stays whole
        self.assertEqual(len(rows(sections(self.client.action("login"))[1], ":")[0]), 5)
        self.assertFalse(self.control({"op": "fault", "kind": "short_rows", "section": 4}, expect_ok=False)["ok"])

    def test_names_with_quotes_and_angle_brackets(self):
        self.fault("odd_names")
        listed = rows(self.client.action("list"), ",")
        self.assertTrue(all(len(r) == 14 for r in listed))
        self.assertTrue(all('"' in r[1] and "<" in r[2] and ">" in r[13] for r in listed))
        snapshot = sections(self.client.action("login"))
        self.assertIn('"', snapshot[0].split("|")[0])
        self.assertTrue(all("<" in name for name in snapshot[4].split("|")[0].split(",")[:-1]))

    def test_faults_are_per_instance_and_cleared_by_reset(self):
        self.fault("empty", instance="backup")
        self.assertIn("[]", self.client.action("login"))
        self.assertEqual(Client(self.backup).action("login"), "")
        self.control({"op": "reset"})
        self.assertIn("[]", Client(self.backup).action("login"))

    def test_control_refuses_what_it_does_not_know(self):
        for op in ({"op": "fault", "kind": "meteor"}, {"op": "fault", "kind": "empty", "on": ["lst"]},
                   {"op": "fault", "kind": "empty", "colour": 1}, {"op": "set", "colour": 1},
                   {"op": "down", "mode": "sleep"}, {"op": "dance"}):
            with self.subTest(op=op):
                self.assertFalse(self.control(op, expect_ok=False)["ok"])


class StopAnswering(ServiceCase):
    seed_demo = True

    def test_drop_the_primary_and_fall_back_to_the_backup(self):
        self.control({"op": "down", "mode": "drop"})
        self.assertEqual(self.client.action("login"), "")
        self.assertIn("[]", Client(self.backup).action("login"))
        self.assertEqual(self.requests()[-1]["note"], "not answering (drop)")
        self.control({"op": "up"})
        self.assertIn("[]", self.client.action("login"))

    def test_hang_until_the_client_gives_up(self):
        self.control({"op": "down", "mode": "hang", "instance": "backup"})
        start = time.monotonic()
        self.assertEqual(Client(self.backup).action("login", timeout=0.5), "")
        self.assertLess(time.monotonic() - start, 3)
        self.control({"op": "up", "instance": "backup"})
        self.assertIn("[]", Client(self.backup).action("login"))

    def test_refuse_connections_and_come_back_on_the_same_port(self):
        self.control({"op": "down", "mode": "refuse"})
        self.assertEqual(fetch(self.primary + "status.shtml")[0], 0)
        self.control({"op": "up", "instance": "primary"}, base=self.backup)
        self.assertIn("[]", self.client.action("login"))


if __name__ == "__main__":
    unittest.main()
