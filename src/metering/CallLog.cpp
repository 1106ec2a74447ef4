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

// The bytes' two fields at the line's end; none where they are not known.
QString bytesFields(const std::optional<ByteCounts>& bytes)
{
    return bytes ? u',' + QString::number(bytes->received) + u',' + QString::number(bytes->sent) : QString();
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

QString CallLog::callEndLine(const QDateTime& at, const QString& schemeName, const StatusTexts& texts,
    const std::optional<ByteCounts>& bytes)
{
    return dateTimeField(at) + u',' + quoted(schemeName) + figures(texts) + bytesFields(bytes);
}

QString CallLog::recoveredCallEndLine(const QDateTime& at, const QString& schemeName,
    const StatusTexts& texts, const std::optional<ByteCounts>& bytes)
{
    return callEndLine(at, schemeName, texts) + u',' + quoted(QStringLiteral("recovered"))
        + bytesFields(bytes);
}

QString CallLog::splitLine(
    const QDateTime& at, int schemeIndex, const StatusTexts& texts, const std::optional<ByteCounts>& bytes)
{
    return dateTimeField(at) + u',' + QString::number(schemeIndex) + figures(texts) + bytesFields(bytes);
}

namespace {

// The file's whole lines; none when it is missing or cannot be read.
QList<QByteArray> linesOf(const QString& path)
{
    const Result<FileContents> contents = readWholeFile(path);
    if (!contents)
        return {};
    QList<QByteArray> lines = contents.value().bytes.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    lines.removeAll(QByteArray());
    return lines;
}

} // namespace

bool CallLog::holds(const QString& line) const
{
    const QByteArray wanted = line.toUtf8();
    return linesOf(path_).contains(wanted) || linesOf(pendingPath()).contains(wanted);
}

bool CallLog::flushPending() const
{
    const Result<FileStamp> stamp = stampFile(pendingPath());
    if (!stamp || !stamp.value().exists)
        return stamp.ok();
    const QList<QByteArray> logged = linesOf(path_);
    QByteArray missing;
    for (const QByteArray& line : linesOf(pendingPath())) {
        if (!logged.contains(line))
            missing += line + "\r\n";
    }
    if (!missing.isEmpty()) {
        const AppendOutcome outcome = appendToFile(path_, missing);
        if (!outcome.opened.ok() || !outcome.written.ok())
            return false;
    }
    return removeFile(pendingPath()).ok();
}

CallLog::Written CallLog::write(const QString& line) const
{
    Written written;
    // Lines kept aside go first, so that the log keeps the order the lines were written in.
    if (flushPending()) {
        written.failures = append(line);
        written.inLog = written.failures.empty();
        if (written.inLog)
            return written;
    }
    const AppendOutcome kept = appendToFile(pendingPath(), (line + QStringLiteral("\r\n")).toUtf8());
    written.kept = kept.opened.ok() && kept.written.ok();
    if (written.failures.empty()) {
        // The log could not take the lines kept aside before: it has this one's failure.
        written.failures.push_back(
            { 61, QStringLiteral("%1 cannot take the lines kept in %2").arg(path_, pendingPath()) });
    }
    if (!written.kept) {
        for (const Status& failure : { kept.opened, kept.written }) {
            if (!failure.ok())
                written.failures.push_back({ 75, failure.message() });
        }
    }
    return written;
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
