#pragma once

#include <string>
#include <vector>

#include "session/ScreenLogic.h"

namespace zelvo {

// VARRIFP, "Variazione riferimento partita": the movement lines of a customer or supplier in
// the order of their open-item reference (the account + document key, field 10), one grid
// row each with a check mark to select it. "&Raggruppa" gives every selected line the
// reference of the first selected one, so that they form one open item; "&Elimina" (after a
// question) empties the reference of every selected line, which then leaves the party's open
// items. Only field 10 changes; the selected lines change together in one transaction, and
// only while each is still what the grid showed.
//
// The grid holds the party's first kRows lines.
class OpenItemReference : public ScreenLogic {
  public:
    static constexpr const char* kParty = "text1";
    static constexpr const char* kHeading = "Label1";
    static constexpr const char* kGrid = "Grid1";
    static constexpr const char* kSelect = "sel";
    static constexpr const char* kDocNumber = "ndoc";
    static constexpr const char* kDocDate = "datadoc";
    static constexpr const char* kDescription = "descr";
    static constexpr const char* kDebit = "dare";
    static constexpr const char* kCredit = "avere";
    static constexpr const char* kGroup = "Command1";
    static constexpr const char* kRemove = "Command2";
    static constexpr const char* kCancel = "Command3";
    static constexpr int kRows = 1000;
    static constexpr int kPageRows = 20;

    static constexpr int kReadPosition = 7301;
    static constexpr int kWritePosition = 7302;

    explicit OpenItemReference(Session& session);
    static FormSpec layout();

    void load() override;
    void unload() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

    struct Listed {
        std::string line;  // primary key
        std::string reference;
    };
    const std::vector<Listed>& listed() const { return m_listed; }

  private:
    void leaveParty();
    void list(const std::string& account);
    void clearGrid();
    std::vector<size_t> selectedRows();
    // Field 10 of every selected line becomes `reference`, all in one transaction or none;
    // the grid is listed again either way.
    bool rewrite(const std::vector<size_t>& rows, const std::string& reference);
    void group();
    void remove();

    std::string m_account;
    std::vector<Listed> m_listed;
};

}  // namespace zelvo
