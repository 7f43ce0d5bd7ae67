#include "ui/AmountEdit.h"

#include <QSignalBlocker>

namespace zelvo {

AmountEdit::AmountEdit(Amounts amounts, QWidget* parent) : QLineEdit(parent), m_amounts(amounts) {
    // Amounts are read from the right, as on paper.
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Text put in from outside (a completion, a test) replaces the one the mask hid; the
    // field's own changes of form are made with its signals blocked.
    connect(this, &QLineEdit::textChanged, this, [this] { m_masked = false; });
}

QString AmountEdit::value() const {
    return m_masked ? m_value : text();
}

void AmountEdit::setValue(const QString& value) {
    QSignalBlocker block(this);
    m_masked = false;
    if (text() != value) {
        setText(value);
    }
    if (!hasFocus()) {
        showMasked();
    }
}

void AmountEdit::showMasked() {
    const QString shown = QString::fromStdString(ShownAmount(text().toStdString(), m_amounts));
    if (m_masked || shown == text()) {
        return;
    }
    QSignalBlocker block(this);
    m_value = text();
    m_masked = true;
    setText(shown);
}

void AmountEdit::focusInEvent(QFocusEvent* event) {
    if (m_masked) {
        QSignalBlocker block(this);
        m_masked = false;
        setText(m_value);
    }
    QLineEdit::focusInEvent(event);
}

void AmountEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // The focus may be back already: a refused amount is typed again as it was.
    if (!hasFocus()) {
        showMasked();
    }
}

}  // namespace zelvo
