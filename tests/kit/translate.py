#!/usr/bin/env python3
"""Translates an MQL5 program, with what it includes, into one C++ file that
tests/kit/mql5.h and mql5.cpp make a Windows program of. It takes the
constructs the kit is written in and stops at any other, naming the file
and line, so that no code of the kit goes untranslated, and so unrun.

  translate.py [-D NAME]... --mql5 MQL5_DIR SOURCE OUTPUT.cpp
  translate.py [-D NAME]... --mql5 MQL5_DIR --imports SOURCE   (names #import declares)

The preprocessor is done here (#include, #define without parameters,
#ifdef, #ifndef, #else, #endif, #property, #import "Sedgefold.dll"); #line
keeps the compiler's messages on the MQL5 lines. Each declaration of the
#import block is held at compile time to exports/Sedgefold.h by MQL5's
passing rules (a string as its characters, an array as its data)."""
import os
import re
import sys

TYPES = {"void", "bool", "char", "uchar", "short", "ushort", "int", "uint", "long", "ulong",
         "float", "double", "string", "datetime", "color", "ENUM_PROGRAM_TYPE"}
# MQL5's built-in names, which the kit may not declare again.
BUILTINS = set("""Alert ArrayCopy ArrayFill ArrayFree ArrayInitialize ArrayIsDynamic ArrayMaximum
ArrayMinimum ArrayResize ArraySize ArraySort CharArrayToString CharToString Comment DoubleToString
EventKillTimer EventSetMillisecondTimer EventSetTimer ExpertRemove FileClose FileCopy FileDelete
FileFindClose FileFindFirst FileFindNext FileFlush FileIsExist FileMove FileOpen FileReadString FileWrite
FileWriteString FolderClean FolderCreate FolderDelete GetLastError GetTickCount GetTickCount64
GlobalVariableGet GlobalVariableSet IntegerToString IsStopped MathAbs MathCeil MathFloor MathLog MathMax
MathMin MathMod MathPow MathRand MathRound MathSqrt MQLInfoInteger MQLInfoString Print PrintFormat
ResetLastError SetUserError ShortArrayToString ShortToString Sleep StringAdd StringBufferLen StringCompare
StringConcatenate StringFill StringFind StringFormat StringGetCharacter StringInit StringLen StringReplace
StringSetCharacter StringSplit StringSubstr StringToCharArray StringToDouble StringToInteger StringToLower
StringToShortArray StringToTime StringToUpper StringTrimLeft StringTrimRight TerminalInfoInteger
TerminalInfoString TimeCurrent TimeGMT TimeLocal TimeToString UninitializeReason abs acos asin atan ceil
cos exp fabs floor fmax fmin fmod log log10 pow rand round sin sqrt srand tan CP_ACP CP_UTF8
ERR_USER_ERROR_FIRST FILE_ANSI FILE_BIN FILE_COMMON FILE_CSV FILE_READ FILE_REWRITE FILE_TXT FILE_UNICODE
FILE_WRITE INIT_FAILED INIT_PARAMETERS_INCORRECT INIT_SUCCEEDED INT_MAX INVALID_HANDLE MQL_DLLS_ALLOWED
MQL_OPTIMIZATION MQL_PROGRAM_NAME MQL_PROGRAM_TYPE MQL_TESTER NULL PROGRAM_EXPERT PROGRAM_INDICATOR
PROGRAM_SCRIPT PROGRAM_SERVICE TERMINAL_COMMONDATA_PATH TERMINAL_DATA_PATH TIME_DATE TIME_MINUTES
TIME_SECONDS WHOLE_ARRAY _LastError _StopFlag""".split())
# MQL5 words this runner does not take; C++ words that are plain names in MQL5.
REFUSED = set("""struct class switch case default goto template typedef new delete this operator virtual
sizeof union public private protected interface typename extern NULL""".split())
CPP_ONLY = set("""alignas alignof and and_eq asm auto bitand bitor char16_t char32_t compl concept
constexpr decltype dynamic_cast explicit export friend inline mutable namespace noexcept not not_eq
nullptr or or_eq register reinterpret_cast requires static_assert static_cast thread_local throw try
catch typeid using volatile wchar_t xor xor_eq main""".split())
OPERATORS = sorted("""<<= >>= == != <= >= && || ++ -- += -= *= /= %= &= |= ^= << >> :: -> + - * / %
< > = ! ~ & | ^ ? : , ( ) [ ] { } ; .""".split(), key=len, reverse=True)
IN_EXPRESSIONS = set(OPERATORS) - {"::", "->", "{", "}", ";", "."}
TOKEN = re.compile(r"""(?P<space>[ \t\r\f\v]+)|(?P<newline>\n)|(?P<comment>//[^\n]*|/\*.*?\*/)
  |(?P<str>"(?:[^"\\\n]|\\.)*")|(?P<chr>'(?:[^'\\\n]|\\.)+')
  |(?P<num>0[xX][0-9A-Fa-f]+|(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?)|(?P<id>[A-Za-z_]\w*)
  |(?P<op>""" + "|".join(re.escape(o) for o in OPERATORS) + ")", re.S | re.X)
