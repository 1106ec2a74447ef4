#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ringtally {

/// A section or key name compared without regard to letter case.
struct CaseInsensitiveName {
    QString text;
    bool operator==(const CaseInsensitiveName& other) const
    {
        return QString::compare(text, other.text, Qt::CaseInsensitive) == 0;
    }
};
size_t qHash(const CaseInsensitiveName& name, size_t seed = 0) noexcept;

/// The text of an INI file as its lines, with lookup by section and key. Lines the program does
/// not change (comments, other keys, blank lines) are written back as they were read.
///
/// Reading rules: blanks at the start of a line are ignored; a line starting with ";" is a comment;
/// "[name]" starts a section; "key=value" is an entry whose key keeps any blanks just before "="
/// and whose value loses the blanks around it and one pair of double quotes enclosing all of it.
/// Section and key names compare without regard to case; the first of duplicates wins.
class IniDocument {
public:
    /// Parses a file's bytes, CRLF or LF: each line UTF-8, or Windows-1252 when that line is not
    /// valid UTF-8.
    static IniDocument parse(QByteArrayView bytes);
    /// The document with the line ends it was read with (LF for a new document): the lines the
    /// program set in UTF-8, the others as they were read.
    QByteArray serialize() const;

    /// The value of the key in the section, if both exist.
    std::optional<QString> value(const QString& section, const QString& key) const;
    /// Sets the key's value, adding the section or key when missing; a value with line breaks has
    /// them replaced by blanks. Fails for a name that the file cannot hold.
    Status setValue(const QString& section, const QString& key, const QString& value);
    /// Removes the key from the section (every copy of it).
    void removeKey(const QString& section, const QString& key);
    /// Removes the section with all its lines (every section of that name).
    void removeSection(const QString& section);

    /// Names of the sections in file order, the first of duplicates only.
    QStringList sectionNames() const;
    /// Keys of the section in file order, the first of duplicates only.
    QStringList keys(const QString& section) const;

    /// True when a change since parsing (or since markSaved) altered the document.
    bool isModified() const { return modified_; }
    void markSaved() { modified_ = false; }

private:
    enum class LineKind { Blank, Comment, Other, Entry };
    struct Line {
        LineKind kind = LineKind::Other;
        QString text; // as read, or as composed when the program set the value
        QByteArray legacyBytes; // the line as read when it was not UTF-8, written back unchanged
        QString key;
        QString value;
    };
    struct Section {
        QString name;
        bool hasHeader = false; // false only for the lines before the first section
        QString header;
        QByteArray legacyHeader; // as legacyBytes
        std::vector<Line> lines;
        QHash<CaseInsensitiveName, int> keyIndex; // first line of each key
        void reindex();
    };

    static Line parseLine(const QString& text);
    const Section* findSection(const QString& name) const;
    void reindexSections();

    std::vector<Section> sections_ { Section {} };
    QHash<CaseInsensitiveName, int> sectionIndex_; // first section of each name
    bool crlf_ = false;
    bool modified_ = false;
};

} // namespace ringtally
