#pragma once

#include "platform/DialUpNetwork.h"

#include <QHash>

#include <optional>
#include <utility>

namespace ringtally::test {

/// Dial-up networking whose entries (or a failure to list them) and connections the test sets.
/// A connection hung up drops after the number of online checks the test chose, as a real line
/// takes its time.
class FakeDialUpNetwork : public DialUpNetwork {
public:
    Result<std::vector<DialUpConnection>> activeConnections() const override
    {
        if (connectionsFail_)
            return Error { QStringLiteral("the connections cannot be listed") };
        return connections_;
    }
    Status hangUp(const DialUpConnection& connection) override
    {
        hungUp_.push_back(connection.handle);
        std::erase_if(connections_, [&](const DialUpConnection& c) { return c.handle == connection.handle; });
        return Status::success();
    }
    bool isOnline() const override
    {
        if (connections_.empty() && checksUntilOffline_ > 0) {
            --checksUntilOffline_;
            return true;
        }
        return !connections_.empty() || stuckOnline_;
    }
    QString errorText(qint32 error, bool english) const override
    {
        if (errorTexts_)
            return english ? errorTexts_->value(error).english : errorTexts_->value(error).danish;
        return english ? QStringLiteral("error %1").arg(error) : QStringLiteral("fejl %1").arg(error);
    }
    QString currentEntryName() const override
    {
        return connections_.empty() ? QString() : connections_.front().entryName;
    }
    std::optional<LinkCounters> linkCounters() const override { return counters; }

    /// The link's counters from now on; none by default.
    std::optional<LinkCounters> counters;

    /// The connections that are up from now on.
    void setConnections(std::vector<DialUpConnection> connections) { connections_ = std::move(connections); }
    /// Once no connection is left, the system still reports online for this many checks.
    void dropAfterChecks(int checks) { checksUntilOffline_ = checks; }
    /// The system reports online forever, as a flag that never clears.
    void stayOnline() { stuckOnline_ = true; }
    /// Listing the connections fails from now on.
    void failConnectionListing() { connectionsFail_ = true; }
    /// An error's text in the two languages.
    struct ErrorTexts {
        QString danish;
        QString english;
    };
    /// Only these error numbers have a text from now on; any other has none.
    void knowErrors(QHash<qint32, ErrorTexts> texts) { errorTexts_ = std::move(texts); }
    /// The handles hung up, in order.
    const std::vector<qint64>& hungUp() const { return hungUp_; }

    Result<QStringList> entryNames() const override
    {
        ++listings_;
        if (failure_)
            return Error { *failure_ };
        return entries_;
    }

    /// The entries listed from now on; clears a failure.
    void setEntries(QStringList entries)
    {
        entries_ = std::move(entries);
        failure_.reset();
    }
    /// Listing the entries fails with this message from now on.
    void failWith(QString message) { failure_ = std::move(message); }
    /// How often the entries were listed.
    int listings() const { return listings_; }

private:
    QStringList entries_;
    std::vector<DialUpConnection> connections_;
    std::vector<qint64> hungUp_;
    mutable int checksUntilOffline_ = 0;
    bool stuckOnline_ = false;
    bool connectionsFail_ = false;
    std::optional<QString> failure_;
    std::optional<QHash<qint32, ErrorTexts>> errorTexts_;
    mutable int listings_ = 0;
};

} // namespace ringtally::test
