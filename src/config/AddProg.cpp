#include "config/AddProg.h"

#include "config/ConfigContext.h"
#include "core/ListProcedures.h"
#include "core/ProgramState.h"
#include "localisation/StringTable.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>

namespace ringtally {

QString programPath(const QString& folder, const QString& file)
{
    return folder.endsWith(u'/') ? folder + file : folder + u'/' + file;
}

QString commandLineFor(const QString& path, const QString& parameters)
{
    return u'"' + path + QStringLiteral("\" ") + parameters;
}

CommandLineParts splitCommandLine(const QString& commandLine)
{
    const qsizetype open = commandLine.indexOf(u'"');
    if (open < 0)
        return { commandLine, QString() };
    const qsizetype close = commandLine.indexOf(u'"', open + 1);
    if (close < 0)
        return { commandLine.mid(open + 1), QString() };
    QString parameters = commandLine.mid(close + 1);
    if (!parameters.isEmpty())
        parameters.remove(0, 1);
    return { commandLine.mid(open + 1, close - open - 1), parameters };
}

bool isShortcut(const QString& commandLine)
{
    const QString lower = commandLine.toLower();
    return lower.contains(QLatin1String(".lnk")) || lower.contains(QLatin1String(".desktop"));
}

FileType fileTypeOf(const QFileInfo& file)
{
    const QString suffix = file.suffix().toLower();
    if (suffix == QLatin1String("desktop") || suffix == QLatin1String("lnk"))
        return FileType::Shortcuts;
    if (suffix == QLatin1String("sh") || (file.isFile() && file.isExecutable()))
        return FileType::Executables;
    return FileType::AllFiles;
}

AddProg::AddProg(ConfigContext& context, const StartListColumns& Runprogs, QWidget* parent)
    : QDialog(parent), ctx_(context), Runprogs_(Runprogs)
{
    setWindowModality(Qt::WindowModal);
    FolderLbl = new QLabel(this);
    FolderLbl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    folderList = new QListWidget(this);
    folderList->setIconSize(QSize(16, 16));
    fileList = new QListWidget(this);
    fileTypeBox = new QComboBox(this);
    // The Windows types have no meaning here: executables are what may be run, shortcuts are
    // desktop entries (and Windows shortcuts carried over).
    fileTypeBox->addItems({ QStringLiteral("Vis eksekverbare filer [kørbare;*.sh]"),
        QStringLiteral("Vis link filer [*.desktop;*.lnk]"), QStringLiteral("Vis alle filer [*]") });
    CmdLineLbl = new QLabel(QStringLiteral("Kommandolinie:"), this);
    Commandline = new QLineEdit(this);
    Commandline->setToolTip(QStringLiteral("Her står stien til programmet."));
    CmdLinePLbl = new QLabel(QStringLiteral("Kommandolinie parametre:"), this);
    CommandlineParameter = new QLineEdit(this);
    StartProgLbl = new QLabel(QStringLiteral("Start programmet i"), this);
    StartTime = new QComboBox(this);
    StartTime->addItems({ QStringLiteral("når forbindelsen opnås"), QStringLiteral("når der ringes op") });
    StartTime->setToolTip(QStringLiteral("Vælg hvornår programmet skal startes"));
    StartState = new QComboBox(this);
    StartState->addItems({ QStringLiteral("normal tilstand"), QStringLiteral("minimeret tilstand"),
        QStringLiteral("maksimeret tilstand") });
    Titlecaption
        = new QLabel(QStringLiteral("Titellinie til at lukke programmet med når der lægges på:"), this);
    Titleline = new QLineEdit(this);
    TIP = new QLabel(QStringLiteral("TIP: Med en titellinie lukker Ringtally programmet når der lægges på; "
                                    "ellers kører programmet videre."),
        this);
    TIP->setWordWrap(true);
    OK = new QPushButton(QStringLiteral("&Okay"), this);
    OK->setDefault(true);
    Cancel = new QPushButton(QStringLiteral("&Annullér"), this);
    if (ctx_.english)
        applyTexts();
    CmdLineLbl->setBuddy(Commandline);
    CmdLinePLbl->setBuddy(CommandlineParameter);
    Titlecaption->setBuddy(Titleline);

    auto* layout = new QGridLayout(this);
    layout->addWidget(FolderLbl, 0, 0, 1, 2);
    layout->addWidget(folderList, 1, 0);
    layout->addWidget(fileList, 1, 1);
    layout->addWidget(fileTypeBox, 2, 0, 1, 2);
    layout->addWidget(CmdLineLbl, 3, 0, 1, 2);
    layout->addWidget(Commandline, 4, 0, 1, 2);
    layout->addWidget(CmdLinePLbl, 5, 0, 1, 2);
    layout->addWidget(CommandlineParameter, 6, 0, 1, 2);
    auto* when = new QHBoxLayout;
    when->addWidget(StartProgLbl);
    when->addWidget(StartState, 1);
    when->addWidget(StartTime, 1);
    layout->addLayout(when, 7, 0, 1, 2);
    layout->addWidget(Titlecaption, 8, 0, 1, 2);
    layout->addWidget(Titleline, 9, 0, 1, 2);
    layout->addWidget(TIP, 10, 0, 1, 2);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(OK, QDialogButtonBox::AcceptRole);
    buttons->addButton(Cancel, QDialogButtonBox::RejectRole);
    layout->addWidget(buttons, 11, 0, 1, 2);

    for (QLineEdit* field : { Commandline, CommandlineParameter, Titleline })
        field->installEventFilter(this);
    connect(folderList, &QListWidget::itemActivated, this, &AddProg::onFolderActivated);
    connect(fileList, &QListWidget::currentRowChanged, this, &AddProg::onFileClicked);
    connect(fileTypeBox, &QComboBox::currentIndexChanged, this, &AddProg::onFileTypeChanged);
    connect(Commandline, &QLineEdit::textChanged, this, &AddProg::onCommandLineChanged);
    connect(Commandline, &QLineEdit::textEdited, this, &AddProg::onCommandLineEdited);
    connect(CommandlineParameter, &QLineEdit::textEdited, this, &AddProg::onParametersChanged);
    connect(OK, &QPushButton::clicked, this, &AddProg::onOkClicked);
    connect(Cancel, &QPushButton::clicked, this, &AddProg::onCancelClicked);
}

void AddProg::applyTexts()
{
    const StringTable& s = ctx_.strings;
    CmdLineLbl->setText(s.text(StringId::AddProg_CmdLineLbl));
    CmdLinePLbl->setText(s.text(StringId::AddProg_CmdLinePLbl));
    StartProgLbl->setText(s.text(StringId::AddProg_StartProgLbl));
    StartState->setItemText(0, s.text(StringId::AddProg_StartState0));
    StartState->setItemText(1, s.text(StringId::AddProg_StartState1));
    StartState->setItemText(2, s.text(StringId::AddProg_StartState2));
    StartTime->setItemText(0, s.text(StringId::AddProg_StartTime0));
    StartTime->setItemText(1, s.text(StringId::AddProg_StartTime1));
    Titlecaption->setText(s.text(StringId::AddProg_Titlecaption));
    TIP->setText(s.text(StringId::AddProg_TIP));
    Commandline->setToolTip(s.text(StringId::AddProg_CommandlineTip));
    CommandlineParameter->setToolTip(s.text(StringId::AddProg_CommandlineParameterTip));
    StartState->setToolTip(s.text(StringId::AddProg_StartStateTip));
    StartTime->setToolTip(s.text(StringId::AddProg_StartTimeTip));
    Titleline->setToolTip(s.text(StringId::AddProg_TitlelineTip));
    OK->setText(s.text(StringId::AddProg_OK));
    Cancel->setText(s.text(StringId::AddProg_Cancel));
}

void AddProg::openForAdd()
{
    ctx_.state.ResetOnActivate = false;
    editLine_ = -1;
    startTime_ = startState_ = {};
    setWindowTitle(
        ctx_.english ? ctx_.strings.text(StringId::AddProg_CaptionAdd) : QStringLiteral("Tilføj program"));
    Commandline->clear();
    CommandlineParameter->clear();
    Titleline->clear();
    StartState->setCurrentIndex(0);
    StartTime->setCurrentIndex(0);
    {
        const QSignalBlocker quiet(fileTypeBox);
        fileTypeBox->setCurrentIndex(int(FileType::Executables));
    }
    showFolder();
    onCommandLineChanged();
    showDialog();
}

void AddProg::openForEdit(int line)
{
    if (line < 0 || line >= Runprogs_[0]->count())
        return;
    ctx_.state.ResetOnActivate = false;
    editLine_ = line;
    setWindowTitle(
        ctx_.english ? ctx_.strings.text(StringId::AddProg_CaptionEdit) : QStringLiteral("Rediger program"));
    const CommandLineParts parts = splitCommandLine(Runprogs_[0]->item(line)->text());
    const QFileInfo program(parts.path);
    {
        const QSignalBlocker quiet(fileTypeBox);
        fileTypeBox->setCurrentIndex(int(fileTypeOf(program)));
    }
    // A program that has gone leaves the folder view where it was.
    if (!program.isAbsolute() || !setFolder(program.absolutePath()))
        showFolder();
    {
        const QSignalBlocker quiet(fileList);
        const QList<QListWidgetItem*> found = fileList->findItems(program.fileName(), Qt::MatchExactly);
        if (program.isAbsolute() && !found.isEmpty())
            fileList->setCurrentItem(found.front());
    }
    CommandlineParameter->setText(parts.parameters);
    Titleline->setText(Runprogs_[3]->item(line)->text());
    // A stored value the combo has no item for (a hand-edited file) shows the first item, and is
    // written back as it was unless the user changes the combo.
    const auto show = [](QComboBox& combo, const QString& stored) {
        const int index = stored.toInt();
        const ShownChoice shown { stored, index >= 0 && index < combo.count() ? index : 0 };
        combo.setCurrentIndex(shown.item);
        return shown;
    };
    startTime_ = show(*StartTime, Runprogs_[1]->item(line)->text());
    startState_ = show(*StartState, Runprogs_[2]->item(line)->text());
    Commandline->setText(commandLineFor(parts.path, parts.parameters));
    onCommandLineChanged();
    showDialog();
}

void AddProg::showFolder()
{
    // The folder shown last, listed afresh; the first time, or when it has gone, the home folder.
    if (folder_.isEmpty() || !setFolder(folder_))
        setFolder(QDir::homePath());
}

void AddProg::showDialog()
{
    show();
    raise();
    activateWindow();
}

bool AddProg::setFolder(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isDir())
        return false;
    folder_ = QDir::cleanPath(info.absoluteFilePath());
    FolderLbl->setText(folder_);

