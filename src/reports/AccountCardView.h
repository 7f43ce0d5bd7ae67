#pragma once

#include <string>
#include <vector>

#include "reports/PagedAccountView.h"

namespace zelvo {

// visched, the account card on screen: `text1` "Sottoconto:" (the account's name), `text2`
// "Dalla data:", and the movements a page at a time with the running balance after each.
// The first row's balance holds the opening balance and every movement of the year before
// it. An account name the chart lacks leaves the card empty.
//
// visched1 is the same view opened for an account chosen on another screen: it shows that
// account's card as it opens.
class AccountCardView : public PagedAccountView {
  public:
    static constexpr const char* kFrom = "text2";

    explicit AccountCardView(Session& session);
    // visched1: the card of the account named `description`.
    AccountCardView(Session& session, std::string description);
    static FormSpec viewLayout(const std::string& name);
    void load() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

    // One list row: date, document, protocol, description, debit, credit, running balance.
    static std::string cardRow(const isam::Record& row, double balance);

  protected:
    bool accept(const chart::Item&) override { return true; }
    bool listed(const isam::Record&) override { return true; }
    std::string rowText(const isam::Record& row, double balance) override {
        return cardRow(row, balance);
    }

  private:
    void handleFields();
    void showFromDate();
    std::string m_preset;
};

}  // namespace zelvo
