//+------------------------------------------------------------------+
//|                                                    Sedgefold.mqh |
//|                 Directory operations for MQL5 from Sedgefold.dll |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
//
// Put Sedgefold.dll into <data folder>\MQL5\Libraries, this file into
// <data folder>\MQL5\Include, and allow DLL imports for the program that
// includes it. This file is written for Sedgefold.dll 1.2.0
// (SEDGEFOLD_KIT_VERSION below). Within a major version the library keeps
// every export and what it answers, so the helpers take any Sedgefold.dll
// of major version 1 from 1.2.0 on, and refuse an older one or one of
// another major version: a program built with this file keeps working
// after the library is upgraded.
//
// Every function of the #import block returns a plain value and never
// throws into the terminal. A Path function that fails answers 0 (0 as the
// address for the PathTrimNameFile pair) and keeps the reason as the
// calling thread's last report (SedgefoldLastReportW). Most failures show
// it in a message box captioned "Sedgefold.dll" too, which waits for a click
// and blocks its program until it is closed; a thread set quiet
// (SedgefoldReportMode) shows no box. So after any Path call an empty last
// report means that the call did not fail: a 0 of PathCheck or PathIsEmpty
// is then a plain "no", and a listing of 0 names listed nothing. A report
// means that the call failed.
//
// The helpers below the #import block (SedgefoldIsDir, SedgefoldList, ...):
//  - set the report mode on every call: quiet in experts, indicators and
//    services and in the Strategy Tester (its agents run the program in a
//    process whose boxes nobody can see or close, so a box there would make
//    the test or optimization wait for ever), boxes in scripts;
//    SedgefoldQuiet() chooses for the program;
//  - refuse, before any call of the library, a path that is empty, not a
//    full path, or that could name more or other than it spells: a wildcard
//    (* or ?), a name Windows keeps for a device (con, nul.txt, com1,
//    conin$, lpt², ...), a name of dots only, a name ending in a dot or a
//    blank. Only SedgefoldList takes a pattern (in the last name of its
//    path): every other helper takes names. The helpers that delete,
//    clear, copy or move also refuse a path ending in a backslash, which
//    folder + "\\" + name makes of an empty name;
//  - refuse to delete, clear, copy or move in the Strategy Tester, where
//    they would act on real folders on simulated time (and in an
//    optimization from every local agent at once), unless the program
//    calls SedgefoldAllowInTester() with its own name. That guard is the
//    helpers' alone: SedgefoldCreate, SedgefoldLink and the imports called
//    directly (PathDeleteW, PathCopyW, ...) act in the tester as anywhere;
//  - copy and move without replacing anything unless asked: SedgefoldCopy
//    and SedgefoldMove refuse when an entry stands where the copy or move
//    would land, unless their flags hold FILE_REWRITE, as MQL5's own
//    FileCopy and FileMove do;
//  - call the library only when the program may: with DLL imports not
//    allowed (MQLInfoInteger(MQL_DLLS_ALLOWED) == 0), where the terminal
//    would stop the program at its first call, and with a Sedgefold.dll of
//    a version they do not take, every helper fails instead, said once in
//    the journal (SedgefoldCheckVersion());
//  - on a failure, the library's or their own refusal, answer false, -1 or
//    "", set the program's last error to SEDGEFOLD_ERROR, and print the
//    reason to the Experts journal once while it lasts: the same failure of
//    the same helper on the same path is not printed again, and how many
//    times it failed in a row is printed when it clears or changes.
//    SedgefoldLastFailure() keeps the text of the last failure for programs
//    that log for themselves. After a helper answered false, 0 or "",
//    GetLastError() == SEDGEFOLD_ERROR tells a failure from a plain "no".
//
// Inside the terminal's sandbox (MQL5\Files, the common folder) the
// terminal's own FolderCreate (parents too), FolderDelete, FolderClean,
// FileFindFirst, FileCopy and FileMove need no DLL permission and work on
// remote testing agents too, where no DLL may run; use the library for
// folders outside the sandbox, for whole trees and for links. The library
// takes full paths only: SedgefoldSandboxPath() below makes one for a
// sandbox folder.
//
// Every operation comes twice:
//   ...W takes MQL5 strings as they are (UTF-16);
//   ...A takes narrow text in the system ANSI code page, in a uchar array
//        closed by a zero byte: fill it with SedgefoldToAnsi() below.
// Prefer the W forms. StringToCharArray(..., CP_ACP) silently turns every
// character that the code page cannot spell into "?", which the copy, move
// and delete functions read as a wildcard; SedgefoldToAnsi() refuses such
// text instead.
//
// A call of the library runs on the calling program's thread until it is
// done: a long copy holds an expert's OnTimer and OnTick that long, and all
// indicators of a symbol share one thread. Do long work in a service (see
// Services\Sedgefold\SedgefoldBackupFolder.mq5) and no file work in
// indicators. A call cannot be cut short, and the terminal ends a program
// still running 3 s after IsStopped() turned true (the MQL5 reference), in
// the middle of a call if need be: give a long copy a name that tells a
// cut one (the service's .partial). The library serialises nothing: calls
// from several programs on the same folders at once see each other's
// changes half done.
//
// No #property here: the compiler ignores properties of included files;
// they belong in the program's own .mq5 file.
//+------------------------------------------------------------------+

#ifndef SEDGEFOLD_MQH
#define SEDGEFOLD_MQH

#import "Sedgefold.dll"
//--- Questions about a path. No box (an A form whose text cannot be
//--- converted shows one). 0 with an empty last report is a plain "no".

// 1 when path names an existing directory (one trailing backslash allowed);
// 0 for a file or a missing path, and 0 with a report for a failure.
int   PathCheckW(string path);
int   PathCheckA(uchar &path[]);

// 1 when path names an existing directory holding no entry at all; 0 for
// a directory with entries, a file or a missing path, and 0 with a report
// for a failure.
int   PathIsEmptyW(string path);
int   PathIsEmptyA(uchar &path[]);

//--- Creating and removing. Deletions are final: nothing goes to the
//--- recycle bin, and nothing asks for confirmation. Every 0 below keeps a
//--- report; "Box" names the failures that also show one (on a thread that
//--- is not quiet), before anything is touched. The deleting, clearing,
//--- copying and moving functions take full paths only ("C:\..." or
//--- "\\server\share\..."); they refuse any other path and a drive or share
//--- root as what is deleted, cleared or moved ("Путь задан не полностью",
//--- "Операция над корневым каталогом запрещена"), a path with a name the
//--- system and the shell read differently ("...", "x.", "x "), a tree
//--- holding an entry the shell cannot address exactly or a path of 260
//--- characters or more (the box names it), a folder level whose listing
//--- ends in an error (the box names the level and the system's error), and
//--- a wildcard one of whose matches matches it only through its 8.3 short
//--- name (*.htm matching report.html as REPO~1.HTM; the box names it).

// Creates the directory together with every missing parent. 1 when it
// exists afterwards (an existing directory counts); 0 when it could not be
// created: a file of that name stands there, or the system refused (the
// report gives its error text). No box.
int   PathCreateW(string path);
int   PathCreateA(uchar &path[]);

// Deletes the directory (or file) with everything in it. 1 when everything
// named is gone; 0 when anything could not be deleted (what was deleted
// stays deleted). Directory links inside are removed as links first: what
// they point to is never entered. A read-only file with other hard links
// keeps its attributes. No box, a report: nothing there (or a pattern
// matching nothing), a path too long for the shell, a failure of the shell
// (its answer and the last error). Box: the refusals above; under Wine a
// link in the tree.
int   PathDeleteW(string path);
int   PathDeleteA(uchar &path[]);

// Removes the directory only when it is empty. 1 when it was removed, and
// also when there is no directory there (a file of that name is left
// alone). No box, a report: the directory still holds entries, or cannot be
// removed. Box: under Wine, a link (it cannot be removed by itself there).
int   PathDeleteEmptyW(string path);
int   PathDeleteEmptyA(uchar &path[]);

