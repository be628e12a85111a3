//+------------------------------------------------------------------+
//|                                            SedgefoldMakeTree.mq5 |
//|               Creates a nested folder tree in one call, fills it |
//|                                  and removes it again            |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
#property copyright   "Copyright (c) 2026 Sedgefold developers"
#property version     "1.00"
#property description "Creates Level1\\Level2\\... inside MQL5\\Files\\SedgefoldExamples\\<Tree>"
#property description "with one call, writes a file on every level, and removes the tree."
#property description "It refuses a name that is taken and removes only what it made."
#property script_show_inputs

#include "SedgefoldExamples.mqh"

input string InpTree   = "Tree";   // Tree folder inside SedgefoldExamples (a new name)
input int    InpDepth  = 3;        // Levels below it (1..10)
input bool   InpRemove = true;     // Remove the tree at the end

//+------------------------------------------------------------------+
void OnStart()
  {
   if(InpDepth < 1 || InpDepth > 10)
     {
      Print("Depth must be from 1 to 10.");
      return;
     }
   if(!ExamplesReady())
      return;
   string tree = ExamplePath(InpTree);
   if(tree == "")
      return;
   // The tree is deleted at the end: it must be one the script makes now.
   string made = ExampleNewPart(InpTree);
   if(made == "")
     {
      PrintFormat("%s is taken already: choose a new tree name.", InpTree);
      return;
     }

   // The deepest folder; PathCreateW makes every missing one above it.
   string relative = InpTree;
   for(int level = 1; level <= InpDepth; level++)
      relative += "\\Level" + IntegerToString(level);
   string deepest = ExamplesRoot() + "\\" + relative;

   if(!Step("PathCreateW(" + relative + ")", SedgefoldCreate(deepest)))
      return;
   // Creating what exists already is success too.
   Step("PathCreateW again (already there)", SedgefoldCreate(deepest));
   if(!Step("PathCheckW(deepest level)", SedgefoldIsDir(deepest)))
      return;

   string folder = InpTree;
   for(int level = 1; level <= InpDepth; level++)
     {
      folder += "\\Level" + IntegerToString(level);
      if(!WriteExampleFile(folder + "\\note.txt", "level " + IntegerToString(level)))
         return;
     }
   PrintFolder(tree);

   // A folder with entries is not removed by PathDeleteEmptyW: 0, and a
   // report that says why, without a box.
   Step("PathDeleteEmptyW(tree) refuses a full folder, with a report",
        PathDeleteEmptyW(tree) == 0 && SedgefoldLastReport() != "");

   if(!InpRemove)
     {
      PrintFormat("Left in place: %s", tree);
      return;
     }
   if(!Step("PathDeleteW(tree)", SedgefoldDelete(tree)))
      return;
   Step("PathCheckW(tree) is 0 afterwards", !SedgefoldIsDir(tree));
   // Nothing there any more: PathDeleteEmptyW counts that as success.
   Step("PathDeleteEmptyW(tree) on a missing folder", SedgefoldDeleteEmpty(tree));
   RemoveMadeParents(made, InpTree);
  }
//+------------------------------------------------------------------+
