#pragma once

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace ringtally::test {

/// A fresh folder for one test, removed afterwards.
class TempFolder {
public:
    TempFolder() { EXPECT_TRUE(dir_.isValid()); }
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return QDir(dir_.path()).filePath(name); }

private:
    QTemporaryDir dir_;
};

} // namespace ringtally::test
