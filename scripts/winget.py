"""Writes the winget manifest of a built installer: the version, installer and
default-locale files, for a per-user nullsoft installer.

    winget.py OUTDIR VERSION SETUP_EXE SOURCE_DATE_EPOCH

The installer's address is VELQUIN_DOWNLOAD_URL (default: the maker's download
folder) followed by the installer's file name. The values the installer writes into
the installed-programs entry (Velquin.nsh, Velquin.nsi) are repeated here; the
installer test holds the two to each other.
"""
import hashlib
import os
import pathlib
import sys
import time

IDENTIFIER = "HALVERN.Velquin"
MANIFEST_VERSION = "1.6.0"
SCHEMA = "https://aka.ms/winget-manifest.{kind}.1.6.0.schema.json"
# The installed-programs entry: its key name is the product code.
ENTRY = {"DisplayName": "ヴェルキン", "Publisher": "HALVERN", "ProductCode": "Velquin"}
# The installer's exit codes other than 0 (Velquin.nsh).
RETURN_CODES = [(1, "cancelledByUser"), (2, "packageInUse"), (3, "fileInUse")]


def write(path, kind, lines):
    text = f"# yaml-language-server: $schema={SCHEMA.format(kind=kind)}\n"
    text += "\n".join(lines) + f"\nManifestType: {kind}\nManifestVersion: {MANIFEST_VERSION}\n"
    path.write_bytes(text.encode("utf-8"))


def main():
    out, version, setup, epoch = pathlib.Path(sys.argv[1]), sys.argv[2], pathlib.Path(sys.argv[3]), int(sys.argv[4])
    base = os.environ.get("VELQUIN_DOWNLOAD_URL", "https://halvern.example/download").rstrip("/")
    digest = hashlib.sha256(setup.read_bytes()).hexdigest().upper()
    out.mkdir(parents=True, exist_ok=True)
    head = [f"PackageIdentifier: {IDENTIFIER}", f"PackageVersion: {version}"]

    write(out / f"{IDENTIFIER}.yaml", "version", head + ["DefaultLocale: ja-JP"])
    write(out / f"{IDENTIFIER}.installer.yaml", "installer", head + [
        "InstallerType: nullsoft",
        "Scope: user",
        "InstallModes:",
        "  - interactive",
        "  - silent",
        "InstallerSwitches:",
        "  Silent: /S",
        "  SilentWithProgress: /S",
        "  InstallLocation: /D=<INSTALLPATH>",
        "UpgradeBehavior: install",
        "ExpectedReturnCodes:",
        *[line for code, response in RETURN_CODES
          for line in (f"  - InstallerReturnCode: {code}", f"    ReturnResponse: {response}")],
        f"ReleaseDate: {time.strftime('%Y-%m-%d', time.gmtime(epoch))}",
        "AppsAndFeaturesEntries:",
        f"  - DisplayName: {ENTRY['DisplayName']}",
        f"    Publisher: {ENTRY['Publisher']}",
        f"    DisplayVersion: {version}",
        f"    ProductCode: {ENTRY['ProductCode']}",
        "Installers:",
        "  - Architecture: x86",
        f"    InstallerUrl: {base}/{setup.name}",
        f"    InstallerSha256: {digest}",
    ])
    write(out / f"{IDENTIFIER}.locale.ja-JP.yaml", "defaultLocale", head + [
        "PackageLocale: ja-JP",
        f"Publisher: {ENTRY['Publisher']}",
        "PublisherUrl: https://halvern.example",
        f"PackageName: {ENTRY['DisplayName']}",
        "Moniker: velquin",
        "License: MIT",
        "Copyright: Copyright (C) 2026 HALVERN",
        "ShortDescription: スタンバイや休止状態から復帰したときに、登録したタスクを開く常駐ツール",
    ])


if __name__ == "__main__":
    main()
