#include "launcher/launcher.h"

#include <gtest/gtest.h>
#include <string.h>

#include "substitute/substitute.h"

TEST(Language, EveryIdentifierPicksItsFolder)
{
    const struct {
        LANGID id;
        const char *folder;
    } cases[] = {
        {0x0407, "German"},  {0x0807, "German"},     {0x0C0A, "Spanish"},  {0x040A, "LA Spanish"},
        {0x080A, "LA Spanish"}, {0x100A, "LA Spanish"}, {0x040C, "French"}, {0x080C, "French"},
        {0x0410, "Italian"}, {0x0810, "Italian"},    {0x0413, "Dutch"},    {0x0813, "Dutch"},
        {0x0416, "Brazilian Portuguese"}, {0x0816, "Brazilian Portuguese"}, {0x041D, "Swedish"},
        {0x081D, "Swedish"}, {0x0409, "English"},    {0x0809, "English"},  {0x0411, "English"},
        {0x0419, "English"}, {0x0000, "English"},    {0xFFFF, "English"},  {0x0407 | 0xFC00, "German"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "language 0x" << std::hex << c.id);
        HostReset();
        HostSetLanguage(c.id);
        CurrentLanguage = -1;
        SelectLanguage();
        ASSERT_GE(CurrentLanguage, 0);
        ASSERT_LT(CurrentLanguage, LANGUAGE_COUNT);
        EXPECT_STREQ(InstallFolderNames[CurrentLanguage], c.folder);
        EXPECT_NE(CurrentLanguage, 6);
    }
}

TEST(Language, TableHasTheTenFoldersInOrder)
{
    const char *expected[LANGUAGE_COUNT] = {"Brazilian Portuguese", "Dutch", "English", "French", "German",
                                            "Italian", "Japanese", "LA Spanish", "Spanish", "Swedish"};
    for (int i = 0; i < LANGUAGE_COUNT; i++)
        EXPECT_STREQ(InstallFolderNames[i], expected[i]) << "row " << i;
}
