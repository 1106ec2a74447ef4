#include "core/ErrorMessage.h"

#include <gtest/gtest.h>

namespace ringtally {
namespace {

using namespace Qt::StringLiterals;

TEST(ErrorMessageTest, BoxHasTheTitleTheNumberAndTheDescriptionAsItStands)
{
    const Prompt warning = errorPrompt(ErrorTitle::Warning, 13, u"Type mismatch"_s);
    EXPECT_EQ(warning.title, u"Advarsel!"_s);
    EXPECT_EQ(warning.text, u"Fejl nr. 13 opstod\nType mismatch"_s);
    EXPECT_EQ(warning.icon, PromptIcon::Exclamation);
    EXPECT_EQ(warning.buttons, PromptButtons::Ok);

    // Placeholders and line breaks in a description are not expanded.
    const Prompt fileError = errorPrompt(ErrorTitle::FileError, 53, u"%1 and %2\nsecond line"_s);
    EXPECT_EQ(fileError.title, u"Filfejl:"_s);
    EXPECT_EQ(fileError.text, u"Fejl nr. 53 opstod\n%1 and %2\nsecond line"_s);
}

} // namespace
} // namespace ringtally
