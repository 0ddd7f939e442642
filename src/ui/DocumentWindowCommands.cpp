// The line commands of the document window, OK, "Печать", "Отмена" and closing.

#include "core/Database.h"
#include "core/Prompt.h"
#include "ui/DocumentWindow.h"
#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QTableWidget>

namespace rat::ui {

QString DocumentWindow::rowLockText()
{
    return QStringLiteral("Извините, но эта строка (или соседняя строка) данного документа редактируется другим "
                          "пользователем. Одновременное внесение изменений несколькими пользователями в одну строку "
                          "может привести к порче данных. Попробуйте отредактировать строку в другое время. Сейчас "
                          "возможен только просмотр.");
}

bool DocumentWindow::ensureSaved()
{
    if (id_)
        return true;
    if (prompt_.ask(QStringLiteral("Для продолжения необходимо сохранить ") + kind_->noun() +
                        QStringLiteral(". Сохранить?"),
                    Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return false;
    if (!saveHeader())
        return false;
    savedForLines_ = mode_ == DocumentMode::New;
    return true;
}

bool DocumentWindow::lineCommand()
{
    return ensureSaved();
}

void DocumentWindow::addLine()
{
    if (!lineCommand())
        return;
    if (kind_->addLine(*this)) {
        reloadLines(grid_->rowCount());
        emit documentSaved(*id_);
    }
    grid_->setFocus();
}

bool DocumentWindow::currentLineCommand(bool (DocumentKind::*run)(DocumentWindow&, int))
{
    if (!lineCommand())
        return false;
    const int row = currentRow();
    if (row < 0)
        return false;
    if ((kind_.get()->*run)(*this, row)) {
        reloadLines(row);
        emit documentSaved(*id_);
    }
    return true;
}

void DocumentWindow::editLine()
{
    if (currentLineCommand(&DocumentKind::editLine))
        grid_->setFocus();
}

void DocumentWindow::copyLine()
{
    currentLineCommand(&DocumentKind::copyLine);
}

void DocumentWindow::deleteLines()
{
    if (!lineCommand())
        return;
    std::vector<int> rows = selectedRows();
    if (rows.empty() && currentRow() >= 0)
        rows.push_back(currentRow());
    if (rows.empty())
        return;
    if (kind_->deleteLines(*this, rows)) {
        reloadLines(rows.front());
        emit documentSaved(*id_);
    }
}

void DocumentWindow::deleteAllLines()
{
    if (!lineCommand())
        return;
    if (kind_->deleteAllLines(*this)) {
        reloadLines(0);
        emit documentSaved(*id_);
    }
}

void DocumentWindow::move(int direction)
{
    if (!lineCommand())
        return;
    if (const std::optional<int> row = kind_->moveLine(*this, currentRow(), direction)) {
        reloadLines(*row);
        emit documentSaved(*id_);
    }
    grid_->setFocus();
}

void DocumentWindow::moveUp()
{
    move(-1);
}

void DocumentWindow::moveDown()
{
    move(+1);
}

void DocumentWindow::printDocument()
{
    if (kind_->canPrint())
        kind_->print(*this);
    else
        prompt_.info(MainWindow::notAvailableText());
}

void DocumentWindow::updateTotal()
{
    reloadLines();
    if (id_)
        emit documentSaved(*id_);
}

void DocumentWindow::confirm()
{
    if ((changed_ || !id_) && !saveHeader())
        return;
    if (!kind_->confirm(*this))
        return;
    confirmed_ = true;
    closeWindow();
}

void DocumentWindow::cancel()
{
    closeWindow();
}

void DocumentWindow::keyPressEvent(QKeyEvent* event)
{
    // Escape closes the document as it closes the product and card windows, with the question
    // about unsaved changes; a field or list that uses the key itself keeps it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        cancel();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DocumentWindow::closeEvent(QCloseEvent* event)
{
    if (changed_ && !confirmed_) {
        switch (prompt_.ask(QStringLiteral("Сохранить изменения?"), Buttons::YesNoCancel, Answer::Yes)) {
        case Answer::Yes:
            if (!saveHeader()) {
                event->ignore();
                return;
            }
            savedForLines_ = false;  // kept on purpose
            break;
        case Answer::No:
            changed_ = false;
            break;
        default:
            event->ignore();
            return;
        }
    }
    // A new document saved only to take lines goes again when the person cancels it.
    if (!confirmed_ && savedForLines_ && id_ && kind_->discardsNewOnCancel()) {
        try {
            kind_->discardNew(db_, *id_);
            emit documentSaved(*id_);
        } catch (const DbError& e) {
            prompt_.critical(e.text());
        }
    }
    event->accept();
}

} // namespace rat::ui
