// The text form of a data source's initialization properties:
// "Keyword=Value;Keyword=Value", keywords matched without case, values
// optionally quoted with double or single quotes (a doubled quote inside
// stands for one).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "oleauto.h"

struct InitStringPair {
  std::u16string keyword;  // trimmed
  std::u16string value;    // trimmed, quotes removed
};

// The pairs in their order, or nullopt with `error` saying what is wrong
// (unbalanced quotes, a keyword without '=', text after a closing quote).
std::optional<std::vector<InitStringPair>> ParseInitializationString(std::u16string_view text,
                                                                     std::string& error);

// The value as it must be written so that parsing gives it back unchanged.
std::u16string QuoteInitStringValue(std::u16string_view value);

// Keyword comparison: ASCII letters fold, everything else compares exactly.
bool InitKeywordEquals(std::u16string_view a, std::u16string_view b);

// A value's text as the property's type: VT_BSTR as it is, VT_BOOL from
// True/False/-1/0 (without case), other types by VariantChangeType. On
// failure `out` stays VT_EMPTY.
HRESULT InitValueFromText(VARTYPE type, std::u16string_view text, VARIANT& out);
// The text written for a value: booleans as True/False, others by
// VariantChangeType to VT_BSTR.
HRESULT InitValueToText(const VARIANT& value, std::u16string& text);
