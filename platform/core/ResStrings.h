// Resource strings: texts kept in the program's string table under numeric
// ids, each with a compiled-in default used when the table lacks it.
#pragma once

#include "platform/core/System.h"
#include "platform/WinApi.h"

// A string-table entry. Records are constants (RESOURCESTRING below); code
// that keeps texts by reference (the text repository) keeps their addresses.
struct TResStringRec {
  HINSTANCE Module;        // module whose string table holds it; null = the program
  int Identifier;          // string id in that table
  const Char* Default;     // the text when the table has no (or an empty) entry; may be null
};

// Declares a resource string: RESOURCESTRING(sNoData, 61000, L"No data");
#define RESOURCESTRING(Name, Id, Text) inline constexpr TResStringRec Name{nullptr, (Id), L"" Text};

// The entry's text from the module's string table, else its default text
// (empty for a null record).
String LoadResString(const TResStringRec* rec);
// The text of string `ident` of the program's own string table, empty when absent.
String LoadStr(int ident);
String LoadStr(HINSTANCE module, int ident);