    QStringList chain; // the folder and its ancestors, root first
    for (QDir dir(folder_);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp())
            break;
    }
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    const QSignalBlocker quiet(folderList);
    folderList->clear();
    const auto addFolder = [this](const QString& full, const QString& name, int depth, const QIcon& icon) {
        auto* item = new QListWidgetItem(icon, QString(depth * 2, u' ') + name, folderList);
        item->setData(Qt::UserRole, full);
        return item;
    };
    for (int depth = 0; depth < chain.size(); ++depth) {
        const QString& full = chain[depth];
        const QString name = depth == 0 ? full : QFileInfo(full).fileName();
        QListWidgetItem* item = addFolder(full, name, depth, open);
        if (depth == chain.size() - 1)
            folderList->setCurrentItem(item);
    }
    const QDir here(folder_);
    for (const QString& sub :
        here.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        addFolder(programPath(folder_, sub), sub, int(chain.size()), closed);
    onFolderChanged();
    return true;
}

void AddProg::onFolderActivated()
{
    if (QListWidgetItem* item = folderList->currentItem())
        setFolder(item->data(Qt::UserRole).toString());
}

void AddProg::onFolderChanged()
{
    const QSignalBlocker quiet(fileList);
    fileList->clear();
    if (folder_.isEmpty())
        return;
    const auto type = FileType(fileTypeBox->currentIndex());
    const QFileInfoList files = QDir(folder_).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files) {
        if (type == FileType::AllFiles || fileTypeOf(file) == type)
            fileList->addItem(file.fileName());
    }
}

