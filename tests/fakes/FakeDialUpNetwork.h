#pragma once

#include "platform/DialUpNetwork.h"

#include <optional>
#include <utility>

namespace ringtally::test {

/// Dial-up networking whose entries, or whose failure to list them, the test sets.
class FakeDialUpNetwork : public DialUpNetwork {
public:
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
    std::optional<QString> failure_;
    mutable int listings_ = 0;
};

} // namespace ringtally::test
