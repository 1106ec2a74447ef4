#include "core/ErrorMessage.h"

#include <gtest/gtest.h>

namespace ringtally {
namespace {

TEST(ErrorMessageTest, WarningBox)
{
    const Prompt prompt = errorPrompt(ErrorTitle::Warning, 13, QStringLiteral("Type mismatch"));
    EXPECT_EQ(prompt.title, QStringLiteral("Advarsel!"));
    EXPECT_EQ(prompt.text, QStringLiteral("Fejl nr. 13 opstod\nType mismatch"));
    EXPECT_EQ(prompt.icon, PromptIcon::Exclamation);
    EXPECT_EQ(prompt.buttons, PromptButtons::Ok);
}

TEST(ErrorMessageTest, FileErrorBox)
{
    const Prompt prompt = errorPrompt(ErrorTitle::FileError, 53, QStringLiteral("File not found"));
    EXPECT_EQ(prompt.title, QStringLiteral("Filfejl:"));
    EXPECT_EQ(prompt.text, QStringLiteral("Fejl nr. 53 opstod\nFile not found"));
    EXPECT_EQ(prompt.icon, PromptIcon::Exclamation);
    EXPECT_EQ(prompt.buttons, PromptButtons::Ok);
}

TEST(ErrorMessageTest, DescriptionIsTakenAsItStands)
{
    // A description may itself hold placeholders or line breaks; they must not be expanded.
    const Prompt prompt = errorPrompt(ErrorTitle::Warning, 5, QStringLiteral("%1 and %2\nsecond line"));
    EXPECT_EQ(prompt.text, QStringLiteral("Fejl nr. 5 opstod\n%1 and %2\nsecond line"));
}

} // namespace
} // namespace ringtally
