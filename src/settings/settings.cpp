#include "settings/settings.h"

#include "common/fmt.h"
#include "common/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

QString Settings::sub(const QString &name) const
{
    return base_dir + name + QLatin1Char('/');
}

namespace settingsfile {

Settings parse(const QString &text)
{
    Settings s;
    const QStringList l = textfile::splitLines(text);
    if (l.size() > 0) s.base_dir = l[0];
    if (l.size() > 1) s.rx_lat = l[1];
    if (l.size() > 2) s.rx_long = l[2];
    for (int i = 3; i < l.size() && i - 2 <= 20; ++i)
        s.v[i - 2] = static_cast<float>(fmt::val(l[i]));
    // The program's own values after the twentieth number.
    for (int i = 23; i < l.size(); ++i) {
        const QString t = l[i].trimmed();
        if (t.startsWith(QLatin1String("rigctl_port="))) {
            const double p = fmt::val(t.mid(12));
            s.rigctl_port = (p >= 1 && p <= 65535) ? int(p) : 0;
        }
    }
    return s;
}

bool load(const QString &path, Settings *out, QString *error)
{
    // Three text lines and at most twenty numbers; anything after is ignored,
    // so a huge or garbled file costs no more than a good one.
    QStringList lines;
    bool more = false;
    if (!textfile::readLinesLimited(path, 3 + 20 + 16, &lines, &more, error))
        return false;
    *out = parse(lines.join(QLatin1Char('\n')));
    return true;
}

QString numberText(float f)
{
    if (!std::isfinite(f))
        return fmt::blankNum(0);
    for (int dec = 0; dec <= 7; ++dec) {
        const double d = fmt::val(fmt::fixed(f, dec));
        if (static_cast<float>(d) == f)
            return fmt::blankNum(d);
    }
    return fmt::blankNum(f);
}

QStringList lines(Settings *s)
{
    QStringList out{s->base_dir, s->rx_lat, s->rx_long};
    for (int i = 8; i <= 11; ++i)
        if (s->v[i] < 1)
            s->v[i] = 1;
    for (int i = 1; i <= 15; ++i)
        out << numberText(s->v[i]);
    // The program's own values go after the twentieth number, so a reader
    // that knows only the described values reads the file as before.
    if (s->rigctl_port > 0) {
        for (int i = 16; i <= 20; ++i)
            out << numberText(s->v[i]);
        out << QStringLiteral("rigctl_port=%1").arg(s->rigctl_port);
    }
    return out;
}

bool save(Settings *s, QString *error)
{
    return textfile::writeLines(s->base_dir + QLatin1String(fileName), lines(s), error);
}

QString defaultBaseDir()
{
    return QDir::homePath() + QStringLiteral("/VRTSV6/");
}

QStringList dataSubdirs()
{
    return {QStringLiteral("BDXC"), QStringLiteral("OWN"), QStringLiteral("Rx2Db"),
            QStringLiteral("LOG"), QStringLiteral("MEM"), QStringLiteral("SAN"),
            QStringLiteral("PAN"), QStringLiteral("NEWS")};
}

Settings defaults()
{
    Settings s;
    s.base_dir = defaultBaseDir();
    s.rx_lat = QStringLiteral("5205N");
    s.rx_long = QStringLiteral("0445E");
    s.v[1] = 1;  // first serial port
    s.v[2] = 0;  // LT - UTC
    s.v[7] = 3;  // EU
    s.v[8] = 2;  // DIM BDX
    s.v[9] = 1;  // DIM OWN
    s.v[10] = 1; // DIM LOG
    s.v[11] = 15; // DIM ILG
    return s;
}

QString locate()
{
    const QString here = QDir::current().filePath(QLatin1String(fileName));
    if (QFileInfo::exists(here))
        return here;
    const QString home = defaultBaseDir() + QLatin1String(fileName);
    if (QFileInfo::exists(home))
        return home;
    return QString();
}

bool createDefault(QString *path, QString *error)
{
    Settings s = defaults();
    QDir d;
    if (!d.mkpath(s.base_dir)) {
        if (error)
            *error = QStringLiteral("The folder %1 could not be created.").arg(s.base_dir);
        return false;
    }
    for (const QString &sub : dataSubdirs())
        d.mkpath(s.base_dir + sub);
    if (!save(&s, error))
        return false;
    *path = s.base_dir + QLatin1String(fileName);
    return true;
}

} // namespace settingsfile
