"""One request to softcenter.asp: authentication, the nine actions and the
fault modes that change their replies."""
import copy
import datetime

from control import ACTIONS
from ledger import (REPAY_TYPES, STATUS_BAD_DEBT, STATUS_CURRENT, STATUS_FINISHED, Project,
                    account_snapshot, figures, list_reply, project_record)
from wire import (leading_number, parse_date, parse_number, service_time_text, session_token,
                  token_distance)

ADD_FIELDS = ("v1", "v14", "v2", "v3", "v4", "v15", "v5", "v6", "v7", "v8", "v9", "v10", "v11",
              "v12", "v16", "v17", "id")
EARLIEST_VALUE_DATE = datetime.date(2010, 1, 1)
NAME_LIMIT = 50
REMARK_LIMIT = 200


class Refusal(Exception):
    """A refused request: `code` for the refusal forms, `message` for the
    save's "-F|" form and the log."""

    def __init__(self, code, message, bad_request=False):
        super().__init__(message)
        self.code = code
        self.message = message
        self.bad_request = bad_request


def refusal_text(action, refusal):
    """Each caller recognises failure by its own marker: the record fetch by a
    missing "|", the save by "-F|", every other action by a 3-character code."""
    if action == "showinfo":
        return refusal.code
    if action == "add":
        return "-F|" + refusal.message
    return refusal.code + "|"


def damaged_rows(text, fault):
    """A row list with the rows a `short_rows` or `bad_number` fault names cut
    short or with one item replaced."""
    if "|" not in text:
        return text
    pieces = text.split("|")
    rows = pieces[:-1]
    separator = ":" if fault["section"] == 1 else ","
    for index, row in enumerate(rows):
        if fault["row"] is not None and index != fault["row"]:
            continue
        items = row.split(separator)
        if fault["kind"] == "short_rows":
            items = items[:fault["items"]]
        elif fault["item"] < len(items):
            items[fault["item"]] = fault["text"]
        rows[index] = separator.join(items)
    return "|".join(rows + pieces[-1:])


def odd_name(text):
    return '<b>"%s\'&</b>' % text


def clean_name(text):
    """Platform, account and project names may not hold the reply's separators."""
    text = text.replace("[]", "")
    for ch in ",|:":
        text = text.replace(ch, " ")
    return text.strip()


def clean_remark(text):
    text = text.replace("[]", "")
    for ch in ",|":
        text = text.replace(ch, " ")
    return text.strip()


def _number(form, key, label, low, high, required=False):
    text = form.get(key, "").strip()
    if text == "" and not required:
        return 0.0
    value = parse_number(text)
    if value is None:
        raise Refusal("-9", "%s不是有效的数字：%s" % (label, text), bad_request=True)
    if not low <= value <= high:
        raise Refusal("-9", "%s超出范围（%s 到 %s）：%s" % (label, low, high, text))
    return value


def _cents(value):
    return int(round(value * 100))


