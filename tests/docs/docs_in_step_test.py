#!/usr/bin/env python3
"""Keeps the written documentation in step with the programs.

  docs_in_step_test.py SOURCE_DIR BIN_DIR MAN_DIR

- Every command and option `markograph-cli --help` and each command's --help
  print is in the command-line reference (each option in its command's
  section) and in the manual page; neither names an option the programs do
  not know. The same for `markograph-sim --help`, its reference page and its
  manual page.
- Every relative link of README.md and docs/*.md leads to a file that exists
  and, with a #fragment, to a heading of that page.

Prints every mismatch and exits 1 if there is any.
"""
import os
import re
import subprocess
import sys
from pathlib import Path

# An option as the help and the pages write it: --long-name, or -x alone.
OPTION = re.compile(r"(?<![\w-])(--[a-z][a-z0-9-]*[a-z0-9]|-[a-zA-Z])(?![\w-])")
problems = []


def fail(text):
    problems.append(text)


def options_in(text):
    return set(OPTION.findall(text))


def run_help(program, *args):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    result = subprocess.run([program, *args, "--help"], capture_output=True, text=True, env=env, timeout=60)
    if result.returncode != 0:
        fail(f"{' '.join([program, *args])} --help exited with {result.returncode}")
    return result.stdout


def block_terms(help_text, block):
    """The terms of a help block such as "Options:" ("  -o, --output <OUT>  text")."""
    terms = []
    inside = False
    for line in help_text.splitlines():
        if re.fullmatch(r"[A-Z][A-Za-z ]*:", line):
            inside = line == block + ":"
        elif inside and re.match(r"  \S", line):
            terms.append(re.split(r"\s{2,}", line.strip())[0])
    return terms


def help_options(help_text):
    found = set()
    for term in block_terms(help_text, "Options"):
        found |= options_in(re.sub(r"<[^>]*>", "", term))
    return found


def sections(text, pattern):
    """Maps each heading the pattern matches to the text up to the next heading of its level or above."""
    found = {}
    matches = list(pattern.finditer(text))
    for i, match in enumerate(matches):
        end = matches[i + 1].start() if i + 1 < len(matches) else len(text)
        found[match.group(1)] = text[match.end():end]
    return found


def check_section(where, text, wanted, allowed):
    named = options_in(text)
    for option in sorted(wanted - named):
        fail(f"{where} does not name {option}, which --help lists")
    for option in sorted(named - allowed):
        fail(f"{where} names {option}, which --help does not know")


def read_man(path):
    text = Path(path).read_text(encoding="utf-8")
    text = re.sub(r"\\f[BIRP]", "", text)
    return text.replace("\\-", "-").replace("\\&", "").replace("\\e", "\\")


def check_cli(source, bin_dir, man_dir):
    program = str(Path(bin_dir) / "markograph-cli")
    top = run_help(program)
    commands = [term.split()[0] for term in block_terms(top, "Commands")]
    if not commands:
        fail("markograph-cli --help lists no commands")
    own = {command: help_options(run_help(program, command)) for command in commands}
    known = options_in(top).union(*own.values())

    reference_path = Path(source) / "docs" / "command-line.md"
    reference = reference_path.read_text(encoding="utf-8")
    per_command = sections(reference, re.compile(r"^### `markograph-cli ([a-z-]+)`[^\n]*$|^##? .*$", re.M))
    per_command = {name: body for name, body in per_command.items() if name}
    for name in sorted(set(per_command) - set(commands)):
        fail(f"{reference_path.name} has a section for '{name}', which markograph-cli --help does not list")
    outside = reference
    for name in commands:
        body = per_command.get(name)
        if body is None:
            fail(f"{reference_path.name} has no section '### `markograph-cli {name}`'")
            continue
        # "-h, --help" is said once for every command.
        check_section(f"{reference_path.name}, section {name},", body, own[name] - {"-h", "--help"}, own[name])
        outside = outside.replace(body, "")
    check_section(reference_path.name, outside, set(), known)

    man = read_man(Path(man_dir) / "markograph-cli.1")
    man_sections = sections(man, re.compile(r'^\.SS "markograph-cli ([a-z-]+)"$|^\.S[HS] .*$', re.M))
    for name in commands:
        body = man_sections.get(name)
        if body is None:
            fail(f"markograph-cli.1 has no section for {name}")
        else:
            check_section(f"markograph-cli.1, section {name},", body, own[name], known)
    check_section("markograph-cli.1", man, set(), known)
    return known


def check_sim(source, bin_dir, man_dir, cli_known):
    top = run_help(str(Path(bin_dir) / "markograph-sim"))
    own = help_options(top)
    if "--kind" not in own:
        fail("markograph-sim --help lists no --kind")
    page_path = Path(source) / "docs" / "virtual-printer.md"
    page = page_path.read_text(encoding="utf-8")
    options_section = sections(page, re.compile(r"^## (Options)$|^##? .*$", re.M)).get("Options")
    if options_section is None:
        fail(f"{page_path.name} has no '## Options' section")
    else:
        check_section(f"{page_path.name}, section Options,", options_section, own, own)
    # The rest of the page, and the printer's own notes, may name what a host passes.
    check_section(page_path.name, page, set(), own | cli_known)
    sim_notes = Path(source) / "src" / "sim" / "README.md"
    check_section("src/sim/README.md", sim_notes.read_text(encoding="utf-8"), set(), own | cli_known)
    man = read_man(Path(man_dir) / "markograph-sim.1")
    check_section("markograph-sim.1", man, own, own | cli_known)


def slug(heading):
    text = re.sub(r"[^\w\- ]", "", heading.strip().lower())
    return text.replace(" ", "-")


def check_links(source):
    pages = [Path(source) / "README.md"] + sorted((Path(source) / "docs").glob("*.md"))
    anchors = {}
    for page in pages:
        text = re.sub(r"^```.*?^```", "", page.read_text(encoding="utf-8"), flags=re.M | re.S)
        anchors[page.resolve()] = {slug(h) for h in re.findall(r"^#+ (.*)$", text, re.M)}
    for page in pages:
        text = re.sub(r"^```.*?^```", "", page.read_text(encoding="utf-8"), flags=re.M | re.S)
        for target in re.findall(r"\]\(([^)\s]+)\)", text):
            if re.match(r"[a-z]+:", target):
                continue
            path, _, fragment = target.partition("#")
            file = (page.parent / path).resolve() if path else page.resolve()
            where = f"{page.relative_to(source)}: link {target}"
            if not file.exists():
                fail(f"{where} leads nowhere")
            elif fragment and file.suffix == ".md":
                if file not in anchors:
                    anchors[file] = {slug(h) for h in re.findall(r"^#+ (.*)$", file.read_text(encoding="utf-8"), re.M)}
                if fragment not in anchors[file]:
                    fail(f"{where}: no heading #{fragment} there")


def main():
    source, bin_dir, man_dir = sys.argv[1:4]
    known = check_cli(source, bin_dir, man_dir)
    check_sim(source, bin_dir, man_dir, known)
    check_links(source)
    for problem in problems:
        print(problem)
    print(f"{len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
