// The real serial line (4800,N,8,1) through QSerialPort.
#pragma once
#include "link/port.h"

#include <QSerialPort>

class SerialPort : public Port {
    Q_OBJECT
public:
    // device: "/dev/ttyUSB0", "/dev/ttyS0", "COM1", or a pseudo-terminal path.
    explicit SerialPort(const QString &device, QObject *parent = nullptr);
    ~SerialPort() override;

    // Port number n of the settings: COMn on Windows, /dev/ttyS(n-1) elsewhere.
    static QString deviceForNumber(int n);
    // The device a name given by the user stands for: a relative path
    // ("link", "./link", "sub/link") is taken from the working folder, except
    // a bare name that is a device in /dev ("ttyUSB0"); an absolute path and
    // a Windows port name stay as they are.
    static QString resolveDevice(const QString &device);

    // A serial port the system has, for the choice in set-up.
    struct Available {
        QString device;      // "/dev/ttyUSB0", "COM7"
        QString description; // "FT232R USB UART (FTDI)"; never empty
    };
    static QList<Available> available();

    // Why a port did not open, for the details of the error box: missing,
    // busy (another program has it) or no permission, with the system's text.
    static QString openFailureReason(const QString &device, QSerialPort::SerialPortError e,
                                     const QString &systemText);

    bool open(QString *error) override;
    bool isOpen() const override;
    void close() override;
    bool write(const QByteArray &bytes) override;
    qint64 bytesAvailable() const override;
    QByteArray readAll() override;
    void clear() override;
    QString name() const override { return device_; }

private:
    QString device_;
    QSerialPort *sp_;
    bool lostSignalled_ = false;
};