HANDLERS = {"OnStart": ("void", "int"), "OnInit": ("int", "void"), "OnTimer": ("void",), "OnDeinit": ("void",)}


class Refused(Exception):
    pass


def refuse(where, what):
    raise Refused("%s:%d: %s" % (where[0], where[1], what))


class Token:
    def __init__(self, kind, text, where, start=0, end=0):
        self.kind, self.text, self.where, self.start, self.end = kind, text, where, start, end


def lex(path):
    """The file's tokens; a preprocessor line is one token, its words in args."""
    text = open(path, encoding="utf-8-sig").read()
    tokens, line, at, directive = [], 1, 0, None
    while at < len(text):
        found = re.compile(r"[ \t]*#[ \t]*(\w+)").match(text, at) if at == 0 or text[at - 1] == "\n" else None
        if found:
            directive = Token("pp", found.group(1), (path, line))
            directive.args, at = [], found.end()
            tokens.append(directive)
            continue
        match = TOKEN.match(text, at)
        if not match:
            refuse((path, line), "a character the runner does not read: %r" % text[at])
        kind, value = match.lastgroup, match.group()
        if kind in ("newline", "comment"):
            directive = None if "\n" in value else directive
            line += value.count("\n")
        elif kind != "space":
            (directive.args if directive else tokens).append(Token(kind, value, (path, line), at, match.end()))
        at = match.end()
    return tokens


class Preprocessor:
    def __init__(self, mql5, defines):
        self.mql5, self.macros, self.seen = mql5, {d: [] for d in defines}, set()
        self.properties, self.imports = {}, []

    def run(self, path):
        """The code of path and what it includes, macros expanded."""
        if os.path.realpath(path) in self.seen:
            return []
        self.seen.add(os.path.realpath(path))
        out, live, importing = [], [True], None
        for token in lex(path):
            if token.kind != "pp":
                if all(live):
                    (out if importing is None else importing).extend(self.expand(token, set()))
                continue
            name, args = token.text, token.args
            if name in ("ifdef", "ifndef") and len(args) == 1:
                live.append((args[0].text in self.macros) == (name == "ifdef"))
            elif name in ("else", "endif") and len(live) > 1:
                live[-1:] = [not live[-1]] if name == "else" else []
            elif not all(live):
                continue
            elif name == "include" and args:
                out += self.run(self.included(path, args))
            elif name == "define" and args and args[0].kind == "id":
                if len(args) > 1 and args[1].text == "(" and args[1].start == args[0].end:
                    refuse(token.where, "a #define with parameters")
                self.macros[args[0].text] = args[1:]
            elif name == "property" and args:
                self.properties[args[0].text] = args[1:]
            elif name == "import" and importing is None and [a.text for a in args] == ['"Sedgefold.dll"']:
                importing = []
            elif name == "import" and importing is not None and not args:
                self.imports.append(importing)
                importing = None
            else:
                refuse(token.where, "#%s %s" % (name, " ".join(a.text for a in args)))
        if len(live) > 1 or importing is not None:
            refuse((path, 0), "an #ifdef or #import block that is not closed")
        return out

    def included(self, path, args):
        target = "".join(a.text for a in args)
        if target.startswith("<") and target.endswith(">"):
            return os.path.join(self.mql5, "Include", target[1:-1])
        return os.path.join(os.path.dirname(path), target.strip('"'))

    def expand(self, token, busy):
        if token.kind != "id" or token.text not in self.macros or token.text in busy:
            return [token]
        return [t for part in self.macros[token.text]
                for t in self.expand(Token(part.kind, part.text, token.where), busy | {token.text})]


