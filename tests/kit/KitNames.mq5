//+------------------------------------------------------------------+
//| KitNames.mq5: the names and paths the helpers refuse, each before |
//| any call of the library; SedgefoldTrimName and the library        |
//| cutting alike; SedgefoldSandboxPath; text in the ANSI code page   |
//| (InpCodePage: the run's, 1251 or 1252).                           |
//+------------------------------------------------------------------+
#property script_show_inputs
#include "KitTest.mqh"

input int InpCodePage = 1251;   // The ANSI code page this run has

// Which helpers refuse a path.
#define BY_QUESTIONS 1   // IsDir, IsEmptyDir, Create, Link
#define BY_ALTERING  2   // Delete, DeleteEmpty, Clear, ClearFiles, Copy, Move
#define BY_LIST      4
#define BY_TRIM      8
#define BY_ALL       15

string Base;

//+------------------------------------------------------------------+
//| One helper's call: refused before the library, or handed to it.   |
//+------------------------------------------------------------------+
void Check(const string row, const bool refused, const bool failed, long &calls)
  {
   if(refused)
      Refused(row, failed, calls);
   else
      Expect(TestCalls() > calls, row + ": handed to the library");
   calls = TestCalls();
  }

void RefusedBy(const string path, const string why, const int who)
  {
   string good = Base + "\\good", names[];
   bool questions = (who & BY_QUESTIONS) != 0, altering = (who & BY_ALTERING) != 0;
   long calls = TestCalls();
   Check(why + ": SedgefoldIsDir", questions, !SedgefoldIsDir(path), calls);
   Check(why + ": SedgefoldIsEmptyDir", questions, !SedgefoldIsEmptyDir(path), calls);
   Check(why + ": SedgefoldCreate", questions, !SedgefoldCreate(path), calls);
   Check(why + ": SedgefoldLink (target)", questions, !SedgefoldLink(path, good), calls);
   Check(why + ": SedgefoldLink (link)", questions, !SedgefoldLink(good, path), calls);
   Check(why + ": SedgefoldDelete", altering, !SedgefoldDelete(path), calls);
   Check(why + ": SedgefoldDeleteEmpty", altering, !SedgefoldDeleteEmpty(path), calls);
   Check(why + ": SedgefoldClear", altering, !SedgefoldClear(path), calls);
   Check(why + ": SedgefoldClearFiles", altering, !SedgefoldClearFiles(path), calls);
   Check(why + ": SedgefoldCopy (source)", altering, !SedgefoldCopy(path, good), calls);
   Check(why + ": SedgefoldCopy (destination)", altering, !SedgefoldCopy(good, path), calls);
   Check(why + ": SedgefoldMove (source)", altering, !SedgefoldMove(path, good), calls);
   Check(why + ": SedgefoldMove (destination)", altering, !SedgefoldMove(good, path), calls);
   Check(why + ": SedgefoldList", (who & BY_LIST) != 0, SedgefoldList(path, SEDGEFOLD_ALL, names) < 0, calls);
   Check(why + ": SedgefoldTrimName", (who & BY_TRIM) != 0, SedgefoldTrimName(path) == "", calls);
   if(questions)
      Expect(SedgefoldPathProblem(path, false, true) != "", why + ": SedgefoldPathProblem names it");
  }

string Character(const ushort code)
  {
   string text;
   StringInit(text, 1, code);
   return text;
  }