void AddProg::onFileTypeChanged()
{
    onFolderChanged();
}

void AddProg::onFileClicked()
{
    const QListWidgetItem* chosen = fileList->currentItem();
    const QString path
        = chosen ? programPath(folder_, chosen->text()) : splitCommandLine(Commandline->text()).path;
    if (path.isEmpty())
        Commandline->clear();
    else
        Commandline->setText(commandLineFor(path, CommandlineParameter->text()));
}

void AddProg::onCommandLineEdited()
{
    // A path typed by hand wins over the file chosen before, when the parameters change next.
    const QSignalBlocker quiet(fileList);
    fileList->setCurrentRow(-1);
    fileList->clearSelection();
}

void AddProg::onCommandLineChanged()
{
    if (isShortcut(Commandline->text())) {
        StartState->setCurrentIndex(0);
        StartState->setEnabled(false);
    } else {
        StartState->setEnabled(true);
    }
}

void AddProg::onOkClicked()
{
    if (Commandline->text().trimmed().isEmpty()) {
        ctx_.prompter.ask({ ctx_.english ? QStringLiteral("Warning!") : QStringLiteral("Advarsel!"),
            ctx_.english ? QStringLiteral("You have not chosen a program!")
                         : QStringLiteral("Du har ikke valgt et program!"),
            PromptIcon::Exclamation, PromptButtons::Ok });
        return;
    }
    const std::array<QString, 4> line { Commandline->text(), choiceFor(*StartTime, startTime_),
        choiceFor(*StartState, startState_), Titleline->text() };
    const bool replace = editLine_ >= 0 && editLine_ < Runprogs_[0]->count();
    for (size_t column = 0; column < line.size(); ++column) {
        QListWidget& list = *Runprogs_[column];
        const QSignalBlocker quiet(&list);
        if (replace)
            list.item(editLine_)->setText(line[column]);
        else
            list.addItem(line[column]);
    }
    hide();
    emit startListChanged();
}

QString AddProg::choiceFor(const QComboBox& combo, const ShownChoice& shown)
{
    return combo.currentIndex() == shown.item ? shown.stored : QString::number(combo.currentIndex());
}

bool AddProg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto* field = qobject_cast<QLineEdit*>(watched))
            SelectAllText(*field);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace ringtally
