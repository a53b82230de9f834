#!/usr/bin/env python3
"""A mutation score for the unit tests.

Makes one small textual fault at a time in a copy of src/ (a comparison
turned round or widened, a condition negated, a "+ 1" dropped, a truth
value flipped), rebuilds that copy incrementally, runs the unit tests that
link the changed library, and counts the faults that no test notices. A
mutant that does not compile is left out of the score; one whose tests run
past four minutes (a hang) counts as noticed.

    tools/mutation.py [--seed N] [--mutants N] [--sample FILE] [--save FILE]

The sample is drawn from every site of every src/**/*.cpp with the seed, so
the same seed on the same code gives the same mutants. --save writes the
sample (file, line text, change) so that --sample can replay exactly those
mutants on later code: a site whose line is gone is reported and skipped.
"""
import argparse
import collections
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
WORK = os.path.join(ROOT, "build-mutation")
TREE = os.path.join(WORK, "tree")
BUILD = os.path.join(WORK, "build")

# (name, pattern, replacement): each match on a line is one site.
OPERATORS = [
    ("< to <=", r" < ", " <= "),
    ("<= to <", r" <= ", " < "),
    ("> to >=", r" > ", " >= "),
    (">= to >", r" >= ", " > "),
    ("== to !=", r" == ", " != "),
    ("!= to ==", r" != ", " == "),
    ("&& to ||", r" && ", " || "),
    ("|| to &&", r" \|\| ", " && "),
    ("drop + 1", r" \+ 1\b", ""),
    ("drop - 1", r" - 1\b", ""),
    ("true to false", r"\breturn true;", "return false;"),
    ("false to true", r"\breturn false;", "return true;"),
    ("negate if", r"\bif \((?!constexpr)", "if (!"),
]

# The unit tests that link each library (the end-to-end tests are left out), and
# for the calendar reader the differential test that runs it through pingalo-ctl.
TESTS = {
    "core": "test_store|test_scheduler|test_calendar|test_ctl|test_alerts|test_password|"
            "test_shell|test_authoring|test_list",
    "calendar": "test_calendar|test_ctl|calendar_differential",
    "ctl": "test_ctl",
    "sync": "test_sync|test_ctl",
    "gui": "test_alerts|test_password|test_shell|test_authoring|test_list|test_gui_platform",
    "sound": "test_alerts",
    "main.cpp": "",  # the program's entry point: only the end-to-end tests reach it
}


UNIT_TESTS = set()  # the unit tests the build has, found when it is prepared

# The model test tries 100 random lives per mutant rather than 300: a fault it
# notices at all shows within the first few.
MUTANT_ENV = dict(os.environ, PINGALO_MODEL_RUNS="100")


def code_part(line):
    """The line with its string literals and trailing comment blanked out."""
    out, quote, i = [], None, 0
    while i < len(line):
        c = line[i]
        if quote:
            if c == "\\":
                out.append("  ")
                i += 2
                continue
            out.append(" " if c != quote else c)
            if c == quote:
                quote = None
        elif c in "\"'":
            quote = c
            out.append(c)
        elif line.startswith("//", i):
            break
        else:
            out.append(c)
        i += 1
    return "".join(out).ljust(len(line))


def sites(path):
    rel = os.path.relpath(path, ROOT)
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    in_comment = False
    for number, line in enumerate(lines, 1):
        stripped = line.strip()
        if in_comment:
            in_comment = "*/" not in stripped
            continue
        if stripped.startswith("/*"):
            in_comment = "*/" not in stripped
            continue
        if stripped.startswith(("//", "#", "*")):
            continue
        code = code_part(line)
        for name, pattern, _ in OPERATORS:
            for k, m in enumerate(re.finditer(pattern, code)):
                if name != "negate if" or closing(code, m.end()) is not None:
                    yield (rel, number, stripped, name, k)


def closing(code, start):
    """Just past the ")" that closes a "(" opened before `start`, on the same line."""
    depth, end = 1, start
    while end < len(code) and depth:
        depth += {"(": 1, ")": -1}.get(code[end], 0)
        end += 1
    return None if depth else end


def all_sites():
    found = []
    for folder, _, files in sorted(os.walk(os.path.join(ROOT, "src"))):
        for f in sorted(files):
            if f.endswith(".cpp"):
                found.extend(sites(os.path.join(folder, f)))
    return found


def library(rel):
    return rel.split("/")[1]


def apply(site, text):
    """The file's text with the mutant's change, or None when its line is gone."""
    rel, number, stripped, name, k = site
    lines = text.split("\n")
    # The line where it was, else the nearest one that reads the same.
    candidates = sorted((i for i, l in enumerate(lines) if l.strip() == stripped),
                        key=lambda i: abs(i - (number - 1)))[:1]
    if not candidates:
        return None
    i = candidates[0]
    pattern, replacement = next((p, r) for n, p, r in OPERATORS if n == name)
    matches = list(re.finditer(pattern, code_part(lines[i])))
    if k >= len(matches):
        return None
    m = matches[k]
    line = lines[i]
    if name == "negate if":
        # if (!(condition)): close the parenthesis that the "if (" opened.
        end = closing(code_part(line), m.end())
        if end is None:
            return None
        lines[i] = line[:m.start()] + "if (!(" + line[m.end():end - 1] + "))" + line[end:]
    else:
        lines[i] = line[:m.start()] + replacement + line[m.end():]
    return "\n".join(lines)


def run(cmd, timeout=None, **kw):
    """Runs `cmd` in a process group of its own, which goes whole when it runs past `timeout`."""
    with subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                          start_new_session=True, **kw) as process:
        try:
            out, _ = process.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.communicate()
            raise
    return subprocess.CompletedProcess(cmd, process.returncode, out)


