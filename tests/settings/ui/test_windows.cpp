// The start window, the set-up dialog and the about window, worked through
// their real controls.
#include "settings/ui/about.h"
#include "net/rigaccess.h"
#include "common/filebytes.h"
#include "record/recsession.h"
#include "settings/settings.h"
#include "settings/ui/setup.h"
#include "settings/ui/welcome2.h"
#include "a11y.h"
#include "testkit.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

struct SetupTest : ::testing::Test {
    TestApp t;
    std::unique_ptr<RecSession> rec; // outlives the dialog
    std::unique_ptr<setup> dlg;

    void open()
    {
        dlg = std::make_unique<setup>(t.app);
        dlg->show();
        QApplication::setActiveWindow(dlg.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
    }
    template <typename T> T *w(const char *name)
    {
        T *c = dlg->findChild<T *>(QString::fromLatin1(name));
        EXPECT_TRUE(c) << name;
        return c;
    }
    QLineEdit *field(const char *name) { return w<QLineEdit>(name); }
    // Types into a field and leaves it for the next field.
    void typeAndLeave(const char *name, const QString &text, const char *next = "txt_rxlong")
    {
        QLineEdit *f = field(name);
        f->setFocus();
        f->selectAll();
        f->clear();
        QTest::keyClicks(f, text);
        field(next)->setFocus();
    }
    QString ini() const { return t.base() + "VRTSV6.INI"; }
    // The names of the ticked boxes and chosen options, sorted.
    std::string ticked() const
    {
        QStringList on;
        for (QAbstractButton *b : dlg->findChildren<QAbstractButton *>())
            if (b->isCheckable() && b->isChecked())
                on << b->objectName();
        on.sort();
        return on.join(' ').toStdString();
    }
    // The texts of the fields, in the dialog's order.
    std::string fields()
    {
        QStringList out;
        for (const char *f : {"txt_dir", "txt_rxlat", "txt_rxlong", "txt_td", "txt_dim_0", "txt_dim_1",
                              "txt_dim_2", "txt_dim_3"})
            out << field(f)->text();
        return out.join('|').toStdString();
    }
    // Clicks a check box on its box (the widget may be wider than box and text).
    void tick(const char *name)
    {
        QCheckBox *c = w<QCheckBox>(name);
        QTest::mouseClick(c, Qt::LeftButton, {}, QPoint(6, c->height() / 2));
    }
};

} // namespace

TEST_F(SetupTest, LoadFillsEveryControlFromMemory)
{
    Settings &s = t.app.settings;
    s.rx_lat = "4800N";
    s.rx_long = "01120W";
    s.setPortNumber(3);
    s.setLtMinusUtc(-5.5);
    s.setNoRx(true);
    s.setEditorEnabled(true);
    s.setTargetArea(8);
    s.setDim(0, 12);
    s.setDim(3, 30);
    s.setNarrowFitted(true);
    s.setRttyFitted(true);
    open();
    EXPECT_TRUE(w<QRadioButton>("opt_ComP_1")->toolTip().contains("/dev/ttyS1"));
    EXPECT_EQ(ticked(), "chk_Prop_2 chk_Prop_3 chk_nrd_1 chk_nrd_3 opt_ComP_2 opt_ta_8");
    EXPECT_EQ(fields(), (t.base() + "|4800N|01120W|-5.5| 12| 1| 1| 30").toStdString());
    EXPECT_TRUE(w<QPushButton>("cmd_OK")->isDefault());
    // Filling stores nothing by itself.
    EXPECT_EQ(s.portNumber(), 3);
    EXPECT_TRUE(t.prompter.asked.isEmpty());
}

