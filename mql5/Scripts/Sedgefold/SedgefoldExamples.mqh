//+------------------------------------------------------------------+
//|                                            SedgefoldExamples.mqh |
//|           What the Sedgefold example scripts share: their folder |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
//
// The examples touch nothing outside one folder of their own,
//   <data folder>\MQL5\Files\SedgefoldExamples
// Names given in their inputs are taken relative to it, and a name that
// could lead out of it (a drive, "..", a leading backslash), that Windows
// reserves for a device (con, nul, com1, lpt1.txt, conin$, ...) or that
// could name more or other than it spells (* or ?, a name ending in a dot
// or a blank) is refused before any call of the library. A script that
// creates, empties or deletes a folder refuses a name that is taken
// already, and removes only what it made itself: a folder there before the
// script ran, with your files in it, is never touched, and neither is the
// examples' folder itself.
//+------------------------------------------------------------------+

#ifndef SEDGEFOLD_EXAMPLES_MQH
#define SEDGEFOLD_EXAMPLES_MQH

#include <Sedgefold.mqh>

// The examples' folder below MQL5\Files, where FileOpen() can reach too.
#define SEDGEFOLD_EXAMPLES_DIR "SedgefoldExamples"

//+------------------------------------------------------------------+
//| The full path of the examples' folder.                           |
//+------------------------------------------------------------------+
string ExamplesRoot()
  {
   return SedgefoldSandboxPath(SEDGEFOLD_EXAMPLES_DIR);
  }

//+------------------------------------------------------------------+
//| Why name, a relative path inside the examples' folder, is refused |
//| ("" when it is not): no more than 120 characters, backslashes     |
//| only between names, and every name one that the kit's helpers     |
//| pass (SedgefoldNameProblem: no wildcard, device name, name of     |
//| dots only or ending in a dot or a blank, no : " < > |).           |
//+------------------------------------------------------------------+
string ExampleNameProblem(const string name)
  {
   int length = StringLen(name);
   if(length == 0)
      return "an empty name, which would name the examples' folder itself";
   if(length > 120)
      return "more than 120 characters";
   if(StringFind(name, "/") >= 0)
      return "a slash: separate names with a backslash";
   string parts[];
   int count = StringSplit(name, '\\', parts);
   if(count <= 0)
      return "no name in it";
   for(int i = 0; i < count; i++)
     {
      string problem = SedgefoldNameProblem(parts[i], false);
      if(problem != "")
         return "\"" + parts[i] + "\" is " + problem;
     }
   return "";
  }

//+------------------------------------------------------------------+
//| true when name is a relative path that stays inside the folder   |
//| and names one entry exactly (ExampleNameProblem).                 |
//+------------------------------------------------------------------+
bool ExampleNameIsSafe(const string name)
  {
   return ExampleNameProblem(name) == "";
  }

//+------------------------------------------------------------------+
//| Full path of name inside the examples' folder; "" (and a message)|
//| when name is not safe. Never the examples' folder itself.         |
//+------------------------------------------------------------------+
string ExamplePath(const string name)
  {
   string problem = ExampleNameProblem(name);
   if(problem != "")
     {
      PrintFormat("Refused \"%s\": %s. Give a plain relative name such as Tree or Work\\Data.", name, problem);
      return "";
     }
   return ExamplesRoot() + "\\" + name;
  }

//+------------------------------------------------------------------+
//| true when something of that name (relative to the examples'      |
//| folder) is there already, a folder or a file, and when that      |
//| cannot be told: a name that may be taken is treated as taken.    |
//+------------------------------------------------------------------+
bool ExampleNameTaken(const string name)
  {
   string path = ExamplePath(name);
   if(path == "")
      return true;
   if(SedgefoldIsDir(path) || GetLastError() == SEDGEFOLD_ERROR)
      return true;
   return FileIsExist(SEDGEFOLD_EXAMPLES_DIR + "\\" + name);
  }

