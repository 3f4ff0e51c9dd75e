#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into tests/fuzz/corpus/<target>/.

The targets read their input through FuzzedDataProvider, which takes strings and byte runs from
the front and numbers from the back; Input builds bytes the targets read as the values given,
in the order they ask for them. Run it again after changing what a target reads.
"""
import hashlib
import pathlib

HERE = pathlib.Path(__file__).resolve().parent
PROFILES = HERE.parent / "unit" / "data" / "profile"


class Input:
    def __init__(self):
        self.front = bytearray()
        self.back = bytearray()  # in the order the target reads them

    def int(self, value, low, high):
        """ConsumeIntegralInRange(low, high) giving value."""
        span, offset, digits = high - low, 0, []
        while offset < 64 and (span >> offset) > 0:
            digits.append(offset)
            offset += 8
        v = value - low
        # The first byte read from the back is the most significant.
        for shift in reversed(digits):
            self.back.append((v >> shift) & 0xFF)
        return self

    def u8(self, value):
        return self.int(value, 0, 255)

    def u32(self, value):
        return self.int(value, 0, 2**32 - 1)

    def bool(self, value):
        return self.u8(1 if value else 0)

    def string(self, text):
        """ConsumeRandomLengthString: backslashes doubled, ended by a backslash and another byte."""
        data = text.encode("utf-8", "surrogateescape") if isinstance(text, str) else bytes(text)
        self.front += data.replace(b"\\", b"\\\\") + b"\\\n"
        return self

    def rest(self, data):
        """ConsumeRemainingBytes: whatever is left, read last."""
        self.tail = bytes(data)
        return self

    def bytes(self):
        return bytes(self.front) + getattr(self, "tail", b"") + bytes(reversed(self.back))


def write(target, seeds):
    folder = HERE / "corpus" / target
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in seeds:
        digest = hashlib.sha1(data).hexdigest()[:8]
        (folder / f"{name}-{digest}").write_bytes(data)


def chat_line():
    def presses(lines, count_a=0, count_b=0, hands=0):
        i = Input().u32(count_a).int(count_b, 0, 12).u8(hands).int(len(lines), 1, 3)
        for keybind, text, *braces in lines:
            i.int(keybind, 1, 4).bool(bool(braces and braces[0])).string(text)
        return i.bytes()

    return [
        ("headshot", presses([(1, "That was headshot number $a")] * 2)),
        ("shared-counters", presses([(1, "$a"), (2, "$a $b"), (1, "$a")])),
        ("all-variables", presses([(3, "$a $b $c $d $$a $A $e $ab")], 41, 12)),
        ("plain", presses([(4, "GG WP 123 and again")])),
        ("punctuation", presses([(1, "Headshot!? \"yes\" #1 @2 &3 *4 _ = ; : ' , . / < > ? | \\ `")])),
        ("escapes", presses([(1, "+gg {~} {{}"), (2, "50{%} {+}1 {(}ok{)} {[}TAG{]} [x]")])),
        ("groups", presses([(1, "+(shout) +1 ^c %{f4} ^+(ab)")])),
        ("named-keys", presses([(1, "typo{BS}{bs}o {LEFT 2}X{END}! {home}{del}{tab}{esc}")])),
        ("held-shift", presses([(1, "Nice shot, #$a! {LEFT}{DEL}?")], 7, 0, 0x81)),
        ("held-all", presses([(2, "+a b ^c %d ~")], 0, 0, 0xBF)),
        ("invalid", presses([(2, "number $a {enter"), (2, "number $a")])),
        ("unbalanced", presses([(1, "(a"), (1, "a)"), (1, "+")])),
        ("repeat", presses([(1, "{x $a}{$a}{a 255}{b 255}{c 255}{d 255}")], 2)),
        ("unicode", presses([(1, "caf\u00e9 \u20ac \U0001F600")])),
        ("bad-utf8", presses([(1, b"caf\xc3 \xe2\x82")])),
        ("control", presses([(1, "one~two\r\nthree\tfour\x01")])),
        ("watched-keys", presses([(1, "{F9}{f1}{PRTSC}{BREAK}{scrolllock}{F12}{pause}")])),
        ("long", presses([(1, "x" * 1000), (1, "y" * 1001)])),
        ("signs-in-braces", presses([(1, "+1 50% ~ (ok) {TAG} [x] ^^ $a", True),
                                     (2, "{enter} ~~ %$b", True)])),
    ]


def profile_bytes(i, raw=None, lines=None, shape=0):
    """One file as profileBytes reads it: raw bytes, or lines as (text, end) pairs."""
    if raw is not None:
        i.u8(shape | 1).string(raw)
        return
    i.u8(shape & ~1).int(len(lines), 0, 320)
    for text, end in lines:
        i.string(text).int(end, 0, 3)


def profile_file():
    def golden(name):
        return (PROFILES / name).read_bytes()

    def plan(second=False, cancel=False, game=False, nick1252=False):
        return second | cancel << 1 | game << 2 | nick1252 << 3

    def seed(files, nick, **kw):
        i = Input().u8(plan(**kw))
        for f in files:
            profile_bytes(i, **f)
        return i.string(nick).bytes()

    mixed = [(f"\"setting_{n:03}\" \"{n * 7}\"", n % 4) for n in range(1, 71)]
    mixed[63] = ("Bob", 0)
    many = [(f"line {n}", 0) for n in range(1, 251)]
    many[63] = ("Bob", 0)
    gaps = [("" if n % 9 == 0 else f"k{n}", n % 3) for n in range(1, 90)]
    gaps[0], gaps[63] = ("first", 0), ("Zo\xeb", 1)
    seeds = []
    for name in ["player70_bob.cfg", "player70_bob_cr.cfg", "long250_bob.cfg", "gaps_bob.cfg",
                 "cp1252_zoe.cfg", "name_empty.cfg", "name_short.cfg", "short30.cfg",
                 "lone_lf.cfg", "first_line_empty.cfg"]:
        stem = name.removesuffix(".cfg")
        seeds.append((stem, seed([{"raw": golden(name)}, {"raw": b""}], "Ann")))
    seeds += [
        ("then-other", seed([{"raw": golden("player70_bob.cfg")}, {"raw": golden("short30.cfg")}],
                            "Ann \"Axe\"", second=True)),
        ("then-cancel", seed([{"raw": golden("long250_bob.cfg")}, {"raw": b""}], "Ren\xe9e",
                             cancel=True, nick1252=True)),
        ("game-rewrites", seed([{"raw": golden("player70_bob.cfg")}, {"raw": b""},
                                {"raw": golden("short30.cfg")}], "Ann", game=True)),
        ("game-changes", seed([{"raw": golden("player70_bob.cfg")}, {"raw": b""},
                               {"raw": golden("player70_bob_cr.cfg")}], "Ann", game=True)),
        ("mixed-ends", seed([{"lines": mixed, "shape": 4}, {"raw": b""}], "Ann")),
        ("many-lines", seed([{"lines": many, "shape": 4 | 8}, {"raw": b""}], "x" * 70)),
        ("empty-lines", seed([{"lines": gaps, "shape": 4}, {"raw": b""}], "Zo\xeb",
                             nick1252=True)),
        ("nul-bytes", seed([{"lines": [("a\0b", 0)] * 63 + [("\0\0\0", 1)], "shape": 4},
                            {"raw": b""}], "N\0l")),
        ("line-break-nick", seed([{"raw": golden("player70_bob.cfg")}, {"raw": b""}],
                                 "Ann\r\nBob")),
        ("unstorable-nick", seed([{"raw": golden("player70_bob.cfg")}, {"raw": b""}],
                                 "Ann\u2713")),
    ]
    return seeds


def registry_value():
    def seed(name, places, text, deny=False):
        i = Input()
        if name is None:
            i.bool(True)
        else:
            i.bool(False).string(name)
        mask = 0
        for p, _, _ in places:
            mask |= 1 << p
        i.u8(mask)
        for _, kind, data in places:
            i.int(kind, 0, 11).int(len(data), 0, 64).front.extend(data)
        return i.bool(deny).string(text).bytes()

    SZ, BINARY, DWORD = 1, 3, 4
    return [
        ("sz", seed(None, [(2, SZ, b"75")], "80")),
        ("sz-nul", seed(None, [(2, SZ, b"75\0")], "8\x000")),
        ("sz-mid-nul", seed("KeyBind1", [(2, SZ, b"gg\0wp")], "gg wp $a")),
        ("binary-300", seed(None, [(2, BINARY, b"\x2c\x01")], "100")),
        ("binary-minus", seed(None, [(2, BINARY, b"\xff\xff")], "")),
        ("binary-one", seed(None, [(2, BINARY, b"\x05")], "")),
        ("binary-empty", seed(None, [(2, BINARY, b"")], "")),
        ("binary-long", seed(None, [(2, BINARY, b"\x01\x02\x03\x04\x05")], "")),
        ("dword", seed(None, [(2, DWORD, b"\x64\0\0\0")], "", deny=True)),
        ("user-first", seed("MSN", [(0, SZ, b"True"), (2, SZ, b"False")], "True", deny=True)),
        ("virtual-store", seed("ScreenyFormat", [(1, SZ, b"Bmp"), (2, SZ, b"Jpg")], "Bmp")),
        ("all-three", seed("MSN Title", [(0, DWORD, b""), (1, BINARY, b"\x2c\x01"),
                                         (2, SZ, b"x")], "has just signed in.")),
    ]


def screenshot_naming():
    STORE, ADD, REMOVE = 2, 0, 1
    attributes = {"archive": 0, "hidden": 3, "hidden-system": 4, "system": 5, "folder": 6,
                  "hidden-folder": 7}

    def seed(prefix, steps):
        i = Input()
        if isinstance(prefix, int):
            i.bool(False).int(prefix, 0, 4)
        else:
            i.bool(True).string(prefix)
        for ext, number, variant, action, attr in steps:
            i.int(ext, 0, 2).int(number, 1, 40).int(variant, 0, 7).int(action, 0, 3)
            if action == ADD:
                i.int(attributes[attr], 0, 8)
        return i.bytes()

    def add(n, attr="archive", ext=0, variant=3):
        return (ext, n, variant, ADD, attr)

    def store(ext=0):
        return (ext, 1, 3, STORE, None)

    def remove(n, ext=0):
        return (ext, n, 3, REMOVE, None)

    return [
        ("fills-gap", seed(0, [add(1), add(2), add(4), store(), store()])),
        ("formats", seed(0, [add(1), add(2), store(1), store(0)])),
        ("ten", seed(0, [add(n) for n in range(1, 10)] + [store()])),
        ("bare-numbers", seed(1, [add(1), store(), store()])),
        ("attributes", seed(0, [add(1, "hidden"), add(2, "system"), add(3, "folder"),
                                add(4, "hidden-system"), add(5, "hidden-folder"), store(),
                                store(), store()])),
        ("stored-hidden", seed(0, [add(1, "hidden"), store(), store(), remove(1), store()])),
        ("case", seed(0, [add(1, variant=0), add(2, ext=2), store(), store(2)])),
        ("padding", seed(0, [add(1, variant=1), add(2, variant=2), store(), store(1)])),
        ("blank-prefix", seed(2, [add(1), store(), remove(1), store()])),
        ("dot-prefix", seed(3, [store(), store()])),
        ("odd-prefix", seed("Shot?", [store(), store()])),
        ("device-prefix", seed("CON", [store(), add(2), store()])),
    ]


def quality_text():
    def text(t):
        return Input().bool(False).rest(t.encode()).bytes()

    seeds = [(f"text-{n}", text(t)) for n, t in enumerate(
        ["100", "75", "  75 ", "\t80", "+5", "-5", "007", "74.5", "75.5", "-2.5", ".5", "5.",
         "0.50000000000000000001", "2147483647", "-2147483648", "2147483647.5",
         "-2147483648.5001", "99999999999999999999", "abc", "", "1 2", "--1", "0x10", "1e3"])]

    def written(blank1, sign, drop_sign, zeros, whole, zero_ok, fraction, blank2):
        i = Input().bool(True).int(blank1, 0, 3).int(sign, 0, 1).bool(drop_sign)
        i.int(zeros, 0, 12).int(whole, 0, 4294967296)
        if whole == 0:
            i.bool(zero_ok)
        i.bool(fraction is not None)
        if fraction is not None:
            i.int(fraction, 0, 8)
        return i.int(blank2, 0, 3).bytes()

    seeds += [
        ("written-max", written(0, 0, True, 0, 2147483647, False, None, 0)),
        ("written-min", written(1, 1, False, 3, 2147483648, False, None, 2)),
        ("written-half", written(0, 1, False, 0, 2147483647, False, 1, 0)),
        ("written-zero", written(3, 0, False, 12, 0, True, 3, 3)),
    ]
    return seeds


def picture_files():
    def seed(shots, shared=True):
        i = Input().bool(shared).int(len(shots), 1, 3)
        for width, height, bmp, quality, screen, blocks, band, palette in shots:
            i.int(width, 1, 300).int(height, 1, 300).bool(bmp).int(quality, -5, 120)
            i.bool(screen).bool(blocks).int(band, 1, 64).int(len(palette), 0, 3 * 64)
            i.front.extend(palette)
        return i.bytes()

    rgb = bytes(range(0, 192))
    return [
        ("bmp-1x1", seed([(1, 1, True, 100, False, False, 16, b"\x10\x20\x30")])),
        ("bmp-odd", seed([(17, 9, True, 100, False, False, 16, rgb)])),
        ("bmp-300", seed([(300, 300, True, 100, True, True, 64, b"")])),
        ("jpg-1x1", seed([(1, 1, False, 100, False, False, 16, b"\xff\x00\x80")])),
        ("jpg-small", seed([(33, 7, False, 75, False, True, 1, rgb[:42])])),
        ("jpg-bands", seed([(64, 96, False, 90, False, True, 16, rgb)])),
        ("jpg-300", seed([(300, 300, False, 100, False, True, 16, rgb)])),
        ("jpg-tall", seed([(1, 300, False, -5, True, False, 5, b"\x00\x00\x00")], False)),
        ("jpg-wide", seed([(300, 1, False, 120, False, True, 64, b"\xff\xff\xff")])),
        ("jpg-own-lane", seed([(129, 77, False, 50, False, False, 3, rgb)], False)),
        ("same-size-again", seed([(96, 64, False, 90, False, True, 16, rgb),
                                  (96, 64, False, 90, True, True, 7, rgb[::-1])])),
        ("mixed-formats", seed([(40, 40, False, 80, False, True, 16, rgb),
                                (40, 40, True, 80, False, False, 16, rgb),
                                (41, 39, False, 100, False, True, 16, rgb[:96])])),
    ]


if __name__ == "__main__":
    for target, make in [("chat_line", chat_line), ("profile_file", profile_file),
                         ("registry_value", registry_value),
                         ("screenshot_naming", screenshot_naming),
                         ("quality_text", quality_text), ("picture_files", picture_files)]:
        write(target, make())
