//+------------------------------------------------------------------+
//|                                          SedgefoldListFolder.mq5 |
//|                   Lists one folder level into a string array, in |
//|               both listing forms: UTF-16 and the ANSI code page  |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
#property copyright   "Copyright (c) 2026 Sedgefold developers"
#property version     "1.00"
#property description "Lists a folder inside MQL5\\Files\\SedgefoldExamples into an array:"
#property description "through a ushort buffer (SedgefoldList) and a narrow uchar buffer."
#property script_show_inputs

#include "SedgefoldExamples.mqh"

input string              InpFolder = "ListMe";        // Folder inside SedgefoldExamples
input ENUM_SEDGEFOLD_LIST InpWhat   = SEDGEFOLD_ALL;   // What to list
input int                 InpMax    = 100;             // At most this many names (1..10000)

//+------------------------------------------------------------------+
//| A few entries to list when the folder is new; a folder that is   |
//| there already is listed as it is, and nothing is written to it.  |
//+------------------------------------------------------------------+
bool MakeSample(const string path)
  {
   if(SedgefoldIsDir(path))
      return true;
   return Step("PathCreateW(sample\\Reports)", SedgefoldCreate(path + "\\Reports")) &&
          WriteExampleFile(InpFolder + "\\prices.csv", "time;bid;ask") &&
          WriteExampleFile(InpFolder + "\\notes.txt", "listed by Sedgefold");
  }

//+------------------------------------------------------------------+
//| The narrow form by hand: count slots of `size` bytes in one uchar |
//| array, name i starting at byte i * size. A slot has room for 780  |
//| bytes: under a UTF-8 ANSI code page a character of a name takes   |
//| up to 3. A name the ANSI code page cannot spell comes back with   |
//| "?" for each lost character: it is no name of the entry, and "?"  |
//| is a wildcard to PathDeleteA, PathCopyA and PathMoveA. Such names |
//| are left out and counted in skipped. -1 on failure.               |
//+------------------------------------------------------------------+
int ListNarrow(const string pattern, const int mode, string &names[], const int maxNames,
               int &skipped)
  {
   const int size = SEDGEFOLD_NARROW_SLOT_BYTES;   // bytes per slot; room for any name
   skipped = 0;
   uchar ansiPattern[];
   if(!SedgefoldToAnsi(pattern, ansiPattern))
      return -1;
   uchar buffer[];
   if(ArrayResize(buffer, maxNames * size) != maxNames * size)   // the library cannot check this
      return -1;
   ulong listed = PathGetListA(ansiPattern, mode, buffer, (ulong)maxNames, (ulong)size);
   if(listed == 0 && SedgefoldLastReport() != "")
      return -1;
   int count = listed > (ulong)maxNames ? maxNames : (int)listed;
   if(ArrayResize(names, count) != count)
      return -1;
   int kept = 0;
   for(int i = 0; i < count; i++)
     {
      // Each name ends at its zero: reading stops there.
      string name = CharArrayToString(buffer, i * size, -1, CP_ACP);
      if(SedgefoldNarrowNameIsExact(name))
         names[kept++] = name;
      else
         skipped++;
     }
   return ArrayResize(names, kept) == kept ? kept : -1;
  }

//+------------------------------------------------------------------+
void PrintNames(const string how, const string &names[], const int count)
  {
   if(count < 0)
     {
      PrintFormat("%s: the listing failed", how);
      return;
     }
   PrintFormat("%s: %d name(s)", how, count);
   for(int i = 0; i < count; i++)
      PrintFormat("  %d: %s", i, names[i]);
  }

//+------------------------------------------------------------------+
void OnStart()
  {
   if(InpMax < 1 || InpMax > 10000)
     {
      Print("The maximum must be from 1 to 10000.");
      return;
     }
   if(!ExamplesReady())
      return;
   string path = ExamplePath(InpFolder);
   if(path == "" || !MakeSample(path))
      return;
   string pattern = path + "\\*";

   string names[];
   int count = SedgefoldList(pattern, InpWhat, names, InpMax);
   bool cut = GetLastError() == SEDGEFOLD_LIST_CUT;
   PrintNames("PathGetListW (ushort buffer, SedgefoldList)", names, count);
   if(count < 0)
      return;
   if(cut)
      PrintFormat("The folder holds more than %d such names; the rest were not listed.", InpMax);

   string narrow[];
   int skipped = 0;
   int narrowCount = ListNarrow(pattern, InpWhat, narrow, InpMax, skipped);
   PrintNames("PathGetListA (uchar buffer, ANSI code page)", narrow, narrowCount);
   if(skipped > 0)
      PrintFormat("%d name(s) left out: the ANSI code page cannot spell them. Use the W form.", skipped);
   Step("both forms list the same names, less those left out",
        narrowCount >= 0 && narrowCount + skipped == count);

   // One name asked for: one name, and word that there were more.
   string first[];
   int one = SedgefoldList(pattern, InpWhat, first, 1);
   bool more = GetLastError() == SEDGEFOLD_LIST_CUT;
   Step("a maximum of 1 gives 1 name, and says so when there were more",
        one == MathMin(count, 1) && more == (count > 1 || cut));
  }
//+------------------------------------------------------------------+
