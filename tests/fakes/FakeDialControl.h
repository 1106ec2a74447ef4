#pragma once

#include "platform/DialControl.h"

#include <QStringList>

namespace ringtally::test {

/// A dial control that records each dial's properties and its hang-ups; the test sets its state
/// and emits its states.
class FakeDialControl : public DialControl {
public:
    qint32 StartDial() override
    {
        dials.append(QStringList { EntryName(), UserName(), Password(), PhoneNumber() }.join(u'|'));
        return startResult;
    }
    void HangUp() override { ++hangUps; }
    qint32 ConnState() const override { return state; }

    QStringList dials; // each dial's "entry|user|password|number", in order
    int hangUps = 0;
    qint32 startResult = 0; // what each StartDial returns
    qint32 state = RasConnState::Disconnected;
};

} // namespace ringtally::test
