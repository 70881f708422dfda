#!/usr/bin/env python3
"""Writes a release archive whose bytes depend only on the files it holds: entries in name
order, every date SOURCE_DATE_EPOCH, mode 0644, no owners, no extra fields.

  pack.py ARCHIVE --root FOLDER [--tree DIR] [--sums] [NAME=FILE ...]

ARCHIVE ends in .zip or .tar.gz, and every entry lies in FOLDER/. --tree adds every file under
DIR by its path there; NAME=FILE adds FILE as NAME; --sums adds SHA256SUMS (in sha256sum's
format) over all the other entries. The archive appears whole or not at all.
"""
import argparse
import gzip
import hashlib
import io
import os
import sys
import tarfile
import time
import zipfile

ZIP_EPOCH = 315532800  # 1980-01-01, the earliest date a zip entry can hold


def collect(args):
    entries = {}

    def add(name, path):
        if name in entries:
            sys.exit(f"pack.py: {name} is given twice")
        with open(path, "rb") as f:
            entries[name] = f.read()

    for tree in args.tree:
        for folder, _, files in os.walk(tree):
            for f in files:
                path = os.path.join(folder, f)
                add(os.path.relpath(path, tree).replace(os.sep, "/"), path)
    for given in args.files:
        name, sep, path = given.partition("=")
        if not sep or not name or not path:
            sys.exit(f"pack.py: {given!r} is not NAME=FILE")
        add(name, path)
    if args.sums:
        if "SHA256SUMS" in entries:
            sys.exit("pack.py: SHA256SUMS is given twice")
        sums = "".join(f"{hashlib.sha256(entries[n]).hexdigest()}  {n}\n" for n in sorted(entries))
        entries["SHA256SUMS"] = sums.encode()
    return entries


def write_zip(f, root, entries, when):
    date = time.gmtime(max(when, ZIP_EPOCH))[:6]
    with zipfile.ZipFile(f, "w") as z:
        for name in sorted(entries):
            info = zipfile.ZipInfo(f"{root}/{name}", date_time=date)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the mode below is read
            info.external_attr = 0o100644 << 16
            z.writestr(info, entries[name], compresslevel=9)


def write_tar_gz(f, root, entries, when):
    tar = io.BytesIO()
    with tarfile.open(fileobj=tar, mode="w", format=tarfile.USTAR_FORMAT) as t:
        for name in sorted(entries):
            info = tarfile.TarInfo(f"{root}/{name}")
            info.size = len(entries[name])
            info.mtime = when
            info.mode = 0o644
            info.uid = info.gid = 0
            info.uname = info.gname = ""
            t.addfile(info, io.BytesIO(entries[name]))
    with gzip.GzipFile(filename="", mode="wb", fileobj=f, mtime=when, compresslevel=9) as g:
        g.write(tar.getvalue())


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("archive")
    p.add_argument("--root", required=True)
    p.add_argument("--tree", action="append", default=[])
    p.add_argument("--sums", action="store_true")
    p.add_argument("files", nargs="*")
    args = p.parse_intermixed_args()
    if "SOURCE_DATE_EPOCH" not in os.environ or not os.environ["SOURCE_DATE_EPOCH"].isdigit():
        sys.exit("pack.py: SOURCE_DATE_EPOCH must be set to the archive's date (seconds since 1970)")
    when = int(os.environ["SOURCE_DATE_EPOCH"])
    if args.archive.endswith(".zip"):
        write = write_zip
    elif args.archive.endswith(".tar.gz"):
        write = write_tar_gz
    else:
        sys.exit(f"pack.py: {args.archive} ends in neither .zip nor .tar.gz")
    entries = collect(args)
    partial = args.archive + ".partial"
    try:
        with open(partial, "wb") as f:
            write(f, args.root, entries, when)
        os.replace(partial, args.archive)
    finally:
        if os.path.exists(partial):
            os.remove(partial)


if __name__ == "__main__":
    main()
