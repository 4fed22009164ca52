"""Per-test behaviour of the server: greeting, login, delays, dropped connections and rules that
answer chosen commands with canned or malformed replies. The knobs and the rule fields are
documented in tools/README.md."""

import copy
import json
import os
import re
import threading

DEFAULT_GREETING = "200 Kestrova fixture news server ready (posting ok)"

DEFAULTS = {
    "greeting": DEFAULT_GREETING,
    "posting": None,  # None: allowed unless the greeting code is 201
    "users": {},  # user name -> password; "" logs in on AUTHINFO USER alone
    "require_auth": False,  # True: every reader command; a list: only these commands
    "delay_ms": 0,
    "drop_after_bytes": None,
    "drop_connections": None,  # connection numbers (from 1) the drop knobs apply to; None: all
    "rules": [],
    "capabilities": False,  # True: CAPABILITIES, OVER, XOVER and LIST OVERVIEW.FMT answered
    "transit": False,  # True: 401 MODE-READER to reader commands until MODE READER
    "compress": False,  # True (with capabilities): COMPRESS DEFLATE offered and answered
}

_KNOB_TYPES = {
    "greeting": (str,),
    "posting": (bool, type(None)),
    "users": (dict,),
    "require_auth": (bool, list),
    "delay_ms": (int,),
    "drop_after_bytes": (int, type(None)),
    "drop_connections": (list, type(None)),
    "rules": (list,),
    "capabilities": (bool,),
    "transit": (bool,),
    "compress": (bool,),
}

_RULE_FIELDS = {
    "command": (str,),
    "args": (str,),
    "nth": (int,),
    "times": (int,),
    "connection": (int, list),
    "delay_ms": (int,),
    "before": (list,),
    "reply": (str,),
    "data": (list,),
    "drop": (bool,),
    "drop_after_bytes": (int,),
}


class ControlError(ValueError):
    """Controls that cannot be applied; the text names the knob or rule field."""


def _check_type(where: str, value, types):
    if not isinstance(value, types) or (isinstance(value, bool) and bool not in types):
        names = " or ".join("null" if t is type(None) else t.__name__ for t in types)
        raise ControlError(f"{where} must be {names}, not {json.dumps(value)}")


def _validate_rule(index: int, rule):
    _check_type(f"rules[{index}]", rule, (dict,))
    for field, value in rule.items():
        if field not in _RULE_FIELDS:
            raise ControlError(f"rules[{index}]: unknown field {field!r}")
        _check_type(f"rules[{index}].{field}", value, _RULE_FIELDS[field])
    if "command" not in rule:
        raise ControlError(f"rules[{index}]: a rule needs a command")
    if "args" in rule:
        try:
            re.compile(rule["args"])
        except re.error as error:
            raise ControlError(f"rules[{index}].args: {error}") from None


def validate(knobs: dict):
    """Raises ControlError for an unknown knob or a value of the wrong kind."""
    _check_type("controls", knobs, (dict,))
    for name, value in knobs.items():
        if name not in _KNOB_TYPES:
            raise ControlError(f"unknown knob {name!r}")
        _check_type(name, value, _KNOB_TYPES[name])
    for index, rule in enumerate(knobs.get("rules", [])):
        _validate_rule(index, rule)
    for name, password in knobs.get("users", {}).items():
        _check_type(f"users.{name}", password, (str,))


class RuleOutcome:
    """What a matching rule does to one reply; empty fields leave the normal reply alone."""

    def __init__(self, rule: dict):
        self.delay_ms = rule.get("delay_ms")
        self.before = rule.get("before", [])
        self.reply = rule.get("reply")
        self.data = rule.get("data")
        self.drop = rule.get("drop", False)
        self.drop_after_bytes = rule.get("drop_after_bytes")


class Controls:
    """The knobs in force, shared by all connections; a rule's counters are server-wide."""

    def __init__(self, knobs: dict = None):
        self._lock = threading.Lock()
        self._startup = self._merged(DEFAULTS, knobs or {})
        self._set(self._startup)

    @staticmethod
    def _merged(base: dict, update: dict) -> dict:
        validate(update)
        merged = copy.deepcopy(base)
        merged.update(copy.deepcopy(update))
        return merged

    def _set(self, knobs: dict):
        self._knobs = knobs
        self._seen = [0] * len(knobs["rules"])
        self._used = [0] * len(knobs["rules"])

    def reset(self, knobs: dict = None):
        """Back to the start-up knobs, with the given ones applied on top."""
        with self._lock:
            self._set(self._merged(self._startup, knobs or {}))

    def get(self, name: str):
        with self._lock:
            return self._knobs[name]

    def greeting(self) -> str:
        return self.get("greeting")

    def posting_allowed(self) -> bool:
        with self._lock:
            posting = self._knobs["posting"]
            return posting if posting is not None else not self._knobs["greeting"].startswith("201")

    def login_required(self, keyword: str) -> bool:
        """Whether the command (its first word, upper case) needs a login first."""
        required = self.get("require_auth")
        if isinstance(required, list):
            return keyword in (name.upper() for name in required)
        return required

    def drops_apply(self, connection: int) -> bool:
        chosen = self.get("drop_connections")
        return chosen is None or connection in chosen

    def match(self, connection: int, command_line: str):
        """The outcome of the first rule that takes this command, or None. Every rule that
        matches the command counts it, so "nth" means the nth such command."""
        words = command_line.split()
        with self._lock:
            outcome = None
            for index, rule in enumerate(self._knobs["rules"]):
                if not _rule_matches(rule, connection, words):
                    continue
                self._seen[index] += 1
                if outcome is not None:
                    continue
                if "nth" in rule and self._seen[index] != rule["nth"]:
                    continue
                if "times" in rule and self._used[index] >= rule["times"]:
                    continue
                self._used[index] += 1
                outcome = RuleOutcome(rule)
            return outcome


def _rule_matches(rule: dict, connection: int, words: list) -> bool:
    keyword = rule["command"].upper().split()
    if [word.upper() for word in words[:len(keyword)]] != keyword:
        return False
    chosen = rule.get("connection")
    if chosen is not None and connection not in (chosen if isinstance(chosen, list) else [chosen]):
        return False
    if "args" in rule:
        return re.fullmatch(rule["args"], " ".join(words[len(keyword):])) is not None
    return True


class ControlFile:
    """A JSON file of knobs, applied over the start-up knobs again whenever it changes.
    Write it atomically (write a new file, then rename it over the old one)."""

    def __init__(self, path: str, controls: Controls):
        self.path = path
        self.controls = controls
        self._stamp = None
        self.check()

    def check(self):
        """Reloads the file when its time or size changed. A file that cannot be read or applied
        keeps the knobs as they were and raises ControlError."""
        try:
            info = os.stat(self.path)
        except OSError as error:
            raise ControlError(f"{self.path}: {error.strerror}") from None
        stamp = (info.st_mtime_ns, info.st_size, info.st_ino)
        if stamp == self._stamp:
            return
        self._stamp = stamp
        try:
            with open(self.path, encoding="utf-8") as file:
                knobs = json.load(file)
        except (OSError, ValueError) as error:
            raise ControlError(f"{self.path}: {error}") from None
        self.controls.reset(knobs)
