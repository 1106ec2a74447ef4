#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;
class QToolButton;

namespace ringtally {

/// The help window: the program's own help pages in a browser of their own, with back, forward,
/// contents and a search in the page. The pages are compiled into the program, so help works
/// without a network, without a desktop browser and wherever the program runs from; the window
/// opens a page at a field's place. Made once, hidden rather than closed, and without a parent: a
/// window disabled while the configuration window shows would disable it too.
class HelpWindow : public QWidget {
    Q_OBJECT

public:
    /// The pages compiled into the program: the da/ and en/ page folders and the style sheet.
    static inline const QString kBuiltInPages = QStringLiteral(":/help");

    /// language as the settings hold it: Danish pages for 0, English ones above. pages: the folder
    /// that holds the da/ and en/ page folders.
    explicit HelpWindow(int language, const QString& pages = kBuiltInPages, QWidget* parent = nullptr);

    /// Shows page (a file name such as "config-misc.html") in the window's language at anchor (an
    /// id in the page; empty: its top) and brings the window to the front. A page that does not
    /// exist shows the contents.
    void showPage(const QString& page, const QString& anchor = {});
    /// Shows the place the help map gives topic (see helpPlaceFor); the contents for a topic it lacks.
    void showTopic(const QString& topic);
    /// The address of page at anchor in the window's language.
    QUrl pageUrl(const QString& page, const QString& anchor = {}) const;
    /// Selects the next place of text in the page after the selection (before it when backward),
    /// going round at the page's end; says so beside the field when there is none.
    bool findInPage(const QString& text, bool backward = false);

    // Controls, owned by the window.
    QTextBrowser* Browser = nullptr;
    QToolButton* BackButton = nullptr;
    QToolButton* ForwardButton = nullptr;
    QToolButton* ContentsButton = nullptr;
    QLineEdit* FindText = nullptr;
    QToolButton* FindNextButton = nullptr;
    QToolButton* FindPreviousButton = nullptr;
    QLabel* FindStatus = nullptr;

private:
    QString pagePath(const QString& page) const;
    void createControls();
    void createShortcuts();
    void onFindTextEdited();
    void Browser_SourceChanged();

    QString pages_;
    bool english_ = false;
};

} // namespace ringtally
