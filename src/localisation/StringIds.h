#pragma once

#include <QtGlobal>

#include <array>

namespace ringtally {

/// The string-table entries the windows use, named Window_Control; windows that share a text share
/// its id, so several names may carry the same value.
enum class StringId : quint16 {
#define RINGTALLY_STRING(name, id) name = id,
#include "localisation/StringIds.def"
#undef RINGTALLY_STRING
};

/// Every entry of StringIds.def in its order, duplicates of a value included, so that a check can
/// walk all of them.
inline constexpr std::array kAllStringIds {
#define RINGTALLY_STRING(name, id) StringId::name,
#include "localisation/StringIds.def"
#undef RINGTALLY_STRING
};

} // namespace ringtally
