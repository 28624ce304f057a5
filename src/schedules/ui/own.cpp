#include "schedules/ui/own.h"

#include "files/ui/filedialogs.h"
#include "link/app.h"

#include <QPushButton>

namespace {

ListWindow::Config ownConfig()
{
    return {schedlist::Kind::Own,
            QStringLiteral("own"),
            QStringLiteral("Own"),
            QStringLiteral("cmd_Load"),
            QStringLiteral("Load Own File"),
            QStringLiteral("grd_own"),
            QStringLiteral("Own list"),
            QStringLiteral("ownutc"),
            5500,
            Origin::Own,
            callers::Own,
            QStringLiteral("OWN_*.TXT"),
            QStringLiteral("OWN"),
            QStringLiteral("DIM OWN"),
            1,
            QStringLiteral("Your own lists OWN_*.TXT belong there:\ncopy or write them into it, "
                           "then Load again.")};
}

} // namespace

own::own(App &app, QWidget *parent) : ListWindow(app, ownConfig(), parent)
{
    cmd_Load = findChild<QPushButton *>(QStringLiteral("cmd_Load"));
    grd_own = grid;
    ownutc = utcTimer;
}

void own::read_list()
{
    if (!read_table(false))
        return;
    show_rows(schedlist::selectAll(*table_));
}
