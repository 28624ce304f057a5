// The Own window: a schedule list in the program's own layout, with a
// tuning code per row.
#pragma once
#include "schedules/ui/listwindow.h"

class own : public ListWindow {
    Q_OBJECT
public:
    explicit own(App &app, QWidget *parent = nullptr);

    QPushButton *cmd_Load = nullptr;
    ListView *grd_own = nullptr;
    QTimer *ownutc = nullptr;

    // Reads the current own list and shows every row.
    void read_list() override;
};
