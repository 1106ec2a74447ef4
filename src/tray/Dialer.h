#pragma once

#include <QtGlobal>

namespace ringtally {

/// The door into every call: dials a scheme, or takes over a connection another dialer made.
class Dialer {
public:
    virtual ~Dialer() = default;

    /// Starts a call priced with scheme (0..2); alreadyOnline takes over a line that is up;
    /// startPrograms 1 runs the start list even when its check box is clear.
    virtual void Dial(qint16 scheme, bool alreadyOnline, quint8 startPrograms) = 0;
};

} // namespace ringtally
