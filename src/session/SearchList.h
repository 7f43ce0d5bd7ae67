#pragma once

#include <functional>
#include <string>
#include <vector>

#include "session/ScreenLogic.h"

namespace zelvo {

// The quick search of an account field (F5): a list of descriptions to choose from. The
// chosen one goes back to the field through `choose`; closing without choosing leaves the
// field as it was.
class SearchList : public ScreenLogic {
  public:
    SearchList(Session& session, std::vector<std::string> items,
               std::function<void(const std::string&)> choose);

    void load() override;
    void doubleClick(const std::string& control) override;
    void click(const std::string& control) override;
    bool key(const std::string& control, const std::string& key) override;

  private:
    void pick();

    std::vector<std::string> m_items;
    std::function<void(const std::string&)> m_choose;
};

}  // namespace zelvo