class Translator:
    def __init__(self, tokens, enums):
        self.tokens, self.at, self.enums = tokens, 0, enums
        self.out, self.where = [], None

    # --- reading ---
    def peek(self, ahead=0):
        at = self.at + ahead
        return self.tokens[at] if at < len(self.tokens) else Token("end", "", self.tokens[-1].where)

    def take(self, text=None):
        token = self.peek()
        if text is not None and token.text != text:
            refuse(token.where, "expected %s, found %s" % (text, token.text or "the end"))
        self.at += 1
        return token

    def until(self, stops):
        """The tokens up to one of stops at bracket depth 0, which stays."""
        depth, start = 0, self.at
        while depth > 0 or self.peek().text not in stops:
            if self.peek().kind == "end":
                refuse(self.tokens[start].where, "no %s after this" % " or ".join(stops))
            depth += (self.peek().text in "([{") - (self.peek().text in ")]}")
            self.at += 1
        return self.tokens[start:self.at]

    def enclosed(self, opening, closing):
        self.take(opening)
        tokens = self.until([closing])
        self.take(closing)
        return tokens

    def is_type(self, token):
        return token.text in TYPES or token.text in self.enums

    # --- writing ---
    def emit(self, text, where):
        if where != self.where:
            self.out.append('\n#line %d "%s"\n' % (where[1], where[0]))
            self.where = where
        self.out.append(text + " ")

    def expression(self, tokens):
        return " ".join(self.word(t, tokens[i - 1] if i else None, tokens[i + 1] if i + 1 < len(tokens) else None)
                        for i, t in enumerate(tokens))

    def word(self, token, before, after):
        if token.kind == "str":
            return "::mql5::string(L%s)" % token.text
        if token.kind == "chr":
            return "L" + token.text
        if token.kind == "op" and token.text not in IN_EXPRESSIONS:
            refuse(token.where, "%s in an expression" % token.text)
        if token.kind == "id":
            if token.text in REFUSED:
                refuse(token.where, "'%s', which the runner does not take" % token.text)
            if self.is_type(token) and not (before and before.text == "(" and after and after.text == ")"):
                refuse(token.where, "the type %s outside a declaration or a cast" % token.text)
            return self.name(token.text)
        return token.text

    @staticmethod
    def name(text):
        return "::mql5::long_" if text == "long" else "mql_" + text if text in CPP_ONLY else text

    def ctype(self, token):
        if not self.is_type(token):
            refuse(token.where, "%s, where a type the runner knows belongs" % (token.text or "the end"))
        return self.name(token.text)

    def declared(self, token):
        if token.kind != "id" or token.text in TYPES or token.text in REFUSED:
            refuse(token.where, "expected a name, found %s" % token.text)
        if token.text in BUILTINS:
            refuse(token.where, "'%s' is the name of an MQL5 built-in" % token.text)
        return self.name(token.text)

    def qualifiers(self):
        words = ""
        while self.peek().text in ("static", "const"):
            words += self.take().text + " "
        return words

    def declaration(self, qualifiers, type_token):
        """The declarators up to ";", each a C++ declaration: an array one
        of rt::Array."""
        ctype, lines = self.ctype(type_token), []
        while True:
            name_token = self.take()
            name, init = self.declared(name_token), ""
            if self.peek().text == "[":
                size = self.enclosed("[", "]")
                values = self.take("=") and self.enclosed("{", "}") if self.peek().text == "=" else None
                if self.peek().text == "[" or "const" in qualifiers:
                    refuse(name_token.where, "an array of two dimensions, or a const one")
                ctype_ = "::mql5::rt::Array<%s>" % ctype
                if values is not None:
                    init = " = %s::Of({%s})" % (ctype_, self.expression(values))
                elif size:
                    init = " = %s::Fixed(%s)" % (ctype_, self.expression(size))
                lines.append(("%s%s %s%s;" % (qualifiers, ctype_, name, init), name_token.where))
            else:
                if self.peek().text == "=":
                    self.take("=")
                    init = " = " + self.expression(self.until([",", ";"]))
                lines.append(("%s%s %s%s;" % (qualifiers, ctype, name, init), name_token.where))
            if self.take().text == ";":
                return lines

    def parameters(self):
        """Each parameter: its type as MQL5 passes it, its name, its default."""
        self.take("(")
        result = []
        while self.peek().text != ")":
            const = self.peek().text == "const" and self.take()
            type_token = self.take()
            ctype = self.ctype(type_token)
            reference = self.peek().text == "&" and self.take()
            name = self.declared(self.take())
            if self.peek().text == "[":
                self.take("[")
                self.take("]")
                if not reference:
                    refuse(type_token.where, "an array parameter that is not a reference")
                ctype = "::mql5::rt::Array<%s>&" % ctype
            elif reference:
                ctype += "&"
            default = ""
            if self.peek().text == "=":
                self.take("=")
                default = " = " + self.expression(self.until([",", ")"]))
            result.append({"type": ctype, "declared": ("const " if const else "") + ctype + " " + name,
                           "name": name, "default": default})
            if self.peek().text == ",":
                self.take(",")
        self.take(")")
        return result

    # --- statements ---
    def block(self):
        self.emit("{", self.take("{").where)
        while self.peek().text != "}":
            self.statement()
        self.emit("}", self.take("}").where)

    def statement(self):
        token = self.peek()
        text = token.text
        if text in REFUSED:
            refuse(token.where, "'%s', which the runner does not take" % text)
        if text == "{":
            self.block()
        elif text in ("if", "while"):
            self.take()
            self.emit("%s (%s)" % (text, self.expression(self.enclosed("(", ")"))), token.where)
            self.statement()
            if text == "if" and self.peek().text == "else":
                self.emit("else", self.take().where)
                self.statement()
        elif text == "for":
            self.take()
            self.take("(")
            init = self.until([";"]) + [self.take(";")]
            if self.is_type(init[0]) or init[0].text == "const":
                inner = Translator(init, self.enums)
                lines = inner.declaration(inner.qualifiers(), inner.take())
                if len(lines) != 1 or "Array" in lines[0][0]:
                    refuse(token.where, "an array or several declarations in a for")
                init_text = lines[0][0]
            else:
                init_text = self.expression(init[:-1]) + ";"
            condition = self.expression(self.until([";"]))
            self.take(";")
            step = self.expression(self.until([")"]))
            self.take(")")
            self.emit("for (%s %s; %s)" % (init_text, condition, step), token.where)
            self.statement()
        elif text == "do":
            self.emit("do", self.take().where)
            self.statement()
            self.take("while")
            self.emit("while (%s);" % self.expression(self.enclosed("(", ")")), token.where)
            self.take(";")
        elif text in ("return", "break", "continue"):
            self.take()
            value = self.expression(self.until([";"]))
            self.take(";")
            self.emit("%s %s;" % (text, value), token.where)
        elif text in ("static", "const") or (self.is_type(token) and self.peek(1).kind == "id"):
            for line, where in self.declaration(self.qualifiers(), self.take()):
                self.emit(line, where)
        else:
            tokens = self.until([";"])
            self.take(";")
            self.emit(self.expression(tokens) + ";", token.where)


