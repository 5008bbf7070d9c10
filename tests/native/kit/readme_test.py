"""readme_test.py REPO OUT_DIR: the players' read-me as it ships, made from kit/readme by
WeasyPrint, holds the appendix the questions page names, every message text of the sources, the
page pictures, and only embedded fonts.

A message text is what the sources pass to a message box (message, Message, Tell, MessageBox*)
or give an error as its description (Error(number, source, description)). A k-constant, a field
of a struct initialised with literals, or a function that returns text, is followed to its
literals; what is computed at run time (a number, a file name) is a gap the read-me may fill.
"""
import pathlib
import re
import subprocess
import sys

STRING = r'"((?:\\.|[^"\\])*)"'
LITERAL = r'(?:L|u8)?' + STRING


def strip_comments(code):
    """Comments and character literals go; a quote or bracket in them would mislead the rest."""
    return re.sub(STRING + r"|'(?:\\.|[^'\\])'|//[^\n]*|/\*.*?\*/",
                  lambda m: m.group(0) if m.group(0).startswith('"') else ' ', code, flags=re.S)


def unescape(text):
    return re.sub(r'\\(.)', lambda m: {'n': '\n', 't': '\t'}.get(m.group(1), m.group(1)), text)


def scan(text, start=0):
    """Each character outside string literals, with its index and the bracket depth before it."""
    depth, i = 0, start
    while i < len(text):
        if text[i] == '"':
            i = re.compile(STRING).match(text, i).end()
            continue
        yield i, text[i], depth
        depth += (text[i] in '([{') - (text[i] in ')]}')
        i += 1


def balanced(code, start):
    """The text inside the bracket at code[start], and the index after its match."""
    for i, c, depth in scan(code, start):
        if depth == 1 and c in ')]}':
            return code[start + 1:i], i + 1
    return code[start + 1:], len(code)


def top_level_split(text, seps):
    parts, last = [], 0
    for i, c, depth in scan(text):
        if depth == 0 and c in seps and text[i:i + 2] != '::' and text[i - 1:i + 1] != '::':
            parts.append(text[last:i])
            last = i + 1
    return parts + [text[last:]]


class Sources:
    def __init__(self, folder):
        self.code = '\n'.join(strip_comments(p.read_text(encoding='utf-8', errors='replace'))
                              for p in sorted(folder.rglob('*')) if p.suffix in ('.h', '.cpp'))
        c = self.code
        self.constants = {m.group(1): c[m.end():c.index(';', m.end())]
                          for m in re.finditer(r'\b(k\w+)\s*(?:\[\s*\])?\s*=(?!=)', c)}
        self.functions = {}
        for m in re.finditer(r'\b(\w+)\s*\(([^;{}()]|\([^()]*\))*\)\s*(?:const\s*)?(?:noexcept\s*)?\{', c):
            self.functions.setdefault(m.group(1), balanced(c, m.end() - 1)[0])
        self.fields = {}  # field name -> [(struct, index)]
        for m in re.finditer(r'\bstruct\s+(\w+)\s*\{', c):
            body = balanced(c, m.end() - 1)[0]
            decls = [d for d in top_level_split(body, ';') if '(' not in d and d.strip()]
            for i, d in enumerate(decls):
                name = re.findall(r'(\w+)\s*(?:=.*|\{.*\})?\s*$', d.strip(), re.S)
                if name:
                    self.fields.setdefault(name[0], []).append((m.group(1), i))

    def initialisers(self, struct):
        for m in re.finditer(r'(?<!struct )\b' + struct + r'\b(?:\s+\w+)?\s*\{', self.code):
            yield top_level_split(balanced(self.code, m.end() - 1)[0], ',')

    def texts(self, expr, depth=0):
        """Every text the expression may give, each as a list of literal pieces and gaps (None)."""
        if depth > 4:
            return [[None]]
        parts = top_level_split(expr, '?:')
        if len(parts) > 1:
            return [t for alt in parts[1:] for t in self.texts(alt, depth + 1)]
        pieces = []
        for term in top_level_split(expr, '+'):
            term = term.strip()
            literals = re.findall(LITERAL, term)
            name = re.fullmatch(r'(?:[\w:]+::)?(\w+)(?:\.c_str\(\))?', term)
            call = re.fullmatch(r'(?:[\w:]+::)?(\w+)\s*\((.*)\)', term, re.S)
            member = re.fullmatch(r'\w+(?:\.|->)(\w+)', term)
            if literals and re.fullmatch(r'(\s*' + LITERAL + r'\s*)+', term):
                pieces.append(unescape(''.join(literals)))
            elif name and name.group(1) in self.constants:
                alts = self.texts(self.constants[name.group(1)], depth + 1)
                pieces += alts[0] if len(alts) == 1 else [None]
            elif member and member.group(1) in self.fields:
                return [t for struct, i in self.fields[member.group(1)] for init in self.initialisers(struct)
                        if i < len(init) for t in self.texts(init[i], depth + 1)]
            elif call and call.group(1) in self.functions:
                returns = re.findall(r'\breturn\b(.*?);', self.functions[call.group(1)], re.S)
                alts = [t for r in returns for t in self.texts(r, depth + 1)]
                pieces += alts[0] if len(alts) == 1 else [None]
            else:
                pieces.append(None)
        return [pieces]

    def messages(self):
        found = []
        sinks = r'\b(\w*[Mm]essage\w*|Tell|Error)\s*\('
        for m in re.finditer(sinks, self.code):
            args = top_level_split(balanced(self.code, m.end() - 1)[0], ',')
            for arg in args[2:] if m.group(1) == 'Error' else args:
                found += self.texts(arg)
        return found


