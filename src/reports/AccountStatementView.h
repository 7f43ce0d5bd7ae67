#pragma once

#include <set>
#include <string>
#include <vector>

#include "reports/PagedAccountView.h"

namespace zelvo {

// vec, a customer's or supplier's statement on screen: `text1` "Cliente/Fornitore",
// `Option1` "Partite aperte" (the movements of documents still open) or `Option2` "&Storico"
// (all of them), and the movements a page at a time with the running balance after each.
// A name that is not a customer's, supplier's or agent's leaves it empty.
class AccountStatementView : public PagedAccountView {
  public:
    static constexpr const char* kOpenItems = "Option1";
    static constexpr const char* kHistory = "Option2";

    explicit AccountStatementView(Session& session);
    static FormSpec viewLayout();
    void load() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

  protected:
    bool accept(const chart::Item& item) override;
    bool listed(const isam::Record& row) override;
    std::string rowText(const isam::Record& row, double balance) override;

  private:
    std::set<std::string> m_open;
    bool m_openOnly = true;
};

}  // namespace zelvo
