#!/usr/bin/env python3
"""Writes the seed inputs of the server_session fuzz target into seeds/ (see the input format at
the top of ServerSessionFuzz.cpp): replays of the games in fuzz/recorded (the "C " lines as person
0's frames, each after a wait for its turn), variants of them (more persons, frames cut in pieces,
a hang-up and a return, bad frames, a flood, requests for other seats), and games that persons
play to the end with the computer player's choices under every timer profile.

    python3 fuzz/server_session/make_seeds.py      (from anywhere; rewrites seeds/)

A replay of a recording gives person 0 exactly the recording's "S " lines: check it with
DESK_FUZZ_SERVER_TRACE=1 <build>/tests/fuzz_server_session_replay seeds/replay-...
"""

import pathlib
import re

HERE = pathlib.Path(__file__).resolve().parent
RECORDED = HERE.parent / "recorded"
SEEDS = HERE / "seeds"

FRAME, RAW, REQUEST, ADVANCE, WAIT, CONNECT, STEP, FLOOD, BIG = range(9)
QUERY, ADD, READY, LEAVE, PASS, LEGAL, CARDS, LEAD = range(8)
BOT_CHOICE = 255


def header(seed, deal, flags=0, online=1):
    return bytes([seed & 0xFF, deal - 1, flags, online - 1])


def frame(person, text):
    data = text.encode()
    assert len(data) < 256, text
    return bytes([person, FRAME, len(data)]) + data


def raw(person, data):
    assert len(data) < 256
    return bytes([person, RAW, len(data)]) + data


def request(person, kind, *operands):
    return bytes([person, REQUEST, kind, *operands])


def own(person, kind, *operands):
    """A request of `kind` for the person's own desk and seat."""
    return request(person, kind, 0, *operands) if kind >= READY else request(person, kind)


def elsewhere(person, kind, desk, site, *operands):
    return request(person, kind, 1, desk & 0xFF, site & 0xFF, *operands)


def advance(person, ms):
    return bytes([person, ADVANCE, ms & 0xFF, (ms >> 8) & 0xFF])


def wait(person):
    return bytes([person, WAIT])


def connect(person):
    return bytes([person, CONNECT])


def step(person):
    return bytes([person, STEP])


def flood(person, count):
    return bytes([person, FLOOD, count - 1])


def big(person, blocks, prefix, pattern, suffix):
    """One frame of `blocks` * 4 KiB (at most 1 MiB): prefix, pattern repeated, suffix."""
    return (bytes([person, BIG, blocks - 1, len(prefix)]) + prefix + bytes([len(pattern)]) +
            pattern + bytes([len(suffix)]) + suffix)


def wire(text):
    data = text.encode()
    return len(data).to_bytes(4, "little") + data


def recordings():
    for path in sorted(RECORDED.glob("game-seed*-deal*.txt")):
        seed, deal = map(int, re.match(r"game-seed(\d+)-deal(\d+)", path.stem).groups())
        lines = path.read_text().splitlines()
        assert all(line[:2] in ("C ", "S ") for line in lines), path
        yield path.stem, seed, deal, [line[2:] for line in lines if line.startswith("C ")]


def replay(texts, person=0):
    return b"".join(wait(person) + frame(person, text) for text in texts)


def smart_turns(persons, rounds):
    """Each person in turn waits for something to do, becomes ready and plays its bot choice."""
    out = b""
    for _ in range(rounds):
        for p in persons:
            out += wait(p) + own(p, READY) + own(p, LEGAL, BOT_CHOICE) + advance(p, 40)
    return out


def join(persons):
    return b"".join(own(p, QUERY) + own(p, ADD) + own(p, READY) for p in persons)


def seeds():
    for name, seed, deal, texts in recordings():
        yield f"replay-{name}", header(seed, deal) + replay(texts) + connect(0)
        # Five persons: four at desk 0 (person 0 first), one left over at desk 1.
        yield f"crowd-{name}", (header(seed, deal, online=5) + replay(texts[:3]) +
                                join([1, 2, 3, 4]) + replay(texts[3:]) + smart_turns([4], 40))
        # Every frame cut in pieces, the header too.
        pieces = b""
        for k, text in enumerate(texts):
            data = wire(text)
            cut = 1 + k % 5
            pieces += wait(0) + raw(0, data[:cut]) + raw(0, data[cut:cut + 7]) + raw(0, data[cut + 7:])
        yield f"pieces-{name}", header(seed, deal) + pieces
        # A hang-up in the middle of the game, a new connection, and a game to the end.
        half = len(texts) // 2
        yield f"return-{name}", (header(seed, deal, online=2) + replay(texts[:half]) +
                                 connect(0) + connect(0) + join([0]) + smart_turns([0, 1], 120))
        # The game, then bad input: a wrong seat, a card list of any codes, a zero length.
        yield f"bad-{name}", (header(seed, deal, online=3) + replay(texts[:6]) +
                              elsewhere(1, READY, 0, 1) + elsewhere(0, PASS, 0, 3) +
                              own(0, CARDS, 4, 19, 19, 0xFF, 0x80) + own(0, LEAD, 60) +
                              wait(0) + own(0, LEGAL, 0) + raw(1, b"\x00\x00\x00\x00") +
                              replay(texts[6:12]) + frame(2, "[1,2,3]") +
                              frame(0, '{"opt":"game","desk":0,"site":0,"cards":7}') + wait(0))
        yield f"flood-{name}", (header(seed, deal, online=2) + replay(texts[:4]) + flood(1, 50) +
                                flood(1, 60) + flood(0, 90) + advance(0, 1000) + replay(texts[4:]))
    # Whole games by the computer player's choices, with every timer profile, with and without
    # computer players, five persons (one desk full, one left over) or two.
    for deal in (27, 9, 1):
        for profile in range(4):
            for bots in (0, 1):
                flags = profile << 1 | bots
                yield (f"smart-deal{deal}-timers{profile}-{'nobots' if bots else 'bots'}",
                       header(7 + deal + profile, deal, flags, online=5) + join(range(5)) +
                       smart_turns(range(5), 60 if deal == 27 else 25) + step(0) +
                       advance(0, 65535))
    yield "pair-deal5", header(3, 5, online=2) + join([0, 1]) + smart_turns([0, 1], 40)
    # The largest frames: a card list of 350,000 codes on the person's turn, and a query with an
    # extra key holding 200,000 small arrays (valid, so the query stands).
    yield "big-card-list", (header(1, 27) + join([0]) + wait(0) +
                            big(0, 256, b'{"opt":"game","desk":0,"site":0,"cards":"', b"19,", b'"}') +
                            wait(0) + own(0, LEGAL, BOT_CHOICE))
    yield "big-wide-key", (header(2, 5, online=2) + join([1]) +
                           big(0, 256, b'{"opt":"query","x":[', b"[[]],", b"0]}") + own(0, ADD))


def main():
    SEEDS.mkdir(exist_ok=True)
    for old in SEEDS.iterdir():
        old.unlink()
    for name, data in seeds():
        (SEEDS / name).write_bytes(data)
        print(f"{name}: {len(data)} bytes")


if __name__ == "__main__":
    main()
