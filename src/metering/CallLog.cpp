#include "metering/CallLog.h"

#include "platform/FileAccess.h"

namespace ringtally {

namespace {

QString quoted(const QString& text)
{
    return u'"' + text + u'"';
}

// The figures both kinds of line end with.
QString figures(const StatusTexts& t)
{
    return u',' + quoted(t.NuvTimer) + u',' + quoted(t.NuvMinutter) + u',' + quoted(t.NuvPris) + u','
        + quoted(t.DagTimer) + u',' + quoted(t.DagMinutter) + u',' + quoted(t.DagPris);
}

} // namespace

CallLog::CallLog(QString path) : path_(std::move(path))
{
}

QString CallLog::dateTimeField(const QDateTime& at)
{
    const QTime time = at.time();
    const bool midnight = time.hour() == 0 && time.minute() == 0 && time.second() == 0;
    return u'#' + at.toString(midnight ? QStringLiteral("yyyy-MM-dd") : QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        + u'#';
}

QString CallLog::callEndLine(const QDateTime& at, const QString& schemeName, const StatusTexts& texts)
{
    return dateTimeField(at) + u',' + quoted(schemeName) + figures(texts);
}

QString CallLog::recoveredCallEndLine(
    const QDateTime& at, const QString& schemeName, const StatusTexts& texts)
{
    return callEndLine(at, schemeName, texts) + u',' + quoted(QStringLiteral("recovered"));
}

QString CallLog::splitLine(const QDateTime& at, int schemeIndex, const StatusTexts& texts)
{
    return dateTimeField(at) + u',' + QString::number(schemeIndex) + figures(texts);
}

std::vector<CallLog::Failure> CallLog::append(const QString& line) const
{
    // Error numbers as the common error box has always shown them: 75 for a file that cannot be
    // opened, 61 for one that cannot take the line.
    std::vector<Failure> failures;
    const AppendOutcome outcome = appendToFile(path_, (line + QStringLiteral("\r\n")).toUtf8());
    if (!outcome.opened.ok())
        failures.push_back({ 75, outcome.opened.message() });
    if (!outcome.written.ok())
        failures.push_back({ 61, outcome.written.message() });
    return failures;
}

} // namespace ringtally
