#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into fuzz/corpus/<target>/.

The seeds are the cases of the unit tests, put into each target's input
format (described at the top of its LLVMFuzzerTestOneInput). Reproducers of
faults that fuzzing found live beside them, named crash-*, and are kept
as they are; this script rewrites only the files it makes.
"""
import os
import struct
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def write(target, name, data):
    folder = os.path.join(ROOT, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "seed-" + name), "wb") as f:
        f.write(data)


def u16(n):
    return struct.pack("<H", n)


def u32(n):
    return struct.pack("<I", n & 0xFFFFFFFF)


def short(b):
    return bytes([len(b)]) + b


def long_(b):
    return u16(len(b)) + b


def datagram(sender, broadcast, sequence, chunk, continued=False):
    return (sender + (b"*" if broadcast else b"") + b"\0" + b"%05d" % sequence + b"\0" + chunk + b"\0"
            + (b"\0" if continued else b""))


# ---- receive: events 0 udp, 1 mailslot, 2 tick, 3 clock ----
def udp(d, host=2):
    return b"\x00" + bytes([host]) + u16(len(d)) + d


def slot(d):
    return b"\x01" + u16(len(d)) + d


TICK = b"\x02"


def clock(seconds):
    return b"\x03" + bytes([seconds])


receive = {
    "hi-to-all": udp(bytes.fromhex("4C 61 62 32 2A 00 30 30 30 30 31 00 4B 65 6C 3E 09 48 69 00")),
    "three-chunks": slot(datagram(b"Lab2", False, 7, b"Kel>\tone ", True)) + slot(datagram(b"Lab2", False, 8, b"two ", True))
    + slot(datagram(b"Lab2", False, 9, b"three")) + TICK,
    "repeat-then-again": udp(datagram(b"Lab2", False, 1, b"Kel>\tx")) * 2 + udp(datagram(b"Lab2", False, 2, b"Kel>\ty"))
    + udp(datagram(b"Lab2", False, 1, b"Kel>\tx")) + TICK,
    "ping-rename-exit": udp(datagram(b"Lab2", True, 1, b"mivletcmd>\tadmin:ping Kel Smith")) + TICK + clock(1)
    + udp(datagram(b"Lab2", True, 2, b"mivletcmd>\tadmin:ping Ann")) + TICK
    + udp(datagram(b"Lab2", True, 3, b"mivletcmd>\tping-appexit")) + TICK,
    "own-ping-and-version": udp(datagram(b"Lab1", True, 1, b"mivletcmd>\tadmin:ping Me"))
    + udp(datagram(b"Lab3", True, 1, b"mivletcmd>\tADMIN:VerSion")) + TICK,
    "silent-peer": udp(datagram(b"Lab2", True, 1, b"mivletcmd>\tadmin:ping Kel")) + TICK + clock(16) + TICK + clock(61)
    + udp(datagram(b"Lab4", True, 1, b"mivletcmd>\tadmin:ping Ann")) + TICK,
    "malformed-then-good": slot(b"x") + slot(datagram(b"Lab2", False, 3, b"Kel>\tafter")) + TICK + TICK,
    "lost-end-joined": udp(datagram(b"Lab2", False, 4, b"Kel>\tlost ", True)) + TICK
    + udp(datagram(b"Lab2", False, 5, b"Kel>\tnext")) + TICK,
    "no-separator": udp(datagram(b"Pc", False, 1, b"no separator here")) + TICK,
    "too-large-for-udp": udp(datagram(b"Lab2", True, 6, b"y" * 430)) + slot(datagram(b"Lab2", False, 7, b"z" * 600)) + TICK,
    "largest": udp(datagram(b"Abcdefghijklmno", True, 2, b"y" * 326)) + TICK,
    # Fields in UTF-8 after the byte order mark, one field at a time.
    "marked-text": udp(datagram(b"Lab2", True, 1, b"Kel>\t\xef\xbb\xbf" + "привет 😀".encode())) + TICK,
    "marked-user-and-ping": udp(datagram(b"Lab2", True, 1, b"mivletcmd>\tadmin:ping \xef\xbb\xbf" + "Кел".encode()))
    + udp(datagram(b"Lab2", False, 2, b"\xef\xbb\xbf" + "Кел".encode() + b">\tGr\xfc\xdfe")) + TICK,
    "marked-cut-across-chunks": slot(datagram(b"Lab2", False, 7, b"Kel>\t\xef\xbb\xbf" + "при".encode()[:5], True))
    + slot(datagram(b"Lab2", False, 8, "при".encode()[5:] + "вет".encode())) + TICK,
    "marked-ill-formed": udp(datagram(b"Lab2", False, 1, b"Kel>\t\xef\xbb\xbf\xc0\x80 \xed\xa0\x80 \xf4\x90\x80\x80 \xd0")) + TICK,
    "marked-first-chunk-lost": udp(datagram(b"Lab2", False, 4, b"Kel>\t\xef\xbb\xbf" + "пр".encode(), True)) + TICK
    + udp(datagram(b"Lab2", False, 6, "ивет".encode()[1:])) + TICK,
    "one-name-two-hosts": udp(datagram(b"Lab2", True, 1, b"mivletcmd>\tadmin:ping Kel"), 2)
    + udp(datagram(b"Lab2", True, 2, b"mivletcmd>\tadmin:ping Kel"), 66) + TICK,
}
for name, data in receive.items():
    write("receive", name, data)


# ---- commands ----
def command(flags, seconds, computer, user, text, commit=0):
    out = bytes([flags, seconds]) + short(computer)
    if not flags & 1:
        out += short(user)
    return out + long_(text) + bytes([commit])


head = short(b"Lab1") + short(b"\\\\files\\apps\\mivlet.exe")
commands = {
    "ping-with-space": head + command(1, 1, b"Lab2", b"", b"admin:ping Kel Smith", 1),
    "ping-then-exit": head + command(1, 1, b"Lab2", b"", b"admin:ping Kel") + command(1, 1, b"Lab2", b"", b"ping-appexit"),
    "exit-unknown": head + command(1, 0, b"Lab9", b"", b"ping-appexit"),
    "version-cases": head + command(1, 0, b"Lab2", b"", b"ADMIN:VerSion") + command(1, 0, b"Lab2", b"", b"version")
    + command(1, 0, b"Lab2", b"", b"admin:ver\r\nsion"),
    "quit-from-share": head + command(5, 0, b"Files", b"", b"admin:quit") + command(1, 0, b"FILES", b"", b"quit"),
    "quit-from-here": short(b"Files") + short(b"\\\\files\\apps\\mivlet.exe") + command(3, 0, b"", b"", b"admin:quit"),
    "own-ping": head + command(3, 0, b"", b"", b"admin:ping Me"),
    "chat-text": head + command(0, 0, b"Lab2", b"Kel", b"admin:quit"),
    "window-gone": head + command(9, 0, b"Files", b"", b"admin:quit") + command(9, 0, b"Lab2", b"", b"admin:ping Kel"),
    "empty-argument": head + command(1, 0, b"Lab2", b"", b"admin:ping ") + command(1, 0, b"", b"", b"admin:ping Kel"),
    "unknown-verb": head + command(1, 0, b"Lab2", b"", b"admin:hello world"),
}
for name, data in commands.items():
    write("commands", name, data)

# ---- prefix: flags, time, names, code ----
MAY8_1547 = 957800820  # Monday 8 May 2000 15:47:00 UTC
MAY8_0905 = 957776700  # 09:05:00


def prefix(code, moment=MAY8_1547, broadcast=False, computer=b"Lathe", user=b"Nico Varga"):
    return bytes([1 if broadcast else 0]) + u32(moment) + u32(0) + short(computer) + short(user) + code


prefixes = {
    "default-direct": prefix(b"u[ (to all users)] H:nn> ", MAY8_0905, user=b"guest"),
    "default-all": prefix(b"u[ (to all users)] H:nn> ", MAY8_0905, True, user=b"guest"),
    "computer-and-date": prefix(b"u @ c[ (to all users)] m/d/yy H:nn> "),
    "designators": prefix(b"hh:nn TT h:nn tt h:nnt HH:nn"),
    "long-time": prefix(b"TTTTT ttttt tttt"),
    "user-is-tokens": prefix(b"User 'User' \"User\""),
    "quotes": prefix(b"'It''s' '' \"a\"\"b\" 'open"),
    "brackets": prefix(b"[a[b]c] a]b [open", broadcast=True),
    "dates": prefix(b"dddddd ddddd dddd ddd dd d mmmm mmm mm m yyyy yyy yy y"),
    "case": prefix(b"MM mm Nn hH ss s"),
    "names-with-directives": prefix(b"u c", user=b"%d%#x%", computer=b"%Q%#"),
    "any-time": bytes([2]) + u32(0x7FFFFFFF) * 4 + u32(0x80000000) * 4 + short(b"C") + short(b"U") + b"dddddd ttttt",
    "utf8-names-and-code": prefix("«u» @ c 'привет' [всем] H:nn> ".encode(), broadcast=True, computer="Хост".encode(),
                                  user="Кел 😀%d".encode()),
    "no-time": bytes([4]) + short(b"C") + short(b"U") + b"u 'q' [b] H:nn",
}
for name, data in prefixes.items():
    write("prefix", name, data)


# ---- time_format: eight fields, then the format ----
def fields(sec, minute, hour, mday, mon, year, wday, yday):
    return b"".join(u32(v) for v in (sec, minute, hour, mday, mon, year, wday, yday))


may8 = fields(0, 47, 15, 8, 4, 100, 1, 128)
time_formats = {
    "every-directive": may8 + b"%a %A %b %B %c %#c %d %#d %H %#H %I %#I %j %m %#m %M %#M %p %S %#S %U %w %W %x %#x %X %y %Y %z %Z %%",
    "cut-off": may8 + b"100% %#",
    "unknown": may8 + b"%Q %#Q %E",
    "midnight-noon": fields(0, 0, 0, 1, 0, 70, 4, 0) + b"%I %p %#I",
    "out-of-range": fields(-1, 60, 25, 0, 12, -1900, 7, 366) + b"%a %b %Y %y %j %U %W %I %#c",
    "extremes": fields(0x7FFFFFFF, 0x80000000, 0x80000000, 0x7FFFFFFF, 0x80000000, 0x7FFFFFFF, 0x80000000,
                       0x7FFFFFFF) + b"%c %#c %j %U %W %Y %y %I",
}
for name, data in time_formats.items():
    write("time_format", name, data)

# ---- strftime: moment, then bytes (top bit: directive) ----
SHARED = "aAbBdHIjmMpSUwWyY%"


def directives(text):
    out = b""
    i = 0
    while i < len(text):
        if text[i] == "%":
            out += bytes([0x80 | SHARED.index(text[i + 1])])
            i += 2
        else:
            out += text[i].encode()
            i += 1
    return out


every = " ".join("%" + d for d in SHARED)
for name, moment in {"epoch": 0, "may-2000": MAY8_1547, "leap-day-2004": 1078012800,
                     "new-year-2037": 2114380800, "last-second": 2145916799, "week-zero": 946684800}.items():
    write("strftime", name, u32(moment) + directives(every))


# ---- settings: flags [login], values (key, name, type, data), [format] ----
def value(key, name_index, type_, data):
    return bytes([key, name_index]) + u32(type_) + u16(len(data)) + data


REG_SZ, REG_BINARY, REG_DWORD = 1, 3, 4
MAIN = ["Username", "Prefix", "ChatTextBackground", "Transport", "UdpPort", "PromptOnAllUsers", "DefaultToLastSender",
        "LogMessages", "PlaySnd", "OnNewMessage", "dlg-x", "dlg-y", "dlg-width", "dlg-height", "dlg-maximized"]
FONT = ["Mask", "Effects", "Height", "Offset", "Color", "CharSet", "PitchAndFamily", "FaceName"]


def main_value(name, type_, data):
    return value(0, MAIN.index(name), type_, data)


def font_value(key, name, type_, data):
    return value(key, FONT.index(name), type_, data)


every_field = 0x0000000F | 0x80000000 | 0x10000000 | 0x40000000 | 0x08000000 | 0x20000000
settings = {
    "empty": b"\x00",
    "user-names": b"\x01" + short(b"  login\tname  ") + main_value("Username", REG_SZ, b"xmivletcmdx\0"),
    "marker-name": b"\x00" + main_value("Username", REG_SZ, b"MIVLETCMD\0"),
    "backgrounds": b"\x00" + main_value("ChatTextBackground", REG_SZ, b"dark\0") + main_value("Prefix", REG_SZ, b"\0"),
    "number-background": b"\x00" + main_value("ChatTextBackground", REG_SZ, b"  -16777215x"),
    "transport": b"\x00" + main_value("Transport", REG_SZ, b"UDP\0") + main_value("UdpPort", REG_DWORD, u32(70000)),
    "eight-byte-dword": b"\x00" + main_value("LogMessages", 11, b"\1\0\0\0\0\0\0\0") + main_value("dlg-x", REG_BINARY, b"\xff\xff"),
    "quickkeys": b"\x00" + value(1, 2, REG_SZ, b"hello F2\0") + value(1, 1, REG_SZ, b"F1 has none\0")
    + value(1, 12, REG_SZ, b"no terminator"),
    "every-font-field": b"\x00" + font_value(2, "Mask", REG_DWORD, u32(every_field)) + font_value(2, "Effects", REG_DWORD, u32(5))
    + font_value(2, "Height", REG_DWORD, u32(200)) + font_value(2, "Offset", REG_DWORD, u32(-20))
    + font_value(2, "Color", REG_DWORD, u32(0x123456)) + font_value(2, "CharSet", REG_DWORD, u32(238))
    + font_value(2, "PitchAndFamily", REG_DWORD, u32(0x22)) + font_value(2, "FaceName", REG_SZ, b"Tahoma\0"),
    "font-without-size": b"\x00" + font_value(3, "Mask", REG_DWORD, u32(0x0F)) + font_value(3, "Height", REG_DWORD, u32(200)),
    "font-long-face": b"\x00" + font_value(2, "Mask", REG_DWORD, u32(0x20000000))
    + font_value(2, "FaceName", REG_SZ, b"A face name that is far longer than thirty-one\0"),
    "source-record": b"\x00" + struct.pack("<IIIiiIBB32s", 60, every_field, 1, 0, 0, 0, 0, 0, b"Arial" + b"x" * 27) + b"\0\0",
}
for name, data in settings.items():
    write("settings", name, data)

# ---- peer_arguments: words ended by zero bytes ----
peer_arguments = {
    "listen-json": [b"listen", b"--json", b"--user", b"ann"],
    "send-port": [b"--port", b"46465", b"send", b"*", b"hello there"],
    "send-stdin": [b"send", b"LAB2", b"-", b"--user", b"kel"],
    "who-wait": [b"who", b"--wait", b"0.5"],
    "who-watch": [b"who", b"--watch"],
    "version": [b"version", b"*", b"--wait", b"3"],
    "help": [b"send", b"--help"],
    "bad-port": [b"--port", b"65536", b"listen"],
    "bad-wait": [b"who", b"--wait", b"-1"],
    "missing-value": [b"who", b"--wait"],
    "unknown-option": [b"--frobnicate", b"listen"],
    "answer": [b"answer", b"--broadcasts", b"--timeout", b"5", b"--", b"bash", b"colleague.sh", b"--json"],
    "bad-timeout": [b"answer", b"--timeout", b"nan", b"--", b"cat"],
}
for name, words in peer_arguments.items():
    write("peer_arguments", name, b"\0".join(words))


# ---- peer_output: flags, time, zone, computer, user, text ----
def record(text, computer=b"Lab2", user=b"Kel", broadcast=True, moment=957787620, offset=0):
    return bytes([1 if broadcast else 0]) + u32(moment) + u32(offset) + short(computer) + short(user) + text


peer_output = {
    "quotes-and-lines": record(b"two\r\nlines\t\x01\xe9", user=b'Kel "K"'),
    "escape-sequence": record(b"\x1b[2J\x1b]0;title\x07 bell", user=b"\x1b[31mred"),
    "forged-line": record(b"hi", user=b"Kel\nLab3  (mallory) 12:00> forged"),
    "c1-controls": record(b"\xc2\x9b2J \xc2\x85 \xc3\xa9 \x9b raw", computer=b"Lab\x7f"),
    "lone-cr": record(b"a\rb\n\rc\r"),
    "version-reply": record(b"The build date is December 12, 2000.", user=b"Lab2", broadcast=False),
    "percent-names": record(b"x", computer=b"%#c", user=b"%d%"),
    "direction-controls": record(b"\xe2\x80\xae gnp.exe \xe2\x81\xa6x\xe2\x81\xa9 \xd8\x9c \xe2\x80\x8f",
                                 user=b"Kel\xe2\x80\xae"),
    "lone-c1-bytes": record(b"\x9b2J \x85 \xc5\x9b \xc0\x9b \xe0\x82\x9b \xe2\x80 \xed\xa0\x80 \xf4\x90\x80\x80",
                            computer=b"Lab\x9b"),
}
for name, data in peer_output.items():
    write("peer_output", name, data)

# ---- legacy_ini: buffer size, section, key, then the file ----
def ini(text, section=b"Main", key=b"CurrentUser", buffer=100):
    return bytes([buffer]) + short(section) + short(key) + text


legacy_ini = {
    "two-profiles": ini(b"[Main]\r\nCurrentUser=2\r\n[Names]\r\n1=Someone Else\r\n2=  Ann Example  \r\n"
                        b"[User-Ann Example]\r\nPromptOnAllUsers=0\r\nOnNewMessage=0\r\ndlg-width=500\r\nLogMessages=1\r\n"
                        b"[User-Someone Else]\r\nPlaySnd=1\r\n"),
    "no-name": ini(b"[Main]\nCurrentUser=3\n[Names]\n1=Kel\n"),
    "quotes-and-numbers": ini(b"[Names]\n1=\"Kel Smith\"\n[User-Kel Smith]\ndlg-x=-1\ndlg-y=0x10\ndlg-width='500'\n"
                              b"dlg-height=12abc\nOnNewMessage=2\n", b"User-Kel Smith", b"dlg-y", 30),
    "carriage-returns": ini(b"[Main]\rCurrentUser=1\r[Names]\r1=Ann\r[User-Ann]\rPlaySnd=1\r"),
    "odd-lines": ini(b"\xef\xbb\xbfstray=1\n[Main\n  [ Main ]  \nCurrentUser\n[Main]\n=x\nCurrentUser = 1 \x1a\n"
                     b"[Names]\n1=" + b"n" * 120 + b"\n", b"", b"stray", 5),
    "zero-bytes": ini(b"[Main]\nCurrentUser=1\x00junk\n[Names]\n1=Ze\x00ro\n", b"Names", b"1", 1),
}
for name, data in legacy_ini.items():
    write("legacy_ini", name, data)

print("seeds written under", ROOT)