void Refusals()
  {
   RefusedBy(Base + "\\a*b", "a wildcard", BY_QUESTIONS | BY_ALTERING);
   RefusedBy(Base + "\\a?", "a wildcard ?", BY_QUESTIONS | BY_ALTERING);
   RefusedBy(Base + "\\*\\a", "a wildcard before the last name", BY_ALL);
   string devices[] = {"con", "NUL.txt", "com1 .csv", "COM9", "lpt1", "Prn", "aux.log", "CONIN$", "conout$.txt"};
   for(int i = 0; i < ArraySize(devices); i++)
      RefusedBy(Base + "\\" + devices[i], "the device name " + devices[i], BY_ALL);
   RefusedBy(Base + "\\com" + Character(0x00B9), "the device name COM(superscript 1)", BY_ALL);
   RefusedBy(Base + "\\lpt" + Character(0x00B3) + ".txt", "the device name LPT(superscript 3)", BY_ALL);
   string dots[] = {"..", ".", "...", "..\\a"};
   for(int i = 0; i < ArraySize(dots); i++)
     {
      RefusedBy(Base + "\\" + dots[i], "dots only: " + dots[i], BY_ALL);
      Expect(StringFind(SedgefoldPathProblem(Base + "\\" + dots[i], false, true), "dots only") >= 0,
             "dots only: " + dots[i] + ": said to be dots only");
     }
   RefusedBy(Base + "\\a.", "a trailing dot", BY_ALL);
   RefusedBy(Base + "\\a ", "a trailing blank", BY_ALL);
   RefusedBy(Base + "\\a|b", "a |", BY_ALL);
   RefusedBy(Base + "\\a<b", "a <", BY_ALL);
   RefusedBy(Base + "\\a:b", "a :", BY_ALL);
   RefusedBy(Base + "\\\\a", "an empty name", BY_ALL);
   RefusedBy("", "an empty path", BY_ALL);
   RefusedBy("kit\\a", "a relative path", BY_QUESTIONS | BY_ALTERING | BY_LIST);
   RefusedBy("\\kit\\a", "a path from the current drive's root", BY_ALL);
   RefusedBy("S:kit", "a drive without a backslash", BY_QUESTIONS | BY_ALTERING | BY_LIST);
   RefusedBy("\\\\server", "a share without its name", BY_ALL);
   RefusedBy(Base + "\\a\\", "a trailing backslash", BY_ALTERING);
   RefusedBy(Base + "/a/", "a trailing slash", BY_ALTERING);
   // Names that only look like the refused ones.
   string fine[] = {"com0", "con1", "com10", "lpt", "a.b", ".a", "console", "nul_", "a b"};
   for(int i = 0; i < ArraySize(fine); i++)
      Expect(SedgefoldPathProblem(Base + "\\" + fine[i], false, true) == "", fine[i] + " is a plain name");
   string full[] = {"S:\\", "S:/x/y", "\\\\server\\share", "\\\\server\\share\\x", "\\\\?\\S:\\x", "\\\\?\\UNC\\server\\share\\x"};
   for(int i = 0; i < ArraySize(full); i++)
      Expect(SedgefoldPathProblem(full[i], false, true) == "", full[i] + " is a full path");
   Expect(SedgefoldPathProblem(Base + "\\*.c?v", true, true) == "", "a pattern in the last name of a listing");
   Expect(SedgefoldPathProblem("dir\\x", false, false) == "", "a relative path where one is taken");
  }

//+------------------------------------------------------------------+
//| SedgefoldTrimName cuts where the library cuts, a slash counting as |
//| a backslash, and keeps the path's own separators.                 |
//+------------------------------------------------------------------+
void Trimmed(const string path, const string part)
  {
   string got = SedgefoldTrimName(path);
   Answered("SedgefoldTrimName(" + path + ") = \"" + got + "\", not \"" + part + "\"", got == part);
  }

void Trims()
  {
   Trimmed("C:\\dir\\file.txt", "C:\\dir\\");
   Trimmed("C:\\dir\\sub\\", "C:\\dir\\");
   Trimmed("C:\\dir/file.txt", "C:\\dir/");
   Trimmed("C:/dir/file.txt", "C:/dir/");
   Trimmed("C:/dir/sub/", "C:/dir/");
   Trimmed("dir/file.txt", "dir/");
   Trimmed("C:\\dir\\*.csv", "C:\\dir\\");
   Trimmed("\\\\server\\share\\f", "\\\\server\\share\\");
   Trimmed("Папка\\файл.txt", "Папка\\");
   Trimmed("file.txt", "");
   Trimmed("abc\\", "");
   Trimmed("C:\\", "");
   long calls = TestCalls();
   Refused("SedgefoldTrimName of an empty path", SedgefoldTrimName("") == "", calls);
   Refused("SedgefoldTrimName of a device name", SedgefoldTrimName("C:\\con\\x") == "", calls);
  }

