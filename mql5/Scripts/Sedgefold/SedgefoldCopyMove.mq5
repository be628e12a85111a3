//+------------------------------------------------------------------+
//|                                            SedgefoldCopyMove.mq5 |
//|                 Copies a folder with its contents, then moves it |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
#property copyright   "Copyright (c) 2026 Sedgefold developers"
#property version     "1.00"
#property description "Builds <Source> inside MQL5\\Files\\SedgefoldExamples, copies it to"
#property description "<Source>-copy, copies a file onto one of the copy's (refused, then with FILE_REWRITE),"
#property description "and moves the copy to <Source>-moved."
#property description "It refuses a name that is taken and removes only what it made."
#property script_show_inputs

#include "SedgefoldExamples.mqh"

input string InpSource = "Original";   // Source folder inside SedgefoldExamples (a new name)
input bool   InpRemove = true;         // Remove what the script made at the end

//+------------------------------------------------------------------+
//| Number of entries at the top level of a folder, -1 on failure.   |
//+------------------------------------------------------------------+
int CountEntries(const string path)
  {
   string names[];
   return SedgefoldList(path + "\\*", SEDGEFOLD_ALL, names);
  }

//+------------------------------------------------------------------+
void OnStart()
  {
   if(!ExamplesReady())
      return;
   string source = ExamplePath(InpSource);
   string copy = ExamplePath(InpSource + "-copy");
   string moved = ExamplePath(InpSource + "-moved");
   if(source == "" || copy == "" || moved == "")
      return;
   // Every folder the script works on is one it makes now: a name that is
   // taken may hold your files, and the script deletes what it made.
   string made = ExampleNewPart(InpSource);
   if(made == "" || ExampleNameTaken(InpSource + "-copy") || ExampleNameTaken(InpSource + "-moved"))
     {
      PrintFormat("%s, %s-copy or %s-moved is taken already: choose a new source name.",
                  InpSource, InpSource, InpSource);
      return;
     }

   if(!Step("PathCreateW(source\\Data)", SedgefoldCreate(source + "\\Data")))
      return;
   if(!WriteExampleFile(InpSource + "\\readme.txt", "copied and moved by Sedgefold") ||
      !WriteExampleFile(InpSource + "\\Data\\prices.csv", "time;bid;ask"))
      return;

   if(!Step("PathCopyW(source, copy)", SedgefoldCopy(source, copy)))
      return;
   PrintFolder(copy);
   int copied = CountEntries(copy), original = CountEntries(source);
   Step("the copy holds as many entries as the source", copied >= 0 && copied == original);
   Step("the copy holds Data\\prices.csv",
        PathCheckW(copy + "\\Data") == 1 && FileIsExist(SEDGEFOLD_EXAMPLES_DIR + "\\" + InpSource + "-copy\\Data\\prices.csv"));

   // What stands where a copy lands is replaced only when the call says so,
   // as with MQL5's own FileCopy: FILE_REWRITE.
   string readme = source + "\\readme.txt", onto = copy + "\\readme.txt";
   Step("SedgefoldCopy onto an existing file refuses without FILE_REWRITE",
        !SedgefoldCopy(readme, onto) && GetLastError() == SEDGEFOLD_ERROR);
   Step("SedgefoldCopy with FILE_REWRITE replaces it", SedgefoldCopy(readme, onto, FILE_REWRITE));

   if(!Step("PathMoveW(copy, moved)", SedgefoldMove(copy, moved)))
      return;
   Step("the copy is gone", !SedgefoldIsDir(copy));
   Step("the moved folder is there", SedgefoldIsDir(moved));
   PrintFolder(moved);

   // A source that does not exist: 0, and a report that says so, without
   // a box (every 0 of a copy keeps its reason). The source folder was made
   // by the script, so nothing in it is called NotThere.
   Step("PathCopyW of a missing folder answers 0 with a report",
        PathCopyW(source + "\\NotThere", copy) == 0 && SedgefoldLastReport() != "");

   if(!InpRemove)
      return;
   Step("PathDeleteW(source)", SedgefoldDelete(source));
   Step("PathDeleteW(moved)", SedgefoldDelete(moved));
   RemoveMadeParents(made, InpSource);
  }
//+------------------------------------------------------------------+
