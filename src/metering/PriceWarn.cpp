#include "metering/PriceWarn.h"

#include "core/CallBytes.h"
#include "core/NumberFormat.h"
#include "core/ProgramState.h"
#include "core/TariffRules.h"
#include "localisation/StringTable.h"
#include "metering/PriceEngine.h"
#include "metering/Twips.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <cmath>

namespace ringtally {

namespace {

// Layout in twips; only the width and the button's centring follow the message. The margin is
// the same at all four sides.
constexpr int kMarginTwips = 120;
constexpr int kImageSizeTwips = 480;
constexpr int kTextLeftTwips = 840;
constexpr int kGapTwips = 240;
constexpr int kButtonWidthTwips = 1215;
constexpr int kButtonHeightTwips = 375;

} // namespace

PriceWarn::PriceWarn(
    ProgramState& state, const StringTable& strings, const NumberFormat& format, Limit limit, QWidget* parent)
    // A message: a title bar with only the close button, no minimising or maximising.
    : QWidget(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
            | Qt::WindowStaysOnTopHint),
      state_(state),
      strings_(strings),
      format_(format),
      limit_(limit)
{
    setWindowTitle(QStringLiteral("Advarsel!"));
    warningIcon = new QLabel(this);
    const int imageSize = twipsToPixels(kImageSizeTwips);
    warningIcon->setGeometry(twipsToPixels(kMarginTwips), twipsToPixels(kMarginTwips), imageSize, imageSize);

    Test = new QLabel(this);
    Test->move(twipsToPixels(kTextLeftTwips), twipsToPixels(kMarginTwips));

    OK = new QPushButton(QStringLiteral("&OK"), this);
    OK->resize(twipsToPixels(kButtonWidthTwips), twipsToPixels(kButtonHeightTwips));
    OK->setDefault(true);
    connect(OK, &QPushButton::clicked, this, &PriceWarn::onOkClicked);

    if (usesEnglish(state_.settings.Language)) {
        setWindowTitle(strings_.text(StringId::PriceWarn_Caption));
        OK->setText(strings_.menuText(StringId::PriceWarn_OK));
    }
    // The picture and the text's layout wait for the first warning: looking up the desktop's icon
    // theme and loading the fonts would otherwise hold up every start of the program.
}

QString PriceWarn::buildText() const
{
    if (limit_ == Limit::Data) {
        const QString used = formatByteSize(monthDataBytes(state_), format_);
        const QString maximum = formatByteSize(qint64(state_.settings.MaxMonthMB) * kBytesPerMB, format_);
        const bool whole = state_.meter.DataWarnLevel >= 2;
        const QString share = QString::number(state_.settings.MonthDataWarnPercent);
        if (usesEnglish(state_.settings.Language))
            return QStringLiteral("This month's data is now ") + used
                + (whole ? QStringLiteral(" and has thereby \nreached the specified max (") + maximum + u')'
                         : QStringLiteral(" and has thereby \nreached ") + share
                            + QStringLiteral(" % of the specified max (") + maximum + u')');
        return QStringLiteral("Månedens data er nu ") + used
            + (whole ? QStringLiteral(" og har dermed \nnået det specificerede max (") + maximum + u')'
                     : QStringLiteral(" og har dermed \nnået ") + share
                        + QStringLiteral(" % af det specificerede max (") + maximum + u')');
    }
    if (limit_ == Limit::Month) {
        const QString spent = format_.formatFixed(double(monthSpentCents(state_)) / 100, 2);
        const QString maximum = format_.formatFraction(state_.settings.MaxMonthPrice);
        if (usesEnglish(state_.settings.Language))
            return QStringLiteral("This month's use is now ") + spent
                + QStringLiteral(" and has thereby \nexceeded the specified max (") + maximum
                + QLatin1Char(')');
        return QStringLiteral("Månedens forbrug er nu ") + spent
            + QStringLiteral(" kr og har dermed \noversteget det specificerede max (") + maximum
            + QStringLiteral(" kr)");
    }
    const QString dayPrice = state_.texts.DagPris;
    const QString maximum = format_.formatFraction(state_.settings.MaxDayPrice);
    if (usesEnglish(state_.settings.Language))
        return strings_.text(StringId::PriceWarn_WarnPart1) + dayPrice + QLatin1Char(' ')
            + strings_.text(StringId::PriceWarn_WarnPart2) + QLatin1Char('\n')
            + strings_.text(StringId::PriceWarn_WarnPart3) + maximum + QLatin1Char(')');
    return QStringLiteral("Dagens forbrug er nu ") + dayPrice + QStringLiteral(" kr og har dermed ")
        + QLatin1Char('\n') + QStringLiteral("oversteget det specificerede max (") + maximum
        + QStringLiteral(" kr") + QLatin1Char(')');
}

void PriceWarn::onActivated()
{
    if (warningIcon->pixmap().isNull()) {
        const int imageSize = warningIcon->width();
        warningIcon->setPixmap(
            style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(imageSize, imageSize));
    }
    const QString text = buildText();
    if (text == Test->text())
        return;
    Test->setText(text);
    fitToMessage();
}

void PriceWarn::fitToMessage()
{
    // The label sizes itself to its text; the window follows it and keeps the button centred.
    Test->adjustSize();
    const double widthTwips = pixelsToTwips(Test->x()) + pixelsToTwips(Test->width()) + kMarginTwips;
    const double buttonTwips = pixelsToTwips(OK->width());
    const long buttonLeftTwips = std::lround(widthTwips - buttonTwips) / 2;
    const int buttonTop = qMax(Test->y() + Test->height(), warningIcon->y() + warningIcon->height())
        + twipsToPixels(kGapTwips);
    OK->move(twipsToPixels(double(buttonLeftTwips)), buttonTop);
    // A message has nothing to gain from resizing, and window managers offer no maximise button then.
    setFixedSize(twipsToPixels(widthTwips), buttonTop + OK->height() + twipsToPixels(kMarginTwips));
}

void PriceWarn::onOkClicked()
{
    hide();
}

void PriceWarn::showWarning()
{
    onActivated();
    show();
    raise();
    activateWindow();
}

bool PriceWarn::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        onActivated();
    return QWidget::event(event);
}

} // namespace ringtally
