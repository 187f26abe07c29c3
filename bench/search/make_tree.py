#!/usr/bin/env python3
"""Generates the benchmark trees with a fixed seed.

make_tree.py WORK: about 300,000 entries, 20,000 text files of about 500 MB in all (a few hold the needle),
hidden folders, and one 1 GiB file with the needle only at its end.

make_tree.py WORK mixed: 20,000 text files of about 500 MB in all, Russian and English text saved in
Windows-1251, code page 866, UTF-8 and UTF-16LE (with its byte-order mark) in turn; a few hold the Cyrillic
needle, a few the Latin one, each in its file's encoding. And one 1 GiB file of the four encodings with the
Cyrillic needle only at its end, in UTF-16LE."""
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


RUSSIAN = "оеаинтсрвлкмдпуяыьгзбчйхжшюцщэфъё"
ENGLISH = "etaoinshrdlcumwfgypbvkjxqz"
CYRILLIC_NEEDLE = "Годовой отчёт"
ENCODINGS = ["cp1251", "cp866", "utf-8", "utf-16-le"]


def unicode_pool(rng, size):
    """Words of Russian (two in three) and English letters drawn by how common they are, a few capitalised."""
    def words(letters, count):
        weights = [len(letters) - rank for rank in range(len(letters))]
        made = []
        for _ in range(count):
            word = "".join(rng.choices(letters, weights, k=rng.randint(2, 9)))
            made.append(word.capitalize() if rng.random() < 0.1 else word)
        return made

    pool = words(RUSSIAN, 4000) + words(RUSSIAN, 4000) + words(ENGLISH, 4000)
    out = []
    length = 0
    while length < size:
        word = rng.choice(pool) + ("\n" if rng.random() < 0.08 else " ")
        out.append(word)
        length += len(word)
    # The needles stand only where they are put.
    return "".join(out).replace("отчёт", "отчет").replace("zebrafish", "zebrafis")


def encoded(text, encoding):
    data = text.encode(encoding)
    return b"\xff\xfe" + data if encoding == "utf-16-le" else data


def mixed(root):
    rng = random.Random(SEED + 1)
    pool = unicode_pool(rng, 4 << 20)
    tree = os.path.join(root, "mixed")
    folders = [tree]
    os.makedirs(tree, exist_ok=True)
    for i in range(1500):
        path = os.path.join(rng.choice(folders[-100:]), "dir%d" % i)
        os.mkdir(path)
        folders.append(path)
    # Characters per file; UTF-16 takes two bytes for each, so the mean in bytes comes out near 25 kB.
    mean = TEXT_BYTES // TEXT_FILES * 2 // 3
    for i in range(TEXT_FILES):
        size = min(len(pool) - 1, max(100, int(rng.expovariate(1.0 / mean))))
        start = rng.randrange(0, len(pool) - size)
        text = pool[start:start + size]
        for needle in (CYRILLIC_NEEDLE, "Zebrafish"):
            if rng.random() < 0.01:
                at = rng.randrange(0, len(text) - len(needle))
                text = text[:at] + needle + text[at + len(needle):]
        encoding = ENCODINGS[i % len(ENCODINGS)]
        with open(os.path.join(rng.choice(folders), "text%d.txt" % i), "wb") as f:
            f.write(encoded(text, encoding))
    with open(os.path.join(root, "mixed.bin"), "wb") as f:
        chunks = [pool.encode(encoding) for encoding in ENCODINGS]
        tail = CYRILLIC_NEEDLE.encode("utf-16-le")
        written = 0
        while written < BIG_FILE_BYTES - len(tail):
            for chunk in chunks:
                chunk = chunk[: max(0, BIG_FILE_BYTES - len(tail) - written)]
                f.write(chunk)
                written += len(chunk)
        f.write(tail)


if __name__ == "__main__":
    if len(sys.argv) > 2 and sys.argv[2] == "mixed":
        mixed(sys.argv[1])
    else:
        main(sys.argv[1])
