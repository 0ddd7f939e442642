// The record editor window (frmSD1): a book's row as labelled controls, or a book's search.

#include "ui/RecordEditorDialog.h"
#include "refbooks/RecordEditor.h"
#include "ui/FieldControls.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTimeEdit>
#include <QEvent>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace rat::ui {

namespace {

using books::Control;
using books::EditorField;

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");
const QString kTimeFormat = QStringLiteral("HH:mm");
const QString kDateTimeFormat = QStringLiteral("dd.MM.yyyy HH:mm");

// A date and time control shows an empty value as its minimum with a blank text.
const QDate kNoDate(1900, 1, 1);
const QTime kNoTime(0, 0);

// Opens the calendar of a blank date on today's month.
class CalendarPage : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            if (auto* calendar = qobject_cast<QCalendarWidget*>(watched))
                if (calendar->selectedDate() <= kNoDate)
                    calendar->setCurrentPage(QDate::currentDate().year(), QDate::currentDate().month());
        return false;
    }
};

// A blank date or time field takes typed digits: the first one turns the blank into a value
// (today for a date, 00:00 for a time) whose first section the digits then overwrite.
class BlankUntilTyped : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* edit = qobject_cast<QDateTimeEdit*>(watched);
        if (!edit || event->type() != QEvent::KeyPress || edit->specialValueText().isEmpty() ||
            edit->dateTime() > edit->minimumDateTime())
            return false;
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.isEmpty() || !text.front().isDigit())
            return false;
        edit->setSpecialValueText(QString());
        if (edit->displayedSections() & QDateTimeEdit::DateSections_Mask)
            edit->setDateTime(QDateTime(QDate::currentDate(), QTime(0, 0)));
        edit->setCurrentSectionIndex(0);
        edit->setSelectedSection(edit->sectionAt(0));
        return false;
    }
};

// Dates and times read in Russian whatever the system's language: the calendar's month and
// day names.
void russian(QDateTimeEdit* edit)
{
    const QLocale locale(QLocale::Russian, QLocale::Russia);
    edit->setLocale(locale);
    if (QCalendarWidget* calendar = edit->calendarWidget()) {
        calendar->setLocale(locale);
        calendar->setFirstDayOfWeek(Qt::Monday);
    }
}

} // namespace

RecordEditorDialog::RecordEditorDialog(books::RecordEditor& editor, QWidget* parent) : QDialog(parent), editor_(&editor)
{
    buildEditor();
}

RecordEditorDialog::RecordEditorDialog(const QString& bookTitle, const std::vector<books::SearchColumn>& columns,
                                   int column, const QString& sample, QWidget* parent)
    : QDialog(parent)
{
    buildSearch(bookTitle, columns, column, sample);
}

void RecordEditorDialog::buildButtons(QVBoxLayout* layout, const QString& okText)
{
    ok_ = new QPushButton(okText, this);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
    cancel_->setObjectName(QStringLiteral("cmdCancel"));
    for (QPushButton* b : {ok_, cancel_})
        b->setMinimumWidth(qMax(b->sizeHint().width(), 96));
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok_);
    row->addWidget(cancel_);
    layout->addLayout(row);
    connect(cancel_, &QPushButton::clicked, this, &RecordEditorDialog::reject);
}

void RecordEditorDialog::buildEditor()
{
    setObjectName(QStringLiteral("frmSD1"));
    setWindowTitle(editor_->caption());
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("fields"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* page = new QWidget(scroll);
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    const std::vector<EditorField>& fields = editor_->fields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const EditorField& f = fields[i];
        if (f.control == Control::Heading) {
            auto* heading = new QLabel(f.caption, page);
            QFont bold = heading->font();
            bold.setBold(true);
            heading->setFont(bold);
            if (i > 0)
                heading->setContentsMargins(0, 8, 0, 0);
            form->addRow(heading);
            continue;
        }
        QWidget* w = makeControl(int(i));
        w->setParent(page);
        if (f.control == Control::CheckBox) {
            form->addRow(QString(), w);
        } else {
            auto* label = new QLabel(editor_->currentField(int(i)).caption, page);
            label->setBuddy(w);
            form->addRow(label, w);
            labels_.insert(int(i), label);
        }
        inputs_.push_back(w);
    }
    followBoxes();
    scroll->setWidget(page);
    layout->addWidget(scroll, 1);
    buildButtons(layout, QStringLiteral("ОК"));
    connect(ok_, &QPushButton::clicked, this, &RecordEditorDialog::save);
    ok_->setDefault(true);
    contentHeight_ = page->sizeHint().height();
    contentWidth_ = page->sizeHint().width();
    if (!inputs_.empty())
        inputs_.front()->setFocus();
}

