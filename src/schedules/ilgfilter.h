// The Db2Rx filters: the choices file "ilgfilter.ini" and the filter search
// over a converted list.
//
// ilgfilter.ini: a line starting with "***" starts the next section (section
// k fills combo box k, k = 0..5), a line starting with "===" is a comment,
// every other line is one choice of the current section. Lines before the
// first "***" and sections beyond the sixth are not used.
#pragma once
#include "schedules/ftlfile.h"
#include "schedules/onair.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace ilgfilter {

inline constexpr int Sections = 6;
inline const char *const FileName = "ilgfilter.ini";

struct Choices {
    std::array<QStringList, Sections> combo;
    int extraSections = 0; // "***" sections beyond the sixth (ignored)
    int strayLines = 0;    // lines before the first "***" (ignored)
};
Choices parse(const QStringList &lines);

// The lines of the file the program writes when there is none.
QStringList defaultLines();
// Reads base_dir + "ilgfilter.ini", writing the default first when the file
// does not exist. False with *error (naming the file and the reason) when
// it can be neither read nor created; *out then holds empty lists.
bool readOrCreate(const QString &baseDir, Choices *out, QString *error, bool *created = nullptr);

// The dialog's state: six check boxes and six combo texts (0 = from MHz,
// 1 = to MHz, 2 language, 3 station, 4 TX country, 5 target area; check
// box 4 is "on the air now" and has no combo of its own).
// Beside them the time choice: on the air now or within the next hours at
// the UTC moment `at` (the days of the week counted); Any leaves it out.
struct Criteria {
    std::array<bool, Sections> on{};
    std::array<QString, Sections> text;
    onair::When when = onair::When::Any;
    onair::Moment at;
};

// Prefix match in upper case: the first text.size() characters of line from
// column col (1-based) equal text.
bool prefixMatch(const QString &line, int col, const QString &text);

// Progress in percent (0-100), called every 1000 lines.
using Progress = std::function<void(int percent)>;

// Indexes (0-based) of the lines that pass every filter, inside the
// frequency range found by the walks. t is the current UTC time hhmm as a
// number; regionCodes the nine area codes.
QList<int> search(const QStringList &lines, const Criteria &c, int t,
                  const QStringList &regionCodes, const Progress &progress = {});

// The window's status line: "12 of 400 shown", with the time choice and
// its UTC moment when one is made: "12 of 400 shown (On air now, Sat 08:15
// UTC)", "(Next 3 h from Sat 08:15 UTC)".
QString shownText(int shown, int total, onair::When when = onair::When::Any, const QDateTime &utc = {});

// The list entry of a passed line: its first 77 characters and its
// characters from column 101 on (position and area flags left out).
QString entryOf(const QString &line);

} // namespace ilgfilter
