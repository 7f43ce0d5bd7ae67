#pragma once

#include <string>
#include <vector>

#include "duedates/DueDateBooks.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// What the due-date view and the variation share: the three archive options, "Dalla
// scadenza:" and the list of the open instalments due from that date on, under its heading.
// The list is filled when the date is left or another archive is chosen (it opens empty: a
// whole archive is read only when asked for).
class DueDateList : public ScreenLogic {
  public:
    static constexpr const char* kFrom = "text1";
    static constexpr const char* kHeading = "Label1";
    static constexpr const char* kList = "List1";

    static constexpr int kReadPosition = 7211;

    void load() override;
    void unload() override;

    // The instalments the list shows, line by line.
    const std::vector<duedates::OpenInstalment>& shown() const { return m_shown; }
    double shownTotal() const { return m_total; }

  protected:
    // `customerHeading` is the heading with "Cliente"; the list takes "Fornitore" for the
    // suppliers' archive. The layout holds the options on rows 0-2, the date on row 3, the
    // heading and the list on the rows after `listRow`.
    DueDateList(Session& session, FormSpec layout, std::string customerHeading);
    static void addListControls(FormSpec& f, int listRow);

    duedates::Book book() { return duedates::CheckedBook(form()); }
    // Reads the list again; false when a date was refused (its message shown).
    bool refill();
    // The party whose instalments are listed (its item number); empty: every party.
    virtual bool partyFilter(std::string& number);
    virtual void listed() {}

  private:
    std::string m_customerHeading;
    std::vector<duedates::OpenInstalment> m_shown;
    double m_total = 0;
    std::vector<int> m_opened;
};

}  // namespace zelvo