// Deletes everything inside the directory and keeps the directory. 1 when
// every entry was removed; 0 when some could not be (the others are still
// removed). A directory link inside is removed as a link, its target never
// entered. Any spelling of an existing folder that PathDeleteW takes is
// taken (t\, t/, \\?\C:\x\.\t). No box, a report: a failure of the shell.
// Box: path is not an existing directory ("... не является каталогом!"; a
// pattern is none), the refusals above, under Wine a link in the tree.
int   PathClearContentsW(string path);
int   PathClearContentsA(uchar &path[]);

// Deletes every file at every depth below the directory and keeps all the
// directories, left empty. 1 when every file was removed, 0 otherwise.
// WARNING: it follows directory links and junctions below the directory and
// deletes the files it finds through them (except a link bearing the name
// of the directory holding it). Never point it at a tree that links to data
// kept elsewhere. No box, a report: a file that could not be removed, a
// level that could not be listed (also written to standard output; the
// rest is cleared). Box: as for PathClearContentsW, and an invalid path.
int   PathClearFromFilesW(string path);
int   PathClearFromFilesA(uchar &path[]);

//--- Two paths: copying, moving, linking. Where the copy or move lands:
//--- at destination, or inside it (destination\<source's last name>) when
//--- destination is an existing folder; each match of a wildcard source
//--- lands inside destination.

// Copies source (a directory with everything in it, or a file; a wildcard
// allowed in its last name) to destination, a name, through the Windows
// shell, silently. What stands where it lands is replaced without asking:
// a file by the source's file, and a folder is merged into (files of the
// same names replaced, the others kept). 1 only when every entry is at
// the destination, files with their sizes; a copy that stops halfway stays
// halfway. No box, a report: a source that is not there or a pattern
// matching nothing, a copy into itself (the report names both paths; by
// identity, so another letter or a link to the same folder counts), a path
// too long for the shell, a failure of the shell, work not seen done. Box:
// the refusals above (a root only as source), a destination holding * or
// ?, a tree holding two names equal but for case (the box names both), a
// link back into the tree, a source entry that vanished while the tree was
// surveyed.
int   PathCopyW(string source, string destination);
int   PathCopyA(uchar &source[], uchar &destination[]);

// Moves source to destination. Called directly, a file standing where an
// entry lands is replaced and a folder there merged into, as a copy and a
// delete of what was copied; SedgefoldMove refuses that without
// FILE_REWRITE, before anything is touched. 1 only when every entry is at
// the destination and the source is gone; nothing is rolled back.
// Create the destination's parent first. Reports and boxes as for
// PathCopyW; and a box for a link, or a tree holding one (moving it would
// move what it leads to).
int   PathMoveW(string source, string destination);
int   PathMoveA(uchar &source[], uchar &destination[]);

// Creates link, a directory symbolic link to the existing target, creating
// the directories above link first. 1 when a link to target is there
// afterwards. No box, a report saying that no link exists: Windows refused
// it (an existing name, or no right to create symbolic links: run as
// administrator or enable Developer Mode) or made nothing (Wine). Box:
// target does not exist ("Отсутсвует исходный путь:"), link is not a valid
// path, or the directory for it cannot be created.
int   PathSymbolicLinkW(string target, string link);
int   PathSymbolicLinkA(uchar &target[], uchar &link[]);

//--- Listing one directory level. pattern is normally a folder, a backslash
//--- and "*"; mode is SEDGEFOLD_DIRS (1), SEDGEFOLD_FILES (2) or
//--- SEDGEFOLD_ALL (3). "." and ".." are never listed; names come in the
//--- order Windows returns them, unsorted. The result is the number of names
//--- written: at most count; 0 with an empty report for a folder with
//--- nothing to list, 0 with a report on failure. Boxes: any other mode
//--- ("Неверно выбран метод поиска."), a pattern that matches nothing, not
//--- even the folder itself ("Не получен системный дескриптор поиска для
//--- пути:"), an invalid folder path, a level whose listing ends in an
//--- error, a name that does not fit its place ("Ошибка копирования."), no
//--- buffer, and a count * size that overflows. A pattern with a wildcard
//--- in its last name (C:\Data\*.csv) that matches no entry is such a
//--- failure, not an empty listing: list "folder\*" and pick the names.

// Into a character buffer of count slots of size BYTES each: name i is
// written at byte offset i * size, closed by a zero. The library takes any
// size, odd ones too; with a ushort buffer only an even size makes every
// slot start on an element (slot i at buffer[i * size / 2], an offset in
// elements), so use an even one. 520 bytes (SEDGEFOLD_NAME_CHARS
// characters) holds any name. The buffer MUST hold at least count * size
// bytes (count * size / 2 elements): the library cannot see its length. A
// name that does not fit its slot zero-fills the slot and shows the box.
ulong PathGetListW(string pattern, int mode, ushort &buffer[], ulong count, ulong size);
// The same with narrow names in the ANSI code page: name i at buffer[i *
// size]; the buffer must hold at least count * size bytes. A name of 259
// characters takes up to 3 bytes a character under a UTF-8 code page:
// SEDGEFOLD_NARROW_SLOT_BYTES (780) holds any name, 520 does not. A
// character the code page cannot spell comes back as "?", which PathDeleteA,
// PathCopyA and PathMoveA read as a wildcard: see
// SedgefoldNarrowNameIsExact() below.
ulong PathGetListA(uchar &pattern[], int mode, uchar &buffer[], ulong count, ulong size);

// PathGetListMW (names into the text buffers of a string array) and
// PathGetListMA (into narrow records) are exported too, but not in this
// block. The MQL5 reference says that string arrays cannot be passed to
// functions imported from a DLL, and it does not document how the terminal
// lays out a string or a string array in memory: both exports rely on a
// layout that no MQL5 document promises. PathGetListMW is declared below
// only for a program that defines SEDGEFOLD_STRING_RECORDS before it
// includes this file and takes that risk; the helpers never use it.
// PathGetListMA has no MQL5 declaration at all: MQL5 has no narrow string
// type, and records filled by hand with addresses would let one wrong
// number crash the terminal. From MQL5 list with PathGetListW (or
// SedgefoldList() below).

//--- Cutting a path, in the caller's buffer.

// Cuts the last name off the path held in the array, in place: one
// trailing backslash is ignored and the text ends after the backslash before
// it (C:\dir\file.txt and C:\dir\sub\ both leave C:\dir\); a path without
// such a backslash is left as it is. The array must be closed by a zero.
// Returns the address of the array's data (not 0), or 0 on failure with the
// array unchanged. Box for an empty path or a lone backslash ("Отсутствует
// путь."). It takes an array, not a string: the library writes into the
// memory it is given, and a string parameter is only a copy.
long  PathTrimNameFileW(ushort &path[]);
long  PathTrimNameFileA(uchar &path[]);

//--- Unattended use: how failures on the calling thread are reported, and
//--- the text of the last report. None of these shows a box or fails.

// 0: in a message box (the default); 1: quietly, no box at all; -1 only
// asks. Returns the mode in force before the call; any other mode changes
// nothing and returns -1. The mode belongs to the terminal's thread that
// calls, not to the program: set it before the calls it is meant for.
int   SedgefoldReportMode(int mode);

// The calling thread's last report: the text its box shows, or would have
// shown. Every Path function empties it as it starts and leaves a reason
// with every 0 (or null) it answers, box or no box, except the plain
// answers: PathCheck and PathIsEmpty answering 0, and a listing of 0 names
// that listed nothing. So after a Path call an empty report (length 0)
// means no failure, a report means that the call failed. Copies at most
// capacity - 1 characters and a zero; returns the report's length whatever
// it copied, so a call with capacity 0 tells how large a buffer to make.
// SedgefoldLastReport() below does both calls.
int   SedgefoldLastReportW(ushort &buffer[], int capacity);
// The same report in the ANSI code page, its length in bytes.
int   SedgefoldLastReportA(uchar &buffer[], int capacity);

// The library's version as one number, MAJOR * 10000 + MINOR * 100 + PATCH
// (1.2.0 is 10200). Never fails, never shows a box, and leaves the last
// report as it is: a program can refuse a library it cannot work with.
int   SedgefoldVersion();
#import

