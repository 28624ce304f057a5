#include "link/serialport.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

SerialPort::SerialPort(const QString &device, QObject *parent)
    : Port(parent), device_(device), sp_(new QSerialPort(this))
{
    connect(sp_, &QSerialPort::readyRead, this, &Port::readyRead);
    connect(sp_, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError e) {
        if (e == QSerialPort::ResourceError && !lostSignalled_) {
            lostSignalled_ = true;
            emit lost(sp_->errorString());
        }
    });
}

SerialPort::~SerialPort()
{
    // Closing removes the port's lock file (in /run/lock on Linux).
    close();
}

QString SerialPort::deviceForNumber(int n)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}

QString SerialPort::resolveDevice(const QString &device)
{
#ifdef Q_OS_WIN
    return device;
#else
    if (device.isEmpty() || QDir::isAbsolutePath(device))
        return device;
    if (!device.contains(QLatin1Char('/')) && (QFileInfo::exists(QStringLiteral("/dev/") + device)
                                               || !QFileInfo::exists(device)))
        return device;
    return QDir::cleanPath(QDir::current().absoluteFilePath(device));
#endif
}

QList<SerialPort::Available> SerialPort::available()
{
    QList<Available> out;
    for (const QSerialPortInfo &i : QSerialPortInfo::availablePorts()) {
        QString d = i.description().trimmed();
        const QString m = i.manufacturer().trimmed();
        if (!m.isEmpty() && !d.contains(m))
            d = d.isEmpty() ? m : QStringLiteral("%1 (%2)").arg(d, m);
        if (d.isEmpty())
            d = QStringLiteral("serial port");
        out.append({i.systemLocation(), d});
    }
    std::sort(out.begin(), out.end(),
              [](const Available &a, const Available &b) { return a.device < b.device; });
    return out;
}

QString SerialPort::openFailureReason(const QString &device, QSerialPort::SerialPortError e,
                                      const QString &systemText)
{
    QString why;
    const bool busyText = systemText.contains(QLatin1String("lock"), Qt::CaseInsensitive)
                          || systemText.contains(QLatin1String("busy"), Qt::CaseInsensitive);
    if (e == QSerialPort::DeviceNotFoundError) {
        why = QStringLiteral("The port %1 is missing: there is no such serial port "
                             "(is the adapter plugged in?).");
    } else if (e == QSerialPort::OpenError || (e == QSerialPort::PermissionError && busyText)) {
        why = QStringLiteral("The port %1 is busy: another program is using it.");
    } else if (e == QSerialPort::PermissionError) {
#ifdef Q_OS_WIN
        why = QStringLiteral("No permission to open the port %1.");
#else
        why = QStringLiteral("No permission to open the port %1 (the user must be allowed to use "
                             "it, usually as a member of the group \"dialout\").");
#endif
    } else {
        why = QStringLiteral("The port %1 could not be opened.");
    }
    why = why.arg(device);
    if (!systemText.isEmpty())
        why += QStringLiteral("\nSystem: %1").arg(systemText);
    return why;
}

bool SerialPort::open(QString *error)
{
    lostSignalled_ = false;
    sp_->setPortName(resolveDevice(device_));
    if (!sp_->open(QIODevice::ReadWrite)) {
        if (error)
            *error = openFailureReason(device_, sp_->error(), sp_->errorString());
        return false;
    }
    const bool ok = sp_->setBaudRate(4800) && sp_->setDataBits(QSerialPort::Data8)
        && sp_->setParity(QSerialPort::NoParity) && sp_->setStopBits(QSerialPort::OneStop)
        && sp_->setFlowControl(QSerialPort::NoFlowControl);
    if (!ok) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(device_, sp_->errorString());
        sp_->close();
        return false;
    }
    sp_->clear();
    return true;
}

bool SerialPort::isOpen() const
{
    return sp_->isOpen();
}

void SerialPort::close()
{
    if (!sp_->isOpen())
        return;
    // What is still queued goes out first (a slow or busy line may hold the
    // last commands, the release's "H0" among them); a line that takes
    // nothing for two seconds is given up.
    while (sp_->bytesToWrite() > 0 && sp_->waitForBytesWritten(2000)) {
    }
    sp_->close();
}

bool SerialPort::write(const QByteArray &bytes)
{
    if (!sp_->isOpen())
        return false;
    tapOut(bytes);
    // Out now, not when the event loop next runs: the pause that follows a
    // command counts from here.
    if (sp_->write(bytes) != bytes.size())
        return false;
    sp_->flush();
    return true;
}

qint64 SerialPort::bytesAvailable() const
{
    return sp_->isOpen() ? sp_->bytesAvailable() : 0;
}

QByteArray SerialPort::readAll()
{
    return sp_->isOpen() ? tapIn(sp_->readAll()) : QByteArray();
}

void SerialPort::clear()
{
    if (!sp_->isOpen())
        return;
    sp_->readAll();
    sp_->clear(QSerialPort::Input);
}