def project_from_form(form, today):
    """The "do=add&" fields, checked as strictly as the entry form checks them."""
    missing = [k for k in ADD_FIELDS if k not in form]
    if missing:
        raise Refusal("-9", "缺少字段：" + ",".join(missing), bad_request=True)
    platform, name = clean_name(form.get("v1")), clean_name(form.get("v2"))
    account, remark = clean_name(form.get("v14")), clean_remark(form.get("v12"))
    if not platform or not name:
        raise Refusal("-9", "平台名称和项目名称不能为空。")
    if max(len(platform), len(name), len(account)) > NAME_LIMIT or len(remark) > REMARK_LIMIT:
        raise Refusal("-9", "名称或备注过长。")
    value_date = parse_date(form.get("v3"))
    if value_date is None:
        raise Refusal("-9", "起息日期不正确：" + form.get("v3"), bad_request=True)
    if not EARLIEST_VALUE_DATE <= value_date <= today + datetime.timedelta(days=10):
        raise Refusal("-9", "输入的起息日期不正确，不能小于2010-1-1或大于当前日期10天后。")
    unit = 0 if _number(form, "v15", "期限单位", 0, 1e9, required=True) == 0 else 1
    term = int(round(_number(form, "v4", "投资期限", 1, 1825 if unit == 0 else 60, required=True)))
    repay_type = _number(form, "v7", "投资类型", 1, 6, required=True)
    if repay_type not in REPAY_TYPES:
        raise Refusal("-9", "投资类型不正确：" + form.get("v7"))
    project_id = _number(form, "id", "项目编号", 0, 2 ** 31 - 1, required=True)
    return int(project_id), Project(
        id=int(project_id),
        platform=platform,
        account=account,
        name=name,
        value_date=value_date,
        term=term,
        term_unit=unit,
        amount=_cents(_number(form, "v5", "投资金额", 100, 100000000, required=True)),
        rate=_number(form, "v6", "年化利率", 1, 50, required=True),
        fee_rate=_number(form, "v16", "利息管理费", 0, 50),
        repay_type=int(repay_type),
        status=STATUS_CURRENT if _number(form, "v8", "项目状态", 0, 1e9) == 0 else STATUS_FINISHED,
        voucher=_cents(_number(form, "v9", "代金券", 0, 10000)),
        extra_income=_cents(_number(form, "v10", "额外收入", 0, 100000000)),
        extra_expense=_cents(_number(form, "v11", "额外支出", 0, 100000000)),
        remark=remark,
        year_basis=360 if _number(form, "v17", "年化基准", 0, 1e9) == 360 else 365,
    )


