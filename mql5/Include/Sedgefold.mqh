//+------------------------------------------------------------------+
//|                                                    Sedgefold.mqh |
//|                 Directory operations for MQL5 from Sedgefold.dll |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
//
// Put Sedgefold.dll into <data folder>\MQL5\Libraries, this file into
// <data folder>\MQL5\Include, and allow DLL imports for the program that
// includes it.
//
// Every function below returns a plain value and never throws into the
// terminal. A failure is reported by the library itself (Russian text) and
// the call returns its failure value: 0, or 0 as the address for the
// PathTrimNameFile pair. By default the report is a message box captioned
// "Sedgefold.dll" that waits for a click, blocking its program until it is
// closed. A thread set quiet (SedgefoldReportMode) shows no box and keeps
// the report for SedgefoldLastReportW instead.
//
// The helpers below the #import block (SedgefoldIsDir, SedgefoldList, ...)
// choose the mode for you on every call: quiet in experts, indicators and
// services and anywhere in the Strategy Tester, boxes in scripts; call
// SedgefoldQuiet() to choose yourself. On a failure they print the
// report's title line and innermost message to the Experts journal and set
// the program's last error to SEDGEFOLD_ERROR, so that after a helper
// answered false, 0 or "", GetLastError() == SEDGEFOLD_ERROR tells a
// failure from a plain "no" (SedgefoldList answers -1 for a failure). A
// helper given an empty path answers "no" without calling the library.
//
// Inside the terminal's sandbox (MQL5\Files, the common folder) the
// terminal's own FolderCreate, FolderDelete, FolderClean, FileFindFirst,
// FileCopy and FileMove need no DLL permission and work on remote testing
// agents too, where no DLL may run; use the library for folders outside the
// sandbox, for whole trees and for links. The library takes full paths
// only: SedgefoldSandboxPath() below makes one for a sandbox folder.
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
// The library serialises nothing: calls from several programs on the same
// folders at once see each other's changes half done.
//
// No #property here: the compiler ignores properties of included files;
// they belong in the program's own .mq5 file.
//+------------------------------------------------------------------+

#ifndef SEDGEFOLD_MQH
#define SEDGEFOLD_MQH

#import "Sedgefold.dll"
//--- Questions about a path: no box for a missing path or a file.

// 1 when path names an existing directory (one trailing backslash allowed),
// 0 for a file, a missing path or a failure.
int   PathCheckW(string path);
int   PathCheckA(uchar &path[]);

// 1 when path names an existing directory holding no entry at all;
// 0 for a directory with entries, a file, a missing path or a failure.
int   PathIsEmptyW(string path);
int   PathIsEmptyA(uchar &path[]);

//--- Creating and removing. Deletions are final: nothing goes to the
//--- recycle bin, and nothing asks for confirmation. The deleting, clearing,
//--- copying and moving functions take full paths only ("C:\..." or
//--- "\\server\share\..."): any other path shows a box ("Путь задан не
//--- полностью"), and so does a drive or share root as what is deleted,
//--- cleared or moved ("Операция над корневым каталогом запрещена").

// Creates the directory together with every missing parent. 1 when it
// exists afterwards (an existing directory counts), 0 when it could not be
// created (a file of that name is there, say). No box.
int   PathCreateW(string path);
int   PathCreateA(uchar &path[]);

// Deletes the directory (or file) with everything in it. 1 on complete
// success; 0 when anything could not be deleted or the path does not exist
// (what was deleted stays deleted). Directory links inside are removed as
// links first: what they point to is never entered. Box only for a path
// that is not full, or a root.
int   PathDeleteW(string path);
int   PathDeleteA(uchar &path[]);

// Removes the directory only when it is empty. 1 when it was removed, and
// also when there is no directory there (a file of that name is left
// alone); 0 when the directory still holds entries or cannot be removed.
// No box.
int   PathDeleteEmptyW(string path);
int   PathDeleteEmptyA(uchar &path[]);

// Deletes everything inside the directory and keeps the directory. 1 when
// every entry was removed; 0 when some could not be (the others are still
// removed). A directory link inside is removed as a link, its target never
// entered. Box when path is not an existing directory ("... не является
// каталогом!"), is not a valid full path, or is a root.
int   PathClearContentsW(string path);
int   PathClearContentsA(uchar &path[]);

// Deletes every file at every depth below the directory and keeps all the
// directories, left empty. 1 when every file was removed, 0 otherwise.
// WARNING: it follows directory links and junctions below the directory and
// deletes the files it finds through them (except a link bearing the name
// of the directory holding it). Never point it at a tree that links to data
// kept elsewhere. Box when path is not an existing directory, is not a
// valid full path, or is a root.
int   PathClearFromFilesW(string path);
int   PathClearFromFilesA(uchar &path[]);

