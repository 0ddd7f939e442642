#pragma once
// The splash window of the start: the program's name, version and description for a moment,
// closing by itself.

#include <QDialog>

namespace rat::ui {

// "frmSplash". exec() returns Accepted once `shownMs` milliseconds have passed.
class SplashWindow : public QDialog {
    Q_OBJECT
public:
    explicit SplashWindow(int shownMs = 1500, QWidget* parent = nullptr);

    // The program's version as the splash and the about box show it: "10.4.4".
    static QString versionText();

protected:
    void showEvent(QShowEvent* event) override;

private:
    int shownMs_;
    bool timerStarted_ = false;
};

// Shows the splash window modally until it closes itself.
void showSplash(int shownMs = 1500);

} // namespace rat::ui
