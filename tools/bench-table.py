#!/usr/bin/env python3
"""Prints the medians of Google Benchmark JSON results as one table, then the
headline ratios: each frame against its memory floor, and an engine script
call against a bare C function call."""
import json
import sys

rows = {}
for path in sys.argv[1:]:
    with open(path) as f:
        data = json.load(f)
    for b in data.get("benchmarks", []):
        # Medians when repeated, the single run otherwise.
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = b.get("run_name", b["name"])
        if b.get("run_type") == "iteration" and name in rows:
            continue
        rows[name] = b

skip = {"name", "run_name", "run_type", "repetitions", "repetition_index", "threads",
        "iterations", "real_time", "cpu_time", "time_unit", "family_index",
        "per_family_instance_index", "aggregate_name", "aggregate_unit", "label"}


def short(v):
    if 0 < abs(v) < 1e-6:
        return "%.3g ns" % (v * 1e9)
    if abs(v) >= 1e6:
        return "%.3g M" % (v / 1e6)
    if abs(v) >= 1000:
        return "%.0f" % v
    if abs(v) >= 10:
        return "%.1f" % v
    return "%.3g" % v


print("%-44s %12s %12s  %s" % ("benchmark (median)", "real", "cpu", "counters"))
for name, b in rows.items():
    unit = b.get("time_unit", "ns")
    counters = ", ".join("%s=%s" % (k, short(v)) for k, v in b.items()
                         if k not in skip and isinstance(v, (int, float)))
    print("%-44s %9.3f %-2s %9.3f %-2s  %s" % (name[:44], b["real_time"], unit, b["cpu_time"], unit,
                                             counters))


def find(prefix):
    for name, b in rows.items():
        if name.startswith(prefix):
            return b
    return None


print()
for label, prefix, target in (("worst-case frame", "BM_Frame_WorstCase/", 2.0),
                              ("demo frame", "BM_Frame_Demo", 3.0)):
    b = find(prefix)
    if b and "ratio" in b:
        print("%-17s %.3f ms (%.0f fps), floor %.3f ms: %.2fx the floor (target %.0fx); "
              "SDL_Flip %.3f ms of it, %.2fx without" %
              (label, b["frame_ms"], b["fps"], b["floor_ms"], b["ratio"], target,
               b.get("flip_ms", 0), b.get("ratio_without_flip", 0)))
        print("%-17s %.3g allocations per frame, %.3g %% of frames allocate" %
              ("", b.get("allocs_per_frame", 0), 100 * b.get("allocating_frames", 0)))
bare, engine, empty = find("BM_Call_BareCFunction"), find("BM_Call_getLayerX"), find("BM_Call_EmptyLoop")
if bare and engine:
    ratio = engine["cpu_time"] / bare["cpu_time"]
    line = "script call       getLayerX %.1f ns, bare C function %.1f ns: %.2fx (target 1.5x)" % (
        engine["ns_per_call"] * 1e9, bare["ns_per_call"] * 1e9, ratio)
    if empty:
        net = (engine["cpu_time"] - empty["cpu_time"]) / (bare["cpu_time"] - empty["cpu_time"])
        line += "; without the loop's own cost %.2fx" % net
    print(line)
watched, unwatched = find("BM_Loop_VMBoundWatched"), find("BM_Loop_VMBoundUnwatched")
if watched and unwatched:
    print("quit check        VM-bound loop %.1f ms watched, %.1f ms unwatched: %+.1f %%" % (
        watched["cpu_time"], unwatched["cpu_time"],
        100 * (watched["cpu_time"] / unwatched["cpu_time"] - 1)))
t = find("BM_Translate_10000Lines")
if t:
    print("translator        %.0f lines in %.1f ms" % (t.get("lines", 0), t["cpu_time"]))
s = find("BM_Startup_LargeGame")
if s:
    print("start-up          1,000 images, 20 maps 256 x 256, 100 templates: %.0f ms" % s["cpu_time"])