class Program:
    """The program's declarations, in the order C++ needs them: enums,
    prototypes (MQL5 calls functions defined further down), imports,
    globals, then the bodies."""

    def __init__(self, source, mql5, defines):
        self.pre = Preprocessor(mql5, defines)
        self.t = Translator(self.pre.run(source), set())
        self.enums, self.prototypes, self.imports, self.globals, self.bodies, self.handlers = [], [], [], [], [], {}
        while self.t.peek().kind != "end":
            self.top_level()
        for block in self.pre.imports:
            self.import_block(block)

    def top_level(self):
        t, start = self.t, self.t.peek()
        if start.text in REFUSED:
            refuse(start.where, "'%s', which the runner does not take" % start.text)
        if start.text == "enum":
            t.take()
            name = t.declared(t.take())
            t.enums.add(name)
            body = t.enclosed("{", "}")
            t.take(";")
            values, item = [], []
            for token in body + [Token("op", ",", start.where)]:
                if token.text != ",":
                    item.append(token)
                elif item:
                    values.append(t.declared(item[0]) + " " + t.expression(item[1:]))
                    item = []
            self.enums.append(("enum %s { %s };" % (name, ", ".join(values)), start.where))
        elif start.text in ("input", "sinput"):
            t.take()
            type_token = t.take()
            ctype = t.ctype(type_token)
            for line, where in t.declaration("", type_token):
                found = re.match(r"\S+ (\w+) = (.*);$", line)
                if not found or "Array" in line:
                    refuse(where, "an input without a value, or an array")
                self.globals.append(("const %s %s = ::mql5::rt::Input<%s>(L\"%s\", %s(%s));"
                                     % (ctype, found.group(1), ctype, found.group(1), ctype, found.group(2)), where))
        else:
            qualifiers = t.qualifiers()
            type_token = t.take()
            if t.peek(1).text != "(":
                self.globals += t.declaration(qualifiers, type_token)
                return
            name, result = t.declared(t.take()), t.ctype(type_token)
            params = t.parameters()
            if t.peek().text == ";":
                t.take(";")  # a prototype: every function gets one
                return
            if name in HANDLERS and (result not in HANDLERS[name] or len(params) != (name == "OnDeinit")):
                refuse(start.where, "%s, not declared as the terminal calls it" % name)
            self.handlers[name] = result
            self.prototypes.append(("%s%s %s(%s);" % (qualifiers, result, name,
                                                      ", ".join(p["declared"] + p["default"] for p in params)), start.where))
            self.bodies.append(("%s%s %s(%s)" % (qualifiers, result, name, ", ".join(p["declared"] for p in params)),
                                start.where, t.at))
            t.enclosed("{", "}")  # translated after every declaration

    def import_block(self, block):
        it = Translator(block, self.t.enums)
        while it.peek().kind != "end":
            start = it.peek()
            result = it.ctype(it.take())
            name = it.take().text
            params = it.parameters()
            it.take(";")
            c_type = "decltype(::sedgefold_c::%s)" % name
            self.imports.append((name, start.where, (
                "%s %s(%s) { return ::mql5::rt::Call<%s, %s>(\"%s\"%s); }\n"
                "static_assert(::mql5::rt::Matches<::mql5::rt::Passing<%s>::Type, %s>::value, "
                "\"%s: not the type exports/Sedgefold.h declares, by MQL5's passing rules\");")
                % (result, name, ", ".join(p["declared"] for p in params), result, c_type, name,
                   "".join(", " + p["name"] for p in params), ", ".join([result] + [p["type"] for p in params]),
                   c_type, name)))

    def write(self, source, output):
        t = self.t
        t.emit("// Translated from %s by tests/kit/translate.py.\n#include <cstddef>\n#include \"mql5.h\"\n"
               "namespace sedgefold_c {\n#include \"exports/Sedgefold.h\"\n}\nnamespace program {\n"
               "using namespace ::mql5;" % source, ("<runner>", 1))
        for line, where in self.enums + self.prototypes + [(text, where) for _, where, text in self.imports] + self.globals:
            t.emit(line, where)
        for header, where, at in self.bodies:
            t.emit(header, where)
            t.at = at
            t.block()
        kind = "SERVICE" if "service" in self.pre.properties else "SCRIPT" if "OnStart" in self.handlers else "EXPERT"
        calls = {"OnStart": "+[] { program::OnStart(); }", "OnTimer": "+[] { program::OnTimer(); }",
                 "OnDeinit": "+[](int reason) { program::OnDeinit(reason); }",
                 "OnInit": "+[] { return int(program::OnInit()); }" if self.handlers.get("OnInit") == "int"
                 else "+[] { program::OnInit(); return 0; }"}
        t.emit("}  // namespace program\nconst ::mql5::rt::Program mql5::rt::kProgram = {L\"%s\", ::mql5::PROGRAM_%s, %s, %s};\n"
               % (os.path.splitext(os.path.basename(source))[0], kind,
                  "false" if kind == "SCRIPT" and "script_show_inputs" not in self.pre.properties else "true",
                  ", ".join(calls[h] if h in self.handlers else "nullptr" for h in HANDLERS)), ("<runner>", 2))
        with open(output, "w", encoding="utf-8") as out:
            out.write("".join(t.out))


def main(argv):
    defines, mql5, imports, rest = [], None, False, []
    while argv:
        word = argv.pop(0)
        if word == "-D" and argv:
            defines.append(argv.pop(0))
        elif word == "--mql5" and argv:
            mql5 = argv.pop(0)
        elif word == "--imports":
            imports = True
        else:
            rest.append(word)
    if mql5 is None or len(rest) != (1 if imports else 2):
        sys.exit(__doc__)
    try:
        program = Program(rest[0], mql5, defines)
        if imports:
            print("\n".join(sorted(name for name, _, _ in program.imports)))
        else:
            program.write(rest[0], rest[1])
    except Refused as refusal:
        sys.exit("%s (the kit's runner, tests/kit/translate.py, stops here)" % refusal)
    except OSError as problem:
        sys.exit("translate.py: %s" % problem)


if __name__ == "__main__":
    main(sys.argv[1:])
