#include "duedates/DueDateList.h"

namespace zelvo {

using duedates::Book;

DueDateList::DueDateList(Session& session, FormSpec layout, std::string customerHeading)
    : ScreenLogic(session, std::move(layout)), m_customerHeading(std::move(customerHeading)) {
    on(Event::Leave, kFrom, [this] { refill(); });
    for (const char* option : duedates::kBookOptions) {
        on(Event::Change, option, [this] { refill(); });
    }
}

void DueDateList::addListControls(FormSpec& f, int listRow) {
    duedates::AddBookOptions(f, 0);
    f.date(kFrom, "Dalla scadenza:", 3);
    f.label(kHeading, "", listRow).columnSpan = 3;
    ControlSpec& list = f.list(kList, "", listRow + 1);
    list.columnSpan = 3;
    list.width = 80;
}

void DueDateList::load() {
    for (Book b : {Book::CustomerRemittances, Book::CustomerBankReceipts, Book::Suppliers}) {
        const int archive = duedates::InfoOf(b).archive;
        if (archives().open(archive)) {
            m_opened.push_back(archive);
        }
    }
    form().setChecked(duedates::kBookOptions[0], true);
    form().setText(kHeading, m_customerHeading);
}

void DueDateList::unload() {
    for (int archive : m_opened) {
        archives().close(archive);
    }
    m_opened.clear();
}

bool DueDateList::partyFilter(std::string& number) {
    number.clear();
    return true;
}

bool DueDateList::refill() {
    duedates::DueFilter filter;
    if (!duedates::DueDateKey(session(), text(kFrom), filter.from)) {
        requestFocus(kFrom);
        return false;
    }
    if (!partyFilter(filter.partyNumber)) {
        return false;
    }
    const Book b = book();
    const duedates::BookInfo& info = duedates::InfoOf(b);
    const std::string heading = duedates::Heading(m_customerHeading, info.suppliers);
    form().setText(kHeading, heading);
    m_shown.clear();
    m_total = 0;
    std::vector<std::string> lines;
    if (archives().isOpen(info.archive)) {
        duedates::PartyNames names(archives());
        const duedates::InstalmentLines line(heading);
        duedates::ReadOpenInstalments(
            archives(), b, filter,
            [&](const duedates::OpenInstalment& i) {
                lines.push_back(line(i, names.of(i.partyNumber)));
                m_shown.push_back(i);
                m_total += i.amount;
                return true;
            },
            kReadPosition);
    }
    form().setItems(kList, std::move(lines));
    listed();
    return true;
}

}  // namespace zelvo
