"""The demo account: about forty projects laid out around today's date, so
that every page of the program has something real to show."""
import datetime
import random

from ledger import (MONTHLY_TYPES, STATUS_BAD_DEBT, STATUS_CURRENT, STATUS_FINISHED, Project,
                    add_months)
from store import password_digest

DEMO_NAME = "demo"
DEMO_PASSWORD = "demo123"
DEMO_DISPLAY = "演示用户"

# Platform, product name, the user's accounts there, interest fee (percent).
PLATFORMS = [
    ("陆金所", "稳盈-安e", ("demo_lu",), 0),
    ("人人贷", "U计划", ("小明", "xiaoming88"), 10),
    ("拍拍贷", "散标", ("家庭账户",), 0),
    ("积木盒子", "月息通", ("小明",), 0),
    ("点融网", "团团赚", ("demo_dr",), 0),
    ("宜人贷", "宜定盈", ("家庭账户", ""), 5),
]
AMOUNTS = [1000, 2000, 3000, 5000, 8000, 10000, 20000, 50000]
RATES = [6.8, 7.5, 8.0, 8.4, 9.0, 10.0, 11.5, 12.0, 13.2, 15.0]
REMARKS = ["", "", "到期续投", "首投奖励", "", "债权转让回款", "备注:季度付息", ""]

# (type, term, unit, days from today to the due date); unit 0 = days.
DUE_SOON = [(1, 30, 0, 3), (2, 6, 1, 8), (6, 60, 0, 15), (4, 3, 1, 22), (3, 12, 1, 29)]


def _term_choice(rng, repay_type, seq):
    if repay_type not in MONTHLY_TYPES and seq % 2 == 0:
        return rng.choice([60, 90, 180, 365]), 0
    return rng.choice([3, 6, 9, 12, 24]), 1


def _value_date_for_due(due, term, unit):
    if unit == 0:
        return due - datetime.timedelta(days=term)
    return add_months(due, -term)


def _layout(today, rng):
    """(type, term, unit, value date, status, closed date) of every project."""
    plans = []
    for repay_type, term, unit, offset in DUE_SOON:
        due = today + datetime.timedelta(days=offset)
        plans.append((repay_type, term, unit, _value_date_for_due(due, term, unit), STATUS_CURRENT, None))
    for seq in range(21):
        repay_type = seq % 6 + 1
        term, unit = _term_choice(rng, repay_type, seq)
        probe = Project(0, "", "", "", today, term, unit, 100, 1, 0, repay_type)
        span = (probe.due_date - today).days
        value_date = today - datetime.timedelta(days=rng.randint(0, span - 40))
        plans.append((repay_type, term, unit, value_date, STATUS_CURRENT, None))
    for seq in range(13):
        repay_type = (seq + 3) % 6 + 1
        term, unit = _term_choice(rng, repay_type, seq)
        due = today - datetime.timedelta(days=rng.randint(3, 720))
        plans.append((repay_type, term, unit, _value_date_for_due(due, term, unit), STATUS_FINISHED, due))
    plans.append((2, 12, 1, today - datetime.timedelta(days=200), STATUS_BAD_DEBT,
                  today - datetime.timedelta(days=45)))
    return plans


def demo_projects(today):
    rng = random.Random(20151203)
    projects = []
    for seq, (repay_type, term, unit, value_date, status, closed) in enumerate(_layout(today, rng)):
        platform, product, accounts, fee = rng.choice(PLATFORMS)
        amount = rng.choice(AMOUNTS) * 100 + (12345 if seq % 7 == 3 else 0)
        projects.append(Project(
            id=0,
            platform=platform,
            account=accounts[seq % len(accounts)],
            name="%s%02d%02d-%d期" % (product, value_date.year % 100, value_date.month, seq + 1),
            value_date=value_date,
            term=term,
            term_unit=unit,
            amount=amount,
            rate=rng.choice(RATES),
            fee_rate=fee,
            repay_type=repay_type,
            status=status,
            voucher=[0, 0, 0, 0, 2000, 5000][seq % 6],
            extra_income=1250 if seq % 6 == 5 else 0,
            extra_expense=500 if seq % 9 == 4 else 0,
            remark=REMARKS[seq % len(REMARKS)],
            year_basis=365 if platform == "陆金所" and unit == 0 else 360,
            closed_date=closed,
        ))
    return projects


def seed_demo(store, today):
    """Creates the demo account afresh: an existing one loses its projects."""
    user = store.add_user(DEMO_NAME, DEMO_DISPLAY, password_digest(DEMO_PASSWORD))
    store.delete_projects(user.id)
    for project in demo_projects(today):
        store.insert_project(user.id, project)
    return user


def seed_many(store, name, password, count, today, distinct_names=False):
    """An account of `count` current projects in days, on the demo's
    platforms, due from tomorrow on: large lists for benchmarks. With
    `distinct_names` each project has a platform and an account of its own
    (平台N, 账户N): a snapshot with `count` names of each. An existing account
    loses its projects."""
    user = store.add_user(name, name, password_digest(password))
    store.delete_projects(user.id)
    projects = []
    for seq in range(count):
        platform, product, accounts, fee = PLATFORMS[seq % len(PLATFORMS)]
        term = 30 + seq % 335
        projects.append(Project(
            id=0,
            platform="平台%d" % (seq + 1) if distinct_names else platform,
            account="账户%d" % (seq + 1) if distinct_names else accounts[seq % len(accounts)],
            name="%s-%d" % (product, seq + 1),
            value_date=today - datetime.timedelta(days=seq % 29),
            term=term,
            term_unit=0,
            amount=AMOUNTS[seq % len(AMOUNTS)] * 100,
            rate=RATES[seq % len(RATES)],
            fee_rate=fee,
            repay_type=1,
        ))
    store.insert_projects(user.id, projects)
    return user
