#!/usr/bin/env python3
"""Plants one fault at a time in a scratch copy of the tree and tells whether the tests catch it.

Each fault of the list (tools/mutation_faults.txt) is put into a copy of the tree alone; the
tests that should catch it are built and run, then the file is put back. A fault is caught when
one of those tests fails (or is still running at its time-out), survives when they all pass, and
is listed apart when the tree no longer compiles with it. CI does not run this: a whole run takes
about half an hour on two cores.

Usage: mutation_check.py [--only TEXT] [--list] [--scratch DIR] [--threshold PERCENT]
                         [--timeout SECONDS] [--working-tree] [--faults FILE]

    nice tools/mutation_check.py                 every fault
    tools/mutation_check.py --only safe_file     the faults whose line holds "safe_file"
    tools/mutation_check.py --list               the faults, numbered, without running any

The scratch folder (default build-mutation/ at the top of the tree, which git ignores) holds
tree/, a copy of HEAD (with --working-tree, of the files as they are now, uncommitted changes
and new files included), and tree/build/, configured once (Ninja, RelWithDebInfo) and rebuilt
incrementally. Files of the working tree are never touched. The exit status is 0 when the caught
share reaches the threshold (default 90 %), 1 when it does not, 2 when the check cannot run (a
fault that no longer applies, a test that fails with no fault in place).

Adding a fault: one line in the list,

    FILE @@ TESTS @@ ORIGINAL @@ FAULTY [@@ NOTE]

FILE is relative to the top of the tree. TESTS is the ctest -R expression of the tests that
should catch the fault, or the name of a set given earlier by a line `tests NAME = EXPRESSION`.
ORIGINAL must occur exactly once in FILE; FAULTY replaces it (";" drops a statement). Spaces
around the fields do not count. A NOTE starting with "equivalent:" marks a change that cannot
alter what the program does and says why: when it survives, it does not count against the
share. Lines starting with # are comments. Try a new fault with --only before committing it.
"""

import argparse
import io
import os
import re
import signal
import subprocess
import sys
import tarfile
import time
from dataclasses import dataclass
from pathlib import Path

REPOSITORY = Path(__file__).resolve().parents[1]
SEPARATOR = "@@"
TEST_SET = re.compile(r"^tests\s+(\w+)\s*=\s*(\S+)\s*$")
LISTED_TEST = re.compile(r"^\s*Test\s+#\d+:\s+(\S+)\s*$")


@dataclass
class Fault:
    number: int
    line: int  # in the fault list
    file: str
    tests: str  # the ctest -R expression
    suite: str  # as the line names it: the expression or the name of a set
    original: str
    faulty: str
    note: str
    text: str  # the line as written

    @property
    def equivalent(self):
        return self.note.startswith("equivalent:")

    def where(self, source):
        """FILE:LINE of the original text in `source` (the file's text)."""
        line = source.count("\n", 0, source.find(self.original)) + 1
        return f"{self.file}:{line}"

    def change(self):
        return f"{self.original}  ->  {self.faulty}"


@dataclass
class Outcome:
    kind: str  # "caught", "survived", "compile"
    test: str = ""
    timed_out: bool = False
    seconds: float = 0.0


def read_faults(path):
    """The faults of the list at `path`; raises ValueError for a line that is not one."""
    faults, sets = [], {}
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        named = TEST_SET.match(line)
        if named:
            sets[named.group(1)] = named.group(2)
            continue
        fields = [field.strip() for field in line.split(SEPARATOR)]
        if len(fields) not in (4, 5) or not all(fields[:3]):
            raise ValueError(f"{path}:{number}: expected FILE @@ TESTS @@ ORIGINAL @@ FAULTY [@@ NOTE]")
        file, tests, original, faulty = fields[:4]
        faults.append(Fault(len(faults) + 1, number, file, sets.get(tests, tests), tests, original, faulty,
                            fields[4] if len(fields) == 5 else "", line))
    return faults


def run(command):
    """Runs `command`, returning its standard output and error together as text."""
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            errors="replace")
    if result.returncode != 0:
        raise RuntimeError(f"{' '.join(map(str, command))} failed:\n{result.stdout}")
    return result.stdout


