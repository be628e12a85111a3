//+------------------------------------------------------------------+
//|                                            SedgefoldExamples.mqh |
//|           What the Sedgefold example scripts share: their folder |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
//
// The examples touch nothing outside one folder of their own,
//   <data folder>\MQL5\Files\SedgefoldExamples
// Names given in their inputs are taken relative to it, and a name that
// could lead out of it (a drive, "..", a leading backslash) or that Windows
// reserves for a device (con, nul, com1, lpt1.txt, ...) is refused before
// any call of the library. A script that creates, empties or deletes a
// folder refuses a name that is taken already, and removes only what it
// made itself: a folder there before the script ran, with your files in
// it, is never touched.
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
//| true when part (one name of a path) is a name Windows keeps for  |
//| a device, in any case and with any extension: con, prn, aux,     |
//| nul, com1 to com9, lpt1 to lpt9 (nul.txt and "com1 .csv" too).    |
//+------------------------------------------------------------------+
bool ExampleNameIsDevice(const string part)
  {
   string base = part;
   int dot = StringFind(base, ".");
   if(dot >= 0)
      base = StringSubstr(base, 0, dot);
   StringTrimRight(base);
   StringToLower(base);
   if(base == "con" || base == "prn" || base == "aux" || base == "nul")
      return true;
   if(StringLen(base) != 4)
      return false;
   string stem = StringSubstr(base, 0, 3);
   ushort digit = StringGetCharacter(base, 3);
   return (stem == "com" || stem == "lpt") && digit >= '1' && digit <= '9';
  }

//+------------------------------------------------------------------+
//| true when name is a relative path that stays inside the folder:  |
//| backslash-separated, no empty part, no "." or "..", no part      |
//| ending in a blank or a dot, none of the characters Windows        |
//| forbids in names, and no device name.                             |
//+------------------------------------------------------------------+
bool ExampleNameIsSafe(const string name)
  {
   if(StringLen(name) == 0 || StringLen(name) > 120)
      return false;
   for(int i = 0; i < StringLen(name); i++)
     {
      ushort c = StringGetCharacter(name, i);
      if(c < 32 || c == ':' || c == '/' || c == '*' || c == '?' || c == '"' ||
         c == '<' || c == '>' || c == '|')
         return false;
     }
   string parts[];
   int count = StringSplit(name, '\\', parts);
   if(count <= 0)
      return false;
   for(int i = 0; i < count; i++)
     {
      string part = parts[i];
      if(part == "" || part == "." || part == ".." ||
         StringGetCharacter(part, StringLen(part) - 1) == ' ' ||
         StringGetCharacter(part, StringLen(part) - 1) == '.' ||
         ExampleNameIsDevice(part))
         return false;
     }
   return true;
  }

//+------------------------------------------------------------------+
//| Full path of name inside the examples' folder; "" (and a message)|
//| when name is not safe.                                            |
//+------------------------------------------------------------------+
string ExamplePath(const string name)
  {
   if(!ExampleNameIsSafe(name))
     {
      PrintFormat("Refused \"%s\": give a plain relative name such as Tree or Work\\Data.", name);
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
//| Creates the examples' folder itself when it is missing.          |
//+------------------------------------------------------------------+
bool EnsureExamplesRoot()
  {
   string root = ExamplesRoot();
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
