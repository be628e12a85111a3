//+------------------------------------------------------------------+
//|                                        SedgefoldBackupFolder.mq5 |
//|        Copies a folder into dated backups, in a service's thread |
//|                          Copyright (c) 2026 Sedgefold developers |
//+------------------------------------------------------------------+
//
// A call of Sedgefold.dll runs on the thread of the program that makes
// it, until it is done: a copy of a large tree in an expert holds up its
// OnTick and OnTimer for as long, and in an indicator it holds up every
// indicator of the symbol and the symbol's own ticks. A service runs in a
// thread of its own, so long work belongs here.
//
// When it starts, and then every InpHours hours, this service copies the
// folder InpSource with everything in it into a new folder of InpBackups,
// named after the local time and marked as partial while the copy runs:
//   <backups>\2026.03.14 09-30-05.partial\<source's name>\...
// and renamed to <backups>\2026.03.14 09-30-05 only when the copy is
// complete: the library answers 1 only when every entry arrived, files
// with their sizes. A folder ending in .partial is a copy cut short or
// failed; the journal says which. It never deletes or replaces a file: each
// copy goes into a folder it has just made and found empty. The terminal
// starts a service again when it starts, so with InpHours = 0 it makes one
// copy a start.
//
// Stopping: when the service is stopped (or the terminal closes),
// IsStopped() turns true, and the MQL5 reference says the program is then
// "completed forcibly from the outside after 3 seconds". A call of the
// library cannot be cut short, and a copy of minutes outlasts those 3 s:
// the service is ended in the middle of it, and the copy keeps its partial
// name. Once IsStopped() is true it starts nothing new, no copy and no
// rename. Between copies it waits a second at a time and ends at once.
//
// Add it in the Navigator (Services, right click, Add Service), with DLL
// imports allowed on its Dependencies tab.
//+------------------------------------------------------------------+
#property service
#property copyright   "Copyright (c) 2026 Sedgefold developers"
#property version     "1.00"
#property description "Copies a folder with everything in it into a new dated folder of a backup folder,"
#property description "when it starts and every few hours, in the service's own thread."
#property description "Never deletes or replaces a file."

#include <Sedgefold.mqh>

input string InpSource  = "C:\\SedgefoldBackup\\Data";    // Folder to copy (full path)
input string InpBackups = "C:\\SedgefoldBackup\\Copies";  // Backups (full path, not inside the folder to copy)
input int    InpHours   = 24;                             // Hours between copies (0: one copy a start; at most 8760)

//+------------------------------------------------------------------+
//| The path without trailing backslashes ("C:\" keeps its own).     |
//+------------------------------------------------------------------+
string Trimmed(const string path)
  {
   string text = path;
   while(StringLen(text) > 3 && StringGetCharacter(text, StringLen(text) - 1) == '\\')
      text = StringSubstr(text, 0, StringLen(text) - 1);
   return text;
  }

//+------------------------------------------------------------------+
//| true when inner is outer or lies below it, by their spelling     |
//| (case ignored, as Windows does).                                 |
//+------------------------------------------------------------------+
bool IsWithin(const string inner, const string outer)
  {
   string lowerInner = inner, lowerOuter = outer;
   StringToLower(lowerInner);
   StringToLower(lowerOuter);
   if(lowerInner == lowerOuter)
      return true;
   if(StringGetCharacter(lowerOuter, StringLen(lowerOuter) - 1) != '\\')
      lowerOuter = lowerOuter + "\\";
   return StringFind(lowerInner, lowerOuter) == 0;
  }

// The ending of a backup's name while it is copied.
#define BACKUP_PARTIAL ".partial"

