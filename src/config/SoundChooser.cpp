#include "config/SoundChooser.h"

#include "tray/RegistryRoutines.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

namespace ringtally {

namespace {

struct EventName {
    const char16_t* danish;
    const char16_t* english;
};
// What each event of EventSounds::kEvents means to the user, in its order.
constexpr std::array<EventName, SoundChooser::kEventCount> kEventNames { {
    { u"Ringtally starter", u"Ringtally starts" },
    { u"Ringtally lukkes", u"Ringtally closes" },
    { u"Forbindelsen er oprettet", u"Connected" },
    { u"Opkaldet er afsluttet", u"Call ended" },
    { u"Fejl", u"Error" },
} };

QString eventOf(int index)
{
    return QString::fromUtf16(EventSounds::kEvents[size_t(index)]);
}

} // namespace

SoundChooser::SoundChooser(EventSounds& sounds, RegistryRoutines& registry, bool english, QWidget* parent)
    : QDialog(parent), sounds_(sounds), registry_(registry)
{
    const auto text = [english](const char16_t* danish, const char16_t* inEnglish) {
        return QString::fromUtf16(english ? inEnglish : danish);
    };
    setModal(true);
    setWindowTitle(text(u"Lyde", u"Sounds"));
    auto* layout = new QGridLayout(this);
    for (int i = 0; i < kEventCount; ++i) {
        const size_t at = size_t(i);
        EventLbl[at] = new QLabel(text(kEventNames[at].danish, kEventNames[at].english), this);
        SoundFile[at] = new QLineEdit(this);
        SoundFile[at]->setReadOnly(true);
        SoundFile[at]->setPlaceholderText(text(u"(ingen lyd)", u"(no sound)"));
        SoundFile[at]->setMinimumWidth(SoundFile[at]->fontMetrics().horizontalAdvance(QString(40, u'x')));
        Browse[at] = new QPushButton(text(u"Gennemse...", u"Browse..."), this);
        NoSound[at] = new QPushButton(text(u"Ingen", u"None"), this);
        Play[at] = new QPushButton(text(u"Afspil", u"Play"), this);
        int column = 0;
        for (QWidget* widget : std::initializer_list<QWidget*> {
                 EventLbl[at], SoundFile[at], Browse[at], NoSound[at], Play[at] })
            layout->addWidget(widget, i, column++);
        connect(Browse[at], &QPushButton::clicked, this, [this, i] { onBrowseClicked(i); });
        connect(NoSound[at], &QPushButton::clicked, this, [this, i] { onNoSoundClicked(i); });
        connect(Play[at], &QPushButton::clicked, this, [this, i] { onPlayClicked(i); });
    }
    CloseButton = new QPushButton(text(u"&Luk", u"&Close"), this);
    CloseButton->setDefault(true);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(CloseButton, QDialogButtonBox::RejectRole);
    layout->addWidget(buttons, kEventCount, 0, 1, layout->columnCount());
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);

    askFile_
        = [title = text(u"Vælg en lyd", u"Choose a sound"),
              filter = text(u"Lyde (*.wav *.ogg *.oga);;Alle filer (*)",
                  u"Sounds (*.wav *.ogg *.oga);;All files (*)")](QWidget* owner, const QString& current) {
              const QString start = current.isEmpty() ? QDir::homePath() : current;
              return QFileDialog::getOpenFileName(owner, title, start, filter);
          };
}

void SoundChooser::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        onActivated();
    QDialog::showEvent(event);
}

void SoundChooser::onActivated()
{
    for (int i = 0; i < kEventCount; ++i)
        showRow(i);
}

void SoundChooser::showRow(int index)
{
    const QString path
        = registry_.QueryValue(EventSounds::eventKey(eventOf(index)), QString(), RootKey::HKEY_USERS);
    const size_t at = size_t(index);
    SoundFile[at]->setText(path);
    SoundFile[at]->setToolTip(path);
    NoSound[at]->setEnabled(!path.isEmpty());
    Play[at]->setEnabled(!path.isEmpty());
}

void SoundChooser::setSound(int index, const QString& path)
{
    const QString key = EventSounds::eventKey(eventOf(index));
    // A store that never had its first run lacks the key; setting a value needs it.
    registry_.CreateNewKey(key, RootKey::HKEY_USERS);
    registry_.SetKeyValue(key, QString(), path, RootKey::HKEY_USERS);
    showRow(index); // what the store holds, also when the write failed
}

void SoundChooser::onBrowseClicked(int Index)
{
    const QString chosen = askFile_(this, SoundFile[size_t(Index)]->text());
    if (!chosen.isEmpty())
        setSound(Index, QFileInfo(chosen).absoluteFilePath());
}

void SoundChooser::onNoSoundClicked(int Index)
{
    setSound(Index, QString());
}

void SoundChooser::onPlayClicked(int Index)
{
    sounds_.PlayEventSound(eventOf(Index));
}

} // namespace ringtally
