//+------------------------------------------------------------------+
//| KitGuards.mq5: what holds the helpers back. The Strategy Tester   |
//| and optimizations with and without the program's consent; DLL     |
//| imports not allowed; a library of another version (the test's    |
//| SedgefoldOther.dll answers the number SF_OTHER_VERSION holds); the |
//| report mode each kind of program gets; the journal, once per      |
//| helper and path, with the count.                                  |
//+------------------------------------------------------------------+
#include "KitTest.mqh"

string Base;

//+------------------------------------------------------------------+
//| The helpers that delete, clear, copy or move: each refused, or    |
//| each doing its work, on a tree of its own.                        |
//+------------------------------------------------------------------+
void Altering(const string row, const bool refused)
  {
   string tree = Base + "\\" + row;
   string a = tree + "\\a", b = tree + "\\b";
   SedgefoldCreate(a + "\\sub");
   long calls = TestCalls();
   int from = JournalLines();
   string c = tree + "\\c";
   Expect(SedgefoldClearFiles(a) != refused, row + ": SedgefoldClearFiles");
   Expect(SedgefoldClear(a) != refused, row + ": SedgefoldClear");
   Expect(SedgefoldCopy(a, b) != refused, row + ": SedgefoldCopy");
   Expect(SedgefoldMove(b, c) != refused, row + ": SedgefoldMove");
   Expect(SedgefoldDeleteEmpty(a) != refused, row + ": SedgefoldDeleteEmpty");
   Expect(SedgefoldDelete(c) != refused, row + ": SedgefoldDelete");
   if(refused)
     {
      Refused(row + ": the altering helpers", true, calls);
      Said(row, " refused: refused in ", from, 6);
     }
   Expect(SedgefoldIsDir(a) == refused, row + ": the tree as the helpers left it");
   // Questions, creating and listing are never held back.
   string names[];
   Answered(row + ": questions", SedgefoldCreate(tree + "\\d") && SedgefoldIsEmptyDir(tree + "\\d") &&
            SedgefoldList(tree + "\\*", SEDGEFOLD_DIRS, names) >= 1);
  }

void Tester()
  {
   string name = MQLInfoString(MQL_PROGRAM_NAME);
   TestSet("MQL_TESTER", "1");
   Altering("tester", true);
   int from = JournalLines();
   Expect(!SedgefoldAllowInTester("SomeoneElse"), "consent in another program's name");
   Said("consent in another program's name", "names another program than " + name, from, 1);
   Altering("tester-other-consent", true);
   Expect(SedgefoldAllowInTester(name), "consent in the program's own name");
   Altering("tester-consent", false);
   TestSet("MQL_OPTIMIZATION", "1");
   Altering("optimization-tester-consent", true);
   Expect(SedgefoldAllowInTester(name, true), "consent to optimizations");
   Altering("optimization-consent", false);
   TestSet("MQL_TESTER", "");
   SedgefoldTesterAllowed = false;
   SedgefoldOptimizationAllowed = false;
   Altering("optimization", true);
   TestSet("MQL_OPTIMIZATION", "");
   Altering("terminal", false);
  }

