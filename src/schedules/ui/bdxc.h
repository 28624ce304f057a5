// The BDXC window: a BDXC or ADX schedule list, optionally restricted to the
// broadcasts on the air at a UTC time, tuned from with a double-click.
#pragma once
#include "schedules/ui/listwindow.h"

class bdxc : public ListWindow {
    Q_OBJECT
public:
    explicit bdxc(App &app, QWidget *parent = nullptr);

    QPushButton *cmd_load = nullptr;
    ListView *grd_bdx = nullptr;
    QTimer *bdxcutc = nullptr;

    // Reads the current BDXC/ADX file (with its ditto lines), then asks for
    // the selection and shows the rows.
    void read_list() override;
};
