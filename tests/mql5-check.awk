# The rules tests/mql5-check.sh applies to one MQL5 source file. The input is
# "@file PATH" and the blanked lines of that file (mql5_blank in
# lib-check.sh), then the same for each file it includes. Problems are
# printed for the first file only, as "LINE<TAB>text" ("-" for no line); the
# other files only lend their definitions. Scopes are not modelled: a name
# defined anywhere in those files counts as defined.
#   -v builtins=FILE   the MQL5 built-ins the kit may use (mql5-builtins.txt)
#   -v program=KIND    what the file is, by its folder: script (it needs
#                      OnStart, and #property script_show_inputs when it has
#                      inputs), expert, indicator, service (#property
#                      service says so too) or other

BEGIN {
  words("void bool char uchar short ushort int uint long ulong float double string datetime color", type)
  words("const static input sinput extern if else for while do switch case default break continue return sizeof enum struct class true false new delete this public private protected virtual template typename", keyword)
  words("if for while switch", control)
  words("char uchar short ushort int uint long ulong", integer)
  # The event handlers that must return soon: the program's next events
  # (and for an indicator, every indicator of its symbol) wait for them.
  words("OnTimer OnTick OnCalculate", handler)
  # What deletes, clears or moves: an example may do so only to what it made.
  DESTROYS = "^(Sedgefold(Delete|DeleteEmpty|Clear|ClearFiles|Move)|Path(Delete|DeleteEmpty|ClearContents|ClearFromFiles|Move)[AW])$"
  split("char 1 uchar 1 bool 1 short 2 ushort 2 int 4 uint 4 float 4 color 4 long 8 ulong 8 double 8 datetime 8", w, " ")
  for (i = 1; i in w; i += 2) width[w[i]] = w[i + 1]
  closer["("] = ")"; closer["["] = "]"; closer["{"] = "}"
  # A listing slot that holds any name, by the width of the buffer's
  # elements: 260 UTF-16 characters with the terminator (ushort), or 259
  # characters of up to 3 bytes under a UTF-8 ANSI code page and the
  # terminator (uchar).
  any_name_bytes[2] = 520; any_name_bytes[1] = 780
  macro_set["__MQL5__"] = 1   # defined by the compiler for every .mq5
  while ((getline entry < builtins) > 0)
    if (split(entry, f, " ") && f[1] !~ /^#/) {
      builtin[f[1]] = 1
      if (3 in f) { least[f[1]] = f[2]; most[f[1]] = f[3] }
      # wN writes argument N, sN sizes (and writes) it, eN empties it, oN
      # is an element offset into the array of argument N - 1.
      for (j = 4; j in f; j++) tag[f[1], substr(f[j], 2) + 0] = substr(f[j], 1, 1)
    }
}