TEST_F(SetupTest, FieldsAreCheckedWhenLeft)
{
    open();
    typeAndLeave("txt_rxlat", "5205n");
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_EQ(t.prompter.lastText(), "Invalid Latitude\nExample: 5205N");
    EXPECT_EQ(t.prompter.lastTitle(), "Default");
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Exclamation);
    EXPECT_EQ(t.prompter.asked.last().buttons, Prompter::Ok);
    EXPECT_EQ(field("txt_rxlat")->text(), "5205N");
    EXPECT_EQ(QApplication::focusWidget(), field("txt_rxlat"));
    // Memory holds what the field shows, at once: nothing depends on the
    // focus coming back to the field.
    EXPECT_EQ(t.app.settings.rx_lat, "5205N");
    field("txt_rxlong")->setFocus();
    EXPECT_EQ(t.app.settings.rx_lat, "5205N");
    EXPECT_EQ(t.prompter.asked.size(), 1);

    typeAndLeave("txt_td", "1a");
    EXPECT_EQ(t.prompter.lastTitle(), "Default 2");
    EXPECT_EQ(field("txt_td")->text(), "0");
    typeAndLeave("txt_td", "5.2");
    EXPECT_EQ(t.prompter.asked.size(), 2);
    EXPECT_EQ(t.app.settings.ltMinusUtcStored(), 5.5f);

    typeAndLeave("txt_dim_3", "31");
    EXPECT_EQ(field("txt_dim_3")->text(), "15");
    EXPECT_EQ(t.app.settings.dimStored(3), 15);
    typeAndLeave("txt_dim_1", "7");
    EXPECT_EQ(t.app.settings.dimStored(1), 7);

    typeAndLeave("txt_dir", "/srv/radio");
    EXPECT_EQ(field("txt_dir")->text(), "/srv/radio/");
    EXPECT_EQ(t.app.settings.base_dir, "/srv/radio/");
    const int before = t.prompter.asked.size();
    typeAndLeave("txt_dir", "radio");
    ASSERT_EQ(t.prompter.asked.size(), before + 1);
    EXPECT_EQ(t.prompter.lastText(), "Invalid path\nExample " + QDir::homePath() + "/VRTSV6/");
    EXPECT_EQ(field("txt_dir")->text(), QDir::homePath() + "/VRTSV6/");
    EXPECT_EQ(t.app.settings.base_dir, QDir::homePath() + "/VRTSV6/");

    typeAndLeave("txt_rxlong", "17959W", "txt_rxlat");
    EXPECT_EQ(t.app.settings.rx_long, "17959W");
    EXPECT_EQ(t.prompter.asked.size(), before + 1);
}

// Clicks and edits are in memory at once; OK writes nothing.
TEST_F(SetupTest, ClicksStoreAtOnceAndOkKeepsEditsWithoutWriting)
{
    open();
    const Settings &s = t.app.settings;
    QTest::mouseClick(w<QRadioButton>("opt_ComP_3"), Qt::LeftButton);
    QTest::mouseClick(w<QRadioButton>("opt_ta_5"), Qt::LeftButton);
    tick("chk_Prop_2");
    tick("chk_nrd_2");
    EXPECT_EQ(QString("%1 %2 %3 %4").arg(s.portNumber()).arg(s.targetArea()).arg(s.noRx()).arg(s.ecssFitted()), "4 5 1 1");
    tick("chk_nrd_2");
    EXPECT_FALSE(s.ecssFitted());
    tick("chk_panel_meter");
    tick("chk_high_contrast");
    EXPECT_TRUE(s.panel_meter && s.high_contrast);
    QTest::mouseClick(w<QRadioButton>("opt_ComP_1"), Qt::LeftButton);
    typeAndLeave("txt_rxlat", "3330S");
    // Typed but not left: OK by keyboard still takes the value.
    QLineEdit *lon = field("txt_rxlong");
    lon->setFocus();
    lon->clear();
    QTest::keyClicks(lon, "15100E");
    QTest::keyClick(lon, Qt::Key_Return);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(t.app.settings.portNumber(), 2);
    EXPECT_EQ(t.app.settings.rx_lat, "3330S");
    EXPECT_EQ(t.app.settings.rx_long, "15100E");
    EXPECT_FALSE(QFile::exists(ini()));
    EXPECT_TRUE(t.prompter.asked.isEmpty());
}