QWidget* RecordEditorDialog::makeControl(int index)
{
    books::RecordEditor& ed = *editor_;
    const EditorField& f = ed.fields()[size_t(index)];
    const QVariant value = ed.value(index);
    QWidget* result = nullptr;

    switch (f.control) {
    case Control::List: {
        auto* box = new QComboBox(this);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        box->setMinimumContentsLength(24);
        box->setMaxVisibleItems(25);
        fillList(index, box);
        listSources_.insert(index, int(ed.currentField(index).source));
        connect(box, &QComboBox::currentIndexChanged, this, [this, index] { listChanged(index); });
        result = box;
        break;
    }
    case Control::CheckBox: {
        auto* box = new QCheckBox(f.caption, this);
        box->setChecked(value.toBool());
        connect(box, &QCheckBox::toggled, this, [this, &ed, index](bool on) {
            ed.setValue(index, on);
            followBoxes();
        });
        result = box;
        break;
    }
    case Control::Memo: {
        auto* memo = new QPlainTextEdit(this);
        memo->setTabChangesFocus(true);
        memo->setPlainText(value.toString());
        memo->setFixedHeight(memo->fontMetrics().lineSpacing() * 4 + 12);
        memo->installEventFilter(this);
        connect(memo, &QPlainTextEdit::textChanged, this,
                [&ed, index, memo] { ed.setValue(index, memo->toPlainText()); });
        result = memo;
        break;
    }
    case Control::Date: {
        auto* edit = new QDateEdit(this);
        edit->setDisplayFormat(kDateFormat);
        edit->setCalendarPopup(true);
        edit->setMinimumDate(kNoDate);
        edit->setSpecialValueText(QStringLiteral(" "));
        edit->calendarWidget()->installEventFilter(new CalendarPage(edit));
        edit->installEventFilter(new BlankUntilTyped(edit));
        edit->setMaximumWidth(200);
        russian(edit);
        const QDate d = QDate::fromString(value.toString(), kDateFormat);
        edit->setDate(d.isValid() ? d : kNoDate);
        connect(edit, &QDateEdit::dateChanged, this, [&ed, index](QDate d) {
            ed.setValue(index, d <= kNoDate ? QString() : d.toString(kDateFormat));
        });
        result = edit;
        break;
    }
    case Control::DateTime: {
        auto* edit = new QDateTimeEdit(this);
        edit->setDisplayFormat(kDateTimeFormat);
        edit->setCalendarPopup(true);
        edit->setMinimumDateTime(QDateTime(kNoDate, kNoTime));
        edit->setSpecialValueText(QStringLiteral(" "));
        edit->calendarWidget()->installEventFilter(new CalendarPage(edit));
        edit->installEventFilter(new BlankUntilTyped(edit));
        edit->setMaximumWidth(200);
        russian(edit);
        QString text = value.toString();
        if (text.size() == kDateFormat.size())
            text += QStringLiteral(" 00:00");
        const QDateTime dt = QDateTime::fromString(text, kDateTimeFormat);
        edit->setDateTime(dt.isValid() ? dt : QDateTime(kNoDate, kNoTime));
        connect(edit, &QDateTimeEdit::dateTimeChanged, this, [&ed, index](const QDateTime& dt) {
            ed.setValue(index, dt.date() <= kNoDate ? QString() : dt.toString(kDateTimeFormat));
        });
        result = edit;
        break;
    }
    case Control::Time: {
        auto* edit = new QTimeEdit(this);
        edit->setDisplayFormat(kTimeFormat);
        edit->setMinimumTime(kNoTime);
        edit->setSpecialValueText(QStringLiteral(" "));
        edit->installEventFilter(new BlankUntilTyped(edit));
        edit->setMaximumWidth(200);
        russian(edit);
        const QTime t = QTime::fromString(value.toString(), kTimeFormat);
        edit->setTime(t.isValid() ? t : kNoTime);
        connect(edit, &QTimeEdit::timeChanged, this, [&ed, index](QTime t) {
            ed.setValue(index, t <= kNoTime ? QString() : t.toString(kTimeFormat));
        });
        result = edit;
        break;
    }
    default: {
        auto* edit = new QLineEdit(this);
        if (f.limit > 0)
            edit->setMaxLength(f.limit);
        edit->setText(value.toString());
        if (isNumericField(f)) {
            edit->setMaxLength(24);
            edit->setMaximumWidth(200);
            accepted_.insert(edit, edit->text());
            connect(edit, &QLineEdit::textEdited, this, [this, &ed, index, edit](const QString& text) {
                if (ed.acceptTyping(index, text)) {
                    accepted_.insert(edit, text);
                    ed.setValue(index, text);
                    return;
                }
                // The keystroke is refused: the field keeps the text it had.
                restoreRefusedText(edit, text, accepted_.value(edit));
            });
        } else {
            connect(edit, &QLineEdit::textEdited, this, [&ed, index](const QString& text) { ed.setValue(index, text); });
        }
        result = edit;
        break;
    }
    }
    result->setObjectName(f.field);
    controls_.insert(f.field.toLower(), result);
    return result;
}

