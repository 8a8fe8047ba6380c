import collections
import datetime
import os
import unittest

from ledger import REPAY_TYPES
from tests.support import ServiceCase, add_fields, fetch, rows, sections
from wire import session_token


class Login(ServiceCase):
    seed_demo = True

    def test_right_and_wrong_digest_and_unknown_account(self):
        snapshot = self.client.action("login")
        self.assertEqual(len(sections(snapshot)), 6)
        self.assertEqual(sections(snapshot)[0].split("|")[0], "演示用户")
        self.client.digest = self.client.digest.upper()  # the digest's letter case does not matter
        self.assertIn("[]", self.client.action("login"))
        self.client.digest = "0" * 32
        self.assertEqual(self.client.action("login"), "-3|")
        self.client.name = "nobody"
        self.assertEqual(self.client.action("login"), "-2|")

    def test_each_refusal_says_what_went_wrong(self):
        """"-4" is the service's own failure during a login; a missing name or
        password gets "-2" ("the account or password is not right") and a
        wrong password "-3" ("name and password do not match")."""
        name, digest = ("username", self.client.name), ("password", self.client.digest)
        cases = [
            ("no name", [("do", "login"), digest, ("v", "1.3")], "-2|"),
            ("empty name", [("do", "login"), ("username", ""), digest, ("v", "1.3")], "-2|"),
            ("no password", [("do", "login"), name, ("v", "1.3")], "-2|"),
            ("empty password", [("do", "login"), name, ("password", ""), ("v", "1.3")], "-2|"),
            ("unknown name", [("do", "login"), ("username", "nobody"), digest, ("v", "1.3")], "-2|"),
            ("wrong password", [("do", "login"), name, ("password", "0" * 32), ("v", "1.3")], "-3|"),
        ]
        for label, fields, reply in cases:
            with self.subTest(label):
                self.assertEqual(self.client.request(fields), reply)
        self.fault("internal_error", on=["login", "relogin"], times=2)
        self.assertEqual(self.client.post([("do", "login")] + self.client.auth()), (500, "-4|"))
        self.assertEqual(self.client.post(self.client.auth()), (500, "-4|"))
        self.fault("internal_error", on=["list"], times=1)
        self.assertEqual(self.client.post([("do", "list")] + self.client.auth()), (500, "-9|"))
        self.assertIn("internal error", self.requests()[-1]["note"])

    def test_relogin_body_without_action_gets_a_snapshot(self):
        self.assertEqual(len(sections(self.client.request(self.client.auth()))), 6)

    def test_old_client_is_refused_with_minus_5(self):
        self.control({"op": "set", "min_version": "1.4"})
        self.assertEqual(self.client.action("login"), "-5|")
        self.client.version = "1.10"  # read as 1.1
        self.assertEqual(self.client.action("login"), "-5|")
        self.client.version = "2.0"
        self.assertIn("[]", self.client.action("login"))


class Token(ServiceCase):
    seed_demo = True

    def test_stale_token_gets_err_and_is_accepted_after_recomputing(self):
        self.control({"op": "set", "clock_offset": 3600})
        status, first = self.client.post([("do", "login")] + self.client.auth())
        self.assertTrue(first.startswith("err="), first)
        service_time = datetime.datetime.strptime(first[4:], "%Y-%m-%d %H:%M:%S")
        self.assertAlmostEqual((service_time - datetime.datetime.now()).total_seconds(), 3600, delta=5)
        self.assertEqual(len(sections(self.client.request([("do", "login")] + self.client.auth()))), 6)

    def test_the_constant_of_another_build(self):
        login = [("do", "login")] + self.client.auth()
        other = 0x1234567
        self.control({"op": "set", "token_constant": other})
        moment = datetime.datetime.now()
        self.assertTrue(self.client.post(login, token=session_token(moment))[1].startswith("err="))
        self.assertIn("[]", self.client.post(login, token=session_token(moment, constant=other))[1])
        self.control({"op": "set", "token_constant": 0}, expect_ok=False)

    def test_tolerance_and_missing_token(self):
        login = [("do", "login")] + self.client.auth()
        now = session_token(datetime.datetime.now())
        for offset, stale in [(0, False), (-250, False), (250, False), (400, True), (-400, True)]:
            with self.subTest(offset=offset):
                reply = self.client.post(login, token=now + offset)[1]
                self.assertEqual(reply.startswith("err="), stale, reply[:40])
        status, reply = self.client.post(login, token="")
        self.assertTrue(reply.startswith("err="))


