#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets from real sessions.

server/: operations in server_fuzz's encoding (see server_fuzz.cpp);
client/: what a client receives from the server, behind client_fuzz's two
leading bytes. Run from anywhere: python3 fuzz/make_corpus.py
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

WORDS = ["LOGIN", "LOGOUT", "NEWGAME", "JOINGAME", "JOINGAME", "SEAT", "STARTGAME", "STARTGAME",
         "EXCHANGE", "EXCHANGE", "EXCHANGE", "BET", "BET", "BET", "CHAT", "EXIT"]
ARGS = ["0", "1", "2", "3", "4", "5", "-1", "10", "1", "0", "-2", "6", "11", "2147483647",
        "-2147483648", "2147483648", "99999999999", "", " 1", "+1", "01", "abc", "1000", "995",
        "1073741824", "-1000", "ann", "Bob", "\xC4pfel", "x y", "\\t", "2147483642"]
# The extension's requests, and the words a FEATURES line names.
EXTENSION_WORDS = ["FEATURES", "GAMES"]
FEATURE_WORDS = ["turn", "showdown", "games", "bogus", "reasons"]


def connect(slot):
    return bytes([0x00 | (slot - 1)])


def close(slot):
    return bytes([0x10 | (slot - 1)])


def error(slot):
    return bytes([0x20 | (slot - 1)])


def raw(slot, data):
    data = data.encode("latin-1")
    assert len(data) < 256
    return bytes([0x30 | (slot - 1), len(data)]) + data


def flood(slot):
    """A line that never ends, past the receive buffer's bound."""
    return bytes([0x50 | (slot - 1), 0xF1])


def line(slot, word, *args, cut=None):
    """One command line; cut=n delivers it in two chunks split at byte n."""
    extension = word in EXTENSION_WORDS
    code = 0x40 | EXTENSION_WORDS.index(word) if extension else WORDS.index(word)
    out = bytes([0x60 | (slot - 1), code, len(args)])
    for a in args:
        if extension and a in FEATURE_WORDS:
            out += bytes([FEATURE_WORDS.index(a)])
        elif not extension and a in ARGS:
            out += bytes([ARGS.index(a)])
        else:
            b = a.encode("latin-1")
            assert len(b) < 16
            out += bytes([0xE0 | len(b)]) + b
    out += bytes([0 if cut is None else 200 + cut])
    return out


def server_sessions():
    seed = b"\x12\x34"
    example = seed + b"".join([
        connect(1), connect(2),
        line(1, "LOGIN", "ann"), line(2, "LOGIN", "Bob"),
        line(1, "NEWGAME", "x y"), line(2, "JOINGAME", "1"),
        line(1, "STARTGAME"),
        line(1, "EXCHANGE", "1", "3"), line(2, "EXCHANGE"),
        line(1, "BET", "10"), line(2, "BET", "0"),
    ])
    test_mode = seed + b"".join([
        connect(1), line(1, "LOGIN", "TestPlayer1"), line(1, "NEWGAME", "TestGame"),
        connect(2), line(2, "LOGIN", "TestPlayer2"), line(2, "JOINGAME", "1"), line(2, "STARTGAME"),
    ])
    fold = b"\x77\x01" + b"".join([
        line(1, "LOGIN", "ann"), line(2, "LOGIN", "Bob"), line(3, "LOGIN", "cy"),
        line(1, "NEWGAME", "t"), line(2, "JOINGAME", "1"), line(3, "JOINGAME", "1"),
        line(2, "STARTGAME"),
        line(1, "EXCHANGE", "0", "", "4"), line(2, "EXCHANGE", "2", "2"), line(3, "EXCHANGE"),
        line(1, "BET", "10"), line(2, "BET", "-1"), line(3, "BET", "0"),
        line(1, "CHAT", "ann"), line(3, "BET", "-1"),
    ])
    # The same lines typed by hand: raw chunks, a line split between CR and LF.
    chunks = seed + b"".join([
        connect(1), raw(1, " login \tAnn\r\nnewgame\tg\r\nSEAT\r"), raw(1, "\nSTARTGAME\r\n"),
        raw(2, "LOGIN\tbob\r\nJOINGAME\t1\r\nCHAT\thi\tthere\r\n"),
        line(1, "EXCHANGE", "0", "1", "2", "3", "4", cut=5), line(2, "EXCHANGE", "4", "4", "4"),
        line(2, "BET", "1073741824"), line(1, "BET", "2147483647"), line(1, "BET", "0"),
        error(2), line(1, "STARTGAME"), close(1),
    ])
    overlong = seed + b"".join([
        line(1, "LOGIN", "ann"), line(2, "LOGIN", "Bob"), line(1, "NEWGAME", "t"),
        line(2, "JOINGAME", "1"), line(2, "STARTGAME"), line(1, "EXCHANGE"), flood(2),
        line(1, "BET", "0"),
    ])
    # Sessions that ask for some of the extension, a hand to its showdown, the listing.
    extension = seed + b"".join([
        line(1, "LOGIN", "ann"), line(2, "LOGIN", "Bob"), line(3, "LOGIN", "cy"),
        line(1, "FEATURES", "turn", "showdown", "games"), line(2, "FEATURES", "bogus", "turn"),
        line(1, "NEWGAME", "t"), line(2, "JOINGAME", "1"), line(3, "JOINGAME", "1"), line(1, "STARTGAME"),
        line(1, "EXCHANGE", "1"), line(2, "EXCHANGE"), line(3, "EXCHANGE", "0", "4"),
        line(1, "BET", "10"), line(2, "BET", "-1"), line(3, "BET", "0"), line(1, "GAMES"),
        line(3, "GAMES"), line(1, "FEATURES"), line(1, "GAMES"),
    ])
    return {"example_hand": example, "test_mode": test_mode, "three_player_fold": fold,
            "typed_chunks": chunks, "overlong_line": overlong, "extension": extension}


