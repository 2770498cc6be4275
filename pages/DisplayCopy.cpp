#include "DisplayCopy.h"

namespace {

// True when the quotes in [from, to) leave a quoted value open or closed:
// an odd number switches between inside and outside a quoted value.
bool SwitchesQuoting(const CString& text, int from, int to) {
  int quotes = 0;
  for (int i = from; i < to; ++i)
    if (text[i] == '"') ++quotes;
  return quotes % 2 == 1;
}

}  // namespace

CString InitStringDisplayCopy(const CString& initString) {
  CString copy = initString;
  int separator = copy.Find(';');
  bool insideQuotes = separator >= 0 && SwitchesQuoting(copy, 0, separator);
  while (separator >= 0) {
    copy.SetAt(separator, '\r');
    copy.Insert(separator + 1, '\n');
    int next = separator + 2;
    if (insideQuotes) copy.Insert(next++, '\t');
    const int following = copy.Find(';', next);
    if (SwitchesQuoting(copy, next, following < 0 ? copy.GetLength() : following)) insideQuotes = !insideQuotes;
    separator = following;
  }
  return copy;
}
