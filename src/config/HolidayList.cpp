#include "config/HolidayList.h"

#include "config/ConfigContext.h"
#include "core/HolidayText.h"
#include "platform/Clock.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ringtally {

using namespace Qt::StringLiterals;

HolidayList::HolidayList(const ConfigContext& context, QWidget* parent) : QWidget(parent), ctx_(context)
{
    listLabel = new QLabel(this);
    lines = new QTreeWidget(this);
    lines->setColumnCount(2);
    lines->setRootIsDecorated(false);
    lines->setUniformRowHeights(true);
    lines->setAllColumnsShowFocus(true);
    lines->setSelectionMode(QAbstractItemView::SingleSelection);
    ruleLabel = new QLabel(this);
    ruleEdit = new QLineEdit(this);
    nameLabel = new QLabel(this);
    nameEdit = new QLineEdit(this);
    addButton = new QPushButton(this);
    changeButton = new QPushButton(this);
    removeButton = new QPushButton(this);
    danishButton = new QPushButton(this);
    daysLabel = new QLabel(this);
    messageLabel = new QLabel(this);
    messageLabel->setWordWrap(true);
    setTexts();
    layOut();

    connect(lines, &QTreeWidget::itemSelectionChanged, this, &HolidayList::onLineSelected);
    connect(ruleEdit, &QLineEdit::textEdited, this, &HolidayList::onFieldTyped);
    connect(nameEdit, &QLineEdit::textEdited, this, &HolidayList::onFieldTyped);
    connect(addButton, &QPushButton::clicked, this, &HolidayList::onAddClicked);
    connect(changeButton, &QPushButton::clicked, this, &HolidayList::onChangeClicked);
    connect(removeButton, &QPushButton::clicked, this, &HolidayList::onRemoveClicked);
    connect(danishButton, &QPushButton::clicked, this, &HolidayList::onDanishClicked);
    ruleEdit->installEventFilter(this);
    nameEdit->installEventFilter(this);
    showLines(-1);
}

void HolidayList::setTexts()
{
    const auto pick
        = [this](const QString& danish, const QString& english) { return ctx_.english ? english : danish; };
    listLabel->setText(pick(u"&Helligdage"_s, u"Holida&ys"_s));
    lines->setHeaderLabels({ pick(u"Regel"_s, u"Rule"_s), pick(u"Navn"_s, u"Name"_s) });
    lines->setToolTip(pick(u"Dagene, som ordninger med »Helligdage har egen takst« takserer efter dagtypen "
                           u"Helligdag"_s,
        u"The days that schemes with \"Holidays have their own tariff\" price by the day type Holiday"_s));
    ruleLabel->setText(pick(u"&Regel"_s, u"Rule"_s));
    ruleEdit->setToolTip(
        pick(u"En dato som 25.12, eller en dag regnet fra påskedag: Påske, Påske+39 (39 dage "
             u"efter), Påske-3 (3 dage før)"_s,
            u"A date such as 25.12, or a day counted from Easter Sunday: Easter, Easter+39 (39 days after), "
            u"Easter-3 (3 days before)"_s));
    nameLabel->setText(pick(u"Navn"_s, u"Name"_s));
    nameEdit->setToolTip(pick(u"Helligdagens navn"_s, u"The holiday's name"_s));
    addButton->setText(pick(u"Tilføj"_s, u"Add"_s));
    changeButton->setText(pick(u"Ret"_s, u"Change"_s));
    changeButton->setToolTip(pick(u"Sæt reglen og navnet i den valgte linjes sted"_s,
        u"Put the rule and the name in the selected line's place"_s));
    removeButton->setText(pick(u"Fjern"_s, u"Remove"_s));
    danishButton->setText(pick(u"Dans&ke helligdage"_s, u"Danish holidays"_s));
    danishButton->setToolTip(pick(
        u"Erstat listen med de danske helligdage"_s, u"Replace the list with the Danish public holidays"_s));
    daysLabel->setToolTip(
        pick(u"Dagene, reglen giver i år og næste år"_s, u"The days the rule gives this year and next"_s));
}

