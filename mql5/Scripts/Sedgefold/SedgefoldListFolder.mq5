//+------------------------------------------------------------------+
//|                                          SedgefoldListFolder.mq5 |
//|                   Lists one folder level into a string array, in |
//|                        each of the three ways MQL5 can call it   |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
#property copyright   "Copyright (c) 2026 Sedgefold developers"
#property version     "1.00"
#property description "Lists a folder inside MQL5\\Files\\SedgefoldExamples into an array:"
#property description "through string records, a ushort buffer and a narrow uchar buffer."
#property script_show_inputs

#include "SedgefoldExamples.mqh"

enum ENUM_LIST_WHAT
  {
   LIST_DIRS  = SEDGEFOLD_DIRS,    // Folders
   LIST_FILES = SEDGEFOLD_FILES,   // Files
   LIST_ALL   = SEDGEFOLD_ALL      // Folders and files
  };

input string         InpFolder = "ListMe";    // Folder inside SedgefoldExamples
input ENUM_LIST_WHAT InpWhat   = LIST_ALL;    // What to list
input int            InpMax    = 100;         // At most this many names (1..10000)

//+------------------------------------------------------------------+
//| A few entries to list when the folder is new.                    |
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
//| array, name i starting at byte i * size.                          |
//+------------------------------------------------------------------+
int ListNarrow(const string pattern, const int mode, string &names[], const int maxNames)
  {
   const int size = 2 * SEDGEFOLD_NAME_CHARS;   // bytes per slot; room for any name
   uchar ansiPattern[];
   if(!SedgefoldToAnsi(pattern, ansiPattern))
      return -1;
   uchar buffer[];
   if(ArrayResize(buffer, maxNames * size) != maxNames * size)   // the library cannot check this
      return -1;
   ArrayInitialize(buffer, 0);
   ulong listed = PathGetListA(ansiPattern, mode, buffer, (ulong)maxNames, (ulong)size);
   int count = listed > (ulong)maxNames ? maxNames : (int)listed;
   if(ArrayResize(names, count) != count)
      return -1;
   for(int i = 0; i < count; i++)
      names[i] = CharArrayToString(buffer, i * size, -1, CP_ACP);
   return count;
  }

//+------------------------------------------------------------------+
void PrintNames(const string how, const string &names[], const int count)
  {
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
   if(!EnsureExamplesRoot())
      return;
   string path = ExamplePath(InpFolder);
   if(path == "" || !MakeSample(path))
      return;
   string pattern = path + "\\*";

   string names[];
   int count = SedgefoldList(pattern, InpWhat, names, InpMax);
   if(count < 0)
     {
      Print("Could not size the array of names.");
      return;
     }
   PrintNames("PathGetListMW (string records)", names, count);

   string buffered[];
   int bufferedCount = SedgefoldListBuffered(pattern, InpWhat, buffered, InpMax);
   PrintNames("PathGetListW (ushort buffer)", buffered, bufferedCount);
   Step("both ways list the same number of names", bufferedCount == count);

   string narrow[];
   int narrowCount = ListNarrow(pattern, InpWhat, narrow, InpMax);
   PrintNames("PathGetListA (uchar buffer, ANSI)", narrow, narrowCount);

   // Only the first name: the rest are dropped without notice.
   string first[];
   Step("a maximum of 1 gives at most 1 name", SedgefoldList(pattern, InpWhat, first, 1) <= 1);
  }
//+------------------------------------------------------------------+
