// Pieces of number formatting shared by the core's own units (not public).
#pragma once

#include "platform/core/System.h"

#include <string>

// ASCII digits widened to text.
String WidenDigits(const std::string& digits);
// Integer digits with `separator` every three digits from the right (none when 0).
String GroupDigits(const std::string& digits, Char separator);
