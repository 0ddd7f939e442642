// The splash window of the start: the program's name, version and description, closing by
// itself after a moment.

#include "ui/SplashWindow.h"
#include "core/AppState.h"
#include "core/SchemaCatalogue.h"

#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace rat::ui {

SplashWindow::SplashWindow(int shownMs, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint), shownMs_(shownMs)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(app().appTitle);
    setModal(true);

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    frame->setStyleSheet(QStringLiteral("QFrame { background: #f4f7fb; }"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    auto* title = new QLabel(app().appTitle, frame);
    title->setObjectName(QStringLiteral("lblProductName"));
    QFont big = title->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    title->setFont(big);
    auto* version = new QLabel(QStringLiteral("Версия ") + versionText(), frame);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* description = new QLabel(QStringLiteral("Питание в детском саду: технологические карты, план-меню, меню "
                                                  "на день, меню-требования и складской учет продуктов."),
                                   frame);
    description->setObjectName(QStringLiteral("lblProductDescription"));
    description->setWordWrap(true);

    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(28, 24, 28, 24);
    layout->setSpacing(10);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(description);
    setFixedWidth(420);

}

void SplashWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The moment counts from when the window is on the screen.
    if (!timerStarted_) {
        timerStarted_ = true;
        QTimer::singleShot(shownMs_, this, &QDialog::accept);
    }
}

QString SplashWindow::versionText()
{
    return QStringLiteral("%1.%2.%3").arg(schema::versionMajor).arg(schema::versionMinor).arg(schema::versionRevision);
}

void showSplash(int shownMs)
{
    SplashWindow splash(shownMs);
    splash.exec();
}

} // namespace rat::ui