/^@file / { files++; line = 0; levels = 0; path[files] = substr($0, 7); sub(/.*\//, "", path[files]); next }
{ line++ }
/^@@/ { if (files == 1) problem(line, substr($0, 4)); next }
/^[ \t]*#/ { directive($0); next }
!compiled() { next }
{
  m = lex($0, piece)
  for (k = 1; k <= m; k++) { n++; T[n] = piece[k]; L[n] = line; F[n] = files; IMP[n] = importing }
}

END {
  for (i = 2; i <= n; i++)
    if (T[i - 1] ~ /^(enum|struct|class)$/ && T[i] ~ /^[A-Za-z_]/) type[T[i]] = defined[T[i]] = 1
  if (!pair()) exit
  walk()
  returns()
  for (u = 1; u <= uses; u++)
    if (!(use_name[u] in defined || use_name[u] in builtin || use_name[u] in told)) {
      told[use_name[u]] = 1
      problem(use_line[u], use_name[u] " is not defined here, in what the file includes, nor among the MQL5 built-ins of tests/mql5-builtins.txt")
    }
  for (c = 1; c <= calls; c++)
    if (F[at[c]] == 1) { arity(c); codepage(c); buffer(c); constness(c); waits(c); boxes(c); separator(c); examples_root(c) }
  if (program == "script" && !("OnStart" in kit_most)) problem("-", "no OnStart: the terminal has nothing to run")
  if (program == "script") examples_make_their_own()
  if (program == "script" && input_line && !show_inputs)
    problem(input_line, "input parameters but no #property script_show_inputs: the script starts without showing them")
}

function words(list, set,   a, i) { split(list, a, " "); for (i in a) set[a[i]] = 1 }
# Whether the current line is compiled: every conditional around it holds.
function compiled(   d) { for (d = 1; d <= levels; d++) if (!branch[d]) return 0; return 1 }
function problem(where, text) { printf "%s\t%s\n", where, text }

# The tokens of s: names, numbers, literals, two-character operators, and
# single characters.
function lex(s, out,   k) {
  delete out
  while (s != "") {
    if (match(s, /^[ \t\r]+/)) { s = substr(s, RLENGTH + 1); continue }
    if (!(match(s, /^[CD]?'([^'\\]|\\.)*'/) || match(s, /^"([^"\\]|\\.)*"/) ||
          match(s, /^[A-Za-z_][A-Za-z0-9_]*/) || match(s, /^\.?[0-9][A-Za-z0-9_.]*/) ||
          match(s, /^(&&|\|\||[-+*\/%&|^=!<>]=|\+\+|--|<<|>>|::|->)/)))
      RLENGTH = 1
    out[++k] = substr(s, 1, RLENGTH); s = substr(s, RLENGTH + 1)
  }
  return k
}

# #ifdef, #ifndef, #else and #endif decide which lines are compiled, by the
# macros #defined before them (the checked file is read before what it
# includes, as the compiler reads its #defines before its #includes);
# #import opens and closes the block of imported functions; #define names a
# macro, whose value is read like code; #property script_show_inputs counts.
function directive(s,   name, rest, word) {
  sub(/^[ \t]*#[ \t]*/, "", s)
  if (match(s, /^ifn?def[ \t]+[A-Za-z_][A-Za-z0-9_]*/)) {
    name = substr(s, 1, RLENGTH); sub(/^ifn?def[ \t]+/, "", name)
    branch[++levels] = (name in macro_set) == (s ~ /^ifdef/)
    return
  }
  if (s ~ /^else([ \t]|$)/) { if (levels) branch[levels] = !branch[levels]; return }
  if (s ~ /^endif([ \t]|$)/) { if (levels) levels--; return }
  if (!compiled()) return
  if (s ~ /^import/) { importing = s ~ /^import[ \t]*"/; return }
  if (files == 1 && s ~ /^property[ \t]+script_show_inputs([ \t]|$)/) show_inputs = 1
  if (files == 1 && s ~ /^property[ \t]+service([ \t]|$)/) program = "service"
  if (!match(s, /^define[ \t]+[A-Za-z_][A-Za-z0-9_]*/)) return
  name = substr(s, 1, RLENGTH); rest = substr(s, RLENGTH + 1); sub(/^define[ \t]+/, "", name)
  defined[name] = macro_set[name] = 1
  if (rest ~ /^\(/) return   # a macro with parameters: its names are its own
  macro[name] = rest
  if (files > 1) return
  gsub(/"([^"\\]|\\.)*"|'([^'\\]|\\.)*'/, " ", rest)
  while (match(rest, /[A-Za-z0-9_.]+/)) {
    word = substr(rest, RSTART, RLENGTH); rest = substr(rest, RSTART + RLENGTH)
    if (word ~ /^[A-Za-z_]/) { use_name[++uses] = word; use_line[uses] = line }
  }
}

# Pairs the brackets of each file (mate[]); reports the first that does not
# pair in the checked file and answers 0 then.
function pair(   i, j, sp, stack, ok) {
  ok = 1
  for (i = 1; i <= n + 1; i++) {
    if (i > n || F[i] != F[i - 1]) {
      if (F[i - 1] == 1 && sp && ok) { ok = 0; problem(L[stack[sp]], "this " T[stack[sp]] " is never closed") }
      sp = 0
    }
    if (T[i] ~ /^[({[]$/) stack[++sp] = i
    else if (T[i] ~ /^[)}\]]$/) {
      if (!sp) {
        if (F[i] == 1 && ok) { ok = 0; problem(L[i], "nothing opens this " T[i]) }
        continue
      }
      j = stack[sp--]
      if (closer[T[j]] != T[i] && F[i] == 1 && ok) { ok = 0; problem(L[i], "this " T[i] " closes the " T[j] " of line " L[j]) }
      mate[i] = j; mate[j] = i
    }
  }
  return ok
}

# One pass over the tokens: declarations (functions with their parameters,
# variables, enumerators), calls with their arguments, the other names as
# uses, and statements that run into the next line without a ";".
function walk(   i, t, p) {
  for (i = 1; i <= n; i++) {
    t = T[i]
    if (F[i] != F[i - 1]) { depth = parens = scope = declaring = 0; block[0] = "code"; p = "" } else p = T[i - 1]
    if (F[i] == 1 && p != "" && !parens && block[depth] == "code" && ends_value(i - 1) &&
        (t == "}" || (L[i] > L[i - 1] && t ~ /^[A-Za-z0-9_"']/)))
      problem(L[i - 1], "the statement does not end with ;")
    if (t == "{") {
      kind = p == "=" || p == "," || (p == "{" && block[depth] == "list") ? "list" : T[i - 2] == "enum" ? "enum" : "code"
      block[++depth] = kind; declaring = 0
    } else if (t == "}") { if (depth) depth--; if (!depth) scope = 0; declaring = 0 }
    else if (t == "(" || t == "[") parens++
    else if (t == ")" || t == "]") { if (parens) parens-- }
    else if (t == ";") { declaring = 0; if (!depth) scope = 0 }
    else if (t ~ /^(while|do|for)$/ && F[i] == 1 && depth && (fname[scope] in handler) && (t != "for" || endless(i)))
      problem(L[i], "a " t " loop in " fname[scope] ": a handler that loops until something happens holds the program's thread (an indicator's, every indicator of its symbol); let the next event look again")
    else if (t ~ /^[A-Za-z_]/) name_at(i, t, p)
  }
}

function name_at(i, t, p,   where) {
  if (F[i] == 1 && !input_line && (t == "input" || t == "sinput")) input_line = L[i]
  if ((t in keyword) || (t in type) || p ~ /^(\.|->|::)$/) return
  if (t == "group" && p == "input") return   # input group "Caption"
  if (block[depth] == "enum" && !parens && (p == "{" || p == ",")) { defined[t] = 1; return }
  if ((p in type) || (p ~ /^[&*]$/ && (T[i - 2] in type)) || (declaring && p == "," && parens == declaring_parens)) {
    declare(i, t, (p in type) ? p : (T[i - 2] in type) ? T[i - 2] : declaring_type)
    return
  }
  if (T[i + 1] ~ /^([-+*\/%&|^]?=|\+\+|--)$/ || p ~ /^(\+\+|--)$/ ||
      (T[i + 1] == "[" && mate[i + 1] && T[mate[i + 1] + 1] ~ /^([-+*\/%&|^]?=|\+\+|--)$/)) {
    where = lookup(t, scope)
    assigned[where < 0 ? scope : where, t] = 1
    if (F[i] == 1 && where >= 0 && vconst[where, t])
      problem(L[i], t " is const (or an input): it cannot be changed")
  }
  if (T[i + 1] == "(") call(i)
  if (F[i] == 1) { use_name[++uses] = t; use_line[uses] = L[i] }
}

# A value can end here: a name, number or literal, a closing bracket other
# than that of if(...), for(...), while(...) or switch(...), or x++.
function ends_value(j,   t) {
  t = T[j]
  if (t == ")") return !(T[mate[j] - 1] in control)
  if (t == "++" || t == "--") return ends_value(j - 1)
  if (T[j - 1] == "group" && T[j - 2] == "input") return 0
  return t == "]" || t ~ /^([0-9"']|\.[0-9])/ || (t ~ /^[A-Za-z_]/ && !(t in keyword) && !(t in type))
}

function declare(i, t, base,   key, j) {
  defined[t] = 1
  if (T[i + 1] == "(" && !depth) { scope = ++functions; fname[scope] = t; fat[t] = i; fsc[t] = scope; signature(i); return }
  # const (or input, which the program cannot change either) before the
  # type; a name after a comma is declared like the one before it.
  j = i - 1; if (T[j] ~ /^[&*]$/) j--; if (T[j] in type) j--
  declaring_const = T[i - 1] == "," ? declaring_const : T[j] ~ /^(const|input|sinput)$/
  declaring = 1; declaring_parens = parens; declaring_type = base
  key = scope SUBSEP t; vtype[key] = base; vconst[key] = declaring_const
  if (T[i + 1] == "[" && mate[i + 1] > i + 2) { fixed_s[key] = i + 2; fixed_e[key] = mate[i + 1] - 1 }
  if (T[i + 1] == "=" && !parens) {
    for (j = i + 2; j <= n && T[j] !~ /^[,;]$/; j++) if (T[j] ~ /^[({[]$/ && mate[j] > j) j = mate[j]
    init_s[key] = i + 2; init_e[key] = j - 1
  }
}

# The parameters of the function declared at i: how many arguments it takes
# (at least up to its first default value), and for an import whether it
# writes into an array of count slots of size bytes: an array of a type with
# a width, followed by two integer parameters.
function signature(i,   name, open, shut, j, count, start, least_here, arr, ints, k) {
  if (IMP[i]) imported[T[i]] = 1
  name = T[i]; open = i + 1; shut = mate[open]; least_here = -1; count = 0
  if (!shut) return
  if (shut > open + 1 && !(shut == open + 2 && T[open + 1] == "void")) {
    count = 1; start = open + 1
    for (j = open + 1; j <= shut; j++) {
      if (j < shut && T[j] ~ /^[({]$/ && mate[j] > j) j = mate[j]
      if (j == shut || T[j] == ",") {
        parameter(start, j - 1)
        if (has_default && least_here < 0) least_here = count - 1
        arr[count] = is_array ? param_type : ""; ints[count] = !is_array && (param_type in integer)
        parr[name, count] = is_array; pint[name, count] = ints[count]; pname[name, count] = param_name
        pref[name, count] = is_ref && !is_const
        if (j < shut) { count++; start = j + 1 }
      }
    }
  }
  if (least_here < 0) least_here = count
  if (name in kit_most) {
    if (least_here < kit_least[name]) kit_least[name] = least_here
    if (count > kit_most[name]) kit_most[name] = count
  } else { kit_least[name] = least_here; kit_most[name] = count; kit_where[name] = "line " L[i] " of " path[F[i]] }
  if (IMP[i]) {
    for (k = 1; k + 2 <= count; k++) if (arr[k] in width && ints[k + 1] && ints[k + 2]) slots[name] = k
    if (count >= 2 && (arr[count - 1] in width) && ints[count] && !(name in slots)) capacity[name] = count - 1
  }
  # A function of the kit that reads an array from an offset: an array
  # parameter followed by one named start or offset.
  for (k = 1; k < count; k++) if (arr[k] != "" && pname[name, k + 1] ~ /^(start|offset)$/) offset_at[name] = k
}

function parameter(s, e,   j) {
  has_default = is_array = is_ref = is_const = 0; param_type = param_name = ""
  for (j = s; j <= e; j++) {
    if (T[j] == "=") { has_default = 1; break }
    if (T[j] == "[") is_array = 1
    if (T[j] == "&") is_ref = 1
    if (T[j] == "const") is_const = 1
    if ((T[j] in type) && param_type == "") param_type = T[j]
    else if (T[j] ~ /^[A-Za-z_]/ && !(T[j] in keyword)) param_name = T[j]
  }
}

# A call of the name at i: its scope and the token span of each argument.
function call(i,   c, open, shut, j, k) {
  open = i + 1; shut = mate[open]
  if (!shut) return
  c = ++calls; at[c] = i; in_scope[c] = scope; k = 0
  if (shut > open + 1) {
    k = 1; arg_s[c, 1] = open + 1
    for (j = open + 1; j < shut; j++) {
      if (T[j] ~ /^[({[]$/ && mate[j] > j) { j = mate[j]; continue }
      if (T[j] == ",") { arg_e[c, k] = j - 1; arg_s[c, ++k] = j + 1 }
    }
    arg_e[c, k] = shut - 1
  }
  argc[c] = k
}

function arity(c,   name, lo, hi, where) {
  name = T[at[c]]
  if (name in kit_most) { lo = kit_least[name]; hi = kit_most[name]; where = " (declared on " kit_where[name] ")" }
  else if (name in most) { lo = least[name]; hi = most[name]; where = "" }
  else return
  if (argc[c] < lo || argc[c] > hi)
    problem(L[at[c]], name " takes " (lo == hi ? lo : lo " to " hi) " argument(s), not " argc[c] where)
}

# An example script may delete, clear or move only what it made: one that
# calls a function doing so must ask ExampleNewPart (SedgefoldExamples.mqh)
# which part of its names is new, or it may destroy a folder of the user's.
function examples_make_their_own(   c, name, first, asks) {
  for (c = 1; c <= calls; c++) {
    if (F[at[c]] != 1) continue
    name = T[at[c]]
    if (name == "ExampleNewPart") asks = 1
    else if (!first && name ~ /^(Sedgefold(Delete|Clear|ClearFiles|Move)|Path(Delete|ClearContents|ClearFromFiles|Move)[AW])$/) first = c
  }
  if (first && !asks)
    problem(L[at[first]], T[at[first]] " in a script that never asks ExampleNewPart which of its names are new: an example may delete, clear or move only what it made")
}

# StringToCharArray and CharArrayToString take the code page last: a
# number there ties the kit to one system's ANSI code page.
function codepage(c,   name, k, v) {
  name = T[at[c]]
  k = name == "StringToCharArray" ? 5 : name == "CharArrayToString" ? 4 : 0
  if (!k || argc[c] < k) return
  v = value(text(arg_s[c, k], arg_e[c, k]), in_scope[c])
  if (v != "" && !unknowns())
    problem(L[at[c]], name ": the code page is given as the number " v "; name it with CP_ACP or another CP_ constant")
}

# An array handed to an imported function: the library cannot see its
# length, so it must have been sized before the call, in the same function
# (ArrayResize, a fixed size, a built-in tagged "s" in mql5-builtins.txt,
# or a function of the kit that takes it by reference), unless the integer
# after it, a count or a capacity, is 0. For count slots of size bytes the
# array, as last resized, must hold count * size bytes (a ushort array of
# twice that says the size was given in characters), a plain number of
# bytes must hold any name, and the slots must be read size / width
# elements apart; a capacity must not pass the array's length. Sizes that
# depend on values the check cannot see (parameters) are compared only when
# both sides depend on the same ones.
function buffer(c,   name, k, array, sc, key, r, length_at, v) {
  name = T[at[c]]
  if (!(name in imported)) return
  for (k = 1; k <= argc[c]; k++) {
    if (!parr[name, k]) continue
    array = T[arg_s[c, k]]
    if (arg_e[c, k] != arg_s[c, k] || (sc = lookup(array, in_scope[c])) < 0) continue
    key = sc SUBSEP array
    if (pint[name, k + 1] && k < argc[c]) {
      v = value(text(arg_s[c, k + 1], arg_e[c, k + 1]), in_scope[c])
      if (v != "" && !unknowns() && v == 0) continue   # nothing is written
    }
    r = last_sizing(c, array)
    if (r && T[at[r]] == "ArrayFree") {
      problem(L[at[c]], name ": " array " is handed to the library right after ArrayFree emptied it: the library writes past its end")
      continue
    }
    if (!r && !(key in fixed_s)) {
      problem(L[at[c]], name ": " array " is handed to the library without being sized first in this function (ArrayResize): the library cannot see its length and writes past its end")
      continue
    }
    length_at = !r ? fixed_s[key] SUBSEP fixed_e[key] : T[at[r]] == "ArrayResize" ? arg_s[r, 2] SUBSEP arg_e[r, 2] : ""
    if (slots[name] == k && argc[c] >= k + 2) slot_sizes(c, k, array, key, length_at)
    else if (capacity[name] == k && argc[c] >= k + 1 && length_at != "") capacity_check(c, k, array, length_at)
  }
}

# The last call before c, in the same function, that sizes or empties the
# array: ArrayResize, ArrayFree, a built-in tagged "s" or "e" for it, or a
# function of the kit (not an import) taking it by reference; 0 for none.
function last_sizing(c, array,   r, k, name) {
  for (r = c - 1; r >= 1; r--) {
    if (in_scope[r] != in_scope[c]) continue
    name = T[at[r]]
    for (k = 1; k <= argc[r]; k++)
      if (arg_s[r, k] == arg_e[r, k] && T[arg_s[r, k]] == array &&
          (((name, k) in tag && tag[name, k] ~ /^[se]$/) || ((name in kit_most) && !(name in imported) && pref[name, k] && parr[name, k])))
        return r
  }
  return 0
}

function slot_sizes(c, k, array, key, length_at,   name, w, span, count_text, size_text, size, bytes, need, u) {
  name = T[at[c]]; w = width[vtype[key]]
  count_text = text(arg_s[c, k + 1], arg_e[c, k + 1]); size_text = text(arg_s[c, k + 2], arg_e[c, k + 2])
  size = value(size_text, in_scope[c])
  if (size != "" && !unknowns()) {
    if ((w in any_name_bytes) && size < any_name_bytes[w])
      problem(L[at[c]], name ": a slot of " size " bytes cannot hold every name; " any_name_bytes[w] " bytes can" \
        (w == 1 ? " (259 characters of up to 3 bytes under a UTF-8 ANSI code page, and the zero)" : " (260 characters)"))
    if (w) slot_reads(c, array, size / w)
  }
  if (length_at == "" || !w) return
  split(length_at, span, SUBSEP)
  bytes = value(text(span[1], span[2]), in_scope[c]); split("", seen_before); for (u in seen) seen_before[u] = 1
  need = value("(" count_text ") * (" size_text ")", in_scope[c])
  if (bytes == "" || need == "" || !same_unknowns()) return
  bytes *= w
  if (bytes < need)
    problem(L[at[c]], name ": the buffer is too small: " array " holds " shown(span[1], span[2]) " " vtype[key] " of " w " byte(s), fewer bytes than the " \
      shown(arg_s[c, k + 1], arg_e[c, k + 1]) " slots of " shown(arg_s[c, k + 2], arg_e[c, k + 2]) " bytes written into it")
  else if (w > 1 && bytes == w * need)
    problem(L[at[c]], name ": the slot size " shown(arg_s[c, k + 2], arg_e[c, k + 2]) " looks given in characters: " array \
      " holds " w " times count * size bytes, and the size is in bytes")
}

# Reads of the slots after the listing c, in the same function: a built-in
# whose argument is tagged "o" (an offset into the array before it), or a
# function of the kit with an offset parameter (offset_at). As the index
# grows by one, the offset must grow by step, the slot's size in elements.
function slot_reads(c, array, step,   r, name, k, stride) {
  for (r = c + 1; r <= calls; r++) {
    if (in_scope[r] != in_scope[c]) continue
    name = T[at[r]]
    k = (name, 2) in tag && tag[name, 2] == "o" ? 1 : (name in offset_at) ? offset_at[name] : 0
    if (!k || argc[r] < k + 1 || arg_s[r, k] != arg_e[r, k] || T[arg_s[r, k]] != array) continue
    stride = stride_of(text(arg_s[r, k + 1], arg_e[r, k + 1]), in_scope[r])
    if (stride != "" && stride != step)
      problem(L[at[r]], name ": slot i of " array " is read at " shown(arg_s[r, k + 1], arg_e[r, k + 1]) ", " stride \
        " elements a slot, but the slots are " step " elements apart (the slot size in bytes over " width[vtype[lookup(array, in_scope[r]), array]] \
        "): an offset into an array counts elements, not bytes")
  }
}

# How much the value of s grows when the one unknown it grows with (an
# index) grows by one; "" when that cannot be told.
function stride_of(s, sc,   v0, v1, u, names, found) {
  v0 = value(s, sc)
  if (v0 == "") return ""
  split("", names); for (u in seen) names[u] = 1
  found = ""
  for (u in names) {
    bump[u] = 1; v1 = value(s, sc); delete bump[u]
    if (v1 == "") return ""
    if (v1 != v0) { if (found != "") return ""; found = v1 - v0 }
  }
  return found
}

function capacity_check(c, k, array, length_at,   span, have, capacity_v, u) {
  split(length_at, span, SUBSEP)
  have = value(text(span[1], span[2]), in_scope[c]); split("", seen_before); for (u in seen) seen_before[u] = 1
  capacity_v = value(text(arg_s[c, k + 1], arg_e[c, k + 1]), in_scope[c])
  if (have == "" || capacity_v == "" || !same_unknowns()) return
  if (capacity_v > have)
    problem(L[at[c]], T[at[c]] ": a capacity of " shown(arg_s[c, k + 1], arg_e[c, k + 1]) " elements, but " array " holds " \
      shown(span[1], span[2]) ": the library writes up to the capacity it is given")
}

# A const variable (or an input) handed where the callee writes: a
# built-in tagged "w", "s" or "e" there, or a reference parameter that is
# not const.
function constness(c,   name, k, s, var, where) {
  name = T[at[c]]
  for (k = 1; k <= argc[c]; k++) {
    s = arg_s[c, k]; var = T[s]
    if (!(arg_e[c, k] == s || (T[s + 1] == "[" && mate[s + 1] == arg_e[c, k]))) continue
    if ((where = lookup(var, in_scope[c])) < 0 || !vconst[where, var]) continue
    if (((name, k) in tag && tag[name, k] ~ /^[wse]$/) || ((name in kit_most) && pref[name, k]))
      problem(L[at[c]], name " changes its argument " k ", but " var " is const (or an input)")
  }
}

# Sleep in an event handler holds the program's thread like a loop does.
function waits(c) {
  if (T[at[c]] == "Sleep" && (fname[in_scope[c]] in handler))
    problem(L[at[c]], "Sleep in " fname[in_scope[c]] ": a handler that waits holds the program's thread (an indicator's, every indicator of its symbol)")
}

# Whether the for at i has no condition: for(...;;...).
function endless(i,   j) {
  if (T[i + 1] != "(" || !mate[i + 1]) return 0
  for (j = i + 2; j < mate[i + 1] && T[j] != ";"; j++) if (T[j] ~ /^[({[]$/ && mate[j] > j) j = mate[j]
  return T[j] == ";" && T[j + 1] == ";"
}

# A program nobody watches must not bring the boxes back: a box stops its
# thread until someone clicks.
function boxes(c,   name, a, v) {
  name = T[at[c]]
  if (program !~ /^(expert|indicator|service)$/ || argc[c] < 1 || name !~ /^Sedgefold(Quiet|ReportMode)$/) return
  a = text(arg_s[c, 1], arg_e[c, 1]); v = value(a, in_scope[c])
  if (name == "SedgefoldQuiet" ? a == " false" || (v != "" && !unknowns() && v == 0) : v != "" && !unknowns() && v == 0)
    problem(L[at[c]], shown(at[c], mate[at[c] + 1]) " in an " program ": a failure box would stop its thread until someone clicks; such a program runs quiet")
}

# StringSplit takes its separator as one ushort character (a backslash is '\\'), never a
# string.
function separator(c,   a, where) {
  if (T[at[c]] != "StringSplit" || argc[c] < 2) return
  a = T[arg_s[c, 2]]
  if (a ~ /^"/ || (arg_s[c, 2] == arg_e[c, 2] && (where = lookup(a, in_scope[c])) >= 0 && vtype[where, a] == "string"))
    problem(L[at[c]], "StringSplit: the separator is given as a string; it takes one ushort character, such as '\\\\'")
}

# An example may delete, clear or move only what it made inside its folder,
# never the folder itself nor the sandbox: the first argument, read through
# variables set once and functions that only return a value, must not be
# the examples' folder (SedgefoldSandboxPath(SEDGEFOLD_EXAMPLES_DIR)) or
# the sandbox (SedgefoldSandboxRoot()).
function examples_root(c,   name, t) {
  name = T[at[c]]
  if (name !~ DESTROYS || argc[c] < 1) return
  t = resolved(arg_s[c, 1], arg_e[c, 1], in_scope[c], 0)
  if (t ~ /^ SedgefoldSandboxRoot \(/ || t ~ /^ SedgefoldSandboxPath \( SEDGEFOLD_EXAMPLES_DIR ( , [^()]*)?\)$/)
    problem(L[at[c]], name "(" shown(arg_s[c, 1], arg_e[c, 1]) ") acts on the examples' folder itself (or the whole sandbox): an example may delete, clear or move only what it made inside it")
}

function resolved(s, e, sc, level,   t, where, key) {
  t = T[s]
  if (level > 8) return text(s, e)
  if (s == e && (where = lookup(t, sc)) >= 0 && (where, t) in init_s && !((where, t) in assigned)) {
    key = where SUBSEP t
    return resolved(init_s[key], init_e[key], where, level + 1)
  }
  if (e == s + 2 && T[s + 1] == "(" && T[e] == ")" && (t in ret_s))
    return resolved(ret_s[t], ret_e[t], ret_sc[t], level + 1)
  return text(s, e)
}

# The functions whose body is one return statement: what they return.
function returns(   f, o, b, j) {
  for (f in fat) {
    o = fat[f] + 1
    if (!mate[o]) continue
    b = mate[o] + 1
    if (T[b] != "{" || T[b + 1] != "return") continue
    for (j = b + 2; j < mate[b] && T[j] != ";"; j++) if (T[j] ~ /^[({[]$/ && mate[j] > j) j = mate[j]
    if (T[j] == ";" && j + 1 == mate[b] && j > b + 2) { ret_s[f] = b + 2; ret_e[f] = j - 1; ret_sc[f] = fsc[f] }
  }
}

function text(s, e,   j, out) { for (j = s; j <= e; j++) out = out " " T[j]; return out }
# The same, as it reads in a message.
function shown(s, e,   out) {
  out = text(s, e); sub(/^ /, "", out)
  gsub(/\( /, "(", out); gsub(/ \)/, ")", out); gsub(/ \]/, "]", out); gsub(/ ,/, ",", out); gsub(/ \[/, "[", out)
  while (match(out, /[A-Za-z0-9_] \(/)) out = substr(out, 1, RSTART) substr(out, RSTART + 2)
  return out
}

# The scope in which name is a variable: the function's own, else the
# file level (0); -1 when it is no variable.
function lookup(name, sc) { return (sc, name) in vtype ? sc : (0, name) in vtype ? 0 : -1 }

# The value of an integer expression, "" when it is not arithmetic. Macros
# and variables whose initial value is never changed are read through; any
# other name or call stands for an unknown, given a large value of its own
# and remembered in seen[].
function value(s, sc,   v) {
  split("", seen); evaluable = 1
  ex_n = lex(expand(s, sc, 0), EX); ex_p = 1
  v = sum()
  return evaluable && ex_p > ex_n ? v : ""
}

function expand(s, sc, level,   tok, m, j, t, out, key, nest, where) {
  if (level > 16) { evaluable = 0; return "0" }
  m = lex(s, tok)
  for (j = 1; j <= m; j++) {
    t = tok[j]
    if (t !~ /^[A-Za-z_]/ || t in type) out = out " " t
    else if (tok[j + 1] == "(") {   # a call, named by its text
      for (nest = 0; j < m; ) {
        t = t tok[++j]
        if (tok[j] == "(") nest++
        else if (tok[j] == ")" && !--nest) break
      }
      out = out " " unknown(t)
    } else if (t in macro) out = out " ( " expand(macro[t], 0, level + 1) " )"
    else if ((where = lookup(t, sc)) >= 0 && (where, t) in init_s && !((where, t) in assigned)) {
      key = where SUBSEP t
      out = out " ( " expand(text(init_s[key], init_e[key]), where, level + 1) " )"
    } else out = out " " unknown(t)
  }
  return out
}

function unknown(name) {
  seen[name] = 1
  if (!(name in stand_in)) stand_in[name] = 1000003 + 7919 * ++stand_ins
  return stand_in[name] + (name in bump)
}
function unknowns(   k) { for (k in seen) return 1; return 0 }
function same_unknowns(   k) {
  for (k in seen) if (!(k in seen_before)) return 0
  for (k in seen_before) if (!(k in seen)) return 0
  return 1
}

function sum(   v) {
  v = product()
  while (EX[ex_p] == "+" || EX[ex_p] == "-") v = EX[ex_p++] == "+" ? v + product() : v - product()
  return v
}
function product(   v, op, r) {
  v = unary()
  while (EX[ex_p] ~ /^[*\/%]$/) {
    op = EX[ex_p++]; r = unary()
    if (op == "*") v *= r
    else if (!r) evaluable = 0
    else v = op == "/" ? int(v / r) : v % r
  }
  return v
}
function unary(   v) {
  if (ex_p > ex_n) { evaluable = 0; return 0 }
  v = EX[ex_p++]
  if (v == "-") return -unary()
  if (v == "+") return unary()
  if (v == "(" && (EX[ex_p] in type) && EX[ex_p + 1] == ")") { ex_p += 2; return unary() }   # a cast
  if (v == "(") { v = sum(); if (EX[ex_p++] != ")") evaluable = 0; return v }
  sub(/[uUlL]+$/, "", v)
  if (v !~ /^[0-9]+$/) evaluable = 0
  return v + 0
}
