#pragma once
// The program's frame: documents and reference books open as windows inside it.

#include <QMainWindow>

class QMdiArea;
class QLabel;

namespace rat {
class DatabaseSession;
}

namespace rat::ui {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(DatabaseSession& session, QWidget* parent = nullptr);

    QMdiArea* mdiArea() const { return mdi_; }
    void showStatus(const QString& text);
    QString statusText() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void restorePlacement();
    void savePlacement();

    DatabaseSession& session_;
    QMdiArea* mdi_;
    QLabel* status_;
};

} // namespace rat::ui
