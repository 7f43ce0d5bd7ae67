#pragma once

#include <vector>

#include "masterdata/Chart.h"
#include "session/ScreenLogic.h"

namespace zelvo {

// REGFACIL: the most-used sub-accounts of the company and year, in the operator's order.
// Every account field offers the listed ones that fit what is typed before the others.
// Each change is written at once; the archive is created here when the year lacks it.
class FavouriteAccounts : public ScreenLogic {
  public:
    static constexpr const char* kAccount = "text1";
    static constexpr const char* kAdd = "Command1";
    static constexpr const char* kList = "List1";
    static constexpr const char* kRemove = "Command2";
    static constexpr const char* kUp = "Command3";
    static constexpr const char* kDown = "Command4";
    static constexpr const char* kClose = "Command5";

    explicit FavouriteAccounts(Session& session);
    void load() override;
    void unload() override;
    std::vector<std::string> suggestions(const std::string& control, const std::string& typed,
                                         bool full) override;

  private:
    void add();
    void removeChosen();
    void move(int step);
    int chosen();
    // Writes the list as it now stands and shows it again, the entry at `select` chosen.
    void store(int select);
    void show(int select);

    std::vector<chart::Item> m_items;
    bool m_open = false;
};

}  // namespace zelvo
