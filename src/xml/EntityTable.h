// The reader's table of named character references.
#pragma once

#include "xml/HashedNameTable.h"

inline constexpr std::size_t kEntityCount = 253;
inline constexpr std::size_t kEntityBuckets = 130;

using EntityTable = HashedNameTable<kEntityCount, kEntityBuckets>;
extern const EntityTable g_entityTable;
