// The rig-control server's port in the settings file: after the described
// values, so files without it read as before and readers of the described
// values are not disturbed.
#include "settings/settings.h"

#include <QStringList>

#include <gtest/gtest.h>

TEST(RigctlSetting, StoredAfterTheDescribedValues)
{
    Settings s = settingsfile::defaults();
    s.v[5] = 1;
    EXPECT_EQ(settingsfile::lines(&s).size(), 18); // off: the file is as described

    s.rigctl_port = 4532;
    const QStringList l = settingsfile::lines(&s);
    ASSERT_EQ(l.size(), 25); // values 16-20 blank, the (empty) serial device, the port
    EXPECT_EQ(l[23], "");
    EXPECT_EQ(l.last(), "rigctl_port=4532");
    const Settings back = settingsfile::parse(l.join('\n'));
    EXPECT_EQ(back.rigctl_port, 4532);
    EXPECT_EQ(back.v, s.v);
    // A reader that stops after the twentieth number sees the same values.
    EXPECT_EQ(settingsfile::parse(l.mid(0, 23).join('\n')).v, s.v);

    for (const char *bad : {"rigctl_port=0", "rigctl_port=70000", "rigctl_port=x", "junk"}) {
        QStringList b = l;
        b.last() = QString::fromLatin1(bad);
        EXPECT_EQ(settingsfile::parse(b.join('\n')).rigctl_port, 0) << bad;
    }

    // Following the dial: a line of its own, also without the port.
    s.follow_dial = true;
    EXPECT_EQ(settingsfile::lines(&s).last(), "follow_dial=1");
    EXPECT_TRUE(settingsfile::parse(settingsfile::lines(&s).join('\n')).follow_dial);
    s.rigctl_port = 0;
    EXPECT_TRUE(settingsfile::parse(settingsfile::lines(&s).join('\n')).follow_dial);
    EXPECT_FALSE(back.follow_dial); // older files: off
}
