// Set-up's recording frame: the input list, the format and "Test input".
#include "record/recsession.h"
#include "settings/ui/setup.h"
#include "testkit.h"

#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct SetupRec : ::testing::Test {
    TestApp t;
    RecSession rec{t.app};
    std::unique_ptr<setup> dlg;
    void SetUp() override
    {
        rec.setSourceFactory([](const QString &) { return std::make_unique<ToneSource>(1000, 0.5, true); });
        t.app.rec = &rec;
        qputenv("PULSE_SERVER", "unix:/nonexistent/vorantis-test");
    }
    void TearDown() override
    {
        dlg.reset();
        qunsetenv("PULSE_SERVER");
    }
    void open()
    {
        dlg = std::make_unique<setup>(t.app);
        dlg->show();
    }
    template <typename T> T *w(const char *name) { return dlg->findChild<T *>(QString::fromLatin1(name)); }
    QString note() { return w<QLabel>("lbl_rec_note")->text(); }
};

} // namespace

// Without a sound server: "default" and the chosen input are offered, with
// the reason the list is short; the boxes store at once. "Test input"
// listens for three seconds and tells the peak.
TEST_F(SetupRec, InputFormatAndTestInput)
{
    t.app.settings.rec_source = "alsa_input.usb";
    t.app.settings.rec_format = "opus";
    open();
    QComboBox *src = w<QComboBox>("cbo_rec_source");
    ASSERT_EQ(src->count(), 2);
    EXPECT_EQ(src->itemData(0).toString(), "default");
    EXPECT_EQ(src->currentData().toString(), "alsa_input.usb");
    EXPECT_TRUE(note().startsWith("No sound server answered")) << note().toStdString();
    QComboBox *fmt = w<QComboBox>("cbo_rec_format");
    EXPECT_EQ(fmt->currentText(), "Ogg Opus");
    fmt->setCurrentIndex(2);
    src->setCurrentIndex(0);
    EXPECT_EQ(t.app.settings.rec_format, "wav");
    EXPECT_EQ(t.app.settings.rec_source, "default");

    QPushButton *b = w<QPushButton>("cmd_rec_test");
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(note(), "Listening to default for 3 seconds ...");
    int most = 0;
    for (int i = 0; i < 1200 && !b->isEnabled(); ++i) {
        QTest::qWait(50);
        most = std::max(most, w<QProgressBar>("bar_rec_level")->value());
    }
    ASSERT_TRUE(b->isEnabled());
    EXPECT_EQ(most, 54); // -6 dB
    EXPECT_EQ(note(), "Input peak -6 dB of full scale.");
    // No sound server: the reason, and the button works again.
    rec.setSourceFactory(&audioinput::makeSource);
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(b->isEnabled());
    EXPECT_TRUE(note().startsWith("The sound input default could not be opened")) << note().toStdString();
}
