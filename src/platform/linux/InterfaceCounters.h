#pragma once

#include "platform/LinkCounters.h"

#include <optional>

namespace ringtally {

/// The counters of a network interface, from /sys/class/net/<interface>/statistics (rx_bytes and
/// tx_bytes) under systemRoot (tests pass a folder that stands for /); nothing when the interface
/// has none that can be read, or its name would leave the folder of interfaces.
std::optional<LinkCounters> readInterfaceCounters(const QString& systemRoot, const QString& interface);

} // namespace ringtally