def mirror(source, target):
    """Makes `target` a copy of `source`, writing only the files that differ (with
    fresh times, so that an object built from an earlier run's mutant is rebuilt,
    and the rest of an earlier build is kept)."""
    if os.path.isdir(source):
        os.makedirs(target, exist_ok=True)
        names = set(os.listdir(source))
        for gone in set(os.listdir(target)) - names:
            path = os.path.join(target, gone)
            shutil.rmtree(path) if os.path.isdir(path) else os.remove(path)
        for name in names:
            mirror(os.path.join(source, name), os.path.join(target, name))
        return
    with open(source, "rb") as f:
        content = f.read()
    if os.path.isfile(target):
        with open(target, "rb") as f:
            if f.read() == content:
                return
    with open(target, "wb") as f:
        f.write(content)
    shutil.copymode(source, target)


def prepare():
    os.makedirs(TREE, exist_ok=True)
    for part in ["CMakeLists.txt", "CMakePresets.json", "README.md", "cmake", "src", "tests",
                 "benchmarks", "resources"]:
        mirror(os.path.join(ROOT, part), os.path.join(TREE, part))
    configure = ["cmake", "-S", TREE, "-B", BUILD, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
                 "-DCMAKE_CXX_FLAGS=-O0 -g0"]
    result = run(configure)
    if result.returncode:
        sys.exit("configuring failed:\n" + result.stdout[-3000:])
    result = run(["cmake", "--build", BUILD, "-j", str(os.cpu_count())])
    if result.returncode:
        sys.exit("the unmutated build failed:\n" + result.stdout[-3000:])
    result = run(["ctest", "--test-dir", BUILD, "-E", "e2e", "-j", "2"])
    if result.returncode:
        sys.exit("the unit tests fail without a mutant:\n" + result.stdout[-3000:])
    listed = run(["ctest", "--test-dir", BUILD, "-N"]).stdout
    UNIT_TESTS.update(t for t in re.findall(r"Test +#\d+: (\S+)", listed) if not t.startswith("e2e"))


def verdict(site):
    rel = site[0]
    path = os.path.join(TREE, rel)
    with open(path, encoding="utf-8") as f:
        original = f.read()
    mutated = apply(site, original)
    if mutated is None:
        return "gone"
    try:
        with open(path, "w", encoding="utf-8") as f:
            f.write(mutated)
        names = [t for t in TESTS[library(rel)].split("|") if t in UNIT_TESTS]
        if not names:
            return "survived"  # no unit test can notice it
        tests = "|".join(names)
        targets = [t for t in names if t.startswith("test_")]
        if "calendar_differential" in names:
            targets.append("pingalo-ctl")
        build = run(["cmake", "--build", BUILD, "-j", str(os.cpu_count()), "--target"] + targets)
        if build.returncode:
            return "stillborn"
        try:
            tested = run(["ctest", "--test-dir", BUILD, "-R", "^(" + tests + ")$",
                          "--stop-on-failure", "-j", "2"], timeout=240, env=MUTANT_ENV)
        except subprocess.TimeoutExpired:
            return "killed"
        return "survived" if tested.returncode == 0 else "killed"
    finally:
        with open(path, "w", encoding="utf-8") as f:
            f.write(original)
        os.utime(path)


def folder_of(rel):
    parts = rel.split("/")
    return "/".join(parts[1:3]) if parts[1] in ("core", "gui") else parts[1]


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seed", type=int, default=2026)
    parser.add_argument("--mutants", type=int, default=100)
    parser.add_argument("--sample", help="replay the mutants saved in this file")
    parser.add_argument("--save", help="save the sample drawn to this file")
    args = parser.parse_args()

    if args.sample:
        with open(args.sample, encoding="utf-8") as f:
            sample = [tuple(int(v) if i in (1, 4) else v
                            for i, v in enumerate(line.rstrip("\n").split("\t")))
                      for line in f if line.strip() and not line.startswith("#")]
    else:
        candidates = all_sites()
        sample = random.Random(args.seed).sample(candidates, min(args.mutants, len(candidates)))
        sample.sort()
        print(f"{len(candidates)} sites in src/; seed {args.seed}, {len(sample)} mutants")
    if args.save:
        with open(args.save, "w", encoding="utf-8") as f:
            f.write("# file\tline\tline text\tchange\tmatch on the line\n")
            for s in sample:
                f.write("\t".join(str(v) for v in s) + "\n")

    started = time.time()
    prepare()
    results = []
    for n, site in enumerate(sample, 1):
        v = verdict(site)
        results.append((site, v))
        print(f"[{n}/{len(sample)}] {v:9} {site[0]}:{site[1]}  {site[3]}", flush=True)

    per = collections.defaultdict(collections.Counter)
    for site, v in results:
        per[folder_of(site[0])][v] += 1
        per["all"][v] += 1
    print(f"\nmutation score (killed / killed + survived), {int(time.time() - started)} s:")
    for folder in sorted(per, key=lambda f: (f == "all", f)):
        c = per[folder]
        scored = c["killed"] + c["survived"]
        score = f"{100 * c['killed'] / scored:5.1f} %" if scored else "    -  "
        print(f"  {folder:18} {score}  ({c['killed']} of {scored};"
              f" {c['stillborn']} did not compile, {c['gone']} sites gone)")
    survivors = [s for s, v in results if v == "survived"]
    if survivors:
        print("\nsurvivors:")
        for rel, number, stripped, name, _ in survivors:
            print(f"  {rel}:{number}: {name}: {stripped}")


if __name__ == "__main__":
    main()
