// Any bytes parse as a settings file without a crash, and what the parser reads from them survives
// a write and a fresh read unchanged.

#include "core/IniDocument.h"

#include <cstdint>
#include <cstdlib>

using namespace ringtally;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    IniDocument document = IniDocument::parse(bytes);

    // Written back unchanged, the document reads the same.
    const IniDocument reread = IniDocument::parse(document.serialize());
    const QStringList sections = document.sectionNames();
    if (reread.sectionNames() != sections)
        std::abort();
    for (const QString& section : sections) {
        const QStringList keys = document.keys(section);
        if (reread.keys(section) != keys)
            std::abort();
        for (const QString& key : keys) {
            if (reread.value(section, key) != document.value(section, key))
                std::abort();
        }
    }

    // A value set into it, taken from the input itself, reads back as set; nothing else changes.
    const QString text = QString::fromUtf8(bytes);
    const QString value = text.left(200);
    if (document.setValue(QStringLiteral("Fuzz"), QStringLiteral("Value"), value).ok()) {
        const IniDocument changed = IniDocument::parse(document.serialize());
        QString expected = value;
        expected.replace(u'\n', u' ').replace(u'\r', u' ');
        if (changed.value(QStringLiteral("fuzz"), QStringLiteral("VALUE")) != expected)
            std::abort();
        for (const QString& section : sections) {
            if (section.compare(QStringLiteral("Fuzz"), Qt::CaseInsensitive) == 0)
                continue;
            for (const QString& key : document.keys(section)) {
                if (changed.value(section, key) != reread.value(section, key))
                    std::abort();
            }
        }
    }
    // So does a key taken from the input, where the file can hold it.
    const QString key = text.mid(200, 40);
    if (document.setValue(QStringLiteral("Fuzz"), key, QStringLiteral("v")).ok()) {
        if (IniDocument::parse(document.serialize()).value(QStringLiteral("Fuzz"), key)
            != QStringLiteral("v"))
            std::abort();
    }
    document.removeSection(QStringLiteral("Fuzz"));
    if (IniDocument::parse(document.serialize()).value(QStringLiteral("Fuzz"), QStringLiteral("Value")))
        std::abort();
    return 0;
}
