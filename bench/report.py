#!/usr/bin/env python3
"""Turns the results of bench/run.sh into docs/PERFORMANCE.md and the data and
gnuplot script of the scaling plot.

    report.py RESULTS_DIR MARKDOWN_FILE PLOT_BASENAME

Every figure is the median of its runs with the spread (lowest to highest);
ratios are of medians, ours over the peer's.
"""
import glob
import json
import os
import re
import statistics
import sys

MIB = 1024 * 1024


# --- reading ---------------------------------------------------------------

def read_sections(path):
    """machine.txt: [start] and [end] sections of key=value lines."""
    sections, current = {}, None
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        if line.startswith("[") and line.endswith("]"):
            current = sections.setdefault(line[1:-1], {})
        elif current is not None and "=" in line:
            key, value = line.split("=", 1)
            current[key] = value
    return sections


def read_datasets(results):
    sets = {}
    path = os.path.join(results, "datasets.txt")
    for line in open(path, encoding="utf-8"):
        name, files, size, folders = line.split()
        sets[name] = {"files": int(files), "bytes": int(size), "folders": int(folders)}
    return sets


def read_hyperfine(path):
    """Times in seconds per command name, of every round (NAME.rN.json)."""
    times = {}
    for part in sorted(glob.glob(path[:-len(".json")] + ".r*.json")):
        data = json.load(open(part, encoding="utf-8"))
        for r in data["results"]:
            times.setdefault(r["command"], []).extend(r["times"])
    return times


def read_numbers(path):
    if not os.path.exists(path):
        return []
    return [float(x) for x in open(path, encoding="utf-8").read().split()]


def read_events(path):
    """benchdrv output: one dict per line of key=value words ("a" values may
    be quoted)."""
    events = []
    if not os.path.exists(path):
        return events
    for line in open(path, encoding="utf-8", errors="replace"):
        fields = {}
        for m in re.finditer(r'(\w+)=("(?:[^"\\]|\\.)*"|\S*)', line):
            value = m.group(2)
            if value.startswith('"'):
                value = value[1:-1].replace('\\n', '\n').replace('\\"', '"').replace('\\\\', '\\')
            fields[m.group(1)] = value
        if fields:
            events.append(fields)
    return events


def first(events, key):
    for e in events:
        if key in e:
            return e[key]
    return None


def read_timing(path):
    """timing.log of the stand-in: (pid, kind, begin_us, end_us, what)."""
    rows = []
    if not os.path.exists(path):
        return rows
    for line in open(path, encoding="utf-8", errors="replace"):
        parts = line.rstrip("\n").split("\t")
        if len(parts) >= 4:
            rows.append((parts[0], parts[1], int(parts[2]), int(parts[3]), "\t".join(parts[4:])))
    return rows


# --- figures ---------------------------------------------------------------

class Figure:
    """The runs of one measurement, in seconds."""

    def __init__(self, values):
        self.values = sorted(values)

    def __bool__(self):
        return bool(self.values)

    @property
    def median(self):
        return statistics.median(self.values)

    def text(self, unit="s"):
        if not self.values:
            return "not measured"
        if unit == "s":
            n = len(self.values)
            return "%s (%s–%s, %d run%s)" % (seconds(self.median), seconds(self.values[0], False),
                                              seconds(self.values[-1], False), n,
                                              "" if n == 1 else "s")
        return "%s (%s–%s)" % (fmt_number(self.median, unit), fmt_number(self.values[0], unit),
                              fmt_number(self.values[-1], unit))


def seconds(value, unit=True):
    if value >= 10:
        text = "%.1f" % value
    elif value >= 1:
        text = "%.2f" % value
    elif value >= 0.01:
        return "%.0f ms" % (value * 1000) if unit else "%.0f ms" % (value * 1000)
    else:
        return "%.1f ms" % (value * 1000)
    return text + " s"


def fmt_number(value, unit):
    if unit == "MiB":
        return "%.1f MiB" % value
    if unit == "ms":
        return "%.1f ms" % value
    return "%g %s" % (value, unit)


def ratio(ours, peer):
    if not ours or not peer or peer.median == 0:
        return None
    return ours.median / peer.median


def ratio_text(r):
    return "—" if r is None else "%.2f×" % r


def verdict(value, limit, what="×"):
    if value is None:
        return "not measured"
    if value <= limit:
        return "**met**"
    over = value / limit - 1
    return "**not met** (%.0f %% over)" % (over * 100)