void RecordEditorDialog::fillList(int index, QComboBox* box)
{
    const EditorField& f = editor_->fields()[size_t(index)];
    const QVariant value = editor_->value(index);
    const QSignalBlocker block(box);
    box->clear();
    // An optional list can be left without a choice.
    if (f.flag == books::optional)
        box->addItem(QString(), QVariant());
    int current = -1;
    for (const books::ListItem& item : editor_->items(index)) {
        if (!value.isNull() && item.value.toLongLong() == value.toLongLong())
            current = box->count();
        box->addItem(item.text, item.value);
    }
    if (current < 0 && f.flag == books::optional)
        current = 0;
    box->setCurrentIndex(current);
}

void RecordEditorDialog::listChanged(int index)
{
    auto* box = qobject_cast<QComboBox*>(controls_.value(editor_->fields()[size_t(index)].field.toLower()));
    if (!box)
        return;
    const QVariant data = box->currentIndex() >= 0 ? box->currentData() : QVariant();
    editor_->setValue(index, data.isValid() ? data : QVariant());
    // Lists that take this field as their parameter are read again.
    const QString field = editor_->fields()[size_t(index)].field;
    const std::vector<EditorField>& fields = editor_->fields();
    for (size_t j = 0; j < fields.size(); ++j) {
        if (fields[j].control != Control::List ||
            !fields[j].paramField.split(QLatin1Char(',')).contains(field, Qt::CaseInsensitive))
            continue;
        auto* dependent = qobject_cast<QComboBox*>(controls_.value(fields[j].field.toLower()));
        if (!dependent)
            continue;
        fillList(int(j), dependent);
        // A choice that the new list no longer holds is dropped.
        const bool kept = dependent->currentIndex() >= 0 && dependent->currentData().isValid();
        if (!kept && !editor_->value(int(j)).isNull())
            editor_->setValue(int(j), QVariant());
    }
}

void RecordEditorDialog::followBoxes()
{
    const std::vector<EditorField>& fields = editor_->fields();
    for (size_t j = 0; j < fields.size(); ++j) {
        QWidget* w = controls_.value(fields[j].field.toLower());
        if (!w || fields[j].control == Control::Heading)
            continue;
        const bool applies = editor_->applies(int(j));
        w->setEnabled(applies);
        const EditorField now = editor_->currentField(int(j));
        if (QLabel* label = labels_.value(int(j))) {
            label->setEnabled(applies);
            label->setText(now.caption);
        }
        auto* box = qobject_cast<QComboBox*>(w);
        if (!box || listSources_.value(int(j)) == int(now.source))
            continue;
        // The list now holds other rows (cards instead of products): the old choice means
        // nothing there.
        listSources_.insert(int(j), int(now.source));
        editor_->setValue(int(j), QVariant());
        fillList(int(j), box);
    }
}

