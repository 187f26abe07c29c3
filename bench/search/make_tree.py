#!/usr/bin/env python3
"""Generates the benchmark tree with a fixed seed: about 300,000 entries, 20,000 text files of about 500 MB in
all (a few hold the needle), hidden folders, and one 1 GiB file with the needle only at its end."""
import os
import random
import sys

SEED = 20261209
NEEDLE = b"Zebrafish"
FOLDERS = 15000
TEXT_FILES = 20000
OTHER_FILES = 265000
TEXT_BYTES = 500 * 1000 * 1000
BIG_FILE_BYTES = 1 << 30


def word_pool(rng, size):
    latin = [bytes(rng.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rng.randint(2, 9))) for _ in range(3000)]
    cyrillic = [bytes(rng.randint(0xE0, 0xFF) for _ in range(rng.randint(2, 9))) for _ in range(2000)]
    words = latin + cyrillic
    out = bytearray()
    while len(out) < size:
        out += rng.choice(words)
        out += b"\n" if rng.random() < 0.08 else b" "
    return bytes(out[:size])


def main(root):
    rng = random.Random(SEED)
    pool = word_pool(rng, 4 << 20)
    tree = os.path.join(root, "tree")
    folders = [tree]
    os.makedirs(tree, exist_ok=True)
    for i in range(FOLDERS):
        parent = rng.choice(folders[-200:] if rng.random() < 0.7 else folders)
        name = (".hidden%d" % i) if rng.random() < 0.01 else ("dir%d" % i)
        path = os.path.join(parent, name)
        os.mkdir(path)
        folders.append(path)
    mean = TEXT_BYTES // TEXT_FILES
    for i in range(TEXT_FILES):
        size = min(len(pool) - 1, max(100, int(rng.expovariate(1.0 / mean))))
        start = rng.randrange(0, len(pool) - size)
        data = bytearray(pool[start:start + size])
        if rng.random() < 0.01:
            at = rng.randrange(0, len(data) - len(NEEDLE))
            data[at:at + len(NEEDLE)] = NEEDLE
        with open(os.path.join(rng.choice(folders), "text%d.txt" % i), "wb") as f:
            f.write(data)
    for i in range(OTHER_FILES):
        ext = rng.choice([".dat", ".log", ".c", ".doc", ""])
        open(os.path.join(rng.choice(folders), "file%d%s" % (i, ext)), "wb").close()
    with open(os.path.join(root, "big.bin"), "wb") as f:
        written = 0
        while written < BIG_FILE_BYTES - len(NEEDLE):
            chunk = pool[: min(len(pool), BIG_FILE_BYTES - len(NEEDLE) - written)]
            f.write(chunk)
            written += len(chunk)
        f.write(NEEDLE)


if __name__ == "__main__":
    main(sys.argv[1])