TEST_F(SetupTest, EscapeWithABadFieldStaysOpenUntilTheDefaultIsBack)
{
    open();
    QLineEdit *lat = field("txt_rxlat");
    lat->setFocus();
    lat->clear();
    QTest::keyClicks(lat, "9000N");
    QTest::keyClick(lat, Qt::Key_Escape);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(t.prompter.lastText(), "Invalid Latitude\nExample: 5205N");
    QTest::keyClick(lat, Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
    EXPECT_EQ(t.app.settings.rx_lat, "5205N");
    EXPECT_FALSE(QFile::exists(ini()));
    // It fits a laptop screen of 768 lines, title bar and panel included.
    EXPECT_LE(dlg->sizeHint().height(), 740);
}

TEST_F(SetupTest, SaveWritesTheFileThatWasReadAndACopyUnderTheNewDirPath)
{
    // Read at start from the working folder; Dir Path then moved.
    const QString base = t.base();
    const QString work = base + "work/VRTSV6.INI";
    QDir().mkpath(base + "work");
    t.app.settingsPath = work;
    t.app.settings.setDim(1, 0); // raised to 1 when written
    open();
    tick("chk_nrd_0");
    typeAndLeave("txt_td", "-3");
    typeAndLeave("txt_dir", base + "moved");
    QTest::mouseClick(w<QPushButton>("cmd_Save"), Qt::LeftButton);
    EXPECT_FALSE(dlg->isVisible());
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_EQ(t.prompter.lastText(), "New INI data is now saved");
    EXPECT_EQ(t.prompter.lastTitle(), "Save INI");
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Exclamation);
    for (const QString &p : {work, base + "moved/VRTSV6.INI"}) {
        Settings back;
        QString err;
        ASSERT_TRUE(settingsfile::load(p, &back, &err)) << qPrintable(err);
        EXPECT_EQ(back.base_dir, base + "moved/");
        EXPECT_EQ(back.ltMinusUtcStored(), -3);
        EXPECT_TRUE(back.bwcFitted());
        EXPECT_EQ(back.dimStored(1), 1);
    }
    EXPECT_FALSE(QFile::exists(base + "VRTSV6.INI"));
    // Read from the Dir Path itself: one file.
    QStringList written;
    QString err;
    ASSERT_TRUE(settingsfile::saveAll(&t.app.settings, base + "moved/../moved/VRTSV6.INI", &written, &err));
    EXPECT_EQ(written.size(), 1);
}

// The network fields are checked when left; a typed password leaves the
// field at once and only its salted hash is kept and written.
TEST_F(SetupTest, NetworkFieldsAndPasswordsKeptOnlyAsHashes)
{
    open();
    typeAndLeave("txt_rigctl_password", "s3cret");
    typeAndLeave("txt_rigctl_trust", "192.168.1.0/24");
    typeAndLeave("txt_rigctl_listen", "0.0.0.0");
    for (const auto &[name, text] : {std::pair{"txt_rigctl_trust", "10.0.0.300"},
                                     {"txt_rigctl_listen", "nowhere"}, {"txt_rigctl_readonly", "a b"}}) {
        const qsizetype asked = t.prompter.asked.size();
        typeAndLeave(name, text);
        EXPECT_EQ(t.prompter.asked.size(), asked + 1) << name;
    }
    const Settings &s = t.app.settings;
    QStringList shown;
    for (const char *f : {"txt_rigctl_password", "txt_rigctl_readonly", "txt_rigctl_trust", "txt_rigctl_listen"})
        shown << field(f)->text();
    EXPECT_EQ(shown.join('|'), "||192.168.1.0/24|0.0.0.0");
    EXPECT_TRUE(rigaccess::matches(s.rigctl_password, "s3cret"));
    EXPECT_TRUE(s.rigctl_readonly_password.isEmpty());
    EXPECT_EQ(s.rigctl_trust, QString("192.168.1.0/24"));
    t.prompter.asked.clear();
    QTest::mouseClick(w<QPushButton>("cmd_Save"), Qt::LeftButton);
    const QByteArray file = readBytes(ini());
    EXPECT_TRUE(file.contains("rigctl_password=pbkdf2-sha256$")) << file.constData();
    EXPECT_FALSE(file.contains("s3cret"));
}

TEST_F(SetupTest, OffersTheSystemsSerialPortsAndRemembersTheDevice)
{
    t.app.settings.port_device = "/dev/ttyUSB1"; // saved earlier, unplugged now
    open();
    dlg->setSystemPorts({{"/dev/ttyACM0", "Arduino Uno"}, {"/dev/ttyUSB0", "FT232R USB UART (FTDI)"}});
    auto *dev = w<QComboBox>("cmb_device");
    EXPECT_EQ(dev->currentText(), "/dev/ttyUSB1 - not present now");
    EXPECT_EQ(dev->itemText(2), "/dev/ttyUSB0 - FT232R USB UART (FTDI)");
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(w<QRadioButton>(qPrintable(QString("opt_ComP_%1").arg(i)))->isChecked());

    dev->setCurrentIndex(2);
    EXPECT_EQ(t.app.settings.port_device, "/dev/ttyUSB0");
    QTest::mouseClick(w<QRadioButton>("opt_ComP_2"), Qt::LeftButton);
    EXPECT_TRUE(t.app.settings.port_device.isEmpty());
    EXPECT_EQ(t.app.settings.portNumber(), 3);
    EXPECT_EQ(dev->currentIndex(), 0);
    dev->setCurrentIndex(1);
    EXPECT_FALSE(w<QRadioButton>("opt_ComP_2")->isChecked());
    // (The device written and read back: the settings file's tests.)
    EXPECT_EQ(t.app.settings.port_device + ' ' + QString::number(t.app.settings.portNumber()), "/dev/ttyACM0 3");
}

