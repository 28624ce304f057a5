#include "common/ui/guideview.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QVBoxLayout>

namespace {
// Pictures wider than this are shown smaller, keeping their proportions.
constexpr int kMaxPictureWidth = 640;
}

GuideView::GuideView(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("guide"));
    setWindowTitle(QStringLiteral("VORANTIS user guide"));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("guideText"));
    browser_->setAccessibleName(QStringLiteral("User guide"));
    browser_->setOpenExternalLinks(true);

    find_ = new QLineEdit(this);
    find_->setObjectName(QStringLiteral("guideFind"));
    find_->setAccessibleName(QStringLiteral("Find in the guide"));
    find_->setPlaceholderText(QStringLiteral("Find (Ctrl+F, Enter for the next)"));
    auto *label = new QLabel(QStringLiteral("&Find:"), this);
    label->setBuddy(find_);
    auto *next = new QPushButton(QStringLiteral("&Next"), this);
    auto *prev = new QPushButton(QStringLiteral("&Previous"), this);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);

    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(find_, 1);
    row->addWidget(prev);
    row->addWidget(next);
    row->addWidget(buttons);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(browser_, 1);
    lay->addLayout(row);

    connect(find_, &QLineEdit::returnPressed, this, [this] { findNext(false); });
    connect(next, &QPushButton::clicked, this, [this] { findNext(false); });
    connect(prev, &QPushButton::clicked, this, [this] { findNext(true); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *focusFind = new QShortcut(QKeySequence::Find, this);
    connect(focusFind, &QShortcut::activated, this, [this] {
        find_->setFocus();
        find_->selectAll();
    });
    resize(780, 720);
}

bool GuideView::load(const QString &path, QString *error)
{
    const QFileInfo fi(path);
    if (!fi.isFile() || !fi.isReadable()) {
        if (error)
            *error = QStringLiteral("The user guide %1 is missing or cannot be read.").arg(path);
        return false;
    }
    browser_->setSearchPaths({ fi.absolutePath() });
    browser_->setSource(QUrl::fromLocalFile(fi.absoluteFilePath()), QTextDocument::MarkdownResource);
    fitPictures();
    return true;
}

void GuideView::findNext(bool backward)
{
    const QString text = find_->text();
    if (text.isEmpty())
        return;
    const QTextDocument::FindFlags flags = backward ? QTextDocument::FindBackward
                                                    : QTextDocument::FindFlags();
    if (browser_->find(text, flags))
        return;
    // Wrap around once.
    QTextCursor c = browser_->textCursor();
    c.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    browser_->setTextCursor(c);
    browser_->find(text, flags);
}

void GuideView::fitPictures()
{
    QTextDocument *doc = browser_->document();
    const QString base = browser_->searchPaths().value(0);
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (!f.isValid() || !f.charFormat().isImageFormat())
                continue;
            QTextImageFormat img = f.charFormat().toImageFormat();
            const QSize size = QImageReader(base + QLatin1Char('/') + img.name()).size();
            if (!size.isValid() || size.width() <= kMaxPictureWidth)
                continue;
            img.setWidth(kMaxPictureWidth);
            img.setHeight(double(size.height()) * kMaxPictureWidth / size.width());
            QTextCursor c(doc);
            c.setPosition(f.position());
            c.setPosition(f.position() + f.length(), QTextCursor::KeepAnchor);
            c.setCharFormat(img);
        }
    }
}
