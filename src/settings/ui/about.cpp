#include "settings/ui/about.h"

#include "settings/ui/art.h"
#include "settings/ui/welcome2.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "version.h"

QString about::text()
{
    return QStringLiteral(
        "<h2 style='margin-bottom:2px'>VORANTIS V6</h2>"
        "<p style='margin-top:0'>Release %1 &middot; version %2</p>"
        "<p>VORANTIS controls a general-coverage shortwave communications receiver "
        "from the PC over its RS-232 remote-control port (4800 baud, 8 data bits, "
        "no parity, 1 stop bit).</p>"
        "<p><b>The receiver</b><br>"
        "Tuning from 100 kHz to 30 MHz (the program accepts 10 kHz to 29999.999 kHz), "
        "AM, synchronous AM, SSB, CW, RTTY, FAX and narrow FM, selectable bandwidths, "
        "attenuator, AGC and noise blanker, 200 memory channels and a clock with an "
        "on/off timer. Optional units add bandwidth control, a 1 kHz filter, ECSS and "
        "RTTY demodulation; tick the ones fitted under Set-up.</p>"
        "<p><b>Getting information</b><br>"
        "The user guide VRTSV6.doc in the base directory describes every window. "
        "Most buttons and fields show a short explanation when the mouse rests on them.</p>"
        "<p><b>Feedback</b><br>"
        "Reports of problems and ideas for improvement are welcome. Please describe what "
        "you did, what you expected and what happened, and add your settings file "
        "VRTSV6.INI. Send them through the channel where you obtained the program.</p>")
        .arg(welcome2::releaseMonth(), QStringLiteral(VORANTIS_VERSION));
}

about::about(App &, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("about"));
    setWindowTitle(QStringLiteral("About VORANTIS V6"));
    setModal(false);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("pic_about"));
    icon->setPixmap(art::actionPixmap(art::Action::About, 56, devicePixelRatioF()));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    icon->setAccessibleName(QStringLiteral("About"));

    auto *label = new QLabel(text(), this);
    label->setObjectName(QStringLiteral("lbl_about"));
    label->setWordWrap(true);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setMinimumWidth(420);
    label->setAccessibleDescription(QStringLiteral("About VORANTIS V6"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton *close = buttons->button(QDialogButtonBox::Close);
    close->setObjectName(QStringLiteral("cmd_close"));
    close->setText(QStringLiteral("&Close"));
    close->setAccessibleName(QStringLiteral("Close"));
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon);
    top->addWidget(label, 1);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(18, 18, 18, 12);
    lay->addLayout(top);
    lay->addWidget(buttons);
    close->setFocus();
    adjustSize();
    setFixedSize(sizeHint());
}

void about::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!centred_) {
        centred_ = true;
        centreOnScreen(this);
    }
}
