#include "common/ui/freqlabel.h"

#include "common/ui/fonts.h"
#include "link/app.h"
#include "link/receiver2.h"

#include <QFontMetrics>

FreqLabel::FreqLabel(App &app, const QString &objectName, const QString &description, QWidget *parent)
    : QLabel(parent), app_(app)
{
    setObjectName(objectName);
    setAccessibleDescription(description);
}

void FreqLabel::setFollowing(bool on)
{
    if (on == following())
        return;
    if (!on || !app_.rx) {
        disconnect(conn_);
        conn_ = {};
        return;
    }
    conn_ = connect(app_.rx, &Receiver2::frequencyChanged, this, [this](qint64 hz, Origin origin) {
        if (origin != Origin::Dial)
            setText(freqShown(hz));
    });
}

void FreqLabel::showKnown()
{
    if (app_.rx)
        setText(freqShown(app_.rx->knownHz().value_or(-1)));
}

void FreqLabel::setBoxed()
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont df = uifont::fixedFont(10);
    df.setBold(true);
    setFont(df);
    setMinimumWidth(QFontMetrics(df).horizontalAdvance(QStringLiteral("00000.000")) + 12);
    setStyleSheet(QStringLiteral("QLabel { background: rgb(255, 224, 192); color: black; padding: 1px 4px; }"));
}
