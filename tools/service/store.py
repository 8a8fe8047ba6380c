"""Accounts and projects in one SQLite file."""
import datetime
import hashlib
import os
import sqlite3
import threading

from ledger import Project
from wire import CHARSET

SCHEMA = """
CREATE TABLE IF NOT EXISTS users (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    name TEXT UNIQUE NOT NULL,
    display TEXT NOT NULL,
    digest TEXT NOT NULL
);
-- AUTOINCREMENT: the client caches records by id, so an id is never reused.
CREATE TABLE IF NOT EXISTS projects (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    user_id INTEGER NOT NULL REFERENCES users(id),
    platform TEXT NOT NULL,
    account TEXT NOT NULL,
    name TEXT NOT NULL,
    value_date TEXT NOT NULL,
    term INTEGER NOT NULL,
    term_unit INTEGER NOT NULL,
    amount INTEGER NOT NULL,
    rate REAL NOT NULL,
    fee_rate REAL NOT NULL,
    repay_type INTEGER NOT NULL,
    status INTEGER NOT NULL,
    voucher INTEGER NOT NULL,
    extra_income INTEGER NOT NULL,
    extra_expense INTEGER NOT NULL,
    remark TEXT NOT NULL,
    year_basis INTEGER NOT NULL,
    closed_date TEXT
);
"""

FIELDS = ("platform", "account", "name", "value_date", "term", "term_unit", "amount", "rate",
          "fee_rate", "repay_type", "status", "voucher", "extra_income", "extra_expense",
          "remark", "year_basis", "closed_date")


def password_digest(password):
    """The digest the client sends: MD5 of the code-page bytes, lower-case hex."""
    return hashlib.md5(password.encode(CHARSET, errors="replace")).hexdigest()


def _to_row(project):
    values = [getattr(project, f) for f in FIELDS]
    return [v.isoformat() if isinstance(v, datetime.date) else v for v in values]


def _from_row(row):
    data = dict(zip(("id",) + FIELDS, row))
    data["value_date"] = datetime.date.fromisoformat(data["value_date"])
    if data["closed_date"]:
        data["closed_date"] = datetime.date.fromisoformat(data["closed_date"])
    return Project(**data)


class User:
    def __init__(self, row):
        self.id, self.name, self.display, self.digest = row


class Store:
    def __init__(self, data_dir):
        os.makedirs(data_dir, exist_ok=True)
        self.path = os.path.join(data_dir, "service.db")
        self._lock = threading.Lock()
        self._db = sqlite3.connect(self.path, check_same_thread=False, isolation_level=None)
        self._db.executescript(SCHEMA)
        # Moves on with every change, so replies computed from the projects
        # can be kept until the next change.
        self.version = 0

    def close(self):
        with self._lock:
            self._db.close()

    def _run(self, sql, args=()):
        with self._lock:
            if not sql.startswith("SELECT"):
                self.version += 1
            return self._db.execute(sql, args)

    def user(self, name):
        row = self._run("SELECT id, name, display, digest FROM users WHERE name = ?", (name,)).fetchone()
        return User(row) if row else None

    def add_user(self, name, display, digest):
        """Creates the account, or replaces its display name and digest."""
        self._run("INSERT INTO users (name, display, digest) VALUES (?, ?, ?) "
                  "ON CONFLICT(name) DO UPDATE SET display = excluded.display, digest = excluded.digest",
                  (name, display, digest.lower()))
        return self.user(name)

    def projects(self, user_id):
        cols = ", ".join(("id",) + FIELDS)
        rows = self._run("SELECT %s FROM projects WHERE user_id = ? ORDER BY id" % cols, (user_id,))
        return [_from_row(r) for r in rows.fetchall()]

    def project(self, user_id, project_id):
        cols = ", ".join(("id",) + FIELDS)
        row = self._run("SELECT %s FROM projects WHERE user_id = ? AND id = ?" % cols,
                        (user_id, project_id)).fetchone()
        return _from_row(row) if row else None

    def insert_project(self, user_id, project):
        sql = "INSERT INTO projects (user_id, %s) VALUES (?%s)" % (", ".join(FIELDS), ", ?" * len(FIELDS))
        return self._run(sql, [user_id] + _to_row(project)).lastrowid

    def insert_projects(self, user_id, projects):
        """Many projects in one transaction (a large account for benchmarks)."""
        sql = "INSERT INTO projects (user_id, %s) VALUES (?%s)" % (", ".join(FIELDS), ", ?" * len(FIELDS))
        with self._lock:
            self._db.execute("BEGIN")
            self._db.executemany(sql, ([user_id] + _to_row(p) for p in projects))
            self._db.execute("COMMIT")
            self.version += 1

    def update_project(self, user_id, project):
        sets = ", ".join("%s = ?" % f for f in FIELDS)
        cur = self._run("UPDATE projects SET %s WHERE user_id = ? AND id = ?" % sets,
                        _to_row(project) + [user_id, project.id])
        return cur.rowcount == 1

    def set_status(self, user_id, project_id, status, closed_date):
        cur = self._run("UPDATE projects SET status = ?, closed_date = ? WHERE user_id = ? AND id = ?",
                        (status, closed_date.isoformat(), user_id, project_id))
        return cur.rowcount == 1

    def delete_project(self, user_id, project_id):
        cur = self._run("DELETE FROM projects WHERE user_id = ? AND id = ?", (user_id, project_id))
        return cur.rowcount == 1

    def delete_projects(self, user_id):
        self._run("DELETE FROM projects WHERE user_id = ?", (user_id,))