def linear_fit(points):
    """Least squares through (x, y): slope, intercept, R²."""
    n = len(points)
    if n < 2:
        return None
    mx = sum(p[0] for p in points) / n
    my = sum(p[1] for p in points) / n
    sxx = sum((p[0] - mx) ** 2 for p in points)
    sxy = sum((p[0] - mx) * (p[1] - my) for p in points)
    syy = sum((p[1] - my) ** 2 for p in points)
    if sxx == 0:
        return None
    slope = sxy / sxx
    r2 = 1.0 if syy == 0 else sxy * sxy / (sxx * syy)
    return slope, my - slope * mx, r2


# --- the engine against tar ------------------------------------------------

OPS = [("create", "ikotool create", "tar -cf"), ("extract", "ikotool extract", "tar -xf"),
       ("test", "ikotool test", "tar -tf")]


def native_section(results, sets, out):
    have_before = any("ikotool-before" in read_hyperfine(p.split(".r")[0] + ".json")
                      for p in glob.glob(os.path.join(results, "native-*.r1.json")))
    out.append("## ikotool against tar\n")
    out.append("Same tree, output on the same disk, page cache warm (one warm-up run "
               "before the timed runs; the previous output removed and written back with "
               "`sync` before every run, outside the timing). Times are wall-clock; the runs "
               "go in up to five rounds with the tools' order reversed each round, so that "
               "the machine's other work falls on all of them alike.\n")
    head = "| Data set | Operation | ikotool | tar | ikotool / tar |"
    rule = "|---|---|---|---|---|"
    if have_before:
        head += " ikotool before the changes | after / before |"
        rule += "---|---|"
    out += [head, rule]
    ratios = {}
    for name in ("office", "many", "big"):
        if name not in sets:
            continue
        for op, ours_name, peer_name in OPS:
            runs = read_hyperfine(os.path.join(results, "native-%s-%s.json" % (name, op)))
            if not runs:
                continue
            ours, peer = Figure(runs.get("ikotool", [])), Figure(runs.get("tar", []))
            r = ratio(ours, peer)
            ratios[(name, op)] = r
            row = "| %s | %s / %s | %s | %s | %s |" % (name, ours_name, peer_name, ours.text(),
                                                    peer.text(), ratio_text(r))
            if have_before:
                before = Figure(runs.get("ikotool-before", []))
                row += " %s | %s |" % (before.text(), ratio_text(ratio(ours, before)))
            out.append(row)
    out.append("")
    same = os.path.join(results, "baseline-bytes.txt")
    if os.path.exists(same):
        lines = [l.split() for l in open(same, encoding="utf-8") if l.strip()]
        out.append("Migration files written before and after the changes from the same tree: "
                   + ", ".join("%s %s" % (name, "byte for byte identical" if state == "identical"
                                          else "**different**") for name, state in lines) + ".\n")
    return ratios


def memory_section(results, sets, out):
    out.append("## Peak memory (`/usr/bin/time -f %M`, three runs each)\n")
    out.append("| Data set | Operation | ikotool | tar |")
    out.append("|---|---|---|---|")
    peaks = {}
    for name in ("office", "many", "big"):
        if name not in sets:
            continue
        for op, _, _ in OPS:
            ours = Figure([k / 1024 for k in read_numbers(
                os.path.join(results, "native-%s-%s-ikotool.mem" % (name, op)))])
            peer = Figure([k / 1024 for k in read_numbers(
                os.path.join(results, "native-%s-%s-tar.mem" % (name, op)))])
            if ours:
                peaks[name] = max(peaks.get(name, 0), ours.values[-1])
            out.append("| %s | %s | %s | %s |" % (name, op, ours.text("MiB"), peer.text("MiB")))
    out.append("")
    return peaks


def scale_points(results, sets, kind, op, tool):
    """(files or bytes, median seconds) of the scaling sets and the big sets."""
    points = []
    for name, info in sets.items():
        if kind == "files" and (name.startswith("files-") or name == "many"):
            x = info["files"]
        elif kind == "bytes" and (name.startswith("bytes-") or name == "big"):
            x = info["bytes"]
        else:
            continue
        prefix = "native" if name in ("many", "big") else "scale"
        runs = read_hyperfine(os.path.join(results, "%s-%s-%s.json" % (prefix, name, op)))
        if runs.get(tool):
            points.append((x, statistics.median(runs[tool])))
    return sorted(points)


