"""The service's side of the wire: request bodies as the client encodes them,
the session token, and the texts that numbers and dates take in replies."""
import datetime
import re
from urllib.parse import unquote_to_bytes

# Shared with the client build (QUILL_TOKEN_CONSTANT); a build with another
# constant starts the service with --token-constant.
TOKEN_CONSTANT = 0x51A3C7E
TOKEN_EPOCH = datetime.datetime(2015, 1, 1)

# GBK is the superset of GB2312 that code page 936 really is; the client
# decodes replies as GB2312 through the same code page.
CHARSET = "gbk"
REPLY_CONTENT_TYPE = "text/html; charset=gb2312"


def to_int32(n):
    n &= 0xFFFFFFFF
    return n - (1 << 32) if n >= (1 << 31) else n


def session_token(moment, today=None, constant=TOKEN_CONSTANT):
    """The token for `moment` (local, naive). `today` gives the date parts,
    which the client always takes from its own clock, even when the seconds
    come from the service's time after an "err=" reply."""
    today = today or moment.date()
    seconds = int((moment.replace(microsecond=0) - TOKEN_EPOCH).total_seconds())
    return to_int32(seconds + today.year + today.month + today.day + constant)


def token_distance(a, b):
    """Absolute difference of two tokens, wrap-around aware."""
    return abs(to_int32(a - b))


def service_time_text(moment):
    return moment.strftime("%Y-%m-%d %H:%M:%S")


def encode_reply(text):
    return text.encode(CHARSET, errors="replace")


class Form:
    """A decoded request body. Keys keep their first value, except "session",
    which the client appends last and which therefore wins when repeated."""

    def __init__(self, pairs, broken):
        self.pairs = pairs
        self.broken = broken  # keys whose value is not valid code-page 936
        self._values = {}
        for key, value in pairs:
            if key == "session" or key not in self._values:
                self._values[key] = value

    def get(self, key, default=None):
        return self._values.get(key, default)

    def __contains__(self, key):
        return key in self._values

    def as_dict(self):
        return dict(self._values)


def _decode_piece(raw):
    data = unquote_to_bytes(raw)
    try:
        return data.decode(CHARSET), True
    except UnicodeDecodeError:
        return data.decode(CHARSET, errors="replace"), False


def decode_body(raw):
    """Split at "&", then at the first "="; a piece without "=" is a raw "&"
    that belonged to the previous value. Values are percent-decoded bytes of
    code page 936; "+" stays "+" (the client sends spaces as %20)."""
    pieces = []
    for piece in raw.split(b"&"):
        if b"=" in piece or not pieces:
            key, _, value = piece.partition(b"=")
            pieces.append([key, value])
        else:
            pieces[-1][1] += b"&" + piece
    pairs, broken = [], []
    for key_raw, value_raw in pieces:
        key, key_ok = _decode_piece(key_raw)
        value, value_ok = _decode_piece(value_raw)
        if not (key_ok and value_ok):
            broken.append(key)
        pairs.append((key, value))
    return Form(pairs, broken)


def encode_body(fields):
    """The body as the client sends it: double-byte characters as their two
    code-page bytes in upper-case percent form, and the characters that would
    change the body's structure escaped too. Used by the tests."""
    def escape(text):
        out = []
        for ch in text:
            if ord(ch) < 0x80 and ch not in "&=%+# " and ord(ch) >= 0x20:
                out.append(ch)
            else:
                out.extend("%%%02X" % b for b in ch.encode(CHARSET, errors="replace"))
        return "".join(out)
    return "&".join(escape(k) + "=" + escape(v) for k, v in fields).encode("ascii")


_NUMBER = re.compile(r"\s*[+-]?(\d+(\.\d*)?|\.\d+)\s*\Z")
_LEADING = re.compile(r"\s*([+-]?(\d+(\.\d*)?|\.\d+))")
_DATE = re.compile(r"\s*(\d{4})[-/.](\d{1,2})[-/.](\d{1,2})(?:[ T]\d{1,2}:\d{1,2}(?::\d{1,2})?)?\s*\Z")


def parse_number(text):
    """The whole text as a decimal number, or None."""
    if text is None or not _NUMBER.match(text):
        return None
    return float(text)


def leading_number(text):
    """The text's leading decimal number, 0 when there is none (how the
    client compares versions)."""
    m = _LEADING.match(text or "")
    return float(m.group(1)) if m else 0.0


def parse_date(text):
    m = _DATE.match(text or "")
    if not m:
        return None
    try:
        return datetime.date(int(m.group(1)), int(m.group(2)), int(m.group(3)))
    except ValueError:
        return None


def date_text(day):
    """Year, month and day without leading zeros, as the client writes dates."""
    return "%d-%d-%d" % (day.year, day.month, day.day)


def number_text(value, places=2):
    """A plain decimal text without grouping or trailing zeros."""
    text = "%.*f" % (places, round(value, places))
    if "." in text:
        text = text.rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def money_text(cents):
    sign = "-" if cents < 0 else ""
    whole, frac = divmod(abs(cents), 100)
    return sign + (str(whole) if frac == 0 else ("%d.%02d" % (whole, frac)).rstrip("0"))
