#!/usr/bin/env python3
"""Writes the benchmark workloads: a schema, a source of a given size and, for
the program-like workloads, a flex scanner that performs the same translation.

  workloads.py program|small SIZE_MB DIR   schema.txt, source.txt, scanner.l
  workloads.py example SIZE_MB DIR         the bundled example repeated
  workloads.py batch DIR                   40 program sources of 1 MB

Everything comes from a fixed seed, so a workload of a given size is the same
file on every machine.
"""

import os
import random
import sys

SEED = 20261207
MB = 1 << 20

# Declared separators, longest first: at one position the engine takes the
# first declared separator that matches, flex the longest one, and both agree
# when longer ones come first and every first character is itself declared.
SEPARATORS = [
    "<<=", ">>=", "===", "!==",
    "<<", ">>", "<=", ">=", "==", "!=", "&&", "||", "++", "->", "+=", "-=",
    "<", ">", "=", "!", "&", "|", "+", "-", "*", "/", "%",
    "(", ")", "{", "}", "[", "]", ";", ",", ":", '"',
]
SMALL_SEPARATORS = ["==", "<", "=", "+", "-", "*", "(", ")", "{", "}", ";", ",", '"']
# What a separator prints; the others print themselves between blanks.
SEPARATOR_TEXT = {
    "&&": " and ", "||": " or ", "==": " eq ", "!=": " ne ", "===": " is ", "!==": " isnt ",
    "(": "(", ")": ")", "[": "[", "]": "]", ";": ";", ",": ", ", '"': '"', "{": "{",
    "}": "}", "++": "++", "->": ".",
}
# Blocks: (opener, closer, state); the opener pushes the indent state "-s"
# and the block's state, the closer pops both.
BLOCKS = [("{", "}", "blk"), ("begin", "end", "beg"), ("if", "fi", "iff"), ("loop", "pool", "lop")]
SMALL_BLOCKS = [("{", "}", "blk"), ("begin", "end", "beg")]
# Brackets inside expressions: the opener pushes a state, the closer pops it.
BRACKETS = [("(", ")", "par"), ("[", "]", "idx")]
SMALL_BRACKETS = [("(", ")", "par")]


def words(rng, count, taken):
    """`count` distinct lower-case words of 3 to 8 letters, none in `taken`."""
    consonants, vowels = "bcdfghklmnprstvwz", "aeiou"
    found = []
    while len(found) < count:
        w = "".join(rng.choice(consonants) + rng.choice(vowels)
                    for _ in range(rng.randint(2, 4)))[: rng.randint(3, 8)]
        if w not in taken:
            taken.add(w)
            found.append(w)
    return found


