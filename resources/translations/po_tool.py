#!/usr/bin/env python3
"""Build-time checks and helpers for the wizard's translations (standard library only).

  po_tool.py check TEMPLATE PO...   refuse a translation whose %-specifiers, "&" access keys or leading
                                    and trailing line feeds differ from the English; print per language
                                    how many of the template's strings are missing (untranslated, fuzzy
                                    or absent). Exit status 1 when any entry is refused.
  po_tool.py status TEMPLATE PO...  only the counts, one line per language.
  po_tool.py chars OUT PO...        write every character the English texts and the translations use,
                                    once each, for subsetting the fonts that draw them (pyftsubset
                                    --text-file).
  po_tool.py pseudo TEMPLATE OUT    write the pseudo-language: every text accented, about 40 % longer
                                    and bracketed, with its specifiers, access key and line feeds kept.
"""

import math
import os
import re
import sys

ESCAPES = {"n": "\n", "t": "\t", "r": "\r", '"': '"', "\\": "\\", "a": "\a", "b": "\b", "f": "\f", "v": "\v"}
SPECIFIER = re.compile(r"%(?:\d+\$)?[-+ #0']*(?:\d+|\*)?(?:\.(?:\d+|\*))?(?:hh|h|ll|l|j|z|t|L|I64|I32|I)?[diouxXeEfFgGaAcspn%]")


class Entry:
    def __init__(self):
        self.context = None
        self.msgid = None
        self.msgstr = ""
        self.flags = set()
        self.comments = []
        self.line = 0


def unquote(text, path, line):
    text = text.strip()
    if len(text) < 2 or text[0] != '"' or text[-1] != '"':
        raise SystemExit(f"{path}:{line}: not a quoted string: {text}")
    body, out, i = text[1:-1], [], 0
    while i < len(body):
        ch = body[i]
        if ch == "\\" and i + 1 < len(body):
            out.append(ESCAPES.get(body[i + 1], body[i + 1]))
            i += 2
        else:
            out.append(ch)
            i += 1
    return "".join(out)


def parse(path):
    """The entries of a .po or .pot file, the header (empty msgid) first; obsolete entries are left out."""
    entries, entry, field = [], Entry(), None

    def finish():
        nonlocal entry, field
        if entry.msgid is not None:
            entries.append(entry)
        entry, field = Entry(), None

    with open(path, encoding="utf-8") as po:
        for number, raw in enumerate(po, 1):
            line = raw.rstrip("\n")
            if not line.strip():
                finish()
                continue
            if line.startswith("#~"):
                continue
            if line.startswith("#"):
                if entry.msgid is not None and field is not None:
                    finish()
                if line.startswith("#,"):
                    entry.flags.update(flag.strip() for flag in line[2:].split(","))
                elif line.startswith("#."):
                    entry.comments.append(line[2:].strip())
                continue
            keyword, _, rest = line.partition(" ")
            if line.startswith('"'):
                if field is None:
                    raise SystemExit(f"{path}:{number}: a string outside an entry")
                setattr(entry, field, getattr(entry, field) + unquote(line, path, number))
                continue
            if keyword == "msgctxt":
                if entry.msgid is not None:
                    finish()
                entry.line = entry.line or number
                entry.context, field = unquote(rest, path, number), "context"
            elif keyword == "msgid":
                if entry.msgid is not None:
                    finish()
                entry.line = entry.line or number
                entry.msgid, field = unquote(rest, path, number), "msgid"
            elif keyword in ("msgstr", "msgstr[0]"):
                entry.msgstr, field = unquote(rest, path, number), "msgstr"
            elif keyword.startswith("msgstr[") or keyword == "msgid_plural":
                field = None  # the wizard's texts have no plural forms; the first form stands for all
            else:
                raise SystemExit(f"{path}:{number}: unknown keyword {keyword}")
    finish()
    return entries


def specifiers(text):
    """The conversions that take an argument, in order ("%%" takes none)."""
    return [s for s in SPECIFIER.findall(text) if s != "%%"]


def line_feeds(text):
    return (len(text) - len(text.lstrip("\n")), len(text) - len(text.rstrip("\n")))


def faults(english, translation):
    found = []
    if specifiers(english) != specifiers(translation):
        found.append(f"format specifiers {' '.join(specifiers(translation)) or 'none'} where the English has "
                     f"{' '.join(specifiers(english)) or 'none'}")
    if english.count("&") != translation.count("&"):
        found.append(f"{translation.count('&')} \"&\" access key(s) where the English has {english.count('&')}")
    elif "&" in translation and not translation.split("&", 1)[1][:1].strip():
        found.append("\"&\" does not mark a character")
    if line_feeds(english) != line_feeds(translation):
        found.append("line feeds at the start or end differ from the English")
    return found


def key(entry):
    return (entry.context, entry.msgid)


def language_of(path):
    return os.path.splitext(os.path.basename(path))[0]


def count_missing(template, po_entries):
    translated = {key(e) for e in po_entries if e.msgid and e.msgstr and "fuzzy" not in e.flags}
    wanted = [key(e) for e in template if e.msgid]
    return sum(1 for k in wanted if k not in translated), len(wanted)


