//+------------------------------------------------------------------+
//|                                         SedgefoldEmptyFolder.mq5 |
//|               Empties a folder, first of its files only, then of |
//|                                   everything, keeping the folder |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
#property copyright   "Copyright (c) 2026 Sedgefold developers"
#property version     "1.00"
#property description "Fills MQL5\\Files\\SedgefoldExamples\\<Folder>, removes its files at"
#property description "every depth (folders stay), then clears it completely."
#property description "It refuses a name that is taken and removes only what it made."
#property script_show_inputs

#include "SedgefoldExamples.mqh"

input string InpFolder = "Scratch";   // Folder inside SedgefoldExamples (a new name)

//+------------------------------------------------------------------+
bool Fill(const string path)
  {
   return SedgefoldCreate(path + "\\Sub\\Deeper") &&
          WriteExampleFile(InpFolder + "\\a.txt", "a") &&
          WriteExampleFile(InpFolder + "\\Sub\\b.txt", "b") &&
          WriteExampleFile(InpFolder + "\\Sub\\Deeper\\c.txt", "c");
  }

//+------------------------------------------------------------------+
void OnStart()
  {
   if(!ExamplesReady())
      return;
   string path = ExamplePath(InpFolder);
   if(path == "")
      return;
   // The script empties the folder twice: it must be one it makes now,
   // never a folder of yours.
   string made = ExampleNewPart(InpFolder);
   if(made == "")
     {
      PrintFormat("%s is taken already: choose a new folder name.", InpFolder);
      return;
     }
   if(!Step("fill the folder", Fill(path)))
      return;
   PrintFolder(path);

   // PathClearFromFilesW enters directory links below the folder and deletes
   // the files behind them: use it only on trees that link nowhere else.
   if(!Step("PathClearFromFilesW(folder)", SedgefoldClearFiles(path)))
      return;
   Step("Sub\\Deeper is still there", SedgefoldIsDir(path + "\\Sub\\Deeper"));
   Step("Sub\\Deeper holds nothing", SedgefoldIsEmptyDir(path + "\\Sub\\Deeper"));
   Step("a.txt is gone", !FileIsExist(SEDGEFOLD_EXAMPLES_DIR + "\\" + InpFolder + "\\a.txt"));
   PrintFolder(path);

   if(!Step("fill it again", Fill(path)))
      return;
   if(!Step("PathClearContentsW(folder)", SedgefoldClear(path)))
      return;
   Step("the folder is there and empty", SedgefoldIsDir(path) && SedgefoldIsEmptyDir(path));

   // The folder itself, now empty.
   if(Step("PathDeleteEmptyW(folder)", SedgefoldDeleteEmpty(path)))
      RemoveMadeParents(made, InpFolder);
  }
//+------------------------------------------------------------------+
