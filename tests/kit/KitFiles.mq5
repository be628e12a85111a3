//+------------------------------------------------------------------+
//| KitFiles.mq5: the helpers at work on real folders. SedgefoldList  |
//| on a folder larger than its default and cut listings; copy and    |
//| move onto existing entries, with and without FILE_REWRITE; each   |
//| helper's answers and failures; a box in a script.                 |
//+------------------------------------------------------------------+
#include "KitTest.mqh"

string Base;

//+------------------------------------------------------------------+
//| The names of a listing are f0000.txt ... each once.               |
//+------------------------------------------------------------------+
bool EachOnce(const string &names[], const int count)
  {
   int seen[];
   if(ArraySize(names) != count || ArrayResize(seen, count) != count)
      return false;
   ArrayFill(seen, 0, count, 0);
   for(int i = 0; i < count; i++)
     {
      string digits = StringSubstr(names[i], 1, 4);
      int n = (int)StringToInteger(digits);
      if(StringLen(names[i]) != 9 || n < 0 || n >= count || seen[n]++ > 0 || names[i] != StringFormat("f%04d.txt", n))
         return false;
     }
   return true;
  }

void Listings()
  {
   string big = Scratch("big");
   for(int i = 0; i < 1100; i++)
      TestWriteFile(StringFormat("%s\\f%04d.txt", big, i), "x");
   SedgefoldCreate(big + "\\Sub1");
   SedgefoldCreate(big + "\\Sub2");
   string names[];
   int count = SedgefoldList(big + "\\*", SEDGEFOLD_FILES, names);
   Expect(count == 1024 && ArraySize(names) == 1024 && GetLastError() == SEDGEFOLD_LIST_CUT,
          StringFormat("a listing of 1100 files at the default 1024: %d, error %d", count, GetLastError()));
   count = SedgefoldList(big + "\\*", SEDGEFOLD_FILES, names, 5000);
   Expect(count == 1100 && GetLastError() != SEDGEFOLD_LIST_CUT && EachOnce(names, 1100),
          StringFormat("every one of 1100 files, each once: %d", count));
   count = SedgefoldListBuffered(big + "\\*", SEDGEFOLD_FILES, names, 1100);
   Expect(count == 1100 && GetLastError() == 0, "a listing of exactly its maximum is not cut");
   count = SedgefoldList(big + "\\*", SEDGEFOLD_FILES, names, 1099);
   Expect(count == 1099 && GetLastError() == SEDGEFOLD_LIST_CUT, "one name fewer than the folder holds is cut");
   count = SedgefoldList(big + "\\*", SEDGEFOLD_DIRS, names, 1);
   Expect(count == 1 && GetLastError() == SEDGEFOLD_LIST_CUT, "one folder of two, cut");
   Expect(SedgefoldList(big + "\\*", SEDGEFOLD_ALL, names, 2000) == 1102, "files and folders");
   Expect(SedgefoldList(big + "\\f000?.txt", SEDGEFOLD_FILES, names) == 10, "a pattern that matches");
   // A name as long as Windows allows (Wine keeps it as 255 bytes of UTF-8).
   string longs = Scratch("long"), name = "Файл-";
   while(StringLen(name) < 250)
      name += "w";
   TestWriteFile(longs + "\\" + name, "x");
   TestWriteFile(longs + "\\short", "x");
   count = SedgefoldList(longs + "\\*", SEDGEFOLD_FILES, names);
   Expect(count == 2 && (names[0] == name || names[1] == name) && (names[0] == "short" || names[1] == "short"),
          "a name of 250 characters comes whole");
   // Failures leave names[] empty; nothing to list is 0.
   string fixed[3];
   Failed("SedgefoldList into a fixed array", SedgefoldList(big + "\\*", SEDGEFOLD_ALL, fixed) == -1);
   int bad[] = {0, -5, SEDGEFOLD_LIST_MOST + 1};
   for(int i = 0; i < ArraySize(bad); i++)
      Failed("SedgefoldList of at most " + IntegerToString(bad[i]), SedgefoldList(big + "\\*", SEDGEFOLD_ALL, names, bad[i]) == -1);
   SedgefoldList(big + "\\*", SEDGEFOLD_ALL, names, 3);
   Failed("SedgefoldList of a missing folder", SedgefoldList(Base + "\\missing\\*", SEDGEFOLD_ALL, names) == -1 && ArraySize(names) == 0);
   Failed("SedgefoldList of a pattern matching nothing", SedgefoldList(big + "\\*.csv", SEDGEFOLD_ALL, names) == -1);
   Answered("SedgefoldList of an empty folder", SedgefoldList(Scratch("empty") + "\\*", SEDGEFOLD_ALL, names) == 0);
  }

