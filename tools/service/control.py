"""Fault modes, settings and the request log that tests switch and read
through "/_control"."""
import collections
import copy
import threading

from wire import TOKEN_CONSTANT

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
    "hold": {"on": ["*"]},
    "drop": {"on": ["*"]},
    "empty": {"on": ["*"]},
    "http500": {"on": ["*"], "pipe": True},
    "err": {"on": ["*"], "times": 1},
    "refusal": {"on": ["login", "relogin"], "code": "-2"},
    "fail_message": {"on": ["add"], "message": "该平台暂不支持记账，请联系客服。"},
    "short_snapshot": {"on": SNAPSHOT_ACTIONS, "sections": 6, "userinfo_items": None},
    "long_username": {"on": SNAPSHOT_ACTIONS, "length": 51},
    "save_without_id": {"on": ["add"], "form": "no_comma"},
    # The action runs and what it changes is stored; then its reply is lost:
    # "drop" resets the connection, "hold" keeps the reply until "release"
    # (the client has given up waiting by then).
    "lost_reply": {"on": ["add"], "then": "drop"},
    "record_without_pipe": {"on": ["showinfo"]},
    "short_record": {"on": ["showinfo"], "items": 12},
    "record_bad_item": {"on": ["showinfo"], "item": 5, "text": "12a"},
    "odd_names": {"on": ["*"]},
    # The updater's descriptor and files ("update"; `path` narrows a fault to
    # one of them, e.g. "update.txt" or "sub/dir/a.dll").
    "wrong_length": {"on": ["update"], "delta": -1},
    "error_page": {"on": ["update"], "status": 404, "length": None},
    "unsafe_paths": {"on": ["update"], "entries": None},
    "slow_body": {"on": ["update"], "after": 1, "seconds": 7.0, "then": "finish"},
    "internal_error": {"on": ["*"]},
    # Row lists that a page reads by position: rows cut short, or an item
    # that the page reads strictly replaced by text that is no number. With
    # "section" the rows of that snapshot section (1 months, 2 and 3
    # platforms, 5 due soon) instead of the list reply; "row" null is every row.
    "short_rows": {"on": ["list", "overlist"], "items": 6, "row": None, "section": None},
    "bad_number": {"on": ["list", "overlist"], "item": 5, "text": "12a", "row": 0, "section": None},
    # How a reply travels, whatever it holds (also the notice page and the
    # updater's files when "on" names them): cut by a reset after `bytes`
    # bytes of body, a Content-Length longer than the body by `extra`, chunked
    # framing (well formed, or broken after `after` bytes: null is half the
    # body), the whole body without a length, ended by the connection's close,
    # a body that trickles `bytes` bytes every `interval` seconds, and the
    # reply's bytes repeated to `megabytes` MiB (in blocks of 64 KiB,
    # `interval` seconds apart; with `held`, the last block waits for "release").
    "reset_in_body": {"on": ["*"], "bytes": 500},
    "long_length": {"on": ["*"], "extra": 100},
    "chunked": {"on": ["*"], "chunk": 1000, "broken": None, "after": None},
    "close_delimited": {"on": ["*"]},
    "trickle_body": {"on": ["*"], "bytes": 100, "interval": 0.5},
    "huge_reply": {"on": ["*"], "megabytes": 100, "framing": "length", "interval": 0, "held": False},
}
# Entries a hostile descriptor could list: (path, size). Each is served
# (that many "X" bytes) to a client that asks for it.
UNSAFE_ENTRIES = [
    ["../escape.dll", 16], ["..\\escape.dll", 16], ["sub/../../escape.dll", 16], ["./dot.dll", 16],
    ["C:/escape.dll", 16], ["C:escape.dll", 16], ["/escape.dll", 16], ["\\escape.dll", 16],
    ["\\\\host\\share\\escape.dll", 16], ["con.dll", 16], ["aux", 16], ["nul.txt", 16],
    ["com1.dll", 16], ["LPT9", 16], ["a*.dll", 16], ["a?.dll", 16], ["tab\there.dll", 16],
    ["trail.dll.", 16], ["trail.dll ", 16], ["stream.dll:evil", 16], ["sub//double.dll", 16],
    ["sub/", 16], ["", 16],
]
SLOW_ENDINGS = ("finish", "close")
TRANSFER_FAULTS = ("reset_in_body", "long_length", "chunked", "close_delimited", "trickle_body", "huge_reply")
# "cut": no last chunk, the connection closed; "bad_size": a chunk size that
# is no hexadecimal number; "short_chunk": a chunk that holds fewer bytes than
# its size says, the connection closed.
CHUNK_BREAKS = (None, "cut", "bad_size", "short_chunk")
# "close": neither a length nor chunks, the end of the body is the end of the
# connection.
HUGE_FRAMINGS = ("length", "chunked", "close")
LOST_REPLY_ENDINGS = ("drop", "hold")
SAVE_FORMS = ("no_comma", "bare", "empty_id", "zero_id", "text_id")
DOWN_MODES = ("drop", "hang", "refuse")


