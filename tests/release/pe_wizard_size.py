#!/usr/bin/python3
"""The wizard's own weight: krt-upgrade.exe less the two packages it carries (resource type "FILE": the
firmware container 132 and the driver package 135, which come from outside) stays at most 8 MiB with every
language and display scale. Prints what the rest is: the sections and the resources by type."""
import sys

import pefile

LIMIT = 8 * 1024 * 1024
PACKAGES = "FILE"


def resource_sizes(pe):
    sizes = {}
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return sizes
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        name = str(entry.name) if entry.name is not None else pefile.RESOURCE_TYPE.get(entry.id, str(entry.id))
        total = 0
        for item in entry.directory.entries:
            for language in item.directory.entries:
                total += language.data.struct.Size
        sizes[name] = sizes.get(name, 0) + total
    return sizes


def main(path):
    with open(path, "rb") as f:
        size = len(f.read())
    pe = pefile.PE(path)
    print(f"{path}: {size} bytes")
    for section in pe.sections:
        name = section.Name.rstrip(b"\0").decode(errors="replace")
        print(f"  section {name:10} {section.SizeOfRawData:>10}")
    sizes = resource_sizes(pe)
    for name, total in sorted(sizes.items(), key=lambda item: -item[1]):
        print(f"  resource {name:10} {total:>10}")
    own = size - sizes.get(PACKAGES, 0)
    print(f"  without the packages: {own} bytes ({own / 1048576:.2f} MiB; at most {LIMIT / 1048576:.0f} MiB)")
    return 0 if own <= LIMIT else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]) if len(sys.argv) == 2 else 2)
