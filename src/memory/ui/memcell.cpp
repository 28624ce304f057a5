#include "memory/ui/memcell.h"

#include "common/ui/buttons.h"
#include "common/fmt.h"
#include "link/app.h"
#include "link/limits.h"
#include "link/port.h"
#include "link/receiver2.h"
#include "memory/mem2.h"
#include "memory/memtransfer.h"
#include "memory/ui/memman.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

const char *actionName(int action)
{
    switch (action) {
    case MemMan::ActChange: return "Change";
    case MemMan::ActDump: return "Dump";
    case MemMan::ActCopy: return "Copy";
    case MemMan::ActDelete: return "Delete";
    }
    return "";
}

void fillList(QComboBox *box, const QStringList &table, int count)
{
    for (int i = 0; i < count && i < table.size(); ++i)
        box->addItem(table.at(i));
    box->setCurrentIndex(-1);
}

// The code of a box: its index when it shows a text of its table.
int boxCode(const QComboBox *box)
{
    const int i = box->currentIndex();
    return (i >= 0 && !box->currentText().isEmpty()) ? i : -1;
}

} // namespace

memcell::memcell(App &app, MemMan *owner, int action)
    : QWidget(owner, Qt::Window), app_(app), owner_(owner), action_(action)
{
    setObjectName(QStringLiteral("memcell"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Memory cell contents"));

    auto combo = [this](QComboBox *&c, const char *name, const QString &label) {
        c = new QComboBox(this);
        c->setObjectName(QString::fromLatin1(name));
        c->setAccessibleName(label);
        c->setMinimumWidth(90);
        return c;
    };
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Cell nr"), combo(cmb_cell, "cmb_cell", QStringLiteral("Cell nr")));
    txt_freqmem = new QLineEdit(this);
    txt_freqmem->setObjectName(QStringLiteral("txt_freqmem"));
    txt_freqmem->setAccessibleName(QStringLiteral("Freq."));
    txt_freqmem->setMaxLength(10);
    form->addRow(QStringLiteral("&Freq."), txt_freqmem);
    form->addRow(QStringLiteral("&Att."), combo(cmb_att, "cmb_att", QStringLiteral("Att.")));
    form->addRow(QStringLiteral("&Bw"), combo(cmb_bw, "cmb_bw", QStringLiteral("Bw")));
    form->addRow(QStringLiteral("&Mode"), combo(cmb_md, "cmb_md", QStringLiteral("Mode")));
    form->addRow(QStringLiteral("A&gc"), combo(cmb_agc, "cmb_agc", QStringLiteral("Agc")));
    txt_tag = new QLineEdit(this);
    txt_tag->setObjectName(QStringLiteral("txt_tag"));
    txt_tag->setAccessibleName(QStringLiteral("Add. info"));
    txt_tag->setMaxLength(mem2::kMaxTag);
    txt_tag->setMinimumWidth(260);
    form->addRow(QStringLiteral("Add. &info"), txt_tag);

    lbl_action = new QLabel(QString::fromLatin1(actionName(action)), this);
    lbl_action->setObjectName(QStringLiteral("lbl_action"));
    // Read out as the action it shows.
    lbl_action->setAccessibleDescription(QStringLiteral("Action"));
    QFont f = lbl_action->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    lbl_action->setFont(f);
    lbl_action->setAlignment(Qt::AlignCenter);
    lbl_action->setStyleSheet(QStringLiteral(
        "QLabel { background: rgb(255, 224, 192); border: 1px solid #b08060; padding: 3px; }"));

    cmd_ToMMW = kit::button(this, QStringLiteral("cmd_ToMMW"), QStringLiteral("To MM&W"));
    cmd_ToRM = kit::button(this, QStringLiteral("cmd_ToRM"), QStringLiteral("To &RxM"));
    cmd_ToRM->setEnabled(!app_.settings.noRx());
    cmd_cancel = kit::button(this, QStringLiteral("cmd_cancel"), QStringLiteral("Cancel"));
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmd_ToMMW);
    buttons->addWidget(cmd_ToRM);
    buttons->addStretch(1);
    buttons->addWidget(cmd_cancel);

    auto *top = new QVBoxLayout(this);
    top->addWidget(lbl_action);
    top->addLayout(form);
    top->addLayout(buttons);

    connect(cmd_ToMMW, &QPushButton::clicked, this, &memcell::on_ToMMW);
    connect(cmd_ToRM, &QPushButton::clicked, this, &memcell::on_ToRM);
    connect(cmd_cancel, &QPushButton::clicked, this, &QWidget::close);

    // Window load.
    for (int i = 0; i < mem2::kChannels; ++i)
        cmb_cell->addItem(mem2::ch3(i));
    fillList(cmb_att, app_.cap.att, 2);
    fillList(cmb_bw, app_.cap.bw, 4);
    fillList(cmb_md, app_.cap.mode, 9);
    fillList(cmb_agc, app_.cap.agc, 3);
    boxes_[0] = cmb_att;
    boxes_[1] = cmb_bw;
    boxes_[2] = cmb_md;
    boxes_[3] = cmb_agc;
    for (int b = 0; b < 4; ++b)
        connect(boxes_[b], &QComboBox::activated, this, [this, b] { kept_[b] = -1; });
    const int row = std::clamp<int>(mem2::table().mem_row, 0, mem2::kChannels - 1);
    cmb_cell->setCurrentIndex(row);
    if (action_ != MemMan::ActDump)
        fill_from_table();
}

void memcell::fill_from_table()
{
    const int row = cmb_cell->currentIndex();
    const QString &rec = mem2::table().rec[row];
    if (mem2::recordHz(rec) == 0) {
        empty_fields();
        return;
    }
    txt_freqmem->setText(mem2::selFreqText(rec));
    const int pos[4] = {5, 6, 7, 16};
    for (int b = 0; b < 4; ++b) {
        QComboBox *box = boxes_[b];
        const int code = mem2::codeAt(rec, pos[b]);
        box->setCurrentIndex(code >= 0 && code < box->count() ? code : -1);
        // A code without a caption (Narr without the filter, ATT 2, AGC 3)
        // shows an empty box but stays what it was unless the user picks.
        kept_[b] = (code >= 0 && boxCode(box) < 0) ? code : -1;
    }
    txt_tag->setText(mem2::table().tag[row]);
}

void memcell::empty_fields()
{
    txt_freqmem->clear();
    for (int b = 0; b < 4; ++b) {
        boxes_[b]->setCurrentIndex(-1);
        kept_[b] = -1;
    }
}

int memcell::code_of(int b) const
{
    const int code = boxCode(boxes_[b]);
    return code >= 0 ? code : kept_[b];
}

QString memcell::build_record() const
{
    const double khz = fmt::val(txt_freqmem->text());
    QString rec = QLatin1Char('L') + cmb_cell->currentText() + QStringLiteral("   ") +
                  fmt::hz8(khz) + QLatin1Char(' ');
    const int pos[4] = {5, 6, 7, 16};
    for (int b = 0; b < 4; ++b) {
        const int code = code_of(b);
        if (code >= 0 && pos[b] - 1 < rec.size())
            rec[pos[b] - 1] = fmt::lastDigit(code);
    }
    return rec;
}

bool memcell::check_fields()
{
    const double khz = fmt::val(txt_freqmem->text());
    if (txt_freqmem->text().trimmed().isEmpty() || !rxlimits::inRange(khz)) {
        app_.prompter->message(QStringLiteral("The frequency must lie between\n"
                                              "10 and 29999.999 kHz"),
                               QStringLiteral("Memory cell contents"), Prompter::Exclamation);
        txt_freqmem->setFocus();
        txt_freqmem->selectAll();
        return false;
    }
    const char *names[4] = {"Att.", "Bw", "Mode", "Agc"};
    for (int b = 0; b < 4; ++b) {
        if (code_of(b) < 0) {
            app_.prompter->message(QStringLiteral("Please choose a setting in\nthe box ") +
                                       QString::fromLatin1(names[b]),
                                   QStringLiteral("Memory cell contents"), Prompter::Exclamation);
            boxes_[b]->setFocus();
            return false;
        }
    }
    return true;
}

void memcell::on_ToMMW()
{
    const QString channel = cmb_cell->currentText();
    const int c = cmb_cell->currentIndex();
    QString rec;
    QString question;
    if (action_ == MemMan::ActDelete) {
        empty_fields();
        question = QStringLiteral("You want to empty the MemMan\nWindow cell ") + channel;
    } else {
        if (!check_fields())
            return;
        rec = build_record();
        question = QStringLiteral("You want to fill the MemMan\nWindow cell ") + channel +
                   QStringLiteral(" with the\nsettings shown");
    }
    if (app_.prompter->message(question, QStringLiteral("Change MemMan Window"),
                               Prompter::Question, Prompter::YesNoCancel) != Prompter::AnsYes)
        return;
    if (c < 0)
        return;

    mem2::MemTable &t = mem2::table();
    t.unknown[c] = false; // what the user wrote is known
    if (action_ == MemMan::ActDelete) {
        t.rec[c] = t.rec[c].left(4) + QLatin1Char('V');
        t.tag[c].clear();
        if (owner_)
            owner_->set_row_cells(c, {mem2::ch3(c), QStringLiteral("no data")});
    } else {
        t.rec[c] = rec;
        t.tag[c] = txt_tag->text();
        if (owner_)
            owner_->show_row(c, true);
    }
    app_.prompter->message(QStringLiteral("MeMan Window cell\n") + channel +
                               QStringLiteral(" is now updated"),
                           QStringLiteral("MemMan Window is changed"), Prompter::Information);
}

void memcell::on_ToRM()
{
    const QString channel = cmb_cell->currentText();
    const int c = cmb_cell->currentIndex();
    QString rec;
    QString question;
    if (action_ == MemMan::ActDelete) {
        question = QStringLiteral("You want to empty the receiver\nmemory cell ") + channel;
    } else {
        if (!check_fields())
            return;
        rec = build_record();
        question = QStringLiteral("You want to fill the receiver\nmemory cell ") + channel +
                   QStringLiteral(" with the\nsettings shown");
    }
    if (app_.prompter->message(question, QStringLiteral("Change Receiver memory"),
                               Prompter::Question, Prompter::YesNoCancel) != Prompter::AnsYes)
        return;
    App &app = app_;
    mem2::MemTable &t = mem2::table();
    const bool sent = action_ == MemMan::ActDelete ? mem2::MemTransfer::clearCell(app, t, c)
                                                   : mem2::MemTransfer::writeCell(app, t, c, rec);
    if (!sent) {
        const QString why = action_ == MemMan::ActDelete ? QString() : mem2::sendFault(rec);
        app.prompter->message(mem2::recordKind(rec) == mem2::RecKind::Data && !why.isEmpty()
                                  ? QStringLiteral("The receiver cannot hold the settings shown:\n%1;\n"
                                                   "nothing was sent.").arg(why)
                                  : QStringLiteral("The settings shown do not make a memory record;\n"
                                                   "nothing was sent."),
                              QStringLiteral("Change Receiver memory"), Prompter::Exclamation);
        return;
    }
    if (app.rx->portLost())
        return;
    app.prompter->message(QStringLiteral("Reciver memory cell\n") + channel +
                              QStringLiteral(" is now updated"),
                          QStringLiteral("Receiver memory is changed"), Prompter::Information);
}
