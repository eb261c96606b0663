#!/usr/bin/python3
"""Each Windows program given asks for Windows 7 (6.1) at least: the subsystem and the operating system
versions in its PE header. Older loaders refuse it; newer ones take it as it is."""
import sys

import pefile

WANTED = (6, 1, 6, 1)
wrong = []
for path in sys.argv[1:]:
    header = pefile.PE(path, fast_load=True).OPTIONAL_HEADER
    found = (header.MajorSubsystemVersion, header.MinorSubsystemVersion,
             header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion)
    print(f"{path}: subsystem {found[0]}.{found[1]}, operating system {found[2]}.{found[3]}")
    if found != WANTED:
        wrong.append(path)
sys.exit(1 if wrong or len(sys.argv) < 2 else 0)