//+------------------------------------------------------------------+
//| The name of a new backup, free under it and its partial name,     |
//| with the partial folder made now and found empty; "" when none    |
//| could be made (the helpers said why).                             |
//+------------------------------------------------------------------+
string NewBackupFolder(const string backups)
  {
   if(!SedgefoldCreate(backups))
      return "";
   string stamp = TimeToString(TimeLocal(), TIME_DATE | TIME_SECONDS);
   StringReplace(stamp, ":", "-");
   for(int attempt = 1; attempt <= 100; attempt++)
     {
      string folder = backups + "\\" + stamp + (attempt > 1 ? " (" + IntegerToString(attempt) + ")" : "");
      string partial = folder + BACKUP_PARTIAL;
      if(SedgefoldIsDir(folder) || SedgefoldIsDir(partial))
         continue;   // taken: the next name
      if(GetLastError() == SEDGEFOLD_ERROR || !SedgefoldCreate(partial))
         return "";
      if(SedgefoldIsEmptyDir(partial))
         return folder;
      if(GetLastError() == SEDGEFOLD_ERROR)
         return "";
      // Someone else made it meanwhile and put something in: the next name.
     }
   return "";
  }

//+------------------------------------------------------------------+
//| One backup: source, as name, into a new folder of backups.       |
//+------------------------------------------------------------------+
void BackUp(const string source, const string name, const string backups)
  {
   if(!SedgefoldIsDir(source))
     {
      if(GetLastError() != SEDGEFOLD_ERROR)
         PrintFormat("%s is not there; nothing copied this time.", source);
      return;
     }
   string folder = NewBackupFolder(backups);
   if(folder == "")
      return;
   string partial = folder + BACKUP_PARTIAL;
   uint started = GetTickCount();
   // The long call: minutes for a large tree, on this service's thread.
   if(!SedgefoldCopy(source, partial + "\\" + name))
     {
      PrintFormat("The copy of %s to %s failed; what was copied stays there.", source, partial);
      return;
     }
   if(IsStopped())
     {
      PrintFormat("Stopped: the copy of %s is complete in %s, not renamed.", source, partial);
      return;
     }
   if(SedgefoldMove(partial, folder))
      PrintFormat("Copied %s to %s in %.1f s.", source, folder, (GetTickCount() - started) / 1000.0);
   else
      PrintFormat("Copied %s to %s, which could not be renamed to %s.", source, partial, folder);
  }

//+------------------------------------------------------------------+
void OnStart()
  {
   if(MQLInfoInteger(MQL_DLLS_ALLOWED) == 0)
     {
      Print("Allow DLL imports for this service (its properties, Dependencies tab) and start it again.");
      return;
     }
   // Another version of Sedgefold.dll is said in the journal.
   if(!SedgefoldCheckVersion())
      return;
   SedgefoldQuiet(true);   // nobody watches a service: no box, ever
   string source = Trimmed(InpSource), backups = Trimmed(InpBackups);
   string problem = SedgefoldPathProblem(source, false, true);
   if(problem == "")
      problem = SedgefoldPathProblem(backups, false, true);
   string parent = problem == "" ? SedgefoldTrimName(source) : "";
   if(problem == "" && parent == "")
      problem = "the folder to copy must have a name (not a drive's root)";
   if(problem != "")
     {
      PrintFormat("Give the folder to copy and the backups as full paths of plain names: %s.", problem);
      return;
     }
   if(IsWithin(backups, source))
     {
      PrintFormat("The backups %s lie in the folder to copy %s: choose a folder outside it.", backups, source);
      return;
     }
   if(InpHours < 0 || InpHours > 8760)
     {
      Print("Hours between copies: 0 to 8760.");
      return;
     }
   string name = StringSubstr(source, StringLen(parent));
   PrintFormat("Backing up %s into %s%s.", source, backups,
               InpHours == 0 ? " once" : " every " + IntegerToString(InpHours) + " h");
   while(!IsStopped())
     {
      BackUp(source, name, backups);
      if(InpHours == 0)
         break;
      for(int waited = 0; waited < InpHours * 3600 && !IsStopped(); waited++)
         Sleep(1000);
     }
  }
//+------------------------------------------------------------------+
