#include "ui/MainWindow.h"
#include "core/AppState.h"
#include "core/DatabaseSession.h"
#include "core/Settings.h"
#include "core/StartupCheck.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QScreen>
#include <QStatusBar>

namespace rat::ui {

namespace {
const QString kSettings = QStringLiteral("Settings");
}

MainWindow::MainWindow(DatabaseSession& session, QWidget* parent)
    : QMainWindow(parent), session_(session), mdi_(new QMdiArea(this)), status_(new QLabel(this))
{
    setWindowTitle(app().appTitle);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    statusBar()->addWidget(status_, 1);
    showStatus(QStringLiteral("Готово"));
    restorePlacement();
}

void MainWindow::showStatus(const QString& text)
{
    status_->setText(text);
}

QString MainWindow::statusText() const
{
    return status_->text();
}

void MainWindow::restorePlacement()
{
    const QVariant w = Settings::value(kSettings, QStringLiteral("MainWidth"));
    const QVariant h = Settings::value(kSettings, QStringLiteral("MainHeight"));
    if (w.isValid() && h.isValid() && w.toInt() > 200 && h.toInt() > 150) {
        setGeometry(Settings::value(kSettings, QStringLiteral("MainLeft"), 0).toInt(),
                    Settings::value(kSettings, QStringLiteral("MainTop"), 0).toInt(), w.toInt(), h.toInt());
    } else {
        // First start: most of the screen, centred.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
        const QSize size(qMin(1200, area.width() * 9 / 10), qMin(800, area.height() * 9 / 10));
        resize(size);
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    if (Settings::value(kSettings, QStringLiteral("MainState"), 0).toInt() == 2)
        setWindowState(windowState() | Qt::WindowMaximized);
    statusBar()->setVisible(Settings::text(kSettings, QStringLiteral("StBar"), QStringLiteral("True")) !=
                            QLatin1String("False"));
}

void MainWindow::savePlacement()
{
    const QRect g = normalGeometry();
    Settings::setValue(kSettings, QStringLiteral("MainLeft"), g.x());
    Settings::setValue(kSettings, QStringLiteral("MainTop"), g.y());
    Settings::setValue(kSettings, QStringLiteral("MainWidth"), g.width());
    Settings::setValue(kSettings, QStringLiteral("MainHeight"), g.height());
    Settings::setValue(kSettings, QStringLiteral("MainState"), isMaximized() ? 2 : 0);
    Settings::setText(kSettings, QStringLiteral("StBar"),
                      statusBar()->isVisible() ? QStringLiteral("True") : QStringLiteral("False"));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    mdi_->closeAllSubWindows();
    if (!mdi_->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    savePlacement();
    if (session_.isOpen()) {
        try {
            clearWorkingCopies(session_.db());
        } catch (const DbError&) {
            // The file is closed right after; nothing of a person's work is in the copies.
        }
    }
    event->accept();
}

} // namespace rat::ui
