//+------------------------------------------------------------------+
//|                                         SedgefoldWatchFolder.mq5 |
//|        Moves the files arriving in a folder into an archive, on a |
//|            timer, unattended: no box ever, failures to the journal |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
//
// Every few seconds the expert lists the watched folder (any folder on
// the machine, outside the terminal's sandbox too) and moves the files it
// finds into a new folder of the archive, named after the local time:
//   <archive>\2026.03.14 09-30-05\prices.csv
// It never deletes or replaces a file of yours: the files go only into a
// folder it has just made and found empty, where no name can be taken, and
// an archive inside the watched folder is refused. A file that cannot be
// moved now (still being written, say) stays and is tried again next time;
// a failure that lasts is said once in the journal, and how often it came
// when it clears. It refuses to run in the Strategy Tester, where it would
// move real files on simulated time. It trades nothing; attach it to any
// chart.
//
// A look holds the expert's thread for about WATCH_BUDGET_MS (0.1 s) by
// GetTickCount(): it moves one file at least, then starts no other move
// once the time is spent, and the files left go at the next look. A single
// move can take seconds (a file on another drive is copied), and under
// Wine a thousand moves took 48 s: a long copy or move of whole trees
// belongs in a service (Services\Sedgefold\SedgefoldBackupFolder), where
// it holds up no expert or indicator; an expert hands it over (a global
// variable of the terminal, or a file in the common folder, that the
// service looks for).
//
// With an extension set, the files are picked by it before InpMaxFiles
// counts them: a look lists up to WATCH_LIST_MOST names of the folder, so
// that arriving files behind many others of other kinds are reached.
//+------------------------------------------------------------------+
#property copyright   "Copyright (c) 2026 Sedgefold developers"
#property version     "1.00"
#property description "Moves the files arriving in a folder into dated folders of an archive, on a timer."
#property description "Never shows a box; failures go to the Experts journal, once while they last."
#property description "Never deletes or replaces a file. Does not run in the Strategy Tester."

#include <Sedgefold.mqh>

input string InpWatched   = "C:\\SedgefoldWatch\\Incoming";  // Folder to watch (full path)
input string InpArchive   = "C:\\SedgefoldWatch\\Archive";   // Archive (full path, not inside the watched folder)
input string InpExtension = "";                              // Only names ending so, like .csv (empty: every file)
input int    InpSeconds   = 10;                              // Seconds between looks (1..3600)
input int    InpMaxFiles  = 200;                             // At most this many files a look (1..1000)

// The time a look may take, in ms of GetTickCount().
#define WATCH_BUDGET_MS 100
// The names a look lists: a listing of that many slots takes 10 MB.
#define WATCH_LIST_MOST 20000

string Watched;         // the inputs without trailing backslashes
string Archive;
string Pending;         // the batch folder chosen and not yet made: tried again
bool   WatchedMissing;  // said once until the folder is back
bool   Crowded;         // more than WATCH_LIST_MOST files: said once

//+------------------------------------------------------------------+
//| The path without trailing backslashes ("C:\" keeps its own).     |
//+------------------------------------------------------------------+
string Trimmed(const string path)
  {
   string text = path;
   while(StringLen(text) > 3 && StringGetCharacter(text, StringLen(text) - 1) == '\\')
      text = StringSubstr(text, 0, StringLen(text) - 1);
   return text;
  }

//+------------------------------------------------------------------+
//| true when inner is outer or lies below it, by their spelling     |
//| (case ignored, as Windows does). Another drive letter or a link  |
//| for the same folder is not seen: choose plain paths.             |
//+------------------------------------------------------------------+
bool IsWithin(const string inner, const string outer)
  {
   string lowerInner = inner, lowerOuter = outer;
   StringToLower(lowerInner);
   StringToLower(lowerOuter);
   if(lowerInner == lowerOuter)
      return true;
   if(StringGetCharacter(lowerOuter, StringLen(lowerOuter) - 1) != '\\')
      lowerOuter = lowerOuter + "\\";
   return StringFind(lowerInner, lowerOuter) == 0;
  }

