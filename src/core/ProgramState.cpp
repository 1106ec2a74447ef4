#include "core/ProgramState.h"

namespace ringtally {

StatusTexts StatusTexts::initial(
    const NumberFormat& format, const QString& callType, const QString& minutePrice)
{
    const QString zero = QStringLiteral("00");
    const QString zeroPrice = format.formatFixed(0, 2);
    StatusTexts texts;
    texts.NuvTimer = texts.NuvMinutter = zero;
    texts.DagTimer = texts.DagMinutter = zero;
    texts.TotTimer = texts.TotMinutter = zero;
    texts.NuvPris = texts.DagPris = texts.TotPris = zeroPrice;
    texts.setSek(zero);
    texts.Opkaldstypelbl = callType;
    texts.NuvMinPrislbl = minutePrice;
    return texts;
}

void StatusTexts::setSek(const QString& text)
{
    Sek = text;
    SekNr.fill(text);
}

} // namespace ringtally