#ifdef SEDGEFOLD_STRING_RECORDS
//--- Relies on the terminal's undocumented layout of strings: a string array
//--- reaching the DLL as records {int capacity; wchar_t *text}, one per
//--- string, whose text buffer the library writes into. The MQL5 reference
//--- forbids string arrays as parameters of DLL imports; a terminal that
//--- lays strings out otherwise lets the library write where it must not.
//--- Names into the strings of names[0 .. count-1]: the array must hold at
//--- least count strings, each owning a buffer with room for any name
//--- (StringInit(names[i], SEDGEFOLD_NAME_CHARS, ' ')); afterwards a string
//--- may go on behind the name's zero (SedgefoldTrimmed() below).
#import "Sedgefold.dll"
ulong PathGetListMW(string pattern, int mode, string &names[], ulong count);
#import
#endif

//+------------------------------------------------------------------+
//| Everyday use: no arrays, no buffer sizes.                        |
//+------------------------------------------------------------------+

// The version of Sedgefold.dll this file is written for, as
// SedgefoldVersion() answers it: MAJOR * 10000 + MINOR * 100 + PATCH. The
// helpers take it and every later version of the same major version.
#define SEDGEFOLD_KIT_VERSION 10200

// Listing modes of the PathGetList family. An enumeration, so that a
// program can offer it as an input: input ENUM_SEDGEFOLD_LIST InpWhat =
// SEDGEFOLD_ALL; shows a drop-down of the three.
enum ENUM_SEDGEFOLD_LIST
  {
   SEDGEFOLD_DIRS  = 1,   // Folders
   SEDGEFOLD_FILES = 2,   // Files
   SEDGEFOLD_ALL   = 3    // Folders and files
  };

// Characters of a listing slot that holds any name with its terminating
// zero: a Windows name has at most 259 characters (WIN32_FIND_DATA holds
// 260 with the zero). A slot of 2 * SEDGEFOLD_NAME_CHARS = 520 bytes for
// PathGetListW.
#define SEDGEFOLD_NAME_CHARS 260
// Bytes of a PathGetListA slot that holds any name with its zero under any
// ANSI code page, UTF-8 (65001) included: a UTF-16 unit takes at most 3
// bytes there (a pair of them 4), so 259 units take at most 777 bytes.
#define SEDGEFOLD_NARROW_SLOT_BYTES (3 * SEDGEFOLD_NAME_CHARS)
// The most names SedgefoldList() lists in one call.
#define SEDGEFOLD_LIST_MOST 1000000

// Modes of SedgefoldReportMode.
#define SEDGEFOLD_REPORT_ASK   -1
#define SEDGEFOLD_REPORT_BOXES  0
#define SEDGEFOLD_REPORT_QUIET  1

// What GetLastError() answers after a helper that failed: the library
// reported a failure, or the helper refused the call
// (SetUserError(SEDGEFOLD_USER_ERROR)); SedgefoldLastFailure() says why.
#define SEDGEFOLD_USER_ERROR 1
#define SEDGEFOLD_ERROR      (ERR_USER_ERROR_FIRST + SEDGEFOLD_USER_ERROR)
// What GetLastError() answers after SedgefoldList() when the folder held
// more names than it was asked for: the listing was cut short.
#define SEDGEFOLD_USER_LIST_CUT 2
#define SEDGEFOLD_LIST_CUT      (ERR_USER_ERROR_FIRST + SEDGEFOLD_USER_LIST_CUT)

// How many failing helper calls are remembered, so that a lasting failure
// is printed once; past that the oldest is forgotten.
#define SEDGEFOLD_FAILURES_KEPT 1024

// Who said a failure, for SedgefoldFail(): the library (its report), the
// helper itself (its refusal), or the helper, which said it once already.
#define SEDGEFOLD_SAID_BY_LIBRARY 0
#define SEDGEFOLD_SAID_BY_KIT     1
#define SEDGEFOLD_SAID_BEFORE     2

// Where SedgefoldMove sets aside the entry it replaces (FILE_REWRITE):
// beside it, under its name and this ending, until the move is done.
#define SEDGEFOLD_SET_ASIDE ".sedgefold-replaced"

// The mode SedgefoldQuiet() chose; SEDGEFOLD_REPORT_ASK until it is called.
int    SedgefoldChosenMode = SEDGEFOLD_REPORT_ASK;
// Whether Sedgefold.dll is a version the helpers take: 0 not asked yet,
// 1 it is, -1 it is not (every helper refuses then).
int    SedgefoldVersionState = 0;
// Said in the journal: DLL imports are not allowed.
bool   SedgefoldDllsRefusalSaid = false;
// Set by SedgefoldAllowInTester() with this program's name.
bool   SedgefoldTesterAllowed = false;
bool   SedgefoldOptimizationAllowed = false;
// The helper being run and its paths: its failures are kept by the helper
// and the first path, and read alike whatever the paths.
string SedgefoldHelper = "";
string SedgefoldFirst = "";
string SedgefoldSecond = "";
// The text of the last failure of a helper; "" after a helper that did not
// fail.
string SedgefoldFailure = "";
// The calls failing now: helper and first path, the call as printed, the
// failure with the call's paths masked, how many times in a row, and in
// which order they began to fail.
string SedgefoldFailingKey[];
string SedgefoldFailingCall[];
string SedgefoldFailingText[];
int    SedgefoldFailingCount[];
long   SedgefoldFailingSince[];
long   SedgefoldFailingBegun = 0;

//+------------------------------------------------------------------+
//| The mode when the program chose none: a box suspends the thread  |
//| that shows it, which is every indicator of the symbol for an     |
//| indicator, and nobody can see or close a box of a testing agent. |
//| Only a script run by hand has someone to click.                  |
//+------------------------------------------------------------------+
int SedgefoldDefaultMode()
  {
   if(MQLInfoInteger(MQL_TESTER) != 0 || MQLInfoInteger(MQL_OPTIMIZATION) != 0)
      return SEDGEFOLD_REPORT_QUIET;
   if(MQLInfoInteger(MQL_PROGRAM_TYPE) == PROGRAM_SCRIPT)
      return SEDGEFOLD_REPORT_BOXES;
   return SEDGEFOLD_REPORT_QUIET;
  }

//+------------------------------------------------------------------+
//| The program's own choice, for every helper call from now on:     |
//| true, no box ever; false, boxes (only for a script someone       |
//| watches). The library's calling thread is set at once too, for   |
//| the imports called directly.                                     |
//+------------------------------------------------------------------+
void SedgefoldQuiet(const bool quiet)
  {
   SedgefoldChosenMode = quiet ? SEDGEFOLD_REPORT_QUIET : SEDGEFOLD_REPORT_BOXES;
   if(MQLInfoInteger(MQL_DLLS_ALLOWED) != 0)
      SedgefoldReportMode(SedgefoldChosenMode);
  }

//+------------------------------------------------------------------+
//| The calling thread's last report (see SedgefoldLastReportW); ""  |
//| when its last Path call reported nothing, and without DLL imports. |
//+------------------------------------------------------------------+
string SedgefoldLastReport()
  {
   if(MQLInfoInteger(MQL_DLLS_ALLOWED) == 0)
      return "";
   ushort none[];
   int length = SedgefoldLastReportW(none, 0);
   if(length <= 0)
      return "";
   ushort buffer[];
   if(ArrayResize(buffer, length + 1) != length + 1)
      return "Sedgefold: no memory for the text of the report";
   int copied = SedgefoldLastReportW(buffer, length + 1);
   return ShortArrayToString(buffer, 0, MathMin(copied, length));
  }

//+------------------------------------------------------------------+
//| The text of the last failure of a helper: the library's report,  |
//| or why the helper refused the call; "" when the last helper did  |
//| not fail. It stays until the next helper call.                   |
//+------------------------------------------------------------------+
string SedgefoldLastFailure()
  {
   return SedgefoldFailure;
  }

//+------------------------------------------------------------------+
//| A version number of SedgefoldVersion() as text: 10200 is 1.2.0.  |
//+------------------------------------------------------------------+
string SedgefoldVersionText(const int version)
  {
   return StringFormat("%d.%d.%d", version / 10000, version / 100 % 100, version % 100);
  }

