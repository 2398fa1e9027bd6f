#!/usr/bin/env python3
"""How often the code-page guess is right on real translated text.

The text is none of ours: the message catalogues that Debian's packages
install in /usr/share/locale (translations of program messages, by many
hands). For each language, the messages of a catalogue are cut into files of
20 subtitles; each file is written in every page that language's subtitles
come in, and pellumar-cli is asked, with each list of candidates a user of
the region would give, which page it reads the file in. A guess is right
when the file reads the same in the page guessed as in the page written.

The catalogues are split in two halves by a hash of their names: "tuned"
is what the guesser may be tuned on, "held out" is never looked at but to
report it.

    bench/guess_accuracy.py BUILD/pellumar-cli [--misses N]
"""

import gettext
import os
import subprocess
import sys
import tempfile
import zlib

LOCALE = "/usr/share/locale"
LINES_PER_FILE = 20
FILES_PER_CATALOGUE = 3

CENTRAL = ("pl", "cs", "sk", "hu", "sl", "hr")
WESTERN = ("de", "fr", "es", "pt", "it", "nl")
CYRILLIC = ("ru", "bg")
# (languages, pages they are written in, candidate lists)
GROUPS = [
    (CENTRAL, ("cp1250", "iso8859-2"), ("windows-1250,ISO-8859-2",
                                        "windows-1250,ISO-8859-2,windows-1252")),
    (WESTERN, ("cp1252", "latin1"), ("windows-1250,ISO-8859-2,windows-1252",
                                     "windows-1252,ISO-8859-2")),
    (CYRILLIC, ("cp1251", "koi8_r"), ("windows-1251,KOI8-R",)),
]
PYTHON_NAMES = {"windows-1250": "cp1250", "ISO-8859-2": "iso8859-2", "windows-1252": "cp1252",
                "ISO-8859-1": "latin1", "windows-1251": "cp1251", "KOI8-R": "koi8_r"}


def catalogue_files(language):
    folder = os.path.join(LOCALE, language, "LC_MESSAGES")
    if not os.path.isdir(folder):
        return
    for name in sorted(os.listdir(folder)):
        # Catalogues installed under a second name are links: count them once.
        if not name.endswith(".mo") or os.path.islink(os.path.join(folder, name)):
            continue
        try:
            with open(os.path.join(folder, name), "rb") as f:
                catalogue = gettext.GNUTranslations(f)
        except Exception:
            continue
        lines = []
        for text in catalogue._catalog.values():
            for line in str(text).splitlines():
                line = line.strip()
                if line and not line.startswith(("Project-Id", "Content-", "MIME", "Plural")):
                    lines.append(line)
        half = "held out" if zlib.crc32(name.encode()) % 2 else "tuned"
        made = 0
        for start in range(0, len(lines) - LINES_PER_FILE + 1, LINES_PER_FILE * 7):
            chunk = lines[start:start + LINES_PER_FILE]
            if all(line.isascii() for line in chunk):
                continue
            yield name, half, chunk
            made += 1
            if made == FILES_PER_CATALOGUE:
                break


def as_subrip(lines):
    text = ""
    for i, line in enumerate(lines):
        text += f"{i + 1}\r\n00:00:{i:02},000 --> 00:00:{i:02},900\r\n{line}\r\n\r\n"
    return text


def main():
    cli = os.path.abspath(sys.argv[1])
    show_misses = int(sys.argv[3]) if len(sys.argv) > 3 and sys.argv[2] == "--misses" else 0
    totals = {}
    misses = []
    with tempfile.TemporaryDirectory() as folder:
        open(os.path.join(folder, "empty.ini"), "w").close()
        for languages, written, lists in GROUPS:
            cases = []
            for language in languages:
                for catalogue, half, lines in catalogue_files(language):
                    text = as_subrip(lines)
                    for page in written:
                        try:
                            data = text.encode(page)
                        except UnicodeEncodeError:
                            continue
                        name = f"{len(cases):05}.srt"
                        with open(os.path.join(folder, name), "wb") as f:
                            f.write(data)
                        cases.append((name, language, half, page, data, catalogue))
            for candidates in lists:
                names = [case[0] for case in cases]
                guessed = {}
                for at in range(0, len(names), 500):
                    run = subprocess.run(
                        [cli, "-v", "-q", "--diff", "--settings", "empty.ini", "--codepage",
                         "auto:" + candidates, "--no-local-chars", "--no-replace-strings"]
                        + names[at:at + 500], cwd=folder, capture_output=True, text=True,
                        errors="replace")
                    for line in run.stderr.splitlines():
                        parts = line.split(": read as ")
                        if len(parts) == 2:
                            guessed[parts[0].removeprefix("pellumar-cli: ")] = parts[1]
                for name, language, half, page, data, catalogue in cases:
                    page_read = guessed.get(name, "?")
                    try:
                        right = data.decode(PYTHON_NAMES[page_read]) == data.decode(page)
                    except (KeyError, UnicodeDecodeError):
                        right = False
                    key = (half, language)
                    good, count = totals.get(key, (0, 0))
                    totals[key] = (good + right, count + 1)
                    if not right:
                        letters = "".join(sorted(set(c for c in data.decode(page) if ord(c) > 127)))
                        misses.append((half, language, page, page_read, candidates, catalogue,
                                       letters))
    for half in ("tuned", "held out"):
        good = sum(v[0] for k, v in totals.items() if k[0] == half)
        count = sum(v[1] for k, v in totals.items() if k[0] == half)
        by_language = " ".join(f"{k[1]} {v[0]}/{v[1]}" for k, v in sorted(totals.items())
                               if k[0] == half and v[0] != v[1])
        print(f"{half}: {good}/{count} right ({100 * good / max(count, 1):.1f} %)"
              + (f"; misses: {by_language}" if by_language else ""))
    for miss in misses[:show_misses]:
        print("  miss:", *miss)


if __name__ == "__main__":
    main()
