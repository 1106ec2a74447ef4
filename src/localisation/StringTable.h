#pragma once

#include "localisation/StringIds.h"
#include "platform/Result.h"

#include <QByteArrayView>
#include <QHash>
#include <QString>

namespace ringtally {

/// The English texts of the user interface, addressed by numeric id.
class StringTable {
public:
    /// The table compiled into the program; empty (and reported once) if that resource is broken.
    static StringTable english();
    /// Reads "id<TAB>text" lines (UTF-8; '#' starts a comment line); fails on a malformed line or a
    /// repeated id.
    static Result<StringTable> parse(QByteArrayView bytes);

    /// The text of id, or an empty string if the table lacks it.
    QString text(StringId id) const;
    /// The text of id for a menu item or a menu's title: see menuText(const QString&).
    QString menuText(StringId id) const;
    /// Whether the table holds a text for id.
    bool contains(quint16 id) const;
    /// How many texts the table holds.
    int size() const;

private:
    QHash<quint16, QString> texts_;
};

/// A text as a menu item or menu title shows it: an "&" before a letter or digit marks the
/// shortcut and "&&" is already one "&", but any other "&" ("price & time", a last "&") is meant
/// as written and becomes "&&", so Qt neither hides it nor underlines the blank after it.
QString menuText(const QString& text);

/// A button's or label's text with its shortcut marker before the first letter that is letter, in
/// either case, or with no marker when letter is null: one text serving several controls of a
/// window gives each its own letter. "&&" stays as written.
QString withShortcutLetter(const QString& text, QChar letter);

/// Whether the setting Language asks for the English texts (any value above 0; 0 is Danish).
bool usesEnglish(int language);

} // namespace ringtally