//+------------------------------------------------------------------+
//| The first part of name, from the top, that is not there yet:     |
//| what a script creating name makes, with everything below it, and |
//| so what it may remove again. For Work\Data: "Work" when Work is  |
//| missing, "Work\Data" when only Data is. "" when name is taken    |
//| already (or not safe, or cannot be checked): refuse it then.     |
//+------------------------------------------------------------------+
string ExampleNewPart(const string name)
  {
   if(!ExampleNameIsSafe(name))
      return "";
   string parts[];
   int count = StringSplit(name, '\\', parts);
   string relative = "";
   for(int i = 0; i < count; i++)
     {
      relative = i == 0 ? parts[0] : relative + "\\" + parts[i];
      if(!ExampleNameTaken(relative))
         return relative;
     }
   return "";
  }

//+------------------------------------------------------------------+
//| Removes what ExampleNewPart() said a script would make, when it  |
//| is more than the one folder the script removed by itself: the    |
//| parents it created, left empty.                                   |
//+------------------------------------------------------------------+
void RemoveMadeParents(const string made, const string name)
  {
   if(made == "" || made == name)
      return;
   Step("PathDeleteW(the folders made above " + name + ")", SedgefoldDelete(ExamplePath(made)));
  }

//+------------------------------------------------------------------+
//| What every example does first: make sure that the library may be |
//| called (DLL imports allowed, the version this kit is written     |
//| for), and create the examples' folder itself when it is missing. |
//+------------------------------------------------------------------+
bool ExamplesReady()
  {
   if(MQLInfoInteger(MQL_DLLS_ALLOWED) == 0)
     {
      Print("Allow DLL imports for this script (its properties, Dependencies tab, or Tools > Options > ",
            "Expert Advisors > Allow DLL imports) and run it again.");
      return false;
     }
   if(!SedgefoldCheckVersion())
      return false;
   string root = ExamplesRoot();
   if(root == "")
      return false;
   if(SedgefoldIsDir(root))
      return true;
   if(SedgefoldCreate(root))
     {
      PrintFormat("Created %s", root);
      return true;
     }
   PrintFormat("Could not create %s", root);
   return false;
  }

//+------------------------------------------------------------------+
//| Prints one step and its outcome; returns ok.                     |
//+------------------------------------------------------------------+
bool Step(const string what, const bool ok)
  {
   PrintFormat("%-60s %s", what, ok ? "ok" : "FAILED");
   return ok;
  }

//+------------------------------------------------------------------+
//| Writes a small text file at name (relative to the examples'      |
//| folder); its folder must exist.                                   |
//+------------------------------------------------------------------+
bool WriteExampleFile(const string name, const string text)
  {
   if(!ExampleNameIsSafe(name))
      return false;
   int file = FileOpen(SEDGEFOLD_EXAMPLES_DIR + "\\" + name, FILE_WRITE | FILE_TXT | FILE_UNICODE);
   if(file == INVALID_HANDLE)
     {
      PrintFormat("Could not write %s (error %d)", name, GetLastError());
      return false;
     }
   bool written = FileWriteString(file, text + "\r\n") > 0;
   FileClose(file);
   return written;
  }

//+------------------------------------------------------------------+
//| Prints the entries of one folder level, directories first.       |
//+------------------------------------------------------------------+
void PrintFolder(const string path)
  {
   string dirs[], files[];
   int dirCount = SedgefoldList(path + "\\*", SEDGEFOLD_DIRS, dirs);
   int fileCount = SedgefoldList(path + "\\*", SEDGEFOLD_FILES, files);
   if(dirCount < 0 || fileCount < 0)
     {
      PrintFormat("%s could not be listed.", path);
      return;
     }
   PrintFormat("%s: %d folder(s), %d file(s)", path, dirCount, fileCount);
   for(int i = 0; i < dirCount; i++)
      PrintFormat("  [%s]", dirs[i]);
   for(int i = 0; i < fileCount; i++)
      PrintFormat("  %s", files[i]);
  }

#endif // SEDGEFOLD_EXAMPLES_MQH
//+------------------------------------------------------------------+
