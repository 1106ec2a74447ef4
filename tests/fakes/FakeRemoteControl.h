#pragma once

#include "remote/RemoteControl.h"

#include <QStringList>

namespace ringtally::test {

/// The program's operations: a status the test sets, schemes 1 and 3 offered, and each operation
/// recorded by name.
class FakeRemoteControl : public RemoteControl {
public:
    RemoteStatus now;
    QStringList calls;

    RemoteStatus status() const override { return now; }
    bool schemeOffered(int scheme) const override { return scheme != 1; }
    std::optional<int> cheapestScheme() override { return 2; }
    void dial(int scheme) override { calls.append(QStringLiteral("dial %1").arg(scheme)); }
    void hangUp(bool log) override
    {
        calls.append(log ? QStringLiteral("hangUp log") : QStringLiteral("hangUp"));
    }
    void showMainWindow() override { calls.append(QStringLiteral("main")); }
    void showStatusWindow() override { calls.append(QStringLiteral("status")); }
    void showConfiguration() override { calls.append(QStringLiteral("config")); }
    void showLog() override { calls.append(QStringLiteral("log")); }
};

} // namespace ringtally::test