def status_line(path, template, po_entries):
    missing, total = count_missing(template, po_entries)
    return f"{language_of(path)}: {missing} of {total} strings missing"


def check(template_path, paths, refuse):
    template = parse(template_path)
    known = {key(e) for e in template}
    refused = 0
    for path in paths:
        entries = parse(path)
        if refuse:
            for entry in entries:
                if not entry.msgid or not entry.msgstr or "fuzzy" in entry.flags:
                    continue
                if key(entry) not in known:
                    print(f"{path}:{entry.line}: warning: msgid \"{short(entry.msgid)}\" is not in the template")
                    continue
                for fault in faults(entry.msgid, entry.msgstr):
                    print(f"{path}:{entry.line}: error: msgid \"{short(entry.msgid)}\": {fault}")
                    refused += 1
        print(status_line(path, template, entries))
    return 1 if refused else 0


def short(text, limit=60):
    text = text.replace("\n", "\\n")
    return text if len(text) <= limit else text[:limit] + "..."


ACCENTED = dict(zip("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ",
                    "àƀçđéƒĝĥîĵķĺɱñöþǫŕšţûṽŵẋýžÀƁÇĐÉƑĜĤÎĴĶĹṀÑÖÞǪŔŠŢÛṼŴẊÝŽ"))
FILLER = "ŀōñğ ŧēẋŧ "


def pseudo_text(text):
    lead = len(text) - len(text.lstrip("\n "))
    trail = len(text) - len(text.rstrip("\n "))
    head, body, tail = text[:lead], text[lead:len(text) - trail], text[len(text) - trail:]
    if not body:
        return text
    out, i = [], 0
    while i < len(body):
        match = SPECIFIER.match(body, i)
        if match:
            out.append(match.group(0))
            i = match.end()
        elif body[i] == "&" and i + 1 < len(body):
            # The access key keeps its letter, so the same keys work in every language.
            out.append(body[i:i + 2])
            i += 2
        elif body.startswith("http://", i):
            end = body.find(" ", i)
            end = len(body) if end < 0 else end
            out.append(body[i:end])
            i = end
        else:
            out.append(ACCENTED.get(body[i], body[i]))
            i += 1
    accented = "".join(out)
    extra = max(0, math.ceil(len(body) * 1.4) - len(body) - 2)
    padding = (FILLER * (extra // len(FILLER) + 1))[:extra].rstrip()
    return head + "[" + accented + (" " + padding if padding else "") + "]" + tail


def quote(text):
    escaped = text.replace("\\", "\\\\").replace('"', '\\"').replace("\t", "\\t")
    lines = escaped.split("\n")
    if len(lines) == 1:
        return f'"{escaped}"'
    parts = [line + "\\n" for line in lines[:-1]] + ([lines[-1]] if lines[-1] else [])
    return '""\n' + "\n".join(f'"{part}"' for part in parts)


def pseudo(template_path, out_path):
    template = parse(template_path)
    lines = ["# Pseudo-language made from the template at build time: for testing room and fallbacks.",
             'msgid ""', 'msgstr ""', '"Project-Id-Version: krt-upgrade\\n"',
             '"PO-Revision-Date: 2026-12-10 00:00+0000\\n"', '"Last-Translator: po_tool.py pseudo\\n"',
             '"Language-Team: none\\n"', '"MIME-Version: 1.0\\n"', '"Content-Type: text/plain; charset=UTF-8\\n"',
             '"Content-Transfer-Encoding: 8bit\\n"', '"Language: qps\\n"',
             '"Plural-Forms: nplurals=2; plural=(n != 1);\\n"', ""]
    for entry in template:
        if not entry.msgid:
            continue
        if entry.flags - {""}:
            lines.append("#, " + ", ".join(sorted(entry.flags - {""})))
        if entry.context is not None:
            lines.append("msgctxt " + quote(entry.context))
        lines.append("msgid " + quote(entry.msgid))
        lines.append("msgstr " + quote(pseudo_text(entry.msgid)))
        lines.append("")
    with open(out_path + ".tmp", "w", encoding="utf-8") as out:
        out.write("\n".join(lines))
    os.replace(out_path + ".tmp", out_path)
    return 0


def characters(out_path, paths):
    used = set()
    for path in paths:
        for entry in parse(path):
            if entry.msgid:
                used.update(entry.msgid)
                used.update(entry.msgstr)
    used -= {"\n", "&"}
    with open(out_path + ".tmp", "w", encoding="utf-8") as out:
        out.write("".join(sorted(used)) + "\n")
    os.replace(out_path + ".tmp", out_path)
    return 0


def main(argv):
    if len(argv) >= 4 and argv[1] in ("check", "status"):
        return check(argv[2], argv[3:], argv[1] == "check")
    if len(argv) >= 4 and argv[1] == "chars":
        return characters(argv[2], argv[3:])
    if len(argv) == 4 and argv[1] == "pseudo":
        return pseudo(argv[2], argv[3])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