//+------------------------------------------------------------------+
//| Without DLL imports: every helper fails, no export is called (the |
//| terminal would stop the program), and the journal says it once.   |
//+------------------------------------------------------------------+
void NoDlls()
  {
   TestSet("MQL_DLLS_ALLOWED", "0");
   SedgefoldVersionState = 0;
   long calls = TestCalls();
   int from = JournalLines();
   string names[];
   string path = Base + "\\nodll";
   Expect(!SedgefoldCheckVersion() && TestCalls() == calls, "no DLLs: SedgefoldCheckVersion answers false, calling nothing");
   Refused("no DLLs: SedgefoldIsDir", !SedgefoldIsDir(Base), calls);
   Refused("no DLLs: SedgefoldIsEmptyDir", !SedgefoldIsEmptyDir(Base), calls);
   Refused("no DLLs: SedgefoldCreate", !SedgefoldCreate(path), calls);
   Refused("no DLLs: SedgefoldDelete", !SedgefoldDelete(path), calls);
   Refused("no DLLs: SedgefoldDeleteEmpty", !SedgefoldDeleteEmpty(path), calls);
   Refused("no DLLs: SedgefoldClear", !SedgefoldClear(Base), calls);
   Refused("no DLLs: SedgefoldClearFiles", !SedgefoldClearFiles(Base), calls);
   Refused("no DLLs: SedgefoldCopy", !SedgefoldCopy(Base, path), calls);
   Refused("no DLLs: SedgefoldMove", !SedgefoldMove(Base, path), calls);
   Refused("no DLLs: SedgefoldLink", !SedgefoldLink(Base, path), calls);
   Refused("no DLLs: SedgefoldList", SedgefoldList(Base + "\\*", SEDGEFOLD_ALL, names) < 0, calls);
   Refused("no DLLs: SedgefoldListBuffered", SedgefoldListBuffered(Base + "\\*", SEDGEFOLD_ALL, names) < 0, calls);
   Refused("no DLLs: SedgefoldTrimName", SedgefoldTrimName(path) == "", calls);
   SedgefoldQuiet(true);
   Expect(SedgefoldLastReport() == "" && TestCalls() == calls, "no DLLs: SedgefoldQuiet and SedgefoldLastReport call nothing");
   Said("no DLLs", "DLL imports are not allowed", from, 1);
   Expect(SedgefoldSandboxPath("x") != "" && SedgefoldPathProblem(path, false, true) == "", "no DLLs: the helpers without the library work");
   TestSet("MQL_DLLS_ALLOWED", "");
   Answered("DLLs allowed again", SedgefoldIsDir(Base) && SedgefoldVersionState == 1);
  }

//+------------------------------------------------------------------+
//| Versions: this build's library is the one the kit is written for; |
//| another library is taken when it is of the kit's major version    |
//| and at least as new, refused otherwise, said once.                |
//+------------------------------------------------------------------+
void Version(const int version, const bool taken)
  {
   string row = "a library of version " + SedgefoldVersionText(version);
   SedgefoldVersionState = 0;
   TestSet("SF_OTHER_VERSION", IntegerToString(version));
   int from = JournalLines();
   Expect(SedgefoldCheckVersion() == taken, row + (taken ? " is taken" : " is refused"));
   if(taken)
      return;
   Said(row, "Sedgefold.dll is version " + SedgefoldVersionText(version) + ", this kit needs 1.2.0 or a later 1.x", from, 1);
   long calls = TestCalls();
   Refused(row + ": SedgefoldIsDir", !SedgefoldIsDir(Base), calls);
   Refused(row + ": SedgefoldIsDir again", !SedgefoldIsDir(Base), calls);
   Said(row + ", said once", "Sedgefold.dll is version", from, 1);
  }

void Versions()
  {
   Expect(SedgefoldVersion() == SEDGEFOLD_KIT_VERSION, "this build's Sedgefold.dll is the version the kit is written for");
   TestSet("SF_KIT_DLL", "SedgefoldOther.dll");
   int taken[] = {10200, 10201, 10299, 10300, 11000, 19999};
   int refused[] = {10199, 10100, 10000, 9999, 20000, 20200, 0};
   for(int i = 0; i < ArraySize(taken); i++)
      Version(taken[i], true);
   for(int i = 0; i < ArraySize(refused); i++)
      Version(refused[i], false);
   TestSet("SF_KIT_DLL", "");
   SedgefoldVersionState = 0;
   Expect(SedgefoldCheckVersion(), "this build's library again");
  }

//+------------------------------------------------------------------+
//| The report mode a helper sets when the program chose none: boxes  |
//| only for a script outside the tester.                             |
//+------------------------------------------------------------------+
void Mode(const string type, const string tester, const string optimization, const int mode)
  {
   TestSet("MQL_PROGRAM_TYPE", type);
   TestSet("MQL_TESTER", tester);
   TestSet("MQL_OPTIMIZATION", optimization);
   SedgefoldReportMode(mode == SEDGEFOLD_REPORT_QUIET ? SEDGEFOLD_REPORT_BOXES : SEDGEFOLD_REPORT_QUIET);
   SedgefoldIsDir(Base);
   int got = SedgefoldReportMode(SEDGEFOLD_REPORT_ASK);
   Expect(got == mode, StringFormat("a %s (tester %s, optimization %s) reports in mode %d, not %d", type, tester,
                                    optimization, mode, got));
  }