class ControlError(ValueError):
    pass


def make_fault(params):
    kind = params.get("kind")
    if kind not in FAULT_KINDS:
        raise ControlError("unknown fault kind %r; kinds: %s" % (kind, ", ".join(FAULT_KINDS)))
    fault = copy.deepcopy(FAULT_KINDS[kind])
    fault.setdefault("times", None)
    fault.setdefault("path", None)
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
    if kind in ("short_rows", "bad_number"):
        if fault["section"] not in (None, 1, 2, 3, 5):
            raise ControlError("section must be null, 1, 2, 3 or 5")
        if fault["row"] is not None and (not isinstance(fault["row"], int) or fault["row"] < 0):
            raise ControlError("row must be null or a whole number from 0")
        count = fault["items"] if kind == "short_rows" else fault["item"]
        if not isinstance(count, int) or count < 0:
            raise ControlError("%s must be a whole number from 0" % ("items" if kind == "short_rows" else "item"))
    if kind == "short_record" and (not isinstance(fault["items"], int) or not 1 <= fault["items"] <= 22):
        raise ControlError("items must be a whole number from 1 to 22")
    if kind == "record_bad_item" and (not isinstance(fault["item"], int) or not 0 <= fault["item"] <= 21):
        raise ControlError("item must be a whole number from 0 to 21")
    if kind in ("delay", "slow_body") and not isinstance(fault["seconds"], (int, float)):
        raise ControlError("seconds must be a number")
    if fault["path"] is not None and not isinstance(fault["path"], str):
        raise ControlError("path must be a text or null")
    if kind == "wrong_length" and (not isinstance(fault["delta"], int) or fault["delta"] == 0):
        raise ControlError("delta must be a whole number other than 0")
    if kind == "error_page":
        if not isinstance(fault["status"], int) or not 400 <= fault["status"] <= 599:
            raise ControlError("status must be an HTTP error status")
        if fault["length"] not in (None, "listed") and not (isinstance(fault["length"], int)
                                                            and fault["length"] >= 0):
            raise ControlError("length must be null, \"listed\" or a byte count")
    if kind == "unsafe_paths":
        if fault["entries"] is None:
            fault["entries"] = copy.deepcopy(UNSAFE_ENTRIES)
        if not isinstance(fault["entries"], list) or not all(
                isinstance(e, list) and len(e) == 2 and isinstance(e[0], str) and isinstance(e[1], int)
                and e[1] >= 0 for e in fault["entries"]):
            raise ControlError("entries must be a list of [path, size]")
    if kind == "lost_reply" and fault["then"] not in LOST_REPLY_ENDINGS:
        raise ControlError("then must be one of %s" % ", ".join(LOST_REPLY_ENDINGS))
    if kind == "slow_body":
        if not isinstance(fault["after"], int) or fault["after"] < 0:
            raise ControlError("after must be a byte count")
        if fault["then"] not in SLOW_ENDINGS:
            raise ControlError("then must be one of %s" % ", ".join(SLOW_ENDINGS))
    _check_transfer_fault(fault)
    return fault


def _whole(value, least):
    return isinstance(value, int) and not isinstance(value, bool) and value >= least


