#!/usr/bin/env python3
"""Local reference service of Quillmoor: the server side of the client's wire
format, for tests and for running the program. See README.md."""
import argparse
import json
import os
import signal
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from control import ControlError, make_fault  # noqa: E402
from httpd import Service  # noqa: E402
from wire import TOKEN_CONSTANT  # noqa: E402


def parse_args(argv):
    p = argparse.ArgumentParser(description=__doc__)
    p.add_argument("--primary-port", type=int, default=18080, help="0 picks a free port")
    p.add_argument("--backup-port", type=int, default=18081, help="0 picks a free port")
    p.add_argument("--host", default="127.0.0.1")
    p.add_argument("--data", required=True, help="folder of the SQLite file and the log")
    p.add_argument("--update-dir", help="folder served under update/")
    p.add_argument("--seed-demo", action="store_true", help="create the demo account afresh")
    p.add_argument("--latest-version", default="1.3", help="UserInfo item 12")
    p.add_argument("--min-version", default="", help="older clients get \"-5|\" at login")
    p.add_argument("--clock-offset", type=float, default=0.0, help="seconds added to the service's clock")
    p.add_argument("--token-tolerance", type=int, default=300, help="seconds a token may be off")
    p.add_argument("--token-constant", type=lambda text: int(text, 0), default=TOKEN_CONSTANT,
                   help="the session token's constant of the client build (0x51A3C7E)")
    p.add_argument("--notice", help="notice block: a JSON object of attributes, \"popup\" or \"question\" "
                                    "(the examples of both types), or a raw text")
    p.add_argument("--update-newver", default="", help="newver of a generated update.txt")
    p.add_argument("--fault", action="append", default=[], metavar="JSON",
                   help="a fault as in the control request, e.g. '{\"kind\":\"empty\",\"instance\":\"primary\"}'")
    p.add_argument("--down", action="append", default=[], metavar="INSTANCE[:MODE]",
                   help="start with primary or backup not answering (drop, hang or refuse)")
    p.add_argument("--quiet", action="store_true", help="log to the data folder only")
    return p.parse_args(argv)


def _notice(text):
    if text is None:
        return None
    try:
        value = json.loads(text)
    except ValueError:
        return text
    return value if isinstance(value, dict) else text


def build(args):
    service = Service(args.data, update_dir=args.update_dir, host=args.host,
                      primary_port=args.primary_port, backup_port=args.backup_port, echo=not args.quiet,
                      latest_version=args.latest_version, min_version=args.min_version,
                      clock_offset=args.clock_offset, token_tolerance=args.token_tolerance,
                      token_constant=args.token_constant,
                      notice=_notice(args.notice), update_newver=args.update_newver)
    if args.seed_demo:
        service.seed_demo()
    for text in args.fault:
        params = json.loads(text)
        which = params.get("instance", "both")
        for name, instance in service.instances.items():
            if which in (name, "both"):
                instance.faults.add(make_fault(params))
    return service


def main(argv=None):
    args = parse_args(argv)
    try:
        service = build(args)
        service.start()
        for item in args.down:
            name, _, mode = item.partition(":")
            service.instances[name].set_down(mode or "drop")
    except (ControlError, ValueError, KeyError, OSError) as error:
        print("service: %s" % error, file=sys.stderr)
        return 2
    done = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: done.set())
    signal.signal(signal.SIGINT, lambda *_: done.set())
    print("service ready primary=%s backup=%s" % (service.instances["primary"].base_url,
                                                  service.instances["backup"].base_url), flush=True)
    done.wait()
    service.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())
