#!/usr/bin/python3
"""Every option and key a program's --help prints is in its man page and the
README, every option or key the man page defines (a .TP term) is printed by
--help, and every exit status --help names has its entry in the man page.

usage: options_documented.py SOURCE_DIR NAME=COMMAND ...

NAME is the man page's name (man/NAME.1); COMMAND the program to run, words
split on spaces (for example "python3 /path/scripts/picture"). The options
are found in the texts themselves, so one added to a program later is
checked without a change here.
"""
import re
import subprocess
import sys

LONG = re.compile(r"(?<![\w-])(--[A-Za-z][A-Za-z0-9-]*)")
# Short options where an option list or a usage shows them: "-h, --help", "[-h]", "-h | --help".
SHORT = re.compile(r"(?<![\w-])(-[A-Za-z])(?=,|\]|\s*\|)", re.M)
KEY = re.compile(r"(?<![\w.-])([a-z][a-z0-9_]*)=(?!value\b)")


def deroff(text):
    """Man page source as plain text: escapes and font changes removed."""
    text = re.sub(r"\\f(\(..|\[[^]]*\]|.)", "", text)
    text = text.replace("\\-", "-").replace("\\e", "\\").replace("\\ ", " ").replace("\\&", "")
    text = re.sub(r'^\.(B|I|BR|RB|BI|IB|IR|RI)\s+', "", text, flags=re.M)
    return re.sub(r'"', "", text)


def terms(man):
    """The tag lines of the man page's .TP entries, de-roffed."""
    lines = man.splitlines()
    return "\n".join(deroff(lines[i + 1]) for i, line in enumerate(lines[:-1]) if line.startswith(".TP"))


def section(man, name):
    """The text of one .SH section of the man page source."""
    m = re.search(r'^\.SH\s+"?' + re.escape(name) + r'"?\s*$(.*?)(?=^\.SH|\Z)', man, re.M | re.S)
    return m.group(1) if m else ""


def named(text):
    """Options and keys named in a text."""
    return set(LONG.findall(text)) | set(SHORT.findall(text)), set(KEY.findall(text))


def present(text, word):
    if word.endswith("="):
        return re.search(r"(?<![\w.-])" + re.escape(word), text) is not None
    return re.search(r"(?<![\w-])" + re.escape(word) + r"(?![\w-])", text) is not None


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    source = argv[1]
    with open(source + "/README.md", encoding="utf-8") as f:
        readme = f.read()
    faults = []
    for arg in argv[2:]:
        name, command = arg.split("=", 1)
        run = subprocess.run(command.split() + ["--help"], capture_output=True, text=True)
        if run.returncode != 0:
            faults.append("%s --help ended with status %d: %s" % (name, run.returncode, run.stderr.strip()))
            continue
        helptext = run.stdout
        with open("%s/man/%s.1" % (source, name), encoding="utf-8") as f:
            man_source = f.read()
        man = deroff(man_source)
        options, keys = named(helptext)
        if "--help" not in options:
            faults.append("%s --help names no --help: is this its help text?" % name)
        for word in sorted(options) + sorted(k + "=" for k in keys):
            if not present(man, word):
                faults.append("%s: %s is printed by --help but missing from man/%s.1" % (name, word, name))
            if not present(readme, word):
                faults.append("%s: %s is printed by --help but missing from README.md" % (name, word))
        man_options, man_keys = named(terms(man_source))
        for word in sorted(man_options - options) + sorted(k + "=" for k in man_keys - keys):
            faults.append("%s: man/%s.1 defines %s, which --help does not print" % (name, name, word))
        status = re.search(r"Exit status:(.*?)(?:\n\n|\Z)", helptext, re.S)
        if status:
            listed = deroff(section(man_source, "EXIT STATUS"))
            for code in re.findall(r"\b(\d+)\b", status.group(1)):
                if not present(listed, code):
                    faults.append("%s: exit status %s is in --help but not in the EXIT STATUS of man/%s.1" % (name, code, name))
    for line in faults:
        print(line)
    print("%d programs checked, %d faults" % (len(argv) - 2, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
