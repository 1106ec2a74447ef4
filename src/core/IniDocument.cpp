#include "core/IniDocument.h"

#include "core/TextCodec.h"

#include <QStringDecoder>
#include <QUtf8StringView>

namespace ringtally {

namespace {

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimmedLeft(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return text.sliced(i);
}

// A value is read back trimmed and with one pair of enclosing quotes removed; quote it on writing
// whenever that would change it, so what is written is what is read.
QString encodeValue(QString value)
{
    for (QChar& c : value) {
        if (c == u'\n' || c == u'\r')
            c = u' ';
    }
    const bool enclosedInQuotes = value.size() >= 2 && value.front() == u'"' && value.back() == u'"';
    if (enclosedInQuotes || value.trimmed().size() != value.size())
        return u'"' + value + u'"';
    return value;
}

bool hasLineBreak(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

struct DecodedLine {
    QString text;
    QByteArray legacyBytes; // the bytes when they are not UTF-8
};

// Each line is decoded on its own: one stray byte from a hand edit makes only its own line
// Windows-1252, instead of turning every UTF-8 name in the file into mojibake that the next save
// would write back.
DecodedLine decodeLine(QStringDecoder& utf8, QByteArrayView bytes)
{
    if (QUtf8StringView(bytes).isValidUtf8())
        return { utf8.decode(bytes), {} };
    return { decodeWindows1252(bytes), bytes.toByteArray() };
}

} // namespace

size_t qHash(const CaseInsensitiveName& name, size_t seed) noexcept
{
    // Folds code points the way QString::compare with Qt::CaseInsensitive does, so names that
    // compare equal hash equal, surrogate pairs included.
    size_t hash = seed ^ 0x9E3779B97F4A7C15ULL;
    const QString& text = name.text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (code < 0x80) {
            if (code >= u'A' && code <= u'Z')
                code += 32;
        } else {
            if (QChar::isHighSurrogate(code) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                code = QChar::surrogateToUcs4(text[i].unicode(), text[i + 1].unicode());
                ++i;
            }
            code = QChar::toCaseFolded(code);
        }
        hash = (hash ^ code) * 0x100000001B3ULL;
    }
    return hash;
}

IniDocument::Line IniDocument::parseLine(const QString& text)
{
    Line line;
    line.text = text;
    const QStringView content = trimmedLeft(text);
    if (content.isEmpty() || content.trimmed().isEmpty()) {
        line.kind = LineKind::Blank;
        return line;
    }
    if (content.front() == u';') {
        line.kind = LineKind::Comment;
        return line;
    }
    const qsizetype equals = content.indexOf(u'=');
    if (equals <= 0) {
        line.kind = LineKind::Other;
        return line;
    }
    line.kind = LineKind::Entry;
    line.key = content.first(equals).toString();
    QStringView value = content.sliced(equals + 1).trimmed();
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
        value = value.sliced(1, value.size() - 2);
    line.value = value.toString();
    return line;
}

IniDocument IniDocument::parse(QByteArrayView bytes)
{
    IniDocument document;
    if (bytes.startsWith(kByteOrderMark))
        bytes = bytes.sliced(3);
    // A byte-order mark at the start of a later line is text, as it is anywhere else in a line.
    QStringDecoder utf8(
        QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    Section* section = &document.sections_.front();
    qsizetype start = 0;
    bool firstBreak = true;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const bool lastLine = end < 0;
        if (lastLine)
            end = bytes.size();
        QByteArrayView lineBytes = bytes.sliced(start, end - start);
        if (lineBytes.endsWith('\r')) {
            if (firstBreak && !lastLine)
                document.crlf_ = true;
            // Every carriage return at the end goes, so that the line reads the same once it is
            // written back with the document's own line end.
            while (lineBytes.endsWith('\r'))
                lineBytes.chop(1);
        }
        if (!lastLine)
            firstBreak = false;
        start = end + 1;

        DecodedLine decoded = decodeLine(utf8, lineBytes);
        const QStringView content = trimmedLeft(decoded.text);
        if (content.startsWith(u'[')) {
            qsizetype close = content.indexOf(u']');
            if (close < 0)
                close = content.size();
            Section next;
            next.name = content.sliced(1, close - 1).toString();
            next.hasHeader = true;
            next.header = std::move(decoded.text);
            next.legacyHeader = std::move(decoded.legacyBytes);
            document.sections_.push_back(std::move(next));
            section = &document.sections_.back();
            continue;
        }
        Line line = parseLine(decoded.text);
        line.legacyBytes = std::move(decoded.legacyBytes);
        section->lines.push_back(std::move(line));
    }
    for (Section& s : document.sections_)
        s.reindex();
    document.reindexSections();
    return document;
}

void IniDocument::Section::reindex()
{
    keyIndex.clear();
    for (int i = 0; i < int(lines.size()); ++i) {
        if (lines[size_t(i)].kind != LineKind::Entry)
            continue;
        const CaseInsensitiveName name { lines[size_t(i)].key };
        if (!keyIndex.contains(name)) // the first of duplicates wins
            keyIndex.insert(name, i);
    }
}

void IniDocument::reindexSections()
{
    sectionIndex_.clear();
    for (int i = 1; i < int(sections_.size()); ++i) {
        const CaseInsensitiveName name { sections_[size_t(i)].name };
        if (!sectionIndex_.contains(name))
            sectionIndex_.insert(name, i);
    }
}

QByteArray IniDocument::serialize() const
{
    const QByteArrayView eol = crlf_ ? "\r\n" : "\n";
    QByteArray bytes;
    qsizetype size = 0;
    for (const Section& section : sections_) {
        size += section.header.size() + 2;
        for (const Line& line : section.lines)
            size += line.text.size() + 2;
    }
    bytes.reserve(size);
    auto append = [&](const QString& text, const QByteArray& legacyBytes) {
        bytes += legacyBytes.isEmpty() ? text.toUtf8() : legacyBytes;
        bytes += eol;
    };
    for (const Section& section : sections_) {
        if (section.hasHeader)
            append(section.header, section.legacyHeader);
        for (const Line& line : section.lines)
            append(line.text, line.legacyBytes);
    }
    // A read drops one byte-order mark at the start of the file. A first line that itself begins
    // with those bytes (a second mark, kept as text) would lose them at the next read, and a line
    // behind it could turn into a section header: it gets a mark in front, which the read drops.
    if (bytes.startsWith(kByteOrderMark))
        bytes.prepend(kByteOrderMark);
    return bytes;
}

const IniDocument::Section* IniDocument::findSection(const QString& name) const
{
    const auto it = sectionIndex_.constFind(CaseInsensitiveName { name });
    return it == sectionIndex_.cend() ? nullptr : &sections_[size_t(*it)];
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const
{
    const Section* s = findSection(section);
    if (!s)
        return std::nullopt;
    const auto it = s->keyIndex.constFind(CaseInsensitiveName { key });
    if (it == s->keyIndex.cend())
        return std::nullopt;
    return s->lines[size_t(*it)].value;
}

Status IniDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    if (hasLineBreak(section) || section.contains(u']') || trimmedLeft(section).size() != section.size())
        return Error {
            QStringLiteral("The section name \"%1\" cannot be stored in a settings file").arg(section)
        };
    if (key.isEmpty() || hasLineBreak(key) || key.contains(u'=') || trimmedLeft(key).size() != key.size()
        || key.startsWith(u';') || key.startsWith(u'['))
        return Error { QStringLiteral("The key \"%1\" cannot be stored in a settings file").arg(key) };

    auto found = sectionIndex_.constFind(CaseInsensitiveName { section });
    int sectionNumber = 0;
    if (found == sectionIndex_.cend()) {
        Section added;
        added.name = section;
        added.hasHeader = true;
        added.header = u'[' + section + u']';
        sections_.push_back(std::move(added));
        sectionNumber = int(sections_.size()) - 1;
        sectionIndex_.insert(CaseInsensitiveName { section }, sectionNumber);
    } else {
        sectionNumber = *found;
    }
    Section& s = sections_[size_t(sectionNumber)];
    const QString encoded = encodeValue(value);

    const auto existing = s.keyIndex.constFind(CaseInsensitiveName { key });
    if (existing != s.keyIndex.cend()) {
        Line& line = s.lines[size_t(*existing)];
        const QString text = line.key + u'=' + encoded;
        if (line.text == text)
            return Status::success();
        // Keep the spelling of the key as the file has it; the line is new text, read bytes no more.
        line = parseLine(text);
        modified_ = true;
        return Status::success();
    }

    // A new key goes after the section's last non-blank line, ahead of the blank lines that
    // separate it from the next section.
    size_t at = s.lines.size();
    while (at > 0 && s.lines[at - 1].kind == LineKind::Blank)
        --at;
    s.lines.insert(s.lines.begin() + qsizetype(at), parseLine(key + u'=' + encoded));
    if (at + 1 == s.lines.size())
        s.keyIndex.insert(CaseInsensitiveName { key }, int(at));
    else
        s.reindex();
    modified_ = true;
    return Status::success();
}

void IniDocument::removeKey(const QString& section, const QString& key)
{
    const CaseInsensitiveName sectionName { section };
    const CaseInsensitiveName keyName { key };
    for (size_t i = 1; i < sections_.size(); ++i) {
        Section& s = sections_[i];
        if (!(CaseInsensitiveName { s.name } == sectionName))
            continue;
        const auto before = s.lines.size();
        std::erase_if(s.lines, [&](const Line& line) {
            return line.kind == LineKind::Entry && CaseInsensitiveName { line.key } == keyName;
        });
        if (s.lines.size() != before) {
            s.reindex();
            modified_ = true;
        }
    }
}

void IniDocument::removeSection(const QString& section)
{
    const CaseInsensitiveName name { section };
    const auto before = sections_.size();
    // Every copy goes, so that no stale entries of a duplicate come to light afterwards.
    std::erase_if(
        sections_, [&](const Section& s) { return s.hasHeader && CaseInsensitiveName { s.name } == name; });
    if (sections_.size() != before) {
        reindexSections();
        modified_ = true;
    }
}

QStringList IniDocument::sectionNames() const
{
    QStringList names;
    for (size_t i = 1; i < sections_.size(); ++i) {
        if (sectionIndex_.value(CaseInsensitiveName { sections_[i].name }) == int(i))
            names.append(sections_[i].name);
    }
    return names;
}

QStringList IniDocument::keys(const QString& section) const
{
    QStringList names;
    const Section* s = findSection(section);
    if (!s)
        return names;
    for (int i = 0; i < int(s->lines.size()); ++i) {
        const Line& line = s->lines[size_t(i)];
        if (line.kind == LineKind::Entry && s->keyIndex.value(CaseInsensitiveName { line.key }) == i)
            names.append(line.key);
    }
    return names;
}

} // namespace ringtally
