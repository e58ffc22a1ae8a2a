#!/usr/bin/env python3
"""make_tree.py ROOT FILES TOTAL_BYTES: a tree of FILES files in folders of 100,
about TOTAL_BYTES in all: every other file random bytes, the rest text, with
Japanese names (some whose second CP932 byte is a backslash)."""
import os
import random
import sys

root, count, total = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rng = random.Random(7)
size = max(1, total // count)
words = "ソフトウェア 表示 能力 予定 データ 設定 install readme value ".split()
for i in range(count):
    folder = os.path.join(root, f"フォルダ{i // 100:03d}", "ソ表")
    os.makedirs(folder, exist_ok=True)
    path = os.path.join(folder, f"ファイル{i:05d}.dat")
    n = rng.randint(size // 2, size * 3 // 2)
    if i % 2:
        data = os.urandom(n)
    else:
        text = []
        length = 0
        while length < n:
            w = rng.choice(words)
            text.append(w)
            length += len(w.encode("utf-8")) + 1
        data = " ".join(text).encode("cp932")[:n]
    with open(path, "wb") as f:
        f.write(data)
