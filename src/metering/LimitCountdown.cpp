#include "metering/LimitCountdown.h"

#include "core/CallBytes.h"
#include "core/NumberFormat.h"
#include "core/TariffRules.h"
#include "localisation/StringTable.h"
#include "metering/PriceEngine.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace ringtally {

using namespace Qt::StringLiterals;

LimitCountdown::LimitCountdown(const ProgramState& state, const NumberFormat& format, QWidget* parent)
    : QWidget(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::WindowStaysOnTopHint),
      state_(state),
      format_(format)
{
    const bool english = usesEnglish(state.settings.Language);
    setWindowTitle(english ? u"Limit reached"_s : u"Grænsen er nået"_s);
    auto* icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(size, size));
    message = new QLabel(this);
    hangUpNowButton = new QPushButton(english ? u"&Hang up now"_s : u"&Læg på nu"_s, this);
    keepLineButton = new QPushButton(english ? u"&Stay connected"_s : u"&Bliv på linjen"_s, this);
    keepLineButton->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(message, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(hangUpNowButton);
    buttons->addWidget(keepLineButton);
    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addLayout(buttons);
    page->setSizeConstraint(QLayout::SetFixedSize);

    connect(hangUpNowButton, &QPushButton::clicked, this, [this] {
        hide();
        emit hangUpNow();
    });
    connect(keepLineButton, &QPushButton::clicked, this, [this] {
        hide();
        emit keepLine();
    });
}

QString LimitCountdown::buildText(Limit limit, qint64 secondsLeft) const
{
    const Settings& s = state_.settings;
    const bool english = usesEnglish(s.Language);
    const auto price = [this](qint64 cents) { return format_.formatFixed(double(cents) / 100, 2); };
    QString reached;
    switch (limit) {
    case Limit::Day:
        reached = english ? u"Today's use is now %1 and has reached the limit of %2."_s
                          : u"Dagens forbrug er nu %1 kr og har nået grænsen på %2 kr."_s;
        reached = reached.arg(price(state_.figures.dayPriceCents), format_.formatFixed(s.MaxDayPrice, 2));
        break;
    case Limit::Month:
        reached = english ? u"This month's use is now %1 and has reached the limit of %2."_s
                          : u"Månedens forbrug er nu %1 kr og har nået grænsen på %2 kr."_s;
        reached = reached.arg(price(monthSpentCents(state_)), format_.formatFixed(s.MaxMonthPrice, 2));
        break;
    case Limit::Data:
        reached = english ? u"This month's data is now %1 and has reached the limit of %2."_s
                          : u"Månedens data er nu %1 og har nået grænsen på %2."_s;
        reached = reached.arg(formatByteSize(monthDataBytes(state_), format_),
            formatByteSize(qint64(s.MaxMonthMB) * kBytesPerMB, format_));
        break;
    }
    const QString countdown = english
        ? (secondsLeft == 1 ? u"The line is hung up in 1 second."_s : u"The line is hung up in %1 seconds."_s)
        : (secondsLeft == 1 ? u"Forbindelsen lægges på om 1 sekund."_s
                            : u"Forbindelsen lægges på om %1 sekunder."_s);
    return reached + u'\n' + (secondsLeft == 1 ? countdown : countdown.arg(secondsLeft));
}

void LimitCountdown::showCountdown(Limit limit, qint64 secondsLeft)
{
    message->setText(buildText(limit, secondsLeft));
    if (isVisible())
        return;
    show();
    raise();
    activateWindow();
    keepLineButton->setFocus();
}

void LimitCountdown::closeEvent(QCloseEvent* event)
{
    // The close box keeps the line, as the button does; the window only hides.
    event->ignore();
    keepLineButton->click();
}

void LimitCountdown::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        keepLineButton->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace ringtally
