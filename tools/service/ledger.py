"""Bookkeeping of projects and the reply records built from it.

Money is held in whole cents so that every sum the replies show (a schedule's
months, a platform's projects, the account's totals) adds up exactly.
"""
import calendar
import datetime
import math
from dataclasses import dataclass, field

from wire import date_text, money_text, number_text

REPAY_TYPES = {
    1: "到期还本息",
    2: "等额本息",
    3: "等额本金",
    4: "按月还息到期还本",
    5: "按月还息按季还本",
    6: "标满付息到期还本",
}
MONTHLY_TYPES = (2, 3, 4, 5)

STATUS_CURRENT = 0
STATUS_FINISHED = 2
STATUS_BAD_DEBT = 3


def add_months(day, months):
    """Calendar months later, the day clamped to the target month's length."""
    index = day.month - 1 + months
    year, month = day.year + index // 12, index % 12 + 1
    return datetime.date(year, month, min(day.day, calendar.monthrange(year, month)[1]))


def round_cents(value):
    return int(math.floor(value + 0.5))


def month_key(day):
    return (day.year, day.month)


def next_month(key):
    year, month = key
    return (year + 1, 1) if month == 12 else (year, month + 1)


def month_start(key):
    return datetime.date(key[0], key[1], 1)


def month_range(first, last):
    key = first
    while key <= last:
        yield key
        key = next_month(key)


@dataclass
class Project:
    id: int
    platform: str
    account: str
    name: str
    value_date: datetime.date
    term: int
    term_unit: int  # 0 days, 1 months (the record's TermUnit)
    amount: int  # cents
    rate: float  # annual, percent
    fee_rate: float  # interest management fee, percent of the interest
    repay_type: int
    status: int = STATUS_CURRENT
    voucher: int = 0  # cents
    extra_income: int = 0  # cents
    extra_expense: int = 0  # cents
    remark: str = ""
    year_basis: int = 360
    closed_date: datetime.date = None

    @property
    def in_days(self):
        return self.term_unit == 0

    @property
    def due_date(self):
        if self.in_days:
            return self.value_date + datetime.timedelta(days=self.term)
        return add_months(self.value_date, self.term)

    @property
    def finished(self):
        return self.status != STATUS_CURRENT


@dataclass
class Period:
    """Interest earned over [start, end) on `outstanding` cents."""
    start: datetime.date
    end: datetime.date
    interest: int  # net of the management fee
    fee: int
    outstanding: int
    years: float


@dataclass
class Repayment:
    day: datetime.date
    principal: int
    interest: int


@dataclass
class MonthFigure:
    days: int = 0
    holding: int = 0
    principal: int = 0
    interest: int = 0
    repay_day: datetime.date = None

    def add(self, other):
        self.days += other.days
        self.holding += other.holding
        self.principal += other.principal
        self.interest += other.interest


@dataclass
class Figures:
    due_date: datetime.date
    months: dict = field(default_factory=dict)  # (year, month) -> MonthFigure
    expected_income: int = 0
    actual_income: int = 0
    fee: int = 0
    received_principal: int = 0
    actual_rate: float = 0.0
    repayments: list = field(default_factory=list)  # Repayment, as paid or still to pay

    def interest_due_after(self, day):
        """Interest of the repayments still to come after `day`."""
        return sum(r.interest for r in self.repayments if r.day > day)


def _net_of_fee(gross, fee_rate):
    fee = round_cents(gross * fee_rate / 100.0)
    return gross - fee, fee


