#include "panel/rxctrl2.h"
#include "panel/textgrid.h"
#include "testkit.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

TEST(Panel, Loads)
{
    TestApp t;
    rxctrl2 w(t.app);
    EXPECT_TRUE(w.loaded());
}