//+------------------------------------------------------------------+
//| Copy and move onto what exists: refused without FILE_REWRITE, and |
//| the entry there replaced with it.                                 |
//+------------------------------------------------------------------+
bool Holds(const string path, const string text)
  {
   return TestReadFile(path) == text;
  }

void Overwrites()
  {
   string w = Scratch("overwrite");
   string src = w + "\\src.txt", dst = w + "\\dst.txt", folder = w + "\\folder";
   TestWriteFile(src, "new");
   TestWriteFile(dst, "old");
   Failed("SedgefoldCopy onto a file", !SedgefoldCopy(src, dst));
   Expect(Holds(dst, "old") && StringFind(SedgefoldLastFailure(), "FILE_REWRITE") >= 0, "the file copied onto stays as it was");
   Answered("SedgefoldCopy onto a file with FILE_REWRITE", SedgefoldCopy(src, dst, FILE_REWRITE));
   Expect(Holds(dst, "new") && Holds(src, "new"), "the copy replaced the file");
   TestWriteFile(src, "newer");
   Failed("SedgefoldMove onto a file", !SedgefoldMove(src, dst));
   Expect(Holds(dst, "new") && Holds(src, "newer"), "a refused move changes nothing");
   Answered("SedgefoldMove onto a file with FILE_REWRITE", SedgefoldMove(src, dst, FILE_REWRITE));
   Expect(Holds(dst, "newer") && !TestExists(src) && !TestExists(dst + SEDGEFOLD_SET_ASIDE), "the move replaced the file");
   // Into an existing folder: the entry lands inside it.
   SedgefoldCreate(folder);
   Answered("SedgefoldCopy into a folder", SedgefoldCopy(dst, folder));
   Expect(Holds(folder + "\\dst.txt", "newer"), "the copy landed inside the folder");
   TestWriteFile(dst, "third");
   Failed("SedgefoldCopy into a folder holding that name", !SedgefoldCopy(dst, folder));
   Answered("and with FILE_REWRITE", SedgefoldCopy(dst, folder, FILE_REWRITE) && Holds(folder + "\\dst.txt", "third"));
   // Folders: a copy merges, a move replaces.
   string tree = w + "\\tree", into = w + "\\into";
   SedgefoldCreate(into + "\\tree");
   SedgefoldCreate(tree);
   TestWriteFile(tree + "\\a.txt", "a new");
   TestWriteFile(into + "\\tree\\a.txt", "a old");
   TestWriteFile(into + "\\tree\\b.txt", "b kept");
   Failed("SedgefoldCopy of a folder onto one", !SedgefoldCopy(tree, into));
   Answered("SedgefoldCopy of a folder onto one with FILE_REWRITE", SedgefoldCopy(tree, into, FILE_REWRITE));
   Expect(Holds(into + "\\tree\\a.txt", "a new") && Holds(into + "\\tree\\b.txt", "b kept"), "the copy merged the folders");
   TestWriteFile(tree + "\\c.txt", "c");
   Failed("SedgefoldMove of a folder onto one", !SedgefoldMove(tree, into));
   Answered("SedgefoldMove of a folder onto one with FILE_REWRITE", SedgefoldMove(tree, into, FILE_REWRITE));
   Expect(Holds(into + "\\tree\\c.txt", "c") && !TestExists(into + "\\tree\\b.txt") && !SedgefoldIsDir(tree) &&
          !TestExists(into + "\\tree" + SEDGEFOLD_SET_ASIDE), "the move replaced the folder");
   // The same file under another drive letter (T: is S:): nothing is lost.
   string same = w + "\\same.txt", other = same;
   TestWriteFile(same, "mine");
   StringReplace(other, "S:\\", "T:\\");
   Failed("SedgefoldMove of a file onto itself with FILE_REWRITE", !SedgefoldMove(same, other, FILE_REWRITE));
   Expect(Holds(same, "mine") && !TestExists(same + SEDGEFOLD_SET_ASIDE), "the file moved onto itself is kept");
   TestWriteFile(dst + SEDGEFOLD_SET_ASIDE, "in the way");
   TestWriteFile(src, "src");
   Failed("SedgefoldMove with the set-aside name taken", !SedgefoldMove(src, dst, FILE_REWRITE));
   Expect(Holds(src, "src") && Holds(dst, "third") && Holds(dst + SEDGEFOLD_SET_ASIDE, "in the way"), "nothing moved");
   // New names.
   Answered("SedgefoldCopy to a new name", SedgefoldCopy(src, w + "\\copy.txt") && Holds(w + "\\copy.txt", "src"));
   Answered("SedgefoldMove to a new name", SedgefoldMove(w + "\\copy.txt", w + "\\moved.txt") &&
            Holds(w + "\\moved.txt", "src") && !TestExists(w + "\\copy.txt"));
  }

