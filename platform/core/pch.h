// Precompiled for this layer's sources and tests: the standard library and the core headers
// nearly every source uses. Only headers that seldom change belong here: a change to one
// rebuilds the precompiled header and every source of the layers that use it.
#pragma once
#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/core/Components.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Lists.h"
#include "platform/core/Persistent.h"
#include "platform/core/ResStrings.h"
#include "platform/core/Streams.h"
#include "platform/core/StringLists.h"
#include "platform/core/System.h"
#include "platform/core/Variants.h"
