#pragma once
// The built-in help window: the program's own help page in a text browser.

#include "ui/MainChildCommands.h"

#include <QTextBrowser>

namespace rat::ui {

class HelpBrowser : public QTextBrowser, public ChildCommands {
    Q_OBJECT
public:
    explicit HelpBrowser(const QString& path, QWidget* parent = nullptr);

    bool runCommand(const QString& name) override;
    QSize sizeHint() const override { return {780, 560}; }
};

// The help page: the one of the application folder, else the one beside the program.
QString findHelpPage(const QString& configured);

} // namespace rat::ui
