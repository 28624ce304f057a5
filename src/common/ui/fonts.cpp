#include "common/ui/fonts.h"

#include <QFontDatabase>
#include <QWidget>

namespace uifont {

QFont fixedFont(int pointSize, bool bold)
{
    static const bool courier =
        QFontDatabase::families().contains(QStringLiteral("Courier New"), Qt::CaseInsensitive);
    QFont f = courier ? QFont(QStringLiteral("Courier New"))
                      : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    if (pointSize > 0)
        f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

int twipsToPixels(int twips, const QWidget *w)
{
    const int dpi = w ? w->logicalDpiX() : 96;
    return qMax(1, int(twips / 15.0 * dpi / 96.0 + 0.5));
}

} // namespace uifont
