#include "platform/linux/MessageBoxPrompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace ringtally {
namespace {

// What the test saw of the box that was shown.
struct SeenBox {
    bool found = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool modal = false;
};

QMessageBox* shownBox()
{
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
        return box;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget); box && box->isVisible())
            return box;
    }
    return nullptr;
}

// Asks the prompter and, from the event loop of the box it shows, records the box and lets
// `act` answer it. A modal window that is not a message box is closed, so the test fails
// instead of waiting for ever.
PromptAnswer askAndAnswer(MessageBoxPrompter& prompter, const Prompt& prompt, SeenBox& seen,
    const std::function<void(QMessageBox&)>& act)
{
    QObject context;
    int tries = 0;
    std::function<void()> look;
    look = [&] {
        QMessageBox* box = shownBox();
        if (!box) {
            if (++tries < 100)
                QTimer::singleShot(0, &context, look);
            else if (QWidget* other = QApplication::activeModalWidget())
                other->close();
            return;
        }
        seen.found = true;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        seen.defaultButton
            = box->defaultButton() ? box->standardButton(box->defaultButton()) : QMessageBox::NoButton;
        seen.modal = box->isModal();
        act(*box);
    };
    QTimer::singleShot(0, &context, look);
    return prompter.ask(prompt);
}

std::function<void(QMessageBox&)> click(QMessageBox::StandardButton which)
{
    return [which](QMessageBox& box) {
        if (QAbstractButton* button = box.button(which)) {
            button->click();
        } else {
            ADD_FAILURE() << "the box has no button " << which;
            box.done(QDialog::Rejected);
        }
    };
}

TEST(MessageBoxPrompterTest, ShowsTitleTextIconAndButtons)
{
    MessageBoxPrompter prompter;
    SeenBox seen;
    const Prompt prompt { QStringLiteral("Advarsel!"),
        QStringLiteral("Fejl nr. 53 opstod\nFilen findes ikke"), PromptIcon::Exclamation, PromptButtons::Ok };

    const PromptAnswer answer = askAndAnswer(prompter, prompt, seen, click(QMessageBox::Ok));

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.title, prompt.title);
    EXPECT_EQ(seen.text, prompt.text);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_TRUE(seen.modal);
    EXPECT_EQ(answer, PromptAnswer::Ok);
}

TEST(MessageBoxPrompterTest, IconsMapToQtIcons)
{
    const std::pair<PromptIcon, QMessageBox::Icon> cases[] = {
        { PromptIcon::None, QMessageBox::NoIcon },
        { PromptIcon::Information, QMessageBox::Information },
        { PromptIcon::Exclamation, QMessageBox::Warning },
        { PromptIcon::Critical, QMessageBox::Critical },
        { PromptIcon::Question, QMessageBox::Question },
    };
    MessageBoxPrompter prompter;
    for (const auto& [icon, expected] : cases) {
        SCOPED_TRACE(static_cast<int>(icon));
        SeenBox seen;
        askAndAnswer(prompter, Prompt { QStringLiteral("t"), QStringLiteral("x"), icon, PromptButtons::Ok },
            seen, click(QMessageBox::Ok));
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.icon, expected);
    }
}

TEST(MessageBoxPrompterTest, EachButtonGivesItsAnswer)
{
    struct Case {
        PromptButtons buttons;
        QMessageBox::StandardButtons shown;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::StandardButton clicked;
        PromptAnswer answer;
    };
    const QMessageBox::StandardButtons okCancel = QMessageBox::Ok | QMessageBox::Cancel;
    const QMessageBox::StandardButtons yesNo = QMessageBox::Yes | QMessageBox::No;
    const QMessageBox::StandardButtons yesNoCancel = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    const Case cases[] = {
        { PromptButtons::OkCancel, okCancel, QMessageBox::Ok, QMessageBox::Ok, PromptAnswer::Ok },
        { PromptButtons::OkCancel, okCancel, QMessageBox::Ok, QMessageBox::Cancel, PromptAnswer::Cancel },
        { PromptButtons::YesNo, yesNo, QMessageBox::Yes, QMessageBox::Yes, PromptAnswer::Yes },
        { PromptButtons::YesNo, yesNo, QMessageBox::Yes, QMessageBox::No, PromptAnswer::No },
        { PromptButtons::YesNoCancel, yesNoCancel, QMessageBox::Yes, QMessageBox::Yes, PromptAnswer::Yes },
        { PromptButtons::YesNoCancel, yesNoCancel, QMessageBox::Yes, QMessageBox::No, PromptAnswer::No },
        { PromptButtons::YesNoCancel, yesNoCancel, QMessageBox::Yes, QMessageBox::Cancel,
            PromptAnswer::Cancel },
    };
    MessageBoxPrompter prompter;
    for (const Case& c : cases) {
        SCOPED_TRACE(
            testing::Message() << "buttons " << static_cast<int>(c.buttons) << ", clicked " << c.clicked);
        SeenBox seen;
        const PromptAnswer answer = askAndAnswer(prompter,
            Prompt { QStringLiteral("t"), QStringLiteral("x"), PromptIcon::Question, c.buttons }, seen,
            click(c.clicked));
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.buttons, c.shown);
        EXPECT_EQ(seen.defaultButton, c.defaultButton);
        EXPECT_EQ(answer, c.answer);
    }
}

TEST(MessageBoxPrompterTest, ClosingTheBoxGivesTheCautiousAnswer)
{
    const std::pair<PromptButtons, PromptAnswer> cases[] = {
        { PromptButtons::Ok, PromptAnswer::Ok },
        { PromptButtons::OkCancel, PromptAnswer::Cancel },
        { PromptButtons::YesNo, PromptAnswer::No },
        { PromptButtons::YesNoCancel, PromptAnswer::Cancel },
    };
    MessageBoxPrompter prompter;
    for (const auto& [buttons, expected] : cases) {
        SCOPED_TRACE(static_cast<int>(buttons));
        const Prompt prompt { QStringLiteral("t"), QStringLiteral("x"), PromptIcon::Question, buttons };

        SeenBox closed;
        const PromptAnswer closeAnswer
            = askAndAnswer(prompter, prompt, closed, [](QMessageBox& box) { box.close(); });
        ASSERT_TRUE(closed.found);
        EXPECT_EQ(closeAnswer, expected) << "closed from the title bar";

        SeenBox escaped;
        const PromptAnswer escapeAnswer = askAndAnswer(
            prompter, prompt, escaped, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
        ASSERT_TRUE(escaped.found);
        EXPECT_EQ(escapeAnswer, expected) << "closed with Escape";
    }
}

TEST(MessageBoxPrompterTest, BoxBelongsToTheParentWindow)
{
    QWidget parent;
    parent.show();
    MessageBoxPrompter prompter(&parent);
    QWidget* boxParent = nullptr;
    SeenBox seen;

    askAndAnswer(prompter,
        Prompt { QStringLiteral("t"), QStringLiteral("x"), PromptIcon::None, PromptButtons::Ok }, seen,
        [&boxParent](QMessageBox& box) {
            boxParent = box.parentWidget();
            box.button(QMessageBox::Ok)->click();
        });

    ASSERT_TRUE(seen.found);
    EXPECT_EQ(boxParent, &parent);
}

} // namespace
} // namespace ringtally
