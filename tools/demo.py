#!/usr/bin/env python3
"""The demo: Folderwise installed in a fresh Wine prefix, a sample rule list,
a loopback HTTP server and a handful of downloads through the stand-in
browser, then a table of where each download's Save dialog opens.

    demo.py BUILD_DIR
"""
import os
import shutil
import subprocess
import sys
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WINE64 = "/usr/lib/wine/wine64"
WINE32 = "/usr/lib/wine/wine"
INSTALL_DIR = r"C:\Program Files\Folderwise"


def can_run_32():
    try:
        return subprocess.run([WINE32, "--version"], capture_output=True).returncode == 0
    except OSError:
        return False


def main():
    out = os.path.abspath(sys.argv[1])
    work = os.path.join(out, "demo")
    started = time.monotonic()
    run_sh = os.path.join(TOP, "tests", "wine", "run.sh")
    prefix_sh = os.path.join(TOP, "tests", "wine", "prefix.sh")

    def wine(loader, *args, check=True):
        r = subprocess.run([run_sh, work, loader, *args], capture_output=True, text=True)
        if check and r.returncode != 0:
            sys.exit(f"demo: {' '.join(args)} failed ({r.returncode})\n{r.stdout}{r.stderr}")
        return r.stdout

    roles = [("64-bit", WINE64, os.path.join(out, "win64", "bin"), "Fwise64.dll")]
    if can_run_32():
        roles.insert(0, ("32-bit", WINE32, os.path.join(out, "win32", "bin"), "Fwise.dll"))
    for _, _, bindir, dll in roles:
        if not os.path.exists(os.path.join(bindir, dll)):
            sys.exit(f"demo: {dll} is not built (./fw build)")

    print("== a fresh Wine prefix")
    subprocess.run([prefix_sh, "start", work, WINE64], check=True, stdout=subprocess.DEVNULL)
    http_dir = os.path.join(work, "http")
    http_sh = os.path.join(TOP, "tools", "loopback_http.sh")
    try:
        drive_c = os.path.join(work, "prefix", "drive_c")
        install = os.path.join(drive_c, "Program Files", "Folderwise")
        os.makedirs(install, exist_ok=True)
        for _, _, bindir, dll in roles:
            shutil.copy(os.path.join(bindir, dll), install)
        fwreg = os.path.join(out, "win32", "bin", "FwReg.exe")
        if os.path.exists(fwreg):
            shutil.copy(fwreg, install)

        print(f"== installing into {INSTALL_DIR} (regsvr32 /s, as the Setup page does)")
        for name, loader, _, dll in roles:
            regsvr32 = r"C:\windows\syswow64\regsvr32.exe" if loader == WINE32 else "regsvr32"
            wine(loader, regsvr32, "/s", INSTALL_DIR + "\\" + dll)
            print(f"   {dll} registered ({name})")

        subprocess.run([http_sh, "start", http_dir], check=True, stdout=subprocess.DEVNULL)
        with open(os.path.join(http_dir, "port")) as f:
            port = int(f.read().split()[0])
        host = f"127.0.0.1:{port}"
        folders = {
            "documents": r"C:\Downloads\Documents",
            "installers": r"C:\Downloads\Installers",
            "music": r"C:\Downloads\Music",
            "other": r"C:\Downloads\Other",
        }
        for f in folders.values():
            os.makedirs(os.path.join(drive_c, *f.split("\\")[1:]), exist_ok=True)
        rules = [
            ("extension", "ext", ".pdf", folders["documents"]),
            ("name", "name", "setup", folders["installers"]),
            ("URL", "url", f"{host}/music/", folders["music"]),
        ]
        args = ["/default", folders["other"], "/parseurl", "1"]
        for _, kind, text, folder in rules:
            args += [kind, text, folder]

        def write_rules(use_cd):
            wine(WINE64, os.path.join(out, "win64", "bin", "fwrules.exe"), *args, "/usecd", use_cd)

        write_rules("0")
        print("== the rules (written through the settings store)")
        for i, (label, _, text, folder) in enumerate(rules, 1):
            print(f"   {i}. {label:<9} {text:<26} -> {folder}")
        print(f"      {'default folder':<36} -> {folders['other']}")
        print("      ParseURL 1 (follow script and redirect addresses)")
        print("      UseContentDisposition 0, then 1 for the last download (the server's file name)")

        urls = [
            f"http://{host}/papers/Report.PDF",
            f"http://{host}/tools/Setup_v2.exe",
            f"http://{host}/music/track.ogg",
            f"http://{host}/misc/archive.zip",
            f"http://{host}/get.php?id=7",
            f"http://{host}/download?id=42",
        ]
        # Its server answers Content-Disposition: attachment; filename="Quarterly report.pdf".
        named = f"http://{host}/download?id=42"
        matched_by = {folder.lower(): f"{i}. {label} {text}" for i, (label, _, text, folder) in enumerate(rules, 1)}
        matched_by[folders["other"].lower()] = "default folder"
        rows = []

        def download(use_cd, batch):
            write_rules(use_cd)
            for name, loader, bindir, _ in roles:
                report = wine(loader, os.path.join(bindir, "iexplore.exe"), "/fresh", *batch)
                current = {"option": "on" if use_cd == "1" else "off"}
                for line in report.splitlines():
                    key, _, value = line.partition("\t")
                    current[key] = value
                    if key == "save-folder":
                        rows.append((name, current))
                        current = {"option": current["option"]}

        download("0", urls)
        download("1", [named])
        print("== downloads through the stand-in browser (the handler declines each one with E_NOTIMPL)")
        header = ("host", "URL", "server's name", "rule that matched", "Save dialog opens in", "ms")
        table = [header]
        for name, r in rows:
            folder = r.get("save-folder", "")
            rule = matched_by.get(folder.lower(), "(none)") if folder else "(none)"
            if r.get("result") != "0x80004001":
                rule = f"(handler answered {r.get('result')})"
            table.append((name, r.get("url", ""), r["option"], rule, folder or "(where the browser always opens it)",
                          r.get("took-ms", "")))
        widths = [max(len(row[i]) for row in table) for i in range(len(header))]
        for n, row in enumerate(table):
            print("   " + "  ".join(cell.ljust(widths[i]) for i, cell in enumerate(row)).rstrip())
            if n == 0:
                print("   " + "  ".join("-" * w for w in widths))
        print("   get.php?id=7 redirects to /files/report.pdf: followed (ParseURL 1), the .pdf rule matches.\n"
              "   download?id=42 names its file only in Content-Disposition (\"Quarterly report.pdf\"): with the\n"
              "   server's name off the address decides (default folder), with it on the .pdf rule matches.")
        print(f"== done in {time.monotonic() - started:.0f} s")
    finally:
        subprocess.run([http_sh, "stop", http_dir], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([prefix_sh, "stop", work], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


if __name__ == "__main__":
    main()
