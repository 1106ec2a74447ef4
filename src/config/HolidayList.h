#pragma once

#include "core/TariffRules.h"

#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace ringtally {

struct ConfigContext;

/// The lists page's holiday list: the days that schemes with holidays of their own price by their
/// holiday day type. Each line shows a rule as the user writes it ("25.12", "Påske+39") and the
/// day's name. The edit row adds a line or changes the selected one, refusing with the reason what
/// it cannot use; the days the rule being edited falls on this year and next show under it. The
/// list reaches the settings only through holidays().
class HolidayList : public QWidget {
    Q_OBJECT

public:
    explicit HolidayList(const ConfigContext& context, QWidget* parent = nullptr);

    QLabel* listLabel = nullptr;
    QTreeWidget* lines = nullptr; // rule, name
    QLabel* ruleLabel = nullptr;
    QLineEdit* ruleEdit = nullptr;
    QLabel* nameLabel = nullptr;
    QLineEdit* nameEdit = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* changeButton = nullptr; // with a line selected
    QPushButton* removeButton = nullptr; // with a line selected
    QPushButton* danishButton = nullptr; // puts the Danish public holidays in the list's place
    QLabel* daysLabel = nullptr; // "2026: 14.05 · 2027: 06.05" for the rule in ruleEdit
    QLabel* messageLabel = nullptr; // why the last add or change was refused

    /// Shows the holidays; no line selected, an empty edit row.
    void fill(const std::vector<Holiday>& holidays);
    /// The list as it stands.
    const std::vector<Holiday>& holidays() const { return holidays_; }

    /// Loads the selected line into the edit row.
    void onLineSelected();
    /// Shows the days of the rule typed so far and takes the last refusal away.
    void onFieldTyped();
    /// Adds the edit row as a new line and empties it for the next.
    void onAddClicked();
    /// Puts the edit row in the selected line's place.
    void onChangeClicked();
    void onRemoveClicked();
    void onDanishClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setTexts();
    void layOut();
    // Shows holidays_ with line selected (-1: none) and loads the edit row from it.
    void showLines(int line);
    int selectedLine() const;

    const ConfigContext& ctx_;
    std::vector<Holiday> holidays_;
};

} // namespace ringtally