def source_files(revision):
    """Every file of the commit `revision` (None: of the working tree, uncommitted changes and new
    files included): relative path -> (bytes, executable)."""
    files = {}
    if revision is None:
        listed = subprocess.run(["git", "-C", REPOSITORY, "ls-files", "-z", "--cached", "--others",
                                 "--exclude-standard"], capture_output=True, check=True).stdout
        for name in listed.decode().split("\0"):
            path = REPOSITORY / name
            if name and path.is_file() and not path.is_symlink():
                files[name] = (path.read_bytes(), os.access(path, os.X_OK))
        return files
    archive = subprocess.run(["git", "-C", REPOSITORY, "archive", "--format=tar", revision],
                             capture_output=True, check=True).stdout
    with tarfile.open(fileobj=io.BytesIO(archive)) as tar:
        for member in tar:
            if member.isfile():
                files[member.name] = (tar.extractfile(member).read(), bool(member.mode & 0o111))
    return files


def read_source(name, revision):
    """The text of the file `name` at `revision` (None: in the working tree), or None."""
    if revision is None:
        path = REPOSITORY / name
        return path.read_bytes().decode("utf-8") if path.is_file() else None
    shown = subprocess.run(["git", "-C", REPOSITORY, "show", f"{revision}:{name}"], capture_output=True)
    return shown.stdout.decode("utf-8") if shown.returncode == 0 else None


def stale(fault, source):
    """Why the fault cannot be put into `source`, or None."""
    if source is None:
        return f"{fault.file} does not exist"
    count = source.count(fault.original)
    return None if count == 1 else f"its original text occurs {count} times in {fault.file}"


def sync_tree(tree, files):
    """Makes `tree` hold exactly `files`, rewriting only what differs so that builds stay
    incremental; its build/ folder is left alone."""
    for name, (content, executable) in files.items():
        path = tree / name
        if not path.is_file() or path.read_bytes() != content:
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(content)
        path.chmod(0o755 if executable else 0o644)
    for folder, subfolders, names in os.walk(tree):
        if Path(folder) == tree:
            subfolders[:] = [sub for sub in subfolders if sub != "build"]
        for name in names:
            path = Path(folder) / name
            if path.relative_to(tree).as_posix() not in files:
                path.unlink()


def tests_matching(build_dir, expression):
    listing = run(["ctest", "--test-dir", build_dir, "-N", "-R", expression])
    return [m.group(1) for m in map(LISTED_TEST.match, listing.splitlines()) if m]


def targets_for(tree, test):
    """The build targets that running `test` needs: its own program, and the program under test
    when it runs that as a separate process."""
    if test.startswith("e2e_"):
        return ["brivamo", "opacity_watch"]
    if not test.startswith("tst_"):
        return []
    targets = [test]
    for source in tree.joinpath("tests").rglob(f"{test}.cpp"):
        text = source.read_text(encoding="utf-8", errors="replace")
        if "BRIVAMO_BINARY" in text or "common/command_support.h" in text:
            targets.append("brivamo")
    return targets


def build(build_dir, targets):
    """(built, output) of building the targets."""
    if not targets:
        return True, ""
    result = subprocess.run(["cmake", "--build", build_dir, "--target", *sorted(set(targets))],
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, errors="replace")
    return result.returncode == 0, result.stdout


def run_test(build_dir, test, limit):
    """(passed, timed_out, seconds, output) of one CTest test, killed with everything it started
    once `limit` seconds have passed."""
    started = time.monotonic()
    process = subprocess.Popen(["ctest", "--test-dir", build_dir, "-R", f"^{re.escape(test)}$",
                                "--output-on-failure"], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                               text=True, errors="replace", start_new_session=True)
    try:
        output, _ = process.communicate(timeout=limit)
        return process.returncode == 0, False, time.monotonic() - started, output
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        output, _ = process.communicate()
        return False, True, time.monotonic() - started, output


