#include "common/ui/buttons.h"

#include <QBoxLayout>
#include <QPushButton>

namespace kit {

QString shownText(const QString &caption)
{
    return QString(caption).remove(QLatin1Char('&'));
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, const Look &look)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAccessibleName(shownText(caption));
    b->setAutoDefault(false);
    if (look.fitCaption)
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(caption) + 28);
    else if (look.minWidth > 0)
        b->setMinimumWidth(look.minWidth);
    if (!look.tip.isEmpty())
        b->setToolTip(look.tip);
    if (!look.key.isEmpty())
        b->setShortcut(look.key);
    return b;
}

QHBoxLayout *buttonRow(QWidget *parent, const std::vector<ButtonDef> &defs, Align align, const Look &look,
                       QPushButton *after)
{
    auto *row = new QHBoxLayout;
    if (align == Align::Right)
        row->addStretch();
    QPushButton *previous = after;
    for (const ButtonDef &d : defs) {
        QPushButton *b = button(parent, QString::fromLatin1(d.name), d.caption, look);
        d.slot = b;
        if (d.clicked)
            QObject::connect(b, &QPushButton::clicked, parent, d.clicked);
        if (previous)
            QWidget::setTabOrder(previous, b);
        previous = b;
        row->addWidget(b);
    }
    return row;
}

void addButtonRows(QBoxLayout *to, QWidget *parent, const std::vector<ButtonDef> &main,
                   const std::vector<ButtonDef> &extra)
{
    to->addLayout(buttonRow(parent, main));
    if (extra.empty())
        return;
    QPushButton *last = main.back().slot;
    to->addLayout(buttonRow(parent, extra, Align::Right, {}, last));
}

} // namespace kit
