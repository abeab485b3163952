#!/usr/bin/env python3
"""summarise.py DATA: the benchmark's table in Markdown, from the folders bench/run.sh fills.

Each folder <table>-<density>x holds hyperfine's JSON exports (round-*.json, each with the
commands dump, check, floor and floor_dynamic) and the medians of page faults and peak resident
KiB. A second table sets CHECK_SCRIPT on the fresh script against the dump, and a third
UPDATE_TEXT against the dump (the folder update-mixed-4x: update.json, update-summary.txt).
"""
import glob
import json
import os
import statistics
import sys


def times_ms(folder):
    times = {}
    for path in sorted(glob.glob(os.path.join(folder, "round-*.json"))):
        with open(path) as f:
            for result in json.load(f)["results"]:
                times.setdefault(result["command"], []).extend(t * 1000 for t in result["times"])
    return times


def number(folder, name):
    with open(os.path.join(folder, name)) as f:
        return float(f.read())


def main(data):
    print("| Table | Density | Script | Dump | I/O floor | Ratio | Floor, dynamic | Ratio | "
          "Page faults, dump / floor | Peak RSS, dump | Runs |")
    print("|---|---|---|---|---|---|---|---|---|---|---|")
    per_mib = []
    for table in ("full", "mixed", "empty"):
        rows = []
        for density in (1, 2, 4):
            folder = os.path.join(data, f"{table}-{density}x")
            times = times_ms(folder)
            dump = statistics.median(times["dump"])
            floor = statistics.median(times["floor"])
            dynamic = statistics.median(times["floor_dynamic"])
            mib = number(folder, "script-bytes.txt") / (1 << 20)
            rows.append((density, mib, dump, floor))
            print(f"| {table} | {density}x | {mib:.1f} MiB | {dump:.1f} ms | {floor:.1f} ms | "
                  f"{dump / floor:.2f} | {dynamic:.1f} ms | {dump / dynamic:.2f} | "
                  f"{number(folder, 'faults-dump.txt'):.0f} / "
                  f"{number(folder, 'faults-floor.txt'):.0f} | "
                  f"{number(folder, 'rss-dump.txt') / 1024:.1f} MiB | {len(times['dump'])} |")
        steps = []
        for (_, mib_a, dump_a, floor_a), (_, mib_b, dump_b, floor_b) in zip(rows, rows[1:]):
            steps.append(f"{(dump_b - dump_a) / (mib_b - mib_a):.2f} / "
                         f"{(floor_b - floor_a) / (mib_b - mib_a):.2f}")
        per_mib.append(f"{table}: {', '.join(steps)}")
    print()
    print("Cost of each further MiB of script, dump / floor, in ms (1x to 2x, 2x to 4x): "
          + "; ".join(per_mib) + ".")
    print()
    print("| Table | Density | Dump | CHECK_SCRIPT | Ratio | CHECK_SCRIPT's summary |")
    print("|---|---|---|---|---|---|")
    for table in ("full", "mixed", "empty"):
        for density in (1, 2, 4):
            folder = os.path.join(data, f"{table}-{density}x")
            times = times_ms(folder)
            dump = statistics.median(times["dump"])
            check = statistics.median(times["check"])
            with open(os.path.join(folder, "check-summary.txt")) as f:
                summary = f.read().strip().removeprefix("[SUMMARY] ")
            print(f"| {table} | {density}x | {dump:.1f} ms | {check:.1f} ms | {check / dump:.2f} | "
                  f"{summary} |")

    folder = os.path.join(data, "update-mixed-4x")
    with open(os.path.join(folder, "update.json")) as f:
        times = {r["command"]: [t * 1000 for t in r["times"]] for r in json.load(f)["results"]}
    dump = statistics.median(times["dump"])
    update = statistics.median(times["update"])
    with open(os.path.join(folder, "update-summary.txt")) as f:
        summary = f.read().strip().removeprefix("[SUMMARY] ")
    print()
    print("| Image | Dump | UPDATE_TEXT | Ratio | Peak RSS, update | UPDATE_TEXT's summary |")
    print("|---|---|---|---|---|---|")
    print(f"| mixed 4x, dumped without every third entry | {dump:.1f} ms | {update:.1f} ms | "
          f"{update / dump:.2f} | {number(folder, 'rss-update.txt') / 1024:.1f} MiB | {summary} |")


if __name__ == "__main__":
    main(sys.argv[1])