//--- Two paths: copying, moving, linking.

// Copies source (a directory with everything in it, or a file) to
// destination through the Windows shell, silently. 1 on complete success;
// 0 otherwise, without a box. A copy that stops halfway stays halfway. Box
// for a path that is not full, or a root as source.
int   PathCopyW(string source, string destination);
int   PathCopyA(uchar &source[], uchar &destination[]);

// Moves source to destination, as PathCopyW copies. 1 on complete success;
// 0 otherwise, without a box; nothing is rolled back. Create the
// destination's parent first. Boxes as for PathCopyW.
int   PathMoveW(string source, string destination);
int   PathMoveA(uchar &source[], uchar &destination[]);

// Creates link, a directory symbolic link to the existing target, creating
// the directories above link first. 1 when the link was made; 0 without a
// box when Windows refuses it (an existing name, or no right to create
// symbolic links: run as administrator or enable Developer Mode). Box when
// target does not exist ("Отсутсвует исходный путь:"), when link is not a
// valid path, or when the directory for it cannot be created.
int   PathSymbolicLinkW(string target, string link);
int   PathSymbolicLinkA(uchar &target[], uchar &link[]);

//--- Listing one directory level. pattern is normally a folder, a backslash
//--- and "*"; mode is SEDGEFOLD_DIRS (1), SEDGEFOLD_FILES (2) or
//--- SEDGEFOLD_ALL (3). "." and ".." are never listed; names come in the
//--- order Windows returns them, unsorted. The result is the number of names
//--- written: at most count, 0 for a folder with nothing to list and 0 on
//--- failure. Boxes: any other mode ("Неверно выбран метод поиска."), a
//--- pattern that matches nothing, not even the folder itself ("Не получен
//--- системный дескриптор поиска для пути:"), an invalid folder path, and a
//--- name that does not fit its place ("Ошибка копирования."). A pattern
//--- with a wildcard in its last name (C:\Data\*.csv) that matches no entry
//--- is such a failure, not an empty listing: list "folder\*" and pick the
//--- names yourself.

// Into a character buffer of count slots of size BYTES each: name i is
// written at byte offset i * size, closed by a zero. The library takes any
// size, odd ones too; with a ushort buffer only an even size makes every
// slot start on an element (buffer[i * size / 2]), so use an even one.
// 520 bytes (SEDGEFOLD_NAME_CHARS characters) holds any name. The buffer
// MUST hold at least count * size bytes (count * size / 2 elements): the
// library cannot see its length. A name that does not fit its slot
// zero-fills the slot and shows the box.
ulong PathGetListW(string pattern, int mode, ushort &buffer[], ulong count, ulong size);
// The same with narrow names in the ANSI code page: name i at buffer[i *
// size]; the buffer must hold at least count * size bytes. A character the
// code page cannot spell comes back as "?", which PathDeleteA, PathCopyA
// and PathMoveA read as a wildcard: see SedgefoldNarrowNameIsExact() below.
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
// shown. Every Path function empties it as it starts, so after a call that
// answered 0, an empty report (length 0) means "no" or "nothing there",
// and a report means the call failed. Copies at most capacity - 1
// characters and a zero; returns the report's length whatever it copied,
// so a call with capacity 0 tells how large a buffer to make.
// SedgefoldLastReport() below does both calls.
int   SedgefoldLastReportW(ushort &buffer[], int capacity);
// The same report in the ANSI code page, its length in bytes.
int   SedgefoldLastReportA(uchar &buffer[], int capacity);

// The library's version as one number, MAJOR * 10000 + MINOR * 100 + PATCH
// (1.1.0 is 10100). Never fails, never shows a box, and leaves the last
// report as it is: a program can refuse a library it was not built for.
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
// 260 with the zero). A slot of 2 * SEDGEFOLD_NAME_CHARS = 520 bytes.
#define SEDGEFOLD_NAME_CHARS 260

// Modes of SedgefoldReportMode.
#define SEDGEFOLD_REPORT_ASK   -1
#define SEDGEFOLD_REPORT_BOXES  0
#define SEDGEFOLD_REPORT_QUIET  1

// What GetLastError() answers after a helper whose call the library
// reported as failed (SetUserError(SEDGEFOLD_USER_ERROR)).
#define SEDGEFOLD_USER_ERROR 1
#define SEDGEFOLD_ERROR      (ERR_USER_ERROR_FIRST + SEDGEFOLD_USER_ERROR)
// What GetLastError() answers after SedgefoldList() when the folder held
// more names than it was asked for: the listing was cut short.
#define SEDGEFOLD_USER_LIST_CUT 2
#define SEDGEFOLD_LIST_CUT      (ERR_USER_ERROR_FIRST + SEDGEFOLD_USER_LIST_CUT)

