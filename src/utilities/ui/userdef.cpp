#include "utilities/ui/userdef.h"

#include "common/ui/buttons.h"
#include "link/app.h"
#include "link/port.h"
#include "link/linetask.h"
#include "link/receiver2.h"
#include "utilities/userdefs.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

PitchSpin::PitchSpin(QWidget *parent) : QAbstractSpinBox(parent)
{
    lineEdit()->setReadOnly(true);
    setFixedWidth(22);
    setButtonSymbols(UpDownArrows);
}

void PitchSpin::stepBy(int steps)
{
    for (int i = 0; i < qAbs(steps); ++i)
        emit stepped(steps > 0 ? 1 : -1);
}

UserDef::UserDef(App &app, QWidget *parent)
    : QDialog(parent), app_(app), pitch_(udefs::kPitchDefault)
{
    setObjectName(QStringLiteral("UserDef"));
    setWindowTitle(QStringLiteral("NRD-535 User Definitions"));
    setModal(true);

    const auto &g = udefs::groups();
    auto makeGroup = [&](int gi) {
        auto *box = new QGroupBox(QString::fromLatin1(g[size_t(gi)].frame), this);
        box->setObjectName(QStringLiteral("fra_ud"));
        box->setAccessibleName(box->title());
        auto *lay = new QVBoxLayout(box);
        auto *bg = new QButtonGroup(this);
        QList<QRadioButton *> buttons;
        for (int i = 0; i < g[size_t(gi)].captions.size(); ++i) {
            auto *r = new QRadioButton(g[size_t(gi)].captions.at(i), box);
            r->setObjectName(QString::fromLatin1(g[size_t(gi)].name));
            r->setAccessibleName(box->title() + QLatin1String(": ") + r->text());
            bg->addButton(r, i);
            lay->addWidget(r);
            buttons << r;
        }
        lay->addStretch(1);
        connect(bg, &QButtonGroup::idToggled, this, [this, gi](int id, bool on) {
            if (on)
                optionSelected(gi, id);
        });
        groups_ << bg;
        opt << buttons;
        return box;
    };

    // Frames 0..4, then the pitch (5) and the relay (6).
    for (int gi = 0; gi < 5; ++gi)
        fra_ud << makeGroup(gi);

    auto *pitchBox = new QGroupBox(QStringLiteral("CW BFO Pitch"), this);
    pitchBox->setObjectName(QStringLiteral("fra_ud"));
    pitchBox->setAccessibleName(pitchBox->title());
    auto *pl = new QHBoxLayout(pitchBox);
    lbl_Cbp = new QLabel(udefs::pitchText(pitch_), pitchBox);
    lbl_Cbp->setObjectName(QStringLiteral("lbl_Cbp"));
    lbl_Cbp->setFrameShape(QFrame::Panel);
    lbl_Cbp->setFrameShadow(QFrame::Sunken);
    lbl_Cbp->setAlignment(Qt::AlignCenter);
    lbl_Cbp->setMinimumWidth(60);
    lbl_Cbp->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    lbl_Cbp->setAccessibleDescription(QStringLiteral("CW BFO Pitch value"));
    spn_Cpb = new PitchSpin(pitchBox);
    spn_Cpb->setObjectName(QStringLiteral("spn_Cpb"));
    spn_Cpb->setAccessibleName(QStringLiteral("CW BFO Pitch"));
    pan_OK = new QPushButton(QStringLiteral("O&K"), pitchBox);
    pan_OK->setObjectName(QStringLiteral("pan_OK"));
    pan_OK->setAccessibleName(QStringLiteral("Send CW BFO Pitch"));
    pan_OK->setAutoDefault(false);
    pl->addWidget(lbl_Cbp);
    pl->addWidget(spn_Cpb);
    pl->addWidget(pan_OK);
    pl->addStretch(1);
    fra_ud << pitchBox;
    fra_ud << makeGroup(udefs::kRelayGroup);

    cmd_def = kit::button(this, QStringLiteral("cmd_def"), QStringLiteral("&Reset to Defaults"));
    cmd_OK = kit::button(this, QStringLiteral("cmd_OK"), QStringLiteral("OK"));
    cmd_OK->setAutoDefault(true);
    cmd_OK->setDefault(true);

    auto *grid = new QGridLayout;
    for (int i = 0; i < fra_ud.size(); ++i)
        grid->addWidget(fra_ud[i], i / 2, i % 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmd_def);
    buttons->addStretch(1);
    buttons->addWidget(cmd_OK);
    auto *top = new QVBoxLayout(this);
    top->addLayout(grid);
    top->addLayout(buttons);

    connect(spn_Cpb, &PitchSpin::stepped, this, &UserDef::onPitchStep);
    connect(pan_OK, &QPushButton::clicked, this, &UserDef::onPanOk);
    connect(cmd_def, &QPushButton::clicked, this, &UserDef::on_def);
    connect(cmd_OK, &QPushButton::clicked, this, &QDialog::accept);

    if (app_.settings.noRx()) {
        // Nothing can be sent: only OK works.
        for (QGroupBox *b : fra_ud)
            b->setEnabled(false);
        cmd_def->setEnabled(false);
    } else {
        // The window opens showing Single segment, which it sends.
        const QSignalBlocker block(groups_[udefs::kSmeterGroup]);
        opt[udefs::kSmeterGroup][0]->setChecked(true);
        udefs::submit(*app_.rx, udefs::groups()[udefs::kSmeterGroup].commands.at(0));
    }
}

void UserDef::optionSelected(int group, int index)
{
    const auto &g = udefs::groups()[size_t(group)];
    if (index >= 0 && index < g.commands.size())
        udefs::submit(*app_.rx, g.commands.at(index));
}

void UserDef::onPitchStep(int dir)
{
    pitch_ = udefs::stepPitch(pitch_, dir);
    lbl_Cbp->setText(udefs::pitchText(pitch_));
    pending_ = udefs::pitchCommand(pitch_);
}

void UserDef::onPanOk()
{
    // With no pending command only the bracket goes out.
    udefs::submit(*app_.rx, pending_);
}

void UserDef::on_def()
{
    const auto table = udefs::defaultsTable();
    Receiver2 *rx = app_.rx;
    cmd_def->setEnabled(false);
    // The table goes out as one job; the button comes back when it is sent.
    rx->submit(
        [this, rx, table]() -> rxjob::Task<> {
            for (const QString &c : table) {
                if (!udefs::send(*rx, c))
                    continue;
                co_await rx->pause(udefs::kDefaultsPauseMs);
            }
            cmd_def->setEnabled(true);
        },
        true, this);
    // Show what was sent; the receiver already has it, so the option
    // buttons' own commands are not sent again.
    const auto sel = udefs::defaultSelection();
    for (int gi = 0; gi < groups_.size(); ++gi) {
        const QSignalBlocker block(groups_[gi]);
        opt[gi][sel[size_t(gi)]]->setChecked(true);
    }
    // The pitch OK button sends what the label shows from now on.
    pitch_ = udefs::kPitchDefault;
    lbl_Cbp->setText(udefs::pitchText(pitch_));
    pending_ = udefs::pitchCommand(pitch_);
}
