//+------------------------------------------------------------------+
//| What the kit's tests share (run by tests/kit-run.sh): scratch     |
//| folders in the run's terminal folder on S:, and the checks of a   |
//| helper's answer. Expect, TestCalls and the other Test* functions  |
//| are the runner's (tests/kit/mql5.h), not MQL5's.                  |
//+------------------------------------------------------------------+
#include <Sedgefold.mqh>

//+------------------------------------------------------------------+
//| A new empty folder of that name beside the terminal's MQL5 folder.|
//+------------------------------------------------------------------+
string Scratch(const string name)
  {
   string path = TerminalInfoString(TERMINAL_DATA_PATH) + "\\" + name;
   Expect(SedgefoldCreate(path) && SedgefoldIsEmptyDir(path), "a new empty scratch folder " + path);
   return path;
  }

//+------------------------------------------------------------------+
//| A helper refused before any call of the library: its failure,     |
//| SEDGEFOLD_ERROR, and no export called since calls.                |
//+------------------------------------------------------------------+
void Refused(const string row, const bool failed, const long calls)
  {
   Expect(failed && GetLastError() == SEDGEFOLD_ERROR && TestCalls() == calls,
          StringFormat("%s: refused before the library (failed %s, error %d, %d call(s))", row,
                       failed ? "yes" : "no", GetLastError(), TestCalls() - calls));
  }

//+------------------------------------------------------------------+
//| A helper's answer that is no failure.                             |
//+------------------------------------------------------------------+
void Answered(const string row, const bool ok)
  {
   Expect(ok && GetLastError() != SEDGEFOLD_ERROR,
          StringFormat("%s (error %d: %s)", row, GetLastError(), SedgefoldLastFailure()));
  }

//+------------------------------------------------------------------+
//| A helper that failed: its answer and SEDGEFOLD_ERROR.             |
//+------------------------------------------------------------------+
void Failed(const string row, const bool failed)
  {
   Expect(failed && GetLastError() == SEDGEFOLD_ERROR, StringFormat("%s: fails (error %d)", row, GetLastError()));
  }

//+------------------------------------------------------------------+
//| How many journal lines since from hold text.                      |
//+------------------------------------------------------------------+
void Said(const string row, const string text, const int from, const int times)
  {
   int found = JournalFind(text, from);
   Expect(found == times, StringFormat("%s: the journal says \"%s\" %d time(s), not %d", row, text, found, times));
  }

void Done()
  {
   Print(MQLInfoString(MQL_PROGRAM_NAME), ": done");
  }
