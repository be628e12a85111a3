//+------------------------------------------------------------------+
//|                                       SedgefoldInspectFolder.mq5 |
//|       Tells what a folder is and what it holds, changing nothing |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
#property copyright   "Copyright (c) 2026 Sedgefold developers"
#property version     "1.00"
#property description "Inspects a folder inside MQL5\\Files\\SedgefoldExamples:"
#property description "is it a folder, is it empty, what does it hold."
#property script_show_inputs

#include "SedgefoldExamples.mqh"

input string InpFolder = "";   // Folder inside SedgefoldExamples ("" = the folder itself)

//+------------------------------------------------------------------+
void OnStart()
  {
   if(!ExamplesReady())
      return;
   string path = InpFolder == "" ? ExamplesRoot() : ExamplePath(InpFolder);
   if(path == "")
      return;

   bool isDir = SedgefoldIsDir(path);
   PrintFormat("PathCheckW(%s) = %d", path, isDir ? 1 : 0);
   if(!isDir)
     {
      // A missing path and a file both answer 0 with an empty report: a
      // plain "no". A failure keeps a report, which the helper printed.
      if(GetLastError() != SEDGEFOLD_ERROR)
         Print("Not an existing folder; nothing more to inspect.");
      return;
     }
   // A trailing backslash is accepted as well.
   PrintFormat("PathCheckW(%s\\) = %d", path, PathCheckW(path + "\\"));

   bool isEmpty = SedgefoldIsEmptyDir(path);
   PrintFormat("PathIsEmptyW(%s) = %d", path, isEmpty ? 1 : 0);

   // The parent's path; SedgefoldTrimName only cuts the text.
   string parent = SedgefoldTrimName(path);
   PrintFormat("Its parent folder: %s", parent);

   if(!isEmpty)
      PrintFolder(path);
  }
//+------------------------------------------------------------------+