def report(antes, names, states, exchanges, banks):
    rows = [("SEAT_ANTE", antes), ("SEAT_NAME", names), ("SEAT_STATE", states),
            ("SEAT_EXCHANGE", exchanges), ("SEAT_BANK", banks)]
    return "".join(w + "".join("\t" + str(v) for v in vals) + "\r\n" for w, vals in rows)


def client_sessions():
    empty4 = ["", "", "", ""]
    z4, m4, b4 = [0] * 4, [-1] * 4, [1000] * 4
    ann = ("HELLO\tQuorvane v0.924\r\nLOGIN\r\nOK\tLOGIN\r\nOK\tNEWGAME 1\r\nSEAT\t0\r\n"
           + report([0] * 6, ["ann", "bob"] + empty4, [3, 0] + z4, [-1] * 6, [1000] * 6)
           + "STARTGAME\t12\t25\t38\t51\t0\r\n"
           + report([5, 5] + z4, ["ann", "bob"] + empty4, [4, 4] + z4, [-1, -1] + m4, [995, 995] + b4)
           + report([5, 5] + z4, ["ann", "bob"] + empty4, [4, 4] + z4, [2, -1] + m4, [995, 995] + b4)
           + "EXCHANGE\t12\t7\t38\t9\t0\r\n"
           + report([5, 5] + z4, ["ann", "bob"] + empty4, [5, 4] + z4, [2, 0] + m4, [995, 995] + b4)
           + "BET\r\n"
           + report([15, 5] + z4, ["ann", "bob"] + empty4, [5, 5] + z4, [2, 0] + m4, [985, 995] + b4)
           + report([15, 15] + z4, ["ann", "bob"] + empty4, [5, 6] + z4, [2, 0] + m4, [985, 985] + b4)
           + "WINNER\t1\r\nSTARTGAME\t1\t2\t3\t4\t5\r\n"
           + report([5, 5] + z4, ["ann", "bob"] + empty4, [4, 4] + z4, [-1, -1] + m4, [980, 1010] + b4)
           + "CHAT\tbob> nice hand\r\nSEAT_ANTE\t5\t0\t0\t0\t0\t0\r\n")
    test_mode = ("HELLO\tQuorvane v0.924\r\nLOGIN\r\nOK\tLOGIN\r\nOK\tJOINGAME\r\nSEAT\t1\r\n"
                 "STARTGAME\t3\t16\t29\t42\t50\r\n"
                 + report([5, 5] + z4, ["testplayer1", "testplayer2"] + empty4, [4, 4] + z4,
                          [-1] * 6, [995, 995] + b4))
    odd = ("ok\r\n  error \tNEWGAME\r\nSEAT_STATE\t9\t-1\r\nSEAT_BANK\t 1000\t-0\r\n"
           "STARTGAME\t1\t2\r\nEXCHANGE\t99\t-5\t1\t2\t3\r\nWINNER\r\n\r\nBOGUS\tx\r\nLOGIN\r\nSEAT\t2")
    # Leading bytes: command line and prompt answer, then the chunking step.
    return {"example_hand": b"\x04\x05" + ann.encode("latin-1"),
            "test_mode": b"\x02\x00" + test_mode.encode("latin-1"),
            "odd_lines": b"\x3f\x0b" + odd.encode("latin-1")}


def write(folder, files):
    path = os.path.join(HERE, "corpus", folder)
    os.makedirs(path, exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(path, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    write("server", server_sessions())
    write("client", client_sessions())
