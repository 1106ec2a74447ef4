#include "core/ListProcedures.h"

#include "fakes/FakeDialUpNetwork.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <utility>

namespace ringtally::test {
namespace {

using namespace Qt::StringLiterals;

template <typename List> QStringList itemsOf(const List& list)
{
    QStringList items;
    for (int row = 0; row < list.count(); ++row)
        items.append(list.model()->index(row, 0).data().toString());
    return items;
}

int chosenRow(const QComboBox& list)
{
    return list.currentIndex();
}

// A list widget shows a row as chosen when it is current and the only one selected.
int chosenRow(const QListWidget& list)
{
    const QList<QListWidgetItem*> selected = list.selectedItems();
    return selected.size() == 1 && list.currentItem() == selected.front() ? list.currentRow() : -1;
}

const QStringList kEntries { u"Telenor"_s, u"arbejde"_s, u"Cybercity"_s };

template <typename List> class ListProceduresTest : public ::testing::Test {
protected:
    List list;
    FakeDialUpNetwork network;
};
using ListKinds = ::testing::Types<QComboBox, QListWidget>;
TYPED_TEST_SUITE(ListProceduresTest, ListKinds);

TYPED_TEST(ListProceduresTest, FillPutsTheEntriesInTheSystemsOrderInPlaceOfTheOldAndChoosesTheFirst)
{
    this->network.setEntries(kEntries);
    this->list.addItems({ u"old one"_s, u"old two"_s });
    SelectListItem(this->list, u"old two"_s);
    ASSERT_TRUE(FillDUNList(this->list, this->network).ok());
    EXPECT_EQ(itemsOf(this->list), kEntries);
    EXPECT_EQ(chosenRow(this->list), 0);

    this->network.setEntries({});
    EXPECT_TRUE(FillDUNList(this->list, this->network).ok());
    EXPECT_EQ(this->list.count(), 0);
    EXPECT_EQ(chosenRow(this->list), -1);

    this->list.addItems(kEntries);
    this->network.failWith(u"peers folder unreadable"_s);
    const Status status = FillDUNList(this->list, this->network);
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), u"peers folder unreadable"_s);
    EXPECT_EQ(this->list.count(), 0);
}

TYPED_TEST(ListProceduresTest, SelectChoosesTheFirstExactMatchElseTheFirstEntry)
{
    SelectListItem(this->list, u"Home"_s);
    EXPECT_EQ(chosenRow(this->list), -1) << "an empty list";

    this->list.addItems({ u"Home"_s, u"home"_s, u"Work"_s, u"Work"_s });
    // Each case that expects the first row follows one that chose another, so leaving the old
    // choice in place cannot pass.
    const std::pair<QString, int> cases[] = { { u"Work"_s, 2 }, { u"HOME"_s, 0 }, { u"home"_s, 1 },
        { u"Wor"_s, 0 }, { u"Work"_s, 2 }, { QString(), 0 } };
    for (const auto& [text, row] : cases) {
        SelectListItem(this->list, text);
        EXPECT_EQ(chosenRow(this->list), row) << text.toStdString();
    }
}

TEST(SelectAllTextTest, LineEditSelectsAllWithTheCaretAtTheStartButComboBoxOnlyMovesTheCaret)
{
    QLineEdit field(u"0,25 kr pr. minut"_s);
    field.setCursorPosition(4);
    SelectAllText(field);
    EXPECT_EQ(field.cursorPosition(), 0);
    EXPECT_EQ(field.selectedText(), field.text());

    QComboBox combo;
    combo.setEditable(true);
    combo.setEditText(u"Cybercity"_s);
    combo.lineEdit()->setCursorPosition(5);
    SelectAllText(combo);
    EXPECT_EQ(combo.lineEdit()->cursorPosition(), 0);
    EXPECT_FALSE(combo.lineEdit()->hasSelectedText());
}

} // namespace
} // namespace ringtally::test
