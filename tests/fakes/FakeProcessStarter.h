#pragma once

#include "platform/ProcessStarter.h"

#include <QMap>
#include <QStringList>

namespace ringtally::test {

/// Starts nothing: remembers each command line with its show state, and fails those the test
/// names.
class FakeProcessStarter : public ProcessStarter {
public:
    std::optional<StartFailure> start(const QString& commandLine, int showState) override
    {
        started.append(QStringLiteral("%1 (%2)").arg(commandLine).arg(showState));
        if (const auto failure = failures.constFind(commandLine); failure != failures.cend())
            return *failure;
        return std::nullopt;
    }

    QStringList started; // "command line (show state)"
    QMap<QString, StartFailure> failures;
};

} // namespace ringtally::test
