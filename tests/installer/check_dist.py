"""Checks what scripts/dist.sh wrote: the zip's contents, the read-me as Windows
users open it (code page 932, CR LF), the licence text and SHA256SUMS.

    check_dist.py DIST_DIR VERSION SOURCE_DIR
"""
import hashlib
import pathlib
import re
import sys
import zipfile

dist, version, source = pathlib.Path(sys.argv[1]), sys.argv[2], pathlib.Path(sys.argv[3])
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def crlf_text(data, what):
    """The text with LF line ends, after checking that every line ends in CR LF."""
    check(data.endswith(b"\r\n"), f"{what}: the last line does not end in CR LF")
    check(b"\n" not in data.replace(b"\r\n", b""), f"{what}: a line ends in a bare LF")
    check(b"\r" not in data.replace(b"\r\n", b""), f"{what}: a bare CR")
    return data.replace(b"\r\n", b"\n")


setup, archive = f"Velquin-{version}-setup.exe", f"Velquin-{version}.zip"
with zipfile.ZipFile(dist / archive) as z:
    check(z.testzip() is None, f"{archive}: a member fails its CRC")
    names = sorted(z.namelist())
    check(names == ["LICENSE.txt", "Velquin.exe", "readme.txt"], f"{archive} holds {names}")
    members = {name: z.read(name) for name in names}

check(members.get("Velquin.exe") == (dist / "Velquin.exe").read_bytes(), "the zip's Velquin.exe is not dist's")

readme = members.get("readme.txt", b"")
try:
    text = crlf_text(readme, "readme.txt").decode("cp932")
    check(text == (source / "installer/readme.txt").read_text(encoding="utf-8"),
          "readme.txt is not its source converted")
    # Every button the read-me quotes is one the program has, byte for byte.
    program = "".join(p.read_text(encoding="utf-8") for folder in ("app", "toolkit")
                      for p in (source / folder).glob("*.cpp"))
    quoted = [t for t in re.findall("「([^」]*)」", text) if "(&" in t]
    check(len(quoted) >= 5, f"readme.txt quotes only {quoted}")
    for label in quoted:
        check(f'"{label}"' in program, f"readme.txt quotes 「{label}」, which the program does not show")
    check(version in text, f"readme.txt does not state the version {version}")
except UnicodeDecodeError as error:
    failures.append(f"readme.txt is not code page 932: {error}")

licence = crlf_text(members.get("LICENSE.txt", b""), "LICENSE.txt")
check(licence == (source / "LICENSE").read_bytes(), "LICENSE.txt is not LICENSE")
check(b"Copyright (C) 2026 HALVERN" in licence, "LICENSE.txt lacks the copyright line")

sums = {}
for line in (dist / "SHA256SUMS").read_text(encoding="ascii").splitlines():
    match = re.fullmatch(r"([0-9a-f]{64})  (\S+)", line)
    check(match is not None, f"SHA256SUMS: bad line {line!r}")
    if match:
        sums[match.group(2)] = match.group(1)
check(sorted(sums) == sorted(["Velquin.exe", setup, archive]), f"SHA256SUMS lists {sorted(sums)}")
for name, digest in sums.items():
    path = dist / name
    check(path.is_file() and hashlib.sha256(path.read_bytes()).hexdigest() == digest,
          f"SHA256SUMS: {name} does not match")

for failure in failures:
    print("FAILED:", failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