class Check:
    """The scratch tree, its build, and the tests of the chosen faults with their clean run times."""

    def __init__(self, scratch, timeout):
        self.tree = scratch / "tree"
        self.build_dir = self.tree / "build"
        self.logs = scratch / "logs"
        self.timeout = timeout
        self.tests = {}  # ctest -R expression -> test names
        self.targets = {}  # test name -> build targets
        self.clean_seconds = {}  # test name -> its run without a fault

    def prepare(self, files, faults):
        """Copies `files` into the tree, builds the faults' tests and runs them without a fault.
        Returns why the check cannot go on, or None."""
        self.tree.mkdir(parents=True, exist_ok=True)
        self.logs.mkdir(exist_ok=True)
        sync_tree(self.tree, files)
        if not (self.build_dir / "build.ninja").is_file():
            print("Configuring", flush=True)
            run(["cmake", "-S", self.tree, "-B", self.build_dir, "-G", "Ninja",
                 "-DCMAKE_BUILD_TYPE=RelWithDebInfo"])
        for fault in faults:
            if fault.tests not in self.tests:
                self.tests[fault.tests] = tests_matching(self.build_dir, fault.tests)
                if not self.tests[fault.tests]:
                    return f"line {fault.line}: no test matches {fault.tests}"
        every_test = sorted({test for names in self.tests.values() for test in names})
        self.targets = {test: targets_for(self.tree, test) for test in every_test}
        print(f"Building and running {len(every_test)} tests without any fault", flush=True)
        built, output = build(self.build_dir, [t for test in every_test for t in self.targets[test]])
        if not built:
            return output + "\nThe tree does not build without any fault."
        failing = []
        for test in every_test:
            passed, _, self.clean_seconds[test], output = run_test(self.build_dir, test, self.timeout or 600)
            if not passed:
                failing.append(test)
                print(output, file=sys.stderr)
        return f"Without any fault these tests fail already: {', '.join(failing)}" if failing else None

    def try_fault(self, fault):
        """Puts the fault in, builds and runs its tests (the quickest first, up to the first that
        fails), and puts the file back."""
        path = self.tree / fault.file
        # Bytes, so that line endings come back exactly as they were.
        original = path.read_bytes()
        path.write_bytes(original.decode("utf-8").replace(fault.original, fault.faulty, 1).encode("utf-8"))
        log = self.logs / f"fault-{fault.number}.log"
        try:
            names = sorted(self.tests[fault.tests], key=self.clean_seconds.get)
            built, output = build(self.build_dir, [t for test in names for t in self.targets[test]])
            if not built:
                log.write_text(output, encoding="utf-8")
                return Outcome("compile")
            for test in names:
                limit = self.timeout or max(60.0, 5 * self.clean_seconds[test])
                passed, timed_out, _, output = run_test(self.build_dir, test, limit)
                if not passed:
                    log.write_text(output, encoding="utf-8")
                    return Outcome("caught", test, timed_out)
            return Outcome("survived")
        finally:
            path.write_bytes(original)


def verdict(fault, outcome):
    """What became of the fault, in a few words."""
    if outcome.kind == "caught":
        return f"caught by {outcome.test}" + (" (time-out)" if outcome.timed_out else "")
    if outcome.kind == "compile":
        return "did not compile"
    return "survived (equivalent)" if fault.equivalent else "SURVIVED"


