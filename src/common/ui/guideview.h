// The user guide with its pictures, read from the guide's Markdown file.
#pragma once
#include <QDialog>

class QLineEdit;
class QTextBrowser;

class GuideView : public QDialog {
    Q_OBJECT
public:
    explicit GuideView(QWidget *parent = nullptr);
    // Reads the guide at path; false with the reason when it cannot be read.
    bool load(const QString &path, QString *error);

    QTextBrowser *browser() const { return browser_; }

private:
    void findNext(bool backward);
    void fitPictures();

    QTextBrowser *browser_;
    QLineEdit *find_;
};