//+------------------------------------------------------------------+
//| SedgefoldSandboxPath: full paths in the sandbox, nothing that     |
//| could lead out of it or name more than it spells.                 |
//+------------------------------------------------------------------+
void Sandboxes()
  {
   string data = TerminalInfoString(TERMINAL_DATA_PATH), common = TerminalInfoString(TERMINAL_COMMONDATA_PATH);
   string rows[] = {"Reports\\2026", "a/b", "a\\", "Отчёты"};
   string want[] = {"Reports\\2026", "a\\b", "a", "Отчёты"};
   for(int i = 0; i < ArraySize(rows); i++)
     {
      Answered("SedgefoldSandboxPath(" + rows[i] + ")", SedgefoldSandboxPath(rows[i]) == data + "\\MQL5\\Files\\" + want[i]);
      Answered("SedgefoldSandboxPath(" + rows[i] + ", common)",
               SedgefoldSandboxPath(rows[i], true) == common + "\\Files\\" + want[i]);
     }
   Expect(SedgefoldSandboxRoot() == data + "\\MQL5\\Files" && SedgefoldSandboxRoot(true) == common + "\\Files",
          "SedgefoldSandboxRoot");
   string refused[] = {"", "\\", "..", "a\\..\\b", "C:\\x", "\\x", "a\\\\b", "*", "a?", "con", "x\\nul.txt", "a.", "a "};
   for(int i = 0; i < ArraySize(refused); i++)
      Failed("SedgefoldSandboxPath(" + refused[i] + ")", SedgefoldSandboxPath(refused[i]) == "");
   TestSet("TERMINAL_DATA_PATH", "");
   Failed("SedgefoldSandboxPath without a data folder", SedgefoldSandboxPath("x") == "");
   TestSet("TERMINAL_DATA_PATH", data);
  }

//+------------------------------------------------------------------+
//| Text for the A forms, in the run's ANSI code page.                |
//+------------------------------------------------------------------+
void Texts()
  {
   uchar ansi[];
   bool cyrillic = SedgefoldToAnsi("Привет", ansi);
   Expect(cyrillic == (InpCodePage == 1251) && (!cyrillic || (ArraySize(ansi) == 7 && ansi[0] == 0xCF && ansi[6] == 0)),
          "SedgefoldToAnsi of Cyrillic text in code page " + IntegerToString(InpCodePage));
   bool latin = SedgefoldToAnsi("Grüße", ansi);
   Expect(latin == (InpCodePage == 1252) && (!latin || (ArraySize(ansi) == 6 && ansi[2] == 0xFC)),
          "SedgefoldToAnsi of German text in code page " + IntegerToString(InpCodePage));
   Expect(!SedgefoldToAnsi("a" + Character(0x4E2D), ansi) && ArraySize(ansi) == 0, "SedgefoldToAnsi of a character no ANSI page has");
   Expect(SedgefoldToAnsi("", ansi) && ArraySize(ansi) == 1 && ansi[0] == 0, "SedgefoldToAnsi of nothing: its zero");
   Expect(SedgefoldNarrowNameIsExact("plain.txt") && !SedgefoldNarrowNameIsExact("a?b") &&
          !SedgefoldNarrowNameIsExact("a" + Character(0xFFFD)), "SedgefoldNarrowNameIsExact");
   ushort chars[] = {'a', 'b', 0, 'c', 'd'};
   Expect(SedgefoldCharsToString(chars, 0, -1) == "ab" && SedgefoldCharsToString(chars, 3, -1) == "cd" &&
          SedgefoldCharsToString(chars, 3, 1) == "c" && SedgefoldCharsToString(chars, 2, 5) == "", "SedgefoldCharsToString");
   Expect(SedgefoldTrimmed("ab" + Character(0) + "cd") == "ab" && SedgefoldTrimmed("abc") == "abc", "SedgefoldTrimmed");
   Expect(SedgefoldVersionText(10200) == "1.2.0" && SedgefoldVersionText(21304) == "2.13.4", "SedgefoldVersionText");
  }

void OnStart()
  {
   SedgefoldQuiet(true);
   Expect(SedgefoldCheckVersion(), "the library of this build is taken");
   Base = Scratch("names-" + IntegerToString(InpCodePage));
   Refusals();
   Trims();
   Sandboxes();
   Texts();
   Done();
  }