def scaling_section(results, sets, plot_base, out):
    """The plot's data and script go with the results; the picture beside the
    page, plot_base + ".png"."""
    data_base = os.path.join(results, "plot")
    out.append("## Growth with files and with bytes\n")
    out.append("![time against files and bytes](%s.png)\n" % os.path.basename(plot_base))
    out.append("Many-like sets (1 to 8 KiB per file, about 1,000 files per folder; \"many\" is "
               "the last point) and single files; medians. A straight line through the points "
               "(least squares) and how well it fits:\n")
    out.append("| Operation | Tool | per 1,000 files | R² (files) | per GiB | R² (bytes) |")
    out.append("|---|---|---|---|---|---|")
    fits = {}
    for op in ("create", "extract"):
        for tool in ("ikotool", "tar"):
            files = scale_points(results, sets, "files", op, tool)
            size = scale_points(results, sets, "bytes", op, tool)
            ff, fb = linear_fit(files), linear_fit(size)
            fits[(op, tool)] = (ff, fb)
            out.append("| %s | %s | %s | %s | %s | %s |" % (
                op, tool, seconds(ff[0] * 1000) if ff else "—", "%.3f" % ff[2] if ff else "—",
                seconds(fb[0] * 1024 ** 3) if fb else "—", "%.3f" % fb[2] if fb else "—"))
            write_points(data_base + "-%s-%s-files.dat" % (op, tool), files)
            write_points(data_base + "-%s-%s-bytes.dat" % (op, tool), size)
    out.append("")
    write_gnuplot(data_base, plot_base + ".png")
    return fits


def write_points(path, points):
    with open(path, "w", encoding="utf-8") as f:
        for x, y in points:
            f.write("%d %.6f\n" % (x, y))


def write_gnuplot(data_base, png):
    def series(kind):
        items = []
        for op, style in (("create", "lt 1"), ("extract", "lt 2")):
            for tool, pt in (("ikotool", "pt 7 dt 1"), ("tar", "pt 5 dt 2")):
                data = "%s-%s-%s-%s.dat" % (data_base, op, tool, kind)
                scale = "($1/1000)" if kind == "files" else "($1/1073741824)"
                items.append("'%s' using %s:2 with linespoints %s %s title '%s %s'" % (
                    data, scale, style, pt, tool, op))
        return ", ".join(items)

    with open(data_base + ".gp", "w", encoding="utf-8") as f:
        f.write("set terminal pngcairo size 1200,500 font ',10'\n")
        f.write("set output '%s'\n" % png)
        f.write("set multiplot layout 1,2 title 'ikotool and tar: time against files and bytes'\n")
        f.write("set grid\nset key top left\nset ylabel 'seconds (median)'\n")
        f.write("set xlabel 'thousand files (1-8 KiB each)'\nplot %s\n" % series("files"))
        f.write("set xlabel 'GiB in one file'\nplot %s\n" % series("bytes"))
        f.write("unset multiplot\n")


# --- under Wine -------------------------------------------------------------

def tessaro_run(path, success_words):
    """(seconds from start, seconds after the dialog, None) or (None, None,
    reason)."""
    events = read_events(path)
    error = first(events, "error")
    created = first(events, "created_us")
    result = next((e for e in events if e.get("event") == "result"), None)
    confirmed = next((e for e in events if e.get("event") == "confirmed"), None)
    if error or not result or not created:
        return None, None, error or "no result message"
    text = result.get("text", "")
    if not any(w in text for w in success_words):
        return None, None, "Tessaro said \"%s\"" % text.replace("\n", " ")
    start = (int(result["at_us"]) - int(created)) / 1e6
    work = (int(result["at_us"]) - int(confirmed["at_us"])) / 1e6 if confirmed else None
    return start, work, None


def process_seconds(path):
    events = read_events(path)
    created, exited = first(events, "created_us"), first(events, "exited_us")
    if not created or not exited or first(events, "exit_code") not in ("0", None):
        return None
    return (int(exited) - int(created)) / 1e6


