// The real serial line (4800,N,8,1) through QSerialPort.
#pragma once
#include "link/port.h"

class QSerialPort;

class SerialPort : public Port {
    Q_OBJECT
public:
    // device: "/dev/ttyUSB0", "/dev/ttyS0", "COM1", or a pseudo-terminal path.
    explicit SerialPort(const QString &device, QObject *parent = nullptr);
    ~SerialPort() override;

    // Port number n of the settings: COMn on Windows, /dev/ttyS(n-1) elsewhere.
    static QString deviceForNumber(int n);

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
