#pragma once

#include "platform/Result.h"

#include <QString>

namespace ringtally {

/// The desktop's own handlers for files the program only hands over: help pages, the log viewer.
class Desktop {
public:
    virtual ~Desktop() = default;

    /// Opens the file with the desktop's default handler, or runs it when it is a program;
    /// fails when the file is missing or nothing could open it.
    virtual Status open(const QString& path) = 0;
};

} // namespace ringtally
