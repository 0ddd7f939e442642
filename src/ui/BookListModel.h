#pragma once
// The rows of one reference book for the list window's grid: the book's columns as loaded,
// numbers aligned to the right, and the row key as a last column the grid keeps hidden.

#include "refbooks/BookList.h"

#include <QAbstractTableModel>

namespace rat::ui {

class BookListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit BookListModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    void setList(books::BookList list);
    const books::BookList& list() const { return list_; }

    // The column of the row key (after the visible columns).
    int keyColumn() const { return list_.columnCount(); }
    qint64 idAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    books::BookList list_;
};

} // namespace rat::ui
