// The user guide as its window shows it: every code span and file pattern
// reads as written (no asterisk taken for emphasis), and no heading twice.
#include "common/ui/guideview.h"
#include "common/filebytes.h"

#include <QRegularExpression>
#include <QTextBrowser>
#include <gtest/gtest.h>

TEST(Guide, CodeSpansAndFilePatternsShowAsWrittenAndNoHeadingRepeats)
{
    GuideView view;
    QString err;
    ASSERT_TRUE(view.load(VOR_SOURCE_DIR "/docs/user-guide.md", &err)) << qPrintable(err);
    const QString shown = view.browser()->toPlainText();
    // A span between backticks, or a name with a "*" in it outside one.
    static const QRegularExpression literal(QStringLiteral("`([^`]+)`|[\\w.]*\\*[\\w.*]*\\.\\w+"));
    QStringList headings;
    int checked = 0;
    bool code = false;
    for (const QString &line : QString::fromUtf8(readBytes(VOR_SOURCE_DIR "/docs/user-guide.md")).split('\n')) {
        code = code != line.startsWith("```");
        EXPECT_FALSE(!code && line.startsWith('#') && headings.contains(line)) << "twice: " << qPrintable(line);
        headings << line;
        for (auto m = literal.globalMatch(line); m.hasNext(); ++checked) {
            const QRegularExpressionMatch one = m.next();
            const QString want = one.hasCaptured(1) ? one.captured(1) : one.captured(0);
            EXPECT_TRUE(shown.contains(want)) << "not shown as written: " << qPrintable(want);
        }
    }
    EXPECT_GT(checked, 20);
}
