#pragma once

#include "config/ConfigContext.h"
#include "core/ProgramFolder.h"
#include "localisation/StringTable.h"

#include "fakes/FakeClock.h"
#include "fakes/FakeDialUpNetwork.h"
#include "fakes/ScriptedPrompter.h"
#include "support/SettingsWorld.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTest>

namespace ringtally::test {

/// What the configuration window's pages and dialogs work with: a settings file in a fresh
/// folder, Danish numbers and words, a fake network and a scripted prompter.
struct ConfigWorld : SettingsWorld {
    FakeDialUpNetwork network;
    ScriptedPrompter prompter;
    const StringTable strings = StringTable::english();
    const ProgramFolder folder { temp.path() };
    FakeClock clock; // 5 January 2026
    ConfigContext context { state, settings, network, strings, prompter, danish, folder, clock, false,
        DisplayWords::make(strings, false) };
};

/// Types over a field's whole text, as the field selects it when it gets the focus.
inline void type(QLineEdit* field, const QString& text)
{
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, text);
}
inline void leave(QWidget* widget)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &out);
}
/// Clicks near the left edge: a radio button or check box takes clicks on its mark and caption only.
inline void click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}
/// The texts of a list's or a combo's items.
template <typename View> QStringList lines(const View* view)
{
    QStringList texts;
    for (int i = 0; i < view->model()->rowCount(); ++i)
        texts.append(view->model()->index(i, 0).data().toString());
    return texts;
}

} // namespace ringtally::test
