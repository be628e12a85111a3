//+------------------------------------------------------------------+
//|                                            SedgefoldExamples.mqh |
//|           What the Sedgefold example scripts share: their folder |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
//
// The examples touch nothing outside one folder of their own,
//   <data folder>\MQL5\Files\SedgefoldExamples
// Names given in their inputs are taken relative to it, and a name that
// could lead out of it (a drive, "..", a leading backslash) is refused
// before any call of the library.
//+------------------------------------------------------------------+
#property copyright "Copyright (c) 2026 Sedgefold developers"

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
   return TerminalInfoString(TERMINAL_DATA_PATH) + "\\MQL5\\Files\\" + SEDGEFOLD_EXAMPLES_DIR;
  }

//+------------------------------------------------------------------+
//| true when name is a relative path that stays inside the folder:  |
//| backslash-separated, no empty part, no "." or "..", none of the   |
//| characters Windows forbids in names.                              |
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
         StringGetCharacter(part, StringLen(part) - 1) == '.')
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
   PrintFormat("%s: %d folder(s), %d file(s)", path, MathMax(dirCount, 0), MathMax(fileCount, 0));
   for(int i = 0; i < dirCount; i++)
      PrintFormat("  [%s]", dirs[i]);
   for(int i = 0; i < fileCount; i++)
      PrintFormat("  %s", files[i]);
  }

#endif // SEDGEFOLD_EXAMPLES_MQH
//+------------------------------------------------------------------+