void HolidayList::layOut()
{
    // The rule column as wide as its rules, the names in the rest.
    lines->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    lines->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(listLabel, 0, 0, 1, 2);
    listLabel->setBuddy(lines);
    grid->addWidget(lines, 1, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : { addButton, changeButton, removeButton, danishButton })
        buttons->addWidget(button);
    buttons->addStretch();
    grid->addLayout(buttons, 1, 2, 3, 1);
    grid->addWidget(ruleLabel, 2, 0);
    grid->addWidget(ruleEdit, 2, 1);
    grid->addWidget(nameLabel, 3, 0);
    grid->addWidget(nameEdit, 3, 1);
    ruleLabel->setBuddy(ruleEdit);
    nameLabel->setBuddy(nameEdit);
    grid->addWidget(daysLabel, 4, 0, 1, 3);
    grid->addWidget(messageLabel, 5, 0, 1, 3);
    grid->setRowStretch(1, 1);
}

void HolidayList::fill(const std::vector<Holiday>& holidays)
{
    holidays_ = holidays;
    showLines(-1);
}

void HolidayList::showLines(int line)
{
    {
        const QSignalBlocker quiet(lines);
        lines->clear();
        for (const Holiday& holiday : holidays_)
            new QTreeWidgetItem(lines, { shownRule(holiday, ctx_.english), holiday.name });
        lines->setCurrentItem(lines->topLevelItem(line));
        if (line < 0)
            lines->clearSelection();
    }
    onLineSelected();
}

int HolidayList::selectedLine() const
{
    const QList<QTreeWidgetItem*> selected = lines->selectedItems();
    return selected.isEmpty() ? -1 : lines->indexOfTopLevelItem(selected.front());
}

void HolidayList::onLineSelected()
{
    const int line = selectedLine();
    const Holiday* holiday = line < 0 ? nullptr : &holidays_[size_t(line)];
    ruleEdit->setText(holiday ? shownRule(*holiday, ctx_.english) : QString());
    nameEdit->setText(holiday ? holiday->name : QString());
    changeButton->setEnabled(holiday != nullptr);
    removeButton->setEnabled(holiday != nullptr);
    onFieldTyped();
}

void HolidayList::onFieldTyped()
{
    messageLabel->clear();
    // Only the rule counts here: the days show before the name is typed, and for a rule on the list.
    const Result<Holiday> typed = typedHoliday(ruleEdit->text(), u"-"_s, {}, -1, ctx_.english);
    daysLabel->setText(typed ? daysOf(typed.value(), ctx_.clock.now().date().year()) : QString());
}

void HolidayList::onAddClicked()
{
    const Result<Holiday> typed
        = typedHoliday(ruleEdit->text(), nameEdit->text(), holidays_, -1, ctx_.english);
    if (!typed) {
        messageLabel->setText(typed.message());
        return;
    }
    holidays_.push_back(typed.value());
    showLines(-1);
    lines->scrollToBottom();
}

void HolidayList::onChangeClicked()
{
    const int line = selectedLine();
    if (line < 0)
        return;
    const Result<Holiday> typed
        = typedHoliday(ruleEdit->text(), nameEdit->text(), holidays_, line, ctx_.english);
    if (!typed) {
        messageLabel->setText(typed.message());
        return;
    }
    holidays_[size_t(line)] = typed.value();
    showLines(line);
}

void HolidayList::onRemoveClicked()
{
    const int line = selectedLine();
    if (line < 0)
        return;
    holidays_.erase(holidays_.begin() + line);
    showLines(-1);
}

void HolidayList::onDanishClicked()
{
    holidays_ = danishHolidays();
    showLines(-1);
}

bool HolidayList::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the edit row adds the line, or changes the selected one; it must not reach the
    // window's OK, which would close the window with the line left out.
    if ((watched == ruleEdit || watched == nameEdit) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (selectedLine() < 0)
                onAddClicked();
            else
                onChangeClicked();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace ringtally