// The mode SedgefoldQuiet() chose; SEDGEFOLD_REPORT_ASK until it is called.
int SedgefoldChosenMode = SEDGEFOLD_REPORT_ASK;

//+------------------------------------------------------------------+
//| The mode when the program chose none: a box suspends the thread  |
//| that shows it, which is every indicator of the symbol for an     |
//| indicator, and the tester shows no boxes at all. Only a script   |
//| run by hand outside the tester has someone to click.             |
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
//| true, no box ever; false, boxes. The library's calling thread is |
//| set at once too, for the imports called directly.                |
//+------------------------------------------------------------------+
void SedgefoldQuiet(const bool quiet)
  {
   SedgefoldChosenMode = quiet ? SEDGEFOLD_REPORT_QUIET : SEDGEFOLD_REPORT_BOXES;
   SedgefoldReportMode(SedgefoldChosenMode);
  }

//+------------------------------------------------------------------+
//| The calling thread's last report (see SedgefoldLastReportW); ""  |
//| when its last Path call reported nothing.                         |
//+------------------------------------------------------------------+
string SedgefoldLastReport()
  {
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
//| Before each helper's call: the mode set on the thread the        |
//| terminal runs the program on now, and the last error cleared.    |
//+------------------------------------------------------------------+
void SedgefoldBegin()
  {
   ResetLastError();
   SedgefoldReportMode(SedgefoldChosenMode == SEDGEFOLD_REPORT_ASK ?
                       SedgefoldDefaultMode() : SedgefoldChosenMode);
  }

//+------------------------------------------------------------------+
//| An empty path names nothing: a helper given one answers "no"     |
//| (false, 0 or "") at once, with the last error cleared, and never |
//| hands it to the library, which could only report it.             |
//+------------------------------------------------------------------+
bool SedgefoldNoPath(const string path)
  {
   if(path != "")
      return false;
   ResetLastError();
   return true;
  }

//+------------------------------------------------------------------+
//| After a helper's call that answered no: a report means that the  |
//| call failed. true when it did.                                   |
//+------------------------------------------------------------------+
bool SedgefoldFailed()
  {
   string report = SedgefoldLastReport();
   if(report == "")
      return false;
   SedgefoldPrintReport(report);
   SetUserError(SEDGEFOLD_USER_ERROR);
   return true;
  }

// The answer of a truth-valued helper, its failure reported.
bool SedgefoldAnswer(const bool yes)
  {
   if(!yes)
      SedgefoldFailed();
   return yes;
  }

bool SedgefoldIsDir(const string path)
  {
   if(SedgefoldNoPath(path))
      return false;
   SedgefoldBegin();
   return SedgefoldAnswer(PathCheckW(path) == 1);
  }

bool SedgefoldIsEmptyDir(const string path)
  {
   if(SedgefoldNoPath(path))
      return false;
   SedgefoldBegin();
   return SedgefoldAnswer(PathIsEmptyW(path) == 1);
  }

bool SedgefoldCreate(const string path)
  {
   if(SedgefoldNoPath(path))
      return false;
   SedgefoldBegin();
   return SedgefoldAnswer(PathCreateW(path) == 1);
  }

bool SedgefoldDelete(const string path)
  {
   if(SedgefoldNoPath(path))
      return false;
   SedgefoldBegin();
   return SedgefoldAnswer(PathDeleteW(path) == 1);
  }

bool SedgefoldDeleteEmpty(const string path)
  {
   if(SedgefoldNoPath(path))
      return false;
   SedgefoldBegin();
   return SedgefoldAnswer(PathDeleteEmptyW(path) == 1);
  }

bool SedgefoldClear(const string path)
  {
   if(SedgefoldNoPath(path))
      return false;
   SedgefoldBegin();
   return SedgefoldAnswer(PathClearContentsW(path) == 1);
  }

bool SedgefoldClearFiles(const string path)
  {
   if(SedgefoldNoPath(path))
      return false;
   SedgefoldBegin();
   return SedgefoldAnswer(PathClearFromFilesW(path) == 1);
  }

bool SedgefoldCopy(const string source, const string destination)
  {
   if(SedgefoldNoPath(source) || SedgefoldNoPath(destination))
      return false;
   SedgefoldBegin();
   return SedgefoldAnswer(PathCopyW(source, destination) == 1);
  }

bool SedgefoldMove(const string source, const string destination)
  {
   if(SedgefoldNoPath(source) || SedgefoldNoPath(destination))
      return false;
   SedgefoldBegin();
   return SedgefoldAnswer(PathMoveW(source, destination) == 1);
  }

bool SedgefoldLink(const string target, const string link)
  {
   if(SedgefoldNoPath(target) || SedgefoldNoPath(link))
      return false;
   SedgefoldBegin();
   return SedgefoldAnswer(PathSymbolicLinkW(target, link) == 1);
  }

//+------------------------------------------------------------------+
//| The sandbox folder itself: <data folder>\MQL5\Files, or          |
//| <common folder>\Files when common is true; "" when the terminal  |
//| does not tell its folders.                                        |
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
//| names for the file functions), when common is true. "" when      |
//| relative is empty or could lead out of the sandbox (a drive, a   |
//| leading backslash, an empty part or one of dots only), so that   |
//| no helper is handed a path that names more than was meant.       |
//+------------------------------------------------------------------+
string SedgefoldSandboxPath(const string relative, const bool common = false)
  {
   string root = SedgefoldSandboxRoot(common);
   string rest = relative;
   StringReplace(rest, "/", "\\");
   int length = StringLen(rest);
   if(root == "" || length == 0)
      return "";
   if(StringGetCharacter(rest, length - 1) == '\\')
      rest = StringSubstr(rest, 0, length - 1);   // one trailing backslash
   if(rest == "" || StringFind(rest, ":") >= 0)
      return "";
   string parts[];
   int count = StringSplit(rest, '\\', parts);
   if(count <= 0)
      return "";
   for(int i = 0; i < count; i++)
     {
      string dots = parts[i];
      StringReplace(dots, ".", "");
      if(dots == "")
         return "";   // "", ".", ".." and "..." (the parent, to the shell)
     }
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
//| The directory part of path, with its final backslash:            |
//| C:\dir\file.txt and C:\dir\sub\ give C:\dir\. "" when path has   |
//| no directory part (file.txt, sub\, C:\), when path is empty, and |
//| on failure (the library reports why).                             |
//+------------------------------------------------------------------+
string SedgefoldTrimName(const string path)
  {
   if(SedgefoldNoPath(path))
      return "";
   ushort buffer[];
   int length = StringLen(path);
   if(ArrayResize(buffer, length + 1) != length + 1)
      return "";
   StringToShortArray(path, buffer, 0, length);
   buffer[length] = 0;
   SedgefoldBegin();
   if(!SedgefoldAnswer(PathTrimNameFileW(buffer) != 0))
      return "";
   // The library leaves a path without a directory part as it is; a
   // directory part is always shorter than the path.
   string part = SedgefoldCharsToString(buffer, 0, -1);
   return StringLen(part) < length ? part : "";
  }

//+------------------------------------------------------------------+
//| Lists the entries of one directory level into names[] and        |
//| returns how many it holds (names[] is resized to that number).   |
//| pattern: a folder, a backslash and "*" (a wildcard pattern such  |
//| as "*.csv" that matches nothing is a failure, not 0: list "\*"   |
//| and pick names); mode: SEDGEFOLD_DIRS, SEDGEFOLD_FILES or        |
//| SEDGEFOLD_ALL. Through PathGetListW, one ushort buffer.          |
//|   0   nothing to list (and for an empty pattern, not listed);    |
//|   -1  failure: the library reported it (journal lines, and       |
//|       GetLastError() == SEDGEFOLD_ERROR), or an array could not  |
//|       be sized (a fixed-size names[], no memory);                |
//|   n   names; when the folder held more than maxNames,            |
//|       GetLastError() == SEDGEFOLD_LIST_CUT says so (the helper   |
//|       asks for one name more than maxNames to know).             |
//+------------------------------------------------------------------+
int SedgefoldList(const string pattern, const int mode, string &names[],
                  const int maxNames = 1024)
  {
   const int slotChars = SEDGEFOLD_NAME_CHARS;   // one name and its zero
   ResetLastError();
   if(SedgefoldNoPath(pattern) || maxNames <= 0)
      return ArrayResize(names, 0) == 0 ? 0 : -1;
   if(maxNames >= INT_MAX / slotChars)
      return -1;
   int slots = maxNames + 1;
   ushort buffer[];
   int total = slots * slotChars;
   if(ArrayResize(buffer, total) != total)
      return -1;
   // The library closes every name it writes; the zeros only keep an
   // unwritten slot from reading as a name.
   ArrayFill(buffer, 0, total, 0);
   SedgefoldBegin();
   ulong listed = PathGetListW(pattern, mode, buffer, (ulong)slots, (ulong)slotChars * 2);
   if(listed == 0 && SedgefoldFailed())
      return -1;
   int count = listed > (ulong)maxNames ? maxNames : (int)listed;
   if(ArrayResize(names, count) != count)
      return -1;
   for(int i = 0; i < count; i++)
      names[i] = SedgefoldCharsToString(buffer, i * slotChars, slotChars);
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
