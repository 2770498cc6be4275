#include "StringTable.h"

#include <map>
#include <string>

namespace {

std::map<unsigned, std::string>& Strings() {
  static std::map<unsigned, std::string> strings;
  return strings;
}

}  // namespace

void RegisterStringResource(unsigned id, const char* text) { Strings()[id] = text ? text : ""; }

CString LoadStringResource(unsigned id) {
  const auto found = Strings().find(id);
  return found == Strings().end() ? CString() : CString(found->second);
}
