#include "GuidNameText.h"

#include "stringapiset.h"

namespace {

constexpr int kGuidTextChars = 40;
OLECHAR g_wideText[kGuidTextChars];
char g_narrowText[kGuidTextChars];

}  // namespace

const char* GuidNameText(REFGUID guid) {
  g_wideText[0] = 0;
  g_narrowText[0] = 0;
  if (StringFromGUID2(guid, g_wideText, kGuidTextChars) > 0)
    WideCharToMultiByte(CP_ACP, 0, g_wideText, -1, g_narrowText, kGuidTextChars, nullptr, nullptr);
  g_narrowText[kGuidTextChars - 1] = 0;
  return g_narrowText;
}
