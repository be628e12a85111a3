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
#property script_show_inputs

#include "SedgefoldExamples.mqh"

input string InpLink   = "ToTarget";   // Link name inside SedgefoldExamples\Links
input bool   InpRemove = true;         // Remove the link and its target at the end

//+------------------------------------------------------------------+
void OnStart()
  {
   if(!EnsureExamplesRoot())
      return;
   string target = ExamplePath("LinkTarget");
   string links = ExamplePath("Links");
   string link = ExamplePath("Links\\" + InpLink);
   if(target == "" || links == "" || link == "")
      return;
   if(SedgefoldIsDir(link))
     {
      PrintFormat("%s exists already; choose another link name.", link);
      return;
     }

   if(!Step("PathCreateW(target)", SedgefoldCreate(target)) ||
      !WriteExampleFile("LinkTarget\\data.txt", "seen through the link"))
      return;

   // The Links folder is created by the call when it is missing.
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
   if(linked)
      Step("PathDeleteEmptyW(link) removes the link only", SedgefoldDeleteEmpty(link) && !SedgefoldIsDir(link));
   Step("the target still holds its file", FileIsExist(SEDGEFOLD_EXAMPLES_DIR + "\\LinkTarget\\data.txt"));
   Step("PathDeleteEmptyW(Links)", SedgefoldDeleteEmpty(links));
   Step("PathDeleteW(target)", SedgefoldDelete(target));
  }
//+------------------------------------------------------------------+
