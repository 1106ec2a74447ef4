#pragma once

#include <QTranslator>

namespace ringtally {

/// Qt's own texts (the buttons of message boxes, the file dialogs, the text fields' menus) in the
/// interface's language: Qt's Danish translations from its translations folder while the
/// interface is Danish, none (Qt's English) otherwise. Without the translations installed, Qt's
/// texts stay English.
class QtTranslations {
public:
    QtTranslations() = default;
    ~QtTranslations();
    QtTranslations(const QtTranslations&) = delete;
    QtTranslations& operator=(const QtTranslations&) = delete;

    /// Installs or removes the Danish translations as the language asks; true when Qt's texts are
    /// now in that language.
    bool use(bool english);

private:
    QTranslator danish_;
    bool installed_ = false;
};

} // namespace ringtally
