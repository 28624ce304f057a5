#include "schedules/eibi.h"

#include "common/textfile.h"
#include "schedules/ilgconvert.h"
#include "schedules/onair.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace eibi {

namespace {

// ITU country codes: the name written into the country column (12
// characters) and the area the country lies in.
struct Country {
    const char *code, *name, *area;
};
const Country kCountries[] = {
    {"AFG", "Afghanistan", "AS"},  {"AFS", "South Africa", "AF"}, {"AGL", "Angola", "AF"},
    {"ALB", "Albania", "EU"},      {"ALG", "Algeria", "AF"},      {"ARG", "Argentina", "SA"},
    {"ARM", "Armenia", "AS"},      {"ARS", "Saudi Arabia", "ME"}, {"ASC", "Ascension", "AF"},
    {"AUS", "Australia", "AU"},    {"AUT", "Austria", "EU"},      {"AZE", "Azerbaijan", "AS"},
    {"B", "Brazil", "SA"},         {"BEL", "Belgium", "EU"},      {"BGD", "Bangladesh", "AS"},
    {"BHR", "Bahrain", "ME"},      {"BIH", "Bosnia", "EU"},       {"BLR", "Belarus", "EU"},
    {"BOL", "Bolivia", "SA"},      {"BOT", "Botswana", "AF"},     {"BUL", "Bulgaria", "EU"},
    {"CAN", "Canada", "NA"},       {"CHL", "Chile", "SA"},        {"CHN", "China", "AS"},
    {"CLM", "Colombia", "SA"},     {"CME", "Cameroon", "AF"},     {"CTR", "Costa Rica", "CA"},
    {"CUB", "Cuba", "CA"},         {"CVA", "Vatican", "EU"},      {"CYP", "Cyprus", "EU"},
    {"CZE", "Czechia", "EU"},      {"D", "Germany", "EU"},        {"DNK", "Denmark", "EU"},
    {"E", "Spain", "EU"},          {"EGY", "Egypt", "AF"},        {"EQA", "Ecuador", "SA"},
    {"EST", "Estonia", "EU"},      {"ETH", "Ethiopia", "AF"},     {"F", "France", "EU"},
    {"FIN", "Finland", "EU"},      {"G", "UK", "EU"},             {"GAB", "Gabon", "AF"},
    {"GEO", "Georgia", "AS"},      {"GNE", "Eq. Guinea", "AF"},   {"GRC", "Greece", "EU"},
    {"GTM", "Guatemala", "CA"},    {"GUM", "Guam", "PA"},         {"GUY", "Guyana", "SA"},
    {"HND", "Honduras", "CA"},     {"HNG", "Hungary", "EU"},      {"HOL", "Netherlands", "EU"},
    {"HRV", "Croatia", "EU"},      {"I", "Italy", "EU"},          {"IND", "India", "AS"},
    {"INS", "Indonesia", "AS"},    {"IRL", "Ireland", "EU"},      {"IRN", "Iran", "ME"},
    {"IRQ", "Iraq", "ME"},         {"ISL", "Iceland", "EU"},      {"ISR", "Israel", "ME"},
    {"J", "Japan", "AS"},          {"JOR", "Jordan", "ME"},       {"KAZ", "Kazakhstan", "AS"},
    {"KEN", "Kenya", "AF"},        {"KGZ", "Kyrgyzstan", "AS"},   {"KOR", "South Korea", "AS"},
    {"KRE", "North Korea", "AS"},  {"KWT", "Kuwait", "ME"},       {"LBN", "Lebanon", "ME"},
    {"LBY", "Libya", "AF"},        {"LTU", "Lithuania", "EU"},    {"LUX", "Luxembourg", "EU"},
    {"LVA", "Latvia", "EU"},       {"MDA", "Moldova", "EU"},      {"MDG", "Madagascar", "AF"},
    {"MEX", "Mexico", "CA"},       {"MLA", "Malaysia", "AS"},     {"MLI", "Mali", "AF"},
    {"MLT", "Malta", "EU"},        {"MNG", "Mongolia", "AS"},     {"MRA", "N. Marianas", "PA"},
    {"MRC", "Morocco", "AF"},      {"NIG", "Nigeria", "AF"},      {"NOR", "Norway", "EU"},
    {"NPL", "Nepal", "AS"},        {"NZL", "New Zealand", "PA"},  {"OMA", "Oman", "ME"},
    {"PAK", "Pakistan", "AS"},     {"PHL", "Philippines", "AS"},  {"PLW", "Palau", "PA"},
    {"PNG", "Papua N.G.", "PA"},   {"POL", "Poland", "EU"},       {"POR", "Portugal", "EU"},
    {"PRU", "Peru", "SA"},         {"QAT", "Qatar", "ME"},        {"ROU", "Romania", "EU"},
    {"RUS", "Russia", "EU"},       {"RRW", "Rwanda", "AF"},       {"S", "Sweden", "EU"},
    {"SDN", "Sudan", "AF"},        {"SNG", "Singapore", "AS"},    {"SOM", "Somalia", "AF"},
    {"SRB", "Serbia", "EU"},       {"SRL", "Sri Lanka", "AS"},    {"SSD", "South Sudan", "AF"},
    {"SUI", "Switzerland", "EU"},  {"SVK", "Slovakia", "EU"},     {"SVN", "Slovenia", "EU"},
    {"SWZ", "Eswatini", "AF"},     {"SYR", "Syria", "ME"},        {"TCD", "Chad", "AF"},
    {"THA", "Thailand", "AS"},     {"TJK", "Tajikistan", "AS"},   {"TKM", "Turkmenistan", "AS"},
    {"TUN", "Tunisia", "AF"},      {"TUR", "Turkey", "EU"},       {"TWN", "Taiwan", "AS"},
    {"TZA", "Tanzania", "AF"},     {"UAE", "UAE", "ME"},          {"UGA", "Uganda", "AF"},
    {"UKR", "Ukraine", "EU"},      {"URG", "Uruguay", "SA"},      {"USA", "USA", "NA"},
    {"UZB", "Uzbekistan", "AS"},   {"VEN", "Venezuela", "SA"},    {"VTN", "Vietnam", "AS"},
    {"YEM", "Yemen", "ME"},        {"ZMB", "Zambia", "AF"},       {"ZWE", "Zimbabwe", "AF"},
};

const Country *findCountry(const QString &code)
{
    for (const Country &c : kCountries)
        if (code.compare(QLatin1String(c.code), Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

// Continent and region codes of the target field and the areas they cover.
struct Region {
    const char *code, *areas;
};
const Region kRegions[] = {
    {"Eu", "EU"},   {"WEu", "EU"},  {"EEu", "EU"},  {"CEu", "EU"},  {"SEu", "EU"},
    {"NEu", "EU"},  {"SEE", "EU"},  {"Bal", "EU"},  {"Sca", "EU"},  {"Af", "AF"},
    {"WAf", "AF"},  {"EAf", "AF"},  {"SAf", "AF"},  {"NAf", "AF"},  {"CAf", "AF"},
    {"HoA", "AF"},  {"ME", "ME"},   {"Mde", "ME"},  {"NME", "ME"},  {"As", "AS"},
    {"EAs", "AS"},  {"SAs", "AS"},  {"SEA", "AS"},  {"CAs", "AS"},  {"WAs", "AS"},
    {"FE", "AS"},   {"NAm", "NA"},  {"CAm", "CA"},  {"Car", "CA"},  {"SAm", "SA"},
    {"LAm", "CA SA"}, {"Am", "NA CA SA"}, {"Oc", "AU PA"}, {"Pac", "PA"}, {"NZ", "PA"},
};

bool digits(QStringView s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// hhmm with hh 00-24 and mm 00-59; 24 only as 2400.
bool hhmm(QStringView s)
{
    if (s.size() != 4 || !digits(s))
        return false;
    const int h = s.left(2).toInt(), m = s.mid(2).toInt();
    return m < 60 && (h < 24 || (h == 24 && m == 0));
}

} // namespace

QString countryOf(const QString &itu)
{
    const Country *c = findCountry(itu.trimmed());
    return c ? QLatin1String(c->name) : itu.trimmed();
}

QString areaFlags(const QString &target, const QStringList &regionCodes)
{
    QString flags(9, QLatin1Char('0'));
    auto mark = [&](const QString &areas) {
        for (const QString &a : areas.split(QLatin1Char(' ')))
            if (const qsizetype k = regionCodes.indexOf(a); k >= 0 && k < 9)
                flags[k] = QLatin1Char('1');
    };
    static const QRegularExpression sep(QStringLiteral("[/,+& ]+"));
    for (const QString &tok : target.split(sep, Qt::SkipEmptyParts)) {
        bool found = false;
        for (const Region &r : kRegions)
            if (tok.compare(QLatin1String(r.code), Qt::CaseInsensitive) == 0) {
                mark(QLatin1String(r.areas));
                found = true;
                break;
            }
        if (!found)
            if (const Country *c = findCountry(tok))
                mark(QLatin1String(c->area));
    }
    return flags;
}

Parsed parseLine(const QString &text, const QStringList &regionCodes)
{
    Parsed p;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')) ||
        trimmed.startsWith(QLatin1String("kHz"), Qt::CaseInsensitive)) {
        p.ignored = true;
        return p;
    }
    const QStringList f = text.split(QLatin1Char(';'));
    if (f.size() < 7 || f.at(4).trimmed().isEmpty()) {
        p.bad = Bad::Fields;
        return p;
    }
    const std::optional<double> khz = ilg::freqOf(f.at(0));
    if (!khz || *khz <= 0) {
        p.bad = Bad::Frequency;
        return p;
    }
    const QString time = f.at(1).trimmed();
    if (time.size() != 9 || time.at(4) != QLatin1Char('-') || !hhmm(QStringView(time).left(4)) ||
        !hhmm(QStringView(time).mid(5))) {
        p.bad = Bad::Time;
        return p;
    }
    ilg::Record r;
    r.utc = time;
    r.station = f.at(4).trimmed();
    r.language = f.at(5).trimmed();
    r.target = f.at(6).trimmed();
    r.country = countryOf(f.at(3));
    const QString flags = areaFlags(r.target, regionCodes);
    for (int k = 0; k < regionCodes.size(); ++k)
        r.areas << (k < 9 && flags.at(k) == QLatin1Char('1') ? regionCodes.at(k) : QString());
    p.khz = *khz;
    p.line = ilg::ftlLine(r, *khz, regionCodes);
    // The days of the week after the country, when the field names them.
    if (const QString days = onair::dayDigits(f.at(2).trimmed()); !days.isEmpty())
        p.line += QLatin1Char(' ') + days.leftJustified(onair::DaysWidth, QLatin1Char(' '));
    return p;
}

QString Result::summary(const QString &outName) const
{
    QString s = QStringLiteral("%1 record(s) imported into %2.").arg(records).arg(outName);
    if (bad > 0) {
        QStringList why;
        if (badFields)
            why << QStringLiteral("%1 with missing fields").arg(badFields);
        if (badFreq)
            why << QStringLiteral("%1 with a frequency that is not a number").arg(badFreq);
        if (badTime)
            why << QStringLiteral("%1 with a time that is not hhmm-hhmm").arg(badTime);
        QStringList nums;
        for (int n : badLines)
            nums << QString::number(n);
        s += QStringLiteral("\n%1 line(s) skipped (%2): line %3%4.")
                 .arg(bad)
                 .arg(why.join(QStringLiteral(", ")), nums.join(QStringLiteral(", ")),
                      bad > badLines.size() ? QStringLiteral(", ...") : QString());
    }
    return s;
}

namespace {

// A good record of the input while the file is read: its frequency and
// where its input line is kept. The lines are kept as UTF-8 in large
// pieces, about the size of the file; the .ftl lines are made again from
// them one at a time as they are written, so the import never holds the
// whole output (a list of some million lines would otherwise take many
// times the file's size).
struct Kept {
    double khz;
    int piece, at, len;
};

struct Scan {
    Result res;
    std::vector<Kept> recs;
    std::vector<QByteArray> pieces;

    static constexpr int kPiece = 4 << 20;

    void keep(double khz, const QString &text)
    {
        const QByteArray u = text.toUtf8();
        if (pieces.empty() || pieces.back().size() + u.size() > kPiece) {
            pieces.emplace_back();
            pieces.back().reserve(qMax<qsizetype>(kPiece, u.size()));
        }
        QByteArray &b = pieces.back();
        recs.push_back({khz, int(pieces.size() - 1), int(b.size()), int(u.size())});
        b += u;
    }
    QString line(const Kept &k) const
    {
        return QString::fromUtf8(QByteArrayView(pieces[size_t(k.piece)]).sliced(k.at, k.len));
    }
};

// Reads the input line by line; the good records come out in order of
// rising frequency (stable). res.ok when there is at least one.
Scan scan(const QString &csvPath, const QStringList &regionCodes, const Progress &progress)
{
    Scan sc;
    Result &res = sc.res;
    const qint64 size = qMax<qint64>(1, QFileInfo(csvPath).size());
    qint64 seen = 0;
    int lineNo = 0;
    QString error;
    const bool read = textfile::readEach(
        csvPath, -1,
        [&](const QString &text) {
            ++lineNo;
            seen += text.size() + 2;
            const Parsed p = parseLine(text, regionCodes);
            if (p.bad != Bad::None) {
                ++res.bad;
                res.badFields += p.bad == Bad::Fields;
                res.badFreq += p.bad == Bad::Frequency;
                res.badTime += p.bad == Bad::Time;
                if (res.badLines.size() < 20)
                    res.badLines << lineNo;
            } else if (!p.ignored) {
                sc.keep(p.khz, text);
            }
            if (progress && lineNo % 1000 == 0 &&
                progress(int(qMin<qint64>(99, seen * 100 / size)))) {
                res.stopped = true;
                return false;
            }
            return true;
        },
        nullptr, &error);
    if (!read) {
        res.error = error;
        return sc;
    }
    if (res.stopped)
        return sc;
    if (sc.recs.empty()) {
        res.error = QStringLiteral("%1 holds no broadcast records (kHz;hhmm-hhmm;days;ITU;station;"
                                   "language;target;...); nothing was written.")
                        .arg(QDir::toNativeSeparators(csvPath));
        return sc;
    }
    std::stable_sort(sc.recs.begin(), sc.recs.end(),
                     [](const Kept &a, const Kept &b) { return a.khz < b.khz; });
    res.ok = true;
    res.records = int(sc.recs.size());
    return sc;
}

} // namespace

Result read(const QString &csvPath, const QStringList &regionCodes, QStringList *lines,
            const Progress &progress)
{
    lines->clear();
    Scan sc = scan(csvPath, regionCodes, progress);
    if (sc.res.ok) {
        lines->reserve(qsizetype(sc.recs.size()));
        for (const Kept &k : sc.recs)
            *lines << parseLine(sc.line(k), regionCodes).line;
    }
    return sc.res;
}

Result import(const QString &csvPath, const QString &outPath, const QStringList &regionCodes,
              const Progress &progress)
{
    Scan sc = scan(csvPath, regionCodes, progress);
    Result res = sc.res;
    if (!res.ok)
        return res;
    size_t i = 0;
    QString error;
    const bool written = textfile::writeEach(
        outPath,
        [&](QString *line) {
            if (i >= sc.recs.size())
                return false;
            *line = parseLine(sc.line(sc.recs[i++]), regionCodes).line;
            return true;
        },
        &error);
    if (!written) {
        res.ok = false;
        res.records = 0;
        res.error = error;
        return res;
    }
    if (progress)
        progress(100);
    return res;
}

QString ftlNameFor(const QString &csvPath)
{
    return QFileInfo(csvPath).completeBaseName() + QStringLiteral(".ftl");
}

} // namespace eibi