def wine_section(results, out):
    files = sorted(glob.glob(os.path.join(results, "wine-xcopy-backup-*.txt")))
    if not files:
        return {}
    tree = read_events(os.path.join(results, "wine-tree.txt"))
    out.append("## Under Wine: Tessaro and ikotool.exe against xcopy\n")
    if tree:
        out.append("The tree: data set \"%s\" with an installation's own files, %s files, "
                   "%.2f GB. xcopy runs as `xcopy SRC DST /E /I /Q /H` (/H: hidden files too, "
                   "as Tessaro carries them; /Q: no list of names). Every program is started "
                   "by `benchdrv.exe` inside Wine; times are from the process's creation to "
                   "its end, or to Tessaro's result message.\n" % (
                       tree[0].get("tree"), tree[0].get("files"),
                       int(tree[0].get("bytes", 0)) / 1e9))
    runs = len(files)
    figures, reasons = {}, {}
    for direction, words in (("backup", ("作成しました",)), ("restore", ("移行しました",))):
        starts, works, why = [], [], None
        for r in range(1, runs + 1):
            start, work, reason = tessaro_run(
                os.path.join(results, "wine-tessaro-%s-%d.txt" % (direction, r)), words)
            if start is None:
                why = reason
            else:
                starts.append(start)
                works.append(work)
        figures[("tessaro", direction)] = Figure(starts)
        figures[("tessaro-work", direction)] = Figure([w for w in works if w is not None])
        reasons[direction] = why
        figures[("xcopy", direction)] = Figure([s for s in (
            process_seconds(os.path.join(results, "wine-xcopy-%s-%d.txt" % (direction, r)))
            for r in range(1, runs + 1)) if s is not None])
        op = "create" if direction == "backup" else "extract"
        figures[("ikotool", direction)] = Figure([s for s in (
            process_seconds(os.path.join(results, "wine-ikotool-%s-%d.txt" % (op, r)))
            for r in range(1, runs + 1)) if s is not None])
    out.append("| Direction | Tessaro.exe (start to result) | after the file dialog | xcopy | "
               "Tessaro / xcopy | ikotool.exe | ikotool.exe / xcopy |")
    out.append("|---|---|---|---|---|---|---|")
    for direction, label in (("backup", "backup (/K:1) / copy out"),
                             ("restore", "restore (復元) / copy back")):
        t = figures[("tessaro", direction)]
        x = figures[("xcopy", direction)]
        i = figures[("ikotool", direction)]
        t_text = t.text() if t else "not measured: %s" % reasons[direction]
        out.append("| %s | %s | %s | %s | %s | %s | %s |" % (
            label, t_text, figures[("tessaro-work", direction)].text() if t else "—", x.text(),
            ratio_text(ratio(t, x)), i.text(), ratio_text(ratio(i, x))))
    same = os.path.join(results, "wine-tessaro-vs-ikotool.txt")
    if os.path.exists(same):
        state = open(same, encoding="utf-8").read().strip()
        out.append("\nTessaro's backup file against ikotool.exe's of the same tree: %s." % (
            "byte for byte identical" if state == "identical" else state))
    out.append("")
    return {"figures": figures, "reasons": reasons}


def quimbex_run(prefix):
    """The split of one run: the conversion phase runs from the start of
    Quimbex's first automation call to the end of its last one (the releases
    after the final message wait for the user); the stand-in's log gives the
    time inside it, Quimbex's own call timing the time spent in calls and
    releases, and what is left of the phase is Quimbex's own work."""
    events = read_events(prefix + ".txt")
    timing = read_timing(prefix + ".timing")
    client = [r for r in read_timing(prefix + ".client") if r[1] in ("Invoke", "Release")]
    created, exited = first(events, "created_us"), first(events, "exited_us")
    calls = [row for row in timing if row[1] == "Call"]
    servers = [row for row in timing if row[1] == "Server"]
    if not created or not calls or not client:
        return None
    begin = client[0][2]
    end = max(r[3] for r in client if r[1] == "Invoke")
    in_calls = sum(r[3] - r[2] for r in client if r[3] <= end) / 1e6
    inside = sum(c[3] - c[2] for c in calls) / 1e6
    phase = (end - begin) / 1e6
    box = next((e for e in events if e.get("event") == "box"), None)
    return {
        "total": (int(exited) - int(created)) / 1e6 if exited else None,
        "start": (begin - int(created)) / 1e6,
        "conversion": phase,
        "inside": inside,
        "transport": in_calls - inside,
        "own": phase - in_calls,
        "instances": len(servers),
        "calls": sum(1 for r in client if r[1] == "Invoke"),
        "releases": sum(1 for r in client if r[1] == "Release"),
        "macro_runs": sum(1 for c in calls if c[4].startswith("Application.Run")),
        "message": box.get("text", "") if box else "",
    }


