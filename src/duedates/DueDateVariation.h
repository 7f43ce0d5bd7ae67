#pragma once

#include "duedates/DueDateList.h"

namespace zelvo {

// VARSCA, "Variazione scadenzario": the list of the view; choosing a line fills "Importo:"
// and "Scadenza:". "&Varia" rewrites the chosen instalment with them (its party + due-date
// key rebuilt where the archive has one), "&Elimina" deletes it. Each touches that one record,
// by its primary key, and only while it is still what the list showed: an instalment changed,
// settled or deleted at another station meanwhile is left alone and the list read again.
class DueDateVariation : public DueDateList {
  public:
    static constexpr const char* kAmount = "text2";
    static constexpr const char* kDueDate = "text3";
    static constexpr const char* kVary = "Command1";
    static constexpr const char* kDelete = "Command2";
    static constexpr const char* kCancel = "Command3";
    static constexpr const char* kCustomerHeading =
        " N. e data fatt.     Cliente                             Importo  Scadenza ";

    static constexpr int kWritePosition = 7221;
    static constexpr int kDeletePosition = 7222;

    explicit DueDateVariation(Session& session);
    static FormSpec layout();

  private:
    void choose();
    void vary();
    void remove();
    // The chosen instalment, or nothing (a beep) when no line is chosen.
    const duedates::OpenInstalment* chosen();
    // Under the record's lock inside one transaction: `work` runs when the record is still
    // the one listed. False when nothing was done.
    bool whileUnchanged(const duedates::OpenInstalment& listed, int position,
                        const std::function<std::int16_t()>& work);
    void clearEntry();
};

}  // namespace zelvo
