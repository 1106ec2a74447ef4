#include "tray/About.h"

#include "localisation/StringTable.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace ringtally {

About::About(const StringTable& strings, bool english, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(english ? strings.text(StringId::About_Caption) : QStringLiteral("Om"));
    auto* layout = new QVBoxLayout(this);
    auto* name
        = new QLabel(QStringLiteral("<b>Ringtally %1</b>").arg(QStringLiteral(RINGTALLY_VERSION)), this);
    name->setObjectName(QStringLiteral("Version"));
    layout->addWidget(name);
    layout->addWidget(
        new QLabel(english ? QStringLiteral("A dialer and call-cost meter for those who pay by the minute.\n"
                                            "Thanks to everyone who tried it and told us what was missing.")
                           : QStringLiteral("En opringer og tæller for dem der betaler pr. minut.\n"
                                            "Tak til alle der prøvede den og fortalte hvad der manglede."),
            this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::hide);
    layout->addWidget(buttons);
}

} // namespace ringtally