class Projects(ServiceCase):
    def setUp(self):
        super().setUp()
        self.add_user()

    def save(self, project_id=0, **values):
        reply = self.client.action("add", extra=add_fields(project_id, **values), timeout=15)
        new_id, _, snapshot = reply.partition(",")
        self.assertTrue(new_id.isdigit(), reply)
        return int(new_id), snapshot

    def test_add_list_showinfo_finish_overlist(self):
        first = sections(self.client.action("login"))[0].split("|")
        self.assertEqual((first[0], first[8], first[9]), ("测试者", "0", "0"))

        project_id, snapshot = self.save(v1="积木盒子", v2="月息通 1期")
        info = sections(snapshot)[0].split("|")
        self.assertEqual((info[3], info[8], info[9]), ("12000", "1", "0"))
        self.assertEqual(sections(snapshot)[4], "积木盒子,|acc1,")

        listed = rows(self.client.action("list"), ",")
        self.assertEqual(len(listed), 1)
        self.assertEqual(listed[0][:3] + listed[0][5:8],
                         [str(project_id), "积木盒子", "月息通 1期", "12000", "3", "12"])
        self.assertEqual(self.client.action("overlist"), "0")  # no rows, but not an empty reply

        record = self.client.action("showinfo", project_id).split(",")
        self.assertEqual(len(record), 22)
        self.assertEqual(record[14:16], ["2", "0"])
        schedule = rows(record[20], ":")
        self.assertEqual(sum(float(r[3]) for r in schedule), 12000)
        self.assertAlmostEqual(sum(float(r[4]) for r in schedule), float(record[12]))

        snapshot = self.client.action("overinfo", project_id)
        info = sections(snapshot)[0].split("|")
        self.assertEqual((info[3], info[8], info[9], info[16]), ("0", "0", "1", "12000"))
        self.assertEqual(self.client.action("list"), "0")
        self.assertEqual(rows(self.client.action("overlist"), ",")[0][0], str(project_id))
        self.assertEqual(self.client.action("showinfo", project_id).split(",")[15], "2")

    def test_edit_bad_debt_and_delete(self):
        project_id, _ = self.save()
        same_id, _ = self.save(project_id, v5="5000", v7="4", v12="改过")
        self.assertEqual(same_id, project_id)
        record = self.client.action("showinfo", project_id).split(",")
        self.assertEqual((record[5], record[14], record[19]), ("5000", "4", "改过"))

        info = sections(self.client.action("bad", project_id))[0].split("|")
        self.assertEqual((info[8], info[9]), ("0", "1"))
        self.assertEqual(self.client.action("showinfo", project_id).split(",")[15], "3")

        other_id, _ = self.save()
        self.assertGreater(other_id, project_id)
        info = sections(self.client.action("del", project_id))[0].split("|")
        self.assertEqual((info[8], info[9]), ("1", "0"))
        self.assertEqual(self.client.action("showinfo", project_id), "-9")
        self.assertEqual(self.client.action("del", project_id), "-9|")
        third_id, _ = self.save()
        self.assertGreater(third_id, other_id)  # ids are never used twice

    def test_separators_in_names_are_replaced_and_escaped_characters_survive(self):
        project_id, _ = self.save(v1="P[]2P", v2="a,b|c:d", v14="x&y=z", v12="备注:1,2 100% #3")
        record = self.client.action("showinfo", project_id).split(",")
        self.assertEqual(len(record), 22)
        self.assertEqual(record[:3], ["P2P", "a b c d", "x&y=z"])
        self.assertEqual(record[19], "备注:1 2 100% #3")

    def test_days_term_and_365_day_year(self):
        project_id, _ = self.save(v4="90", v15="0", v7="1", v5="10000", v6="10", v17="365", v3="2015-12-3")
        record = self.client.action("showinfo", project_id).split(",")
        self.assertEqual(record[3:8], ["2015-12-3", "2016-3-2", "10000", "90", "0"])
        self.assertEqual((record[12], record[21]), ("246.58", "365"))
        self.assertEqual(rows(self.client.action("list"), ",")[0][12], "1")

    def test_save_refusals_use_the_message_form(self):
        today = datetime.date.today()
        cases = [
            ({"v5": "99.99"}, "投资金额"),
            ({"v6": "51"}, "年化利率"),
            ({"v4": "61"}, "投资期限"),
            ({"v4": "1826", "v15": "0"}, "投资期限"),
            ({"v3": (today + datetime.timedelta(days=11)).isoformat()}, "起息日期"),
            ({"v3": "2009-12-31"}, "起息日期"),
            ({"v3": "soon"}, "起息日期"),
            ({"v7": "7"}, "投资类型"),
            ({"v9": "10000.01"}, "代金券"),
            ({"v2": "[]"}, "项目名称"),
        ]
        for values, word in cases:
            with self.subTest(values=values):
                reply = self.client.action("add", extra=add_fields(**values))
                self.assertTrue(reply.startswith("-F|") and word in reply, reply)
        self.assertIn("要编辑的项目不存在", self.client.action("add", extra=add_fields(999)))
        self.assertEqual(self.client.action("list"), "0")

    def test_each_account_sees_only_its_own_projects(self):
        project_id, _ = self.save()
        stranger = self.add_user("stranger", "secret2")
        self.assertEqual(stranger.action("showinfo", project_id), "-9")
        self.assertEqual(stranger.action("overinfo", project_id), "-9|")
        self.assertEqual(stranger.action("list"), "0")