//+------------------------------------------------------------------+
//| Whether a file name is one to move.                              |
//+------------------------------------------------------------------+
bool Wanted(const string name)
  {
   int length = StringLen(InpExtension);
   if(length == 0)
      return true;
   if(StringLen(name) <= length)
      return false;
   string end = StringSubstr(name, StringLen(name) - length), wanted = InpExtension;
   StringToLower(end);
   StringToLower(wanted);
   return end == wanted;
  }

//+------------------------------------------------------------------+
int OnInit()
  {
   // A test would move real files on simulated time; an optimization would
   // do so from every local agent at once.
   if(MQLInfoInteger(MQL_TESTER) != 0 || MQLInfoInteger(MQL_OPTIMIZATION) != 0)
     {
      Print("SedgefoldWatchFolder moves real files: it does not run in the Strategy Tester.");
      return INIT_FAILED;
     }
   // Without DLL permission (or on a remote testing agent, where no DLL
   // may run) every helper would fail: say so once, and do not start.
   if(MQLInfoInteger(MQL_DLLS_ALLOWED) == 0)
     {
      Print("Allow DLL imports for this expert (its properties, Dependencies tab); remote testing agents run no DLL.");
      return INIT_FAILED;
     }
   // Another version of Sedgefold.dll is said in the journal.
   if(!SedgefoldCheckVersion())
      return INIT_FAILED;
   // Set at once, not only by the helpers: nothing this expert calls
   // may stop its thread for a click.
   SedgefoldQuiet(true);
   Watched = Trimmed(InpWatched);
   Archive = Trimmed(InpArchive);
   // The helpers would refuse such paths on every look; say it now.
   string problem = SedgefoldPathProblem(Watched, false, true);
   if(problem == "")
      problem = SedgefoldPathProblem(Archive, false, true);
   if(problem != "")
     {
      PrintFormat("Give the watched folder and the archive as full paths of plain names, such as C:\\Data\\Incoming: %s.", problem);
      return INIT_PARAMETERS_INCORRECT;
     }
   if(IsWithin(Archive, Watched))
     {
      PrintFormat("The archive %s lies in the watched folder %s: choose one outside it.", Archive, Watched);
      return INIT_PARAMETERS_INCORRECT;
     }
   if(StringFind(InpExtension, "\\") >= 0 || StringFind(InpExtension, "*") >= 0 ||
      StringFind(InpExtension, "?") >= 0)
     {
      Print("The extension is the end of a name, such as .csv: no backslash, * or ?.");
      return INIT_PARAMETERS_INCORRECT;
     }
   if(InpSeconds < 1 || InpSeconds > 3600 || InpMaxFiles < 1 || InpMaxFiles > 1000)
     {
      Print("Seconds between looks: 1 to 3600; files a look: 1 to 1000.");
      return INIT_PARAMETERS_INCORRECT;
     }
   // An archive that cannot be made now would take no file: say so (the
   // helper printed why) instead of watching for nothing.
   if(!SedgefoldCreate(Archive))
     {
      PrintFormat("The archive %s cannot be created; not watching.", Archive);
      return INIT_FAILED;
     }
   if(!EventSetTimer(InpSeconds))
     {
      PrintFormat("No timer (error %d); not watching.", GetLastError());
      return INIT_FAILED;
     }
   PrintFormat("Watching %s every %d s; files go to dated folders in %s.", Watched, InpSeconds, Archive);
   return INIT_SUCCEEDED;
  }

//+------------------------------------------------------------------+
void OnDeinit(const int reason)
  {
   EventKillTimer();
  }

//+------------------------------------------------------------------+
void OnTimer()
  {
   uint started = GetTickCount();
   string names[];
   if(ListArrivals(names) > 0)
      ArchiveFiles(names, started);
  }

