//+------------------------------------------------------------------+
//|                                            SedgefoldMakeLink.mq5 |
//|         Makes a directory symbolic link, reads through it and    |
//|                       removes the link (never what it points to) |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
#property copyright   "Copyright (c) 2026 Sedgefold developers"
#property version     "1.00"
#property description "Creates LinkTarget and a link Links\\<Link> to it inside"
#property description "MQL5\\Files\\SedgefoldExamples. Windows allows symbolic links only to"
#property description "administrators, or to everyone with Developer Mode on."
#property description "It refuses a name that is taken and removes only what it made."
#property script_show_inputs

#include "SedgefoldExamples.mqh"

input string InpLink   = "ToTarget";   // Link name inside SedgefoldExamples\Links (a new name)
input bool   InpRemove = true;         // Remove the link and what the script made at the end

//+------------------------------------------------------------------+
void OnStart()
  {
   if(!ExamplesReady())
      return;
   string target = ExamplePath("LinkTarget");
   string link = ExamplePath("Links\\" + InpLink);
   if(target == "" || link == "")
      return;
   // The target is deleted at the end, so it must be made now; the link's
   // name must be new too, and of the folders above it only those the
   // call makes (Links, say) are removed again.
   string linkMade = ExampleNewPart("Links\\" + InpLink);
   if(ExampleNewPart("LinkTarget") != "LinkTarget" || linkMade == "")
     {
      PrintFormat("LinkTarget or Links\\%s is taken already: remove it or choose another link name.", InpLink);
      return;
     }

   if(!Step("PathCreateW(target)", SedgefoldCreate(target)) ||
      !WriteExampleFile("LinkTarget\\data.txt", "seen through the link"))
      return;

   // The folders above the link are created by the call when they are missing.
   bool linked = SedgefoldLink(target, link);
   Step("PathSymbolicLinkW(target, link)", linked);
   if(!linked)
     {
      Print("Windows refused the link: run the terminal as administrator or turn on");
      Print("Developer Mode (Settings > For developers), then run the script again.");
     }
   else
     {
      Step("the link is a folder", SedgefoldIsDir(link));
      PrintFolder(link);
     }

   // A target that does not exist shows a box ("Отсутсвует исходный путь")
   // and answers 0; the example does not provoke it.

   if(!InpRemove)
      return;
   // A link is removed with PathDeleteEmptyW: it removes the link itself and
   // never looks inside. (PathDeleteW removes it as a link too; but
   // PathClearFromFilesW on a folder holding it would delete the files
   // behind it.)
   bool unlinked = !linked ||
                   Step("PathDeleteEmptyW(link) removes the link only", SedgefoldDeleteEmpty(link) && !SedgefoldIsDir(link));
   Step("the target still holds its file", FileIsExist(SEDGEFOLD_EXAMPLES_DIR + "\\LinkTarget\\data.txt"));
   Step("PathDeleteW(target)", SedgefoldDelete(target));
   // What the link call made above the link, now empty; never while the
   // link may still be there.
   if(unlinked)
      RemoveMadeParents(linkMade, "Links\\" + InpLink);
  }
//+------------------------------------------------------------------+