class BadRequests(ServiceCase):
    seed_demo = True

    def test_bad_requests_get_an_error_reply_and_a_log_line(self):
        auth = self.client.auth()
        cases = [
            ("unknown action", [("do", "explode")] + auth, "-9|", "未知的操作"),
            ("no action, no account", [("x", "1")], "-9|", "未知的操作"),
            ("missing fields", [("do", "add")] + auth + [("v1", "p")], "-F|缺少字段：", "缺少字段"),
            ("missing id", [("do", "showinfo")] + auth, "-9", "项目编号"),
            ("id not a number", [("do", "del"), ("id", "x")] + auth, "-9|", "项目编号"),
            ("id out of range", [("do", "bad"), ("id", "9" * 20)] + auth, "-9|", "项目编号"),
            ("missing password", [("do", "list"), ("username", "demo")], "-2|", "缺少用户名或密码"),
        ]
        for label, fields, reply_start, note in cases:
            with self.subTest(label):
                status, reply = self.client.post(fields)
                self.assertEqual(status, 400)
                self.assertTrue(reply.startswith(reply_start), reply)
                self.assertIn(note, self.requests()[-1]["note"])

        token = session_token(datetime.datetime.now())
        broken = ("do=add&%s&v1=%%FF%%FF&session=%d" % ("&".join("%s=%s" % kv for kv in auth), token)).encode()
        status, data = fetch(self.primary + "softcenter.asp", broken)
        self.assertEqual((status, data.decode("gbk")[:3]), (400, "-F|"))
        self.assertEqual(fetch(self.primary + "softcenter.asp")[0], 400)  # a GET, no body

        with open(os.path.join(self.data_dir, "service.log"), encoding="utf-8") as log:
            text = log.read()
        self.assertIn("bad request: 字段编码无效：v1", text)
        self.assertIn("v1=%FF%FF", text)

    def test_raw_bodies_are_kept_for_the_control_request(self):
        self.client.action("list")
        entry = self.requests()[-1]
        self.assertEqual(entry["target"], "list")
        self.assertTrue(entry["raw"].startswith("do=list&username=demo&password="))
        self.assertIn("&session=", entry["raw"])
        self.assertEqual(entry["fields"]["do"], "list")
        self.assertTrue(entry["reply"].endswith("|"))


