#include "schedules/ui/bdxc.h"

#include "common/ui/busy.h"
#include "common/timetext.h"
#include "files/ui/filedialogs.h"
#include "link/app.h"

#include <QPushButton>

namespace {

ListWindow::Config bdxcConfig()
{
    return {schedlist::Kind::Bdx,
            QStringLiteral("bdxc"),
            QStringLiteral("BDXC"),
            QStringLiteral("cmd_load"),
            QStringLiteral("Load BDX/ADX File"),
            QStringLiteral("grd_bdx"),
            QStringLiteral("BDXC list"),
            QStringLiteral("bdxcutc"),
            4500,
            Origin::Bdxc,
            callers::Bdxc,
            QStringLiteral("BDX*TOE.TXT;ADX*TOW.TXT"),
            QStringLiteral("BDXC"),
            QStringLiteral("DIM BDX"),
            0,
            QStringLiteral("The BDXC lists BDX*TOE.TXT and the ADX lists ADX*TOW.TXT belong "
                           "there:\ncopy them into it, then Load again.")};
}

} // namespace

bdxc::bdxc(App &app, QWidget *parent) : ListWindow(app, bdxcConfig(), parent)
{
    cmd_load = findChild<QPushButton *>(QStringLiteral("cmd_load"));
    grd_bdx = grid;
    bdxcutc = utcTimer;
}

void bdxc::read_list()
{
    if (!read_table(true))
        return;
    const std::optional<QString> answer = app_.prompter->input(
        QStringLiteral("Enter time in UTC (Format: hhmm).\n"
                       "To enter current time in UTC just press enter\n"
                       "Enter 'all' to get all records in the file"),
        QStringLiteral("Selection Criterium"), timetext::hhmmOf(app_.times.utc_text));
    if (!answer)
        return;
    if (schedlist::isSelectionTime(*answer)) {
        QList<int> rows;
        {
            BusyGuard busy;
            rows = schedlist::selectTime(*table_, *answer);
        }
        show_rows(rows);
    } else if (schedlist::isSelectionAll(*answer)) {
        show_rows(schedlist::selectAll(*table_));
    }
    // Any other answer leaves the grid as it was.
}
