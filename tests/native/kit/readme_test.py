"""readme_test.py REPO OUT_DIR: the players' read-me, made from kit/readme by WeasyPrint as it ships, explains
every message text of the sources (the literals passed to a message box or given an error as its description,
with those of the constants, functions and struct fields named there), has the appendix the questions page
names and the page pictures, and embeds only Debian's fonts."""
import pathlib
import re
import shutil
import subprocess
import sys

STRING = r'"(?:\\.|[^"\\])*"'


def split(text, separators):
    """The parts of the text between separators outside brackets and string literals."""
    parts, depth, last = [], 0, 0
    for m in re.finditer(STRING + r'|[][(){}' + separators + ']', text):
        depth += (m[0] in '([{') - (m[0] in ')]}')
        if depth == 0 and m[0] in separators:
            parts.append(text[last:m.start()])
            last = m.end()
    return parts + [text[last:]]


def inside(code, start):
    """The text inside the bracket at code[start]."""
    depth = 0
    for m in re.compile(STRING + r'|[][(){}]').finditer(code, start):
        depth += (m[0] in '([{') - (m[0] in ')]}')
        if depth == 0:
            return code[start + 1:m.start()]
    return code[start + 1:]


class Sources:
    def __init__(self, folder):
        # Comments and character literals go: a quote or bracket in them would mislead the rest.
        ignored = STRING + r"|'(?:\\.|[^'\\])'|//[^\n]*|/\*.*?\*/"
        files = sorted(p for p in folder.rglob('*') if p.suffix in ('.h', '.cpp'))
        code = '\n'.join(p.read_text(errors='replace') for p in files)
        self.code = c = re.sub(ignored, lambda m: m[0] if m[0][0] == '"' else ' ', code, flags=re.S)
        # What a name may give: a k-constant its value, a function what it returns (its first
        # definition), a struct field the values it is initialised with.
        self.named, self.fields = {}, {}
        for m in re.finditer(r'\b(k\w+)\s*(?:\[\s*\])?\s*=(?!=)', c):
            self.named.setdefault(m[1], [c[m.end():c.index(';', m.end())]])
        for m in re.finditer(r'\b(\w+)\s*\(([^;{}()]|\([^()]*\))*\)\s*(?:const\s*)?(?:noexcept\s*)?\{', c):
            self.named.setdefault(m[1], re.findall(r'\breturn\b(.*?);', inside(c, m.end() - 1), re.S))
        for m in re.finditer(r'\bstruct\s+(\w+)\s*\{', c):
            decls = [d for d in split(inside(c, m.end() - 1), ';') if d.strip() and '(' not in d]
            for init in re.finditer(r'(?<!struct )\b' + m[1] + r'\b(?:\s+\w+)?\s*\{', c):
                for decl, value in zip(decls, split(inside(c, init.end() - 1), ',')):
                    for name in re.findall(r'(\w+)\s*(?:=.*|\{.*\})?\s*$', decl.strip(), re.S):
                        self.fields.setdefault(name, []).append(value)

    def literals(self, expr, depth=0):
        """The texts an expression may give: its own literals and those of what it names."""
        expr = split(expr, '?')[-1]  # a condition's literals are no text
        unescape = lambda s: re.sub(r'\\(.)', lambda e: ' ' if e[1] in 'nt' else e[1], s[1:-1])
        found = [''.join(map(unescape, re.findall(STRING, m[0])))
                 for m in re.finditer(r'(?:' + STRING + r'\s*(?:L|u8)?)+', expr)]
        names = re.findall(r'(\.|->)?\b([A-Za-z_]\w*)', re.sub(STRING, ' ', expr))
        for dot, name in names if depth < 5 else []:
            for text in (self.fields if dot else self.named).get(name, []):
                found += self.literals(text, depth + 1)
        return found

    def messages(self):
        found = []
        for m in re.finditer(r'\b(\w*[Mm]essage\w*|Tell|Error)\s*\(', self.code):
            args = split(inside(self.code, m.end() - 1), ',')
            found += self.literals(','.join(args[2:] if m[1] == 'Error' else args))
        return {' '.join(t.split()) for t in found if re.search(r'[A-Za-z]{2}', t)}


def run(*args):
    return subprocess.run(args, check=True, capture_output=True, text=True).stdout


def main(repo, out):
    repo, out = pathlib.Path(repo), pathlib.Path(out)
    shutil.rmtree(out, ignore_errors=True)
    out.mkdir(parents=True)
    pdf = out / 'Mendpack Readme.pdf'
    run('weasyprint', str(repo / 'kit/readme/readme.html'), str(pdf))
    text = ' '.join(run('pdftotext', '-enc', 'UTF-8', str(pdf), '-').split())

    sources = Sources(repo / 'src')
    messages = sorted(sources.messages())
    failures = [f'message missing: {m!r}' for m in messages if m not in text]
    if len(messages) < 20:
        failures.append(f'only {len(messages)} message texts found in the sources')

    heading = 'Appendix: Checking your computer'
    appendix = text[text.rfind(heading):] if heading in text else ''
    questions = [q[1:-1] for q in re.findall(r'"chk\w+"\s*,\s*L?(' + STRING + ')', sources.code)]
    sections = re.split('|'.join(map(re.escape, questions)), appendix)[1:] if questions else []
    if len(questions) != 4 or len(sections) != 4:
        failures.append(f'appendix {heading!r} or its four questions not found ({questions})')
    failures += [f'appendix: {q!r} lacks {f!r}' for q, s in zip(questions, sections)
                 for f in ('Windows XP:', 'Windows Vista and 7:', 'Windows 8, 10 and 11:') if f not in s]

    pictures = sorted((repo / 'docs/screenshots').glob('*.png'))
    run('pdfimages', '-png', str(pdf), str(out / 'picture'))
    signature = lambda files: run('identify', '-format', '%#\n', *map(str, files)).split()
    seen = set(signature(out.glob('picture-*.png')))
    failures += [f'picture missing: {p.name}' for p, s in zip(pictures, signature(pictures)) if s not in seen]

    fonts = run('pdffonts', str(pdf)).splitlines()[2:]  # from the right: emb sub uni object-id generation
    failures += [f'font not embedded, or not DejaVu or Liberation: {f}' for f in fonts or ['(none)']
                 if f.split()[-5:-4] != ['yes'] or not re.search(r'DejaVu|Liberation', f)]

    print(*(f'FAIL {f}\n' for f in failures), sep='', end='')
    print(f'{len(messages)} texts, {len(pictures)} pictures, {len(fonts)} fonts: {len(failures)} failures')
    return 1 if failures else 0


sys.exit(main(*sys.argv[1:]))
