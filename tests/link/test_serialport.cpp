// The real serial port: why a port did not open (missing, busy, permission).
#include "link/serialport.h"

#include <gtest/gtest.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>
#endif

TEST(SerialPortOpen, ReasonNamesTheCause)
{
    struct Case {
        QSerialPort::SerialPortError e;
        const char *system;
        const char *want;
    } cases[] = {
        {QSerialPort::DeviceNotFoundError, "No such file or directory", "is missing"},
        {QSerialPort::PermissionError, "Permission denied", "No permission"},
        {QSerialPort::PermissionError, "The device is already locked", "is busy"},
        {QSerialPort::PermissionError, "Device or resource busy", "is busy"},
        {QSerialPort::OpenError, "Device is already open", "is busy"},
        {QSerialPort::UnknownError, "", "could not be opened"},
    };
    for (const Case &c : cases) {
        const QString r = SerialPort::openFailureReason("/dev/ttyUSB0", c.e, c.system);
        EXPECT_TRUE(r.contains(c.want)) << qPrintable(r);
        EXPECT_TRUE(r.contains("/dev/ttyUSB0"));
        EXPECT_TRUE(r.contains(c.system));
    }
}

TEST(SerialPortOpen, RealMissingAndBusyPorts)
{
    QString err;
    SerialPort missing("/dev/vorantis-no-such-port");
    EXPECT_FALSE(missing.open(&err));
    EXPECT_TRUE(err.contains("is missing")) << qPrintable(err);
#ifdef Q_OS_UNIX
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        GTEST_SKIP() << "no pseudo-terminal";
    const QString slave = QString::fromLocal8Bit(::ptsname(master));
    SerialPort first(slave), second(slave);
    ASSERT_TRUE(first.open(&err)) << qPrintable(err);
    EXPECT_FALSE(second.open(&err));
    EXPECT_TRUE(err.contains("is busy")) << qPrintable(err);
    // A command is out when written, not when the event loop next runs.
    ASSERT_TRUE(first.write("H1\r"));
    pollfd in{master, POLLIN, 0};
    char out[8] = {};
    EXPECT_TRUE(::poll(&in, 1, 5000) == 1 && ::read(master, out, sizeof out) == 3);
    first.close();
    ::close(master);
#endif
}
