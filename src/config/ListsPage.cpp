#include "config/ListsPage.h"

#include "config/ConfigContext.h"
#include "config/HolidayList.h"
#include "config/KeyFilters.h"
#include "core/IniDocument.h"
#include "core/ListProcedures.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "localisation/StringTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <span>

namespace ringtally {

namespace {

const QString kConfiguration = QStringLiteral("Configuration");
const QString kAutolog = QStringLiteral("Autolog");
const QString kAutoConnect = QStringLiteral("AutoConnect");
const QString kRunprogs = QStringLiteral("Runprogs");
const QString kNumberOfProgs = QStringLiteral("Number of progs ");
const QString kRunProgs = QStringLiteral("Run progs ");

using Columns = std::span<QListWidget* const>;

// An entry's key in the two watch lists: entryKey(1, 0) is "1A".
QString entryKey(int number, size_t column)
{
    return QString::number(number) + QChar(char16_t(u'A' + column));
}

// "Nr.0 data 0": field `column` of start-list entry `line`.
QString startListKey(int line, size_t column)
{
    return QStringLiteral("Nr.%1 data %2").arg(line).arg(column);
}

// The columns of one list are kept in step: the same line selected, added and removed in all of
// them. Nothing here runs the columns' own click events.
int selectedLine(Columns columns)
{
    return columns[0]->currentRow();
}

void selectLine(Columns columns, int line)
{
    for (QListWidget* column : columns) {
        const QSignalBlocker quiet(column);
        if (line < 0) {
            column->setCurrentRow(-1);
            column->clearSelection();
        } else {
            column->setCurrentRow(line, QItemSelectionModel::ClearAndSelect);
        }
    }
}

void addLine(Columns columns, const QStringList& texts)
{
    for (size_t i = 0; i < columns.size(); ++i) {
        const QSignalBlocker quiet(columns[i]);
        columns[i]->addItem(texts.value(qsizetype(i)));
    }
}

void removeLine(Columns columns, int line)
{
    for (QListWidget* column : columns) {
        const QSignalBlocker quiet(column);
        delete column->takeItem(line);
    }
    selectLine(columns, -1);
}

void clearColumns(Columns columns)
{
    for (QListWidget* column : columns) {
        const QSignalBlocker quiet(column);
        column->clear();
    }
}

void setLineText(QListWidget& column, int line, const QString& text)
{
    if (QListWidgetItem* item = column.item(line))
        item->setText(text);
}

QString lineText(const QListWidget& column, int line)
{
    const QListWidgetItem* item = column.item(line);
    return item ? item->text() : QString();
}

// Loading an edit row changes no line: the combo shows the line's text, or nothing when it has no
// such item (a connection no longer on this system), rather than another entry's.
void showText(QComboBox& combo, const QString& text)
{
    const QSignalBlocker quiet(&combo);
    combo.setCurrentIndex(combo.findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void clearChoice(QComboBox& combo)
{
    const QSignalBlocker quiet(&combo);
    combo.setCurrentIndex(-1);
}

// Only the last column shows a scroll bar; scrolling any column scrolls them all.
void scrollTogether(Columns columns)
{
    for (QListWidget* column : columns) {
        if (column != columns.back())
            column->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        for (QListWidget* other : columns) {
            if (other != column)
                QObject::connect(column->verticalScrollBar(), &QScrollBar::valueChanged, other,
                    [other](int value) { other->verticalScrollBar()->setValue(value); });
        }
    }
}

} // namespace

QString yesNoWord(const QString& stored, const DisplayWords& words)
{
    return stored == QLatin1String("1") ? words.yes : words.no;
}

std::optional<QString> storedYesNo(const QString& word, const DisplayWords& words)
{
    if (word == words.yes)
        return QStringLiteral("1");
    if (word == words.no)
        return QStringLiteral("0");
    return std::nullopt;
}

QString startTimeWord(const QString& stored, const DisplayWords& words)
{
    return stored == QLatin1String("0") ? words.whenConnected : words.whenDialing;
}

QString startStateWord(const QString& stored, const DisplayWords& words)
{
    if (stored == QLatin1String("0"))
        return words.startNormal;
    if (stored == QLatin1String("1"))
        return words.startMinimized;
    if (stored == QLatin1String("2"))
        return words.startMaximized;
    return QStringLiteral("-");
}

QString closingWord(const QString& titleLine, const DisplayWords& words)
{
    return titleLine.isEmpty() ? words.programNotClosed : words.programClosed;
}

ListsPage::ListsPage(ConfigContext& context, QWidget* parent) : QWidget(parent), ctx_(context)
{
    const auto label = [this](const char16_t* text) { return new QLabel(QString::fromUtf16(text), this); };
    const auto button = [this](const char16_t* text, const char16_t* tip) {
        auto* b = new QPushButton(QString::fromUtf16(text), this);
        if (tip)
            b->setToolTip(QString::fromUtf16(tip));
        return b;
    };
    const auto column = [this] {
        auto* list = new QListWidget(this);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        return list;
    };
    const DisplayWords& words = ctx_.words;

    AutologListeLbl = label(u"&Autolog liste");
    for (QListWidget*& list : Autolog)
        list = column();
    DUNNameLbl = label(u"NVM for&bindelse navn");
    LogWithLbl = label(u"log &med");
    StartProgsLbl = label(u"start &programmer?");
    AutoDUNName = new QComboBox(this);
    LogEdit = new QComboBox(this);
    StartProgsEdit = new QComboBox(this);
    StartProgsEdit->addItems({ words.no, words.yes });
    addAutologButton = button(u"Tilføj", nullptr);
    removeAutologButton = button(u"Fjern", nullptr);
    TIP5 = label(u"OBS: Hvis den samme NVM forbindelse er to gange på listen, vil den første blive brugt!");
    TIP5->setWordWrap(true);

    AutoConnectLbl = label(u"Auto &tilslut liste");
    for (QListWidget*& list : AutoConnect)
        list = column();
    AutoConnectEditTitel = new QLineEdit(this);
    for (size_t i = 1; i < AutoConnectEdit.size(); ++i) {
        AutoConnectEdit[i] = new QComboBox(this);
        if (i > 1)
            AutoConnectEdit[i]->addItems({ words.yes, words.no });
    }
    addAutoConnectButton = button(u"Tilføj", nullptr);
    removeAutoConnectButton = button(u"F&jern", nullptr);

    Startlistelbl = label(u"&Start liste");
    for (QListWidget*& list : Runprogs)
        list = column();
    Runprogs[0]->setToolTip(QStringLiteral("Liste over de programmer der skal startes (dobbeltklik redigerer "
                                           "et allerede indtastes program)"));
    StartTimeLbl = label(u"-");
    StartstateLbl = label(u"-");
    DisconnectStateLbl = label(u"-");
    Add = button(u"Tilf&øj", u"Tilføj et nyt program til listen");
    Remove = button(u"&Fjern", u"Fjern det valgte program fra listen");
    RunProgsOnConnect
        = new QCheckBox(QStringLiteral("Start som standard programm&erne i start listen"), this);
    holidayList = new HolidayList(ctx_, this);

    if (ctx_.english)
        applyTexts();
    layOut();
    connectEvents();
}

void ListsPage::applyTexts()
{
    const StringTable& s = ctx_.strings;
    AutologListeLbl->setText(s.text(StringId::Config_AutologListeLbl));
    AutologListeLbl->setToolTip(s.text(StringId::Config_AutologListeLblTip));
    DUNNameLbl->setText(s.text(StringId::Config_DUNNameLbl));
    LogWithLbl->setText(s.text(StringId::Config_LogWithLbl));
    StartProgsLbl->setText(s.text(StringId::Config_StartProgsLbl));
    const std::array<std::pair<QWidget*, StringId>, 7> tips {
        { { DUNNameLbl, StringId::Config_DUNNameLblTip }, { Autolog[0], StringId::Config_DUNNameLblTip },
            { LogWithLbl, StringId::Config_LogWithLblTip }, { Autolog[1], StringId::Config_LogWithLblTip },
            { StartProgsLbl, StringId::Config_StartProgsLblTip },
            { Autolog[2], StringId::Config_StartProgsLblTip },
            { AutoDUNName, StringId::Config_AutoDUNNameTip } }
    };
    for (const auto& [widget, id] : tips)
        widget->setToolTip(s.text(id));
    TIP5->setText(s.text(StringId::Config_TIP5));
    // Three lists share the two texts: each button gets a letter of its own where one is left.
    const std::array<std::pair<QPushButton*, QChar>, 3> adds { { { addAutologButton, QChar() },
        { addAutoConnectButton, u'd' }, { Add, u'a' } } };
    for (const auto& [b, letter] : adds)
        b->setText(withShortcutLetter(s.text(StringId::Config_Add), letter));
    const std::array<std::pair<QPushButton*, QChar>, 3> removes { { { removeAutologButton, QChar() },
        { removeAutoConnectButton, u'v' }, { Remove, u'r' } } };
    for (const auto& [b, letter] : removes)
        b->setText(withShortcutLetter(s.text(StringId::Config_Remove), letter));
    addAutologButton->setToolTip(s.text(StringId::Config_Add2Tip));
    removeAutologButton->setToolTip(s.text(StringId::Config_Remove2Tip));
    Add->setToolTip(s.text(StringId::Config_AddTip));
    Remove->setToolTip(s.text(StringId::Config_RemoveTip));
    Startlistelbl->setText(s.text(StringId::Config_Startlistelbl2));
    Runprogs[0]->setToolTip(s.text(StringId::Config_Runprogs0Tip));
    for (QLabel* l : { StartTimeLbl, StartstateLbl, DisconnectStateLbl })
        l->setToolTip(s.text(StringId::Config_StartTimeLblTip));
    RunProgsOnConnect->setText(s.text(StringId::Config_RunProgsOnConnect));
    RunProgsOnConnect->setToolTip(s.text(StringId::Config_RunProgsOnConnectTip));
}

void ListsPage::layOut()
{
    auto* page = new QVBoxLayout(this);

    // Each list: a header over each column, the columns side by side, the edit row under them.
    auto* autolog = new QGridLayout;
    autolog->addWidget(AutologListeLbl, 0, 0, 1, 3);
    const std::array<QLabel*, 3> autologHeads { DUNNameLbl, LogWithLbl, StartProgsLbl };
    const std::array<QComboBox*, 3> autologEdits { AutoDUNName, LogEdit, StartProgsEdit };
    for (int i = 0; i < 3; ++i) {
        autolog->addWidget(autologHeads[size_t(i)], 1, i);
        autolog->addWidget(Autolog[size_t(i)], 2, i);
        autolog->addWidget(autologEdits[size_t(i)], 3, i);
        autologHeads[size_t(i)]->setBuddy(autologEdits[size_t(i)]);
    }
    autolog->addWidget(addAutologButton, 2, 3, Qt::AlignTop);
    autolog->addWidget(removeAutologButton, 3, 3);
    autolog->addWidget(TIP5, 4, 0, 1, 4);
    page->addLayout(autolog);

    auto* autoConnect = new QGridLayout;
    autoConnect->addWidget(AutoConnectLbl, 0, 0, 1, 5);
    AutoConnectLbl->setBuddy(AutoConnect[0]);
    AutologListeLbl->setBuddy(Autolog[0]);
    const std::array<const char16_t*, 5> heads { u"T&itellinie i program", u"ring op til/log med",
        u"Ri&ng op?", u"L&æg på?", u"Start pro&gr.?" };
    for (int i = 0; i < 5; ++i) {
        auto* head = new QLabel(QString::fromUtf16(heads[size_t(i)]), this);
        QWidget* edit = i == 0 ? static_cast<QWidget*>(AutoConnectEditTitel) : AutoConnectEdit[size_t(i)];
        head->setBuddy(edit);
        autoConnect->addWidget(head, 1, i);
        autoConnect->addWidget(AutoConnect[size_t(i)], 2, i);
        autoConnect->addWidget(edit, 3, i);
    }
    autoConnect->setColumnStretch(0, 2);
    autoConnect->addWidget(addAutoConnectButton, 2, 5, Qt::AlignTop);
    autoConnect->addWidget(removeAutoConnectButton, 3, 5);
    page->addLayout(autoConnect);

    auto* startList = new QGridLayout;
    startList->addWidget(Startlistelbl, 0, 0);
    Startlistelbl->setBuddy(Runprogs[0]);
    startList->addWidget(Runprogs[0], 1, 0, 4, 1);
    for (size_t i = 1; i < Runprogs.size(); ++i)
        Runprogs[i]->hide();
    startList->addWidget(Add, 1, 1);
    startList->addWidget(Remove, 2, 1);
    startList->addWidget(StartTimeLbl, 5, 0, 1, 2);
    startList->addWidget(StartstateLbl, 6, 0, 1, 2);
    startList->addWidget(DisconnectStateLbl, 7, 0, 1, 2);
    startList->addWidget(RunProgsOnConnect, 8, 0, 1, 2);
    // The holidays beside the start list rather than under it: the page is tall enough.
    auto* bottom = new QHBoxLayout;
    bottom->addLayout(startList);
    bottom->addWidget(holidayList);
    page->addLayout(bottom);

    scrollTogether(Autolog);
    scrollTogether(AutoConnect);
}

void ListsPage::connectEvents()
{
    for (int i = 0; i < int(Autolog.size()); ++i)
        connect(Autolog[size_t(i)], &QListWidget::currentRowChanged, this,
            [this, i] { onAutologLineClicked(i); });
    connect(AutoDUNName, &QComboBox::currentIndexChanged, this, &ListsPage::onAutologConnectionChosen);
    connect(LogEdit, &QComboBox::currentIndexChanged, this, &ListsPage::onAutologSchemeChosen);
    connect(StartProgsEdit, &QComboBox::currentIndexChanged, this, &ListsPage::onAutologStartChosen);
    connect(addAutologButton, &QPushButton::clicked, this, &ListsPage::onAddAutologClicked);
    connect(removeAutologButton, &QPushButton::clicked, this, &ListsPage::onRemoveAutologClicked);

    for (int i = 0; i < int(AutoConnect.size()); ++i) {
        connect(AutoConnect[size_t(i)], &QListWidget::currentRowChanged, this,
            [this, i] { onAutoConnectLineClicked(i); });
        if (QComboBox* edit = AutoConnectEdit[size_t(i)])
            connect(edit, &QComboBox::currentIndexChanged, this, [this, i] { onAutoConnectFieldChosen(i); });
    }
    connect(AutoConnectEditTitel, &QLineEdit::textEdited, this, &ListsPage::onAutoConnectTitleTyped);
    AutoConnectEditTitel->installEventFilter(this);
    connect(addAutoConnectButton, &QPushButton::clicked, this, &ListsPage::onAddAutoConnectClicked);
    connect(removeAutoConnectButton, &QPushButton::clicked, this, &ListsPage::onRemoveAutoConnectClicked);

    for (int i = 0; i < int(Runprogs.size()); ++i)
        connect(Runprogs[size_t(i)], &QListWidget::currentRowChanged, this,
            [this, i] { onProgramLineClicked(i); });
    connect(Runprogs[0], &QListWidget::itemDoubleClicked, this, &ListsPage::onProgramLineDoubleClicked);
    connect(Add, &QPushButton::clicked, this, &ListsPage::onAddProgramClicked);
    connect(Remove, &QPushButton::clicked, this, &ListsPage::onRemoveProgramClicked);
}

AddProg& ListsPage::addProg()
{
    if (!addProg_) {
        addProg_ = new AddProg(ctx_, Runprogs, this);
        connect(addProg_, &AddProg::startListChanged, this, [this] { onProgramLineClicked(0); });
    }
    return *addProg_;
}

void ListsPage::fill()
{
    const SettingsFile& file = ctx_.settings;
    const DisplayWords& words = ctx_.words;
    if (addProg_)
        addProg_->hide();
    for (QLabel* l : { StartTimeLbl, StartstateLbl, DisconnectStateLbl })
        l->setText(QStringLiteral("-"));
    {
        const QSignalBlocker quiet(AutoDUNName);
        // A system whose entries cannot be listed leaves the combo empty; there is nothing to pick.
        static_cast<void>(FillDUNList(*AutoDUNName, ctx_.network));
    }

    clearColumns(Autolog);
    for (int n = 1; n <= ctx_.state.settings.NumberOfDUN; ++n)
        addLine(Autolog,
            { file.ReadIni(kAutolog, entryKey(n, 0), QString()),
                file.ReadIni(kAutolog, entryKey(n, 1), QString()),
                yesNoWord(file.ReadIni(kAutolog, entryKey(n, 2), QStringLiteral("0")), words) });
    clearColumns(AutoConnect);
    for (int n = 1; n <= ctx_.state.settings.AutoConnectCount; ++n) {
        QStringList line;
        for (size_t column = 0; column < AutoConnect.size(); ++column) {
            const QString stored = file.ReadIni(kAutoConnect, entryKey(n, column), QString());
            line.append(column < 2 ? stored : yesNoWord(stored, words));
        }
        addLine(AutoConnect, line);
    }

    for (QComboBox* combo : { AutoDUNName, LogEdit, StartProgsEdit })
        clearChoice(*combo);
    for (size_t i = 1; i < AutoConnectEdit.size(); ++i)
        clearChoice(*AutoConnectEdit[i]);
    AutoConnectEditTitel->clear();

    refillSchemeCombos();

    RunProgsOnConnect->setChecked(file.readInt16(kConfiguration, kRunProgs, 0) != 0);
    clearColumns(Runprogs);
    const int programs = file.readInt16(kConfiguration, kNumberOfProgs, 0);
    const std::array<QString, 4> defaults { QString(), QStringLiteral("0"), QStringLiteral("0"), QString() };
    for (int line = 0; line < programs; ++line) {
        QStringList texts;
        for (size_t column = 0; column < Runprogs.size(); ++column)
            texts.append(file.ReadIni(kRunprogs, startListKey(line, column), defaults[column]));
        addLine(Runprogs, texts);
    }
    holidayList->fill(ctx_.state.settings.Holidays);
}

Status ListsPage::store()
{
    if (addProg_)
        addProg_->hide();
    const DisplayWords& words = ctx_.words;
    const int autologCount = Autolog[0]->count();
    const int autoConnectCount = AutoConnect[0]->count();
    const int programs = Runprogs[0]->count();

    // One list's lines as numbered entries; a yes/no column holding neither word ends its line.
    const auto writeEntries
        = [&words](IniDocument& document, const QString& section, Columns columns, size_t firstFlag) {
              Status result;
              for (int line = 0; line < columns[0]->count() && result; ++line) {
                  for (size_t column = 0; column < columns.size() && result; ++column) {
                      std::optional<QString> value = lineText(*columns[column], line);
                      if (column >= firstFlag)
                          value = storedYesNo(*value, words);
                      if (!value)
                          break;
                      result = document.setValue(section, entryKey(line + 1, column), *value);
                  }
              }
              return result;
          };

    const Status written = ctx_.settings.profile().update([&](IniDocument& document) {
        document.removeSection(kAutolog);
        Status result = document.setValue(
            kConfiguration, QStringLiteral("Number_of_DUN"), QString::number(autologCount));
        if (result)
            result = writeEntries(document, kAutolog, Autolog, 2);
        document.removeSection(kAutoConnect);
        if (result)
            result
                = document.setValue(kAutoConnect, QStringLiteral("Count"), QString::number(autoConnectCount));
        if (result)
            result = writeEntries(document, kAutoConnect, AutoConnect, 2);
        // Stale entries of a longer list must not survive, so the section always goes first.
        document.removeSection(kRunprogs);
        for (int line = 0; line < programs && result; ++line) {
            for (size_t column = 0; column < Runprogs.size() && result; ++column)
                result = document.setValue(
                    kRunprogs, startListKey(line, column), lineText(*Runprogs[column], line));
        }
        if (result)
            result = document.setValue(kConfiguration, kNumberOfProgs, QString::number(programs));
        if (result)
            result = document.setValue(
                kConfiguration, kRunProgs, QString::number(int(RunProgsOnConnect->isChecked())));
        return result;
    });
    if (!written)
        return written;
    ctx_.state.settings.NumberOfDUN = qint16(autologCount);
    ctx_.state.settings.AutoConnectCount = qint16(autoConnectCount);
    ctx_.state.settings.Holidays = holidayList->holidays();
    return Status::success();
}

void ListsPage::refillSchemeCombos()
{
    const QString logChoice = LogEdit->currentText();
    const QString connectChoice = AutoConnectEdit[1]->currentText();
    {
        const QSignalBlocker quietLog(LogEdit);
        const QSignalBlocker quietConnect(AutoConnectEdit[1]);
        LogEdit->clear();
        AutoConnectEdit[1]->clear();
        for (const Scheme& scheme : ctx_.state.settings.Schemes) {
            if (scheme.Name.isEmpty())
                continue;
            LogEdit->addItem(scheme.Name);
            AutoConnectEdit[1]->addItem(scheme.Name);
        }
        LogEdit->addItem(kNeverLog);
    }
    showText(*LogEdit, logChoice);
    showText(*AutoConnectEdit[1], connectChoice);
}

// --- Autolog list ---

void ListsPage::onAutologLineClicked(int Index)
{
    const int line = Autolog[size_t(Index)]->currentRow();
    selectLine(Autolog, line);
    loadAutologEditRow(line);
}

void ListsPage::loadAutologEditRow(int line)
{
    const std::array<QComboBox*, 3> edits { AutoDUNName, LogEdit, StartProgsEdit };
    for (size_t i = 0; i < edits.size(); ++i) {
        if (line < 0)
            clearChoice(*edits[i]);
        else
            showText(*edits[i], lineText(*Autolog[i], line));
    }
}

void ListsPage::onAutologConnectionChosen()
{
    if (AutoDUNName->currentIndex() >= 0)
        setLineText(*Autolog[0], selectedLine(Autolog), AutoDUNName->currentText());
}

void ListsPage::onAutologSchemeChosen()
{
    if (LogEdit->currentIndex() >= 0)
        setLineText(*Autolog[1], selectedLine(Autolog), LogEdit->currentText());
}

void ListsPage::onAutologStartChosen()
{
    if (StartProgsEdit->currentIndex() >= 0)
        setLineText(*Autolog[2], selectedLine(Autolog), StartProgsEdit->currentText());
}

void ListsPage::onAddAutologClicked()
{
    if (AutoDUNName->currentIndex() < 0 || LogEdit->currentIndex() < 0 || StartProgsEdit->currentIndex() < 0)
        return;
    addLine(Autolog, { AutoDUNName->currentText(), LogEdit->currentText(), StartProgsEdit->currentText() });
}

void ListsPage::onRemoveAutologClicked()
{
    const int line = selectedLine(Autolog);
    if (line < 0)
        return;
    removeLine(Autolog, line);
    if (Autolog[0]->count() > 0)
        selectLine(Autolog, 0);
    loadAutologEditRow(selectedLine(Autolog));
}

// --- Auto-connect list ---

void ListsPage::onAutoConnectLineClicked(int Index)
{
    const int line = AutoConnect[size_t(Index)]->currentRow();
    selectLine(AutoConnect, line);
    loadAutoConnectEditRow(line);
}

void ListsPage::loadAutoConnectEditRow(int line)
{
    AutoConnectEditTitel->setText(lineText(*AutoConnect[0], line));
    for (size_t i = 1; i < AutoConnectEdit.size(); ++i) {
        if (line < 0)
            clearChoice(*AutoConnectEdit[i]);
        else
            showText(*AutoConnectEdit[i], lineText(*AutoConnect[i], line));
    }
}

void ListsPage::onAutoConnectFieldChosen(int Index)
{
    const QComboBox& edit = *AutoConnectEdit[size_t(Index)];
    if (edit.currentIndex() >= 0)
        setLineText(*AutoConnect[size_t(Index)], selectedLine(AutoConnect), edit.currentText());
}

void ListsPage::onAutoConnectTitleTyped()
{
    setLineText(*AutoConnect[0], selectedLine(AutoConnect), AutoConnectEditTitel->text());
}

void ListsPage::onAutoConnectTitleLeft()
{
    // The emptied line goes, and no other line is selected in its place: the click that took
    // the focus away (on the remove button, say) would otherwise act on a line the user never chose.
    const int line = selectedLine(AutoConnect);
    if (line >= 0 && lineText(*AutoConnect[0], line).isEmpty())
        removeAutoConnectLine(false);
}

void ListsPage::onAddAutoConnectClicked()
{
    if (AutoConnectEditTitel->text().isEmpty())
        return;
    QStringList line { AutoConnectEditTitel->text() };
    for (size_t i = 1; i < AutoConnectEdit.size(); ++i) {
        if (AutoConnectEdit[i]->currentIndex() < 0)
            return;
        line.append(AutoConnectEdit[i]->currentText());
    }
    addLine(AutoConnect, line);
}

void ListsPage::onRemoveAutoConnectClicked()
{
    removeAutoConnectLine(true);
}

void ListsPage::removeAutoConnectLine(bool selectFirst)
{
    const int line = selectedLine(AutoConnect);
    if (line < 0)
        return;
    removeLine(AutoConnect, line);
    if (selectFirst && AutoConnect[0]->count() > 0)
        selectLine(AutoConnect, 0);
    loadAutoConnectEditRow(selectedLine(AutoConnect));
}

bool ListsPage::eventFilter(QObject* watched, QEvent* event)
{
    // Only a move of the focus inside the window counts: switching to another window or opening
    // a menu leaves the field as it is.
    if (watched == AutoConnectEditTitel && event->type() == QEvent::FocusOut && leavesField(*event))
        onAutoConnectTitleLeft();
    return QWidget::eventFilter(watched, event);
}

// --- Start list ---

void ListsPage::onProgramLineClicked(int Index)
{
    const int line = Runprogs[size_t(Index)]->currentRow();
    selectLine(Runprogs, line);
    const DisplayWords& words = ctx_.words;
    const bool none = line < 0;
    StartTimeLbl->setText(none ? QStringLiteral("-") : startTimeWord(lineText(*Runprogs[1], line), words));
    StartstateLbl->setText(none ? QStringLiteral("-") : startStateWord(lineText(*Runprogs[2], line), words));
    DisconnectStateLbl->setText(
        none ? QStringLiteral("-") : closingWord(lineText(*Runprogs[3], line), words));
}

void ListsPage::onAddProgramClicked()
{
    addProg().openForAdd();
}

void ListsPage::onProgramLineDoubleClicked()
{
    const int line = selectedLine(Runprogs);
    if (line >= 0)
        addProg().openForEdit(line);
}

void ListsPage::onRemoveProgramClicked()
{
    const int line = selectedLine(Runprogs);
    if (line < 0)
        return;
    removeLine(Runprogs, line);
    if (Runprogs[0]->count() > 0)
        selectLine(Runprogs, Runprogs[0]->count() - 1);
    onProgramLineClicked(0);
}

} // namespace ringtally