def _check_transfer_fault(fault):
    kind = fault["kind"]
    if kind == "reset_in_body" and not _whole(fault["bytes"], 0):
        raise ControlError("bytes must be a byte count")
    if kind == "long_length" and not _whole(fault["extra"], 1):
        raise ControlError("extra must be a whole number from 1")
    if kind == "chunked":
        if not _whole(fault["chunk"], 1):
            raise ControlError("chunk must be a whole number from 1")
        if fault["broken"] not in CHUNK_BREAKS:
            raise ControlError("broken must be null or one of %s" % ", ".join(CHUNK_BREAKS[1:]))
        if fault["after"] is not None and not _whole(fault["after"], 0):
            raise ControlError("after must be null or a byte count")
    if kind == "trickle_body":
        if not _whole(fault["bytes"], 1):
            raise ControlError("bytes must be a whole number from 1")
        if not isinstance(fault["interval"], (int, float)) or not 0 <= fault["interval"] <= 60:
            raise ControlError("interval must be a number of seconds from 0 to 60")
    if kind == "huge_reply":
        if not isinstance(fault["megabytes"], (int, float)) or not 0 < fault["megabytes"] <= 1024:
            raise ControlError("megabytes must be a number above 0 and at most 1024")
        if not isinstance(fault["interval"], (int, float)) or not 0 <= fault["interval"] <= 60:
            raise ControlError("interval must be a number of seconds from 0 to 60")
        if fault["framing"] not in HUGE_FRAMINGS:
            raise ControlError("framing must be one of %s" % ", ".join(HUGE_FRAMINGS))
        if not isinstance(fault["held"], bool):
            raise ControlError("held must be true or false")


class FaultBook:
    def __init__(self):
        self._lock = threading.Lock()
        self._faults = []
        # Holds are numbered as they are added; "release" lets every hold
        # added so far go, also one whose request has not come yet.
        self._holds = threading.Condition()
        self._holds_added = 0
        self._holds_released = 0

    @staticmethod
    def _held(fault):
        return (fault["kind"] == "hold" or (fault["kind"] == "lost_reply" and fault["then"] == "hold")
                or (fault["kind"] == "huge_reply" and fault["held"]))

    def add(self, fault):
        if self._held(fault):
            with self._holds:
                self._holds_added += 1
                fault["hold"] = self._holds_added
        with self._lock:
            self._faults.append(fault)

    def clear(self):
        with self._lock:
            self._faults = []
        self.release()

    def release(self):
        with self._holds:
            self._holds_released = self._holds_added
            self._holds.notify_all()

    def wait_released(self, fault, limit):
        """Waits until the hold `fault` is released (at most `limit` seconds)."""
        with self._holds:
            self._holds.wait_for(lambda: self._holds_released >= fault["hold"], limit)

    def listing(self):
        with self._lock:
            return copy.deepcopy(self._faults)

    @staticmethod
    def _hits(fault, kind, target, path):
        if fault["kind"] != kind:
            return False
        if fault["path"] is not None and fault["path"] != path:
            return False
        return target in fault["on"] or ("*" in fault["on"] and target in STAR_TARGETS)

    def take(self, kind, target, path=None):
        """The first fault of `kind` that hits `target` (and `path`, for the
        updater's files), used up once."""
        with self._lock:
            for fault in self._faults:
                if self._hits(fault, kind, target, path):
                    if fault["times"] is not None:
                        fault["times"] -= 1
                        if fault["times"] == 0:
                            self._faults.remove(fault)
                    return fault
        return None


DEFAULT_SETTINGS = {
    "token_constant": TOKEN_CONSTANT,  # the constant of the client's build
    "latest_version": "1.3",  # UserInfo item 12
    "min_version": "",  # logins from older clients get "-5|"; "" accepts all
    "clock_offset": 0.0,  # seconds added to the service's clock
    "token_tolerance": 300,  # seconds a token may be off
    "notice": None,  # the notice block: a dict of attributes, "popup", "question", a raw text, or None
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
            if key == "token_constant" and not (isinstance(value, int) and 0 < value < 1 << 31):
                raise ControlError("token_constant must be a positive 32-bit whole number")
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
