#include "fakes/ScriptedPrompter.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace ringtally::test {
namespace {

using namespace Qt::StringLiterals;

Prompt box(const QString& title, PromptButtons buttons)
{
    return Prompt { title, u"text"_s, PromptIcon::Question, buttons };
}

TEST(ScriptedPrompterTest, AnswersInScriptedOrderAndRecordsEveryBox)
{
    ScriptedPrompter prompter;
    prompter.answerNext(PromptAnswer::No);
    prompter.answerNext(PromptAnswer::Cancel);
    EXPECT_EQ(prompter.ask(box(u"first"_s, PromptButtons::YesNo)), PromptAnswer::No);
    EXPECT_EQ(prompter.ask(box(u"second"_s, PromptButtons::OkCancel)), PromptAnswer::Cancel);
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown()[1].title, u"second"_s);
    EXPECT_EQ(prompter.unusedAnswers(), 0);
}

TEST(ScriptedPrompterTest, UnexpectedBoxOrAnswerFailsTheTestAndCountsAsClosed)
{
    ScriptedPrompter prompter;
    PromptAnswer answer = PromptAnswer::Yes;
    EXPECT_NONFATAL_FAILURE(answer = prompter.ask(box(u"Surprise"_s, PromptButtons::YesNo)),
        "unexpected message box \"Surprise\"");
    EXPECT_EQ(answer, PromptAnswer::No);

    prompter.answerNext(PromptAnswer::Yes);
    EXPECT_NONFATAL_FAILURE(
        answer = prompter.ask(box(u"Only ok"_s, PromptButtons::OkCancel)), "not a button");
    EXPECT_EQ(answer, PromptAnswer::Cancel);
    EXPECT_EQ(prompter.shown().size(), 2);
}

} // namespace
} // namespace ringtally::test