class Demo(ServiceCase):
    seed_demo = True

    def test_demo_account_has_everything_to_show(self):
        current = rows(self.client.action("list"), ",")
        finished = rows(self.client.action("overlist"), ",")
        self.assertTrue(35 <= len(current) + len(finished) <= 45)
        self.assertEqual({int(r[9]) for r in current}, set(REPAY_TYPES))
        self.assertEqual({int(r[9]) for r in finished}, set(REPAY_TYPES))
        statuses = collections.Counter(self.client.action("showinfo", r[0]).split(",")[15] for r in finished)
        self.assertEqual(statuses["3"], 1)
        self.assertGreater(statuses["2"], 5)
        self.assertGreaterEqual(len({r[1] for r in current}), 4)
        self.assertGreaterEqual(len({r[13] for r in current}), 3)
        self.assertEqual({r[12] for r in current}, {"0", "1"})

        snapshot = sections(self.client.action("login"))
        info = snapshot[0].split("|")
        due_soon = rows(snapshot[5], ",")
        self.assertGreaterEqual(len(due_soon), 3)
        today = datetime.date.today()
        days = [(datetime.date(*map(int, r[4].split("-"))) - today).days for r in due_soon]
        self.assertEqual(days, sorted(days))
        self.assertTrue(all(1 <= d <= 30 for d in days))

        # The snapshot agrees with the lists.
        self.assertEqual((int(info[8]), int(info[9])), (len(current), len(finished)))
        self.assertAlmostEqual(float(info[3]), sum(float(r[5]) for r in current), places=2)
        self.assertLess(float(info[5]), sum(float(r[10]) for r in current))  # some interest is paid
        self.assertAlmostEqual(float(info[4]), sum(float(r[11]) for r in finished), places=2)
        platforms = rows(snapshot[2], ",")
        self.assertAlmostEqual(sum(float(r[1]) for r in platforms), float(info[3]), places=2)
        self.assertEqual(sum(int(r[3]) for r in platforms), len(current))
        self.assertEqual(sum(int(r[3]) for r in rows(snapshot[3], ",")), len(finished))

    def test_reset_demo_restores_the_account(self):
        first = rows(self.client.action("list"), ",")[0][0]
        self.client.action("del", first)
        self.control({"op": "reset_demo"})
        listed = rows(self.client.action("list"), ",") + rows(self.client.action("overlist"), ",")
        self.assertEqual(len(listed), 40)


class LargeAccount(ServiceCase):
    def test_seeded_projects_listed_and_kept_until_a_change(self):
        result = self.control({"op": "seed_projects", "name": "bench", "password": "bench1", "count": 500})
        self.assertTrue(result["ok"])
        self.add_user("bench", "bench1", "bench")
        listed = rows(self.client.action("list"), ",")
        self.assertEqual(len(listed), 500)
        self.assertTrue(all(len(r) == 14 and r[12] == "1" for r in listed))
        self.assertEqual(rows(self.client.action("list"), ","), listed)
        self.assertEqual(rows(self.client.action("overlist"), ","), [])
        self.assertIn("[]", self.client.action("del", listed[0][0]))
        self.assertEqual(len(rows(self.client.action("list"), ",")), 499)
        self.assertFalse(self.control({"op": "seed_projects", "name": "x", "password": "y", "count": -1},
                                      expect_ok=False)["ok"])


if __name__ == "__main__":
    unittest.main()
