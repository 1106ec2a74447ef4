#include "config/Save.h"

#include "config/ConfigContext.h"
#include "config/KeyFilters.h"
#include "config/TariffFile.h"
#include "core/ErrorMessage.h"
#include "core/ProgramFolder.h"
#include "core/ProgramState.h"
#include "localisation/StringTable.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFocusEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace ringtally {

namespace {

using namespace Qt::StringLiterals;

constexpr int kFileAccessError = 75;
const QString kParentFolder = u".."_s;

} // namespace

Save::Save(ConfigContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx)
{
    setModal(true);
    Folder = new QLabel(this);
    folderList = new QListWidget(this);
    fileList = new QListWidget(this);
    Filetype = new QComboBox(this);
    Filetype->addItems({ u"Ringtally filer (*.ptf)"_s, u"Alle filer (*.*)"_s });
    fileNameLabel
        = new QLabel(ctx_.english ? ctx_.strings.text(StringId::Save_Label1) : u"&Filnavn:"_s, this);
    Filename = new QLineEdit(this);
    fileNameLabel->setBuddy(Filename);
    OK = new QPushButton(this);
    OK->setDefault(true);
    Cancel = new QPushButton(ctx_.english ? ctx_.strings.text(StringId::Save_Cancel) : u"&Annullér"_s, this);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Folder, 0, 0);
    layout->addWidget(folderList, 1, 0);
    layout->addWidget(fileList, 0, 1, 2, 1);
    layout->addWidget(Filetype, 2, 1);
    layout->addWidget(fileNameLabel, 3, 0);
    layout->addWidget(Filename, 4, 0, 1, 2);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(OK, QDialogButtonBox::AcceptRole);
    buttons->addButton(Cancel, QDialogButtonBox::RejectRole);
    layout->addWidget(buttons, 5, 0, 1, 2);

    Filename->installEventFilter(this);
    folderList->installEventFilter(this);
    connect(folderList, &QListWidget::itemActivated, this, &Save::onFolderChanged);
    connect(Filetype, &QComboBox::currentIndexChanged, this, &Save::onFileTypeChanged);
    // A click on the file already chosen, after the name was edited, takes it again.
    connect(fileList, &QListWidget::currentItemChanged, this, &Save::onFileClicked);
    connect(fileList, &QListWidget::itemClicked, this, &Save::onFileClicked);
    connect(fileList, &QListWidget::itemDoubleClicked, this, &Save::onFileDoubleClicked);
    connect(OK, &QPushButton::clicked, this, &Save::onOkClicked);
    connect(Cancel, &QPushButton::clicked, this, &Save::onCancelClicked);
}

void Save::open(int scheme, int dayType, Mode mode)
{
    Ordning_ = scheme;
    VistDag_ = dayType;
    HentGem_ = mode;
    // Filled here rather than on every activation: a message box over the dialog would otherwise
    // throw away the name and folder the user chose.
    onActivated();
    show();
    Filename->setFocus();
    onFileNameEntered();
}

void Save::onActivated()
{
    const bool saving = HentGem_ == Mode::Gem;
    if (ctx_.english) {
        setWindowTitle(ctx_.strings.text(saving ? StringId::Save_CaptionSave : StringId::Save_CaptionLoad));
        OK->setText(ctx_.strings.text(saving ? StringId::Save_OKSave : StringId::Save_OKLoad));
    } else {
        setWindowTitle(saving ? u"Gem Takster"_s : u"Hent Takster"_s);
        OK->setText(saving ? u"&Gem"_s : u"&Hent"_s);
    }
    {
        const QSignalBlocker quiet(Filetype);
        Filetype->setCurrentIndex(0);
    }
    setFolder(ctx_.folder.path());
    Filename->setText(defaultFileName(ctx_.state.settings.Schemes.at(size_t(Ordning_)).Name));
}

void Save::setFolder(const QString& folder)
{
    folder_ = QDir::cleanPath(QDir(folder).absolutePath());
    Folder->setText(QDir::toNativeSeparators(folder_));
    const QDir dir(folder_);
    QStringList folders = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    if (!dir.isRoot())
        folders.prepend(kParentFolder);
    folderList->clear();
    folderList->addItems(folders);
    onFileTypeChanged();
}

QString Save::path() const
{
    // QDir joins without a doubled "/" at the root, as the drive root had no doubled "\".
    return QDir(folder_).filePath(Filename->text());
}

QString Save::defaultFileName(const QString& schemeName)
{
    QString name;
    for (const QChar c : schemeName) {
        if (c != u'/' && c != u'\\' && c.category() != QChar::Other_Control)
            name += c;
    }
    return name + kExtension;
}

void Save::onFolderChanged(QListWidgetItem* item)
{
    if (item)
        setFolder(QDir(folder_).filePath(item->text()));
}

void Save::onFileTypeChanged()
{
    const QStringList pattern { Filetype->currentIndex() == 0 ? u"*"_s + kExtension : u"*"_s };
    const QSignalBlocker quiet(fileList);
    fileList->clear();
    fileList->addItems(QDir(folder_).entryList(pattern, QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void Save::onFileClicked()
{
    if (const QListWidgetItem* item = fileList->currentItem())
        Filename->setText(item->text());
}

void Save::onFileDoubleClicked()
{
    onFileClicked();
    onOkClicked();
}

void Save::onFileNameEntered()
{
    Filename->selectAll();
}

void Save::onFileNameLeft()
{
    const QString name = Filename->text();
    if (!name.isEmpty() && Filetype->currentIndex() == 0 && name.right(4).toUpper() != kExtension.toUpper())
        Filename->setText(name + kExtension);
}

bool Save::eventFilter(QObject* watched, QEvent* event)
{
    // Only focus moving inside the dialog counts: switching to another window, or a message box
    // over this one, leaves the name as it is.
    const auto moved = [event] { return leavesField(*event); };
    // Enter in the folder list goes into the folder; it must not reach the dialog's OK button too.
    if (watched == folderList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            onFolderChanged(folderList->currentItem());
            return true;
        }
    }
    if (watched == Filename && event->type() == QEvent::FocusIn && moved())
        onFileNameEntered();
    else if (watched == Filename && event->type() == QEvent::FocusOut && moved())
        onFileNameLeft();
    return QDialog::eventFilter(watched, event);
}

void Save::onOkClicked()
{
    // Enter in the name field presses OK without leaving the field: the name gets its extension
    // all the same, as with a click on OK.
    if (Filename->hasFocus())
        onFileNameLeft();
    if (Filename->text().isEmpty())
        return;
    Scheme& scheme = ctx_.state.settings.Schemes.at(size_t(Ordning_));
    const Status done = HentGem_ == Mode::Gem ? TariffFile::write(path(), scheme, ctx_.english)
                                              : TariffFile::read(path(), scheme, ctx_.english);
    if (!done) {
        ctx_.prompter.ask(errorPrompt(ErrorTitle::FileError, kFileAccessError, done.message(), ctx_.english));
        return;
    }
    if (HentGem_ == Mode::Hent)
        emit loaded(Ordning_, VistDag_);
    hide();
}

void Save::onCancelClicked()
{
    hide();
}

} // namespace ringtally
