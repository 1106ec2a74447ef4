#include "help/HelpWindow.h"

#include "help/HelpTopics.h"
#include "localisation/StringTable.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include <initializer_list>

namespace ringtally {

namespace {

const QString kContents = QStringLiteral("index.html");

QToolButton* makeButton(QWidget* parent, const QString& text, QStyle::StandardPixmap icon)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

} // namespace

HelpWindow::HelpWindow(int language, const QString& pages, QWidget* parent)
    : QWidget(parent, Qt::Window), pages_(pages), english_(usesEnglish(language))
{
    setObjectName(QStringLiteral("HelpWindow"));
    createControls();
    createShortcuts();
    Browser_SourceChanged();
    resize(780, 580);
}

void HelpWindow::createControls()
{
    const auto text = [this](const char16_t* danish, const char16_t* english) {
        return QString::fromUtf16(english_ ? english : danish);
    };
    BackButton = makeButton(this, text(u"&Tilbage", u"&Back"), QStyle::SP_ArrowBack);
    ForwardButton = makeButton(this, text(u"&Frem", u"&Forward"), QStyle::SP_ArrowForward);
    ContentsButton = makeButton(this, text(u"&Indhold", u"&Contents"), QStyle::SP_DirHomeIcon);
    auto* findLabel = new QLabel(text(u"&Søg:", u"F&ind:"), this);
    FindText = new QLineEdit(this);
    FindText->setClearButtonEnabled(true);
    findLabel->setBuddy(FindText);
    FindPreviousButton = makeButton(this, text(u"Forrige", u"Previous"), QStyle::SP_ArrowUp);
    FindNextButton = makeButton(this, text(u"Næste", u"Next"), QStyle::SP_ArrowDown);
    FindStatus = new QLabel(this);
    Browser = new QTextBrowser(this);
    Browser->setOpenExternalLinks(true);
    BackButton->setEnabled(false);
    ForwardButton->setEnabled(false);

    auto* bar = new QHBoxLayout;
    for (QWidget* widget : std::initializer_list<QWidget*> { BackButton, ForwardButton, ContentsButton })
        bar->addWidget(widget);
    bar->addStretch();
    for (QWidget* widget : std::initializer_list<QWidget*> {
             findLabel, FindText, FindPreviousButton, FindNextButton, FindStatus })
        bar->addWidget(widget);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(Browser);

    connect(BackButton, &QToolButton::clicked, Browser, &QTextBrowser::backward);
    connect(ForwardButton, &QToolButton::clicked, Browser, &QTextBrowser::forward);
    connect(ContentsButton, &QToolButton::clicked, this, [this] { showPage(kContents); });
    connect(Browser, &QTextBrowser::backwardAvailable, BackButton, &QToolButton::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, ForwardButton, &QToolButton::setEnabled);
    connect(Browser, &QTextBrowser::sourceChanged, this, &HelpWindow::Browser_SourceChanged);
    connect(FindText, &QLineEdit::textEdited, this, &HelpWindow::onFindTextEdited);
    connect(FindText, &QLineEdit::returnPressed, this, [this] { findInPage(FindText->text()); });
    connect(FindNextButton, &QToolButton::clicked, this, [this] { findInPage(FindText->text()); });
    connect(FindPreviousButton, &QToolButton::clicked, this, [this] { findInPage(FindText->text(), true); });
}

void HelpWindow::createShortcuts()
{
    const auto shortcut = [this](QKeySequence::StandardKey key, auto slot) {
        connect(new QShortcut(key, this), &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence::Back, [this] { Browser->backward(); });
    shortcut(QKeySequence::Forward, [this] { Browser->forward(); });
    shortcut(QKeySequence::Find, [this] {
        FindText->setFocus(Qt::ShortcutFocusReason);
        FindText->selectAll();
    });
    shortcut(QKeySequence::FindNext, [this] { findInPage(FindText->text()); });
    shortcut(QKeySequence::FindPrevious, [this] { findInPage(FindText->text(), true); });
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::hide);
}

QString HelpWindow::pagePath(const QString& page) const
{
    return pages_ + (english_ ? QStringLiteral("/en/") : QStringLiteral("/da/")) + page;
}

QUrl HelpWindow::pageUrl(const QString& page, const QString& anchor) const
{
    const QString path = pagePath(page);
    // A compiled-in page is a resource, which the browser reaches by the qrc scheme.
    QUrl url = path.startsWith(u':') ? QUrl(QStringLiteral("qrc") + path) : QUrl::fromLocalFile(path);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    return url;
}

void HelpWindow::showPage(const QString& page, const QString& anchor)
{
    const bool exists = !page.isEmpty() && QFileInfo::exists(pagePath(page));
    Browser->setSource(exists ? pageUrl(page, anchor) : pageUrl(kContents));
    // Over a modal dialog (the sound chooser, the tariff dialog) the window would be blocked like
    // every other one: it is then modal itself, above the dialog, until it is closed. Modality
    // changes only while the window is hidden.
    const QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted = modal && modal != this ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != wanted) {
        hide();
        setWindowModality(wanted);
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void HelpWindow::showTopic(const QString& topic)
{
    const HelpPlace place = helpPlaceFor(topic).value_or(HelpPlace { kContents, QString() });
    showPage(place.page, place.anchor);
}

bool HelpWindow::findInPage(const QString& text, bool backward)
{
    FindStatus->clear();
    if (text.isEmpty())
        return false;
    const QTextDocument::FindFlags flags
        = backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
    if (Browser->find(text, flags))
        return true;
    // Round the page's end to its other end, as a reader searching on expects.
    const QTextCursor kept = Browser->textCursor();
    QTextCursor wrapped = kept;
    wrapped.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    Browser->setTextCursor(wrapped);
    if (Browser->find(text, flags))
        return true;
    Browser->setTextCursor(kept);
    FindStatus->setText(english_ ? QStringLiteral("Not found") : QStringLiteral("Ikke fundet"));
    return false;
}

void HelpWindow::onFindTextEdited()
{
    // Typing on widens the match in place rather than jumping to the next one.
    QTextCursor cursor = Browser->textCursor();
    cursor.setPosition(cursor.selectionStart());
    Browser->setTextCursor(cursor);
    findInPage(FindText->text());
}

void HelpWindow::Browser_SourceChanged()
{
    const QString title = Browser->documentTitle();
    const QString help = english_ ? QStringLiteral("Ringtally Help") : QStringLiteral("Ringtally Hjælp");
    setWindowTitle(title.isEmpty() ? help : title + QStringLiteral(" – ") + help);
    FindStatus->clear();
}

} // namespace ringtally
