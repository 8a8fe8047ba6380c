import datetime
import unittest

from ledger import (STATUS_BAD_DEBT, STATUS_FINISHED, Project, account_snapshot, add_months, figures,
                    project_record, project_row)
from tests.support import rows, sections

D = datetime.date


def project(repay_type, term, unit, amount=12000, rate=12.0, **kw):
    kw.setdefault("value_date", D(2020, 1, 15))
    return Project(id=kw.pop("id", 1), platform=kw.pop("platform", "P"), account=kw.pop("account", "a"),
                   name=kw.pop("name", "n"), term=term, term_unit=unit, amount=amount * 100, rate=rate,
                   fee_rate=kw.pop("fee_rate", 0), repay_type=repay_type, **kw)


class Schedules(unittest.TestCase):
    # (type, term, unit, basis, fee %, net interest in cents, due date)
    CASES = [
        (1, 90, 0, 360, 0, 36000, D(2020, 4, 14)),
        (1, 90, 0, 365, 0, 35507, D(2020, 4, 14)),
        (6, 90, 0, 360, 0, 36000, D(2020, 4, 14)),
        (1, 6, 1, 360, 0, 72000, D(2020, 7, 15)),
        (6, 6, 1, 360, 0, 72000, D(2020, 7, 15)),
        (2, 12, 1, 360, 0, 79423, D(2021, 1, 15)),
        (3, 12, 1, 360, 0, 78000, D(2021, 1, 15)),
        (4, 12, 1, 360, 0, 144000, D(2021, 1, 15)),
        (4, 12, 1, 360, 10, 129600, D(2021, 1, 15)),
        (5, 12, 1, 360, 0, 90000, D(2021, 1, 15)),
        (5, 7, 1, 360, 0, 64000, D(2020, 8, 15)),
    ]

    def test_interest_and_every_sum_of_the_schedule(self):
        for repay_type, term, unit, basis, fee, interest, due in self.CASES:
            with self.subTest(type=repay_type, term=term, unit=unit, basis=basis, fee=fee):
                p = project(repay_type, term, unit, year_basis=basis, fee_rate=fee)
                fig = figures(p)
                months = fig.months.values()
                self.assertEqual(fig.due_date, due)
                self.assertEqual(fig.expected_income, interest)
                self.assertEqual(sum(m.principal for m in months), p.amount)
                self.assertEqual(sum(m.interest for m in months), interest)
                self.assertEqual(sum(m.holding for m in months), interest)
                self.assertEqual(sum(m.days for m in months), (due - p.value_date).days)
                self.assertEqual(fig.actual_income, interest)
                self.assertEqual(fig.fee, round(interest * fee / (100 - fee)))

    def test_repayment_months(self):
        annuity = figures(project(2, 12, 1)).months
        self.assertEqual((annuity[(2020, 2)].principal, annuity[(2020, 2)].interest), (94619, 12000))
        self.assertEqual(annuity[(2020, 1)].repay_day, None)
        self.assertEqual(annuity[(2020, 2)].repay_day, D(2020, 2, 15))
        upfront = figures(project(6, 90, 0)).months
        self.assertEqual(upfront[(2020, 1)].interest, 36000)
        self.assertEqual(upfront[(2020, 4)].principal, 1200000)
        quarterly = figures(project(5, 7, 1)).months
        self.assertEqual([quarterly[k].principal for k in sorted(quarterly)],
                         [0, 0, 0, 400000, 0, 0, 400000, 400000])

    def test_month_ends_are_clamped(self):
        self.assertEqual(add_months(D(2020, 1, 31), 1), D(2020, 2, 29))
        self.assertEqual(add_months(D(2021, 1, 31), 1), D(2021, 2, 28))
        self.assertEqual(add_months(D(2020, 11, 30), 3), D(2021, 2, 28))
        self.assertEqual(add_months(D(2020, 3, 31), -1), D(2020, 2, 29))

    def test_bad_debt_keeps_what_was_repaid_and_loses_the_rest(self):
        p = project(4, 12, 1, status=STATUS_BAD_DEBT, closed_date=D(2020, 4, 20))
        fig = figures(p)
        self.assertEqual(sorted(fig.months), [(2020, 1), (2020, 2), (2020, 3), (2020, 4)])
        self.assertEqual(sum(m.interest for m in fig.months.values()), 36000)
        self.assertEqual(fig.received_principal, 0)
        self.assertEqual(fig.actual_income, 36000 - 1200000)
        self.assertLess(fig.actual_rate, 0)

    def test_voucher_and_extras_raise_the_actual_rate(self):
        plain = figures(project(1, 12, 1))
        extra = figures(project(1, 12, 1, voucher=100000, extra_income=5000, extra_expense=2000))
        self.assertAlmostEqual(plain.actual_rate, 12.0)
        self.assertEqual(extra.actual_income, plain.actual_income + 100000 + 3000)
        self.assertAlmostEqual(extra.actual_rate, (144000 + 103000) / (1200000 - 100000) * 100)