def probe_transport(results):
    """Seconds of transport per round of five calls (one macro run) for a
    client that does nothing else, and the creation of Excel.Application."""
    events = read_events(os.path.join(results, "probe.txt"))
    timing = [r for r in read_timing(os.path.join(results, "probe.timing")) if r[1] == "Call"]
    rounds = [e for e in events if "begin_us" in e and "calls" in e]
    values = []
    for e in rounds:
        begin, end = int(e["begin_us"]), int(e["end_us"])
        inside = sum(c[3] - c[2] for c in timing if c[2] >= begin and c[3] <= end)
        values.append((end - begin - inside) / 1e6)
    create = next((e for e in events if "begin_us" in e and "calls" not in e), None)
    activation = (int(create["end_us"]) - int(create["begin_us"])) / 1e6 if create else None
    return Figure(values), activation


def quimbex_section(results, out):
    files = glob.glob(os.path.join(results, "quimbex-*-*.txt"))
    if not files:
        return {}
    bare, activation = probe_transport(results)
    books_list = sorted({int(re.search(r"quimbex-(\d+)-", f).group(1)) for f in files})
    out.append("## Quimbex /K:9 with the Excel stand-in\n")
    out.append("Each run converts every book of a fresh sample installation (payroll books, "
               "every other one with an attendance book). The conversion phase runs from "
               "Quimbex's first automation call to the end of its last one. The stand-in logs "
               "when each call came in and went out (`timing.log`: the time inside the "
               "stand-in); Quimbex's dispatch driver times each call and release from its side "
               "(`MORVANE_CALL_TIMING`): the time in calls minus the time inside is the "
               "automation transport, and the rest of the phase is Quimbex's own work. Before "
               "the phase, Quimbex starts and Wine starts the stand-in (creating "
               "Excel.Application took %s for a bare client). A bare client making one macro "
               "run's five calls in a loop (`benchdrv.exe probe`, no wait dialog, no message "
               "filter) needs %s of transport per macro run.\n" % (
                   seconds(activation) if activation else "—",
                   bare.text().replace(" runs)", " rounds)").replace(" run)", " round)")
                   if bare else "—"))
    out.append("| Books | Whole run | Start to first call | Conversion phase | inside the "
               "stand-in | transport | Quimbex's own | own per book | Excel instances | "
               "calls + releases |")
    out.append("|---|---|---|---|---|---|---|---|---|---|")
    per_book, instances, transport_per_book = {}, set(), {}
    for books in books_list:
        runs = [quimbex_run(f[:-4]) for f in sorted(
            glob.glob(os.path.join(results, "quimbex-%d-*.txt" % books)))]
        runs = [r for r in runs if r]
        if not runs:
            continue

        def fig(key, scale=1.0):
            return Figure([r[key] * scale for r in runs if r.get(key) is not None])

        per_book[books] = fig("own", 1.0 / books)
        transport_per_book[books] = fig("transport", 1.0 / books)
        instances.update(r["instances"] for r in runs)
        out.append("| %d | %s | %s | %s | %s | %s | %s | %s | %s | %d + %d |" % (
            books, fig("total").text(), fig("start").text(), fig("conversion").text(),
            fig("inside").text(), fig("transport").text(), fig("own").text(),
            per_book[books].text(), "/".join(str(r["instances"]) for r in runs),
            runs[0]["calls"], runs[0]["releases"]))
    out.append("")
    return {"per_book": per_book, "instances": instances, "transport": transport_per_book}


# --- the whole page -----------------------------------------------------------

