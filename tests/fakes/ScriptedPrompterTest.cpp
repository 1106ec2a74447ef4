#include "fakes/ScriptedPrompter.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace ringtally::test {
namespace {

Prompt box(const QString& title, PromptButtons buttons)
{
    return Prompt { title, QStringLiteral("text of ") + title, PromptIcon::Question, buttons };
}

TEST(ScriptedPrompterTest, AnswersInScriptedOrderAndRecordsEveryBox)
{
    ScriptedPrompter prompter;
    prompter.answerNext(PromptAnswer::No);
    prompter.answerNext(PromptAnswer::Cancel);

    EXPECT_EQ(prompter.ask(box(QStringLiteral("first"), PromptButtons::YesNo)), PromptAnswer::No);
    EXPECT_EQ(prompter.ask(box(QStringLiteral("second"), PromptButtons::OkCancel)), PromptAnswer::Cancel);

    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown()[0].title, QStringLiteral("first"));
    EXPECT_EQ(prompter.shown()[1].text, QStringLiteral("text of second"));
    EXPECT_EQ(prompter.shown()[1].buttons, PromptButtons::OkCancel);
    EXPECT_EQ(prompter.unusedAnswers(), 0);
}

TEST(ScriptedPrompterTest, UnexpectedBoxFailsTheTestAndCountsAsClosed)
{
    ScriptedPrompter prompter;
    PromptAnswer answer = PromptAnswer::Yes;
    EXPECT_NONFATAL_FAILURE(answer = prompter.ask(box(QStringLiteral("Surprise"), PromptButtons::YesNo)),
        "unexpected message box \"Surprise\"");
    EXPECT_EQ(answer, PromptAnswer::No);
    EXPECT_EQ(prompter.shown().size(), 1);
}

TEST(ScriptedPrompterTest, AnswerThatIsNotAButtonOfTheBoxFailsTheTest)
{
    ScriptedPrompter prompter;
    prompter.answerNext(PromptAnswer::Yes);
    PromptAnswer answer = PromptAnswer::Yes;
    EXPECT_NONFATAL_FAILURE(
        answer = prompter.ask(box(QStringLiteral("Only ok"), PromptButtons::OkCancel)), "not a button");
    EXPECT_EQ(answer, PromptAnswer::Cancel);
}

} // namespace
} // namespace ringtally::test