//+------------------------------------------------------------------+
//| true when the program may call the library: DLL imports are      |
//| allowed for it. Without them the terminal stops a program at its  |
//| first call of a DLL; said once in the journal.                    |
//+------------------------------------------------------------------+
bool SedgefoldDllsAllowed()
  {
   if(MQLInfoInteger(MQL_DLLS_ALLOWED) != 0)
      return true;
   if(!SedgefoldDllsRefusalSaid)
      Print("Sedgefold: DLL imports are not allowed for ", MQLInfoString(MQL_PROGRAM_NAME),
            " (its properties, Dependencies tab, or Tools > Options > Expert Advisors); ",
            "every Sedgefold helper fails until they are.");
   SedgefoldDllsRefusalSaid = true;
   return false;
  }

//+------------------------------------------------------------------+
//| true for a version of Sedgefold.dll the helpers take: of the      |
//| kit's major version, and at least the version it is written for.  |
//+------------------------------------------------------------------+
bool SedgefoldVersionTaken(const int version)
  {
   return version / 10000 == SEDGEFOLD_KIT_VERSION / 10000 && version >= SEDGEFOLD_KIT_VERSION;
  }

//+------------------------------------------------------------------+
//| true when the helpers may call the library: DLL imports allowed,  |
//| and a Sedgefold.dll of a version they take. Asked at the first    |
//| helper call or earlier (call it in OnInit to refuse to start);    |
//| another version is said once in the journal, and every helper     |
//| refuses from then on. A library older than 1.1.0 has no           |
//| SedgefoldVersion: the terminal stops the program at this call,    |
//| and its journal says that SedgefoldVersion cannot be found in     |
//| Sedgefold.dll.                                                    |
//+------------------------------------------------------------------+
bool SedgefoldCheckVersion()
  {
   if(!SedgefoldDllsAllowed())
      return false;
   if(SedgefoldVersionState == 0)
     {
      int found = SedgefoldVersion();
      SedgefoldVersionState = SedgefoldVersionTaken(found) ? 1 : -1;
      if(SedgefoldVersionState < 0)
         Print("Sedgefold.dll is version ", SedgefoldVersionText(found), ", this kit needs ",
               SedgefoldVersionText(SEDGEFOLD_KIT_VERSION), " or a later ", SEDGEFOLD_KIT_VERSION / 10000,
               ".x; install Sedgefold.dll and Sedgefold.mqh of one release (close the terminal first) ",
               "and compile the program again. Every Sedgefold helper fails until then.");
     }
   return SedgefoldVersionState > 0;
  }

//+------------------------------------------------------------------+
//| The program's consent to delete, clear, copy and move in the     |
//| Strategy Tester, given by its own name (MQLInfoString(           |
//| MQL_PROGRAM_NAME), the name of its .mq5 file), so that no        |
//| included code can give it for programs it was not written for.   |
//| In the tester those helpers refuse without it: a test acts on    |
//| real folders on simulated time, and the files a test needs are   |
//| in the agent's own sandbox, not in the terminal's. optimization  |
//| true consents to optimizations too, whose passes run at once on  |
//| every local agent against the same real folders, serialised by   |
//| nothing: give each pass folders of its own. false when program   |
//| is not this program's name (said in the journal).                |
//+------------------------------------------------------------------+
bool SedgefoldAllowInTester(const string program, const bool optimization = false)
  {
   string name = MQLInfoString(MQL_PROGRAM_NAME);
   if(program != name)
     {
      Print("Sedgefold: SedgefoldAllowInTester(\"", program, "\") names another program than ", name,
            ": the helpers that delete, clear, copy or move keep refusing in the Strategy Tester.");
      return false;
     }
   SedgefoldTesterAllowed = true;
   SedgefoldOptimizationAllowed = optimization;
   return true;
  }

//+------------------------------------------------------------------+
//| Why a helper that deletes, clears, copies or moves must not run  |
//| now; "" when it may.                                              |
//+------------------------------------------------------------------+
string SedgefoldTesterProblem()
  {
   string name = MQLInfoString(MQL_PROGRAM_NAME);
   if(MQLInfoInteger(MQL_OPTIMIZATION) != 0 && !SedgefoldOptimizationAllowed)
      return "refused in an optimization: its passes run at once on every local agent, against real " +
             "folders, serialised by nothing; SedgefoldAllowInTester(\"" + name + "\", true) consents";
   if(MQLInfoInteger(MQL_TESTER) != 0 && !SedgefoldTesterAllowed)
      return "refused in the Strategy Tester: the test would change real folders on simulated time; " +
             "SedgefoldAllowInTester(\"" + name + "\") consents";
   return "";
  }

//+------------------------------------------------------------------+
//| true when part, one name of a path, is a name that Windows keeps |
//| for a device, in any case and with any extension: con, prn, aux, |
//| nul, conin$, conout$, com1 to com9 and lpt1 to lpt9, also with   |
//| the superscript digits 1, 2 and 3 (U+00B9, U+00B2, U+00B3):       |
//| nul.txt, "com1 .csv", LPT2.log and COM(superscript 1) all are.    |
//+------------------------------------------------------------------+
bool SedgefoldIsDeviceName(const string part)
  {
   string base = part;
   int dot = StringFind(base, ".");
   if(dot >= 0)
      base = StringSubstr(base, 0, dot);
   StringTrimRight(base);
   StringToLower(base);
   if(base == "con" || base == "prn" || base == "aux" || base == "nul" ||
      base == "conin$" || base == "conout$")
      return true;
   if(StringLen(base) != 4)
      return false;
   string stem = StringSubstr(base, 0, 3);
   ushort digit = StringGetCharacter(base, 3);
   return (stem == "com" || stem == "lpt") &&
          ((digit >= '1' && digit <= '9') || digit == 0x00B9 || digit == 0x00B2 || digit == 0x00B3);
  }

//+------------------------------------------------------------------+
//| "" when part, one name of a path, names one entry exactly, read   |
//| alike by the system and the shell; else what is wrong with it.    |
//| pattern true allows the wildcards * and ? (the last name of a     |
//| listing pattern).                                                 |
//+------------------------------------------------------------------+
string SedgefoldNameProblem(const string part, const bool pattern)
  {
   int length = StringLen(part);
   if(length == 0)
      return "an empty name (two backslashes in a row, or a leading one)";
   bool dots = true;
   for(int i = 0; i < length; i++)
     {
      ushort c = StringGetCharacter(part, i);
      if(c == '*' || c == '?')
        {
         if(!pattern)
            return "a wildcard (* or ?), which may name more entries than one: only SedgefoldList takes a pattern";
        }
      else if(c < 32 || c == ':' || c == '"' || c == '<' || c == '>' || c == '|' || c == '/' || c == '\\')
         return "a character that no Windows name holds (: \" < > | or a control character)";
      if(c != '.')
         dots = false;
     }
   if(dots)
      return "a name of dots only (., .., ...), which the system and the shell read differently";
   ushort last = StringGetCharacter(part, length - 1);
   if(last == '.' || last == ' ')
      return "a name ending in a dot or a blank, which the system drops and the shell keeps";
   if(SedgefoldIsDeviceName(part))
      return "a name Windows keeps for a device (con, nul, com1, lpt1, conin$, ... with any extension)";
   return "";
  }