def _principal_plan(project):
    """Principal repaid at the end of each monthly period 1..n."""
    n, amount, kind = project.term, project.amount, project.repay_type
    if kind == 3:
        return [amount // n] * (n - 1) + [amount - amount // n * (n - 1)]
    if kind == 5:
        due_months = [k for k in range(1, n + 1) if k % 3 == 0 or k == n]
        share = amount // len(due_months)
        plan = [share if k in due_months else 0 for k in range(1, n + 1)]
        plan[-1] += amount - share * len(due_months)
        return plan
    return [0] * (n - 1) + [amount]  # type 4; type 2 is worked out per period


def plan_schedule(project):
    """The project's interest periods and repayments as agreed.

    Day-term projects and types 1 and 6 pay once: the whole interest at the due
    date (type 6 at the value date, when the loan is fully subscribed). The
    monthly types amortise over calendar months from the value date; a day-term
    project of a monthly type has no months to amortise over and pays like
    type 1."""
    start, due, amount = project.value_date, project.due_date, project.amount
    if project.in_days or project.repay_type not in MONTHLY_TYPES:
        years = project.term / (project.year_basis if project.in_days else 12.0)
        net, fee = _net_of_fee(round_cents(amount * project.rate / 100.0 * years), project.fee_rate)
        periods = [Period(start, due, net, fee, amount, years)]
        if project.repay_type == 6:
            return periods, [Repayment(start, 0, net), Repayment(due, amount, 0)]
        return periods, [Repayment(due, amount, net)]

    n, i = project.term, project.rate / 1200.0
    if project.repay_type == 2:
        payment = amount * i * (1 + i) ** n / ((1 + i) ** n - 1) if i > 0 else amount / n
    principal_plan = _principal_plan(project)
    periods, repayments, outstanding = [], [], amount
    for k in range(1, n + 1):
        gross = round_cents(outstanding * i)
        if project.repay_type == 2:
            principal = outstanding if k == n else round_cents(payment) - gross
        else:
            principal = principal_plan[k - 1]
        net, fee = _net_of_fee(gross, project.fee_rate)
        end = add_months(start, k)
        periods.append(Period(add_months(start, k - 1), end, net, fee, outstanding, 1 / 12.0))
        repayments.append(Repayment(end, principal, net))
        outstanding -= principal
    return periods, repayments


def _spread_over_months(months, start, end, total):
    """Lays `total` cents over the calendar months of [start, end) in
    proportion to their days; rounding never loses a cent."""
    whole_days = (end - start).days
    given, days_done = 0, 0
    for key in month_range(month_key(start), month_key(end - datetime.timedelta(days=1))):
        first = max(start, month_start(key))
        after = min(end, month_start(next_month(key)))
        days_done += (after - first).days
        share = round_cents(total * days_done / whole_days) - given
        given += share
        months[key].holding += share


def figures(project):
    """What the project earns, month by month; a bad debt stops at its
    closing date and loses the principal not repaid by then."""
    periods, repayments = plan_schedule(project)
    due = project.due_date
    cut = None
    if project.status == STATUS_BAD_DEBT:
        cut = min(max(project.closed_date or due, project.value_date), due)
    held_until = cut or due
    last_key = month_key(held_until)
    if cut is None:
        last_key = max([last_key] + [month_key(r.day) for r in repayments])
    months = {key: MonthFigure() for key in month_range(month_key(project.value_date), last_key)}

    for key in months:
        first = max(project.value_date, month_start(key))
        after = min(held_until, month_start(next_month(key)))
        months[key].days = max(0, (after - first).days)

    capital_years = 0.0
    for period in periods:
        whole = (period.end - period.start).days
        held_end = min(period.end, held_until)
        if held_end <= period.start:
            continue
        part = (held_end - period.start).days / whole
        earned = round_cents(period.interest * part)
        _spread_over_months(months, period.start, held_end, earned)
        capital_years += period.outstanding * period.years * part

    received_interest = received_principal = 0
    for repayment in repayments:
        if cut is not None and repayment.day > cut:
            continue
        figure = months[month_key(repayment.day)]
        figure.principal += repayment.principal
        figure.interest += repayment.interest
        figure.repay_day = max(filter(None, (figure.repay_day, repayment.day)))
        received_interest += repayment.interest
        received_principal += repayment.principal

    result = Figures(due_date=due, months=months)
    result.repayments = [r for r in repayments if cut is None or r.day <= cut]
    result.expected_income = sum(p.interest for p in periods)
    result.fee = sum(p.fee for p in periods)
    lost = project.amount - received_principal if cut is not None else 0
    earned = received_interest if cut is not None else result.expected_income
    result.actual_income = earned + project.voucher + project.extra_income - project.extra_expense - lost
    result.received_principal = received_principal if cut is not None else project.amount
    # The voucher is part of the amount but not the user's money.
    own_capital_years = capital_years * (project.amount - project.voucher) / project.amount
    if own_capital_years > 0:
        result.actual_rate = result.actual_income / own_capital_years * 100.0
    return result


def _identity(text):
    return text


def project_row(project, fig, names=_identity):
    """`ProjectRow`: 14 items; item 12 is 1 for a term in days."""
    return ",".join([
        str(project.id),
        names(project.platform),
        names(project.name),
        date_text(project.value_date),
        date_text(fig.due_date),
        money_text(project.amount),
        str(project.term),
        number_text(project.rate, 4),
        number_text(fig.actual_rate),
        str(project.repay_type),
        money_text(fig.expected_income),
        money_text(fig.actual_income),
        "1" if project.in_days else "0",
        names(project.account),
    ])


def schedule_rows(fig):
    rows = []
    for key in sorted(fig.months):
        m = fig.months[key]
        rows.append("%04d%02d:%d:%s:%s:%s:%s|" % (
            key[0], key[1], m.days, money_text(m.holding), money_text(m.principal),
            money_text(m.interest), date_text(m.repay_day) if m.repay_day else "-"))
    return "".join(rows)


def project_record(project, fig, names=_identity):
    """`ProjectRecord`: 22 items, the schedule as item 20."""
    return ",".join([
        names(project.platform),
        names(project.name),
        names(project.account),
        date_text(project.value_date),
        date_text(fig.due_date),
        money_text(project.amount),
        str(project.term),
        str(project.term_unit),
        number_text(project.rate, 4),
        number_text(fig.actual_rate),
        number_text(project.fee_rate, 4),
        money_text(fig.fee),
        money_text(fig.expected_income),
        money_text(fig.actual_income),
        str(project.repay_type),
        str(project.status),
        money_text(project.voucher),
        money_text(project.extra_income),
        money_text(project.extra_expense),
        project.remark,
        schedule_rows(fig),
        str(project.year_basis),
    ])


def row_list(rows):
    """A row list; with no rows, a text without "|" (the client reads an
    empty reply as a failed request, but a text without rows as no rows)."""
    return "".join(row + "|" for row in rows) if rows else "0"


def list_reply(projects, finished, names=_identity):
    """"do=list&" (nearest due first) or "do=overlist&" (latest due first)."""
    chosen = [(p, figures(p)) for p in projects if p.finished == finished]
    chosen.sort(key=lambda pf: (pf[1].due_date, pf[0].id), reverse=finished)
    return row_list([project_row(p, f, names) for p, f in chosen])


def _weighted_rate(pairs):
    """Amount-weighted average of (amount, rate) pairs, percent."""
    total = sum(amount for amount, _ in pairs)
    return sum(amount * rate for amount, rate in pairs) / total if total else 0.0


def _platform_rows(items, names):
    by_platform = {}
    for project, fig in items:
        by_platform.setdefault(project.platform, []).append((project, fig))
    rows = []
    for platform, group in by_platform.items():
        principal = sum(p.amount for p, _ in group)
        rows.append((-principal, platform, ",".join([
            names(platform),
            money_text(principal),
            money_text(sum(f.actual_income for _, f in group)),
            str(len(group)),
            number_text(_weighted_rate([(p.amount, p.rate) for p, _ in group])),
            number_text(_weighted_rate([(p.amount, f.actual_rate) for p, f in group])),
            money_text(sum(p.voucher for p, _ in group)),
            money_text(sum(p.extra_income for p, _ in group)),
            money_text(sum(p.extra_expense for p, _ in group)),
        ])))
    return [row for _, _, row in sorted(rows)]


def _month_rows(items):
    total = {}
    for _, fig in items:
        for key, m in fig.months.items():
            entry = total.setdefault(key, [0, MonthFigure()])
            entry[0] += 1
            entry[1].add(m)
    rows = []
    for key in sorted(total):
        count, m = total[key]
        rows.append("%04d%02d:%d:%s:%s:%s" % (key[0], key[1], count, money_text(m.holding),
                                              money_text(m.principal), money_text(m.interest)))
    return rows, {key: m for key, (_, m) in total.items()}


def _unique(texts):
    seen = []
    for text in texts:
        if text and text not in seen:
            seen.append(text)
    return seen


@dataclass
class Snapshot:
    """An `AccountSnapshot` before it is written out, so that the fault modes
    can cut or change it."""
    user_info: list
    sections: list  # sections 1 to 5 as texts

    def text(self):
        return "[]".join(["|".join(self.user_info)] + self.sections)


def account_snapshot(user_id, display_name, projects, today, latest_version, names=_identity):
    items = sorted(((p, figures(p)) for p in projects), key=lambda pf: pf[0].id)
    current = [(p, f) for p, f in items if not p.finished]
    finished = [(p, f) for p, f in items if p.finished]
    month_rows, month_totals = _month_rows(items)
    this_month = month_totals.get(month_key(today), MonthFigure())

    user_info = [
        names(display_name),
        str(user_id),
        str(len(items)),
        money_text(sum(p.amount for p, _ in current)),
        money_text(sum(f.actual_income for _, f in finished)),
        money_text(sum(f.interest_due_after(today) for _, f in current)),
        money_text(this_month.holding),
        "0",
        str(len(current)),
        str(len(finished)),
        money_text(this_month.principal),
        money_text(this_month.interest),
        latest_version,
        "0",
        "0",
        "0",
        money_text(sum(f.received_principal for _, f in finished)),
        number_text(_weighted_rate([(p.amount, p.rate) for p, _ in current])),
        number_text(_weighted_rate([(p.amount, p.rate) for p, _ in finished])),
    ]

    horizon = today + datetime.timedelta(days=30)
    due_soon = sorted((f.due_date, p.id, p, f) for p, f in current if f.due_date <= horizon)
    platforms = _unique(p.platform for p, _ in items)
    accounts = _unique(p.account for p, _ in items)
    sections = [
        "".join(row + "|" for row in month_rows),
        "".join(row + "|" for row in _platform_rows(current, names)),
        "".join(row + "|" for row in _platform_rows(finished, names)),
        "".join(names(n) + "," for n in platforms) + "|" + "".join(names(n) + "," for n in accounts),
        "".join(project_row(p, f, names) + "|" for _, _, p, f in due_soon),
    ]
    return Snapshot(user_info, sections)
