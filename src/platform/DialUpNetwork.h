#pragma once

#include "platform/Result.h"

#include <QStringList>

namespace ringtally {

/// The system's dial-up networking: its configured entries (and, later, its connections).
class DialUpNetwork {
public:
    virtual ~DialUpNetwork() = default;

    /// Names of all dial-up entries of the system, in the order the system lists them.
    virtual Result<QStringList> entryNames() const = 0;
};

} // namespace ringtally
