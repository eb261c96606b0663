#!/usr/bin/env python3
"""The maker's licence texts, which replace the wizard's own licence in a language (standard library only).

  license_tool.py check LANGUAGES LANG=FILE...  refuse a language the wizard does not carry (LANGUAGES:
                                                its codes, comma-separated), a language given twice, and a
                                                file that cannot be read, is empty or is not UTF-8 text.
                                                One line per fault on stderr, exit status 1.
  license_tool.py blob LANG FILE OUT            check FILE as above and write the resource the wizard reads:
                                                LANG, a NUL byte, then the file's bytes unchanged.

A licence text is UTF-8 plain text, lines ending in CRLF or LF; the wizard shows its first line (the
title) and every line beginning with "* " (a section heading) in bold.
"""

import os
import sys


def file_faults(lang, path):
    """Why the file cannot be the licence of LANG, or an empty list."""
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        return [f"the licence text for {lang} cannot be read: {path}: {e.strerror}"]
    # A byte-order mark alone, or only white space, shows an empty page.
    text = data[3:] if data.startswith(b"\xef\xbb\xbf") else data
    if not text.strip():
        return [f"the licence text for {lang} is empty: {path}"]
    try:
        decoded = text.decode("utf-8")
    except UnicodeDecodeError as e:
        line = text.count(b"\n", 0, e.start) + 1
        return [f"the licence text for {lang} is not UTF-8: {path}, line {line}: byte 0x{text[e.start]:02X} ({e.reason})"]
    # The wizard's texts end at a NUL: whatever followed would not show.
    if "\0" in decoded:
        line = decoded.count("\n", 0, decoded.index("\0")) + 1
        return [f"the licence text for {lang} holds a NUL character: {path}, line {line}"]
    return []


def check(languages, specs):
    known = [code for code in languages.split(",") if code]
    faults, seen = [], set()
    for spec in specs:
        lang, sep, path = spec.partition("=")
        if not sep or not lang or not path:
            faults.append(f"a licence is given as LANG=FILE, not \"{spec}\"")
            continue
        if lang not in known:
            faults.append(f"the wizard has no language \"{lang}\" for a licence (it has {', '.join(known)})")
            continue
        if lang in seen:
            faults.append(f"two licence texts for {lang}")
            continue
        seen.add(lang)
        faults += file_faults(lang, path)
    return faults


def main(argv):
    if len(argv) >= 3 and argv[1] == "check":
        faults = check(argv[2], argv[3:])
    elif len(argv) == 5 and argv[1] == "blob":
        lang, path, out = argv[2:5]
        faults = file_faults(lang, path)
        if not faults:
            with open(path, "rb") as f:
                data = f.read()
            tmp = out + ".tmp"
            with open(tmp, "wb") as f:
                f.write(lang.encode("ascii") + b"\0" + data)
            os.replace(tmp, out)
    else:
        print(__doc__, file=sys.stderr)
        return 2
    for fault in faults:
        print(fault, file=sys.stderr)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