//+------------------------------------------------------------------+
//| "" when path is one the helpers pass on; else why they refuse it. |
//| full: C:\..., \\server\share\..., either of them behind \\?\     |
//| (\\?\UNC\server\share\...), one trailing backslash allowed; with  |
//| full false a relative path too (for SedgefoldTrimName, which only |
//| cuts text). Every name of it must pass SedgefoldNameProblem, the  |
//| last one as a pattern when pattern is true.                       |
//+------------------------------------------------------------------+
string SedgefoldPathProblem(const string path, const bool pattern, const bool full)
  {
   if(path == "")
      return "an empty path, which names nothing";
   string rest = path;
   StringReplace(rest, "/", "\\");   // the system reads a / as a backslash
   if(StringFind(rest, "\\\\?\\") == 0)
     {
      rest = StringSubstr(rest, 4);
      string unc = StringSubstr(rest, 0, 4);
      StringToUpper(unc);
      if(unc == "UNC\\")
         rest = "\\\\" + StringSubstr(rest, 4);
     }
   int length = StringLen(rest);
   bool rooted = false, share = false;
   ushort drive = 0;
   if(length > 0)
      drive = StringGetCharacter(rest, 0);
   if(length >= 2 && StringGetCharacter(rest, 1) == ':' &&
      ((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z')))
     {
      rooted = length > 2 && StringGetCharacter(rest, 2) == '\\';
      if(!rooted && full)
         return "not a full path: a drive without a backslash (C:) stands for its current folder";
      rest = StringSubstr(rest, rooted ? 3 : 2);
     }
   else if(length > 2 && StringFind(rest, "\\\\") == 0)
     {
      rest = StringSubstr(rest, 2);
      share = true;
     }
   else if(full)
      return "not a full path (C:\\... or \\\\server\\share\\...): the terminal's current folder is not the sandbox";
   length = StringLen(rest);
   if(length > 0 && StringGetCharacter(rest, length - 1) == '\\')
      rest = StringSubstr(rest, 0, length - 1);   // one trailing backslash
   if(rest == "")
      return rooted ? "" : "a path without a name";   // C:\ itself passes
   string parts[];
   int count = StringSplit(rest, '\\', parts);
   if(count <= 0)
      return "a path that cannot be split into names";
   if(share && count < 2)
      return "not a full path: \\\\server\\share names a share by two names";
   for(int i = 0; i < count; i++)
     {
      string problem = SedgefoldNameProblem(parts[i], pattern && i == count - 1);
      if(problem != "")
         return "\"" + parts[i] + "\" is " + problem;
     }
   return "";
  }

//+------------------------------------------------------------------+
//| "" when the paths a helper deletes, clears, copies or moves may   |
//| be handed on; else why not: a trailing backslash there is what    |
//| folder + "\\" + name makes of an empty name, and would name the   |
//| folder itself.                                                    |
//+------------------------------------------------------------------+
string SedgefoldAlteredProblem(const string first, const string second)
  {
   string paths[2];
   paths[0] = first;
   paths[1] = second;
   for(int i = 0; i < 2; i++)
     {
      int length = StringLen(paths[i]);
      if(length == 0)
         continue;
      ushort last = StringGetCharacter(paths[i], length - 1);
      if(last == '\\' || last == '/')
         return "\"" + paths[i] + "\" ends in a backslash, as folder + \"\\\\\" + name does with an empty " +
                "name: it would name the folder itself; give the path without it";
     }
   return "";
  }

//+------------------------------------------------------------------+
//| The call being run, as the journal shows it.                     |
//+------------------------------------------------------------------+
string SedgefoldCallText()
  {
   if(SedgefoldSecond == "")
      return SedgefoldHelper + "(" + SedgefoldFirst + ")";
   return SedgefoldHelper + "(" + SedgefoldFirst + ", " + SedgefoldSecond + ")";
  }

//+------------------------------------------------------------------+
//| The folder holding path (what comes before its last backslash);   |
//| "" for a name right below a root.                                 |
//+------------------------------------------------------------------+
string SedgefoldParentOf(const string path)
  {
   int cut = -1;
   int length = StringLen(path);
   for(int i = 0; i < length; i++)
      if(StringGetCharacter(path, i) == '\\')
         cut = i;
   return cut > 3 ? StringSubstr(path, 0, cut) : "";
  }

//+------------------------------------------------------------------+
//| text with the call's paths, and the folders holding them, masked, |
//| so that the same failure towards another destination (a new       |
//| folder each time, say) reads the same.                            |
//+------------------------------------------------------------------+
string SedgefoldMasked(const string text)
  {
   string found[4], marks[4];
   found[0] = SedgefoldFirst;
   marks[0] = "<first>";
   found[1] = SedgefoldSecond;
   marks[1] = "<second>";
   found[2] = SedgefoldParentOf(SedgefoldFirst);
   marks[2] = "<first's folder>";
   found[3] = SedgefoldParentOf(SedgefoldSecond);
   marks[3] = "<second's folder>";
   string masked = text;
   // The longest first, so that no path is masked inside a longer one.
   for(int pass = 0; pass < 4; pass++)
     {
      int longest = -1;
      for(int i = 0; i < 4; i++)
         if(found[i] != "" && (longest < 0 || StringLen(found[i]) > StringLen(found[longest])))
            longest = i;
      if(longest < 0)
         break;
      StringReplace(masked, found[longest], marks[longest]);
      found[longest] = "";
     }
   return masked;
  }

//+------------------------------------------------------------------+
//| Where the current call's failure is kept; -1 when it is not.     |
//+------------------------------------------------------------------+
int SedgefoldFailingIndex()
  {
   string key = SedgefoldHelper + "|" + SedgefoldFirst;
   int kept = ArraySize(SedgefoldFailingKey);
   for(int i = 0; i < kept; i++)
      if(SedgefoldFailingKey[i] == key)
         return i;
   return -1;
  }

//+------------------------------------------------------------------+
//| Forgets the failure kept at index.                                |
//+------------------------------------------------------------------+
void SedgefoldForgetFailing(const int index)
  {
   int last = ArraySize(SedgefoldFailingKey) - 1;
   SedgefoldFailingKey[index] = SedgefoldFailingKey[last];
   SedgefoldFailingCall[index] = SedgefoldFailingCall[last];
   SedgefoldFailingText[index] = SedgefoldFailingText[last];
   SedgefoldFailingCount[index] = SedgefoldFailingCount[last];
   SedgefoldFailingSince[index] = SedgefoldFailingSince[last];
   ArrayResize(SedgefoldFailingKey, last);
   ArrayResize(SedgefoldFailingCall, last);
   ArrayResize(SedgefoldFailingText, last);
   ArrayResize(SedgefoldFailingCount, last);
   ArrayResize(SedgefoldFailingSince, last);
  }

//+------------------------------------------------------------------+
//| A place for the current call's failure, made free by forgetting   |
//| the oldest when SEDGEFOLD_FAILURES_KEPT are kept; -1 without      |
//| memory.                                                           |
//+------------------------------------------------------------------+
int SedgefoldKeepFailing()
  {
   int kept = ArraySize(SedgefoldFailingKey);
   if(kept >= SEDGEFOLD_FAILURES_KEPT)
     {
      int oldest = 0;
      for(int i = 1; i < kept; i++)
         if(SedgefoldFailingSince[i] < SedgefoldFailingSince[oldest])
            oldest = i;
      SedgefoldForgetFailing(oldest);
      kept--;
     }
   int size = kept + 1;
   if(ArrayResize(SedgefoldFailingKey, size) != size || ArrayResize(SedgefoldFailingCall, size) != size ||
      ArrayResize(SedgefoldFailingText, size) != size || ArrayResize(SedgefoldFailingCount, size) != size ||
      ArrayResize(SedgefoldFailingSince, size) != size)
      return -1;
   SedgefoldFailingKey[kept] = SedgefoldHelper + "|" + SedgefoldFirst;
   SedgefoldFailingCall[kept] = SedgefoldCallText();
   SedgefoldFailingSince[kept] = ++SedgefoldFailingBegun;
   return kept;
  }

//+------------------------------------------------------------------+
//| Says how often the failure kept at index came in a row, when more |
//| than once, ending with what became of it.                         |
//+------------------------------------------------------------------+
void SedgefoldPrintCount(const int index, const string outcome)
  {
   if(SedgefoldFailingCount[index] > 1)
      Print("Sedgefold: ", SedgefoldFailingCall[index], " failed ", SedgefoldFailingCount[index],
            " times in a row; ", outcome);
  }

//+------------------------------------------------------------------+
//| The lines of a report that say what failed: the first names the  |
//| function called; the innermost message is what follows the last  |
//| "Line:" of the report (the Windows error, if any, and the        |
//| message), on one line.                                            |
//+------------------------------------------------------------------+
void SedgefoldPrintReport(const string report)
  {
   string lines[];
   int count = StringSplit(report, '\n', lines);
   if(count <= 0)
      return;
   int last = 0;
   for(int i = 0; i < count; i++)
     {
      if(lines[i] == "")
         continue;
      StringReplace(lines[i], "\r", "");
      StringTrimLeft(lines[i]);
      StringTrimRight(lines[i]);
      if(StringFind(lines[i], "Line: ") == 0)
         last = i;
     }
   string inner = "";
   for(int i = last + 1; i < count; i++)
      if(lines[i] != "")
         inner = inner == "" ? lines[i] : inner + " " + lines[i];
   Print("Sedgefold.dll: ", lines[0]);
   if(inner != "")
      Print("Sedgefold.dll: ", inner);
  }

//+------------------------------------------------------------------+
//| The current call failed for reason, the library's report or the  |
//| helper's refusal: the last error becomes SEDGEFOLD_ERROR, the     |
//| reason SedgefoldLastFailure(), and the journal hears of it once   |
//| while the call keeps failing alike (the same helper, first path   |
//| and reason, the paths masked).                                    |
//+------------------------------------------------------------------+
void SedgefoldFail(const string reason, const int said)
  {
   SedgefoldFailure = reason;
   string masked = SedgefoldMasked(reason);
   int index = SedgefoldFailingIndex();
   if(index >= 0 && SedgefoldFailingText[index] == masked)
      SedgefoldFailingCount[index]++;
   else
     {
      if(index >= 0)
        {
         SedgefoldPrintCount(index, "now it fails otherwise.");
         SedgefoldFailingCall[index] = SedgefoldCallText();
        }
      else
         index = SedgefoldKeepFailing();
      if(index >= 0)
        {
         SedgefoldFailingText[index] = masked;
         SedgefoldFailingCount[index] = 1;
        }
      if(said == SEDGEFOLD_SAID_BY_LIBRARY)
        {
         Print("Sedgefold: ", SedgefoldCallText(), " failed:");
         SedgefoldPrintReport(reason);
        }
      else if(said == SEDGEFOLD_SAID_BY_KIT)
         Print("Sedgefold: ", SedgefoldCallText(), " refused: ", reason);
     }
   SetUserError(SEDGEFOLD_USER_ERROR);
  }

//+------------------------------------------------------------------+
//| The current call did not fail: a failure of the same call before |
//| is over.                                                          |
//+------------------------------------------------------------------+
void SedgefoldSucceeded()
  {
   SedgefoldFailure = "";
   int index = SedgefoldFailingIndex();
   if(index < 0)
      return;
   SedgefoldPrintCount(index, "now it does not.");
   SedgefoldForgetFailing(index);
  }

//+------------------------------------------------------------------+
//| Before each helper's call of the library: the helper and its      |
//| paths named, the last error cleared, the version and the paths    |
//| checked (a second path only for paths == 2), an altering helper   |
//| held back in the tester, and the report mode set on the thread    |
//| the terminal runs the program on now. false, the refusal noted,   |
//| when the library must not be called.                              |
//+------------------------------------------------------------------+
bool SedgefoldReady(const string helper, const string first, const string second, const int paths,
                    const bool alters, const bool pattern, const bool full)
  {
   ResetLastError();
   SedgefoldHelper = helper;
   SedgefoldFirst = first;
   SedgefoldSecond = second;
   if(!SedgefoldCheckVersion())
     {
      SedgefoldFail(MQLInfoInteger(MQL_DLLS_ALLOWED) == 0 ? "DLL imports are not allowed for this program" :
                    "Sedgefold.dll is not " + SedgefoldVersionText(SEDGEFOLD_KIT_VERSION) + " or a later " +
                    IntegerToString(SEDGEFOLD_KIT_VERSION / 10000) + ".x", SEDGEFOLD_SAID_BEFORE);
      return false;
     }
   string problem = SedgefoldPathProblem(first, pattern, full);
   if(problem == "" && paths == 2)
      problem = SedgefoldPathProblem(second, false, full);
   if(problem == "" && alters)
      problem = SedgefoldAlteredProblem(first, paths == 2 ? second : "");
   if(problem == "" && alters)
      problem = SedgefoldTesterProblem();
   if(problem != "")
     {
      SedgefoldFail(problem, SEDGEFOLD_SAID_BY_KIT);
      return false;
     }
   SedgefoldReportMode(SedgefoldChosenMode == SEDGEFOLD_REPORT_ASK ?
                       SedgefoldDefaultMode() : SedgefoldChosenMode);
   return true;
  }

//+------------------------------------------------------------------+
//| After the library answered no: true, and the failure noted, when  |
//| the thread's report says why (or when the function has no plain   |
//| "no" and answered without a report); false for a plain "no".      |
//+------------------------------------------------------------------+
bool SedgefoldReported(const bool plainNo)
  {
   string report = SedgefoldLastReport();
   if(report != "")
      SedgefoldFail(report, SEDGEFOLD_SAID_BY_LIBRARY);
   else if(!plainNo)
      SedgefoldFail("Sedgefold.dll answered 0 and kept no report", SEDGEFOLD_SAID_BY_KIT);
   else
      return false;
   return true;
  }

// The answer of a truth-valued helper, its failure noted. plainNo: the
// function may answer 0 without a failure (PathCheck, PathIsEmpty).
bool SedgefoldAnswer(const bool yes, const bool plainNo)
  {
   if(yes || !SedgefoldReported(plainNo))
      SedgefoldSucceeded();
   return yes;
  }

//+------------------------------------------------------------------+
//| The helpers. Each answers true for yes or done; false for a plain |
//| "no" (GetLastError() != SEDGEFOLD_ERROR) and for a failure, its   |
//| own refusal included (GetLastError() == SEDGEFOLD_ERROR,          |
//| SedgefoldLastFailure() says why). Paths: full paths of names,     |
//| never patterns (SedgefoldPathProblem). The helpers that delete,   |
//| clear, copy or move refuse a path ending in a backslash, and      |
//| refuse in the Strategy Tester unless the program consented        |
//| (SedgefoldAllowInTester).                                         |
//+------------------------------------------------------------------+
bool SedgefoldIsDir(const string path)
  {
   if(!SedgefoldReady("SedgefoldIsDir", path, "", 1, false, false, true))
      return false;
   return SedgefoldAnswer(PathCheckW(path) == 1, true);
  }

bool SedgefoldIsEmptyDir(const string path)
  {
   if(!SedgefoldReady("SedgefoldIsEmptyDir", path, "", 1, false, false, true))
      return false;
   return SedgefoldAnswer(PathIsEmptyW(path) == 1, true);
  }

bool SedgefoldCreate(const string path)
  {
   if(!SedgefoldReady("SedgefoldCreate", path, "", 1, false, false, true))
      return false;
   return SedgefoldAnswer(PathCreateW(path) == 1, false);
  }

bool SedgefoldDelete(const string path)
  {
   if(!SedgefoldReady("SedgefoldDelete", path, "", 1, true, false, true))
      return false;
   return SedgefoldAnswer(PathDeleteW(path) == 1, false);
  }

bool SedgefoldDeleteEmpty(const string path)
  {
   if(!SedgefoldReady("SedgefoldDeleteEmpty", path, "", 1, true, false, true))
      return false;
   return SedgefoldAnswer(PathDeleteEmptyW(path) == 1, false);
  }

bool SedgefoldClear(const string path)
  {
   if(!SedgefoldReady("SedgefoldClear", path, "", 1, true, false, true))
      return false;
   return SedgefoldAnswer(PathClearContentsW(path) == 1, false);
  }

bool SedgefoldClearFiles(const string path)
  {
   if(!SedgefoldReady("SedgefoldClearFiles", path, "", 1, true, false, true))
      return false;
   return SedgefoldAnswer(PathClearFromFilesW(path) == 1, false);
  }

//+------------------------------------------------------------------+
//| Where a copy or move of source to destination lands: inside       |
//| destination (destination\<source's last name>) when destination   |
//| is an existing folder, as the library puts it there; else at      |
//| destination itself.                                               |
//+------------------------------------------------------------------+
string SedgefoldLanding(const string source, const string destination)
  {
   if(PathCheckW(destination) != 1)
      return destination;
   string name = source;
   StringReplace(name, "/", "\\");
   int cut = -1;
   for(int i = StringFind(name, "\\"); i >= 0; i = StringFind(name, "\\", i + 1))
      cut = i;
   return destination + "\\" + StringSubstr(name, cut + 1);
  }

//+------------------------------------------------------------------+
//| true when an entry, a file or a folder, stands at path: asked as  |
//| a listing of that one name, quietly (a name that is not there is  |
//| a failure of the listing, which would show a box).                |
//+------------------------------------------------------------------+
bool SedgefoldTaken(const string path)
  {
   if(PathCheckW(path) == 1)
      return true;
   ushort slot[];
   if(ArrayResize(slot, SEDGEFOLD_NAME_CHARS) != SEDGEFOLD_NAME_CHARS)
      return true;   // what cannot be asked may be there
   int mode = SedgefoldReportMode(SEDGEFOLD_REPORT_QUIET);
   ulong listed = PathGetListW(path, SEDGEFOLD_ALL, slot, 1, SEDGEFOLD_NAME_CHARS * 2);
   SedgefoldReportMode(mode);
   return listed == 1;
  }

//+------------------------------------------------------------------+
//| The refusal of a copy or move that would land on an entry when    |
//| flags do not hold FILE_REWRITE: false, said once.                 |
//+------------------------------------------------------------------+
bool SedgefoldLandingTaken(const string landing)
  {
   SedgefoldFail("\"" + landing + "\" exists, and without FILE_REWRITE in flags nothing there is replaced",
                 SEDGEFOLD_SAID_BY_KIT);
   return false;
  }

//+------------------------------------------------------------------+
//| Copies source (a folder with everything in it, or a file) to      |
//| destination, through PathCopyW. Where an entry stands where the   |
//| copy lands (SedgefoldLanding), it refuses unless flags hold       |
//| FILE_REWRITE; with it, a file there is replaced by the source's,  |
//| and a folder there is merged into: files of the same names are    |
//| replaced, the others kept.                                        |
//+------------------------------------------------------------------+
bool SedgefoldCopy(const string source, const string destination, const int flags = 0)
  {
   if(!SedgefoldReady("SedgefoldCopy", source, destination, 2, true, false, true))
      return false;
   if((flags & FILE_REWRITE) == 0)
     {
      string landing = SedgefoldLanding(source, destination);
      if(SedgefoldTaken(landing))
         return SedgefoldLandingTaken(landing);
     }
   return SedgefoldAnswer(PathCopyW(source, destination) == 1, false);
  }

//+------------------------------------------------------------------+
//| Moves source to destination, through PathMoveW. Where an entry    |
//| stands where the move lands (SedgefoldLanding), it refuses unless |
//| flags hold FILE_REWRITE; with it, that entry, a file or a folder  |
//| with everything in it, is replaced: set aside first (its name and |
//| SEDGEFOLD_SET_ASIDE, beside it), deleted once the move is done,   |
//| and put back when the move fails, so that a destination that is   |
//| the source under another name (a drive letter, a link) loses      |
//| nothing. false, with the move done, when the set-aside entry      |
//| cannot be deleted afterwards: it keeps the set-aside name. The    |
//| library's own move changes nothing where an entry stands.         |
//+------------------------------------------------------------------+
bool SedgefoldMove(const string source, const string destination, const int flags = 0)
  {
   if(!SedgefoldReady("SedgefoldMove", source, destination, 2, true, false, true))
      return false;
   string landing = SedgefoldLanding(source, destination);
   if(!SedgefoldTaken(landing))
      return SedgefoldAnswer(PathMoveW(source, destination) == 1, false);
   if((flags & FILE_REWRITE) == 0)
      return SedgefoldLandingTaken(landing);
   string aside = landing + SEDGEFOLD_SET_ASIDE;
   if(SedgefoldTaken(aside))
     {
      SedgefoldFail("\"" + aside + "\", where the entry to replace is set aside, exists", SEDGEFOLD_SAID_BY_KIT);
      return false;
     }
   if(PathMoveW(landing, aside) != 1)
      return SedgefoldAnswer(false, false);
   if(PathMoveW(source, destination) == 1)
      return SedgefoldAnswer(PathDeleteW(aside) == 1, false);
   string report = SedgefoldLastReport();
   PathMoveW(aside, landing);
   SedgefoldFail(report != "" ? report : "Sedgefold.dll answered 0 and kept no report", SEDGEFOLD_SAID_BY_LIBRARY);
   return false;
  }

bool SedgefoldLink(const string target, const string link)
  {
   if(!SedgefoldReady("SedgefoldLink", target, link, 2, false, false, true))
      return false;
   return SedgefoldAnswer(PathSymbolicLinkW(target, link) == 1, false);
  }

//+------------------------------------------------------------------+
//| The sandbox folder itself: <data folder>\MQL5\Files, or          |
//| <common folder>\Files when common is true; "" when the terminal  |
//| does not tell its folders. In the Strategy Tester the data folder |
//| is the testing agent's own (<data folder>\Tester\Agent-...), so   |
//| this is the agent's sandbox, not the terminal's.                  |
//+------------------------------------------------------------------+
string SedgefoldSandboxRoot(const bool common = false)
  {
   string folder = TerminalInfoString(common ? TERMINAL_COMMONDATA_PATH : TERMINAL_DATA_PATH);
   if(folder == "")
      return "";
   return common ? folder + "\\Files" : folder + "\\MQL5\\Files";
  }

//+------------------------------------------------------------------+
//| The full path of a folder or file in the terminal's sandbox, for |
//| the library, which takes full paths only (a relative path would  |
//| be taken from the terminal's current folder, not the sandbox):   |
//| relative below <data folder>\MQL5\Files, or below the folder     |
//| shared by all terminals, <common folder>\Files (what FILE_COMMON |
//| names for the file functions), when common is true. Backslashes  |
//| or slashes between names, one trailing backslash allowed. ""     |
//| (a failure: GetLastError() == SEDGEFOLD_ERROR, said once in the  |
//| journal) when relative is empty, could lead out of the sandbox   |
//| (a drive, a leading backslash, an empty name, "..") or could name |
//| more or other than it spells (a wildcard, a device name, a name  |
//| of dots only or ending in a dot or a blank): no helper is handed |
//| a path that names more than was meant.                           |
//+------------------------------------------------------------------+
string SedgefoldSandboxPath(const string relative, const bool common = false)
  {
   ResetLastError();
   SedgefoldHelper = "SedgefoldSandboxPath";
   SedgefoldFirst = relative;
   SedgefoldSecond = "";
   string rest = relative;
   StringReplace(rest, "/", "\\");
   int length = StringLen(rest);
   if(length > 0 && StringGetCharacter(rest, length - 1) == '\\')
      rest = StringSubstr(rest, 0, length - 1);   // one trailing backslash
   string problem = "";
   string parts[];
   int count = rest == "" ? 0 : StringSplit(rest, '\\', parts);
   if(count <= 0)
      problem = "an empty name, which would name the sandbox itself";
   for(int i = 0; i < count && problem == ""; i++)
     {
      problem = SedgefoldNameProblem(parts[i], false);
      if(problem != "")
         problem = "\"" + parts[i] + "\" is " + problem;
     }
   string root = SedgefoldSandboxRoot(common);
   if(problem == "" && root == "")
      problem = "the terminal does not tell its data folder";
   if(problem != "")
     {
      SedgefoldFail(problem, SEDGEFOLD_SAID_BY_KIT);
      return "";
     }
   SedgefoldSucceeded();
   return root + "\\" + rest;
  }

//+------------------------------------------------------------------+
//| The characters of chars[start ..] up to the first zero, at most  |
//| limit of them (limit < 0: up to the end of the array).           |
//+------------------------------------------------------------------+
string SedgefoldCharsToString(const ushort &chars[], const int start, const int limit)
  {
   int size = ArraySize(chars);
   int stop = (limit < 0 || start + limit > size) ? size : start + limit;
   int end = start;
   while(end < stop && chars[end] != 0)
      end++;
   if(end == start)
      return "";
   return ShortArrayToString(chars, start, end - start);
  }

//+------------------------------------------------------------------+
//| The text of a string up to its first zero character. A string    |
//| the library wrote into (PathGetListMW) may go on behind the      |
//| name's terminator.                                                |
//+------------------------------------------------------------------+
string SedgefoldTrimmed(const string text)
  {
   int length = StringLen(text);
   int end = 0;
   while(end < length && StringGetCharacter(text, end) != 0)
      end++;
   return end == length ? text : StringSubstr(text, 0, end);
  }

//+------------------------------------------------------------------+
//| Narrow text in the system ANSI code page, closed by a zero byte, |
//| ready for the ...A functions. false when it cannot be made, and  |
//| when the code page cannot spell every character: Windows would   |
//| put "?" in their place, and "?" is a wildcard to PathDeleteA,     |
//| PathCopyA and PathMoveA.                                          |
//+------------------------------------------------------------------+
bool SedgefoldToAnsi(const string text, uchar &ansi[])
  {
   ArrayFree(ansi);
   int copied = StringToCharArray(text, ansi, 0, WHOLE_ARRAY, CP_ACP);
   if(copied < 0)
      return false;
   int size = ArraySize(ansi);
   if(size == 0 || ansi[size - 1] != 0)
     {
      if(ArrayResize(ansi, size + 1) != size + 1)
         return false;
      ansi[size] = 0;
     }
   if(CharArrayToString(ansi, 0, -1, CP_ACP) != text)
     {
      ArrayFree(ansi);
      return false;
     }
   return true;
  }

//+------------------------------------------------------------------+
//| false for a name that an ...A function handed back (a listing of |
//| PathGetListA, read with CharArrayToString(..., CP_ACP)) with a    |
//| character lost on the way: the library puts "?" for a character  |
//| the ANSI code page cannot spell, and no Windows name holds a "?", |
//| so a "?" means a lost character (so does U+FFFD, which a UTF-8   |
//| code page gives for an unpaired surrogate). Such a name is no    |
//| name of the entry; passed to PathDeleteA, PathCopyA or PathMoveA  |
//| it is a pattern that may match other entries. List with          |
//| PathGetListW (SedgefoldList) to get the name itself.             |
//+------------------------------------------------------------------+
bool SedgefoldNarrowNameIsExact(const string name)
  {
   int length = StringLen(name);
   for(int i = 0; i < length; i++)
     {
      ushort c = StringGetCharacter(name, i);
      if(c == '?' || c == 0xFFFD)
         return false;
     }
   return true;
  }

//+------------------------------------------------------------------+
//| The directory part of path, with its final separator:             |
//| C:\dir\file.txt and C:\dir\sub\ give C:\dir\. A slash is a       |
//| separator too, as the system reads it and the other helpers take  |
//| it: C:\dir/file.txt gives C:\dir/, C:/dir/file.txt gives C:/dir/   |
//| (the path is cut where PathTrimNameFileW cuts it with every slash |
//| turned into a backslash). "" when path has no directory part      |
//| (file.txt, sub\, C:\), and on failure (GetLastError() ==          |
//| SEDGEFOLD_ERROR): an empty path, a name the other helpers refuse  |
//| (the last name may be a pattern: it only cuts text, a relative    |
//| path too), or the library's report.                               |
//+------------------------------------------------------------------+
string SedgefoldTrimName(const string path)
  {
   if(!SedgefoldReady("SedgefoldTrimName", path, "", 1, false, true, false))
      return "";
   string turned = path;
   StringReplace(turned, "/", "\\");
   ushort buffer[];
   int length = StringLen(turned);
   if(ArrayResize(buffer, length + 1) != length + 1)
     {
      SedgefoldFail("no memory for the path", SEDGEFOLD_SAID_BY_KIT);
      return "";
     }
   StringToShortArray(turned, buffer, 0, length);
   buffer[length] = 0;
   if(!SedgefoldAnswer(PathTrimNameFileW(buffer) != 0, false))
      return "";
   // The library leaves a path without a directory part as it is; a
   // directory part is always shorter than the path.
   int kept = StringLen(SedgefoldCharsToString(buffer, 0, -1));
   return kept < length ? StringSubstr(path, 0, kept) : "";
  }

//+------------------------------------------------------------------+
//| A failure of SedgefoldList itself: noted, and -1.                 |
//+------------------------------------------------------------------+
int SedgefoldListFailed(const string reason)
  {
   SedgefoldFail(reason, SEDGEFOLD_SAID_BY_KIT);
   return -1;
  }

//+------------------------------------------------------------------+
//| Lists the entries of one directory level into names[] and        |
//| returns how many it holds (names[] is resized to that number).   |
//| pattern: a full path whose last name may hold * and ?, normally a |
//| folder, a backslash and "*" (a wildcard pattern such as "*.csv"  |
//| that matches nothing is a failure, not 0: list "\*" and pick      |
//| names); mode: SEDGEFOLD_DIRS, SEDGEFOLD_FILES or SEDGEFOLD_ALL.   |
//| Through PathGetListW, one ushort buffer.                         |
//|   0   nothing to list;                                            |
//|   -1  failure, with names[] left empty (GetLastError() ==         |
//|       SEDGEFOLD_ERROR, SedgefoldLastFailure() says why): the      |
//|       library reported one, the pattern was refused, maxNames is  |
//|       not from 1 to SEDGEFOLD_LIST_MOST, or an array could not be |
//|       sized (a fixed-size names[], no memory);                    |
//|   n   names; when the folder held more than maxNames,            |
//|       GetLastError() == SEDGEFOLD_LIST_CUT says so (the helper   |
//|       asks for one name more than maxNames to know).             |
//+------------------------------------------------------------------+
int SedgefoldList(const string pattern, const int mode, string &names[],
                  const int maxNames = 1024)
  {
   const int slotChars = SEDGEFOLD_NAME_CHARS;   // one name and its zero
   bool emptied = ArrayResize(names, 0) == 0;    // no old name survives a failure
   if(!SedgefoldReady("SedgefoldList", pattern, "", 1, false, true, true))
      return -1;
   if(!emptied)
      return SedgefoldListFailed("names[] cannot be resized (a fixed-size array?)");
   if(maxNames < 1 || maxNames > SEDGEFOLD_LIST_MOST)
      return SedgefoldListFailed(StringFormat("maxNames %d is not from 1 to %d", maxNames, SEDGEFOLD_LIST_MOST));
   int slots = maxNames + 1;
   ushort buffer[];
   int total = slots * slotChars;
   if(ArrayResize(buffer, total) != total)
      return SedgefoldListFailed(StringFormat("no memory for %d names (error %d)", slots, GetLastError()));
   // The library closes every name it writes; the zeros only keep an
   // unwritten slot from reading as a name.
   ArrayFill(buffer, 0, total, 0);
   ulong listed = PathGetListW(pattern, mode, buffer, (ulong)slots, (ulong)slotChars * 2);
   if(listed == 0 && SedgefoldReported(true))
      return -1;
   int count = listed > (ulong)maxNames ? maxNames : (int)listed;
   if(ArrayResize(names, count) != count)
     {
      ArrayResize(names, 0);
      return SedgefoldListFailed(StringFormat("names[] cannot hold %d names (error %d)", count, GetLastError()));
     }
   for(int i = 0; i < count; i++)
      names[i] = SedgefoldCharsToString(buffer, i * slotChars, slotChars);
   SedgefoldSucceeded();
   if(listed > (ulong)maxNames)
      SetUserError(SEDGEFOLD_USER_LIST_CUT);
   return count;
  }

//+------------------------------------------------------------------+
//| The name of 1.0.0 for the listing through PathGetListW, which    |
//| SedgefoldList() now is.                                           |
//+------------------------------------------------------------------+
int SedgefoldListBuffered(const string pattern, const int mode, string &names[],
                          const int maxNames = 1024)
  {
   return SedgefoldList(pattern, mode, names, maxNames);
  }

#endif // SEDGEFOLD_MQH
//+------------------------------------------------------------------+
