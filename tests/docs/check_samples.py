#!/usr/bin/env python3
"""Compiles every C++ sample of the documentation (```cpp blocks of the given
Markdown files) against the public headers, so that a guide cannot drift from
the API it describes.

A sample with a main() is compiled as it stands. Any other sample is a piece
of a function: it is compiled as the body of one, inside a block of its own,
with the names the guides leave to the reader (doc, pdf, canvas, a text...)
as parameters. Exit status 1 names each sample that does not compile."""
import re
import subprocess
import sys
import tempfile

FREE_NAMES = """Vellix::TVellix& doc, Vellix::TVellix& pdf, Vellix::TPdfCanvas& canvas, Vellix::TPdfCanvas& c,
  int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t x, int32_t y,
  std::string text, std::string paragraph1, std::string paragraph2, Vellix::TRect dest"""


def samples(path):
    text = open(path, encoding="utf-8").read()
    for match in re.finditer(r"```cpp\n(.*?)```", text, re.S):
        line = text.count("\n", 0, match.start()) + 1
        yield line, match.group(1)


def translation_unit(code):
    lines = code.split("\n")
    head = [l for l in lines if l.startswith("#include") or l.startswith("using namespace")]
    body = [l for l in lines if l not in head]
    if "int main(" in code:
        return code
    return ("#include <Vellix.h>\n" + "\n".join(head) + "\nusing namespace Vellix;\n"
            "[[maybe_unused]] static void Sample(" + FREE_NAMES + ") {\n  {\n" + "\n".join(body) + "\n  }\n}\n")


def main():
    args = sys.argv[1:]
    cxx, include, files = args[0], args[1], args[2:]
    failures, count = [], 0
    for path in files:
        for line, code in samples(path):
            count += 1
            with tempfile.NamedTemporaryFile("w", suffix=".cpp") as unit:
                unit.write(translation_unit(code))
                unit.flush()
                run = subprocess.run([cxx, "-std=c++20", "-fsyntax-only", "-Wall", "-Wno-unused", "-I", include, unit.name],
                                     capture_output=True, text=True, timeout=120)
            if run.returncode != 0:
                failures.append(f"{path}:{line}:\n{run.stderr}")
    for failure in failures:
        print(failure)
    print(f"{count - len(failures)} passed, {len(failures)} failed")
    return 1 if failures or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
