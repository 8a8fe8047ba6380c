"""A service on free ports over a fresh data folder, and a client that talks
to it as the program does."""
import datetime
import json
import shutil
import socket
import tempfile
import unittest
import urllib.error
import urllib.request

from demo import DEMO_NAME, DEMO_PASSWORD
from httpd import Service
from store import password_digest
from wire import CHARSET, encode_body, session_token


def fetch(url, data=None, timeout=6.0):
    """(status, body bytes); status 0 and b"" when no reply came."""
    request = urllib.request.Request(url, data=data)
    if data is not None:
        request.add_header("Content-Type", "application/x-www-form-urlencoded")
    try:
        with urllib.request.urlopen(request, timeout=timeout) as reply:
            return reply.status, reply.read()
    except urllib.error.HTTPError as error:
        return error.code, error.read()
    except (urllib.error.URLError, OSError):
        return 0, b""


class Client:
    """Posts like the program's request routine: a token from the local time
    appended, and one repeat with the service's time after an "err=" reply."""

    def __init__(self, base_url, name=DEMO_NAME, password=DEMO_PASSWORD, version="1.3"):
        self.base_url = base_url
        self.name = name
        self.digest = password_digest(password)
        self.version = version
        self.sent = 0

    def auth(self):
        return [("username", self.name), ("password", self.digest), ("v", self.version)]

    def post(self, fields, token=None, timeout=6.0):
        token = session_token(datetime.datetime.now()) if token is None else token
        self.sent += 1
        status, data = fetch(self.base_url + "softcenter.asp",
                             encode_body(fields + [("session", str(token))]), timeout)
        return status, data.decode(CHARSET)

    def request(self, fields, timeout=6.0):
        _, reply = self.post(fields, timeout=timeout)
        if "err=" in reply:
            moment = datetime.datetime.strptime(reply.replace("err=", ""), "%Y-%m-%d %H:%M:%S")
            _, reply = self.post(fields, token=session_token(moment, datetime.date.today()), timeout=timeout)
        return reply

    def action(self, name, project_id=None, extra=(), timeout=6.0):
        fields = [("do", name)] + ([("id", str(project_id))] if project_id is not None else [])
        return self.request(fields + self.auth() + list(extra), timeout=timeout)


def add_fields(project_id=0, **values):
    """The entry form's fields with sensible defaults."""
    fields = {"v1": "测试平台", "v14": "acc1", "v2": "测试项目", "v3": datetime.date.today().isoformat(),
              "v4": "3", "v15": "1", "v5": "12000", "v6": "12", "v7": "2", "v8": "0", "v9": "0",
              "v10": "0", "v11": "0", "v12": "", "v16": "0", "v17": "360"}
    fields.update(values)
    order = ["v1", "v14", "v2", "v3", "v4", "v15", "v5", "v6", "v7", "v8", "v9", "v10", "v11", "v12",
             "v16", "v17"]
    return [(k, fields[k]) for k in order] + [("id", str(project_id))]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class ServiceCase(unittest.TestCase):
    """Each test gets its own service, data folder and ports."""

    seed_demo = False
    settings = {}

    def setUp(self):
        self.data_dir = tempfile.mkdtemp(prefix="quill-service-")
        self.addCleanup(shutil.rmtree, self.data_dir, True)
        self.update_dir = self.make_update_dir()
        self.service = Service(self.data_dir, update_dir=self.update_dir, primary_port=0, backup_port=0,
                               **self.settings)
        if self.seed_demo:
            self.service.seed_demo()
        self.service.start()
        self.addCleanup(self.service.stop)
        self.primary = self.service.instances["primary"].base_url
        self.backup = self.service.instances["backup"].base_url
        self.client = Client(self.primary)

    def make_update_dir(self):
        return None

    def control(self, *ops, base=None, expect_ok=True):
        url = (base or self.primary).replace("/do/", "/_control")
        status, data = fetch(url, json.dumps(list(ops)).encode("utf-8") if ops else None)
        result = json.loads(data.decode("utf-8"))
        if expect_ok:
            self.assertTrue(result["ok"], result)
        return result

    def fault(self, kind, **params):
        return self.control(dict(op="fault", kind=kind, **params))

    def add_user(self, name="tester", password="secret1", display="测试者"):
        self.control({"op": "add_user", "name": name, "password": password, "display": display})
        self.client = Client(self.primary, name, password)
        return self.client

    def requests(self, instance="primary", n=50):
        url = self.primary.replace("/do/", "/_control?n=%d" % n)
        return json.loads(fetch(url)[1].decode("utf-8"))["instances"][instance]["requests"]


def sections(snapshot):
    return snapshot.split("[]")


def rows(text, sep):
    """Row list as the client reads it: the pieces before the last "|"."""
    return [row.split(sep) for row in text.split("|")[:-1]]
