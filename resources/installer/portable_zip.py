#!/usr/bin/env python3
"""Packs the portable zip so that the same files give the same bytes on any machine: members in
the order given, one fixed time, no owner, permission or access-time fields.

usage: portable_zip.py OUT.zip FOLDER MEMBER...   (members relative to FOLDER, "/" separated)
"""
import sys
import zipfile

FIXED_TIME = (2000, 1, 1, 0, 0, 0)


def main(out, folder, members):
    with zipfile.ZipFile(out, "w") as archive:
        for member in members:
            info = zipfile.ZipInfo(member, date_time=FIXED_TIME)
            info.create_system = 0  # MS-DOS: no Unix mode, whatever the packing host
            info.external_attr = 0
            info.compress_type = zipfile.ZIP_DEFLATED
            with open(f"{folder}/{member}", "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2], sys.argv[3:])