//+------------------------------------------------------------------+
//| The files to move now into names[]; how many. A missing watched  |
//| folder is said once, a failure to list it by the helper.         |
//+------------------------------------------------------------------+
int ListArrivals(string &names[])
  {
   if(!SedgefoldIsDir(Watched))
     {
      if(!WatchedMissing)
         PrintFormat("%s is not there (yet); looking again every %d s.", Watched, InpSeconds);
      WatchedMissing = true;
      return 0;
     }
   if(WatchedMissing)
      PrintFormat("%s is back.", Watched);
   WatchedMissing = false;
   // "folder\*" always matches (the folder itself): an empty folder
   // answers 0 without a failure. "folder\*.csv" would be a failure for a
   // folder without a .csv, so the names are picked here (Wanted), before
   // InpMaxFiles counts them.
   string found[];
   int count = SedgefoldList(Watched + "\\*", SEDGEFOLD_FILES, found, WATCH_LIST_MOST);
   bool cut = GetLastError() == SEDGEFOLD_LIST_CUT;
   if(cut && !Crowded)
      PrintFormat("%s holds more than %d files; with an extension set, files of it past the first %d names " +
                  "wait until others leave.", Watched, WATCH_LIST_MOST, WATCH_LIST_MOST);
   Crowded = cut;
   int wanted = 0;
   if(count <= 0 || ArrayResize(names, MathMin(count, InpMaxFiles)) < 0)
      return 0;
   for(int i = 0; i < count && wanted < InpMaxFiles; i++)
      if(Wanted(found[i]))
         names[wanted++] = found[i];
   return ArrayResize(names, wanted) == wanted ? wanted : 0;
  }

//+------------------------------------------------------------------+
//| A new folder of the archive, made now and found empty, so that   |
//| no file moved into it can meet a name already there; "" when     |
//| none could be made. A name chosen and not made (the archive's    |
//| drive full or gone, say) is tried again by the next look, so that |
//| a lasting failure is one failure of one path, said once.          |
//+------------------------------------------------------------------+
string NewBatchFolder()
  {
   if(!SedgefoldCreate(Archive))      // one that is there counts
      return "";
   string stamp = TimeToString(TimeLocal(), TIME_DATE | TIME_SECONDS);
   StringReplace(stamp, ":", "-");
   for(int attempt = 1; attempt <= 100; attempt++)
     {
      if(Pending == "")
         Pending = Archive + "\\" + stamp + (attempt > 1 ? " (" + IntegerToString(attempt) + ")" : "");
      if(SedgefoldIsDir(Pending))
        {
         Pending = "";
         continue;   // taken: the next name
        }
      if(GetLastError() == SEDGEFOLD_ERROR || !SedgefoldCreate(Pending))
         return "";
      string batch = Pending;
      Pending = "";
      if(SedgefoldIsEmptyDir(batch))
         return batch;
      if(GetLastError() == SEDGEFOLD_ERROR)
         return "";
      // Someone else made it meanwhile and put something in: the next name.
     }
   return "";
  }

//+------------------------------------------------------------------+
//| Moves the files into a new batch folder while the look's time     |
//| lasts (it began at started): one file at least, and no move       |
//| started after WATCH_BUDGET_MS; one journal line a look.           |
//+------------------------------------------------------------------+
void ArchiveFiles(const string &names[], const uint started)
  {
   string batch = NewBatchFolder();
   if(batch == "")
      return;
   int moved = 0, tried = 0;
   for(; tried < ArraySize(names) && !IsStopped(); tried++)
     {
      if(tried > 0 && GetTickCount() - started >= WATCH_BUDGET_MS)
         break;
      if(SedgefoldMove(Watched + "\\" + names[tried], batch + "\\" + names[tried]))
         moved++;
     }
   if(moved == 0)
     {
      // Made by this look and still empty: nothing of the user's goes.
      SedgefoldDeleteEmpty(batch);
      return;
     }
   int rest = ArraySize(names) - tried;
   PrintFormat("Moved %d of %d file(s) to %s%s.", moved, tried, batch,
               rest > 0 ? StringFormat("; %d more at the next look", rest) : "");
  }
//+------------------------------------------------------------------+