class Exchange:
    """Works out the reply to one decoded body on one instance."""

    def __init__(self, service, instance, form):
        self.service = service
        self.store = service.store
        self.faults = instance.faults
        self.form = form
        self.today = service.now().date()
        self.action = self._action()
        self.names = None
        self.note = ""

    def _action(self):
        action = self.form.get("do")
        if action is None:
            # The client's re-login sends the credentials with no action.
            return "relogin" if "username" in self.form else "unknown"
        return action if action in ACTIONS else "unknown"

    def token_problem(self):
        """The service's time when the token is missing or stale, else None."""
        now = self.service.now()
        text = (self.form.get("session") or "").strip()
        token = int(text) if text.lstrip("-").isdigit() else None
        tolerance = self.service.settings["token_tolerance"]
        expected = session_token(now, constant=self.service.settings["token_constant"])
        if token is not None and token_distance(token, expected) <= tolerance:
            return None
        return service_time_text(now)

    def reply(self):
        handler = getattr(self, "do_" + self.action, None)
        if handler is None:
            raise Refusal("-9", "未知的操作：%r" % self.form.get("do"), bad_request=True)
        if self.form.broken:
            raise Refusal("-9", "字段编码无效：" + ",".join(self.form.broken), bad_request=True)
        self.plain_names = not self.faults.take("odd_names", self.action)
        self.names = (lambda text: text) if self.plain_names else odd_name
        return handler()

    # -- authentication

    def _user(self):
        # "-4" is the service's own failure during a login; what the user
        # sent wrong gets the refusal whose message says so.
        name, digest = self.form.get("username"), self.form.get("password")
        if not name or not digest:
            raise Refusal("-2", "缺少用户名或密码。", bad_request=True)
        user = self.store.user(name)
        if user is None:
            raise Refusal("-2", "账号不存在：" + name)
        if digest.lower() != user.digest:
            raise Refusal("-3", "密码不正确。")
        return user

    def _project_id(self):
        value = parse_number(self.form.get("id"))
        if value is None or value != int(value) or not 0 <= value < 2 ** 31:
            raise Refusal("-9", "项目编号不正确：%r" % self.form.get("id"), bad_request=True)
        return int(value)

    # -- replies

    def snapshot(self, user):
        compute = lambda: account_snapshot(user.id, user.display, self.store.projects(user.id), self.today,
                                           self.service.settings["latest_version"], self.names)
        key = ("snapshot", user.id, user.display, self.today, self.service.settings["latest_version"])
        snap = copy.deepcopy(self.service.memo(key, compute)) if self.plain_names else compute()
        fault = self.faults.take("long_username", self.action)
        if fault:
            snap.user_info[0] = ("u" * fault["length"])
        fault = self.faults.take("short_snapshot", self.action)
        if fault:
            items = fault["userinfo_items"]
            if items is not None:
                snap.user_info = (snap.user_info + ["0"] * items)[:items]
            snap.sections = (snap.sections + [""] * fault["sections"])[:max(0, fault["sections"] - 1)]
        for kind in ("short_rows", "bad_number"):
            fault = self.faults.take(kind, self.action)
            if fault and fault["section"] is not None and fault["section"] <= len(snap.sections):
                snap.sections[fault["section"] - 1] = damaged_rows(snap.sections[fault["section"] - 1], fault)
        return snap.text()

    def do_login(self):
        user = self._user()
        minimum = self.service.settings["min_version"]
        if minimum and leading_number(self.form.get("v")) < leading_number(minimum):
            raise Refusal("-5", "客户端版本过旧：%r" % self.form.get("v"))
        return self.snapshot(user)

    do_relogin = do_login

    def do_list(self, finished=False):
        user = self._user()
        compute = lambda: list_reply(self.store.projects(user.id), finished, self.names)
        reply = self.service.memo(("list", user.id, finished), compute) if self.plain_names else compute()
        for kind in ("short_rows", "bad_number"):
            fault = self.faults.take(kind, self.action)
            if fault and fault["section"] is None:
                reply = damaged_rows(reply, fault)
        return reply

    def do_overlist(self):
        return self.do_list(finished=True)

    def do_showinfo(self):
        user = self._user()
        project = self.store.project(user.id, self._project_id())
        if project is None:
            raise Refusal("-9", "项目不存在。")
        record = project_record(project, figures(project), self.names)
        if self.faults.take("record_without_pipe", self.action):
            items = record.split(",")
            items[20] = ""
            record = ",".join(items)
        fault = self.faults.take("short_record", self.action)
        if fault:
            # Cut short, yet still holding the "|" the client looks for.
            record = ",".join(record.split(",")[:fault["items"]]) + "|"
        fault = self.faults.take("record_bad_item", self.action)
        if fault:
            items = record.split(",")
            items[fault["item"]] = fault["text"]
            record = ",".join(items)
        return record

    def do_add(self):
        user = self._user()
        project_id, project = project_from_form(self.form, self.today)
        if project_id == 0:
            if project.finished:
                project.closed_date = self.today
            project_id = self.store.insert_project(user.id, project)
        else:
            old = self.store.project(user.id, project_id)
            if old is None:
                raise Refusal("-9", "要编辑的项目不存在。")
            if project.finished:
                project.closed_date = old.closed_date if old.finished else self.today
            self.store.update_project(user.id, project)
        snapshot = self.snapshot(user)
        fault = self.faults.take("save_without_id", self.action)
        if fault:
            return {"no_comma": snapshot.replace(",", ""), "bare": snapshot,
                    "empty_id": "," + snapshot, "zero_id": "0," + snapshot,
                    "text_id": "%da,%s" % (project_id, snapshot)}[fault["form"]]
        return "%d,%s" % (project_id, snapshot)

    def _change(self, change):
        user = self._user()
        if not change(user.id, self._project_id()):
            raise Refusal("-9", "项目不存在。")
        return self.snapshot(user)

    def do_del(self):
        return self._change(self.store.delete_project)

    def do_bad(self):
        return self._change(lambda uid, pid: self.store.set_status(uid, pid, STATUS_BAD_DEBT, self.today))

    def do_overinfo(self):
        return self._change(lambda uid, pid: self.store.set_status(uid, pid, STATUS_FINISHED, self.today))