def summary(faults, outcomes, where, threshold, seconds):
    """Prints the summary and returns the exit status."""
    def of(kind, equivalent=None):
        return [f for f in faults if outcomes[f.number].kind == kind
                and (equivalent is None or f.equivalent == equivalent)]

    caught, survived = of("caught"), of("survived", equivalent=False)
    equivalent, uncompiled = of("survived", equivalent=True), of("compile")
    timed_out = [f for f in caught if outcomes[f.number].timed_out]
    sections = [("Survived", survived, False), ("Survived, marked equivalent", equivalent, True),
                ("Did not compile (caught by the compiler, not counted)", uncompiled, False),
                ("Caught by a time-out (a test hung)", timed_out, False),
                ("Marked equivalent, yet caught: check the note", [f for f in caught if f.equivalent], True)]
    for title, chosen, with_note in sections:
        if chosen:
            print(f"\n{title}:")
            for fault in chosen:
                shown = fault.note and (with_note or not fault.equivalent)
                print(f"  {where[fault.number]}: {fault.change()}" + (f"\n      {fault.note}" if shown else ""))
    counted = len(caught) + len(survived)
    share = 100.0 * len(caught) / counted if counted else 100.0
    print(f"\n{len(faults)} fault{'s' if len(faults) != 1 else ''} in {seconds / 60:.0f} min: "
          f"{len(caught)} caught ({len(timed_out)} by a time-out), {len(survived)} survived, "
          f"{len(equivalent)} equivalent survived, {len(uncompiled)} did not compile")
    standing = "at or above" if share >= threshold else "below"
    print(f"Caught share: {len(caught)} of {counted} = {share:.1f} %, {standing} the threshold of "
          f"{threshold:g} %")
    return 0 if share >= threshold else 1


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n", 1)[0])
    parser.add_argument("--faults", type=Path,
                        default=Path(__file__).resolve().with_name("mutation_faults.txt"))
    parser.add_argument("--only", metavar="TEXT", help="only the faults whose line (or FILE:LINE) holds TEXT")
    parser.add_argument("--list", action="store_true", help="list the faults and stop")
    parser.add_argument("--scratch", type=Path, default=REPOSITORY / "build-mutation",
                        help="where the copy of the tree and its build go (default: %(default)s)")
    parser.add_argument("--threshold", type=float, default=90.0, metavar="PERCENT",
                        help="the caught share below which the exit status is 1 (default: %(default)s)")
    parser.add_argument("--timeout", type=float, metavar="SECONDS",
                        help="time-out of each test run (default: five times its run without a fault, "
                             "at least 60 s)")
    parser.add_argument("--working-tree", action="store_true",
                        help="copy the files as they are now, not as HEAD has them")
    options = parser.parse_args(argv[1:])

    try:
        faults = read_faults(options.faults)
    except ValueError as error:
        print(error, file=sys.stderr)
        return 2
    revision = None if options.working_tree else run(["git", "-C", REPOSITORY, "rev-parse", "HEAD"]).strip()
    sources = {name: read_source(name, revision) for name in {fault.file for fault in faults}}
    problems = {fault.number: stale(fault, sources[fault.file]) for fault in faults}
    where = {fault.number: f"{fault.file}:?" if problems[fault.number] else fault.where(sources[fault.file])
             for fault in faults}
    if options.only:
        faults = [f for f in faults if options.only in f.text or options.only in where[f.number]]
    problems = [f"{options.faults}:{f.line}: {problems[f.number]}" for f in faults if problems[f.number]]
    if options.list:
        for fault in faults:
            print(f"{fault.number:3}  {where[fault.number]}  [{fault.suite}]\n     {fault.change()}"
                  + (f"\n     ({fault.note})" if fault.note else ""))
        if problems:
            print("\n".join(problems), file=sys.stderr)
        return 2 if problems else 0
    if problems or not faults:
        print("\n".join(problems) + "\nMend these faults (or the --only choice) first."
              if problems else "No fault chosen.", file=sys.stderr)
        return 2

    started = time.monotonic()
    check = Check(options.scratch.resolve(), options.timeout)
    print(f"Copying {revision or 'the working tree'} into {check.tree}", flush=True)
    reason = check.prepare(source_files(revision), faults)
    if reason:
        print(reason, file=sys.stderr)
        return 2
    outcomes = {}
    width = len(str(len(faults)))
    for index, fault in enumerate(faults, 1):
        fault_started = time.monotonic()
        outcome = outcomes[fault.number] = check.try_fault(fault)
        outcome.seconds = time.monotonic() - fault_started
        print(f"[{index:{width}}/{len(faults)}] {verdict(fault, outcome):44} {where[fault.number]}: "
              f"{fault.change()}  [{outcome.seconds:.0f} s]", flush=True)
    return summary(faults, outcomes, where, options.threshold, time.monotonic() - started)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
