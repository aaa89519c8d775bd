#!/usr/bin/env python3
"""make-history.py N: a player's history of N verdicts on standard output, the same every run.

The ratings follow the game's rule at level 3 from 0 against 300, the words and letters come
from a small fixed set, one game an hour from 2026-01-01."""
import sys

U = [0.00000, 0.03983, 0.07926, 0.11791, 0.15542, 0.19146, 0.22575, 0.25804, 0.28814, 0.31594,
     0.34134, 0.36433, 0.38493, 0.40320, 0.41924, 0.43319, 0.44520, 0.45543, 0.46407, 0.47128,
     0.47725, 0.48214, 0.48610, 0.48928, 0.49180, 0.49379, 0.49534, 0.49653, 0.49744, 0.49813,
     0.49999]
DEALS = [
    ("SNUSUAGLRMIL", ["LUNGS", "SLUG", "", "MURALS", "AGS"], 9),
    ("ACDEILNORST?", ["CORDIALS", "RATIONED", "TOE", "", "DIALECTS"], 12),
    ("EFEFFABALRBP", ["FABLE", "", "BARF", "FEE", "PREFAB"], 8),
]
ANSWERS = ["NIL", "TRACE", "EAR", "RAG", "LARK", ""]


def change(a, b, s):
    d = min(abs(a - b) * 0.1, 30.0)
    e = int(d)
    f = d - e
    g = U[30] if e >= 30 else (1 - f) * U[e] + f * U[e + 1]
    if a < b:
        g = -g
    return int(16 * (s * 0.5 - (g + 0.5)))


def main():
    n = int(sys.argv[1])
    seed = 12345
    player, computer = 0, 300
    start = 20454 * 86400  # 2026-01-01
    for i in range(n):
        seed = (seed * 1103515245 + 12345) % (1 << 31)
        letters, words, longest = DEALS[i % len(DEALS)]
        word = words[(seed >> 8) % len(words)]
        answer = ANSWERS[(seed >> 12) % len(ANSWERS)]
        s = 2 if len(word) > len(answer) else (1 if len(word) == len(answer) else 0)
        c = change(player, computer, s)
        before = (player, computer)
        player = max(0, player + c) if s != 2 else player + c
        computer = computer - c if s == 0 else max(0, computer - c)
        t = start + 3600 * i
        days, rest = divmod(t, 86400)
        # days since 1970 to a civil date
        z = days + 719468
        era = z // 146097
        doe = z - era * 146097
        yoe = (doe - doe // 1460 + doe // 36524 - doe // 146096) // 365
        doy = doe - (365 * yoe + yoe // 4 - yoe // 100)
        mp = (5 * doy + 2) // 153
        day = doy - (153 * mp + 2) // 5 + 1
        month = mp + 3 if mp < 10 else mp - 9
        year = yoe + era * 400 + (month <= 2)
        stamp = "%04d-%02d-%02dT%02d:%02d:%02dZ" % (year, month, day, rest // 3600, rest // 60 % 60, rest % 60)
        result = ["defeat", "tie", "victory"][s]
        print("\t".join(map(str, [stamp, letters, 3, word, answer, result, before[0], player,
                                  before[1], computer, longest])))


main()
