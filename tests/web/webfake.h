// The web remote's access rules for tests: two passwords, nobody trusted
// (a browser on loopback logs in as one elsewhere would), shut out after
// five wrong passwords.
#pragma once
#include "web/webaccess.h"

struct PasswordAccess : WebAccess {
    int wrong = 0;
    bool mayListen(const QHostAddress &, QString *) override { return true; }
    bool admit(const QHostAddress &, Level *start) override
    {
        *start = Level::None;
        return wrong < 5;
    }
    Level logIn(const QHostAddress &, const QByteArray &pw) override
    {
        if (pw == "full-secret")
            return Level::Full;
        if (pw == "read-secret")
            return Level::Read;
        ++wrong;
        return Level::None;
    }
};
