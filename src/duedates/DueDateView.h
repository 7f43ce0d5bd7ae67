#pragma once

#include "duedates/DueDateList.h"

namespace zelvo {

// VISSCA, "Scadenzario": the open instalments of the chosen archive due from "Dalla
// scadenza:" on, in due-date order, with their total under the list. "Cliente/Fornitore:"
// narrows the list to one party of the archive's side (empty: every party).
class DueDateView : public DueDateList {
  public:
    static constexpr const char* kParty = "text2";
    static constexpr const char* kTotal = "text3";
    static constexpr const char* kCancel = "Command1";
    static constexpr const char* kCustomerHeading =
        " N. e data fatt.   Cliente                             Importo  Scadenza ";

    explicit DueDateView(Session& session);
    static FormSpec layout();
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

  protected:
    bool partyFilter(std::string& number) override;
    void listed() override;
};

}  // namespace zelvo