def normal(text):
    return re.sub(r'\s+', ' ', text).strip()


def pattern(pieces):
    words = [normal(p) for p in pieces if p and re.search(r'[A-Za-z]{2}', p)]
    return '.{0,120}?'.join(re.escape(w) for w in words) if words else None


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def main(repo, out):
    repo, out = pathlib.Path(repo), pathlib.Path(out)
    out.mkdir(parents=True, exist_ok=True)
    pdf = out / 'Mendpack Readme.pdf'
    for old in [pdf, *out.glob('picture-*.png')]:
        old.unlink(missing_ok=True)
    run('weasyprint', str(repo / 'kit/readme/readme.html'), str(pdf))
    text = normal(run('pdftotext', '-enc', 'UTF-8', str(pdf), '-'))
    failures = []

    sources = Sources(repo / 'src')
    patterns = sorted({p for t in sources.messages() if (p := pattern(t))})
    if len(patterns) < 20:
        failures.append(f'only {len(patterns)} message texts found in the sources')
    failures += [f'message missing: {p}' for p in patterns if not re.search(p, text)]

    heading = 'Appendix: Checking your computer'
    appendix = text[text.rfind(heading):] if heading in text else ''
    questions = re.findall(r'"chk\w+"\s*,\s*' + LITERAL, sources.code)
    if not appendix or len(questions) != 4:
        failures.append(f'appendix {heading!r} or the four questions not found ({questions})')
    for i, q in enumerate(questions):
        start = appendix.find(q)
        end = appendix.find(questions[i + 1]) if i + 1 < len(questions) else len(appendix)
        for family in ('Windows XP:', 'Windows Vista and 7:', 'Windows 8, 10 and 11:'):
            if start < 0 or family not in appendix[start:end]:
                failures.append(f'appendix: {q!r} lacks {family!r}')

    # Every screenshot of docs/screenshots is in the PDF, pixel for pixel.
    pictures = sorted((repo / 'docs/screenshots').glob('*.png'))
    if len(run('pdfimages', '-list', str(pdf)).splitlines()[2:]) < len(pictures):
        failures.append('fewer pictures than screenshots')
    run('pdfimages', '-png', str(pdf), str(out / 'picture'))
    signature = lambda files: run('identify', '-format', '%#\n', *map(str, files)).split()
    shown = set(signature(out.glob('picture-*.png')))
    failures += [f'picture missing: {p.name}' for p, s in zip(pictures, signature(pictures)) if s not in shown]

    fonts = run('pdffonts', str(pdf)).splitlines()[2:]
    failures += [] if fonts else ['no fonts']
    for line in fonts:
        if line.split()[-5] != 'yes':  # the columns from the right: emb sub uni object-id generation
            failures.append(f'font not embedded: {line}')
        if not re.search(r'DejaVu|Liberation', line):
            failures.append(f'font not one of Debian\'s DejaVu or Liberation: {line}')

    print(*(f'FAIL {f}\n' for f in failures), sep='', end='')
    print(f'{len(patterns)} message texts, {len(questions)} questions, {len(pictures)} pictures, '
          f'{len(fonts)} fonts checked: {len(failures)} failures')
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main(*sys.argv[1:]))
