#include "settings/validate.h"

#include "common/fmt.h"
#include "settings/settings.h"

#include <cmath>

namespace settingsrules {

namespace {

FieldCheck fail(FieldCheck c, const QString &shown, const QString &message, const QString &title)
{
    c.ok = false;
    c.shown = shown;
    c.message = message;
    c.title = title;
    return c;
}

const QString kDefault = QStringLiteral("Default");

} // namespace

PathStyle nativeStyle()
{
#ifdef Q_OS_WIN
    return PathStyle::Windows;
#else
    return PathStyle::Posix;
#endif
}

QString defaultDir(PathStyle style)
{
    return style == PathStyle::Windows ? QStringLiteral("C:\\VRTSV6\\") : settingsfile::defaultBaseDir();
}

FieldCheck checkDir(const QString &text, PathStyle style)
{
    const QChar sep = style == PathStyle::Windows ? QLatin1Char('\\') : QLatin1Char('/');
    FieldCheck c;
    c.stored = text;
    if (!c.stored.endsWith(sep))
        c.stored += sep;
    c.shown = c.stored;
    bool ok;
    if (style == PathStyle::Windows)
        ok = c.stored.size() >= 2 && c.stored.at(1) == QLatin1Char(':');
    else
        ok = !text.isEmpty() && c.stored.startsWith(sep);
    if (ok)
        return c;
    const QString def = defaultDir(style);
    return fail(c, def, QStringLiteral("Invalid path\nExample ") + def, kDefault);
}

FieldCheck checkLat(const QString &text)
{
    FieldCheck c;
    c.stored = c.shown = text;
    const double v = fmt::val(text);
    if (text.size() == 5 && (text.endsWith(QLatin1Char('N')) || text.endsWith(QLatin1Char('S')))
        && v > 0 && v < 9000)
        return c;
    return fail(c, QStringLiteral("5205N"), QStringLiteral("Invalid Latitude\nExample: 5205N"),
                kDefault);
}

FieldCheck checkLong(const QString &text)
{
    FieldCheck c;
    c.stored = c.shown = text;
    const double v = fmt::val(text);
    if ((text.size() == 5 || text.size() == 6)
        && (text.endsWith(QLatin1Char('W')) || text.endsWith(QLatin1Char('E'))) && v > 0
        && v < 18000)
        return c;
    return fail(c, QStringLiteral("0445E"), QStringLiteral("Invalid Longitude\nExample: 0445E"),
                kDefault);
}

QString dimDefault(int index)
{
    static const char *defs[4] = {"2", "1", "1", "15"};
    return QString::fromLatin1(defs[(index >= 0 && index < 4) ? index : 1]);
}

FieldCheck checkDim(int index, const QString &text)
{
    FieldCheck c;
    c.stored = c.shown = text;
    c.value = fmt::val(text);
    if (c.value >= 1 && c.value <= 30)
        return c;
    return fail(c, dimDefault(index), QStringLiteral("Range is between\n1 and 30 (x 1000)"),
                kDefault);
}

FieldCheck checkTd(const QString &text)
{
    FieldCheck c;
    c.stored = c.shown = text;
    double v = fmt::val(text);
    if (v != std::floor(v))
        v = std::floor(v) + 0.5;
    c.value = v;
    const QString msg = QStringLiteral("Range is between\n+13 and -13 h");
    if (text.isEmpty() || v > 13 || v < -13)
        return fail(c, QStringLiteral("0"), msg, QStringLiteral("Default 1"));
    for (int i = 0; i < text.size(); ++i) {
        const ushort u = text.at(i).unicode();
        const bool fine = (i == 0 && u == ' ') || u == '+' || u == '-' || u == '.'
                          || (u >= '0' && u <= ':');
        if (!fine)
            return fail(c, QStringLiteral("0"), msg, QStringLiteral("Default 2"));
    }
    return c;
}

} // namespace settingsrules
