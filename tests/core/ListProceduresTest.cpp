#include "core/ListProcedures.h"

#include "fakes/FakeDialUpNetwork.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

namespace ringtally::test {
namespace {

QStringList itemsOf(const QComboBox& list)
{
    QStringList items;
    for (int i = 0; i < list.count(); ++i)
        items.append(list.itemText(i));
    return items;
}

QStringList itemsOf(const QListWidget& list)
{
    QStringList items;
    for (int i = 0; i < list.count(); ++i)
        items.append(list.item(i)->text());
    return items;
}

// The row a list widget shows as chosen: current and selected, and the only one selected.
int chosenRow(const QListWidget& list)
{
    const QList<QListWidgetItem*> selected = list.selectedItems();
    if (selected.size() != 1 || list.currentItem() != selected.front())
        return -1;
    return list.currentRow();
}

const QStringList kEntries { QStringLiteral("Telenor"), QStringLiteral("arbejde"),
    QStringLiteral("Cybercity") };

TEST(FillDUNListTest, ComboBoxGetsTheEntriesInTheSystemsOrderInPlaceOfItsOldOnes)
{
    FakeDialUpNetwork network;
    network.setEntries(kEntries);
    QComboBox list;
    list.addItems({ QStringLiteral("old one"), QStringLiteral("old two") });
    list.setCurrentIndex(1);

    ASSERT_TRUE(FillDUNList(list, network).ok());

    EXPECT_EQ(itemsOf(list), kEntries);
    EXPECT_EQ(list.currentIndex(), 0);
}

TEST(FillDUNListTest, ListWidgetGetsTheEntriesInTheSystemsOrderInPlaceOfItsOldOnes)
{
    FakeDialUpNetwork network;
    network.setEntries(kEntries);
    QListWidget list;
    list.addItems({ QStringLiteral("old one"), QStringLiteral("old two") });
    list.setCurrentRow(1);

    ASSERT_TRUE(FillDUNList(list, network).ok());

    EXPECT_EQ(itemsOf(list), kEntries);
    EXPECT_EQ(chosenRow(list), 0);
}

TEST(FillDUNListTest, NoEntriesGiveAnEmptyListWithoutError)
{
    FakeDialUpNetwork network;
    QComboBox combo;
    combo.addItem(QStringLiteral("stale"));
    QListWidget listWidget;
    listWidget.addItem(QStringLiteral("stale"));

    EXPECT_TRUE(FillDUNList(combo, network).ok());
    EXPECT_TRUE(FillDUNList(listWidget, network).ok());
    EXPECT_EQ(combo.count(), 0);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(listWidget.count(), 0);
}

TEST(FillDUNListTest, FailureLeavesTheListEmptyAndIsReturned)
{
    FakeDialUpNetwork network;
    network.failWith(QStringLiteral("peers folder unreadable"));
    QComboBox combo;
    combo.addItems(kEntries);
    QListWidget listWidget;
    listWidget.addItems(kEntries);

    const Status comboStatus = FillDUNList(combo, network);
    const Status listStatus = FillDUNList(listWidget, network);

    EXPECT_FALSE(comboStatus.ok());
    EXPECT_EQ(comboStatus.message(), QStringLiteral("peers folder unreadable"));
    EXPECT_FALSE(listStatus.ok());
    EXPECT_EQ(listStatus.message(), QStringLiteral("peers folder unreadable"));
    EXPECT_EQ(combo.count(), 0);
    EXPECT_EQ(listWidget.count(), 0);
}

class SelectListItemTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QStringList items { QStringLiteral("Home"), QStringLiteral("home"), QStringLiteral("Work"),
            QStringLiteral("Work") };
        combo.addItems(items);
        listWidget.addItems(items);
    }

    // Selects in both kinds of list and checks that both chose the same row.
    int select(const QString& text)
    {
        SelectListItem(combo, text);
        SelectListItem(listWidget, text);
        EXPECT_EQ(combo.currentIndex(), chosenRow(listWidget)) << text.toStdString();
        return combo.currentIndex();
    }

    QComboBox combo;
    QListWidget listWidget;
};

TEST_F(SelectListItemTest, SelectsTheFirstExactMatch)
{
    EXPECT_EQ(select(QStringLiteral("Work")), 2);
    EXPECT_EQ(select(QStringLiteral("home")), 1);
}

TEST_F(SelectListItemTest, CaseMatters)
{
    combo.setCurrentIndex(3);
    listWidget.setCurrentRow(3);
    EXPECT_EQ(select(QStringLiteral("HOME")), 0);
}

TEST_F(SelectListItemTest, NoMatchSelectsTheFirstEntry)
{
    combo.setCurrentIndex(2);
    listWidget.setCurrentRow(2);
    EXPECT_EQ(select(QStringLiteral("Elsewhere")), 0);
    EXPECT_EQ(select(QStringLiteral("Wor")), 0);
    EXPECT_EQ(select(QString()), 0);
}

TEST(SelectListItemEmptyTest, EmptyListStaysWithoutSelection)
{
    QComboBox combo;
    QListWidget listWidget;
    SelectListItem(combo, QStringLiteral("Home"));
    SelectListItem(listWidget, QStringLiteral("Home"));
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(listWidget.currentRow(), -1);
}

TEST(SelectAllTextTest, LineEditSelectsEverythingWithTheCaretAtTheStart)
{
    QLineEdit field(QStringLiteral("0,25 kr pr. minut"));
    field.setCursorPosition(4);

    SelectAllText(field);

    EXPECT_EQ(field.cursorPosition(), 0);
    EXPECT_EQ(field.selectedText(), field.text());
    EXPECT_EQ(field.selectionStart(), 0);
}

TEST(SelectAllTextTest, EmptyLineEdit)
{
    QLineEdit field;
    SelectAllText(field);
    EXPECT_EQ(field.cursorPosition(), 0);
    EXPECT_FALSE(field.hasSelectedText());
}

TEST(SelectAllTextTest, EditableComboBoxOnlyMovesTheCaret)
{
    QComboBox field;
    field.setEditable(true);
    field.setEditText(QStringLiteral("Cybercity"));
    field.lineEdit()->setCursorPosition(5);

    SelectAllText(field);

    EXPECT_EQ(field.lineEdit()->cursorPosition(), 0);
    EXPECT_FALSE(field.lineEdit()->hasSelectedText());
    EXPECT_EQ(field.currentText(), QStringLiteral("Cybercity"));
}

} // namespace
} // namespace ringtally::test