// A failed save names the file, keeps the dialog open, the value in memory
// and the old file: a read-only folder (skipped when the run's rights ignore
// folder permissions) and a file where the folder should be.
TEST_F(SetupTest, AFailedSaveKeepsTheOldFileAndTheDialog)
{
    for (const bool readOnly : {true, false}) {
        SCOPED_TRACE(readOnly ? "read-only folder" : "file in the folder's place");
        t.prompter.asked.clear();
        QString err;
        if (readOnly) {
            Settings old = t.app.settings;
            ASSERT_TRUE(settingsfile::save(&old, &err));
            QFile::setPermissions(t.base(), QFile::ReadOwner | QFile::ExeOwner);
            QFile probe(t.base() + "probe");
            if (probe.open(QIODevice::WriteOnly)) {
                probe.remove();
                QFile::setPermissions(t.base(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                continue; // running with rights that ignore folder permissions
            }
        } else {
            QFile blocker(t.base() + "blocker");
            ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
            t.app.settings.base_dir = t.base() + "blocker/";
        }
        const QString file = t.app.settings.base_dir + "VRTSV6.INI";
        const QByteArray before = readBytes(file);
        open();
        typeAndLeave("txt_rxlat", "1111N");
        QTest::mouseClick(w<QPushButton>("cmd_Save"), Qt::LeftButton);
        QFile::setPermissions(t.base(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        ASSERT_EQ(t.prompter.asked.size(), 1);
        EXPECT_TRUE(t.prompter.lastText().startsWith("The file " + file + " could not be written"))
            << t.prompter.lastText().toStdString();
        EXPECT_EQ(t.prompter.lastTitle(), "Save INI");
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(readBytes(file), before);
        EXPECT_EQ(t.app.settings.rx_lat, "1111N");
    }
}

TEST_F(SetupTest, ResetReadsTheFileAgainOrKeepsTheValuesWithoutOne)
{
    open();
    QTest::mouseClick(w<QRadioButton>("opt_ComP_3"), Qt::LeftButton);
    QTest::mouseClick(w<QPushButton>("cmd_reset"), Qt::LeftButton);
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_TRUE(t.prompter.lastText().contains(ini()) && t.prompter.lastText().contains("does not exist"));
    EXPECT_TRUE(w<QRadioButton>("opt_ComP_3")->isChecked());
    EXPECT_EQ(t.app.settings.portNumber(), 4);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    t.prompter.asked.clear();
    QString err;
    Settings onDisk = t.app.settings;
    onDisk.setPortNumber(2);
    onDisk.rx_lat = "4000N";
    ASSERT_TRUE(settingsfile::save(&onDisk, &err));
    typeAndLeave("txt_rxlat", "1234S");
    tick("chk_nrd_3");
    QTest::mouseClick(w<QPushButton>("cmd_reset"), Qt::LeftButton);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(w<QRadioButton>("opt_ComP_1")->isChecked());
    EXPECT_EQ(field("txt_rxlat")->text(), "4000N");
    EXPECT_FALSE(w<QCheckBox>("chk_nrd_3")->isChecked());
    EXPECT_EQ(t.app.settings.portNumber(), 2);
    EXPECT_EQ(t.app.settings.rx_lat, "4000N");
    EXPECT_FALSE(t.app.settings.rttyFitted());
    EXPECT_TRUE(t.prompter.asked.isEmpty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The recording frame without a sound server: "default" and the chosen
// input are offered, with the reason the list is short; the boxes store at
// once. "Test input" listens for three seconds and tells the peak.
TEST_F(SetupTest, RecordingInputFormatAndTestInput)
{
    rec = std::make_unique<RecSession>(t.app);
    rec->setSourceFactory([](const QString &) { return std::make_unique<ToneSource>(1000, 0.5, true); });
    t.app.rec = rec.get();
    qputenv("PULSE_SERVER", "unix:/nonexistent/vorantis-test");
    const auto note = [this] { return w<QLabel>("lbl_rec_note")->text(); };
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
    rec->setSourceFactory(&audioinput::makeSource);
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(b->isEnabled());
    EXPECT_TRUE(note().startsWith("The sound input default could not be opened")) << note().toStdString();
    qunsetenv("PULSE_SERVER");
}

// ---- start window ----------------------------------------------------------

TEST(Welcome, ButtonsAndKeysAskForGoAndExitAndOpenSetUpAndAbout)
{
    TestApp t;
    welcome2 w(t.app);
    for (const char *name : {"img_go", "img_setup", "img_about", "img_exit"})
        EXPECT_FALSE(w.findChild<QToolButton *>(name)->icon().isNull()) << name; // pictures load
    QSignalSpy go(&w, &welcome2::goRequested);
    QSignalSpy ex(&w, &welcome2::exitRequested);
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    const std::tuple<std::function<void()>, int, int> steps[] = { // then GO and exit requests
        {[&] { QTest::keyClick(&w, Qt::Key_Return); }, 1, 0},
        {[&] { QTest::keyClick(&w, Qt::Key_Enter); }, 2, 0},
        {[&] { QTest::keyClick(&w, Qt::Key_Escape); }, 2, 1},
        {[&] { QTest::mouseClick(w.findChild<QToolButton *>("img_go"), Qt::LeftButton); }, 3, 1},
        {[&] { QTest::mouseClick(w.findChild<QToolButton *>("img_exit"), Qt::LeftButton); }, 3, 2},
        {[&] { QTest::keyClick(&w, Qt::Key_G, Qt::AltModifier); }, 4, 2},
    };
    for (const auto &[act, gos, exits] : steps) {
        act();
        EXPECT_EQ(go.count() * 10 + ex.count(), gos * 10 + exits);
    }

    // Set-up is modal, About is not, both are centred as the window is.
    const QRect area = w.screen()->availableGeometry();
    const auto centred = [&](QWidget *x) {
        return std::abs(x->frameGeometry().center().x() - area.center().x()) <= 2 &&
               std::abs(x->frameGeometry().center().y() - area.center().y()) <= 2;
    };
    EXPECT_TRUE(centred(&w));
    QTest::mouseClick(w.findChild<QToolButton *>("img_setup"), Qt::LeftButton);
    QPointer<setup> s = w.setupDialog();
    ASSERT_TRUE(s && s->isVisible() && s->isModal());
    s->findChild<QPushButton *>("cmd_OK")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(s); // deleted on close

    QTest::mouseClick(w.findChild<QToolButton *>("img_about"), Qt::LeftButton);
    QPointer<about> a = w.aboutWindow();
    ASSERT_TRUE(a && a->isVisible() && !a->isModal());
    EXPECT_TRUE(centred(a));
    EXPECT_EQ(a11y::hiddenLabels(a), QStringList()); // the text is read as it stands
    // A second click brings the same window forward.
    QTest::mouseClick(w.findChild<QToolButton *>("img_about"), Qt::LeftButton);
    EXPECT_EQ(w.aboutWindow(), a.data());
    const QString text = a->findChild<QLabel *>("lbl_about")->text();
    EXPECT_TRUE(text.contains("200 memory channels"));
    EXPECT_TRUE(text.contains("RS-232"));
    QTest::keyClick(a.data(), Qt::Key_Escape);
    EXPECT_FALSE(a->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(a);

    // Closing by the program (after GO) is not an exit request.
    w.close();
    EXPECT_EQ(ex.count(), 2);
}

// Pictures of the windows for a look by eye: VOR_SCREENSHOT=/some/dir test_settings
TEST(Welcome, Screenshots)
{
    const QByteArray dir = qgetenv("VOR_SCREENSHOT");
    if (dir.isEmpty())
        GTEST_SKIP() << "set VOR_SCREENSHOT to a folder to get pictures";
    TestApp t;
    welcome2 w(t.app);
    w.show();
    w.grab().save(QString::fromLocal8Bit(dir) + "/welcome2.png");
    setup s(t.app);
    s.setSystemPorts({{"/dev/ttyUSB0", "FT232R USB UART (FTDI)"}});
    s.show();
    s.grab().save(QString::fromLocal8Bit(dir) + "/setup.png");
}
