#include <gtest/gtest.h>

#include "core/Errors.h"
#include "core/FileIO.h"
#include "crash/Options.h"

TEST(Options, TextAndStoredForm) {
    std::string text =
        "; comment\r\nMaxReports=5\r\nSaveDuplicates=yes\r\nShowDialog=0\r\nFreezeTimeout=abc\r\n"
        "SendMode=SMTP\r\nMailTo= dev@example.test \r\nSmtpPort=70000\r\nDnsServers=127.0.0.1:5353, 10.0.0.1\r\n"
        "HandleListedClasses=1\r\nClassMessage=EAbort|\r\nClassMessage=EOutOfMemory|No more memory.\r\n";
    TVesperModuleOptions o = ParseOptionsText(text);
    EXPECT_EQ(o.MaxReports, 5);
    EXPECT_TRUE(o.SaveDuplicates);
    EXPECT_FALSE(o.ShowDialog);
    EXPECT_EQ(o.FreezeTimeout, 0);
    EXPECT_EQ(o.SendMode, TSendMode::Smtp);
    EXPECT_EQ(o.MailTo, "dev@example.test");
    EXPECT_EQ(o.SmtpPort, 25);
    EXPECT_EQ(o.DnsServers, (std::vector<std::string>{"127.0.0.1:5353", "10.0.0.1"}));
    ASSERT_EQ(o.ClassMessages.size(), 2u);
    EXPECT_EQ(o.ClassMessages[1], (std::pair<std::string, std::string>{"EOutOfMemory", "No more memory."}));

    std::string stored = EncodeStoredOptions(text);
    EXPECT_EQ(stored.find("MailTo"), std::string::npos);
    EXPECT_EQ(DecodeStoredOptions(stored).MailTo, "dev@example.test");
    EXPECT_THROW(DecodeStoredOptions(stored.substr(0, stored.size() / 2)), Exception);
    EXPECT_THROW(DecodeStoredOptions("not zlib"), Exception);
}

// Named choices in any letter case; an unknown name keeps what was set
// before it, the last known one wins.
TEST(Options, ChoicesByName) {
    TVesperModuleOptions o = ParseOptionsText("AfterReport=restart\r\nSendMode=mailclient\r\n");
    EXPECT_EQ(o.AfterReport, TAfterReport::Restart);
    EXPECT_EQ(o.SendMode, TSendMode::MailClient);
    o = ParseOptionsText("AfterReport=TERMINATE\r\nAfterReport=later\r\nSendMode=SMTP\r\nSendMode=post\r\n");
    EXPECT_EQ(o.AfterReport, TAfterReport::Terminate);
    EXPECT_EQ(o.SendMode, TSendMode::Smtp);
    o = ParseOptionsText("AfterReport=Terminate\r\nAfterReport=Continue\r\nSendMode=SMTP\r\nSendMode=None\r\n");
    EXPECT_EQ(o.AfterReport, TAfterReport::Continue);
    EXPECT_EQ(o.SendMode, TSendMode::None);
    // A name that only begins like a choice is none.
    o = ParseOptionsText("AfterReport=Restarted\r\nSendMode=SMTPS\r\n");
    EXPECT_EQ(o.AfterReport, TAfterReport::Continue);
    EXPECT_EQ(o.SendMode, TSendMode::None);
}

// The program's own options, packed at build time by the build script's
// packer, read by the reporter's decoder.
TEST(Options, ProgramDefaults) {
    auto stored = ReadFileIfExists(PLANDESK_VLDATA_FILE);
    ASSERT_TRUE(stored);
    TVesperModuleOptions o = DecodeStoredOptions(*stored);
    EXPECT_EQ(o.OutputPath, "");
    EXPECT_EQ(o.MaxReports, 20);
    EXPECT_FALSE(o.SaveDuplicates);
    EXPECT_TRUE(o.ShowDialog);
    EXPECT_FALSE(o.AttachScreenshot);
    EXPECT_EQ(o.FreezeTimeout, 30);
    EXPECT_EQ(o.FreezeMessage, "The application seems to be frozen.");
    EXPECT_EQ(o.SendMode, TSendMode::None);
    EXPECT_EQ(o.MailTo, "");
}
