#!/usr/bin/env python3
"""Mutation run over the utility: how many small faults planted in its sources the tests catch.

    tools/mutation.py [--count N] [--seed S] [--build DIR]

Each mutant changes one spot of one utility source (a comparison, a logical operator, a
constant, a deleted call), rebuilds the utility's test programs in DIR (build/release unless
given) and runs them; a mutant that makes a test fail is killed, one that no longer builds is
left out of the score. The same seed and sources give the same mutants, so two runs over
different tests compare. The sources are put back after each mutant, also when the run is
interrupted.
"""
import argparse
import pathlib
import random
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
TESTS = ["tests/app/app_tests", "tests/screen/screen_tests", "tests/services/services_tests",
         "tests/services/services_thread_tests", "tests/framework/framework_tests"]
SWAPS = [(r"==", "!="), (r"!=", "=="), (r"&&", "||"), (r"\|\|", "&&"), (r"<=", "<"), (r">=", ">"),
         (r"(?<![<>-])<(?![<=])(?=\s)", "<="), (r"(?<![<>-])>(?![>=])(?=\s)", ">="),
         (r"\btrue\b", "false"), (r"\bfalse\b", "true"), (r"\bTRUE\b", "FALSE"), (r"\bFALSE\b", "TRUE"),
         (r"\+ 1\b", "- 1"), (r"- 1\b", "+ 1")]
CALL_LINE = re.compile(r"^\s+[A-Za-z_][\w:.>-]*\(.*\);\s*$")


def sites():
    found = []
    for path in sorted((ROOT / "utility").rglob("*.cpp")):
        lines = path.read_text().splitlines(keepends=True)
        for number, line in enumerate(lines):
            code = line.split("//")[0]
            if code.lstrip().startswith("#"):
                continue
            for pattern, replacement in SWAPS:
                for match in re.finditer(pattern, code):
                    mutated = line[:match.start()] + replacement + line[match.end():]
                    found.append((path, number, mutated, f"{pattern!r} -> {replacement!r}"))
            if CALL_LINE.match(code) and "return" not in code and code.count("(") == code.count(")"):
                found.append((path, number, "\n", "call deleted"))
    return found


def run(command, cwd):
    return subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--count", type=int, default=40)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--build", default=str(ROOT / "build" / "release"))
    options = parser.parse_args()
    build = pathlib.Path(options.build)
    targets = [pathlib.Path(t).name for t in TESTS]
    if run(["cmake", "--build", build, "--target", *targets], ROOT) != 0:
        sys.exit("mutation: the tests do not build unmutated")
    if any(run([build / t], ROOT) != 0 for t in TESTS):
        sys.exit("mutation: the tests fail unmutated")
    chosen = random.Random(options.seed).sample(sites(), options.count)
    killed = unbuilt = 0
    for index, (path, number, mutated, what) in enumerate(chosen, 1):
        original = path.read_text()
        lines = original.splitlines(keepends=True)
        lines[number] = mutated
        try:
            path.write_text("".join(lines))
            built = run(["cmake", "--build", build, "--target", *targets], ROOT) == 0
            caught = built and any(run([build / t], ROOT) != 0 for t in TESTS)
        finally:
            path.write_text(original)
        killed += caught
        unbuilt += not built
        verdict = "unbuilt " if not built else "killed  " if caught else "SURVIVED"
        print(f"[{index}/{options.count}] {verdict} {path.relative_to(ROOT)}:{number + 1} {what}", flush=True)
    run(["cmake", "--build", build, "--target", *targets], ROOT)
    scored = options.count - unbuilt
    print(f"mutation: {killed} of {scored} killed ({100 * killed // max(scored, 1)} %), {unbuilt} did not build")


if __name__ == "__main__":
    main()
