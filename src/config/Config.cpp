#include "config/Config.h"

#include "config/HolidayList.h"
#include "config/ListsPage.h"
#include "config/MiscPage.h"
#include "config/Save.h"
#include "config/SchemePage.h"
#include "config/SoundChooser.h"
#include "core/ErrorMessage.h"
#include "core/IniDocument.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "help/HelpTopics.h"
#include "localisation/StringTable.h"
#include "platform/Prompter.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QValidator>

namespace ringtally {

using namespace Qt::StringLiterals;

Config::Config(ConfigContext context, EventSounds& sounds, RegistryRoutines& registry,
    std::function<void(bool)> runProgramsInList, QWidget* parent)
    : QDialog(parent, Qt::Window),
      live_(context.state),
      draft_(context.state),
      context_ { draft_, context.settings, context.network, context.strings, context.prompter, context.format,
          context.folder, context.clock, context.english, std::move(context.words) },
      sounds_(sounds),
      registry_(registry),
      runProgramsInList_(std::move(runProgramsInList))
{
    const bool english = context_.english;
    const StringTable& strings = context_.strings;
    setWindowTitle(english ? strings.text(StringId::Config_Caption) : QStringLiteral("Opsætning"));

    auto* layout = new QVBoxLayout(this);
    auto* switches = new QHBoxLayout;
    const std::array<std::pair<QString, StringId>, 3> pages {
        { { QStringLiteral("Or&dninger"), StringId::Config_Framevalg1 },
            { QStringLiteral("Di&verse"), StringId::Config_Framevalg2 },
            { QStringLiteral("&Lister"), StringId::Config_Framevalg3 } }
    };
    for (int k = 1; k <= 3; ++k) {
        const auto& [danish, id] = pages[size_t(k - 1)];
        QRadioButton* button = new QRadioButton(english ? strings.menuText(id) : danish, this);
        Framevalg[size_t(k - 1)] = button;
        switches->addWidget(button);
        connect(button, &QRadioButton::clicked, this, [this, k] { showPage(k); });
    }
    switches->addStretch();
    layout->addLayout(switches);

    schemePage = new SchemePage(context_, this);
    miscPage = new MiscPage(context_, this);
    listsPage = new ListsPage(context_, this);
    Frame = new QStackedWidget(this);
    for (QWidget* page : std::initializer_list<QWidget*> { schemePage, miscPage, listsPage })
        Frame->addWidget(page);
    layout->addWidget(Frame);

    Okay = new QPushButton(english ? strings.menuText(StringId::AddProg_OK) : QStringLiteral("&OK"), this);
    Cancel = new QPushButton(
        english ? strings.menuText(StringId::AddProg_Cancel) : QStringLiteral("Ann&ullér"), this);
    Okay->setDefault(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(Okay, QDialogButtonBox::AcceptRole);
    buttons->addButton(Cancel, QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(Okay, &QPushButton::clicked, this, &Config::onOkClicked);
    connect(Cancel, &QPushButton::clicked, this, &Config::onCancelClicked);

    // A scheme's new name shows at once in the other pages' scheme lists.
    connect(schemePage, &SchemePage::schemeNamesChanged, listsPage, &ListsPage::refillSchemeCombos);
    connect(schemePage, &SchemePage::schemeNamesChanged, miscPage, &MiscPage::refillSchemeCombos);

    tariffDialog = new Save(context_, this);
    connect(schemePage, &SchemePage::loadTariffsRequested, tariffDialog,
        [this](int scheme, int dayType) { tariffDialog->open(scheme, dayType, Save::Mode::Hent); });
    connect(schemePage, &SchemePage::saveTariffsRequested, tariffDialog,
        [this](int scheme, int dayType) { tariffDialog->open(scheme, dayType, Save::Mode::Gem); });
    connect(tariffDialog, &Save::loaded, schemePage, &SchemePage::refillAfterLoad);
    connect(miscPage, &MiscPage::soundsRequested, this, [this] {
        SoundChooser chooser(sounds_, registry_, context_.english, this);
        chooser.exec();
    });

    // F1 on the maximum price opens its place in the help pages.
    setHelpTopic(*miscPage->MaxPris, QStringLiteral("Config.MaxPris"));
    for (QWidget* field :
        { static_cast<QWidget*>(miscPage->UseMaxMonthData), static_cast<QWidget*>(miscPage->MaxMonthData),
            static_cast<QWidget*>(miscPage->DataWarnPercent) })
        setHelpTopic(*field, QStringLiteral("Config.DataLimit"));
    for (QCheckBox* hangUp : miscPage->HangUpAtLimit)
        setHelpTopic(*hangUp, QStringLiteral("Config.HangUpAtLimit"));
    setHelpTopic(*schemePage->holidaysOwnTariff, QStringLiteral("Config.Holidays"));
    setHelpTopic(*schemePage->Dage[kDayTypeCount], QStringLiteral("Config.Holidays"));
    setHelpTopic(*listsPage->holidayList, QStringLiteral("Config.HolidayList"));
    for (QWidget* column : listsPage->Autolog)
        setHelpTopic(*column, QStringLiteral("Config.Autolog"));
    for (QWidget* column : listsPage->AutoConnect)
        setHelpTopic(*column, QStringLiteral("Config.AutoConnect"));
    for (QWidget* column : listsPage->Runprogs)
        setHelpTopic(*column, QStringLiteral("Config.Runprogs"));
    for (QWidget* rule : { schemePage->firstBlock, schemePage->billingStep, schemePage->minimumPrice,
             schemePage->pricePerMB, schemePage->dataStepKB, schemePage->allowanceMB })
        setHelpTopic(*rule, QStringLiteral("Config.TariffRules"));

    // The first showing fills the window.
    context_.state.ResetOnActivate = true;
}

Config::~Config() = default;

void Config::showConfig(QWidget* owner)
{
    owner_ = owner;
    if (owner_)
        owner_->setEnabled(false);
    // A window the user minimised comes back as it was left.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void Config::unload()
{
    tariffDialog->hide();
    hide();
}

void Config::refillForm()
{
    context_.settings.LoadSettings(context_.state.settings);
    miscPage->fill();
    listsPage->fill();
    schemePage->fill();
    showPage(1);
}

void Config::onOkClicked()
{
    // Every page writes its part; the first write that fails is reported, and the window stays
    // open with the edits so that nothing typed is lost.
    // Whatever reached a field met its rule on the way; a field left with half a value (a lone
    // decimal mark) is named, and the window stays open with it.
    for (QLineEdit* field : findChildren<QLineEdit*>()) {
        QString text = field->text();
        int at = 0;
        if (!field->validator() || text.isEmpty() || !field->isEnabled()
            || field->validator()->validate(text, at) == QValidator::Acceptable)
            continue;
        const QString name = field->toolTip().isEmpty() ? field->objectName() : field->toolTip();
        context_.prompter.ask({ context_.english ? u"Configuration"_s : u"Opsætning"_s,
            (context_.english ? u"\"%1\" cannot be used in the field \"%2\"."_s
                              : u"\"%1\" kan ikke bruges i feltet \"%2\"."_s)
                .arg(field->text(), name),
            PromptIcon::Exclamation, PromptButtons::Ok });
        field->setFocus();
        return;
    }
    // One save of every page: a failure half way leaves the file as it was.
    const Status written = context_.settings.profile().transaction([this] {
        // The schemes first: the other pages name schemes by the names the scheme page has.
        Status stored = schemePage->store();
        for (const auto& store : { std::function<Status()>([this] { return listsPage->store(); }),
                 std::function<Status()>([this] { return miscPage->store(); }) }) {
            if (stored)
                stored = store();
        }
        if (stored)
            stored = renameListEntries();
        if (stored)
            stored = context_.settings.SaveSettings(draft_.settings, SettingsFile::Counters::Keep);
        return stored;
    });
    // The main window's switch and the tray menu's item follow the page's switch as stored.
    if (written && runProgramsInList_)
        runProgramsInList_(
            context_.settings.readInt16(QStringLiteral("Configuration"), QStringLiteral("Run progs "), 0)
            != 0);
    if (!written) {
        context_.prompter.ask(errorPrompt(ErrorTitle::FileError, 75,
            settingsNotStoredText(written.message(), context_.english), context_.english));
        return;
    }
    // Handed over whole; the counters are the running program's.
    Settings edited = draft_.settings;
    edited.takeCountersFrom(live_.settings);
    live_.settings = edited;
    onCancelClicked();
}

Status Config::renameListEntries()
{
    // A renamed scheme takes its autolog and auto-connect entries along: under the old name they
    // would name no scheme, and their lines would go unmetered.
    QHash<QString, QString> renamed;
    for (size_t i = 0; i < live_.settings.Schemes.size(); ++i) {
        const QString& before = live_.settings.Schemes[i].Name;
        const QString& after = draft_.settings.Schemes[i].Name;
        if (!before.isEmpty() && !after.isEmpty() && before != after)
            renamed.insert(before, after);
    }
    if (renamed.isEmpty())
        return Status::success();
    return context_.settings.profile().update([&](IniDocument& document) {
        Status result;
        for (const auto& [section, count] :
            { std::pair { QStringLiteral("Autolog"), draft_.settings.NumberOfDUN },
                { QStringLiteral("AutoConnect"), draft_.settings.AutoConnectCount } }) {
            for (int n = 1; n <= count && result.ok(); ++n) {
                const QString key = QString::number(n) + u'B';
                const QString name = document.value(section, key).value_or(QString());
                if (renamed.contains(name))
                    result = document.setValue(section, key, renamed.value(name));
            }
        }
        return result;
    });
}

void Config::onCancelClicked()
{
    context_.state.ResetOnActivate = true;
    refillForm();
    hide();
    if (owner_) {
        owner_->setEnabled(true);
        if (owner_->isVisible()) {
            owner_->show();
            owner_->activateWindow();
        }
    }
}

void Config::showPage(int Index)
{
    if (Index < 1 || Index > 3)
        return;
    Framevalg[size_t(Index - 1)]->setChecked(true);
    Frame->setCurrentIndex(Index - 1);
}

void Config::onActivated()
{
    if (context_.state.ResetOnActivate)
        refillForm();
    context_.state.ResetOnActivate = true;
}

bool Config::event(QEvent* event)
{
    // Its own dialogs clear ResetOnActivate before they show, and the window gets the focus back
    // when they go: the edits stay, and the period-order warnings, silent while the flag is
    // clear, speak again. Coming back from another program finds the flag set already.
    if (event->type() == QEvent::WindowActivate)
        context_.state.ResetOnActivate = true;
    return QDialog::event(event);
}

void Config::showEvent(QShowEvent* event)
{
    // Filled when it is shown, not at every activation: switching to another program and back
    // must not throw away what the user typed. Its own dialogs keep it shown, so coming back
    // from them keeps the edits too.
    onActivated();
    QDialog::showEvent(event);
}

void Config::closeEvent(QCloseEvent* event)
{
    event->ignore();
    onCancelClicked();
}

void Config::keyPressEvent(QKeyEvent* event)
{
    // Escape cancels as the cancel button does, never by closing the dialog behind its back.
    if (event->key() == Qt::Key_Escape) {
        onCancelClicked();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace ringtally