class Records(unittest.TestCase):
    def test_project_row_items(self):
        p = project(1, 90, 0, amount=20000, rate=9.5, id=7, platform="平台", name="项目", account="acc")
        items = project_row(p, figures(p)).split(",")
        self.assertEqual(len(items), 14)
        self.assertEqual(items[:8], ["7", "平台", "项目", "2020-1-15", "2020-4-14", "20000", "90", "9.5"])
        self.assertEqual(items[10:], ["475", "475", "1", "acc"])
        months = project(2, 6, 1)
        self.assertEqual(project_row(months, figures(months)).split(",")[12], "0")

    def test_project_record_items_and_schedule(self):
        p = project(3, 3, 1, fee_rate=10, voucher=5000, extra_income=100, extra_expense=200,
                    remark="续投:是", status=STATUS_FINISHED, year_basis=365)
        items = project_record(p, figures(p)).split(",")
        self.assertEqual(len(items), 22)
        self.assertEqual(items[:9], ["P", "n", "a", "2020-1-15", "2020-4-15", "12000", "3", "1", "12"])
        self.assertEqual(items[10:20], ["10", "24", "216", "265", "3", "2", "50", "1", "2", "续投:是"])
        self.assertEqual(items[21], "365")
        schedule = rows(items[20], ":")
        self.assertEqual([r[0] for r in schedule], ["202001", "202002", "202003", "202004"])
        self.assertTrue(all(len(r) == 6 for r in schedule))
        self.assertEqual(schedule[1][3:], ["4000", "108", "2020-2-15"])
        self.assertEqual(schedule[0][5], "-")


class Snapshot(unittest.TestCase):
    TODAY = D(2020, 6, 10)

    def projects(self):
        return [
            project(1, 30, 0, id=1, platform="A", account="x", value_date=D(2020, 6, 1)),  # due in 21 days
            project(4, 12, 1, id=2, platform="B", account="y", amount=5000),
            project(2, 6, 1, id=3, platform="A", account="", value_date=D(2019, 5, 2),
                    status=STATUS_FINISHED, closed_date=D(2019, 11, 2)),
            project(3, 12, 1, id=4, platform="C", account="x", status=STATUS_BAD_DEBT,
                    closed_date=D(2020, 3, 1)),
            project(6, 60, 0, id=5, platform="B", account="z", value_date=D(2020, 5, 20)),  # due in 39 days
        ]

    def test_sums_match_the_projects(self):
        projects = self.projects()
        figs = {p.id: figures(p) for p in projects}
        snap = account_snapshot(9, "我", projects, self.TODAY, "1.4").text()
        parts = sections(snap)
        self.assertEqual(len(parts), 6)
        info = parts[0].split("|")
        self.assertEqual(len(info), 19)
        current = [p for p in projects if not p.finished]
        finished = [p for p in projects if p.finished]
        self.assertEqual(info[0], "我")
        self.assertEqual(float(info[3]) * 100, sum(p.amount for p in current))
        self.assertAlmostEqual(float(info[4]) * 100, sum(figs[p.id].actual_income for p in finished))
        # Item 5: interest still to be received, after today.
        self.assertEqual(round(float(info[5]) * 100), sum(figs[p.id].interest_due_after(self.TODAY)
                                                          for p in current))
        self.assertEqual((info[8], info[9], info[12]), ("3", "2", "1.4"))
        self.assertAlmostEqual(float(info[16]) * 100, sum(figs[p.id].received_principal for p in finished))

        month_rows = rows(parts[1], ":")
        june = [r for r in month_rows if r[0] == "202006"][0]
        self.assertEqual(info[6], june[2])
        self.assertEqual((info[10], info[11]), (june[3], june[4]))
        self.assertEqual([r[0] for r in month_rows], sorted(r[0] for r in month_rows))
        self.assertAlmostEqual(sum(float(r[3]) for r in month_rows) * 100,
                               sum(figs[p.id].received_principal for p in projects))

        current_platforms = rows(parts[2], ",")
        self.assertTrue(all(len(r) == 9 for r in current_platforms))
        self.assertAlmostEqual(sum(float(r[1]) for r in current_platforms), float(info[3]))
        self.assertAlmostEqual(sum(float(r[2]) for r in current_platforms) * 100,
                               sum(figs[p.id].actual_income for p in current))
        self.assertEqual(sorted(r[0] for r in rows(parts[3], ",")), ["A", "C"])

        self.assertEqual(parts[4], "A,B,C,|x,y,z,")
        due_soon = rows(parts[5], ",")
        self.assertEqual([r[0] for r in due_soon], ["1"])

    def test_pending_interest_counts_only_what_is_not_yet_paid(self):
        # Monthly interest from 2020-01-15: four of twelve payments made by 2020-06-10.
        monthly = project(4, 12, 1, id=1, amount=12000, rate=12.0)
        # Interest paid up front on the value date: nothing left to receive.
        upfront = project(6, 6, 1, id=2, value_date=D(2020, 6, 1))
        # Due in the future, paid at maturity: all of it is still to come.
        at_maturity = project(1, 30, 0, id=3, value_date=D(2020, 6, 1))
        # Paid today: received.
        paid_today = project(1, 30, 0, id=4, value_date=D(2020, 5, 11))
        cases = [(monthly, 8 * 12000), (upfront, 0), (at_maturity, figures(at_maturity).expected_income),
                 (paid_today, 0)]
        for p, pending in cases:
            with self.subTest(id=p.id):
                info = account_snapshot(9, "我", [p], self.TODAY, "1.3").text().split("[]")[0].split("|")
                self.assertEqual(round(float(info[5]) * 100), pending)
        # A finished project adds nothing, whatever its schedule.
        done = project(4, 12, 1, id=5, status=STATUS_FINISHED, closed_date=D(2020, 3, 1))
        info = account_snapshot(9, "我", [done], self.TODAY, "1.3").text().split("[]")[0].split("|")
        self.assertEqual(info[5], "0")

    def test_an_empty_account_says_so_in_items_8_and_9(self):
        parts = sections(account_snapshot(1, "新", [], self.TODAY, "1.3").text())
        info = parts[0].split("|")
        self.assertEqual((info[8], info[9], info[17]), ("0", "0", "0"))
        self.assertEqual(parts[1:], ["", "", "", "|", ""])


if __name__ == "__main__":
    unittest.main()