//+------------------------------------------------------------------+
//| Each helper's plain answers and failures.                         |
//+------------------------------------------------------------------+
void Helpers()
  {
   string h = Scratch("helpers"), deep = h + "\\a\\b\\c", file = h + "\\file.txt";
   Answered("SedgefoldCreate of a nested folder", SedgefoldCreate(deep) && SedgefoldIsDir(deep));
   Answered("SedgefoldCreate of one that exists", SedgefoldCreate(deep));
   TestWriteFile(file, "f");
   Failed("SedgefoldCreate over a file", !SedgefoldCreate(file));
   Answered("SedgefoldIsDir of a file: a plain no", !SedgefoldIsDir(file));
   Answered("SedgefoldIsDir of nothing: a plain no", !SedgefoldIsDir(h + "\\none"));
   Answered("SedgefoldIsEmptyDir", SedgefoldIsEmptyDir(deep) && !SedgefoldIsEmptyDir(h + "\\a"));
   Failed("SedgefoldDeleteEmpty of a full folder", !SedgefoldDeleteEmpty(h + "\\a"));
   Expect(SedgefoldIsDir(deep), "the full folder stays");
   Answered("SedgefoldDeleteEmpty of an empty one", SedgefoldDeleteEmpty(deep) && !SedgefoldIsDir(deep));
   Answered("SedgefoldDeleteEmpty of nothing", SedgefoldDeleteEmpty(deep));
   TestWriteFile(h + "\\a\\b\\x.txt", "x");
   TestWriteFile(h + "\\a\\y.txt", "y");
   Answered("SedgefoldClearFiles", SedgefoldClearFiles(h + "\\a") && SedgefoldIsEmptyDir(h + "\\a\\b") &&
            !TestExists(h + "\\a\\y.txt"));
   TestWriteFile(h + "\\a\\y.txt", "y");
   Answered("SedgefoldClear", SedgefoldClear(h + "\\a") && SedgefoldIsEmptyDir(h + "\\a"));
   Failed("SedgefoldClear of a file", !SedgefoldClear(file) && TestExists(file));
   Answered("SedgefoldDelete", SedgefoldDelete(h + "\\a") && !TestExists(h + "\\a"));
   Failed("SedgefoldDelete of nothing", !SedgefoldDelete(h + "\\a"));
   Answered("SedgefoldDelete of a file", SedgefoldDelete(file) && !TestExists(file));
   // Wine makes no symbolic link: the library says so.
   Failed("SedgefoldLink under Wine", !SedgefoldLink(h, h + "\\links\\to") && StringFind(SedgefoldLastFailure(), "to") >= 0);
   Expect(SedgefoldLastReport() != "", "SedgefoldLastReport keeps the library's report");
   SedgefoldIsDir(h);
   Expect(SedgefoldLastReport() == "", "and is empty after a call without a failure");
  }

//+------------------------------------------------------------------+
//| A script someone watches gets the library's box.                  |
//+------------------------------------------------------------------+
void Boxes()
  {
   SedgefoldChosenMode = SEDGEFOLD_REPORT_ASK;
   int from = JournalLines();
   Failed("SedgefoldClear of a missing folder in a script", !SedgefoldClear(Base + "\\missing"));
   Said("a script's failure", "Message box \"Sedgefold.dll\"", from, 1);
   SedgefoldQuiet(true);
   Failed("the same, quiet", !SedgefoldClear(Base + "\\missing2"));
   Said("a quiet failure", "Message box", from, 1);
  }

void OnStart()
  {
   SedgefoldQuiet(true);
   Base = Scratch("files");
   Listings();
   Overwrites();
   Helpers();
   Boxes();
   Done();
  }
