#include "diagnostics/Stat.h"

#include "diagnostics/StatText.h"
#include "metering/PriceEngine.h"
#include "platform/Clock.h"

#include <QEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ringtally {

Stat::Stat(ProgramState& state, PriceEngine& engine, const Clock& clock, const NumberFormat& format)
    : state_(state), engine_(engine), clock_(clock), format_(format)
{
    setWindowTitle(QStringLiteral("Current status"));

    StatText = new QPlainTextEdit(this);
    StatText->setObjectName(QStringLiteral("StatText"));
    StatText->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    StatText->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Twelve lines fit without scrolling.
    const int lineHeight = StatText->fontMetrics().lineSpacing();
    StatText->setMinimumSize(StatText->fontMetrics().averageCharWidth() * 36, lineHeight * 13);

    Update = new QPushButton(QStringLiteral("&Update"), this);
    Update->setObjectName(QStringLiteral("Update"));
    connect(Update, &QPushButton::clicked, this, &Stat::refresh);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(StatText);
    layout->addWidget(Update, 0, Qt::AlignRight);
}

void Stat::refresh()
{
    // currentPeriod also sets the following period; putting it back keeps showing the window free of
    // side effects on the meter.
    const qint16 nextPeriod = state_.meter.NextPeriod;
    const qint16 period = engine_.currentPeriod();
    state_.meter.NextPeriod = nextPeriod;
    StatText->setPlainText(buildStatText(state_, period, clock_.now(), format_));
}

QString Stat::text() const
{
    // The text field keeps its lines apart with "\n" only.
    return StatText->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

bool Stat::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        refresh();
    return QWidget::event(event);
}

} // namespace ringtally
