#pragma once

#include <QLineEdit>

#include "session/Form.h"

namespace zelvo {

// An amount field or cell: the operator types the bare digits and reads the amount with the
// program's number mask once he has left it. The logic's text is what was typed (or what the
// logic put there), never the shown form: value() is what the view hands to the logic and
// what an operator script reads.
class AmountEdit : public QLineEdit {
    Q_OBJECT
  public:
    AmountEdit(Amounts amounts, QWidget* parent);

    QString value() const;
    // The logic's text: shown as it is while the field has the focus, with the mask otherwise.
    void setValue(const QString& value);

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void showMasked();

    Amounts m_amounts;
    // The logic's text while the field shows the masked one; meaningless otherwise.
    QString m_value;
    bool m_masked = false;
};

}  // namespace zelvo
