#include "tray/SelectDUN.h"

#include "core/ErrorMessage.h"
#include "core/IniDocument.h"
#include "core/ProgramState.h"
#include "core/SettingsFile.h"
#include "launcher/StartList.h"
#include "localisation/StringTable.h"
#include "platform/Prompter.h"
#include "tray/ConnectionWatch.h"
#include "tray/Dialer.h"
#include "tray/RasServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QSignalBlocker>

namespace ringtally {

namespace {

constexpr int kFileAccessError = 75;

} // namespace

SelectDUN::SelectDUN(ProgramState& state, SettingsFile& settings, const RasServices& ras,
    const StartListGate& gate, Dialer& dialer, Prompter& prompter, const StringTable& strings,
    QWidget* parent)
    : QDialog(parent),
      state_(state),
      settings_(settings),
      ras_(ras),
      gate_(gate),
      dialer_(dialer),
      prompter_(prompter)
{
    setModal(false);
    setWindowTitle(QStringLiteral("Vælg venligst ordning"));
    DunConLbl = new QLabel(QStringLiteral("Netværk via modem forbindelse"), this);
    DUNCon = new QLabel(this);
    DUNCon->setEnabled(false);
    LogWithLbl = new QLabel(QStringLiteral("skal logges med:"), this);
    OpkTyper = new QComboBox(this);
    LaunchProgs = new QCheckBox(QStringLiteral("&Start programmer i start listen"), this);
    OK = new QPushButton(QStringLiteral("&OK"), this);
    OK->setDefault(true);
    if (usesEnglish(state_.settings.Language)) {
        setWindowTitle(strings.text(StringId::SelectDUN_Caption));
        DunConLbl->setText(strings.text(StringId::SelectDUN_DunConLbl));
        LogWithLbl->setText(strings.text(StringId::SelectDUN_LogWithLbl));
        LaunchProgs->setText(strings.text(StringId::SelectDUN_LaunchProgs));
        OK->setText(strings.text(StringId::SelectDUN_OK));
    }

    auto* layout = new QGridLayout(this);
    layout->addWidget(DunConLbl, 0, 0);
    layout->addWidget(DUNCon, 0, 1);
    layout->addWidget(LogWithLbl, 1, 0);
    layout->addWidget(OpkTyper, 1, 1);
    layout->addWidget(LaunchProgs, 2, 0, 1, 2);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(OK, QDialogButtonBox::AcceptRole);
    layout->addWidget(buttons, 3, 0, 1, 2);

    connect(OpkTyper, &QComboBox::currentIndexChanged, this, &SelectDUN::onSchemeChosen);
    connect(OK, &QPushButton::clicked, this, &SelectDUN::onOkClicked);
}

void SelectDUN::ask()
{
    if (!isVisible())
        show();
}

void SelectDUN::showEvent(QShowEvent* event)
{
    // Restoring the minimised window keeps the choice begun in it.
    if (!event->spontaneous())
        onActivated();
    QDialog::showEvent(event);
}

void SelectDUN::onActivated()
{
    DUNCon->setText(ras_.GetConnectionName());
    {
        const QSignalBlocker quiet(OpkTyper);
        OpkTyper->clear();
        OpkTyper->addItem(kNoScheme);
        for (const Scheme& scheme : state_.settings.Schemes) {
            if (!scheme.Name.isEmpty())
                OpkTyper->addItem(scheme.Name);
        }
        OpkTyper->setCurrentIndex(0);
    }
    onSchemeChosen();
}

void SelectDUN::onSchemeChosen()
{
    const bool schemeChosen = OpkTyper->currentIndex() > 0;
    LaunchProgs->setEnabled(schemeChosen);
    LaunchProgs->setChecked(schemeChosen && gate_.RunProgramsInList());
}

void SelectDUN::onOkClicked()
{
    const QString connection = DUNCon->text();
    const bool schemeChosen = OpkTyper->currentIndex() > 0;
    const QString choice = schemeChosen ? OpkTyper->currentText() : kNoScheme;
    const bool launch = LaunchProgs->isChecked();
    const int number = state_.settings.NumberOfDUN + 1;

    // The entry goes in first and is counted only once it is there, so a failed write leaves no
    // counted entry missing; the next answer takes the same number.
    Status stored = settings_.profile().update([&](IniDocument& document) {
        Status result = document.setValue(WatchKeys::Autolog, WatchKeys::entry(number, u'A'), connection);
        if (result)
            result = document.setValue(WatchKeys::Autolog, WatchKeys::entry(number, u'B'), choice);
        if (result)
            result = document.setValue(
                WatchKeys::Autolog, WatchKeys::entry(number, u'C'), QString::number(int(launch)));
        return result;
    });
    if (stored) {
        state_.settings.NumberOfDUN = qint16(number);
        stored = settings_.SaveSettings(state_.settings, SettingsFile::Counters::Keep);
        if (!stored)
            state_.settings.NumberOfDUN = qint16(number - 1);
    }
    hide();
    // Metering starts before any box: the watch runs on inside the box and would ask again.
    if (const std::optional<qint16> scheme = schemeNamed(state_.settings, choice); schemeChosen && scheme)
        dialer_.Dial(*scheme, true, quint8(launch));
    if (!stored) {
        const bool english = usesEnglish(state_.settings.Language);
        prompter_.ask(errorPrompt(ErrorTitle::FileError, kFileAccessError,
            settingsNotStoredText(stored.message(), english), english));
    }
}

} // namespace ringtally