def header(machine, sets, out):
    start, end = machine.get("start", {}), machine.get("end", {})
    out.append("# Performance\n")
    out.append("Written by `bench/run.sh`%s on %s. Do not edit the figures by hand; the notes "
               "at the end come from `bench/NOTES.md`.\n" % (
                   " --smoke (tiny data sets: the figures mean nothing)"
                   if start.get("smoke") == "1" else "", start.get("date", "?")))
    out.append("## Machine and run\n")
    out.append("- %s, %s cores, %s, Linux %s; %s" % (
        start.get("cpu"), start.get("cores"), start.get("memory"), start.get("kernel"),
        start.get("filesystem")))
    out.append("- %s; %s; %s; %s" % (start.get("tar"), start.get("hyperfine"),
                                    start.get("compiler"), start.get("wine", "no Wine")))
    out.append("- load average at the start %s, at the end %s; busiest other processes at the "
               "start: %s; at the end: %s" % (
                   start.get("load"), end.get("load"), start.get("busiest") or "none",
                   end.get("busiest") or "none"))
    out.append("- page cache warm: every data set was read by a warm-up run right before its "
               "timed runs; %s timed runs per native figure, %s per figure under Wine; seed %s" % (
                   start.get("runs"), start.get("wine_runs"), start.get("seed")))
    out.append("")
    out.append("| Data set | Files | Bytes | Folders |")
    out.append("|---|---|---|---|")
    for name, info in sets.items():
        out.append("| %s | %d | %.3f GB | %d |" % (name, info["files"], info["bytes"] / 1e9,
                                                   info["folders"]))
    out.append("")


def goals_section(ratios, peaks, fits, wine, quimbex, out):
    out.append("## Goals\n")
    out.append("| Goal | Reached | |")
    out.append("|---|---|---|")
    for name in ("office", "many"):
        for op, peer in (("create", "tar -cf"), ("extract", "tar -xf")):
            r = ratios.get((name, op))
            out.append("| `ikotool %s` ≤ 1.0 × `%s` on %s | %s | %s |" % (
                op, peer, name, ratio_text(r), verdict(r, 1.0)))
    figures = wine.get("figures", {})
    for direction, label in (("backup", "create (backup /K:1)"), ("restore", "restore")):
        t, x = figures.get(("tessaro", direction)), figures.get(("xcopy", direction))
        r = ratio(t, x) if t else None
        reason = wine.get("reasons", {}).get(direction)
        out.append("| `Tessaro.exe` %s ≤ 1.0 × Wine `xcopy` | %s | %s |" % (
            label, ratio_text(r) if r is not None else "—",
            verdict(r, 1.0) if r is not None else "not measured: %s" % (reason or "no run")))
    for name, limit in (("office", 16), ("many", 64), ("big", 16)):
        peak = peaks.get(name)
        out.append("| peak memory ≤ %d MiB on %s | %s | %s |" % (
            limit, name, "%.1f MiB" % peak if peak else "—",
            verdict(peak, limit) if peak else "not measured (run with --big)"
            if name == "big" else "not measured"))
    for op in ("create", "extract"):
        ff, fb = fits.get((op, "ikotool"), (None, None))
        out.append("| `ikotool %s` time linear in files and bytes | R² %s (files), %s (bytes) | "
                   "see the plot |" % (op, "%.3f" % ff[2] if ff else "—",
                                       "%.3f" % fb[2] if fb else "—"))
    per_book = quimbex.get("per_book", {})
    if per_book:
        most = max(b for b in per_book if per_book[b])
        value = per_book[most].median
        out.append("| Quimbex's own work ≤ 5 ms per book | %s per book with %d books | %s |" % (
            seconds(value), most, verdict(value * 1000, 5.0)))
        inst = quimbex.get("instances", set())
        out.append("| one Excel instance per run | %s | %s |" % (
            ", ".join(str(i) for i in sorted(inst)),
            "**met**" if inst == {1} else "**not met**"))
    out.append("")


def main():
    results, markdown, plot_base = sys.argv[1], sys.argv[2], sys.argv[3]
    machine = read_sections(os.path.join(results, "machine.txt"))
    sets = read_datasets(results)
    body = []
    ratios = native_section(results, sets, body)
    peaks = memory_section(results, sets, body)
    fits = scaling_section(results, sets, plot_base, body)
    wine = wine_section(results, body)
    quimbex = quimbex_section(results, body)
    page = []
    header(machine, sets, page)
    goals_section(ratios, peaks, fits, wine, quimbex, page)
    page += body
    notes = os.path.join(os.path.dirname(os.path.abspath(__file__)), "NOTES.md")
    if os.path.exists(notes):
        page.append(open(notes, encoding="utf-8").read())
    with open(markdown, "w", encoding="utf-8") as f:
        f.write("\n".join(page).rstrip("\n") + "\n")


if __name__ == "__main__":
    main()
