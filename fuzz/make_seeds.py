#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into corpus/<target>/ from frames written out
here by hand. Run it again after changing a frame; libFuzzer's own finds are not kept here,
only inputs that once broke something (named crash-*) are added next to these by hand."""

import pathlib

HERE = pathlib.Path(__file__).resolve().parent


def frame(*payload):
    """STX, LEN, payload, CHK = (LEN + sum of the payload) mod 256, ETX."""
    return bytes([0x02, len(payload), *payload, (len(payload) + sum(payload)) % 256, 0x03])


def be16(value):
    return [value >> 8, value & 0xFF]


def signed(value):
    """Sign byte then hundredths, as replies 14 and 16 carry an angle."""
    return [ord('+') if value >= 0 else ord('-'), *be16(abs(round(value * 100)))]


# Replies as the unit sends them.
LINK_CHECK = frame(1, 2)                 # tracking
LINK_CHECK_SETUP = frame(1, 1)
PRODUCT_INFO = frame(2, 3, 2, 0, *b"ACU-4000 TEST MODEL ", *b"SN0000012345",
                     *be16(219), *be16(105), *be16(300), *be16(2410), *be16(1200),
                     *be16(1310), 1, 0)
REGION_TAIL = [1, *be16(10750), *be16(9750), *be16(10600), 2,
               *be16(150), *be16(40), *be16(60),
               *be16(120), *be16(45), *be16(65),
               *be16(90), *be16(50), *be16(70),
               *signed(-1.5), *signed(0.25), *be16(30), *be16(10),
               *be16(12698), ord("E"), *be16(3755), ord("N")]
CURRENT_REGION = frame(3, 1, 4, 9, *b"KOREA EAST  ", 2, 1, 5, 7, *REGION_TAIL)
CURRENT_REGION_EMPTY = frame(3, 0, 0, 1, *b"NOWHERE     ", 0, 0, *REGION_TAIL)
CURRENT_REGION_HOSTILE = frame(3, 9, 200, 255, *b"OUT OF RANGE", 40, 99, *([7] * 40), *REGION_TAIL)
SAT_RECORD = [5, *b"KOREASAT 5", *be16(1130), ord('E'),
              *be16(12250), *be16(27500), *be16(1), *be16(12500), *be16(30000), *be16(2),
              *be16(11700), *be16(22000), *be16(3), *be16(12100), *be16(28800), *be16(4),
              1, 0, 1]
SATELLITE_0 = frame(4, 0, *SAT_RECORD)
SATELLITE_1 = frame(4, 1, *SAT_RECORD)
SATELLITE_FAR = frame(4, 250, *SAT_RECORD)
STATUS = frame(14, 1, 3, *be16(512), 1, *be16(12698), ord('E'), *be16(3755), ord('N'),
               *be16(1310), 1, 0, *signed(181.25), *signed(35.5), *signed(-12.75))
STATUS_SPACE_SIGN = frame(14, 0, 6, *be16(0), 0, *be16(0), ord('W'), *be16(0), ord('S'),
                          *be16(0), 0, 1, ord(' '), *be16(1050), *signed(0), *signed(0))
SETUP = frame(16, 6, *signed(90), *signed(45), *signed(-3))
DONE = {code: frame(code) for code in (6, 7, 8, 9, 10, 11, 12, 13, 15, 17, 18, 19, 20, 21,
                                       24, 25, 26, 27, 28, 29, 32, 33, 34, 35, 36, 37)}
FACTORY_TOTAL = frame(30, *be16(200))
FACTORY_ZERO = frame(30, 0, 0)
FACTORY_STEP = [frame(31, *be16(n)) for n in (0, 50, 100, 200, 65535)]
DIAG_ITEMS = [frame(22, n) for n in range(1, 12)] + [frame(23, n, ord('P' if n % 2 else 'F'))
                                                     for n in range(1, 11)]
LCD_READ = [frame(38, *range(65, 85)), frame(39, *([0x41] * 80)), frame(40, *([0x20] * 80)),
            frame(41, *range(0x80, 0xD0)), frame(42, *b"LUMIDOR  ACU")]
# What goes wrong on a line: a checksum one off, a wrong ETX, a lone STX, noise, a frame
# cut by the end of the input, an empty payload, codes no one sends.
BAD_CHECKSUM = bytes([0x02, 0x01, 0x19, 0x1B, 0x03])
BAD_ETX = bytes([0x02, 0x01, 0x19, 0x1A, 0x04])
NOISE = bytes([0x00, 0xFF, 0x03, 0x55, 0x02])
TRUNCATED = frame(14, *([0] * 24))[:17]
ODD = frame() + frame(0) + frame(5) + frame(43) + frame(255, 1, 2, 3)
LONGEST = frame(*([39] + [0xAA] * 254))


# The controller target's script (see fuzz_controller.cpp).
def line(data):
    """The bytes arrive in pieces of at most 64, each read by the window."""
    out = bytearray()
    for i in range(0, len(data), 64):
        piece = data[i:i + 64]
        out += bytes([len(piece) - 1]) + piece
    return bytes(out)


def clock(quarters):
    return bytes([0xC0 | quarters])


def user(operation, *arguments):
    return bytes([0xE0 | operation, *arguments])


HANGUP, CONNECT, DISCONNECT = user(2), user(0), user(1)
RESTART, SETUP_MODE, GET_INFO, FACTORY, UPDATE = user(3), user(4), user(7), user(8), user(9)
NO_TO_QUESTIONS = user(10)


def sequence(*steps):
    return b"".join(steps)


CHAIN = [LINK_CHECK, PRODUCT_INFO, CURRENT_REGION, SATELLITE_0, SATELLITE_1, STATUS]

STREAMS = {
    "chain": b"".join(CHAIN),
    "chain_setup": LINK_CHECK_SETUP + PRODUCT_INFO + CURRENT_REGION_EMPTY + STATUS_SPACE_SIGN,
    "hostile_region": CURRENT_REGION_HOSTILE + SATELLITE_FAR + SATELLITE_0,
    "replies_done": b"".join(DONE.values()) + SETUP,
    "factory": FACTORY_TOTAL + b"".join(FACTORY_STEP) + DONE[32] + FACTORY_ZERO + FACTORY_STEP[1],
    "diagnosis": DONE[21] + b"".join(DIAG_ITEMS) + DONE[24],
    "lcd_read": b"".join(LCD_READ),
    "line_faults": NOISE + BAD_CHECKSUM + DONE[25] + BAD_ETX + ODD + LONGEST + TRUNCATED,
    "split": frame(25)[:3] + frame(25)[3:],
}

SCRIPTS = {
    "chain": sequence(*[line(f) + clock(1) for f in CHAIN], clock(20), line(STATUS)),
    "chain_lost_replies": sequence(line(LINK_CHECK), line(PRODUCT_INFO), clock(8), clock(31),
                                   GET_INFO, line(PRODUCT_INFO), line(CURRENT_REGION), clock(16)),
    "connect_gives_up": sequence(clock(31), clock(31), CONNECT, DISCONNECT, CONNECT),
    "hangup_mid_chain": sequence(line(LINK_CHECK), line(PRODUCT_INFO), HANGUP, clock(8),
                                 HANGUP, CONNECT, line(LINK_CHECK), DISCONNECT, clock(8)),
    "factory": sequence(line(LINK_CHECK), FACTORY, line(FACTORY_TOTAL),
                        *[line(f) for f in FACTORY_STEP], line(DONE[32]), FACTORY,
                        line(FACTORY_TOTAL), line(FACTORY_STEP[2]), DISCONNECT, CONNECT),
    "setup_and_operations": sequence(line(LINK_CHECK_SETUP), SETUP_MODE, line(SETUP), RESTART,
                                     line(DONE[15]), user(5, 3), user(6, 3), line(DONE[17]),
                                     user(11, 2, 1), UPDATE, NO_TO_QUESTIONS, FACTORY, clock(4)),
    "message_replies": sequence(line(LINK_CHECK_SETUP), line(DONE[18]), line(DONE[19]),
                                line(DONE[20]), line(DONE[29]), clock(12)),
    "pages_send": sequence(line(LINK_CHECK_SETUP), *[user(12, code) for code in range(0, 45)],
                           clock(31), user(12, 200)),
    "upload_chain": sequence(line(DONE[6]), clock(4), line(DONE[7]), line(DONE[8]),
                             line(DONE[9]), line(DONE[10]), line(DONE[11]), line(DONE[12]),
                             line(DONE[13]), clock(31)),
    "diagnosis": sequence(line(DONE[21]), *[line(f) for f in DIAG_ITEMS], line(DONE[24])),
    "lcd_read": sequence(*[line(f) + clock(2) for f in LCD_READ]),
    "line_faults": sequence(line(STREAMS["line_faults"]), line(STREAMS["split"]), clock(4)),
    "hostile_region": sequence(line(STREAMS["hostile_region"]), clock(8)),
}


def write(target, seeds):
    folder = HERE / "corpus" / target
    folder.mkdir(parents=True, exist_ok=True)
    for name, data in seeds.items():
        (folder / f"seed-{name}").write_bytes(data)


if __name__ == "__main__":
    assert len(PRODUCT_INFO) == 50 + 4 and len(CURRENT_REGION) == 62 + 4
    assert len(SATELLITE_0) == 43 + 4 and len(STATUS) == 25 + 4 and len(SETUP) == 11 + 4
    assert frame(25) == bytes([0x02, 0x01, 0x19, 0x1A, 0x03])
    write("frame_reply", STREAMS)
    write("controller", SCRIPTS)