class Language:
    """The vocabulary of one workload and the schema rows it declares."""

    def __init__(self, rng, keyword_count, separators, blocks, brackets, stated, posted):
        taken = {o for b in blocks for o in b[:2]}
        self.separators = separators
        self.blocks = [b for b in blocks]
        self.brackets = brackets
        self.keywords = words(rng, keyword_count, taken)
        self.identifiers = words(rng, 400, taken)
        # Keywords that print differently inside begin ... end.
        self.stated = self.keywords[:stated]
        # Keywords that queue post events: keyword -> names of the post events.
        self.post_names = [".p%d" % k for k in range(max(posted // 4, 1) if posted else 0)]
        self.posted = {kw: rng.sample(self.post_names, rng.randint(1, min(3, len(self.post_names))))
                       for kw in self.keywords[stated:stated + posted]}

    def keyword_text(self, kw):
        return kw.upper() + " "

    def separator_text(self, s):
        return SEPARATOR_TEXT.get(s, " " + s + " ")


# In the schema, a row without next states moves the nest by its level (its
# one implied next state is the no-state marker): 0 stays, -1 pops one state.
def schema_text(lang):
    out = ["\\\\print while processing=f", "\\\\schema bench", ""]
    closers = {c for _, c, _ in lang.blocks + lang.brackets}
    block_kw = {o for o, _, _ in lang.blocks} | {c for _, c, _ in lang.blocks}

    def word(name):
        return name if name in lang.separators else "_" + name

    def sep_word(s):
        return ".34" if s == '"' else s

    for opener, closer, state in lang.blocks:
        out.append("-s," + state)
        out.append("  %s `%s` -2 \\i" % (word(closer), closer.upper() if closer.isalpha() else closer))
        if state == "beg":
            for kw in lang.stated:
                out.append("  _%s `%s ` 0" % (kw, kw.capitalize()))
    for opener, closer, state in lang.brackets:
        out.append(state)
        out.append("  %s `%s` -1" % (closer, closer))
    out.append("-a")
    for s in lang.separators:
        if s in closers:
            continue
        if s in {o for o, _, _ in lang.blocks}:
            out.append("  %s `{` 1 -s blk \\i" % s)
        elif s in {o for o, _, _ in lang.brackets}:
            state = [b[2] for b in lang.brackets if b[0] == s][0]
            out.append("  %s `%s` 1 %s" % (s, s, state))
        elif s == ";":
            out.append("  ; `;` 0 \\i")
        elif s == '"':
            out.append('  .34 `"` 0 \\upto" +.=')
        else:
            out.append("  %s `%s` 0" % (sep_word(s), lang.separator_text(s)))
    for opener, closer, state in lang.blocks:
        if opener.isalpha():
            out.append("  _%s `%s` 1 -s %s \\i" % (opener, opener.upper(), state))
    for kw in lang.keywords:
        posts = " ".join("+" + p for p in lang.posted.get(kw, []))
        out.append(("  _%s `%s` 0 %s" % (kw, lang.keyword_text(kw), posts)).rstrip())
    for p in lang.post_names:
        out.append("  %s `<%s>` 0" % (p, p[1:]))
    out.append("  .id .t 0")
    out.append("  .eot `` 1 -e")
    out.append("\\\\end schema")
    out.append("\\\\end file")
    assert not (block_kw & set(lang.keywords))
    return "\n".join(out) + "\n"


def event_count(schema):
    """Event rows of a generated schema: its indented lines."""
    return sum(1 for line in schema.splitlines() if line.startswith("  "))


class SourceWriter:
    """Program-like text: statements, nested blocks, brackets, strings."""

    def __init__(self, rng, lang):
        self.rng, self.lang = rng, lang
        self.operators = [s for s in lang.separators
                          if s not in "(){}[];,\"" and s not in {b[0] for b in lang.blocks}]

    def identifier(self):
        w = self.rng.choice(self.lang.identifiers)
        r = self.rng.random()
        if r < 0.1:
            return w.upper()
        if r < 0.2:
            return w + str(self.rng.randint(0, 99))
        return w

    def operand(self, depth):
        r = self.rng.random()
        if r < 0.15:
            return str(self.rng.randint(0, 100000)) + ("E3" if self.rng.random() < 0.05 else "")
        if r < 0.22:
            return '"%s"' % " ".join(self.identifier() for _ in range(self.rng.randint(1, 4)))
        if r < 0.32 and depth < 3:
            opener, closer, _ = self.rng.choice(self.lang.brackets)
            return opener + self.expression(depth + 1) + closer
        return self.identifier()

    def expression(self, depth=0):
        parts = [self.operand(depth)]
        for _ in range(self.rng.randint(0, 3)):
            op = self.rng.choice(self.operators)
            blank = " " if self.rng.random() < 0.7 else ""
            parts += [blank + op + blank, self.operand(depth)]
        return "".join(parts)

    def keyword(self):
        kw = self.rng.choice(self.lang.keywords)
        return kw.capitalize() if self.rng.random() < 0.1 else kw

    def statement(self, indent):
        r = self.rng.random()
        pad = "  " * indent
        if r < 0.45:
            return "%s%s = %s;\n" % (pad, self.identifier(), self.expression())
        if r < 0.8:
            args = ", ".join(self.expression(1) for _ in range(self.rng.randint(0, 3)))
            return "%s%s %s(%s);\n" % (pad, self.keyword(), self.identifier(), args)
        return "%s%s %s %s;\n" % (pad, self.keyword(), self.keyword(), self.expression())

    def block(self, indent, size):
        opener, closer, _ = self.rng.choice(self.lang.blocks)
        pad = "  " * indent
        lines = [pad + opener + "\n"]
        for _ in range(size):
            if indent < 8 and self.rng.random() < 0.15:
                lines.append(self.block(indent + 1, self.rng.randint(1, 5)))
            else:
                lines.append(self.statement(indent + 1))
        lines.append(pad + closer + "\n")
        return "".join(lines)

    def text(self, size):
        chunks, length = [], 0
        while length < size:
            chunk = self.block(0, self.rng.randint(3, 12)) if self.rng.random() < 0.5 \
                else self.statement(0)
            chunks.append(chunk)
            length += len(chunk)
        return "".join(chunks)


def c_string(s):
    return '"' + s.replace("\\", "\\\\").replace('"', '\\"').replace("\r", "\\r").replace(
        "\n", "\\n") + '"'


def scanner_text(lang):
    """A flex scanner that prints what the engine prints for the schema."""
    conditions = {state.upper() for _, _, state in lang.blocks + lang.brackets}
    first = sorted({s[0] for s in lang.separators})
    word_class = "[^\\x00-\\x20" + "".join("\\" + c for c in first) + "]+"
    rules = []
    # Closers first, each in the state it closes.
    for opener, closer, state in lang.blocks:
        text = closer.upper() if closer.isalpha() else closer
        rules.append('<%s>%s { emit(%s); close_block(); steps++; }'
                     % (state.upper(), c_string(closer), c_string(text)))
        if state == "beg":
            for kw in lang.stated:
                rules.append("<BEG>%s { emit(%s); steps++; }" % (c_string(kw), c_string(kw.capitalize() + " ")))
    for opener, closer, state in lang.brackets:
        rules.append("<%s>%s { emit(%s); yy_pop_state(); steps++; }"
                     % (state.upper(), c_string(closer), c_string(closer)))
    everywhere = "<*>"
    for s in lang.separators:
        if s in {c for _, c, _ in lang.blocks + lang.brackets}:
            continue
        if s in {o for o, _, _ in lang.blocks}:
            rules.append('%s%s { emit("{"); open_block(%s); steps++; }' % (everywhere, c_string(s), "BLK"))
        elif s in {o for o, _, _ in lang.brackets}:
            state = [b[2] for b in lang.brackets if b[0] == s][0]
            rules.append("%s%s { emit(%s); yy_push_state(%s); steps++; }"
                         % (everywhere, c_string(s), c_string(s), state.upper()))
        elif s == ";":
            rules.append('%s";" { emit(";"); indent_next(); steps++; }' % everywhere)
        elif s == '"':
            rules.append('%s\\"[^"]*\\" { emit("\\""); yytext[yyleng - 1] = 0; emit(yytext + 1); steps += 2; }'
                         % everywhere)
        else:
            rules.append("%s%s { emit(%s); steps++; }" % (everywhere, c_string(s), c_string(lang.separator_text(s))))
    for opener, closer, state in lang.blocks:
        if opener.isalpha():
            rules.append("%s%s { emit(%s); open_block(%s); steps++; }"
                         % (everywhere, c_string(opener), c_string(opener.upper()), state.upper()))
    post_text = {p: "<%s>" % p[1:] for p in lang.post_names}
    for kw in lang.keywords:
        tail = "".join("emit(%s); steps++; " % c_string(post_text[p]) for p in lang.posted.get(kw, []))
        rules.append("%s%s { emit(%s); steps++; %s}" % (everywhere, c_string(kw), c_string(lang.keyword_text(kw)), tail))
    rules.append("%s%s { lower(); emit(yytext); steps++; }" % (everywhere, word_class))
    rules.append("<*>[\\x00-\\x20] { }")
    return SCANNER_TEMPLATE.replace("@CONDITIONS@", " ".join(sorted(conditions))).replace(
        "@RULES@", "\n".join(rules))


SCANNER_TEMPLATE = r"""/* Generated by bench/workloads.py: the program translation done by flex. */
%option noyywrap nounput noinput stack caseless 8bit fast
%x @CONDITIONS@
%{
#include <ctype.h>
#include <stdio.h>
#include <string.h>

static long long steps = 2; /* the init and end-of-text steps */
static int indent_depth = 0;
static char prefix[4096] = "\r\n";
static size_t prefix_length = 2;

/* Printed text gets the pending line prefix in front of it. */
static void emit(const char* s) {
  if (!*s) return;
  if (prefix_length) fwrite(prefix, 1, prefix_length, stdout);
  prefix_length = 0;
  fputs(s, stdout);
}
/* The next printed text starts a new line, indented by the open blocks. */
static void indent_next(void) {
  prefix_length = 0;
  prefix[prefix_length++] = '\r';
  prefix[prefix_length++] = '\n';
  for (int k = 0; k < indent_depth && prefix_length + 3 < sizeof prefix; ++k) {
    memcpy(prefix + prefix_length, "   ", 3);
    prefix_length += 3;
  }
}
/* Macros: the state stack routines are declared after this section. */
#define open_block(condition) \
  do { yy_push_state(condition); ++indent_depth; indent_next(); } while (0)
#define close_block() do { yy_pop_state(); --indent_depth; indent_next(); } while (0)
static void lower(void) {
  for (char* c = yytext; *c; ++c) *c = (char)tolower((unsigned char)*c);
}
%}
%%
@RULES@
%%
int main(void) {
  fputs("\n\n\n", stdout);
  yylex();
  fprintf(stderr, "steps %lld\n", steps);
  return 0;
}
"""


def language(rng, variant):
    if variant == "program":
        return Language(rng, 150, SEPARATORS, BLOCKS, BRACKETS, stated=50, posted=24)
    return Language(rng, 8, SMALL_SEPARATORS, SMALL_BLOCKS, SMALL_BRACKETS, stated=0, posted=0)


def write(path, text, newline=""):
    with open(path, "w", newline=newline) as f:
        f.write(text)


def write_program(variant, size, folder, source_seed=SEED + 1):
    lang = language(random.Random(SEED), variant)
    schema = schema_text(lang)
    write(os.path.join(folder, "schema.txt"), schema)
    write(os.path.join(folder, "scanner.l"), scanner_text(lang))
    write(os.path.join(folder, "source.txt"), SourceWriter(random.Random(source_seed), lang).text(size))
    write(os.path.join(folder, "events"), "%d\n" % event_count(schema))


def write_example(size, folder, root):
    with open(os.path.join(root, "example/vbs_c/reallife.inc"), newline="") as f:
        one = f.read()
    with open(os.path.join(root, "example/vbs_c/s.txt"), newline="") as f:
        write(os.path.join(folder, "schema.txt"), f.read())
    copies = max(1, -(-size // len(one.encode())))
    write(os.path.join(folder, "source.txt"), one * copies)
    write(os.path.join(folder, "copies"), "%d\n" % copies)


def main(argv):
    kind = argv[1]
    if kind == "batch":
        folder = argv[2]
        os.makedirs(folder, exist_ok=True)
        for k in range(40):
            sub = os.path.join(folder, "work")
            os.makedirs(sub, exist_ok=True)
            write_program("program", MB, sub, SEED + 100 + k)
            os.replace(os.path.join(sub, "source.txt"), os.path.join(folder, "source%02d.txt" % k))
        os.replace(os.path.join(folder, "work", "schema.txt"), os.path.join(folder, "schema.txt"))
        return
    size, folder = int(float(argv[2]) * MB), argv[3]
    os.makedirs(folder, exist_ok=True)
    if kind == "example":
        write_example(size, folder, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    else:
        write_program(kind, size, folder)


if __name__ == "__main__":
    main(sys.argv)
