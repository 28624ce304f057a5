#include "common/ui/busy.h"

#include <QCursor>
#include <QGuiApplication>

BusyGuard::BusyGuard()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        active_ = false;
}

BusyGuard::~BusyGuard()
{
    release();
}

void BusyGuard::release()
{
    if (active_) {
        QGuiApplication::restoreOverrideCursor();
        active_ = false;
    }
}