void RecordEditorDialog::buildSearch(const QString& bookTitle, const std::vector<books::SearchColumn>& columns,
                                   int column, const QString& sample)
{
    setObjectName(QStringLiteral("frmSD1"));
    setWindowTitle(QStringLiteral("Найти: ") + bookTitle);
    setModal(true);
    columns_ = columns;

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    searchColumn_ = new QComboBox(this);
    searchColumn_->setObjectName(QStringLiteral("searchColumn"));
    int current = 0;
    for (const books::SearchColumn& c : columns_) {
        if (c.column == column)
            current = searchColumn_->count();
        searchColumn_->addItem(c.caption, c.column);
    }
    searchColumn_->setCurrentIndex(columns_.empty() ? -1 : current);
    sample_ = new QLineEdit(sample, this);
    sample_->setObjectName(QStringLiteral("sample"));
    sample_->setMinimumWidth(260);
    auto* columnLabel = new QLabel(QStringLiteral("Искать в столбце"), this);
    columnLabel->setBuddy(searchColumn_);
    auto* sampleLabel = new QLabel(QStringLiteral("Образец"), this);
    sampleLabel->setBuddy(sample_);
    form->addRow(columnLabel, searchColumn_);
    form->addRow(sampleLabel, sample_);
    layout->addLayout(form);
    layout->addStretch(1);
    buildButtons(layout, QStringLiteral("Найти далее"));
    ok_->setDefault(true);
    ok_->setEnabled(!columns_.empty());
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    inputs_ = {searchColumn_, sample_};
    sample_->setFocus();
    sample_->selectAll();
}

int RecordEditorDialog::searchColumn() const
{
    if (!searchColumn_ || searchColumn_->currentIndex() < 0)
        return -1;
    return searchColumn_->currentData().toInt();
}

QString RecordEditorDialog::sample() const
{
    return sample_ ? sample_->text() : QString();
}

QWidget* RecordEditorDialog::control(const QString& field) const
{
    return controls_.value(field.toLower());
}

QSize RecordEditorDialog::sizeHint() const
{
    if (isSearch())
        return QDialog::sizeHint().expandedTo(QSize(440, 0));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().height() * 8 / 10 : 640;
    const int buttons = ok_ ? ok_->sizeHint().height() + 40 : 60;
    // Wide enough for the longest caption beside its control and the scroll bar: the fields
    // never scroll sideways.
    const int margins = layout() ? layout()->contentsMargins().left() + layout()->contentsMargins().right() : 24;
    const int width = contentWidth_ + margins + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4;
    return {qMax(600, width), qMin(room, contentHeight_ + buttons)};
}

void RecordEditorDialog::save()
{
    if (const auto id = editor_->save()) {
        savedId_ = id;
        accept();
    }
}

void RecordEditorDialog::reject()
{
    if (isSearch()) {
        QDialog::reject();
        return;
    }
    const bool changed = editor_->isChanged();
    if (!editor_->confirmClose())
        return;
    if (changed && !editor_->isChanged()) {
        // "Сохранить изменения?" was answered Yes and the row was saved (0: a definition that
        // writes no row of its own, like the yields of a dish category).
        savedId_ = editor_->id().value_or(0);
        done(Accepted);
        return;
    }
    QDialog::reject();
}

bool RecordEditorDialog::isInput(QWidget* w) const
{
    for (; w && w != this; w = w->parentWidget())
        if (std::find(inputs_.begin(), inputs_.end(), w) != inputs_.end())
            return true;
    return false;
}

void RecordEditorDialog::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QWidget* focus = focusWidget();
    if (enter && isInput(focus)) {
        // Enter moves to the next input control; after the last one, to ОК.
        auto it = std::find_if(inputs_.begin(), inputs_.end(), [focus](QWidget* w) {
            return w == focus || w->isAncestorOf(focus);
        });
        QWidget* next = ok_;
        for (++it; it != inputs_.end(); ++it)
            if ((*it)->isEnabled()) {
                next = *it;
                break;
            }
        next->setFocus(Qt::TabFocusReason);
        if (auto* scroll = findChild<QScrollArea*>(QStringLiteral("fields")); scroll && next != ok_)
            scroll->ensureWidgetVisible(next);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool RecordEditorDialog::eventFilter(QObject* watched, QEvent* event)
{
    // In a multi-line field Enter starts a new line; Ctrl+Enter moves on.
    if (event->type() == QEvent::KeyPress && qobject_cast<QPlainTextEdit*>(watched)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            (key->modifiers() & Qt::ControlModifier)) {
            QKeyEvent plain(QEvent::KeyPress, key->key(), Qt::NoModifier);
            keyPressEvent(&plain);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace rat::ui