void Modes()
  {
   SedgefoldChosenMode = SEDGEFOLD_REPORT_ASK;
   Mode("script", "", "", SEDGEFOLD_REPORT_BOXES);
   string quiet[] = {"expert", "indicator", "service"};
   for(int i = 0; i < ArraySize(quiet); i++)
      Mode(quiet[i], "", "", SEDGEFOLD_REPORT_QUIET);
   string all[] = {"script", "expert", "indicator"};
   for(int i = 0; i < ArraySize(all); i++)
     {
      Mode(all[i], "1", "", SEDGEFOLD_REPORT_QUIET);
      Mode(all[i], "1", "1", SEDGEFOLD_REPORT_QUIET);
     }
   SedgefoldQuiet(true);
   Mode("script", "", "", SEDGEFOLD_REPORT_QUIET);
   SedgefoldQuiet(false);
   Mode("expert", "", "", SEDGEFOLD_REPORT_BOXES);
   TestSet("MQL_PROGRAM_TYPE", "");
   SedgefoldQuiet(true);
  }

//+------------------------------------------------------------------+
//| The journal: a failure once while it lasts, per helper and first  |
//| path, with how often it came when it clears or changes.           |
//+------------------------------------------------------------------+
void Journal()
  {
   string lasting = Base + "\\lasting";
   int from = JournalLines();
   for(int i = 0; i < 3; i++)
      Failed("SedgefoldDelete of nothing", !SedgefoldDelete(lasting));
   Expect(StringFind(SedgefoldLastFailure(), lasting) >= 0, "SedgefoldLastFailure keeps the report");
   Said("a lasting failure", "SedgefoldDelete(" + lasting + ") failed:", from, 1);
   Failed("SedgefoldDelete of another missing folder", !SedgefoldDelete(lasting + "2"));
   Said("the same failure on another path", "SedgefoldDelete(" + lasting + "2) failed:", from, 1);
   Failed("SedgefoldClear of a missing folder", !SedgefoldClear(lasting));
   Said("another helper on the same path", "SedgefoldClear(" + lasting + ") failed:", from, 1);
   SedgefoldCreate(lasting);
   Answered("SedgefoldDelete once it is there", SedgefoldDelete(lasting));
   Expect(SedgefoldLastFailure() == "", "SedgefoldLastFailure after a success");
   Said("a failure that clears", "SedgefoldDelete(" + lasting + ") failed 3 times in a row; now it does not.", from, 1);
   Said("counts only of failures that lasted", "failed 1 times", from, 0);
   // A refusal of the kit, then another failure on the same path.
   string odd = Base + "\\odd*";
   from = JournalLines();
   for(int i = 0; i < 2; i++)
      Failed("SedgefoldIsDir of a pattern", !SedgefoldIsDir(odd));
   Said("a lasting refusal", "SedgefoldIsDir(" + odd + ") refused:", from, 1);
   string file = Base + "\\file";
   TestWriteFile(file, "x");
   for(int i = 0; i < 2; i++)
      Failed("SedgefoldCreate over a file", !SedgefoldCreate(file));
   Said("a failure said once", "SedgefoldCreate(" + file + ") failed:", from, 1);
   for(int i = 0; i < 2; i++)
      Failed("SedgefoldIsDir of a pattern, later", !SedgefoldIsDir(odd));
   Said("a refusal still lasting", "SedgefoldIsDir(" + odd + ") refused:", from, 1);
  }

void OnStart()
  {
   Expect(SedgefoldCheckVersion(), "the library of this build is taken");
   SedgefoldQuiet(true);
   Base = Scratch("guards");
   Tester();
   NoDlls();
   Versions();
   Modes();
   Journal();
   Done();
  }
