#include "settings/settings.h"

#include "common/fmt.h"
#include "common/textfile.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <limits>

QString Settings::sub(const QString &name) const
{
    return base_dir + name + QLatin1Char('/');
}

namespace settingsfile {

namespace {
// Line index (0-based) of the serial device: after 3 text lines and the
// twenty numeric values.
constexpr int kDeviceLine = 3 + 20;

// A double beyond a float's range becomes an infinity (a plain conversion
// would be undefined); checkRanges then puts it right.
float toFloat(double d)
{
    constexpr double maxF = std::numeric_limits<float>::max();
    if (std::isnan(d))
        return 0;
    if (d > maxF)
        return std::numeric_limits<float>::infinity();
    if (d < -maxF)
        return -std::numeric_limits<float>::infinity();
    return static_cast<float>(d);
}
} // namespace

Settings parse(const QString &text)
{
    Settings s;
    const QStringList l = textfile::splitLines(text);
    if (l.size() > 0) s.base_dir = l[0];
    if (l.size() > 1) s.rx_lat = l[1];
    if (l.size() > 2) s.rx_long = l[2];
    for (int i = 3; i < l.size() && i - 2 <= 20; ++i)
        s.v[i - 2] = toFloat(fmt::valUnbounded(l[i])); // too large: called so
    if (l.size() > kDeviceLine && !l[kDeviceLine].contains(QLatin1Char('=')))
        s.port_device = l[kDeviceLine].trimmed();
    // The program's own values after the twentieth number and the device.
    for (int i = kDeviceLine; i < l.size(); ++i) {
        const QString t = l[i].trimmed();
        if (t.startsWith(QLatin1String("rigctl_port="))) {
            const double p = fmt::val(t.mid(12));
            s.rigctl_port = (p >= 1 && p <= 65535) ? int(p) : 0;
        } else if (t.startsWith(QLatin1String("web_port="))) {
            const double p = fmt::val(t.mid(9));
            s.web_port = (p >= 1 && p <= 65535) ? int(p) : 0;
        } else if (t.startsWith(QLatin1String("follow_dial="))) {
            s.follow_dial = t.mid(12).trimmed() == QLatin1String("1");
        } else if (t.startsWith(QLatin1String("rec_source="))) {
            const QString v = t.mid(11).trimmed();
            s.rec_source = v.isEmpty() ? QStringLiteral("default") : v;
        } else if (t.startsWith(QLatin1String("rec_format="))) {
            const QString v = t.mid(11).trimmed().toLower();
            if (v == QLatin1String("flac") || v == QLatin1String("opus") || v == QLatin1String("wav"))
                s.rec_format = v;
        } else if (t.startsWith(QLatin1String("line_trace="))) {
            s.line_trace = t.mid(11).trimmed() == QLatin1String("1");
        } else if (t.startsWith(QLatin1String("fast_mem_read="))) {
            s.fast_mem_read = t.mid(14).trimmed() == QLatin1String("1");
        } else if (t.startsWith(QLatin1String("panel_meter="))) {
            s.panel_meter = t.mid(12).trimmed() == QLatin1String("1");
        } else if (t.startsWith(QLatin1String("high_contrast="))) {
            s.high_contrast = t.mid(14).trimmed() == QLatin1String("1");
        } else if (t.startsWith(QLatin1String("rigctl_listen="))) {
            const QString v = t.mid(14).trimmed();
            s.rigctl_listen = v.isEmpty() ? s.rigctl_listen : v;
        } else if (t.startsWith(QLatin1String("rigctl_trust="))) {
            s.rigctl_trust = t.mid(13).trimmed();
        } else if (t.startsWith(QLatin1String("rigctl_allow="))) {
            s.rigctl_allow = t.mid(13).trimmed();
        } else if (t.startsWith(QLatin1String("rigctl_password="))) {
            s.rigctl_password = t.mid(16).trimmed();
        } else if (t.startsWith(QLatin1String("rigctl_readonly_password="))) {
            s.rigctl_readonly_password = t.mid(25).trimmed();
        } else if (t.startsWith(QLatin1String("sked_base="))) {
            const QString v = t.mid(10).trimmed();
            s.sked_base = v.isEmpty() ? s.sked_base : v;
        } else if (t.startsWith(QLatin1String("sked_weekly="))) {
            s.sked_weekly = t.mid(12).trimmed() == QLatin1String("1");
        }
    }
    return s;
}

bool load(const QString &path, Settings *out, QString *error, QStringList *notes)
{
    // Three text lines, at most twenty numbers and the device; anything after
    // is ignored, so a huge or garbled file costs no more than a good one.
    QStringList lines;
    bool more = false;
    if (!textfile::readLinesLimited(path, kDeviceLine + 1 + 16, &lines, &more, error))
        return false;
    *out = parse(lines.join(QLatin1Char('\n')));
    const QStringList n = checkRanges(out);
    if (notes)
        *notes = n;
    return true;
}

QStringList checkRanges(Settings *s)
{
    QStringList notes;
    auto note = [&](const QString &name, float read, const QString &range, float used) {
        notes << QStringLiteral("%1 %2 is out of range (%3): %4 is used.")
                     .arg(name,
                          std::isfinite(read) && std::fabs(read) < 1e9f
                              ? numberText(read).trimmed()
                              : QStringLiteral("(a number too large)"),
                          range, numberText(used).trimmed());
    };
    auto wholeIn = [](float f, int lo, int hi) {
        return std::isfinite(f) && f == std::floor(f) && f >= lo && f <= hi;
    };
    if (!wholeIn(s->v[1], 1, 4)) {
        note(QStringLiteral("CommPort"), s->v[1], QStringLiteral("1 to 4"), 1);
        s->v[1] = 1;
    }
    if (!std::isfinite(s->v[2]) || s->v[2] < -13 || s->v[2] > 13) {
        note(QStringLiteral("LT-UTC"), s->v[2], QStringLiteral("-13 to +13 h"), 0);
        s->v[2] = 0;
    }
    if (!wholeIn(s->v[7], 0, 8)) {
        note(QStringLiteral("RX Target Area"), s->v[7], QStringLiteral("0 to 8"), 3);
        s->v[7] = 3;
    }
    static const char *dims[4] = {"DIM BDX", "DIM OWN", "DIM LOG", "DIM ILG"};
    for (int i = 0; i < 4; ++i) {
        float &d = s->v[8 + i];
        if (std::isfinite(d) && d >= 1 && d <= 30)
            continue;
        const float used = d > 30 ? 30.0f : 1.0f;
        note(QString::fromLatin1(dims[i]), d, QStringLiteral("1 to 30"), used);
        d = used;
    }
    return notes;
}

QString rangeMessage(const QString &path, const QStringList &notes)
{
    return QStringLiteral("Some values in the settings file\n%1\nare out of range:\n%2\n"
                          "Set-Up shows the values used; Save writes them.")
        .arg(QDir::toNativeSeparators(path), notes.join(QLatin1Char('\n')));
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
    // that knows only the described values reads the file as before: the
    // serial device, then named values.
    const bool recDefault =
        s->rec_source == QLatin1String("default") && s->rec_format == QLatin1String("flac");
    const bool netDefault = s->rigctl_listen == QLatin1String("127.0.0.1") && !s->rigctl_trust &&
                            s->rigctl_allow.isEmpty() && s->rigctl_password.isEmpty() &&
                            s->rigctl_readonly_password.isEmpty();
    const bool skedDefault = s->sked_base == Settings().sked_base && !s->sked_weekly;
    if (!s->port_device.isEmpty() || s->rigctl_port > 0 || s->web_port > 0 || s->follow_dial || s->line_trace ||
        !recDefault || s->fast_mem_read || s->panel_meter || s->high_contrast || !netDefault ||
        !skedDefault) {
        while (out.size() < kDeviceLine)
            out << QString(); // values 16-20 are never written
        out << s->port_device;
        if (s->rigctl_port > 0)
            out << QStringLiteral("rigctl_port=%1").arg(s->rigctl_port);
        if (s->web_port > 0)
            out << QStringLiteral("web_port=%1").arg(s->web_port);
        if (s->follow_dial)
            out << QStringLiteral("follow_dial=1");
        if (s->line_trace)
            out << QStringLiteral("line_trace=1");
        if (!recDefault)
            out << QStringLiteral("rec_source=%1").arg(s->rec_source)
                << QStringLiteral("rec_format=%1").arg(s->rec_format);
        if (s->fast_mem_read)
            out << QStringLiteral("fast_mem_read=1");
        if (s->panel_meter)
            out << QStringLiteral("panel_meter=1");
        if (s->high_contrast)
            out << QStringLiteral("high_contrast=1");
        if (s->rigctl_listen != QLatin1String("127.0.0.1"))
            out << QStringLiteral("rigctl_listen=") + s->rigctl_listen;
        if (s->rigctl_trust)
            out << QStringLiteral("rigctl_trust=") + *s->rigctl_trust;
        if (!s->rigctl_allow.isEmpty())
            out << QStringLiteral("rigctl_allow=") + s->rigctl_allow;
        if (!s->rigctl_password.isEmpty())
            out << QStringLiteral("rigctl_password=") + s->rigctl_password;
        if (!s->rigctl_readonly_password.isEmpty())
            out << QStringLiteral("rigctl_readonly_password=") + s->rigctl_readonly_password;
        if (s->sked_base != Settings().sked_base)
            out << QStringLiteral("sked_base=") + s->sked_base;
        if (s->sked_weekly)
            out << QStringLiteral("sked_weekly=1");
    }
    return out;
}

bool save(Settings *s, QString *error)
{
    return saveTo(s->base_dir + QLatin1String(fileName), s, error);
}

bool saveTo(const QString &path, Settings *s, QString *error)
{
    return textfile::writeLines(path, lines(s), error);
}

namespace {
bool samePath(const QString &a, const QString &b)
{
    const QFileInfo fa(a), fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}
} // namespace

bool saveAll(Settings *s, const QString &readPath, QStringList *written, QString *error)
{
    const QString copy = s->base_dir + QLatin1String(fileName);
    const QString main = readPath.isEmpty() ? copy : readPath;
    QStringList done;
    auto finish = [&](bool ok) {
        if (written)
            *written = done;
        return ok;
    };
    if (!saveTo(main, s, error))
        return finish(false);
    done << main;
    if (samePath(main, copy))
        return finish(true);
    if (!QDir().mkpath(s->base_dir)) {
        if (error)
            *error = QStringLiteral("The settings were saved in %1,\nbut the folder %2 could not be "
                                    "created for their copy.")
                         .arg(QDir::toNativeSeparators(main), QDir::toNativeSeparators(s->base_dir));
        return finish(false);
    }
    QString err;
    if (!saveTo(copy, s, &err)) {
        if (error)
            *error = QStringLiteral("The settings were saved in %1,\nbut not their copy:\n%2")
                         .arg(QDir::toNativeSeparators(main), err);
        return finish(false);
    }
    done << copy;
    return finish(true);
}

QString defaultBaseDir()
{
    return QDir::homePath() + QStringLiteral("/VRTSV6/");
}

QStringList dataSubdirs()
{
    return {QStringLiteral("BDXC"), QStringLiteral("OWN"), QStringLiteral("Rx2Db"),
            QStringLiteral("LOG"), QStringLiteral("MEM"), QStringLiteral("SAN"),
            QStringLiteral("PAN"), QStringLiteral("NEWS"), QStringLiteral("REC")};
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
