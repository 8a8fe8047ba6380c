"""Fault modes, settings and the request log that tests switch and read
through "/_control"."""
import collections
import copy
import threading

ACTIONS = ("login", "relogin", "list", "overlist", "showinfo", "add", "del", "bad", "overinfo")
SNAPSHOT_ACTIONS = ["login", "relogin", "add", "del", "bad", "overinfo"]
# "*" stands for every request to softcenter.asp, known action or not;
# the notice page and the updater's files are named on their own.
TARGETS = ACTIONS + ("unknown", "notice", "update")
STAR_TARGETS = ACTIONS + ("unknown",)

# Each kind with its parameters' defaults. "on" lists the targets it hits;
# "times" is how many replies it changes before it goes away (None: until
# cleared).
FAULT_KINDS = {
    "delay": {"on": ["*"], "seconds": 7.0},
    "drop": {"on": ["*"]},
    "empty": {"on": ["*"]},
    "http500": {"on": ["*"], "pipe": True},
    "err": {"on": ["*"], "times": 1},
    "refusal": {"on": ["login", "relogin"], "code": "-2"},
    "fail_message": {"on": ["add"], "message": "该平台暂不支持记账，请联系客服。"},
    "short_snapshot": {"on": SNAPSHOT_ACTIONS, "sections": 6, "userinfo_items": None},
    "long_username": {"on": SNAPSHOT_ACTIONS, "length": 51},
    "save_without_id": {"on": ["add"], "form": "no_comma"},
    "record_without_pipe": {"on": ["showinfo"]},
    "odd_names": {"on": ["*"]},
}
SAVE_FORMS = ("no_comma", "bare", "empty_id")
DOWN_MODES = ("drop", "hang", "refuse")


class ControlError(ValueError):
    pass


def make_fault(params):
    kind = params.get("kind")
    if kind not in FAULT_KINDS:
        raise ControlError("unknown fault kind %r; kinds: %s" % (kind, ", ".join(FAULT_KINDS)))
    fault = copy.deepcopy(FAULT_KINDS[kind])
    fault.setdefault("times", None)
    unknown = set(params) - set(fault) - {"kind", "op", "instance"}
    if unknown:
        raise ControlError("fault %s takes no %s" % (kind, ", ".join(sorted(unknown))))
    fault.update({k: v for k, v in params.items() if k not in ("op", "instance")})
    if isinstance(fault["on"], str):
        fault["on"] = [fault["on"]]
    bad = [t for t in fault["on"] if t != "*" and t not in TARGETS]
    if bad:
        raise ControlError("unknown targets %s; targets: *, %s" % (bad, ", ".join(TARGETS)))
    if fault["times"] is not None and (not isinstance(fault["times"], int) or fault["times"] < 1):
        raise ControlError("times must be a positive whole number or null")
    if kind == "save_without_id" and fault["form"] not in SAVE_FORMS:
        raise ControlError("form must be one of %s" % ", ".join(SAVE_FORMS))
    if kind == "delay" and not isinstance(fault["seconds"], (int, float)):
        raise ControlError("seconds must be a number")
    return fault


class FaultBook:
    def __init__(self):
        self._lock = threading.Lock()
        self._faults = []

    def add(self, fault):
        with self._lock:
            self._faults.append(fault)

    def clear(self):
        with self._lock:
            self._faults = []

    def listing(self):
        with self._lock:
            return copy.deepcopy(self._faults)

    def take(self, kind, target):
        """The first fault of `kind` that hits `target`, used up once."""
        with self._lock:
            for fault in self._faults:
                if fault["kind"] != kind:
                    continue
                if target in fault["on"] or ("*" in fault["on"] and target in STAR_TARGETS):
                    if fault["times"] is not None:
                        fault["times"] -= 1
                        if fault["times"] == 0:
                            self._faults.remove(fault)
                    return fault
        return None


DEFAULT_SETTINGS = {
    "latest_version": "1.3",  # UserInfo item 12
    "min_version": "",  # logins from older clients get "-5|"; "" accepts all
    "clock_offset": 0.0,  # seconds added to the service's clock
    "token_tolerance": 300,  # seconds a token may be off
    "notice": None,  # the notice block: a dict of attributes, a raw text, or None
    "update_newver": "",  # "newver" of a generated descriptor; "" = latest_version
}


class Settings:
    def __init__(self, **overrides):
        self._lock = threading.Lock()
        self._values = dict(DEFAULT_SETTINGS)
        self.update(overrides)
        self._initial = dict(self._values)

    def update(self, changes):
        unknown = set(changes) - set(DEFAULT_SETTINGS)
        if unknown:
            raise ControlError("unknown settings %s; settings: %s"
                               % (sorted(unknown), ", ".join(DEFAULT_SETTINGS)))
        for key, value in changes.items():
            if key in ("clock_offset", "token_tolerance") and not isinstance(value, (int, float)):
                raise ControlError("%s must be a number" % key)
            if key in ("latest_version", "min_version", "update_newver") and not isinstance(value, str):
                raise ControlError("%s must be a text" % key)
            if key == "notice" and not (value is None or isinstance(value, (str, dict))):
                raise ControlError("notice must be an object, a text or null")
        with self._lock:
            self._values.update(changes)

    def reset(self):
        with self._lock:
            self._values = dict(self._initial)

    def __getitem__(self, key):
        with self._lock:
            return self._values[key]

    def as_dict(self):
        with self._lock:
            return copy.deepcopy(self._values)


class RequestLog:
    """The latest requests of one instance with their raw bodies."""

    def __init__(self, size=200):
        self._lock = threading.Lock()
        self._entries = collections.deque(maxlen=size)
        self._seq = 0

    def add(self, entry):
        with self._lock:
            self._seq += 1
            entry["seq"] = self._seq
            self._entries.append(entry)

    def latest(self, n):
        with self._lock:
            return list(self._entries)[-n:] if n > 0 else []

    def clear(self):
        with self._lock:
            self._entries.clear()
