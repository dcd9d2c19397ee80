"""Checks what scripts/dist.sh wrote: the zip's contents, the read-me as Windows
users open it (code page 932, CR LF), the licence text, SHA256SUMS, the version
that the file names, the programs' version blocks and manifest and the winget
manifest carry (all the project's), and that the winget manifest names the
installer by its SHA-256.

    check_dist.py DIST_DIR VERSION SOURCE_DIR
"""
import hashlib
import pathlib
import re
import struct
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

# The version, everywhere: x.y[.z] in names and texts, four numbers in the blocks.
numbers = [int(n) for n in version.split(".")] + [0] * (4 - len(version.split(".")))
version4 = ".".join(map(str, numbers))


def fixed_version(data, what):
    """The file and product versions of a program's VS_FIXEDFILEINFO, as x.y.z.w."""
    at = data.find(b"\xbd\x04\xef\xfe")
    check(at >= 0, f"{what}: no version block")
    if at < 0:
        return None, None
    words = struct.unpack_from("<4I", data, at + 8)
    return tuple(f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}" for ms, ls in (words[0:2], words[2:4]))


def version_string(data, key):
    """A value of the version block's string table (UTF-16), or None."""
    match = re.search(re.escape(key.encode("utf-16-le")) + rb"\x00\x00(?:\x00\x00)*((?:[^\x00].|\x00[^\x00])*?)\x00\x00",
                      data, re.S)
    return match.group(1).decode("utf-16-le") if match else None


program = (dist / "Velquin.exe").read_bytes()
for name, data in (("Velquin.exe", program), (setup, (dist / setup).read_bytes())):
    check(fixed_version(data, name) == (version4, version4), f"{name}: version block {fixed_version(data, name)}")
    check(version_string(data, "ProductVersion") == version,
          f"{name}: ProductVersion {version_string(data, 'ProductVersion')!r}, not {version}")
check(f'name="Halvern.Velquin" version="{version4}"'.encode() in program, f"Velquin.exe: the manifest is not {version4}")

winget = dist / "winget"
kinds = {"HALVERN.Velquin.yaml": "version", "HALVERN.Velquin.installer.yaml": "installer",
         "HALVERN.Velquin.locale.ja-JP.yaml": "defaultLocale"}
check(sorted(p.name for p in winget.iterdir()) == sorted(kinds), f"winget/ holds {sorted(p.name for p in winget.iterdir())}")
setup_digest = hashlib.sha256((dist / setup).read_bytes()).hexdigest().upper()
for file, kind in kinds.items():
    text = (winget / file).read_text(encoding="utf-8") if (winget / file).is_file() else ""
    values = dict(re.findall(r"^\s*-?\s*(\w+): (.*)$", text, re.M))
    check(values.get("ManifestType") == kind, f"winget/{file}: ManifestType {values.get('ManifestType')}")
    check(values.get("PackageIdentifier") == "HALVERN.Velquin", f"winget/{file}: PackageIdentifier")
    check(values.get("PackageVersion") == version, f"winget/{file}: PackageVersion {values.get('PackageVersion')}")
    if kind == "installer":
        expected = {"InstallerType": "nullsoft", "Scope": "user", "Architecture": "x86", "Silent": "/S",
                    "InstallerSha256": setup_digest, "DisplayVersion": version, "DisplayName": "ヴェルキン"}
        for key, value in expected.items():
            check(values.get(key) == value, f"winget/{file}: {key} is {values.get(key)!r}, not {value!r}")
        check(values.get("InstallerUrl", "").endswith("/" + setup), f"winget/{file}: InstallerUrl {values.get('InstallerUrl')}")

for failure in failures:
    print("FAILED:", failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
